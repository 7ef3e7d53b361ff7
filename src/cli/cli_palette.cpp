#include "cli/cli.h"
#include "cli/cli_args.h"

#include "model/core/default_palettes.h"
#include "model/palette/palette_files.h"
#include "model/palette/palette_formats.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr std::string_view UsageHead = "Usage: brixel-cli palette IN -o OUT [--from NAME] [--format NAME]\n"
                                       "Converts a palette file. IN's format comes from its extension (or --from),\n"
                                       "OUT's from its extension (or --format). Names and extensions:\n";
constexpr std::string_view UsageIndent = "  ";
constexpr std::size_t UsageWidth = 72;

constexpr std::array<OptionSpec, 3> PaletteOptions{{{"-o", true}, {"--from", true}, {"--format", true}}};

void AppendWords(std::vector<std::string>& pieces, std::string_view text)
{
    while (!text.empty()) {
        const std::size_t space = std::min(text.find(' '), text.size());
        pieces.emplace_back(text.substr(0, space));
        text.remove_prefix(std::min(space + 1, text.size()));
    }
}

// "a", "a and b", "a, b and c".
std::string NameList(const std::vector<const PaletteFileFormat*>& formats)
{
    std::string text;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (i > 0)
            text += i + 1 == formats.size() ? " and " : ", ";
        text += formats[i]->Name;
    }
    return text;
}

// "name (pattern)," for each format, the last one ended by lastEnd; a piece
// is never split over two lines.
void AppendFormats(std::vector<std::string>& pieces, const std::vector<const PaletteFileFormat*>& formats,
                   std::string_view lastEnd)
{
    for (std::size_t i = 0; i < formats.size(); ++i)
        pieces.push_back(std::string(formats[i]->Name) + " (" + std::string(formats[i]->Patterns) + ")" +
                         std::string(i + 1 == formats.size() ? lastEnd : ","));
}

// The formats that are written, then those only read, then for each
// pattern that several formats share the order they are tried in.
std::vector<std::string> NamesParagraph()
{
    const std::vector<const PaletteFileFormat*> formats = PaletteFormatsInTryOrder();
    std::vector<const PaletteFileFormat*> written, readOnly;
    for (const PaletteFileFormat* format : formats)
        (format->Write ? written : readOnly).push_back(format);
    std::vector<std::string> pieces;
    AppendFormats(pieces, written, readOnly.empty() ? "." : ",");
    if (!readOnly.empty()) {
        AppendWords(pieces, "and, read only,");
        AppendFormats(pieces, readOnly, ".");
    }
    std::vector<std::string_view> told;
    for (const PaletteFileFormat* format : formats) {
        if (std::find(told.begin(), told.end(), format->Patterns) != told.end())
            continue;
        told.push_back(format->Patterns);
        std::vector<const PaletteFileFormat*> sharing;
        std::copy_if(formats.begin(), formats.end(), std::back_inserter(sharing),
                     [&](const PaletteFileFormat* other) { return other->Patterns == format->Patterns; });
        if (sharing.size() < 2)
            continue;
        const auto writer = std::find_if(sharing.begin(), sharing.end(),
                                         [](const PaletteFileFormat* other) { return other->Write != nullptr; });
        AppendWords(pieces,
                    "A " + std::string(format->Patterns) + " file is read as the first of " + NameList(sharing) +
                        " that takes it" +
                        (writer == sharing.end() ? "." : ", and written as " + std::string((*writer)->Name) + "."));
    }
    pieces.emplace_back("-o -");
    AppendWords(pieces, "writes the file to standard output; it needs --format.");
    return pieces;
}

std::string Wrapped(const std::vector<std::string>& pieces)
{
    std::string text;
    std::string line(UsageIndent);
    for (const std::string& piece : pieces) {
        if (line.size() > UsageIndent.size() && line.size() + 1 + piece.size() > UsageWidth) {
            text += line + '\n';
            line = UsageIndent;
        }
        if (line.size() > UsageIndent.size())
            line += ' ';
        line += piece;
    }
    return text + line + '\n';
}

