// make_sample_rom - writes a small homebrew-style Game Boy image full of test
// graphics, so Brixel has something to open without anybody's real ROM.
//
//   0x0000  restart/interrupt vectors      0x0100  cartridge header
//   0x0200  1 bpp font
//   0x1000  GB 2bpp font (A-Z 0-9 !?.,:-'/) 0x1400  GB 2bpp shapes
//   0x4000  SNES 4bpp pictures             0x6000  GBA 4bpp pictures
//   0x2000  GB tilemap, 20 x 4 entries     0x7F00  16-color BGR555 palette
//
// Usage: make_sample_rom <output-path>
//
// The output depends on nothing but this file, so every run gives the same bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Byte = std::uint8_t;
using Rom = std::vector<Byte>;
using Tile = std::array<Byte, 64>; // one color index per pixel, row by row
using Art = std::vector<std::string_view>;

constexpr std::size_t kRomSize = 0x8000;

// Pictures are drawn with '.' for color 0 and hex digits for colors 1-F.
// Spaces are ignored, so adjacent tiles can be kept apart for readability.

// 5x7 glyphs, eleven per band; '#' is ink. Rendered in color 3 with a
// color-1 drop shadow one pixel down and to the right.
constexpr std::string_view kFontChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?.,:-'/";
const Art kFont = {
    ".###. ####. .###. ####. ##### ##### .###. #...# .###. ..### #...#",
    "#...# #...# #...# #...# #.... #.... #...# #...# ..#.. ...#. #..#.",
    "#...# #...# #.... #...# #.... #.... #.... #...# ..#.. ...#. #.#..",
    "##### ####. #.... #...# ####. ####. #.### ##### ..#.. ...#. ##...",
    "#...# #...# #.... #...# #.... #.... #...# #...# ..#.. ...#. #.#..",
    "#...# #...# #...# #...# #.... #.... #...# #...# ..#.. #..#. #..#.",
    "#...# ####. .###. ####. ##### #.... .#### #...# .###. .##.. #...#",

    "#.... #...# #...# .###. ####. .###. ####. .#### ##### #...# #...#",
    "#.... ##.## #...# #...# #...# #...# #...# #.... ..#.. #...# #...#",
    "#.... #.#.# ##..# #...# #...# #...# #...# #.... ..#.. #...# #...#",
    "#.... #.#.# #.#.# #...# ####. #...# ####. .###. ..#.. #...# #...#",
    "#.... #...# #..## #...# #.... #.#.# #.#.. ....# ..#.. #...# #...#",
    "#.... #...# #...# #...# #.... #..#. #..#. ....# ..#.. #...# .#.#.",
    "##### #...# #...# .###. #.... .##.# #...# ####. ..#.. .###. ..#..",

    "#...# #...# #...# ##### .###. ..#.. .###. ##### ...#. ##### ..##.",
    "#...# #...# #...# ....# #...# .##.. #...# ...#. ..##. #.... .#...",
    "#...# .#.#. .#.#. ...#. #..## ..#.. ....# ..#.. .#.#. ####. #....",
    "#.#.# ..#.. ..#.. ..#.. #.#.# ..#.. ...#. ...#. #..#. ....# ####.",
    "#.#.# .#.#. ..#.. .#... ##..# ..#.. ..#.. ....# ##### ....# #...#",
    "#.#.# #...# ..#.. #.... #...# ..#.. .#... #...# ...#. #...# #...#",
    ".#.#. #...# ..#.. ##### .###. .###. ##### .###. ...#. .###. .###.",

    "##### .###. .###. ..#.. .###. ..... ..... ..... ..... ..#.. ....#",
    "....# #...# #...# ..#.. #...# ..... ..... .##.. ..... ..#.. ....#",
    "...#. #...# #...# ..#.. ....# ..... ..... .##.. ..... .#... ...#.",
    "..#.. .###. .#### ..#.. ...#. ..... ..... ..... .###. ..... ..#..",
    ".#... #...# ....# ..#.. ..#.. ..... .##.. .##.. ..... ..... .#...",
    ".#... #...# ...#. ..... ..... .##.. ..#.. .##.. ..... ..... #....",
    ".#... .###. .##.. ..#.. ..#.. .##.. .#... ..... ..... ..... #....",
};

