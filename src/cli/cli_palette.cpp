#include "cli/cli.h"
#include "cli/cli_args.h"

#include "model/core/default_palettes.h"
#include "model/palette/jasc_palette_format.h"
#include "model/palette/own_palette_format.h"
#include "model/palette/palette_files.h"
#include "model/palette/riff_palette_format.h"
#include "model/palette/savestates.h"
#include "model/palette/tile_layer_palette_format.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <ostream>

namespace {

constexpr std::string_view PaletteUsage = "Usage: brixel-cli palette IN -o OUT [--from NAME] [--format NAME]\n"
                                          "Converts a palette file. IN's format comes from its extension (or --from),\n"
                                          "OUT's from its extension (or --format). Names and extensions:\n"
                                          "  bxp (*.bxp), riff (*.pal), jasc (*.pal), tlp (*.pal), and, read only,\n"
                                          "  nesticle (*.st?), vgba (*.sta), nocash (*.sna), zsnes (*.zs?),\n"
                                          "  boycott (*.cot), cygne (*.wss). A *.pal file is read as the first of\n"
                                          "  riff, jasc and tlp that takes it, and written as riff. -o - writes the\n"
                                          "  file to standard output; it needs --format.\n";

constexpr std::array<OptionSpec, 3> PaletteOptions{{{"-o", true}, {"--from", true}, {"--format", true}}};

struct NamedFormat {
    std::string_view Name;
    const PaletteFileFormat* Format;
};

// In the order a file is tried when several formats share its extension:
// RIFF and JASC check their content, Tile Layer takes any file.
const std::array<NamedFormat, 10>& NamedFormats()
{
    static const std::array<NamedFormat, 10> formats{{
        {"bxp", &OwnPaletteFile},
        {"riff", &RiffPaletteFile},
        {"jasc", &JascPaletteFile},
        {"tlp", &TileLayerPaletteFile},
        {"nesticle", &NesticleSavestate},
        {"vgba", &VgbaSavestate},
        {"nocash", &NocashSavestate},
        {"zsnes", &ZSnesSavestate},
        {"boycott", &BoycottSavestate},
        {"cygne", &CygneSavestate},
    }};
    return formats;
}

// A file-dialog pattern ("*.st?") against a file name, ignoring case.
bool Matches(std::string_view pattern, std::string_view name)
{
    if (pattern.empty())
        return name.empty();
    if (pattern[0] == '*')
        return Matches(pattern.substr(1), name) || (!name.empty() && Matches(pattern, name.substr(1)));
    if (name.empty())
        return false;
    const bool same = pattern[0] == '?' || std::tolower(static_cast<unsigned char>(pattern[0])) ==
                                               std::tolower(static_cast<unsigned char>(name[0]));
    return same && Matches(pattern.substr(1), name.substr(1));
}

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const PaletteFileFormat* FormatNamed(const std::string& name)
{
    for (const NamedFormat& named : NamedFormats())
        if (named.Name == name)
            return named.Format;
    throw UsageError{"unknown palette format '" + name + "' (brixel-cli palette --help lists them)"};
}

std::vector<const PaletteFileFormat*> FormatsFor(const std::string& path, const std::string& formatName, bool writing)
{
    if (!formatName.empty())
        return {FormatNamed(formatName)};
    std::vector<const PaletteFileFormat*> formats;
    for (const NamedFormat& named : NamedFormats())
        if (Matches(named.Format->Patterns, FileNameOf(path)) && (!writing || named.Format->Write))
            formats.push_back(named.Format);
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
    return RunSubcommand("palette", PaletteUsage, PaletteOptions, arguments, out, err, [&](const ParsedArgs& parsed) {
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