const std::string& PaletteUsage()
{
    static const std::string usage = std::string(UsageHead) + Wrapped(NamesParagraph());
    return usage;
}

std::vector<const PaletteFileFormat*> FormatsFor(const std::string& path, const std::string& formatName, bool writing)
{
    if (!formatName.empty()) {
        if (const PaletteFileFormat* named = PaletteFormatNamed(formatName))
            return {named};
        throw UsageError{"unknown palette format '" + formatName + "' (brixel-cli palette --help lists them)"};
    }
    std::vector<const PaletteFileFormat*> formats = PaletteFormatsForPath(path);
    if (writing)
        std::erase_if(formats, [](const PaletteFileFormat* format) { return format->Write == nullptr; });
    if (formats.empty())
        throw UsageError{"the extension of " + path + " names no palette format the program " +
                         (writing ? "writes; give one with --format" : "reads")};
    return formats;
}

struct DefaultPalettes {
    WorkingPaletteTable WorkingPalette{};
    NesColorTable NesColors{};
};

const DefaultPalettes& Defaults()
{
    static const DefaultPalettes palettes = [] {
        DefaultPalettes made;
        InitDefaultPalettes(made.WorkingPalette, made.NesColors);
        return made;
    }();
    return palettes;
}

}  // namespace

Palette256 DefaultWorkingPalette()
{
    return Defaults().WorkingPalette;
}

Palette256 PaletteOption(const ParsedArgs& parsed)
{
    if (!parsed.Has("--palette"))
        return DefaultWorkingPalette();
    const PaletteLoad load = ReadAnyPaletteFile(parsed.Required("--palette"), "");
    if (load.Error)
        throw CliFailure{load.Error->Text};
    return load.Sets.front().Colors;
}

PaletteLoad ReadAnyPaletteFile(const std::string& path, const std::string& formatName)
{
    std::optional<PaletteLoad> firstRefusal;
    for (const PaletteFileFormat* format : FormatsFor(path, formatName, false)) {
        PaletteLoad load = LoadPaletteFile(path, *format, Defaults().NesColors);
        if (!load.Error && !load.Sets.empty())
            return load;
        if (!load.Error)
            load.Error = UserMessage{"the file holds no palette", "", MsgIcon::None};
        if (!firstRefusal)
            firstRefusal = std::move(load);
    }
    firstRefusal->Error->Text = path + ": " + firstRefusal->Error->Text;
    std::replace(firstRefusal->Error->Text.begin(), firstRefusal->Error->Text.end(), '\r', ' ');
    return *firstRefusal;
}

int RunPalette(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("palette", PaletteUsage(), PaletteOptions, arguments, out, err, [&](const ParsedArgs& parsed) {
        if (parsed.Positionals.size() != 1)
            throw UsageError{"palette takes one input file"};
        const std::string& output = parsed.Required("-o");
        if (output == StandardOutput && !parsed.Has("--format"))
            throw UsageError{"-o - (standard output) needs --format to name the palette format"};
        const PaletteFileFormat* writer = FormatsFor(output, parsed.ValueOr("--format", ""), true).front();
        if (!writer->Write)
            throw UsageError{"the program only reads that palette format"};
        const PaletteLoad load = ReadAnyPaletteFile(parsed.Positionals[0], parsed.ValueOr("--from", ""));
        if (load.Error)
            throw CliFailure{load.Error->Text};

        auto list = std::make_unique<ColorSetList>();
        const std::size_t count = std::min<std::size_t>(load.Sets.size(), MaxSetCount);
        std::copy_n(load.Sets.begin(), count, list->ColorSets.begin());
        list->SetCount = static_cast<std::uint8_t>(count);
        // A single-set format writes the first set only.
        const std::size_t written = writer->ReplacesList ? count : 1;
        if (output == StandardOutput) {
            WriteOutput(output, writer->Write(*list), out);
            err << "wrote " << written << " color set(s) to standard output\n";
            return ExitOk;
        }
        if (const auto failure = SavePaletteFile(output, *writer, *list))
            throw CliFailure{failure->Text};
        out << "wrote " << written << " color set(s) to " << output << '\n';
        return ExitOk;
    });
}
