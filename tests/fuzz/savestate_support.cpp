#include "savestate_support.h"

#include "fuzz_support.h"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Bytes either side of the palette written with the filler on every input,
// so a read a little off its place sees known bytes, not the palette.
constexpr std::int64_t Margin = 64;

std::size_t BytesPerColor(StoredColor kind)
{
    return kind == StoredColor::Nes ? 1 : 2;
}

std::uint8_t Filler(std::int64_t position)
{
    return static_cast<std::uint8_t>(position * 131 + 17);
}

PackedColor ExpectedColor(const std::uint8_t* value, StoredColor kind)
{
    const unsigned word = value[0] | (BytesPerColor(kind) == 2 ? value[1] << 8 : 0);
    const auto field = [word](int shift, unsigned mask) { return static_cast<int>((word >> shift) & mask); };
    switch (kind) {
    case StoredColor::Nes:
        return DistinctNesColors()[value[0] % 64];
    case StoredColor::Rgb15:
        return Rgb(field(10, 31) * 8, field(5, 31) * 8, field(0, 31) * 8);
    case StoredColor::Bgr15:
        return Rgb(field(0, 31) * 8, field(5, 31) * 8, field(10, 31) * 8);
    case StoredColor::Cygne:
        return Rgb(field(8, 15) * 16, field(4, 15) * 16, field(0, 15) * 16);
    }
    return 0;
}

}  // namespace

std::size_t PaletteBytes(const SavestateLayout& layout)
{
    return layout.Descriptions.size() * layout.ColorsPerSet * BytesPerColor(layout.Kind);
}

const NesColorTable& DistinctNesColors()
{
    static const NesColorTable colors = [] {
        NesColorTable table{};
        for (int i = 0; i < 64; ++i)
            table[static_cast<std::size_t>(i)] = Rgb(i * 4 + 1, 255 - i, (i * 37) & 0xFF);
        return table;
    }();
    return colors;
}

void CheckPalette(const PaletteLoad& load, const SavestateLayout& layout, const std::uint8_t* palette)
{
    CHECK(!load.Error);
    CHECK(load.Sets.size() == layout.Descriptions.size());
    const std::size_t width = BytesPerColor(layout.Kind);
    for (std::size_t set = 0; set < load.Sets.size(); ++set) {
        CHECK(load.Sets[set].Description == layout.Descriptions[set]);
        const Palette256& colors = load.Sets[set].Colors;
        for (std::size_t i = 0; i < colors.size(); ++i) {
            CHECK(ColorInRange(colors[i]));
            if (i < layout.ColorsPerSet)
                CHECK(colors[i] == ExpectedColor(palette + (set * layout.ColorsPerSet + i) * width, layout.Kind));
            else
                CHECK(colors[i] == 0);
        }
    }
}

void FuzzFixedSizeSavestate(const std::uint8_t* data, std::size_t size, const SavestateLayout& layout)
{
    const auto change = static_cast<std::int16_t>(size >= 2 ? data[0] | data[1] << 8 : 0);
    const std::int64_t fileSize = std::max<std::int64_t>(0, layout.FileSize + change);

    const std::int64_t windowStart = layout.PaletteOffset - Margin;
    Bytes window(PaletteBytes(layout) + 2 * Margin);
    for (std::size_t i = 0; i < window.size(); ++i)
        window[i] = Filler(windowStart + static_cast<std::int64_t>(i));
    if (size > 2)
        std::copy_n(data + 2, std::min(size - 2, PaletteBytes(layout)), window.begin() + Margin);

    // One file per process, resized for each input; only the window around
    // the palette is written, since nothing else of the file is read.
    static const std::string path = TempPath("savestate");
    static const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    CHECK(fd >= 0);
    CHECK(::ftruncate(fd, fileSize) == 0);
    if (windowStart < fileSize) {
        const auto length = std::min<std::int64_t>(static_cast<std::int64_t>(window.size()), fileSize - windowStart);
        CHECK(::pwrite(fd, window.data(), static_cast<std::size_t>(length), windowStart) == length);
    }

    const PaletteLoad load = LoadPaletteFile(path, *layout.Format, DistinctNesColors());
    if (fileSize != layout.FileSize) {
        CHECK(load.Error && load.Sets.empty());
        return;
    }
    CheckPalette(load, layout, window.data() + Margin);
}

bool CheckFoundPalette(const PaletteLoad& load, const std::vector<std::string>& descriptions,
                       std::size_t colorsPerSet, const Bytes& file, bool (*inFile)(const Bytes&, const Palette256&))
{
    if (load.Error) {
        CHECK(load.Sets.empty() && load.Error->Caption == "Brixel");
        return false;
    }
    CHECK(load.Sets.size() == descriptions.size());
    for (std::size_t s = 0; s < load.Sets.size(); ++s) {
        CHECK(load.Sets[s].Description == descriptions[s]);
        CHECK(inFile(file, load.Sets[s].Colors));
        for (std::size_t i = colorsPerSet; i < 256; ++i)
            CHECK(load.Sets[s].Colors[i] == 0);
    }
    return true;
}