// Single tiles: 1px / 2px / 4px checkerboards, 4-color gradient, brick,
// diagonal stripes, heart.
const Art kShapes = {
    "3.3.3.3. 11221122 ....3333 ..112233 11111111 33..33.. .33.33..",
    ".3.3.3.3 11221122 ....3333 ..112233 22231222 .33..33. 3223223.",
    "3.3.3.3. 22112211 ....3333 ..112233 22231222 ..33..33 3122223.",
    ".3.3.3.3 22112211 ....3333 ..112233 33331333 3..33..3 3222223.",
    "3.3.3.3. 11221122 3333.... ..112233 11111111 33..33.. .32223..",
    ".3.3.3.3 11221122 3333.... ..112233 12222223 .33..33. ..323...",
    "3.3.3.3. 22112211 3333.... ..112233 12222223 ..33..33 ...3....",
    ".3.3.3.3 22112211 3333.... ..112233 13333333 3..33..3 ........",
};

const Art kBall4 = {
    ".....333333.....", "...3300111133...", "..300111111113..", ".30011111111123.",
    ".30111111111123.", "3011111111111223", "3111111111111223", "3111111111111223",
    "3111111111112223", "3111111111112223", "3111111111122223", ".31111111122223.",
    ".31111111222223.", "..311112222223..", "...3322222233...", ".....333333.....",
};

const Art kSmiley = {
    ".....333333.....", "...3311111133...", "..311111111113..", ".31111111111113.",
    ".31113311331113.", "3111133113311113", "3111133113311113", "3111111111111113",
    "3111111111111113", "3122111111112213", "3113111111113113", ".31133111133113.",
    ".31111333311113.", "..311111111113..", "...3311111133...", ".....333333.....",
};

// A shaded sphere lit from the upper left, using the whole 16-color ramp.
const Art kBall16 = {
    ".....111111.....", "...11EEDCB911...", "..1EFFEEDCA971..", ".1EFFFEEDCA9751.",
    ".1EFFFEDCBA9751.", "1DEEEEEDCBA87531", "1DDEEDDCBA986531", "1CDDDCCBA9875421",
    "1BBCCBBA98765321", "19AAAAA987654221", "1899998876543221", ".17777765543221.",
    ".15666554332221.", "..144443322221..", "...1122222211...", ".....111111.....",
};

const Art kGradient16(8, "01234567 89ABCDEF");

// Dusk ramp, dark blue through violet and orange to cream; 5-bit R, G, B.
constexpr std::array<std::array<int, 3>, 16> kPalette = {{
    {1, 1, 3},
    {2, 2, 6},
    {4, 3, 9},
    {6, 4, 12},
    {9, 5, 14},
    {12, 6, 15},
    {15, 7, 15},
    {18, 8, 14},
    {21, 10, 12},
    {24, 12, 10},
    {26, 15, 8},
    {28, 18, 7},
    {29, 21, 8},
    {30, 24, 11},
    {31, 27, 16},
    {31, 30, 23},
}};

std::string withoutSpaces(std::string_view row)
{
    std::string out;
    for (char c : row)
        if (c != ' ')
            out += c;
    return out;
}

Byte colorOf(char c)
{
    if (c == '.')
        return 0;
    if (c >= '0' && c <= '9')
        return static_cast<Byte>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<Byte>(c - 'A' + 10);
    throw std::runtime_error(std::string("bad pixel character '") + c + "'");
}

// Cuts a picture into 8x8 tiles, left to right, then top to bottom.
std::vector<Tile> cutTiles(const Art& art)
{
    std::vector<std::string> rows;
    for (auto row : art)
        rows.push_back(withoutSpaces(row));
    const std::size_t width = rows.empty() ? 0 : rows[0].size();
    if (rows.size() % 8 != 0 || width % 8 != 0)
        throw std::runtime_error("picture size is not a multiple of 8");
    for (const auto& row : rows)
        if (row.size() != width)
            throw std::runtime_error("ragged picture row");

    std::vector<Tile> tiles;
    for (std::size_t ty = 0; ty < rows.size(); ty += 8)
        for (std::size_t tx = 0; tx < width; tx += 8) {
            Tile t{};
            for (std::size_t y = 0; y < 8; ++y)
                for (std::size_t x = 0; x < 8; ++x)
                    t[y * 8 + x] = colorOf(rows[ty + y][tx + x]);
            tiles.push_back(t);
        }
    return tiles;
}

