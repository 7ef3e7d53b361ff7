#include "model/tools/c_output.h"

#include "model/core/file_io.h"
#include "model/palette/color_encoding.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int GridCells = EditorColumns;
constexpr int EditorPixels = GridCells * TileSide;

// Width x height of each size (rows) and shape (columns: square, wide, high).
constexpr int SpriteSizes[4][3][2] = {
    {{8, 8}, {16, 8}, {8, 16}},
    {{16, 16}, {32, 8}, {8, 32}},
    {{32, 32}, {32, 16}, {16, 32}},
    {{64, 64}, {64, 32}, {32, 64}},
};

int ListIndex(int index, int count)
{
    return index >= 0 && index < count ? index : 0;
}

const char* const ArrayStart = "const unsigned int ";
const char* const ArrayOpen = "[] = {";
const char* const LineStart = "\r\n  ";
const char* const ArrayEnd = "\r\n };\r\n\r\n";

// Appends "0xHHHH, ".
void AppendValue(std::string& text, unsigned value)
{
    static const char Digits[] = "0123456789ABCDEF";
    const char entry[8] = {
        '0', 'x', Digits[(value >> 12) & 15], Digits[(value >> 8) & 15], Digits[(value >> 4) & 15], Digits[value & 15],
        ',', ' '};
    text.append(entry, sizeof entry);
}

void AppendTile(std::string& text, const TilePixels& pixels, SpriteTileMode mode)
{
    if (mode == SpriteTileMode::Gba16) {
        // Four pixels per value, the first one in the lowest nibble.
        for (int v = 0; v < 16; ++v) {
            if (v % 4 == 0)
                text += LineStart;
            const int p = 4 * v;
            AppendValue(text, (pixels[p] & 15u) | (pixels[p + 1] & 15u) << 4 | (pixels[p + 2] & 15u) << 8 |
                                  (pixels[p + 3] & 15u) << 12);
        }
        return;
    }
    // Two pixels per value, the first one in the low byte.
    for (int v = 0; v < 32; ++v) {
        if (v % 8 == 0)
            text += LineStart;
        AppendValue(text, pixels[2 * v] | static_cast<unsigned>(pixels[2 * v + 1]) << 8);
    }
}

}  // namespace

std::uint8_t PalModeEncoding(int palModeIndex)
{
    return palModeIndex == 1 ? EncodingRgb15 : EncodingBgr15;
}

int ColorCountOf(int colorCountIndex)
{
    return colorCountIndex == 1 ? 256 : 16;
}

SpriteLayout UpdateSpriteLayout(int sizeIndex, int shapeIndex, int rows, int lines)
{
    const auto& size = SpriteSizes[ListIndex(sizeIndex, 4)][ListIndex(shapeIndex, 3)];
    SpriteLayout layout;
    layout.SpriteWidth = size[0];
    layout.SpriteHeight = size[1];
    layout.MaxRows = EditorPixels / layout.SpriteWidth;
    layout.MaxLines = EditorPixels / layout.SpriteHeight;
    layout.Rows = std::clamp(rows, 1, layout.MaxRows);
    layout.Lines = std::clamp(lines, 1, layout.MaxLines);
    return layout;
}

std::string SpriteLayoutInfo(const SpriteLayout& layout)
{
    return "Convert " + std::to_string(layout.Rows) + "x" + std::to_string(layout.Lines) + " of " +
           std::to_string(layout.SpriteWidth) + "x" + std::to_string(layout.SpriteHeight) + " = " +
           std::to_string(layout.TileCount()) + " tiles";
}

std::string ConvertingInfo(int done, int total)
{
    return "Converting... " + std::to_string(done) + " of " + std::to_string(total) + " tiles done.";
}

std::string ConvertedInfo(int total)
{
    return "Converted " + std::to_string(total) + " tiles";
}

std::string PaletteCSource(const std::array<PackedColor, 256>& palette, const std::string& name, int count,
                           std::uint8_t encoding)
{
    count = std::clamp(count, 1, 256);
    std::string text;
    text.reserve(name.size() + 64 + static_cast<std::size_t>(count) * 9);
    text += ArrayStart;
    text += name;
    text += ArrayOpen;
    for (int i = 0; i < count; ++i) {
        if (i % 8 == 0)
            text += LineStart;
        AppendValue(text, RGBToCol(palette[i], encoding));
    }
    text += ArrayEnd;
    return text;
}

std::string SpriteCSource(const EditorSlotTable& slots, const std::string& stem, SpriteLayout layout,
                          SpriteTileMode mode, const TileProgress& progress)
{
    // A layout from elsewhere may not fit; cut it to the grid.
    const int w = std::clamp(layout.SpriteWidth / TileSide, 1, GridCells);
    const int h = std::clamp(layout.SpriteHeight / TileSide, 1, GridCells);
    const int rows = std::clamp(layout.Rows, 1, GridCells / w);
    const int lines = std::clamp(layout.Lines, 1, GridCells / h);
    const int total = w * h * rows * lines;

    // Every tile is four lines of values; the whole text is built in one buffer.
    const std::size_t valuesPerTile = mode == SpriteTileMode::Gba16 ? 16 : 32;
    std::string text;
    text.reserve(static_cast<std::size_t>(total) * (valuesPerTile * 8 + 4 * 4) +
                 static_cast<std::size_t>(rows * lines) * (stem.size() + 40));

    int done = 0;
    for (int ly = 0; ly < lines; ++ly) {
        for (int lx = 0; lx < rows; ++lx) {
            text += ArrayStart;
            text += stem;
            text += std::to_string(ly * rows + lx);
            text += ArrayOpen;
            for (int ty = 0; ty < h; ++ty) {
                for (int tx = 0; tx < w; ++tx) {
                    if (progress)
                        progress(done, total);
                    ++done;
                    const int slot = (ly * h + ty) * GridCells + lx * w + tx;
                    AppendTile(text, slots[slot].Pixels, mode);
                }
            }
            text += ArrayEnd;
        }
    }
    return text;
}

std::optional<UserMessage> SaveCHeader(const std::string& path, const std::string& text)
{
    const auto failure = WriteFileAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    if (!failure)
        return std::nullopt;
    return UserMessage{"Could not save the C header file '" + path + "': " + *failure + ".", "Saving failed",
                       MsgIcon::Critical};
}
