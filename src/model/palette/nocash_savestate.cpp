#include "model/palette/savestate_reading.h"
#include "model/palette/savestates.h"

#include "model/core/file_io.h"

#include <cstring>

namespace {

// A header and a minimum size instead of an exact one.
constexpr char NocashHeader[] = "no$gmb snapshot";
constexpr std::size_t NocashHeaderLength = sizeof(NocashHeader) - 1;
constexpr std::int64_t NocashMinimumSize = 1757;
constexpr PaletteLayout NocashPalette{1628, 64, Conversion::Rgb15, "No$gmb SNA palette", nullptr};

PaletteLoad ReadNocash(const std::string& path, const NesColorTable& nesColors)
{
    const auto size = FileSize(path);
    if (!size)
        return Refused<PaletteSets>(FileUnreadableMessage);
    if (*size < NocashMinimumSize)
        return RefusedSavestate("Not a No$gmb savestate.\rFilesize is too small.");
    const auto header = ReadFileRange(path, 0, NocashHeaderLength);
    if (!header)
        return Refused<PaletteSets>(FileUnreadableMessage);
    if (header->size() != NocashHeaderLength || std::memcmp(header->data(), NocashHeader, NocashHeaderLength) != 0)
        return Refused<PaletteSets>({"Wrong header bytes", "Not a no$gmb palette file", MsgIcon::Critical});
    return ReadPaletteAt(path, NocashPalette, nesColors);
}

}  // namespace

constinit const PaletteFileFormat NocashSavestate{
    .Label = "No$gmb Savestates (*.sna)",
    .Patterns = "*.sna",
    .Name = "nocash",
    .ReadFile = &ReadNocash,
};