std::vector<Tile> fontTiles()
{
    constexpr std::size_t kGlyphW = 5, kGlyphH = 7;
    std::vector<Tile> tiles;
    for (std::size_t band = 0; band * kGlyphH < kFont.size(); ++band) {
        std::vector<std::string> rows;
        for (std::size_t y = 0; y < kGlyphH; ++y)
            rows.push_back(withoutSpaces(kFont[band * kGlyphH + y]));
        for (std::size_t gx = 0; gx + kGlyphW <= rows[0].size(); gx += kGlyphW) {
            auto ink = [&](std::size_t x, std::size_t y) {
                return x < kGlyphW && y < kGlyphH && rows[y][gx + x] == '#';
            };
            Tile t{};
            for (std::size_t y = 0; y < 8; ++y)
                for (std::size_t x = 0; x < 8; ++x) {
                    // Glyph occupies columns 1-5; the shadow is offset by (+1, +1).
                    if (x >= 1 && ink(x - 1, y))
                        t[y * 8 + x] = 3;
                    else if (x >= 2 && y >= 1 && ink(x - 2, y - 1))
                        t[y * 8 + x] = 1;
                }
            tiles.push_back(t);
        }
    }
    if (tiles.size() != kFontChars.size())
        throw std::runtime_error("font glyph count mismatch");
    return tiles;
}

// Maps colors 0-3 of a 4-color picture onto entries of the 16-color ramp.
std::vector<Tile> recolor(std::vector<Tile> tiles, std::string_view map)
{
    for (auto& t : tiles)
        for (auto& px : t)
            px = colorOf(map.at(px));
    return tiles;
}

// Two bitplanes per row: first byte bit 0, second byte bit 1, leftmost pixel in bit 7.
void putPlanePair(Rom& rom, std::size_t at, const Tile& t, int plane)
{
    for (std::size_t y = 0; y < 8; ++y) {
        Byte lo = 0, hi = 0;
        for (std::size_t x = 0; x < 8; ++x) {
            const Byte c = t[y * 8 + x];
            lo |= static_cast<Byte>(((c >> plane) & 1) << (7 - x));
            hi |= static_cast<Byte>(((c >> (plane + 1)) & 1) << (7 - x));
        }
        rom.at(at + y * 2) = lo;
        rom.at(at + y * 2 + 1) = hi;
    }
}

std::size_t writeGb2bpp(Rom& rom, std::size_t at, const std::vector<Tile>& tiles)
{
    for (const auto& t : tiles) {
        for (Byte px : t)
            if (px > 3)
                throw std::runtime_error("color above 3 in a 2bpp tile");
        putPlanePair(rom, at, t, 0);
        at += 16;
    }
    return at;
}

std::size_t writeSnes4bpp(Rom& rom, std::size_t at, const std::vector<Tile>& tiles)
{
    for (const auto& t : tiles) {
        putPlanePair(rom, at, t, 0);
        putPlanePair(rom, at + 16, t, 2);
        at += 32;
    }
    return at;
}

// Four bytes per row, two pixels per byte, left pixel in the low nibble.
std::size_t writeGba4bpp(Rom& rom, std::size_t at, const std::vector<Tile>& tiles)
{
    for (const auto& t : tiles) {
        for (std::size_t i = 0; i < 64; i += 2)
            rom.at(at + i / 2) = static_cast<Byte>(t[i] | (t[i + 1] << 4));
        at += 32;
    }
    return at;
}

void writeHeader(Rom& rom)
{
    // jp $0150 at the reset vector, reti at the five interrupt vectors.
    rom[0x00] = 0xC3, rom[0x01] = 0x50, rom[0x02] = 0x01;
    for (std::size_t v = 0x40; v <= 0x60; v += 8)
        rom[v] = 0xD9;

    // Entry point: nop; jp $0150. The logo area 0x104-0x133 stays empty.
    rom[0x100] = 0x00, rom[0x101] = 0xC3, rom[0x102] = 0x50, rom[0x103] = 0x01;
    constexpr std::string_view title = "BRIXEL SAMPLE";
    for (std::size_t i = 0; i < title.size(); ++i)
        rom[0x134 + i] = static_cast<Byte>(title[i]);
    rom[0x147] = 0x00; // ROM only
    rom[0x148] = 0x00; // 32 KiB
    rom[0x149] = 0x00; // no cartridge RAM
    rom[0x14A] = 0x01; // overseas
    rom[0x14B] = 0x33; // licensee: see new licensee code
    rom[0x14C] = 0x00; // version

    Byte x = 0;
    for (std::size_t i = 0x134; i <= 0x14C; ++i)
        x = static_cast<Byte>(x - rom[i] - 1);
    rom[0x14D] = x;

    // Main: di; ld sp,$FFFE; halt; nop; jr -4 (back to the halt).
    constexpr std::array<Byte, 8> boot = {0xF3, 0x31, 0xFE, 0xFF, 0x76, 0x00, 0x18, 0xFC};
    for (std::size_t i = 0; i < boot.size(); ++i)
        rom[0x150 + i] = boot[i];
}

