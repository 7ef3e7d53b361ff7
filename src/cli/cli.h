#pragma once

#include "model/core/indexed_png.h"
#include "model/core/mode_short_names.h"
#include "model/core/mode_table.h"
#include "model/core/packed_color.h"
#include "model/editor/rom_tile_sheet.h"
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
int RunScan(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int RunUnpack(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int RunPack(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int RunTilemap(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int RunRomPalette(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// decode's record of its run, kept in the PNG's text chunks, so that encode
// writes back exactly the tiles decoded and never the blank cells after
// them. Values: the mode's short name, the address in hexadecimal ("0x150"),
// the count and the columns in decimal.
inline constexpr std::string_view RecordModeKey = "Brixel mode";
inline constexpr std::string_view RecordAddressKey = "Brixel address";
inline constexpr std::string_view RecordCountKey = "Brixel count";
inline constexpr std::string_view RecordColumnsKey = "Brixel columns";
// Only a sheet in a block layout records it ("2x2,col"); none is the row order.
inline constexpr std::string_view RecordLayoutKey = "Brixel layout";

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

// A palette file of any format the program reads, picked by the file's
// extension (or by formatName, a name of PaletteFormatNames), as sets.
PaletteLoad ReadAnyPaletteFile(const std::string& path, const std::string& formatName);

// The 256 colors the program starts with.
Palette256 DefaultWorkingPalette();

struct ParsedArgs;
// The colors of --palette FILE's first set (any palette file the program
// reads), or the default working palette without the option.
Palette256 PaletteOption(const ParsedArgs& parsed);
