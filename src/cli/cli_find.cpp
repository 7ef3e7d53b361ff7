#include "cli/cli.h"
#include "cli/cli_args.h"

#include "model/codec/stream_codecs.h"
#include "model/codec/stream_search.h"
#include "model/core/number_text.h"
#include "model/core/rom_file.h"
#include "model/tools/find_graphics_text.h"
#include "model/tools/graphics_search.h"
#include "model/tools/tile_pattern.h"

#include <array>
#include <atomic>
#include <ostream>

namespace {

constexpr std::string_view FindUsage =
    "Usage: brixel-cli find ROM --query TILES.png [--mode all|NAME] [--exact] [--flips]\n"
    "                       [--neighbours] [--keep-uniform] [--max N] [--in-streams]\n"
    "                       [--layout WxH[,col]]\n"
    "Looks for the 8x8 tiles of an indexed PNG (cut from its top-left corner)\n"
    "at every byte offset of the ROM, in one mode or all (the default), and\n"
    "prints one match per line, best first:\n"
    "  ADDRESS_HEX ADDRESS MODE TILE TRANSFORM NEIGHBOURS COLORS\n"
    "Tiles match when they are equal up to a renaming of colors; --exact wants\n"
    "the same color numbers. --flips also finds mirrored tiles. --neighbours\n"
    "finds tiles side by side in a row of the picture only as consecutive\n"
    "tiles of the ROM. One-color query tiles are left out unless\n"
    "--keep-uniform. At most --max matches (default 10000) are printed.\n"
    "The picture may hold at most 4096 different tiles.\n"
    "--in-streams also searches the unpacked bytes of every compressed stream\n"
    "'brixel-cli scan' finds; such a match ends with the stream, as CODEC\n"
    "STREAM_ADDRESS, and its addresses count in the unpacked bytes.\n"
    "--layout WxH[,col] reads the picture in blocks of W x H tiles (see decode):\n"
    "its whole blocks, block after block, are one run of tiles, so that with\n"
    "--neighbours a sprite is found where its tiles follow each other. TILE\n"
    "then counts along that run.\n";

static_assert(MaxDifferentQueryTiles == 4096, "the usage names the limit");

// " lz77 0x1A2B30" for a match inside a stream; nothing for the file.
std::string StreamWords(const GraphicsMatch& match)
{
    if (match.StreamAddress < 0)
        return {};
    return std::string(" ") + StreamCodecs()[static_cast<std::size_t>(match.StreamCodec)]->ShortName + " " +
           HexText(match.StreamAddress);
}

constexpr std::array<OptionSpec, 9> FindOptions{{{"--query", true},
                                                 {"--layout", true},
                                                 {"--in-streams", false},
                                                 {"--mode", true},
                                                 {"--exact", false},
                                                 {"--flips", false},
                                                 {"--neighbours", false},
                                                 {"--keep-uniform", false},
                                                 {"--max", true}}};

std::string_view FlipWord(TileFlip flip)
{
    switch (flip) {
    case TileFlip::Horizontal:
        return "flip-h";
    case TileFlip::Vertical:
        return "flip-v";
    case TileFlip::Both:
        return "flip-hv";
    case TileFlip::None:
        break;
    }
    return "none";
}

}  // namespace

int RunFind(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("find", FindUsage, FindOptions, arguments, out, err, [&](const ParsedArgs& parsed) {
        if (parsed.Positionals.size() != 1)
            throw UsageError{"find takes one ROM file"};
        std::vector<GraphicsMode> modes = AllGraphicsModes();
        if (const std::string name = parsed.ValueOr("--mode", "all"); name != "all")
            modes = {ModeOption(parsed)};
        SearchOptions options;
        options.Exact = parsed.Has("--exact");
        options.Flips = parsed.Has("--flips");
        options.RequireNeighbours = parsed.Has("--neighbours");
        options.SkipUniform = !parsed.Has("--keep-uniform");
        if (parsed.Has("--max")) {
            const auto max = ParsePositive(parsed.Required("--max"), 1000000);
            if (!max)
                throw UsageError{"--max wants a count from 1 to 1000000"};
            options.MaxResults = static_cast<std::size_t>(*max);
        }

        const Loaded<IndexedImage> picture = ReadIndexedPng(parsed.Required("--query"));
        if (picture.Error)
            throw CliFailure{picture.Error->Text};
        const std::vector<QueryTile> query =
            QueryFromImage(picture.Width, picture.Height, picture.Indices, LayoutOption(parsed));
        if (query.empty())
            throw CliFailure{parsed.Has("--layout") ? "the query picture holds no whole block of --layout " +
                                                          parsed.Required("--layout")
                                                    : std::string("the query picture is smaller than one 8x8 tile")};

        RomFile rom;
        OpenRom(rom, parsed.Positionals[0], err);
        const std::atomic<bool> never{false};
        SearchResult result = SearchGraphics(rom, query, modes, options, never);
        if (parsed.Has("--in-streams") && !result.TooManyTiles)
            MergeStreamMatches(result, SearchInStreams(RomFileSource(rom), query, modes, options, never), options);
        if (result.TooManyTiles)
            throw CliFailure{TooManyTilesText(parsed.Required("--query"), result.DifferentTiles)};
        if (result.SkippedUniform == static_cast<int>(query.size()))
            throw CliFailure{OnlyUniformQueryText};
        for (const GraphicsMatch& match : result.Matches)
            out << HexText(match.Address) << ' ' << match.Address << ' ' << ModeShortName(match.Mode) << ' '
                << match.QueryTile << ' ' << FlipWord(match.Flip) << ' ' << match.Neighbours << ' '
                << (match.ExactColors ? "exact" : "renamed") << StreamWords(match) << '\n';
        err << SearchSummaryText(result) << '\n';
        return ExitOk;
    });
}