// The global checksum: the 16-bit sum of every byte but its own two, stored
// big-endian. Call this last, after every other byte is in place.
// A Game Boy background of 20 x 4 one-byte entries naming the 2bpp tiles
// from 0x1000 on: a row of bricks, a line of text, the ball and the smiley.
void writeTilemap(Rom& rom, std::size_t at)
{
    constexpr Byte kBlank = 44, kBrick = 68, kBall = 71, kSmiley = 75;
    constexpr std::string_view kText = "   BRIXEL TILEMAP   ";
    for (std::size_t x = 0; x < 20; ++x) {
        rom[at + x] = kBrick;
        const std::size_t letter = kFontChars.find(kText[x]);
        rom[at + 20 + x] = letter == std::string_view::npos ? kBlank : static_cast<Byte>(letter);
        rom[at + 40 + x] = kBlank;
        rom[at + 60 + x] = kBlank;
    }
    for (std::size_t i = 0; i < 2; ++i) {
        rom[at + 40 + 7 + i] = static_cast<Byte>(kBall + i);
        rom[at + 60 + 7 + i] = static_cast<Byte>(kBall + 2 + i);
        rom[at + 40 + 11 + i] = static_cast<Byte>(kSmiley + i);
        rom[at + 60 + 11 + i] = static_cast<Byte>(kSmiley + 2 + i);
    }
}

void writeGlobalChecksum(Rom& rom)
{
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < rom.size(); ++i)
        if (i != 0x14E && i != 0x14F)
            sum = static_cast<std::uint16_t>(sum + rom[i]);
    rom[0x14E] = static_cast<Byte>(sum >> 8);
    rom[0x14F] = static_cast<Byte>(sum & 0xFF);
}

// One byte per row, leftmost pixel in bit 7; any color but 0 is ink.
std::size_t writeOneBit(Rom& rom, std::size_t at, const std::vector<Tile>& tiles)
{
    for (const auto& t : tiles) {
        for (std::size_t y = 0; y < 8; ++y) {
            Byte row = 0;
            for (std::size_t x = 0; x < 8; ++x)
                if (t[y * 8 + x] != 0)
                    row |= static_cast<Byte>(1 << (7 - x));
            rom.at(at + y) = row;
        }
        at += 8;
    }
    return at;
}

Rom buildRom()
{
    Rom rom(kRomSize, 0x00);
    writeHeader(rom);

    // The font once more in 1 bit per pixel, the mode a file first shows in,
    // so the first screen already has letters on it.
    writeOneBit(rom, 0x200, fontTiles());
    writeGb2bpp(rom, 0x1000, fontTiles());
    std::size_t at = writeGb2bpp(rom, 0x1400, cutTiles(kShapes));
    at = writeGb2bpp(rom, at, cutTiles(kBall4));
    writeGb2bpp(rom, at, cutTiles(kSmiley));
    writeTilemap(rom, 0x2000);

    at = writeSnes4bpp(rom, 0x4000, cutTiles(kBall16));
    at = writeSnes4bpp(rom, at, recolor(cutTiles(kSmiley), ".DA2"));
    at = writeSnes4bpp(rom, at, recolor({cutTiles(kShapes)[4]}, ".D96"));
    writeSnes4bpp(rom, at, cutTiles(kGradient16));

    at = writeGba4bpp(rom, 0x6000, cutTiles(kGradient16));
    writeGba4bpp(rom, at, cutTiles(kBall16));

    for (std::size_t i = 0; i < kPalette.size(); ++i) {
        const auto [r, g, b] = kPalette[i];
        const int word = r | (g << 5) | (b << 10);
        rom[0x7F00 + i * 2] = static_cast<Byte>(word & 0xFF);
        rom[0x7F00 + i * 2 + 1] = static_cast<Byte>(word >> 8);
    }

    writeGlobalChecksum(rom);
    return rom;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: " << (argc > 0 ? argv[0] : "make_sample_rom") << " <output.gb>\n";
        return 2;
    }
    try {
        const Rom rom = buildRom();
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(rom.data()), static_cast<std::streamsize>(rom.size()));
        out.close();
        if (!out) {
            std::cerr << "make_sample_rom: cannot write " << argv[1] << "\n";
            return 1;
        }
    } catch (const std::exception& e) {
        std::cerr << "make_sample_rom: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
