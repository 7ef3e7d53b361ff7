// Writes the seed inputs of the fuzz targets, one folder per target, from
// the formats themselves: valid files of each format (built by the
// program's own writers where it has one) and the edge cases around them.
// Usage: fuzz_make_seeds CORPUS_FOLDER (normally tests/fuzz/corpus).

#include "model/core/byte_order.h"
#include "model/core/config_file.h"
#include "model/core/indexed_png.h"
#include "model/core/mode_table.h"
#include "model/core/rom_file.h"
#include "model/editor/bmp_exchange.h"
#include "model/editor/pattern_file.h"
#include "model/palette/act_palette_format.h"
#include "model/palette/gimp_palette_format.h"
#include "model/palette/hex_palette_format.h"
#include "model/palette/jasc_palette_format.h"
#include "model/palette/own_palette_format.h"
#include "model/palette/paint_net_palette_format.h"
#include "model/palette/riff_palette_format.h"
#include "model/palette/tile_layer_palette_format.h"
#include "model/tools/bookmark_file.h"
#include "model/tools/bps_patch.h"
#include "model/tools/ips_patch.h"
#include "model/tools/rom_patch.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::filesystem::path Root;
std::mt19937 Random(20240610);  // fixed, so the seeds never change

void Put(const std::string& target, const std::string& name, const Bytes& bytes)
{
    const auto folder = Root / target;
    std::filesystem::create_directories(folder);
    std::ofstream file(folder / name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes RandomBytes(std::size_t size)
{
    Bytes bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(Random() & 0xFF);
    return bytes;
}

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Joined(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Cut(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

Palette256 RandomPalette()
{
    Palette256 colors{};
    for (auto& color : colors)
        color = Random() & 0xFFFFFF;
    return colors;
}

void PaletteSeeds()
{
    auto list = std::make_unique<ColorSetList>();
    list->ColorSets[0] = {RandomPalette(), "A"};
    list->ColorSets[1] = {RandomPalette(), "B"};
    list->SetCount = 2;
    const Bytes two = BuildOwnPaletteFile(*list);
    Put("own_palette", "two-sets", two);
    Put("own_palette", "second-set-cut", Cut(two, two.size() - 100));
    Put("own_palette", "magic-only", Text("BXP"));
    Put("own_palette", "no-terminator", Text("BXPabc"));
    Put("own_palette", "wrong-magic", Joined(Text("BXQ"), Bytes(two.begin() + 3, two.end())));
    Put("own_palette", "empty", {});
    list->ColorSets[0].Description = "\xC4rger \xFF";
    list->ColorSets[1].Description = "";
    Put("own_palette", "odd-descriptions", BuildOwnPaletteFile(*list));

    Bytes riff = BuildRiffPalette(RandomPalette());
    for (std::size_t i = 27; i < 1048; i += 4)
        riff[i] = static_cast<std::uint8_t>(i);  // flags, ignored when read
    riff[1049] = 7;
    Put("riff_palette", "valid", riff);
    Put("riff_palette", "no-trailer", Cut(riff, 1048));
    Bytes entries255 = riff;
    entries255[22] = 0xFF;
    entries255[23] = 0x00;
    Put("riff_palette", "255-entries", entries255);
    Bytes wrongMagic = riff;
    wrongMagic[0] = 'r';
    Put("riff_palette", "wrong-magic", wrongMagic);
    Put("riff_palette", "longer", Joined(riff, {0}));
    Put("riff_palette", "empty", {});

    Put("tile_layer_palette", "valid", BuildTileLayerPalette(RandomPalette()));
    Bytes edges(48);
    for (std::size_t i = 0; i < edges.size(); ++i)
        edges[i] = static_cast<std::uint8_t>(std::vector<int>{0, 1, 31, 32, 62, 63, 64, 255}[i % 8]);
    Put("tile_layer_palette", "edge-values", edges);
    Put("tile_layer_palette", "short", RandomBytes(10));
    Put("tile_layer_palette", "longer", RandomBytes(60));
    Put("tile_layer_palette", "empty", {});
}

// Last of all, so the seeds of the other targets keep their random bytes.
void JascSeeds()
{
    const std::string target = "jasc_palette";
    const Bytes valid = BuildJascPalette(RandomPalette());
    Put(target, "valid", valid);
    std::string lf;
    for (const std::uint8_t byte : valid) {
        if (byte != '\r')
            lf.push_back(static_cast<char>(byte));
    }
    Put(target, "lf-only", Text(lf));
    Put(target, "sixteen-colors-blanks",
        Text("JASC-PAL \r\n0100\r\n16\t\r\n0 0 0\r\n 1  2\t3 \r\n255 255 255\r\n"
             "9 9 9\r\n9 9 9\r\n9 9 9\r\n9 9 9\r\n9 9 9\r\n9 9 9\r\n9 9 9\r\n"
             "9 9 9\r\n9 9 9\r\n9 9 9\r\n9 9 9\r\n9 9 9\r\n009 10 11"));
    Put(target, "count-257", Joined(Text("JASC-PAL\r\n0100\r\n257\r\n"), Bytes(valid.begin() + 21, valid.end())));
    Put(target, "count-0", Text("JASC-PAL\r\n0100\r\n0\r\n"));
    const std::string text(valid.begin(), valid.end());
    Put(target, "one-line-short", Text(text.substr(0, text.rfind('\n', text.size() - 2) + 1)));
    Put(target, "value-256", Text("JASC-PAL\r\n0100\r\n2\r\n1 2 3\r\n1 256 3\r\n"));
    Put(target, "two-values", Text("JASC-PAL\r\n0100\r\n2\r\n1 2 3\r\n1 2\r\n"));
    Put(target, "wrong-version", Text("JASC-PAL\r\n0110\r\n1\r\n1 2 3\r\n"));
    Put(target, "wrong-magic", Text("JASC-PAM\r\n0100\r\n1\r\n1 2 3\r\n"));
    Put(target, "empty", {});
}

// Compact savestate input: a 16-bit change of the file size, then palette bytes.
Bytes SavestateInput(std::int16_t change, const Bytes& palette)
{
    Bytes input(2);
    WriteLe16(input.data(), static_cast<std::uint16_t>(change));
    return Joined(input, palette);
}

void SavestateSeeds()
{
    const std::pair<const char*, std::size_t> fixed[] = {
        {"nesticle_savestate", 32}, {"vgba_savestate", 1024}, {"zsnes_savestate", 512}, {"cygne_savestate", 512}};
    for (const auto& [target, paletteBytes] : fixed) {
        const Bytes palette = RandomBytes(paletteBytes);
        Put(target, "exact-size", SavestateInput(0, palette));
        Put(target, "one-byte-more", SavestateInput(1, palette));
        Put(target, "one-byte-less", SavestateInput(-1, palette));
        Put(target, "much-smaller", SavestateInput(-32768, palette));
        Put(target, "palette-cut", SavestateInput(0, Cut(palette, paletteBytes / 3)));
        Put(target, "empty", {});
    }

    // No$gmb: size, 15 header bytes, 128 palette bytes.
    auto nocash = [](std::uint16_t size, const std::string& header) {
        Bytes input(2);
        WriteLe16(input.data(), size);
        return Joined(Joined(input, Text(header)), RandomBytes(128));
    };
    Put("nocash_savestate", "smallest", nocash(1757, "no$gmb snapshot"));
    Put("nocash_savestate", "larger", nocash(40000, "no$gmb snapshot"));
    Put("nocash_savestate", "one-byte-short", nocash(1756, "no$gmb snapshot"));
    Put("nocash_savestate", "wrong-header", nocash(1757, "no$gmb snapshoT"));
    Put("nocash_savestate", "tiny", nocash(10, "no$gmb snapshot"));
    Put("nocash_savestate", "empty", {});
}

Bytes Gzip(const Bytes& plain, const char* name = nullptr)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    gz_header header{};
    if (name != nullptr) {
        header.name = reinterpret_cast<Bytef*>(const_cast<char*>(name));
        deflateSetHeader(&z, &header);
    }
    Bytes out(deflateBound(&z, plain.size()) + 64);
    z.next_in = const_cast<Bytef*>(plain.data());
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

void BoycottSeeds()
{
    constexpr std::size_t Offset = 297421;
    const Bytes palette = RandomBytes(1024);
    const Bytes state = Joined(Bytes(Offset), palette);
    const Bytes valid = Gzip(state);
    Put("boycott_savestate", "valid.gz", valid);
    Put("boycott_savestate", "named.gz", Gzip(state, "state.cot"));
    Put("boycott_savestate", "longer.gz", Gzip(Joined(state, RandomBytes(3000))));
    Put("boycott_savestate", "stream-short.gz", Gzip(Bytes(Offset + 1000)));
    Put("boycott_savestate", "cut.gz", Cut(valid, valid.size() * 2 / 3));
    Put("boycott_savestate", "two-members.gz", Joined(Gzip(Bytes(Offset)), Gzip(palette)));
    Put("boycott_savestate", "trailing-bytes.gz", Joined(valid, Text("junk")));
    Bytes badCheck = valid;
    badCheck[badCheck.size() - 6] ^= 0xFF;
    Put("boycott_savestate", "bad-check.gz", badCheck);
    Put("boycott_savestate", "plain", Text("not a gzip file"));
    Put("boycott_savestate", "empty", {});
}

void BmpSeeds()
{
    const BmpHeaderBytes header = BuildBmpHeader();
    auto slots = std::make_unique<EditorSlotTable>();
    for (std::size_t cell = 0; cell < slots->size(); ++cell)
        if (cell % 7 != 0)  // some cells stay all 0
            for (auto& pixel : (*slots)[cell].Pixels)
                pixel = static_cast<std::uint8_t>(Random() & 0xFF);
    const Bytes valid = BuildBmpFile(header, *slots, RandomPalette());
    Put("bmp_import", "valid.bmp", valid);
    Bytes foreign = valid;
    WriteLe32(&foreign[34], 0);     // no image size
    WriteLe32(&foreign[38], 2835);  // 72 dots per inch
    WriteLe32(&foreign[42], 2835);
    WriteLe32(&foreign[46], 0);
    WriteLe32(&foreign[50], 0);
    for (std::size_t i = 57; i < 1078; i += 4)
        foreign[i] = 0xFF;
    Put("bmp_import", "foreign-writer.bmp", foreign);
    Bytes compressed = valid;
    compressed[30] = 1;  // run-length encoded: refused
    Put("bmp_import", "compressed.bmp", compressed);
    Bytes compressionHigh = valid;
    compressionHigh[32] = 1;  // past the compared bytes: accepted
    Put("bmp_import", "compression-high-bytes.bmp", compressionHigh);
    Bytes sixteen = Cut(valid, 8310);
    WriteLe32(&sixteen[2], 8310);
    WriteLe32(&sixteen[10], 118);
    WriteLe16(&sixteen[28], 4);
    Put("bmp_import", "16-colors.bmp", sixteen);
    Bytes topDown = valid;
    WriteLe32(&topDown[22], static_cast<std::uint32_t>(-128));
    Put("bmp_import", "top-down.bmp", topDown);
    Bytes otherShape = valid;
    WriteLe32(&otherShape[18], 64);
    WriteLe32(&otherShape[22], 256);
    Put("bmp_import", "64x256.bmp", otherShape);
    Put("bmp_import", "one-byte-short.bmp", Cut(valid, valid.size() - 1));
    Put("bmp_import", "empty", {});
}

void ConfigSeeds()
{
    LayoutConfig layout;
    layout.Switches = ReadLayoutFlags(FlagChkBrow | FlagChkGrid | FlagCheckSaveWarn);
    layout.MainSize = {1024, 700};
    layout.BrowserPos = {10, 20};
    layout.BrowserColumns = 8;
    layout.BrowserLines = 16;
    layout.BrowserZoom = 3;
    layout.EditorSize = {400, 400};
    layout.EditorZoom = 3;
    layout.BookmarkOffset = {-50, 300};
    const auto built = BuildConfigFile(layout);
    const Bytes valid(built.begin(), built.end());
    Put("config_file", "valid", valid);
    Put("config_file", "with-tail", Joined(valid, Text("bytes kept past the layout")));
    Put("config_file", "one-byte-tail", Joined(valid, {0x5A}));
    Bytes marker53 = valid;
    marker53[0] = 53;
    Put("config_file", "marker-53", marker53);
    Put("config_file", "short", Cut(valid, 63));
    Bytes extremes(64);
    for (std::size_t i = 2; i < extremes.size(); i += 2)
        WriteLe16(&extremes[i], i % 4 == 0 ? 0x7FFF : 0x8000);
    WriteLe16(&extremes[0], 54);
    Put("config_file", "extremes", extremes);
    Put("config_file", "empty", {});
}

void PatternSeeds()
{
    auto list = std::make_unique<PatternList>();
    list->Patterns[0].Description = "A";
    for (std::size_t i = 0; i < 256; ++i)
        list->Patterns[0].Addresses[i] = i % 5 == 0 ? EmptySlot : static_cast<std::int32_t>(Random() >> 1);
    list->PatternCount = 1;
    Bytes one = BuildPatternFile(*list);
    Put("pattern_file", "one-pattern", one);
    Bytes topBit = one;
    topBit[5] = 0x12;
    topBit[8] = 0x80;  // any address whose top bit is set reads as EmptySlot
    Put("pattern_file", "top-bit-address", topBit);
    list->Patterns[1] = list->Patterns[0];
    list->Patterns[1].Description = "second";
    list->PatternCount = 2;
    const Bytes two = BuildPatternFile(*list);
    Put("pattern_file", "second-cut", Cut(two, two.size() - 10));
    Put("pattern_file", "magic-only", Text("BXA"));
    Put("pattern_file", "wrong-magic", Joined(Text("BXB"), Bytes(one.begin() + 3, one.end())));
    Put("pattern_file", "empty", {});
    // One record more than the table holds.
    Bytes many = Text("BXA");
    for (int p = 0; p < MaxPatternCount + 1; ++p) {
        many.push_back(0);
        many.resize(many.size() + PatternRecordAddressBytes, static_cast<std::uint8_t>(p));
    }
    Put("pattern_file", "65-records", many);
}

void BookmarkSeeds()
{
    BookmarkList list;
    list.Marks = {{0xC000, "Font"}, {-5, "negative"}, {16, "\xE9t\xE9"}, {16, ""}, {0x7FFFFFFF, "Zebra"}};
    const Bytes five = BuildBookmarkFile(list);
    Put("bookmark_file", "five", five);
    Put("bookmark_file", "last-cut", Cut(five, five.size() - 2));
    Put("bookmark_file", "magic-only", Text("BXB"));
    Put("bookmark_file", "wrong-magic", Joined(Text("BXP"), Bytes(five.begin() + 3, five.end())));
    Put("bookmark_file", "empty", {});
    list.Marks.clear();
    for (int i = 0; i < 256; ++i)
        list.Marks.push_back({static_cast<std::int32_t>(Random()), std::string(1, static_cast<char>('a' + i % 26))});
    Put("bookmark_file", "256-records", BuildBookmarkFile(list));
}

// tile_io input: mode, address, flags, count, 64 pixels, ROM bytes.
Bytes TileInput(std::uint8_t mode, std::int32_t address, bool rawAddress, std::int16_t count, std::size_t romSize)
{
    Bytes input(8);
    input[0] = mode;
    WriteLe32(&input[1], static_cast<std::uint32_t>(address));
    input[5] = rawAddress ? 1 : 0;
    WriteLe16(&input[6], static_cast<std::uint16_t>(count));
    const Bytes pixels = RandomBytes(64);
    return Joined(Joined(input, pixels), RandomBytes(romSize));
}

void TileSeeds()
{
    for (std::uint8_t mode = 0; mode < 12; ++mode)
        Put("tile_io", "mode-" + std::to_string(mode), TileInput(mode, 32, false, 4, 1024));
    Put("tile_io", "straddles-end", TileInput(0, 1019, false, 3, 1024));
    Put("tile_io", "nes-ends-mid-tile", TileInput(1, 1014, false, 2, 1024));
    Put("tile_io", "negative-address", TileInput(3, -20, false, 2, 1024));
    Put("tile_io", "past-end", TileInput(10, 5000, false, 2, 1024));
    Put("tile_io", "huge-address", TileInput(11, 0x7FFFFFF0, true, 300, 1024));
    Put("tile_io", "count-0", TileInput(4, 0, false, 0, 1024));
    Put("tile_io", "count-negative", TileInput(4, 0, false, -3, 1024));
    Put("tile_io", "count-300", TileInput(6, 0, false, 300, 1024));
    Put("tile_io", "unknown-mode", TileInput(250, 0, false, 2, 1024));
    Put("tile_io", "empty-rom", TileInput(0, 0, false, 1, 0));
    Put("tile_io", "empty", {});
}

// tilemap input: format, width - 1, height - 1, flags, mode, palette base,
// tiles address, map address, a new entry (tile, palette, flags, index),
// then the store's bytes.
Bytes TilemapInput(int format, int width, int height, bool signedTiles, GraphicsMode mode, int tilesAddress,
                   int mapAddress, int newTile, int newPalette, int index, std::size_t storeSize)
{
    Bytes input(16);
    input[0] = static_cast<std::uint8_t>(format);
    input[1] = static_cast<std::uint8_t>(width - 1);
    input[2] = static_cast<std::uint8_t>(height - 1);
    input[3] = signedTiles ? 1 : 0;
    input[4] = mode;
    input[5] = 1;
    WriteLe16(&input[6], static_cast<std::uint16_t>(tilesAddress));
    WriteLe16(&input[8], static_cast<std::uint16_t>(mapAddress));
    WriteLe16(&input[10], static_cast<std::uint16_t>(newTile));
    input[12] = static_cast<std::uint8_t>(newPalette);
    input[13] = format >= 2 ? 3 : 0;  // both flips where the format has them
    WriteLe16(&input[14], static_cast<std::uint16_t>(index));
    return Joined(input, RandomBytes(storeSize));
}

void TilemapSeeds()
{
    const GraphicsMode modes[] = {ModeGameboy, ModeNes, ModeSnes4bpp, ModeGba4bpp, ModeGba8bpp, ModeSegaGenesis};
    for (int format = 0; format < 6; ++format)
        Put("tilemap", "format-" + std::to_string(format),
            TilemapInput(format, 32, 30, false, modes[format], 0x800, 0, 5, 1, 37, 4096));
    Put("tilemap", "gb-signed", TilemapInput(0, 20, 18, true, ModeGameboy, 0x900, 0x10, -5, 0, 3, 4096));
    Put("tilemap", "nes-odd-sides", TilemapInput(1, 5, 7, false, ModeNes, 0x100, 0, 7, 3, 34, 512));
    Put("tilemap", "map-past-end", TilemapInput(3, 40, 40, false, ModeGba4bpp, 0, 0x300, 1, 2, 0, 1024));
    Put("tilemap", "map-before-start", TilemapInput(5, 8, 8, false, ModeSegaGenesis, 64, -20, 2047, 3, 63, 1024));
    Put("tilemap", "tiles-before-start", TilemapInput(2, 4, 4, false, ModeSnes8bpp, -3000, 0, 1023, 7, 16, 256));
    Put("tilemap", "new-entry-out-of-range", TilemapInput(4, 2, 2, false, ModeGba8bpp, 0, 0, 1024, 1, 1, 64));
    Put("tilemap", "empty-store", TilemapInput(1, 1, 1, false, ModeNes, 0, 0, 0, 0, 0, 0));
    Put("tilemap", "empty", {});
}

// rom_patch input: the ROM's length, the ROM, then the patch.
Bytes PatchInput(const Bytes& rom, const Bytes& patch)
{
    Bytes input(2);
    WriteLe16(input.data(), static_cast<std::uint16_t>(rom.size()));
    return Joined(Joined(input, rom), patch);
}

// The patch of a few changes to rom, made by the program's own builder on a
// temporary copy.
Bytes MadePatch(const PatchFileFormat& format, const Bytes& rom,
                const std::vector<std::pair<std::size_t, std::uint8_t>>& changes)
{
    const auto path = std::filesystem::temp_directory_path() / "brixel-make-seeds-rom.bin";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(rom.data()), static_cast<std::streamsize>(rom.size()));
    RomFile file;
    file.Open(path.string());
    OriginalByteMap originals;
    for (const auto& [offset, value] : changes) {
        originals.Record(static_cast<std::int64_t>(offset), rom[offset]);
        file.WriteAt(static_cast<std::int64_t>(offset), &value, 1);
    }
    const Bytes patch = format.Build(file, originals).Bytes;
    file.Close();
    std::filesystem::remove(path);
    return patch;
}

void RomPatchSeeds()
{
    const Bytes rom = RandomBytes(512);
    const std::vector<std::pair<std::size_t, std::uint8_t>> changes = {{0, static_cast<std::uint8_t>(~rom[0])},
                                                                       {1, static_cast<std::uint8_t>(~rom[1])},
                                                                       {200, static_cast<std::uint8_t>(~rom[200])},
                                                                       {511, static_cast<std::uint8_t>(~rom[511])}};
    const Bytes ips = MadePatch(IpsPatchFormat, rom, changes);
    const Bytes bps = MadePatch(BpsPatchFormat, rom, changes);
    Put("rom_patch", "ips", PatchInput(rom, ips));
    Put("rom_patch", "bps", PatchInput(rom, bps));
    Put("rom_patch", "ips-cut", PatchInput(rom, Cut(ips, ips.size() - 4)));
    Put("rom_patch", "bps-cut", PatchInput(rom, Cut(bps, bps.size() - 1)));
    Put("rom_patch", "bps-other-rom", PatchInput(RandomBytes(512), bps));
    Put("rom_patch", "bps-shorter-rom", PatchInput(Cut(rom, 511), bps));
    // A run, records over each other, a record past the end, the cut length.
    const Bytes records = Joined(Text("PATCH"), {0, 0, 8, 0, 0, 0, 40, 0x5A, 0, 0, 12, 0, 3, 1, 2, 3});
    Put("rom_patch", "ips-run", PatchInput(rom, Joined(records, Text("EOF"))));
    Put("rom_patch", "ips-cut-length", PatchInput(rom, Joined(Joined(records, Text("EOF")), {0, 2, 0})));
    Put("rom_patch", "ips-past-end", PatchInput(rom, Joined(Text("PATCH"), {0, 1, 255, 0, 2, 1, 2, 'E', 'O', 'F'})));
    Put("rom_patch", "ips-empty-run", PatchInput(rom, Joined(Text("PATCH"), {0, 0, 1, 0, 0, 0, 0, 1, 'E', 'O', 'F'})));
    // Every BPS action: TargetRead 2, an overlapping TargetCopy 5 from 0, a
    // SourceCopy 3 from 9, a SourceCopy 2 back to 3.
    const Bytes small = RandomBytes(12);
    Bytes body = Joined(Text("BPS1"), {0x8C, 0x8C, 0x80, 0x85, 1, 2, 0x93, 0x80, 0x8A, 0x92, 0x86, 0x93});
    const Bytes target = {1, 2, 1, 2, 1, 2, 1, small[9], small[10], small[11], small[3], small[4]};
    Bytes sums(8);
    WriteLe32(&sums[0], static_cast<std::uint32_t>(crc32(0, small.data(), 12)));
    WriteLe32(&sums[4], static_cast<std::uint32_t>(crc32(0, target.data(), 12)));
    body = Joined(body, sums);
    Bytes own(4);
    WriteLe32(own.data(), static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
    Put("rom_patch", "bps-copies", PatchInput(small, Joined(body, own)));
    Put("rom_patch", "not-a-patch", PatchInput(rom, Text("UPS1")));
    Put("rom_patch", "empty", {});
}

Bytes BigEndian32(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

Bytes PngChunk(const std::string& type, const Bytes& data)
{
    Bytes chunk = Joined(BigEndian32(static_cast<std::uint32_t>(data.size())), Joined(Text(type), data));
    const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4));
    return Joined(chunk, BigEndian32(static_cast<std::uint32_t>(crc)));
}

// A PNG of any color type from its chunks: rows of filter 0 and raw samples.
Bytes PlainPngFile(std::uint32_t width, std::uint32_t height, int depth, int colorType, const Bytes& palette,
                   const Bytes& rows)
{
    Bytes header = Joined(BigEndian32(width), BigEndian32(height));
    header = Joined(header, {static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(colorType), 0, 0, 0});
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    Bytes packed(size);
    compress(packed.data(), &size, rows.data(), static_cast<uLong>(rows.size()));
    packed.resize(size);
    Bytes file = Joined({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, PngChunk("IHDR", header));
    if (!palette.empty())
        file = Joined(file, PngChunk("PLTE", palette));
    return Joined(Joined(file, PngChunk("IDAT", packed)), PngChunk("IEND", {}));
}

// An interlaced palette PNG, written by libpng itself. No setjmp: a libpng
// error aborts this seed writer.
Bytes InterlacedPng(const IndexedImage& image)
{
    Bytes file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &file,
        [](png_structp p, png_bytep data, png_size_t length) {
            auto* out = static_cast<Bytes*>(png_get_io_ptr(p));
            out->insert(out->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width), static_cast<png_uint_32>(image.Height), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color colors[256];
    for (std::size_t i = 0; i < image.Palette.size(); ++i)
        colors[i] = {static_cast<png_byte>(image.Palette[i]), static_cast<png_byte>(image.Palette[i] >> 8),
                     static_cast<png_byte>(image.Palette[i] >> 16)};
    png_set_PLTE(png, info, colors, static_cast<int>(image.Palette.size()));
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (int y = 0; y < image.Height; ++y)
        rows.push_back(const_cast<png_bytep>(image.Indices.data()) + y * image.Width);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return file;
}

void PngSeeds()
{
    for (const int depth : {1, 2, 4, 8}) {
        IndexedImage image;
        image.Width = 13;
        image.Height = 6;
        image.BitDepth = depth;
        for (int i = 0; i < 13 * 6; ++i)
            image.Indices.push_back(static_cast<std::uint8_t>(Random() % (1u << depth)));
        for (int i = 0; i < (1 << depth); ++i)
            image.Palette.push_back(Random() & 0xFFFFFF);
        const Bytes file = EncodeIndexedPng(image);
        Put("png_read", "depth-" + std::to_string(depth) + ".png", file);
        if (depth == 4) {
            Put("png_read", "cut-in-data.png", Cut(file, file.size() - 20));
            Put("png_read", "cut-after-header.png", Cut(file, 33));
            Put("png_read", "no-end-chunk.png", Cut(file, file.size() - 12));
        }
        if (depth == 8) {
            image.Width = 16;
            image.Height = 16;
            image.Indices.resize(256);
            for (std::size_t i = 0; i < 256; ++i)
                image.Indices[i] = static_cast<std::uint8_t>(i);
            Put("png_read", "interlaced.png", InterlacedPng(image));
        }
    }
    // 2 x 2 of other color types, and an indexed image without a palette.
    Put("png_read", "truecolor.png",
        PlainPngFile(2, 2, 8, 2, {}, Joined({0}, Joined(RandomBytes(6), Joined({0}, RandomBytes(6))))));
    Put("png_read", "grayscale.png", PlainPngFile(2, 2, 8, 0, {}, {0, 1, 2, 0, 3, 4}));
    Put("png_read", "no-palette.png", PlainPngFile(2, 2, 8, 3, {}, {0, 0, 0, 0, 0, 0}));
    Put("png_read", "short-palette.png", PlainPngFile(2, 1, 8, 3, {255, 0, 0}, {0, 0, 7}));
    // Headers past the size limits over a one-row stream.
    Put("png_read", "too-wide.png", PlainPngFile(16385, 16385, 8, 3, {1, 2, 3}, {0, 0}));
    Put("png_read", "too-tall.png", PlainPngFile(1, (1u << 20) + 1, 1, 3, {1, 2, 3}, {0, 0}));
    Put("png_read", "not-a-png", Text("GIF89a"));
    Put("png_read", "empty", {});
}

}  // namespace

// After all others, so their seeds keep their random bytes.
void ActSeeds()
{
    const std::string target = "act_palette";
    const Bytes colors = BuildActPalette(RandomPalette());
    auto trailer = [&](std::uint16_t count, std::uint16_t transparent) {
        return Joined(colors, {static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count),
                               static_cast<std::uint8_t>(transparent >> 8), static_cast<std::uint8_t>(transparent)});
    };
    Put(target, "no-trailer", colors);
    Put(target, "count-256", trailer(256, 0xFFFF));
    Put(target, "count-16-transparent-0", trailer(16, 0));
    Put(target, "count-0", trailer(0, 0xFFFF));
    Put(target, "count-257", trailer(257, 0xFFFF));
    Put(target, "cut", Cut(colors, 700));
    Put(target, "longer", Joined(trailer(256, 0xFFFF), {0}));
    Put(target, "empty", {});
}

Bytes Block(const char* id, const Bytes& data)
{
    Bytes block(8);
    std::copy_n(id, 4, block.begin());
    WriteLe32(block.data() + 4, static_cast<std::uint32_t>(data.size()));
    return Joined(block, data);
}

// A Game Boy Color state with a BESS footer: palettes in the native part at
// 0x40 and 0x80, then NAME, CORE and END blocks, the offset of NAME, "BESS".
Bytes BessState(const char* model, std::uint32_t objectOffset)
{
    Bytes core(0xD0);
    core[0] = 1;
    std::copy_n(model, 4, core.begin() + 4);
    for (const std::size_t at : {0xC0u, 0xC8u})
        core[at] = 0x40;
    WriteLe32(core.data() + 0xC4, 0x40);
    WriteLe32(core.data() + 0xCC, objectOffset);
    const Bytes native = RandomBytes(0x100);
    Bytes footer(8);
    WriteLe32(footer.data(), static_cast<std::uint32_t>(native.size()));
    std::copy_n("BESS", 4, footer.begin() + 4);
    return Joined(Joined(Joined(Joined(native, Block("NAME", Text("Brixel"))), Block("CORE", core)), Block("END ", {})),
                  footer);
}

// An uncompressed FCE Ultra state: header, then a PPU section with name
// table, palette and sprite chunks.
Bytes FceuxState(const char* paletteName)
{
    const Bytes chunks = Joined(Joined(Block("NTAR", RandomBytes(16)), Block(paletteName, RandomBytes(32))),
                                Block("SPRA", RandomBytes(8)));
    Bytes section{3, 0, 0, 0, 0};
    WriteLe32(section.data() + 1, static_cast<std::uint32_t>(section.size() + chunks.size()));
    Bytes header(16);
    std::copy_n("FCS", 3, header.begin());
    return Joined(Joined(header, section), chunks);
}

// After all others, so their seeds keep their random bytes.
void NewerSavestateSeeds()
{
    const Bytes bess = BessState("CCE ", 0x80);
    Put("bess_savestate", "cgb", bess);
    Put("bess_savestate", "dmg", BessState("GD  ", 0x80));
    Put("bess_savestate", "object-palette-last", BessState("C   ", static_cast<std::uint32_t>(bess.size() - 64)));
    Put("bess_savestate", "object-palette-outside", BessState("C   ", static_cast<std::uint32_t>(bess.size() - 63)));
    Put("bess_savestate", "cut", Cut(bess, bess.size() - 1));
    Put("bess_savestate", "empty", {});
    const Bytes fceux = FceuxState("PRAM");
    Put("fceux_savestate", "ppu", fceux);
    Put("fceux_savestate", "no-palette-chunk", FceuxState("PRAN"));
    Put("fceux_savestate", "cut", Cut(fceux, fceux.size() - 9));
    Put("fceux_savestate", "header-only", Cut(fceux, 16));
    Put("fceux_savestate", "empty", {});
}

// The palette files of paint programs; last, so the seeds above keep their
// random bytes.
void ArtistPaletteSeeds()
{
    const Palette256 colors = RandomPalette();
    Put("gimp_palette", "valid", BuildGimpPalette(colors, "Seed"));
    Put("gimp_palette", "old-crlf-names", Text("GIMP Palette\r\n  1 2 3\tdark red\r\n#\r\n\r\n255 255 255 White\r\n"));
    Put("gimp_palette", "columns-256", Text("GIMP Palette\nName: x\nColumns: 256\n1 2 3\n"));
    Put("gimp_palette", "columns-tail", Text("GIMP Palette\nName: x\nColumns: 16 wide\n1 2 3\n"));
    Put("gimp_palette", "value-256", Text("GIMP Palette\nColumns: 2\n1 2 3\n1 256 3\n"));
    Put("gimp_palette", "glued-name", Text("GIMP Palette\n1 2 3x\n"));
    Put("gimp_palette", "no-colors", Text("GIMP Palette\nName: x\n# none\n"));
    Put("gimp_palette", "wrong-magic", Text("GIMP palette\n1 2 3\n"));
    Put("gimp_palette", "257-colors", Joined(BuildGimpPalette(colors, "Seed"), Text("1 2 3\n")));
    Put("gimp_palette", "empty", {});
    Put("paint_net_palette", "valid", BuildPaintNetPalette(colors));
    Put("paint_net_palette", "comments-blanks", Text("; c\n\n 00ff8000 \nff010203"));
    Put("paint_net_palette", "six-digits", Text("FF010203\n010203\n"));
    Put("paint_net_palette", "not-hex", Text("FF01020G\n"));
    Put("paint_net_palette", "only-comments", Text(";\n;\n"));
    Put("hex_palette", "valid", BuildHexPalette(colors));
    Put("hex_palette", "crlf-upper-empty-lines", Text("FF8000\r\n\r\n0a0B0c\r\n"));
    Put("hex_palette", "with-hash", Text("#ff8000\n"));
    Put("hex_palette", "257-colors", Joined(BuildHexPalette(colors), Text("000000\n")));
    Put("hex_palette", "empty", {});
    IndexedImage image{.Width = 4, .Height = 2, .Indices = {0, 1, 2, 3, 3, 2, 1, 0}, .BitDepth = 2};
    for (int i = 0; i < 4; ++i)
        image.Palette.push_back(colors[static_cast<std::size_t>(i)]);
    const Bytes png = EncodeIndexedPng(image);
    Put("png_palette", "four-colors.png", png);
    Put("png_palette", "cut.png", Cut(png, png.size() - 20));
    Put("png_palette", "truecolor.png", PlainPngFile(1, 1, 8, 2, {}, {0, 1, 2, 3}));
    Put("png_palette", "empty", {});
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    Root = argv[1];
    PaletteSeeds();
    SavestateSeeds();
    BoycottSeeds();
    BmpSeeds();
    ConfigSeeds();
    PatternSeeds();
    BookmarkSeeds();
    TileSeeds();
    JascSeeds();
    RomPatchSeeds();
    PngSeeds();
    ActSeeds();
    TilemapSeeds();
    NewerSavestateSeeds();
    ArtistPaletteSeeds();
    return 0;
}
