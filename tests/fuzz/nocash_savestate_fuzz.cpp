// The No$gmb savestate: 64 15-bit RGB words at offset 1628 of a file of more
// than 1756 bytes that starts with "no$gmb snapshot". The input is compact:
// the file size (16 bits, little-endian), the 15 header bytes, then the
// palette bytes; the rest of the file is filler. The file is accepted
// exactly when both the size and the header are right, and then its palette
// is read correctly.

#include "fuzz_support.h"
#include "savestate_support.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::int64_t MinimumSize = 1757;
constexpr char Header[] = "no$gmb snapshot";
constexpr std::size_t HeaderLength = sizeof Header - 1;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const SavestateLayout layout{&NocashSavestate, 0, 1628, 64, StoredColor::Rgb15, {"No$gmb SNA palette"}};
    const std::size_t fileSize = size >= 2 ? static_cast<std::size_t>(data[0] | data[1] << 8) : 0;
    Bytes file(std::max<std::size_t>(fileSize, layout.PaletteOffset + PaletteBytes(layout)));
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<std::uint8_t>(i * 131 + 17);
    const std::uint8_t* rest = data + std::min<std::size_t>(size, 2);
    const std::size_t restSize = size - std::min<std::size_t>(size, 2);
    std::copy_n(rest, std::min(restSize, HeaderLength), file.begin());
    if (restSize > HeaderLength)
        std::copy_n(rest + HeaderLength, std::min(restSize - HeaderLength, PaletteBytes(layout)),
                    file.begin() + layout.PaletteOffset);
    // Built whole so the palette is known even when the file is cut before it.
    const Bytes palette(file.begin() + layout.PaletteOffset,
                        file.begin() + layout.PaletteOffset + PaletteBytes(layout));
    file.resize(fileSize);

    const PaletteLoad load =
        LoadPaletteFile(WriteTempFile("savestate.sna", file), NocashSavestate, DistinctNesColors());
    const bool valid =
        static_cast<std::int64_t>(fileSize) >= MinimumSize && std::memcmp(file.data(), Header, HeaderLength) == 0;
    if (!valid) {
        CHECK(load.Error && load.Sets.empty());
        return 0;
    }
    CheckPalette(load, layout, palette.data());
    return 0;
}
