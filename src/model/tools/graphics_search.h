#pragma once

#include "model/core/mode_table.h"
#include "model/tools/byte_filter.h"
#include "model/tools/tile_pattern.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class RomFile;

// Looks for query tiles at every byte offset of a file, in one or more
// graphics modes. Plain C++: the "Find graphics" window and the command line
// both call SearchGraphics.

// Where the bytes come from. ReadAt is called from several threads at once.
class SearchSource {
public:
    virtual ~SearchSource() = default;
    virtual std::int64_t Length() const = 0;
    // Reads up to size bytes at offset; returns how many were delivered.
    virtual std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const = 0;
};

// An open ROM file, read with its positional reads. The file must stay open
// until the search returns.
class RomFileSource : public SearchSource {
public:
    explicit RomFileSource(const RomFile& file) : file_(file) {}
    std::int64_t Length() const override;
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const override;

private:
    const RomFile& file_;
};

// Bytes in memory (tests, small files).
class MemorySource : public SearchSource {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::int64_t Length() const override { return static_cast<std::int64_t>(bytes_.size()); }
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const override;

private:
    std::vector<std::uint8_t> bytes_;
};

struct SearchOptions {
    // Color indices must be equal; otherwise tiles match when they are equal
    // up to a renaming of colors (see CanonicalPattern).
    bool Exact = false;
    // Also look for each query tile mirrored left-right, top-bottom and both.
    bool Flips = false;
    // Query tiles of one color are left out: they match every such tile.
    bool SkipUniform = true;
    // Query tiles side by side in a query row count only where the whole
    // row run is found as consecutive tiles of the file; one match is then
    // reported per run found, for the run's first tile.
    bool RequireNeighbours = false;
    // At most this many matches are returned (the best ones).
    std::size_t MaxResults = 10000;
    // Worker threads; 0 takes one per core.
    int Threads = 0;
    // Called each time the query's preparation reads the cancel flag, on
    // the searching thread, just before it reads it: a test holds the
    // preparation here.
    std::function<void()> PreparationStep;
};

// Different query tiles looked for at once, at most: the work per file tile
// that matches, and the query's preparation, grow with them.
inline constexpr int MaxDifferentQueryTiles = 4096;

// One tile the file is compared with: a different query tile, possibly
// flipped.
struct QueryVariant {
    TilePixels Pixels{};
    TilePixels Key{};  // Pixels, or their pattern
    int Tile = 0;      // index into PreparedQuery::Tiles
    TileFlip Flip = TileFlip::None;
    bool operator==(const QueryVariant&) const = default;
};

// The query made ready for the scan. Each different tile is prepared once
// however often the query shows it, and each different key is looked up
// once however many variants share it.
struct PreparedQuery {
    // The different tiles looked for, in order of first appearance, and
    // for each query tile the index of its tile (-1: left out, one color).
    std::vector<TilePixels> Tiles;
    std::vector<int> TileOf;
    // The query tiles that show each tile, in query order.
    std::vector<std::vector<int>> QueryTilesOf;
    // Each tile with each flip asked for: tile by tile, flips in order.
    std::vector<QueryVariant> Variants;
    // The variants' different keys in order of first appearance, and the
    // variants that have each, in variant order.
    std::vector<TilePixels> Keys;
    std::vector<std::vector<int>> VariantsOfKey;
    // The variants' different rows 0 and their pattern keys, in order of
    // first appearance, for the byte filters.
    search::QueryRows RowsZero;
    int SkippedUniform = 0;
    // Different tiles of the whole query, counted in full even past the
    // limit; when it is passed nothing else is prepared.
    int DifferentTiles = 0;
    bool TooManyTiles = false;
    bool Cancelled = false;  // the cancel flag stopped the preparation
};

// Prepares the query in time that grows with its tile count (hash sets, no
// search through lists), reading the cancel flag every few hundred tiles.
PreparedQuery PrepareQuery(const std::vector<QueryTile>& query, const SearchOptions& options,
                           const std::atomic<bool>& cancel);

struct GraphicsMatch {
    std::int32_t Address = 0;  // where the query tile starts in the file
    GraphicsMode Mode = ModeGameboy;
    int QueryTile = 0;  // index into the query
    TileFlip Flip = TileFlip::None;
    bool ExactColors = false;  // the same color indices, not only the same pattern
    // Query tiles of this tile's row run found as consecutive file tiles
    // together with it, itself included (1: alone).
    int Neighbours = 1;
    // Inside a compressed stream: the stream's file address and its codec's
    // place in the codec list; Address then counts in the unpacked bytes.
    // -1 for a match in the file itself.
    std::int32_t StreamAddress = -1;
    int StreamCodec = -1;
};

// The order results are listed in: more neighbours, exact colors, no flip,
// the file before streams, lower address.
bool BestMatchFirst(const GraphicsMatch& a, const GraphicsMatch& b);

struct SearchResult {
    // Best first: more neighbours, exact colors, no flip, lower address.
    std::vector<GraphicsMatch> Matches;
    bool Truncated = false;  // more matches existed than were kept
    bool Cancelled = false;  // stopped by the cancel flag; Matches holds what was found until then
    int SkippedUniform = 0;  // query tiles left out because they have one color
    // The query has more than MaxDifferentQueryTiles different tiles
    // (DifferentTiles of them, not counting those left out): nothing was
    // searched.
    bool TooManyTiles = false;
    int DifferentTiles = 0;
};

// Called with the fraction done (0 to 1), at most about 100 times per search,
// from a worker thread (one call at a time, never from the caller's thread
// unless the system refuses to start a thread): a window must pass the
// value on to its own thread.
using SearchProgress = std::function<void(double fraction)>;

// Every mode, in table order.
std::vector<GraphicsMode> AllGraphicsModes();

// Tries every byte offset a (0 <= a <= length - BytesPerTile) of the source in
// each of the modes against every query tile. Setting cancel stops the search
// within a few milliseconds, also while the query is prepared; the result
// then says Cancelled.
SearchResult SearchGraphics(const SearchSource& source, const std::vector<QueryTile>& query,
                            const std::vector<GraphicsMode>& modes, const SearchOptions& options,
                            const std::atomic<bool>& cancel, const SearchProgress& progress = {});

// The same over an open ROM file.
SearchResult SearchGraphics(const RomFile& file, const std::vector<QueryTile>& query,
                            const std::vector<GraphicsMode>& modes, const SearchOptions& options,
                            const std::atomic<bool>& cancel, const SearchProgress& progress = {});
