#include "model/palette/savestate_reading.h"

#include "model/core/byte_order.h"
#include "model/core/file_io.h"

#include <utility>

namespace {

int SetCount(const PaletteLayout& layout)
{
    return layout.SecondDescription != nullptr ? 2 : 1;
}

std::size_t BytesPerColor(Conversion kind)
{
    return kind == Conversion::Nes ? 1 : 2;
}

PackedColor ToColor(const std::uint8_t* value, Conversion kind, const NesColorTable& nesColors)
{
    switch (kind) {
    case Conversion::Nes:
        return ColToRGB(value[0], EncodingNes, nesColors);
    case Conversion::Rgb15:
        return ColToRGB(ReadLe16(value), EncodingRgb15, nesColors);
    case Conversion::Bgr15:
        return ColToRGB(ReadLe16(value), EncodingBgr15, nesColors);
    case Conversion::Cygne:
        return CygneToRGB(ReadLe16(value));
    }
    return 0;
}

}  // namespace

std::size_t PaletteBytes(const PaletteLayout& layout)
{
    return static_cast<std::size_t>(SetCount(layout) * layout.ColorCount) * BytesPerColor(layout.Kind);
}

PaletteLoad RefusedSavestate(const char* text)
{
    return Refused<PaletteSets>({text, "Brixel", MsgIcon::None});
}

PaletteLoad DecodeSets(const std::vector<std::uint8_t>& bytes, const PaletteLayout& layout,
                       const NesColorTable& nesColors)
{
    const std::size_t width = BytesPerColor(layout.Kind);
    PaletteLoad load{};
    for (int set = 0; set < SetCount(layout); ++set) {
        ColorSetEntry entry;
        entry.Description = set == 0 ? layout.FirstDescription : layout.SecondDescription;
        for (int i = 0; i < layout.ColorCount; ++i) {
            const std::size_t at = (static_cast<std::size_t>(set * layout.ColorCount + i)) * width;
            if (at + width > bytes.size())
                break;
            entry.Colors[static_cast<std::size_t>(i)] = ToColor(bytes.data() + at, layout.Kind, nesColors);
        }
        load.Sets.push_back(std::move(entry));
    }
    return load;
}

PaletteLoad ReadPaletteAt(const std::string& path, const PaletteLayout& layout, const NesColorTable& nesColors)
{
    const auto bytes = ReadFileRange(path, layout.Offset, PaletteBytes(layout));
    if (!bytes)
        return Refused<PaletteSets>(FileUnreadableMessage);
    return DecodeSets(*bytes, layout, nesColors);
}

PaletteLoad ReadFixedSizeSavestate(const std::string& path, const FixedSizeSavestate& savestate,
                                   const NesColorTable& nesColors)
{
    const auto size = FileSize(path);
    if (!size)
        return Refused<PaletteSets>(FileUnreadableMessage);
    if (*size != savestate.FileSize)
        return RefusedSavestate(savestate.SizeMessage);
    return ReadPaletteAt(path, savestate.Palette, nesColors);
}
