#include "model/palette/palette_formats.h"

#include "model/palette/act_palette_format.h"
#include "model/palette/gimp_palette_format.h"
#include "model/palette/hex_palette_format.h"
#include "model/palette/jasc_palette_format.h"
#include "model/palette/own_palette_format.h"
#include "model/palette/paint_net_palette_format.h"
#include "model/palette/png_palette_format.h"
#include "model/palette/riff_palette_format.h"
#include "model/palette/savestates.h"
#include "model/palette/tile_layer_palette_format.h"

#include "model/core/file_filter.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// One line a format. A new format goes last, so the positions the user
// knows keep their formats in both dialogs.
// clang-format off
constexpr std::array Formats{
    &OwnPaletteFile,
    &RiffPaletteFile,
    &TileLayerPaletteFile,
    &NesticleSavestate,
    &VgbaSavestate,
    &NocashSavestate,
    &ZSnesSavestate,
    &BoycottSavestate,
    &CygneSavestate,
    &JascPaletteFile,
    &ActPaletteFile,
    &GimpPaletteFile,
    &PaintNetPaletteFile,
    &HexPaletteFile,
    &PngPaletteFile,
    &BessSavestate,
    &FceuxSavestate,
};
// clang-format on

enum class Dialog { Open, Save };

// The open dialog lists every format, the save dialog those with a writer.
std::vector<const PaletteFileFormat*> Listed(Dialog dialog)
{
    std::vector<const PaletteFileFormat*> formats;
    for (const PaletteFileFormat* format : Formats) {
        if (dialog == Dialog::Open || format->Write != nullptr)
            formats.push_back(format);
    }
    return formats;
}

std::string Filter(const std::vector<const PaletteFileFormat*>& formats)
{
    std::string filter;
    for (const PaletteFileFormat* format : formats) {
        if (!filter.empty())
            filter += '|';
        filter.append(format->Label).append("|").append(format->Patterns);
    }
    return filter;
}

const PaletteFileFormat* AtFilterIndex(const std::vector<const PaletteFileFormat*>& formats, int filterIndex)
{
    if (filterIndex < 1 || filterIndex > static_cast<int>(formats.size()))
        return nullptr;
    return formats[static_cast<std::size_t>(filterIndex - 1)];
}

}  // namespace

std::span<const PaletteFileFormat* const> PaletteFileFormats()
{
    return Formats;
}

std::vector<const PaletteFileFormat*> PaletteFormatsInTryOrder()
{
    std::vector<const PaletteFileFormat*> formats(Formats.begin(), Formats.end());
    std::stable_partition(formats.begin(), formats.end(),
                          [](const PaletteFileFormat* format) { return !format->TakesAnyFile; });
    return formats;
}

std::vector<const PaletteFileFormat*> PaletteFormatsForPath(std::string_view path)
{
    std::vector<const PaletteFileFormat*> formats = PaletteFormatsInTryOrder();
    std::erase_if(formats,
                  [&](const PaletteFileFormat* format) { return !PathMatchesPatterns(format->Patterns, path); });
    return formats;
}

const PaletteFileFormat* PaletteFormatNamed(std::string_view name)
{
    const auto found = std::find_if(Formats.begin(), Formats.end(),
                                    [&](const PaletteFileFormat* format) { return format->Name == name; });
    return found == Formats.end() ? nullptr : *found;
}

std::string PaletteLoadFilter()
{
    return Filter(Listed(Dialog::Open));
}

std::string PaletteSaveFilter()
{
    return Filter(Listed(Dialog::Save));
}

const PaletteFileFormat* PaletteFormatToLoad(int filterIndex)
{
    return AtFilterIndex(Listed(Dialog::Open), filterIndex);
}

const PaletteFileFormat* PaletteFormatToSave(int filterIndex)
{
    return AtFilterIndex(Listed(Dialog::Save), filterIndex);
}

bool HasRoomToLoad(const ColorSetList& list, const PaletteFileFormat& format)
{
    return format.ReplacesList || list.HasRoomBelow(format.RoomBelow);
}
