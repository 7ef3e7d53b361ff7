#pragma once

#include "model/core/tile_layout.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Argument reading shared by the subcommands. A wrong call is thrown as
// UsageError (exit 2), a failure of the work as CliFailure (exit 1); the
// subcommand's runner turns either into "brixel-cli: <message>".

struct UsageError {
    std::string Message;
};

struct CliFailure {
    std::string Message;
};

struct OptionSpec {
    std::string_view Name;  // "--mode", "-o"
    bool TakesValue;
};

struct ParsedArgs {
    std::vector<std::string> Positionals;
    std::map<std::string, std::string, std::less<>> Values;
    std::set<std::string, std::less<>> Flags;
    bool Help = false;

    bool Has(std::string_view name) const { return Values.contains(name) || Flags.contains(name); }
    // The value of an option that must be given.
    const std::string& Required(std::string_view name) const;
    std::string ValueOr(std::string_view name, std::string fallback) const;
};

// Options may come anywhere; "--name=value" and "--name value" both work;
// "--help" and "-h" set Help; "--" ends the options. Throws UsageError for
// an unknown option, a missing value or a repeated option.
ParsedArgs ParseArgs(const std::vector<std::string>& arguments, std::span<const OptionSpec> options);

// A file address: decimal digits, or hexadecimal after "0x", "$" or "&H"
// (either case); 0 .. 2147483647, the whole text. nullopt otherwise.
std::optional<std::int32_t> ParseAddress(std::string_view text);

// A decimal count 1 .. max, the whole text.
std::optional<int> ParsePositive(std::string_view text, int max);

// Runs a subcommand: parses the arguments, prints the usage on --help (exit
// 0), else calls body; a UsageError prints "brixel-cli: <message>" and a
// pointer to --help (exit 2), a CliFailure "brixel-cli: <message>" (exit 1).
int RunSubcommand(std::string_view command, std::string_view usage, std::span<const OptionSpec> options,
                  const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                  const std::function<int(const ParsedArgs&)>& body);

// "-o -" names standard output; any other -o value is a file, written whole
// with WriteFileAtomically, never over anything but a regular file.
inline constexpr std::string_view StandardOutput = "-";

// For messages: "standard output" or the file's name.
std::string OutputName(const std::string& output);

// Throws CliFailure "could not write OUT: <reason>" when a save to the
// output file would be refused, so that the work is not done in vain.
void CheckOutputTarget(const std::string& output);

// Writes the bytes to the output file, or to out for standard output (then
// flushed); throws CliFailure "could not write OUT: <reason>" on failure.
void WriteOutput(const std::string& output, const std::vector<std::uint8_t>& bytes, std::ostream& out);

enum GraphicsMode : std::uint8_t;
struct StreamCodec;
class RomFile;

// --mode NAME, one of the short names of `brixel-cli modes`.
GraphicsMode ModeOption(const ParsedArgs& parsed);
// Opens the ROM for a command: CliFailure with the reason when it cannot,
// and the notice of a write put back after a crash on err.
void OpenRom(RomFile& rom, const std::string& path, std::ostream& err);

// --layout WxH[,col] (ParseTileLayout); the row order when not given.
TileLayout LayoutOption(const ParsedArgs& parsed);

// --address A in any form ParseAddress reads.
std::int32_t AddressOption(const ParsedArgs& parsed);
// --codec NAME, one of StreamCodecShortNames().
const StreamCodec& CodecOption(const ParsedArgs& parsed);
// The usage error for a codec name that names none, listing the names.
UsageError UnknownCodec(const std::string& name);
