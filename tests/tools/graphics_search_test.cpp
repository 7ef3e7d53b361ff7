#include "model/tools/graphics_search.h"

#include "core/reference_codec.h"
#include "model/core/mode_table.h"
#include "model/core/rom_file.h"
#include "model/tools/find_graphics_text.h"
#include "model/tools/row_keys.h"
#include "model/tools/search_file_source.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <tuple>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Same colors at the same places, up to a one-to-one renaming; written
// without the program's pattern function.
bool SamePattern(const TilePixels& a, const TilePixels& b)
{
    std::map<int, int> forward, backward;
    for (int i = 0; i < 64; ++i) {
        if (forward.emplace(a[i], b[i]).first->second != b[i])
            return false;
        if (backward.emplace(b[i], a[i]).first->second != a[i])
            return false;
    }
    return true;
}

TilePixels Mirrored(const TilePixels& tile, bool leftRight, bool topBottom)
{
    TilePixels out{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            out[y * 8 + x] = tile[(topBottom ? 7 - y : y) * 8 + (leftRight ? 7 - x : x)];
    return out;
}

TilePixels ReferenceTileAt(GraphicsMode mode, const Bytes& data, std::int64_t address)
{
    const auto begin = data.begin() + address;
    return ReferenceDecode(mode, Bytes(begin, begin + StandardModes[mode].BytesPerTile));
}

void Plant(GraphicsMode mode, Bytes& data, std::int64_t address, const TilePixels& tile)
{
    const Bytes bytes = ReferenceEncode(mode, tile);
    std::copy(bytes.begin(), bytes.end(), data.begin() + address);
}

int ColorCount(GraphicsMode mode)
{
    return 1 << StandardModes[mode].BitsPerPixel;
}

// Random pixels of the mode's colors, at least two of them.
TilePixels RandomTile(GraphicsMode mode, std::mt19937& random)
{
    TilePixels tile;
    do
        for (auto& p : tile)
            p = static_cast<std::uint8_t>(random() % ColorCount(mode));
    while (std::all_of(tile.begin(), tile.end(), [&](std::uint8_t p) { return p == tile[0]; }));
    return tile;
}

// The tile under a random permutation of the mode's colors that moves at
// least one color the tile uses.
TilePixels Recolored(GraphicsMode mode, const TilePixels& tile, std::mt19937& random)
{
    std::vector<std::uint8_t> to(ColorCount(mode));
    std::iota(to.begin(), to.end(), 0);
    TilePixels out;
    do {
        std::shuffle(to.begin(), to.end(), random);
        for (int i = 0; i < 64; ++i)
            out[i] = to[tile[i]];
    } while (out == tile);
    return out;
}

SearchResult Search(const Bytes& data, const std::vector<QueryTile>& query, std::vector<GraphicsMode> modes,
                    SearchOptions options = {})
{
    const std::atomic<bool> cancel{false};
    return SearchGraphics(MemorySource(data), query, modes, options, cancel);
}

const GraphicsMatch* FindMatch(const SearchResult& result, std::int32_t address, GraphicsMode mode, int queryTile)
{
    for (const auto& m : result.Matches)
        if (m.Address == address && m.Mode == mode && m.QueryTile == queryTile)
            return &m;
    return nullptr;
}

class GraphicsSearchMode : public ::testing::TestWithParam<int> {
protected:
    GraphicsMode mode = static_cast<GraphicsMode>(GetParam());
    int bytesPerTile = StandardModes[mode].BytesPerTile;
    std::mt19937 random{static_cast<unsigned>(100 + GetParam())};
};

// Recolored plants at random byte offsets, one ending at the file's last byte:
// the search returns exactly the offsets a bit-by-bit decode of every offset
// finds, each with the right query tile and color flag.
TEST_P(GraphicsSearchMode, FindsEveryPlantedTileAndNothingElse)
{
    Bytes data = RandomBytes(6000, 7 + GetParam());
    const std::vector<QueryTile> query{{RandomTile(mode, random), 0, 0}, {RandomTile(mode, random), 5, 3}};
    // One plant at a random offset in each 1000-byte stretch, the fourth
    // with the query tile's own colors, and one at the very end.
    std::vector<std::pair<std::int32_t, int>> plants;
    for (int k = 0; k < 5; ++k)
        plants.emplace_back(1000 * k + static_cast<std::int32_t>(random() % (1000 - 64)), k % 2);
    plants.emplace_back(static_cast<std::int32_t>(data.size()) - bytesPerTile, 1);
    const std::int32_t exactPlant = plants[3].first;
    for (const auto& [address, q] : plants)
        Plant(mode, data, address, address == exactPlant ? query[q].Pixels : Recolored(mode, query[q].Pixels, random));

    const SearchResult result = Search(data, query, {mode});

    std::vector<std::pair<std::int32_t, int>> expected;
    for (std::int32_t a = 0; a + bytesPerTile <= static_cast<std::int32_t>(data.size()); ++a)
        for (int q = 0; q < 2; ++q)
            if (SamePattern(ReferenceTileAt(mode, data, a), query[q].Pixels))
                expected.emplace_back(a, q);
    for (const auto& plant : plants)
        EXPECT_NE(std::find(expected.begin(), expected.end(), plant), expected.end()) << plant.first;
    std::vector<std::pair<std::int32_t, int>> got;
    for (const auto& m : result.Matches) {
        got.emplace_back(m.Address, m.QueryTile);
        EXPECT_EQ(m.Mode, mode);
        EXPECT_EQ(m.Flip, TileFlip::None);
        EXPECT_EQ(m.Neighbours, 1);
        EXPECT_EQ(m.ExactColors, ReferenceTileAt(mode, data, m.Address) == query[m.QueryTile].Pixels);
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected);
    ASSERT_FALSE(result.Matches.empty());
    // The exact plant sorts first.
    EXPECT_EQ(result.Matches[0].Address, exactPlant);
    EXPECT_TRUE(result.Matches[0].ExactColors);
    EXPECT_FALSE(result.Truncated);
    EXPECT_FALSE(result.Cancelled);
}

// Mirrored plants are found only with Flips, each with its own flip.
TEST_P(GraphicsSearchMode, FlippedPlantsNeedTheFlipsOption)
{
    Bytes data = RandomBytes(4000, 11 + GetParam());
    const TilePixels tile = RandomTile(mode, random);
    const std::vector<std::pair<TileFlip, TilePixels>> plants{
        {TileFlip::Horizontal, Mirrored(tile, true, false)},
        {TileFlip::Vertical, Mirrored(tile, false, true)},
        {TileFlip::Both, Mirrored(tile, true, true)},
    };
    for (std::size_t i = 0; i < plants.size(); ++i) {
        ASSERT_FALSE(SamePattern(plants[i].second, tile)) << "the random tile happens to be symmetric";
        Plant(mode, data, 101 + 1000 * static_cast<std::int32_t>(i), Recolored(mode, plants[i].second, random));
    }

    const SearchResult plain = Search(data, {{tile, 0, 0}}, {mode});
    SearchOptions options;
    options.Flips = true;
    const SearchResult flipped = Search(data, {{tile, 0, 0}}, {mode}, options);

    for (std::size_t i = 0; i < plants.size(); ++i) {
        const std::int32_t address = 101 + 1000 * static_cast<std::int32_t>(i);
        EXPECT_EQ(FindMatch(plain, address, mode, 0), nullptr);
        const GraphicsMatch* match = FindMatch(flipped, address, mode, 0);
        ASSERT_NE(match, nullptr) << address;
        EXPECT_EQ(match->Flip, plants[i].first);
    }
    for (const auto& m : flipped.Matches)
        EXPECT_TRUE(SamePattern(ReferenceTileAt(mode, data, m.Address),
                                Mirrored(tile, m.Flip == TileFlip::Horizontal || m.Flip == TileFlip::Both,
                                         m.Flip == TileFlip::Vertical || m.Flip == TileFlip::Both)));
}

// Exact takes the tile with its own colors and refuses the recolored one.
TEST_P(GraphicsSearchMode, ExactRefusesRecoloredTiles)
{
    Bytes data = RandomBytes(3000, 13 + GetParam());
    const TilePixels tile = RandomTile(mode, random);
    Plant(mode, data, 500, tile);
    Plant(mode, data, 1501, Recolored(mode, tile, random));
    SearchOptions exact;
    exact.Exact = true;

    const SearchResult result = Search(data, {{tile, 0, 0}}, {mode}, exact);
    ASSERT_EQ(result.Matches.size(), 1u);
    EXPECT_EQ(result.Matches[0].Address, 500);
    EXPECT_TRUE(result.Matches[0].ExactColors);

    const SearchResult renamed = Search(data, {{tile, 0, 0}}, {mode});
    ASSERT_EQ(renamed.Matches.size(), 2u);
    EXPECT_EQ(renamed.Matches[1].Address, 1501);
    EXPECT_FALSE(renamed.Matches[1].ExactColors);
}

// Three query tiles side by side, planted as consecutive file tiles, and a
// lone copy of the middle one elsewhere.
TEST_P(GraphicsSearchMode, RunsOfNeighboursAreCountedAndCanBeRequired)
{
    Bytes data = RandomBytes(4000, 17 + GetParam());
    const std::vector<QueryTile> query{
        {RandomTile(mode, random), 2, 1}, {RandomTile(mode, random), 3, 1}, {RandomTile(mode, random), 4, 1}};
    const std::int32_t run = 333;
    for (int i = 0; i < 3; ++i)
        Plant(mode, data, run + i * bytesPerTile, Recolored(mode, query[i].Pixels, random));
    Plant(mode, data, 2500, query[1].Pixels);
    // Mirrored left-right, the run lies backwards.
    const std::int32_t mirroredRun = 3000;
    for (int i = 0; i < 3; ++i)
        Plant(mode, data, mirroredRun + (2 - i) * bytesPerTile,
              Recolored(mode, Mirrored(query[i].Pixels, true, false), random));

    SearchOptions options;
    options.Flips = true;
    const SearchResult all = Search(data, query, {mode}, options);
    ASSERT_GE(all.Matches.size(), 7u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(all.Matches[i].Neighbours, 3);
        EXPECT_EQ(all.Matches[i].Flip, TileFlip::None);
        EXPECT_EQ(all.Matches[i].Address, run + i * bytesPerTile);
        EXPECT_EQ(all.Matches[3 + i].Flip, TileFlip::Horizontal);
        EXPECT_EQ(all.Matches[3 + i].Neighbours, 3);
    }
    const GraphicsMatch* lone = FindMatch(all, 2500, mode, 1);
    ASSERT_NE(lone, nullptr);
    EXPECT_EQ(lone->Neighbours, 1);
    EXPECT_TRUE(lone->ExactColors);

    options.RequireNeighbours = true;
    const SearchResult runs = Search(data, query, {mode}, options);
    ASSERT_EQ(runs.Matches.size(), 2u);
    EXPECT_EQ(runs.Matches[0].Address, run);
    EXPECT_EQ(runs.Matches[0].QueryTile, 0);
    EXPECT_EQ(runs.Matches[0].Neighbours, 3);
    EXPECT_EQ(runs.Matches[1].Address, mirroredRun + 2 * bytesPerTile);
    EXPECT_EQ(runs.Matches[1].Flip, TileFlip::Horizontal);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, GraphicsSearchMode, ::testing::Range(0, ModeCount),
                         [](const auto& info) { return "Mode" + std::to_string(info.param); });

// Rows 0 and 1 put together from per-byte tables are the rows DecodeTile
// gives, in every mode.
TEST_P(GraphicsSearchMode, RowsFromTheirBytesAloneAreTheDecodedRows)
{
    for (unsigned seed = 0; seed < 50; ++seed) {
        const Bytes bytes = RandomBytes(bytesPerTile, seed);
        for (int y = 0; y < 2; ++y)
            EXPECT_EQ(search::DecodeRow(search::RowDecoderOf(mode, y), bytes.data()),
                      search::DecodedRow(mode, bytes.data(), y));
    }
}

// All twelve modes in one search over a file large enough for several
// threads: plants straddling the block and thread range edges are found in
// their own mode.
TEST(GraphicsSearch, AllModesAcrossThreadRanges)
{
    Bytes data = RandomBytes(1 << 20, 5);
    std::mt19937 random(9);
    const TilePixels tile = RandomTile(ModeOneBit, random);  // colors 0 and 1: valid in every mode
    std::vector<std::pair<std::int32_t, GraphicsMode>> plants;
    for (int m = 0; m < ModeCount; ++m) {
        const auto mode = static_cast<GraphicsMode>(m);
        // Thread ranges of four threads start at multiples of 256 KiB, which
        // are also block starts.
        const std::int32_t address = (m % 3 + 1) * (1 << 18) - 5 - 70 * (m / 3);
        Plant(mode, data, address, Recolored(mode, tile, random));
        plants.emplace_back(address, mode);
    }
    SearchOptions options;
    options.Threads = 4;
    std::vector<double> progress;
    const std::atomic<bool> cancel{false};
    const SearchResult result = SearchGraphics(MemorySource(data), {{tile, 0, 0}}, AllGraphicsModes(), options, cancel,
                                               [&](double f) { progress.push_back(f); });
    for (const auto& [address, mode] : plants)
        EXPECT_NE(FindMatch(result, address, mode, 0), nullptr) << StandardModes[mode].Name;
    for (const auto& m : result.Matches)
        EXPECT_TRUE(SamePattern(ReferenceTileAt(m.Mode, data, m.Address), tile));
    ASSERT_FALSE(progress.empty());
    EXPECT_LE(progress.size(), 101u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_DOUBLE_EQ(progress.back(), 1.0);
}

// Colors renamed in order of first appearance, written apart from the
// program's pattern.
TilePixels Renamed(const TilePixels& tile)
{
    std::array<int, 256> names;
    names.fill(-1);
    int next = 0;
    TilePixels out;
    for (int i = 0; i < 64; ++i)
        out[i] = static_cast<std::uint8_t>(names[tile[i]] < 0 ? names[tile[i]] = next++ : names[tile[i]]);
    return out;
}

// A query of 64 tiles lets nearly every offset past the two-byte filters of
// the wide modes, so keys of whole rows decide there: all modes at once, with
// and without flips, give exactly what a decode of every offset gives. Near
// misses are planted in every mode: a query tile changed only in pixel 6 of
// row 0, and one changed only in row 3. Some query tiles have a row 0 of one
// color, so every pixel pair of the row counts.
TEST(GraphicsSearch, ManyTilesInAllModesMatchTheDecodeOfEveryOffset)
{
    std::mt19937 random(23);
    std::vector<std::uint8_t> picture(64 * 64);
    for (auto& p : picture)
        p = static_cast<std::uint8_t>(random() % 4);
    // Tiles 12 to 23 have one color in row 0: every pixel pair of the row equal.
    for (int t = 12; t < 24; ++t)
        for (int x = 0; x < 8; ++x)
            picture[t / 8 * 8 * 64 + t % 8 * 8 + x] = 3;
    const std::vector<QueryTile> query = QueryFromImage(64, 64, picture);
    Bytes data = RandomBytes(12000, 29);
    std::vector<std::tuple<GraphicsMode, std::int32_t, int, bool>> plants;  // mode, address, query tile, a near miss
    for (int m = 0; m < ModeCount; ++m) {
        const auto mode = static_cast<GraphicsMode>(m);
        if (ColorCount(mode) < 4)
            continue;
        const std::int32_t at = 900 * m + 17;
        TilePixels late = query[m].Pixels;
        late[6] = static_cast<std::uint8_t>((late[6] + 1) % 4);
        TilePixels lower = query[m].Pixels;
        lower[3 * 8 + 2] = static_cast<std::uint8_t>((lower[3 * 8 + 2] + 1) % 4);
        Plant(mode, data, at, Recolored(mode, query[m].Pixels, random));
        Plant(mode, data, at + 150, Recolored(mode, query[m + 12].Pixels, random));
        Plant(mode, data, at + 300, late);
        Plant(mode, data, at + 600, lower);
        plants.insert(plants.end(), {{mode, at, m, false},
                                     {mode, at + 150, m + 12, false},
                                     {mode, at + 300, m, true},
                                     {mode, at + 600, m, true}});
    }
    // Tiles at the last of the 4096 offsets keyed at once, whose row 1 is keyed
    // from the end of the equality arrays.
    for (const auto& [mode, at] : {std::pair{ModeGba8bpp, 4095}, std::pair{ModeSegaGenesis, 8191}}) {
        Plant(mode, data, at, Recolored(mode, query[30].Pixels, random));
        plants.emplace_back(mode, at, 30, false);
    }
    std::vector<std::tuple<GraphicsMode, std::int32_t, TilePixels>> fileTiles;
    for (int m = 0; m < ModeCount; ++m) {
        const auto mode = static_cast<GraphicsMode>(m);
        for (std::int32_t a = 0; a + StandardModes[mode].BytesPerTile <= static_cast<std::int32_t>(data.size()); ++a)
            fileTiles.emplace_back(mode, a, Renamed(ReferenceTileAt(mode, data, a)));
    }
    for (const bool flips : {false, true}) {
        SCOPED_TRACE(flips ? "flips" : "no flips");
        std::map<TilePixels, std::vector<int>> queryTilesOf;
        for (int q = 0; q < static_cast<int>(query.size()); ++q)
            for (int f = 0; f < (flips ? 4 : 1); ++f) {
                auto& tiles = queryTilesOf[Renamed(Mirrored(query[q].Pixels, f & 1, f & 2))];
                if (tiles.empty() || tiles.back() != q)
                    tiles.push_back(q);
            }
        std::set<std::tuple<GraphicsMode, std::int32_t, int>> expected, got;
        for (const auto& [mode, address, pattern] : fileTiles)
            if (const auto it = queryTilesOf.find(pattern); it != queryTilesOf.end())
                for (const int q : it->second)
                    expected.emplace(mode, address, q);
        for (const auto& [mode, address, q, nearMiss] : plants)
            EXPECT_EQ(expected.count({mode, address, q}), nearMiss ? 0u : 1u) << address;
        SearchOptions options;
        options.Flips = flips;
        for (const GraphicsMatch& match : Search(data, query, AllGraphicsModes(), options).Matches)
            got.emplace(match.Mode, match.Address, match.QueryTile);
        EXPECT_EQ(got, expected);
    }
}

TEST(GraphicsSearch, UniformTilesAreSkippedUnlessAsked)
{
    Bytes data = RandomBytes(2000, 3);
    std::fill(data.begin() + 1000, data.begin() + 1040, 0);  // 40 zero bytes: 25 one-color Gameboy tiles
    std::mt19937 random(4);
    const TilePixels plain = RandomTile(ModeGameboy, random);
    TilePixels uniform;
    uniform.fill(2);
    Plant(ModeGameboy, data, 40, plain);
    const std::vector<QueryTile> query{{uniform, 0, 0}, {plain, 1, 0}};

    const SearchResult skipped = Search(data, query, {ModeGameboy});
    EXPECT_EQ(skipped.SkippedUniform, 1);
    ASSERT_EQ(skipped.Matches.size(), 1u);
    EXPECT_EQ(skipped.Matches[0].QueryTile, 1);

    SearchOptions options;
    options.SkipUniform = false;
    options.MaxResults = 10;
    const SearchResult kept = Search(data, query, {ModeGameboy}, options);
    EXPECT_EQ(kept.SkippedUniform, 0);
    ASSERT_EQ(kept.Matches.size(), 10u);
    EXPECT_TRUE(kept.Truncated);
    // The plain tile has its own colors, so it comes first; then one-color
    // tiles from every offset of the zero bytes.
    EXPECT_EQ(kept.Matches[0].Address, 40);
    EXPECT_EQ(kept.Matches[0].QueryTile, 1);
    EXPECT_EQ(kept.Matches[1].Address, 1000);
    EXPECT_EQ(kept.Matches[1].QueryTile, 0);
    EXPECT_EQ(kept.Matches[9].Address, 1008);
}

TEST(GraphicsSearch, ShortFilesAndBadInput)
{
    std::mt19937 random(1);
    const TilePixels tile = RandomTile(ModeGameboy, random);
    Bytes oneTile(16);
    Plant(ModeGameboy, oneTile, 0, tile);
    const SearchResult exactFit = Search(oneTile, {{tile, 0, 0}}, AllGraphicsModes());
    ASSERT_NE(FindMatch(exactFit, 0, ModeGameboy, 0), nullptr);
    for (const auto& m : exactFit.Matches)
        EXPECT_LE(StandardModes[m.Mode].BytesPerTile, 16);

    const Bytes shorter(oneTile.begin(), oneTile.end() - 1);
    EXPECT_TRUE(Search(shorter, {{tile, 0, 0}}, {ModeGameboy}).Matches.empty());
    EXPECT_TRUE(Search({}, {{tile, 0, 0}}, AllGraphicsModes()).Matches.empty());
    EXPECT_TRUE(Search(oneTile, {}, AllGraphicsModes()).Matches.empty());
    EXPECT_TRUE(Search(oneTile, {{tile, 0, 0}}, {static_cast<GraphicsMode>(12)}).Matches.empty());
}

// A ROM file on disk, read by two threads: the file's last tile and one
// across the middle, where the second thread's range starts.
TEST(GraphicsSearch, ReadsAnOpenRomFile)
{
    Bytes data = RandomBytes(600000, 8);
    std::mt19937 random(8);
    const TilePixels tile = RandomTile(ModeSnes4bpp, random);
    Plant(ModeSnes4bpp, data, 300000 - 7, Recolored(ModeSnes4bpp, tile, random));
    Plant(ModeSnes4bpp, data, 600000 - 32, tile);
    TempDir dir;
    RomFile file;
    ASSERT_TRUE(file.Open(dir.WriteFile("rom.bin", data)).Opened());
    SearchOptions options;
    options.Threads = 2;
    const std::atomic<bool> cancel{false};
    const SearchResult result = SearchGraphics(file, {{tile, 0, 0}}, {ModeSnes4bpp}, options, cancel);
    ASSERT_EQ(result.Matches.size(), 2u);
    EXPECT_EQ(result.Matches[0].Address, 600000 - 32);
    EXPECT_EQ(result.Matches[1].Address, 300000 - 7);
}

TEST(GraphicsSearch, CancelStopsEarly)
{
    const MemorySource source(RandomBytes(8 << 20, 2));
    std::mt19937 random(6);
    std::atomic<bool> cancel{false};
    double last = 0;
    int calls = 0;
    SearchOptions options;
    options.Threads = 2;
    const SearchResult result = SearchGraphics(source, {{RandomTile(ModeSnes4bpp, random), 0, 0}}, AllGraphicsModes(),
                                               options, cancel, [&](double f) {
                                                   ++calls;
                                                   last = f;
                                                   cancel = true;
                                               });
    EXPECT_TRUE(result.Cancelled);
    EXPECT_LE(calls, 2);
    EXPECT_LT(last, 0.1);

    // Set before the start: nothing is searched, though the tile is there.
    Bytes data(4096);
    const TilePixels tile = RandomTile(ModeGameboy, random);
    Plant(ModeGameboy, data, 0, tile);
    const SearchResult before = SearchGraphics(MemorySource(data), {{tile, 0, 0}}, {ModeGameboy}, {}, cancel);
    EXPECT_TRUE(before.Cancelled);
    EXPECT_TRUE(before.Matches.empty());
    EXPECT_FALSE(Search(data, {{tile, 0, 0}}, {ModeGameboy}).Cancelled);
}

// Where value stands in list; added at the end when it is not there.
template <typename T> std::size_t IndexIn(std::vector<T>& list, const T& value)
{
    const auto at = std::find(list.begin(), list.end(), value);
    if (at != list.end())
        return static_cast<std::size_t>(at - list.begin());
    list.push_back(value);
    return list.size() - 1;
}

// The program's preparation, written the slow way: lists searched through
// from the start for every tile and every variant.
PreparedQuery SlowPreparedQuery(const std::vector<QueryTile>& query, const SearchOptions& options)
{
    PreparedQuery slow;
    for (std::size_t q = 0; q < query.size(); ++q) {
        const TilePixels& pixels = query[q].Pixels;
        if (options.SkipUniform && std::count(pixels.begin(), pixels.end(), pixels[0]) == 64) {
            ++slow.SkippedUniform;
            slow.TileOf.push_back(-1);
            continue;
        }
        const std::size_t t = IndexIn(slow.Tiles, pixels);
        slow.QueryTilesOf.resize(slow.Tiles.size());
        slow.QueryTilesOf[t].push_back(static_cast<int>(q));
        slow.TileOf.push_back(static_cast<int>(t));
    }
    slow.DifferentTiles = static_cast<int>(slow.Tiles.size());
    slow.RowsZero.Exact = options.Exact;
    for (std::size_t t = 0; t < slow.Tiles.size(); ++t)
        for (int f = 0; f < (options.Flips ? 4 : 1); ++f) {
            QueryVariant v{Mirrored(slow.Tiles[t], f == 1 || f == 3, f == 2 || f == 3), {}, int(t), TileFlip(f)};
            std::vector<std::uint8_t> colors;
            for (int i = 0; i < 64; ++i)
                v.Key[i] = options.Exact ? v.Pixels[i] : static_cast<std::uint8_t>(IndexIn(colors, v.Pixels[i]));
            const std::size_t k = IndexIn(slow.Keys, v.Key);
            slow.VariantsOfKey.resize(slow.Keys.size());
            slow.VariantsOfKey[k].push_back(static_cast<int>(slow.Variants.size()));
            slow.Variants.push_back(v);
            search::Row row = 0;
            for (int x = 0; x < 8; ++x)
                row |= search::Row{v.Pixels[x]} << (8 * x);
            IndexIn(slow.RowsZero.Rows, row);
            IndexIn(slow.RowsZero.PatternKeys, search::RowKey(row, false));
        }
    return slow;
}

// A picture of random tiles drawn from a few, so tiles repeat; some are
// recolored copies (the same pattern), some symmetric (their flips are
// themselves), some of one color.
TEST(GraphicsSearch, PreparedQueryEqualsTheSlowWay)
{
    std::mt19937 random(21);
    std::vector<TilePixels> kinds;
    for (int i = 0; i < 6; ++i)
        kinds.push_back(RandomTile(ModeSnes4bpp, random));
    kinds.push_back(Recolored(ModeSnes4bpp, kinds[0], random));
    TilePixels symmetric{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            symmetric[y * 8 + x] = static_cast<std::uint8_t>(std::min({x, 7 - x, y, 7 - y}));
    kinds.push_back(symmetric);
    kinds.push_back(TilePixels{});
    kinds.push_back(Recolored(ModeSnes4bpp, TilePixels{}, random));
    std::vector<QueryTile> query;
    for (int t = 0; t < 144; ++t)
        query.push_back({kinds[random() % kinds.size()], t % 12, t / 12});

    for (const auto& [exact, flips, skip] : {std::tuple{false, false, true},
                                             {false, true, true},
                                             {true, true, true},
                                             {true, false, false},
                                             {false, true, false}}) {
        SCOPED_TRACE(testing::Message() << "exact " << exact << " flips " << flips << " skip " << skip);
        SearchOptions options;
        options.Exact = exact;
        options.Flips = flips;
        options.SkipUniform = skip;
        const std::atomic<bool> cancel{false};
        const PreparedQuery got = PrepareQuery(query, options, cancel);
        const PreparedQuery slow = SlowPreparedQuery(query, options);
        EXPECT_EQ(got.Tiles, slow.Tiles);
        EXPECT_EQ(got.TileOf, slow.TileOf);
        EXPECT_EQ(got.QueryTilesOf, slow.QueryTilesOf);
        EXPECT_EQ(got.Variants, slow.Variants);
        EXPECT_EQ(got.Keys, slow.Keys);
        EXPECT_EQ(got.VariantsOfKey, slow.VariantsOfKey);
        EXPECT_EQ(got.RowsZero.Rows, slow.RowsZero.Rows);
        EXPECT_EQ(got.RowsZero.PatternKeys, slow.RowsZero.PatternKeys);
        EXPECT_EQ(got.SkippedUniform, slow.SkippedUniform);
        EXPECT_EQ(got.DifferentTiles, slow.DifferentTiles);
        EXPECT_FALSE(got.TooManyTiles || got.Cancelled);
    }
}

// A tile the query shows twice is matched once per query tile, each with
// its own neighbours.
TEST(GraphicsSearch, RepeatedQueryTilesEachGetTheirMatches)
{
    std::mt19937 random(22);
    const TilePixels a = RandomTile(ModeGameboy, random), b = RandomTile(ModeGameboy, random);
    const std::vector<QueryTile> query{{a, 0, 0}, {b, 1, 0}, {a, 2, 0}};
    Bytes data(2000);
    Plant(ModeGameboy, data, 100, a);
    Plant(ModeGameboy, data, 116, b);
    Plant(ModeGameboy, data, 132, a);
    Plant(ModeGameboy, data, 1000, Recolored(ModeGameboy, a, random));
    const SearchResult result = Search(data, query, {ModeGameboy});
    std::vector<std::tuple<std::int32_t, int, int>> got;  // address, query tile, neighbours
    for (const GraphicsMatch& m : result.Matches)
        got.emplace_back(m.Address, m.QueryTile, m.Neighbours);
    const std::vector<std::tuple<std::int32_t, int, int>> expected{{100, 0, 3}, {116, 1, 3},  {132, 2, 3}, {100, 2, 1},
                                                                   {132, 0, 1}, {1000, 0, 1}, {1000, 2, 1}};
    EXPECT_EQ(got, expected);
}

// A tile whose left-right mirror is itself recolored: both flips fit every
// copy, and the one giving the file tile's own colors is named.
TEST(GraphicsSearch, TheFlipWithTheOwnColorsIsNamed)
{
    std::mt19937 random(23);
    TilePixels tile{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x) {
            tile[y * 8 + x] = static_cast<std::uint8_t>(random() % 2);
            tile[y * 8 + 7 - x] = static_cast<std::uint8_t>(1 - tile[y * 8 + x]);
        }
    Bytes data(1000);
    Plant(ModeGameboy, data, 100, Mirrored(tile, true, false));
    Plant(ModeGameboy, data, 300, tile);
    SearchOptions options;
    options.Flips = true;
    const SearchResult result = Search(data, {{tile, 0, 0}}, {ModeGameboy}, options);
    for (const auto& [address, flip] : {std::pair{100, TileFlip::Horizontal}, std::pair{300, TileFlip::None}}) {
        const GraphicsMatch* match = FindMatch(result, address, ModeGameboy, 0);
        ASSERT_NE(match, nullptr) << address;
        EXPECT_EQ(match->Flip, flip) << address;
        EXPECT_TRUE(match->ExactColors) << address;
    }
}

// A picture whose tile t carries t's bits in its first pixels: no two alike,
// none of one color.
std::vector<QueryTile> DifferentTiles(int count)
{
    std::vector<QueryTile> query;
    for (int t = 0; t < count; ++t) {
        QueryTile tile{{}, t % 64, t / 64};
        for (int bit = 0; bit < 16; ++bit)
            tile.Pixels[bit] = static_cast<std::uint8_t>((t >> bit) & 1);
        tile.Pixels[63] = 2;
        query.push_back(tile);
    }
    return query;
}

// At most 4096 different tiles are looked for; repeats and left-out
// one-color tiles do not count.
TEST(GraphicsSearch, QueriesOfTooManyDifferentTilesAreRefused)
{
    TilePixels uniform;
    uniform.fill(1);
    struct Case {
        int Different, Repeats;  // and how many tiles are added again
        bool WithUniform, SkipUniform, Refused;
    };
    for (const Case c : {Case{4096, 0, false, true, false},
                         {4097, 0, false, true, true},
                         {4096, 500, true, true, false},
                         {4096, 0, true, false, true}}) {
        SCOPED_TRACE(testing::Message() << c.Different << " different, uniform " << c.WithUniform);
        std::vector<QueryTile> query = DifferentTiles(c.Different);
        for (int r = 0; r < c.Repeats; ++r)
            query.push_back(query[static_cast<std::size_t>(r)]);
        if (c.WithUniform)
            query.push_back({uniform, 0, 100});
        Bytes data(1000);
        Plant(ModeSnes4bpp, data, 300, query[4095].Pixels);
        SearchOptions options;
        options.SkipUniform = c.SkipUniform;
        const SearchResult result = Search(data, query, {ModeSnes4bpp}, options);
        EXPECT_EQ(result.TooManyTiles, c.Refused);
        EXPECT_EQ(result.DifferentTiles, c.Different + (c.WithUniform && !c.SkipUniform ? 1 : 0));
        EXPECT_EQ(FindMatch(result, 300, ModeSnes4bpp, 4095) != nullptr, !c.Refused);
        EXPECT_EQ(result.Matches.empty(), c.Refused);
    }
    EXPECT_EQ(TooManyTilesText("big.png", 4097),
              "big.png has 4097 different tiles; at most 4096 different tiles can be looked for at once.");
}

TEST(TilePattern, PatternsAndFlips)
{
    TilePixels tile{};
    tile[0] = 3, tile[1] = 1, tile[2] = 3, tile[3] = 2, tile[63] = 9;
    const TilePixels pattern = CanonicalPattern(tile);
    EXPECT_EQ((std::vector<int>(pattern.begin(), pattern.begin() + 5)), (std::vector<int>{0, 1, 0, 2, 3}));
    EXPECT_EQ(pattern[63], 4);
    EXPECT_EQ(FlipTile(tile, TileFlip::Horizontal)[7], 3);
    EXPECT_EQ(FlipTile(tile, TileFlip::Horizontal)[4], 2);
    EXPECT_EQ(FlipTile(tile, TileFlip::Vertical)[56], 3);
    EXPECT_EQ(FlipTile(tile, TileFlip::Both)[0], 9);
    EXPECT_EQ(FlipTile(tile, TileFlip::None), tile);
    EXPECT_FALSE(IsUniform(tile));
    EXPECT_TRUE(IsUniform(TilePixels{}));
}

TEST(TilePattern, QueriesFromPicturesAndCells)
{
    // 20 x 17: two by two whole tiles, the rest dropped.
    std::vector<std::uint8_t> picture(20 * 17);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 20; ++x)
            picture[y * 20 + x] = static_cast<std::uint8_t>(x * 10 + y);
    const auto query = QueryFromImage(20, 17, picture);
    ASSERT_EQ(query.size(), 4u);
    EXPECT_EQ(query[3].Column, 1);
    EXPECT_EQ(query[3].Row, 1);
    EXPECT_EQ(query[3].Pixels[0], 8 * 10 + 8);
    EXPECT_EQ(query[3].Pixels[63], 15 * 10 + 15);
    EXPECT_EQ(query[1].Pixels[9], 9 * 10 + 1);
    EXPECT_TRUE(QueryFromImage(20, 17, std::vector<std::uint8_t>(20 * 17 - 1)).empty());
    EXPECT_TRUE(QueryFromImage(7, 40, std::vector<std::uint8_t>(7 * 40)).empty());

    EditorSlotTable slots{};
    slots[SlotAt(14, 2)].Pixels[5] = 7;
    slots[SlotAt(15, 2)].Pixels[6] = 8;
    const auto cells = QueryFromCells(slots, SlotAt(14, 2), 4);  // the row ends after two
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].Pixels[5], 7);
    EXPECT_EQ(cells[1].Pixels[6], 8);
    EXPECT_EQ(cells[1].Column, 15);
    EXPECT_EQ(cells[1].Row, 2);
    EXPECT_TRUE(QueryFromCells(slots, EditorSlotCount, 1).empty());
}

}  // namespace

