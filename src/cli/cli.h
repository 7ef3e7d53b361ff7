#pragma once

#include "model/core/indexed_png.h"
#include "model/core/mode_table.h"
#include "model/core/packed_color.h"
#include "model/core/rom_file.h"
#include "model/palette/palette_load.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// brixel-cli: the program's tile and palette work without a window. Each
// subcommand is a function over its arguments and two streams, so tests and
// benchmarks run it in-process; main() only forwards argv.

inline constexpr int ExitOk = 0;
inline constexpr int ExitError = 1;
inline constexpr int ExitUsage = 2;

// arguments: everything after the program name.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// One subcommand each; arguments: everything after the subcommand's name.
int RunModes(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int RunDecode(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int RunEncode(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int RunChecksum(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int RunPalette(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int RunFind(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The short name of every mode ("gb", "snes4", ...) and back.
std::string_view ModeShortName(GraphicsMode mode);
std::optional<GraphicsMode> ModeFromShortName(std::string_view name);

// The tiles as one image: `columns` tiles a row, left to right, top to
// bottom; cells after the last tile hold index 0. The tiles must lie inside
// the file (DecodeRomTiles checks); the file is read in large blocks.
struct TileRun {
    GraphicsMode Mode = ModeGameboy;
    std::int32_t Address = 0;
    int Count = 0;
    int Columns = 16;
};

// The image of the run with no palette; the reason when the run does not
// lie inside the file or the image would be too large (checked before
// anything is read or allocated).
std::optional<std::string> DecodeRomTiles(const RomFile& rom, const TileRun& run, IndexedImage& image);

// decode's record of its run, kept in the PNG's text chunks, so that encode
// writes back exactly the tiles decoded and never the blank cells after
// them. Values: the mode's short name, the address in hexadecimal ("0x150"),
// the count and the columns in decimal.
inline constexpr std::string_view RecordModeKey = "Brixel mode";
inline constexpr std::string_view RecordAddressKey = "Brixel address";
inline constexpr std::string_view RecordCountKey = "Brixel count";
inline constexpr std::string_view RecordColumnsKey = "Brixel columns";

std::vector<PngText> SheetRecordTexts(const TileRun& run);

// The record of a sheet read back. Present when any of the four keys is
// there; Damage says why a present record cannot be used (a key missing or
// a value that does not read).
struct SheetRecord {
    bool Present = false;
    std::optional<std::string> Damage;
    TileRun Run;
};
SheetRecord ReadSheetRecord(const IndexedImage& image);

// What writing an image's tiles into a ROM would change or changed.
struct EncodeReport {
    int Tiles = 0;
    std::int64_t Bytes = 0;  // bytes of the whole block
    int ChangedTiles = 0;
    std::int64_t ChangedBytes = 0;
    std::vector<std::int64_t> FirstChangedOffsets;  // file offsets, at most 8
};

// EncodeImageIntoRom's tiles argument for every cell of the image.
inline constexpr int EveryCell = 0;

// Encodes the first `tiles` 8x8 cells of the image (left to right, top to
// bottom; EveryCell: all of them) in `mode` and, unless dryRun, writes the
// block at address with one write; the cells after them are neither read
// nor written. Refused, with nothing written: sides that are not multiples
// of 8, more tiles than cells, an index above the mode's largest in a cell
// to write (naming the first such pixel), a block outside the file, a write
// the file refuses.
std::optional<std::string> EncodeImageIntoRom(const IndexedImage& image, RomFile& rom, GraphicsMode mode,
                                              std::int32_t address, bool dryRun, EncodeReport& report,
                                              int tiles = EveryCell);

// A palette file of any format the program reads, picked by the file's
// extension (or by formatName, a name of PaletteFormatNames), as sets.
PaletteLoad ReadAnyPaletteFile(const std::string& path, const std::string& formatName);

// The 256 colors the program starts with.
Palette256 DefaultWorkingPalette();