TEST(FindGraphicsTexts, SummaryAndTransforms)
{
    SearchResult result;
    EXPECT_EQ(SearchSummaryText(result), "No match found.");
    result.Matches.resize(1);
    EXPECT_EQ(SearchSummaryText(result), "1 match found.");
    result.Matches.resize(3);
    result.Truncated = true;
    EXPECT_EQ(SearchSummaryText(result), "3 matches found. Only the best 3 are listed.");
    result.Truncated = false;
    result.Cancelled = true;
    EXPECT_EQ(SearchSummaryText(result), "Search cancelled. 3 matches found.");
    EXPECT_EQ(FlipText(TileFlip::None), "as drawn");
    EXPECT_EQ(FlipText(TileFlip::Both), "turned half round");
}

TEST(OwnFileSource, ReadsOnAfterTheProgramClosedItsFile)
{
    TempDir dir;
    const std::string path = dir.WriteFile("rom.bin", CountingBytes(300));
    RomFile rom;
    std::unique_ptr<OwnFileSource> source;
    EXPECT_EQ(OwnFileSource::Open(rom, source).value_or(""), "no file is open");
    ASSERT_TRUE(rom.Open(path).Opened());
    ASSERT_FALSE(OwnFileSource::Open(rom, source));
    EXPECT_EQ(source->Length(), 300);
    // Closed by the program and removed from its folder, the file is still
    // read to its end.
    rom.Close();
    std::filesystem::remove(path);
    std::uint8_t bytes[8] = {};
    EXPECT_EQ(source->ReadAt(296, bytes, 8), 4u);  // the file ends after 4
    EXPECT_EQ(bytes[0], 296 % 256);
}
