#include "tools/graphics_search.h"

#include "core/rom_file.h"
#include "core/tile_codec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_set>

std::int64_t RomFileSource::Length() const
{
    return file_.Length();
}

std::size_t RomFileSource::ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const
{
    return file_.ReadAt(offset, buffer, size);
}

std::size_t MemorySource::ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const
{
    if (offset < 0 || offset >= Length())
        return 0;
    const std::size_t count = std::min(size, bytes_.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, bytes_.data() + offset, count);
    return count;
}

std::vector<GraphicsMode> AllGraphicsModes()
{
    std::vector<GraphicsMode> modes;
    for (int mode = 0; mode < ModeCount; ++mode)
        modes.push_back(static_cast<GraphicsMode>(mode));
    return modes;
}

namespace {

using Row = std::uint64_t;

// Offsets each worker reads at once; the buffer holds one more tile's bytes
// so that every tile starting in the block is whole.
constexpr std::int64_t BlockBytes = 256 * 1024;
// Hits kept before neighbours are counted, over all threads: memory stays
// bounded whatever the file and the query.
constexpr std::size_t RawHitLimit = 1 << 18;
// Distinct rows 0 among the query tiles up to which the byte filter is built.
constexpr std::size_t MaxFilterRows = 64;

// One row of a tile from its bytes alone. Every mode moves each stored bit
// to one pixel bit, so a row is the OR of what each of its bytes gives on
// its own; the bytes and their contributions are found by asking
// DecodeTile, so no layout is written down twice.
struct RowDecoder {
    std::vector<int> Positions;
    std::vector<std::array<Row, 256>> Tables;
    bool Linear = false;  // row 0 is bytes 0-7 as they stand
};

Row DecodedRow(std::uint8_t mode, const std::uint8_t* bytes, int y)
{
    std::array<std::uint8_t, TilePixelCount> pixels;
    DecodeTile(mode, bytes, pixels.data());
    Row row;
    std::memcpy(&row, pixels.data() + TileSide * y, sizeof row);
    return row;
}

RowDecoder MakeRowDecoder(std::uint8_t mode, int y)
{
    RowDecoder decoder;
    const int bytesPerTile = StandardModes[mode].BytesPerTile;
    for (int k = 0; k < bytesPerTile; ++k) {
        std::array<std::uint8_t, MaxBytesPerTile> bytes{};
        bytes[k] = 0xFF;
        if (DecodedRow(mode, bytes.data(), y) == 0)
            continue;
        std::array<Row, 256> table;
        for (int value = 0; value < 256; ++value) {
            bytes[k] = static_cast<std::uint8_t>(value);
            table[value] = DecodedRow(mode, bytes.data(), y);
        }
        decoder.Positions.push_back(k);
        decoder.Tables.push_back(table);
    }
    decoder.Linear = decoder.Positions.size() == 8;
    for (int j = 0; decoder.Linear && j < 8; ++j)
        for (int value = 0; value < 256; ++value)
            if (decoder.Positions[j] != j || decoder.Tables[j][value] != static_cast<Row>(value) << (8 * j))
                decoder.Linear = false;
    return decoder;
}

// Rows 0 and 1 of every mode.
const RowDecoder& RowDecoderOf(GraphicsMode mode, int y = 0)
{
    static const auto decoders = [] {
        std::array<std::array<RowDecoder, 2>, ModeCount> all;
        for (int m = 0; m < ModeCount; ++m)
            for (int row = 0; row < 2; ++row)
                all[m][row] = MakeRowDecoder(static_cast<std::uint8_t>(m), row);
        return all;
    }();
    return decoders[mode][y];
}

// 0x80 in every byte of x that is zero, 0 elsewhere (no false positives).
inline Row ZeroBytes(Row x)
{
    constexpr Row low7 = 0x7F7F7F7F7F7F7F7FULL;
    return ~(((x & low7) + low7) | x | low7);
}

// Pixel pairs up to this far apart make a row's key: any five neighbouring
// pixels of at most four colors hold an equal pair, which random bytes of
// the wider modes rarely have.
constexpr int KeyDistance = 4;
using Key = std::uint64_t;

// Top bit of byte x set for the pixels x that have a pixel d places to
// their right.
constexpr Row PairsAt(int d)
{
    return 0x8080808080808080ULL >> (8 * d);
}

// Every bit a pattern key can have.
constexpr Key KeyMask = PairsAt(1) | PairsAt(2) >> 1 | PairsAt(3) >> 2 | PairsAt(4) >> 3;

// The quick reject key of a row. Patterns: for d = 1 to 4, bit 8x+8-d says
// whether pixel x equals the pixel d places to its right, which a renaming
// of colors keeps (22 bits used). Exact colors: the row itself.
inline Key RowKey(Row row, bool exact)
{
    if (exact)
        return row;
    Key key = 0;
    for (int d = 1; d <= KeyDistance; ++d)
        key |= (ZeroBytes(row ^ (row >> (8 * d))) & PairsAt(d)) >> (d - 1);
    return key;
}

// Where a key falls in a 65,536-bit set.
inline unsigned KeyIndex(Key key)
{
    return static_cast<unsigned>((key * 0x9E3779B97F4A7C15ULL) >> 48);
}

// Where the keys of rows 0 and 1 of a tile fall in a 65,536-bit set.
inline unsigned PairIndex(Key key0, Key key1)
{
    return static_cast<unsigned>(((key0 * 0x9E3779B97F4A7C15ULL) ^ (key1 * 0xC2B2AE3D27D4EB4FULL)) >> 48);
}

inline void SetBit(std::vector<std::uint64_t>& bits, unsigned index)
{
    bits[index >> 6] |= std::uint64_t{1} << (index & 63);
}

inline bool TestBit(const std::vector<std::uint64_t>& bits, unsigned index)
{
    return (bits[index >> 6] >> (index & 63)) & 1;
}

inline std::uint64_t HashTile(const std::uint8_t* key)
{
    std::uint64_t hash = 0;
    for (int i = 0; i < TilePixelCount; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, key + i, 8);
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ULL;
        hash ^= hash >> 29;
    }
    return hash;
}

// One tile the file is compared with: a query tile, possibly flipped.
struct Variant {
    TilePixels Pixels;
    TilePixels Key;  // Pixels, or their pattern
    int QueryTile;
    TileFlip Flip;
};

// A quick reject per mode: whether two of the bytes that make row 0 allow
// any query row 0 at all, looked up in a table of all 65536 values of the
// two bytes. When those two bytes are all of row 0, the table answers for
// the whole row.
struct ByteFilter {
    int First = 0;   // positions of the two bytes in the tile
    int Second = 0;  // the same as First when one byte makes row 0
    bool Complete = false;
    // Rejects at least half of all byte values; a filter that lets most
    // through costs more than it saves and is not asked.
    bool Useful = false;
    int Passed = 65536;               // byte values let through
    std::vector<std::uint64_t> Bits;  // bit b0 | b1 << 8

    bool MayMatch(const std::uint8_t* tile) const
    {
        const unsigned index = tile[First] | tile[Second] << 8;
        return (Bits[index >> 6] >> (index & 63)) & 1;
    }
};

// What every worker reads: the variants by key hash and the row 0 filters.
struct Matcher {
    bool Exact = false;
    std::vector<Variant> Variants;
    std::vector<std::pair<std::uint64_t, int>> ByHash;                            // sorted
    std::vector<std::uint64_t> RowKeys = std::vector<std::uint64_t>(65536 / 64);  // by KeyIndex
    // The same for rows 1 to 7 (entry 0 is row 1): a decoded tile is let go
    // at its first row no query tile has.
    std::array<std::vector<std::uint64_t>, 7> LowerRowKeys;
    std::vector<Key> PatternKeys;  // distinct RowKeys of the variants
    std::vector<Row> Rows;         // distinct rows 0 of the variants
    // Per mode the filter that rejects the most, and for modes with more
    // than two row 0 bytes the second best.
    std::array<ByteFilter, ModeCount> Filters;
    std::array<ByteFilter, ModeCount> NextFilters;

    // The keys of rows 0 and 1 of every variant together: a row 0 that some
    // query tile has is not enough when no query tile has it with this row 1.
    std::vector<std::uint64_t> PairKeys = std::vector<std::uint64_t>(65536 / 64);

    bool MayMatch(Key rowKey) const { return TestBit(RowKeys, KeyIndex(rowKey)); }

    bool PairMayMatch(Key key0, Key key1) const { return TestBit(PairKeys, PairIndex(key0, key1)); }

    bool LowerRowsMayMatch(const TilePixels& pixels) const
    {
        for (int y = 1; y < TileSide; ++y) {
            Row row;
            std::memcpy(&row, pixels.data() + TileSide * y, sizeof row);
            if (!TestBit(LowerRowKeys[y - 1], KeyIndex(RowKey(row, Exact))))
                return false;
        }
        return true;
    }
};

Matcher MakeMatcher(const std::vector<QueryTile>& query, const SearchOptions& options, int& skipped)
{
    Matcher matcher;
    matcher.Exact = options.Exact;
    for (auto& bits : matcher.LowerRowKeys)
        bits.assign(65536 / 64, 0);
    skipped = 0;
    for (int q = 0; q < static_cast<int>(query.size()); ++q) {
        if (options.SkipUniform && IsUniform(query[q].Pixels)) {
            ++skipped;
            continue;
        }
        const int flipCount = options.Flips ? 4 : 1;
        for (int f = 0; f < flipCount; ++f) {
            Variant variant;
            variant.Flip = static_cast<TileFlip>(f);
            variant.Pixels = FlipTile(query[q].Pixels, variant.Flip);
            variant.Key = options.Exact ? variant.Pixels : CanonicalPattern(variant.Pixels);
            variant.QueryTile = q;
            matcher.Variants.push_back(variant);
        }
    }
    for (int v = 0; v < static_cast<int>(matcher.Variants.size()); ++v) {
        const Variant& variant = matcher.Variants[v];
        matcher.ByHash.emplace_back(HashTile(variant.Key.data()), v);
        Row row;
        std::memcpy(&row, variant.Pixels.data(), sizeof row);
        const Key key = RowKey(row, options.Exact);
        SetBit(matcher.RowKeys, KeyIndex(key));
        Row second;
        std::memcpy(&second, variant.Pixels.data() + TileSide, sizeof second);
        SetBit(matcher.PairKeys, PairIndex(key, RowKey(second, options.Exact)));
        for (int y = 1; y < TileSide; ++y) {
            Row lower;
            std::memcpy(&lower, variant.Pixels.data() + TileSide * y, sizeof lower);
            SetBit(matcher.LowerRowKeys[y - 1], KeyIndex(RowKey(lower, options.Exact)));
        }
        if (std::find(matcher.Rows.begin(), matcher.Rows.end(), row) == matcher.Rows.end())
            matcher.Rows.push_back(row);
        const Key patternKey = RowKey(row, false);
        if (std::find(matcher.PatternKeys.begin(), matcher.PatternKeys.end(), patternKey) == matcher.PatternKeys.end())
            matcher.PatternKeys.push_back(patternKey);
    }
    std::sort(matcher.ByHash.begin(), matcher.ByHash.end());
    return matcher;
}

// Pairs of pixels up to KeyDistance apart (bit layout of RowKey) whose
// known bits already tell them apart, and pairs known to be equal because
// both pixels are wholly known and the same.
void KnownPairs(Row value, Row known, Row whole, Key& unequal, Key& equal)
{
    const Row wholePixels = ZeroBytes(known ^ whole);
    unequal = 0;
    equal = 0;
    for (int d = 1; d <= KeyDistance; ++d) {
        const Row bothKnown = known & (known >> (8 * d));
        const Row differ = ~ZeroBytes((value ^ (value >> (8 * d))) & bothKnown) & PairsAt(d);
        const Row same = ZeroBytes(value ^ (value >> (8 * d))) & wholePixels & (wholePixels >> (8 * d)) & PairsAt(d);
        unequal |= differ >> (d - 1);
        equal |= same >> (d - 1);
    }
}

// The filter on row 0 bytes firstByte and firstByte + 1 (of the mode's
// row 0 bytes; only firstByte when it is the last one).
ByteFilter MakeByteFilter(GraphicsMode mode, const Matcher& matcher, std::size_t firstByte)
{
    const RowDecoder& decoder = RowDecoderOf(mode);
    const auto& tables = decoder.Tables;
    const std::size_t count = decoder.Positions.size();
    ByteFilter filter;
    filter.Bits.assign(65536 / 64, 0);
    const bool two = firstByte + 1 < count;
    const std::array<Row, 256>& low = tables[firstByte];
    const std::array<Row, 256>& high = tables[two ? firstByte + 1 : firstByte];
    filter.First = decoder.Positions[firstByte];
    filter.Second = decoder.Positions[two ? firstByte + 1 : firstByte];
    filter.Complete = count <= 2;
    // Many different rows 0 would make the table slow to build and let
    // nearly everything through anyway: then only the row key filters.
    if ((matcher.Exact ? matcher.Rows.size() : matcher.PatternKeys.size()) > MaxFilterRows) {
        filter.Bits.assign(65536 / 64, ~std::uint64_t{0});
        filter.Complete = false;
        return filter;
    }
    const Row known = low[0xFF] | (two ? high[0xFF] : 0);
    const Row whole = 0x0101010101010101ULL * ((1u << StandardModes[mode].BitsPerPixel) - 1);
    for (unsigned index = 0; index < 65536; ++index) {
        const Row value = low[index & 0xFF] | (two ? high[index >> 8] : 0);
        bool may = false;
        if (matcher.Exact) {
            for (const Row row : matcher.Rows)
                may = may || ((row ^ value) & known) == 0;
        } else {
            Key unequal, equal;
            KnownPairs(value, known, whole, unequal, equal);
            for (const Key key : matcher.PatternKeys)
                may = may || ((key & unequal) == 0 && (~key & KeyMask & equal) == 0);
        }
        if (may)
            filter.Bits[index >> 6] |= std::uint64_t{1} << (index & 63);
    }
    filter.Passed = 0;
    for (const std::uint64_t word : filter.Bits)
        filter.Passed += std::popcount(word);
    filter.Useful = filter.Complete || filter.Passed <= 65536 / 2;
    return filter;
}

// The two filters on pairs of row 0 bytes that reject the most. Which pair
// does depends on where the query rows 0 have equal pixels.
void MakeByteFilters(GraphicsMode mode, Matcher& matcher)
{
    std::vector<ByteFilter> filters;
    const std::size_t count = RowDecoderOf(mode).Positions.size();
    for (std::size_t first = 0; first < count; first += 2)
        filters.push_back(MakeByteFilter(mode, matcher, first));
    std::sort(filters.begin(), filters.end(),
              [](const ByteFilter& a, const ByteFilter& b) { return a.Passed < b.Passed; });
    matcher.Filters[mode] = std::move(filters[0]);
    if (filters.size() > 1)
        matcher.NextFilters[mode] = std::move(filters[1]);
}

struct RawHit {
    std::int32_t Address;
    GraphicsMode Mode;
    TileFlip Flip;
    bool ExactColors;
    int QueryTile;
};

bool Better(const RawHit& a, const RawHit& b)
{
    if (a.ExactColors != b.ExactColors)
        return a.ExactColors;
    return a.Flip < b.Flip;
}

// One worker's state: its hits and the scratch of the pattern.
class Worker {
public:
    Worker(const Matcher& matcher, std::size_t hitLimit) : matcher_(matcher), hitLimit_(hitLimit) {}

    std::vector<RawHit> Hits;
    bool Full = false;     // hitLimit reached: the rest of the range is not searched
    bool Stopped = false;  // the cancel flag ended the scan before the range's end

    // Compares the tiles starting at bytes[0 .. count-1] (file address first
    // onwards) with the query.
    void ScanMode(GraphicsMode mode, const std::uint8_t* bytes, std::int32_t first, int count)
    {
        const RowDecoder& decoder = RowDecoderOf(mode);
        if (decoder.Linear)
            return ScanWith(mode, bytes, first, count, [](const std::uint8_t* p) {
                Row row;
                std::memcpy(&row, p, sizeof row);
                return row;
            });
        switch (decoder.Positions.size()) {
        case 1:
            return ScanTables<1>(mode, decoder, bytes, first, count);
        case 2:
            return ScanTables<2>(mode, decoder, bytes, first, count);
        case 3:
            return ScanTables<3>(mode, decoder, bytes, first, count);
        case 4:
            return ScanTables<4>(mode, decoder, bytes, first, count);
        case 8:
            return ScanTables<8>(mode, decoder, bytes, first, count);
        default:
            return ScanWith(mode, bytes, first, count,
                            [mode](const std::uint8_t* p) { return DecodedRow(mode, p, 0); });
        }
    }

private:
    template <int K>
    void ScanTables(GraphicsMode mode, const RowDecoder& decoder, const std::uint8_t* bytes, std::int32_t first,
                    int count)
    {
        std::array<int, K> positions;
        std::array<const Row*, K> tables;
        for (int j = 0; j < K; ++j) {
            positions[j] = decoder.Positions[j];
            tables[j] = decoder.Tables[j].data();
        }
        ScanWith(mode, bytes, first, count, [&](const std::uint8_t* p) {
            Row row = 0;
            for (int j = 0; j < K; ++j)
                row |= tables[j][p[positions[j]]];
            return row;
        });
    }

    template <typename RowOf>
    void ScanWith(GraphicsMode mode, const std::uint8_t* bytes, std::int32_t first, int count, RowOf rowOf)
    {
        const bool exact = matcher_.Exact;
        const ByteFilter& filter = matcher_.Filters[mode];
        const ByteFilter& next = matcher_.NextFilters[mode];
        const RowDecoder& rowOne = RowDecoderOf(mode, 1);
        for (int i = 0; i < count; ++i) {
            const std::uint8_t* tile = bytes + i;
            if (filter.Useful && !filter.MayMatch(tile))
                continue;
            if (!filter.Complete && next.Useful && !next.MayMatch(tile))
                continue;
            const Key key0 = RowKey(rowOf(tile), exact);
            if (!filter.Complete && !matcher_.MayMatch(key0))
                continue;
            if (!matcher_.PairMayMatch(key0, RowKey(DecodeRow(rowOne, tile), exact)))
                continue;
            Compare(mode, bytes + i, first + i);
            if (Full)
                return;
        }
    }

    static Row DecodeRow(const RowDecoder& decoder, const std::uint8_t* tile)
    {
        Row row = 0;
        for (std::size_t j = 0; j < decoder.Positions.size(); ++j)
            row |= decoder.Tables[j][tile[decoder.Positions[j]]];
        return row;
    }

    // The whole tile: decoded, keyed, looked up.
    void Compare(GraphicsMode mode, const std::uint8_t* bytes, std::int32_t address)
    {
        TilePixels pixels;
        DecodeTile(mode, bytes, pixels.data());
        if (!matcher_.LowerRowsMayMatch(pixels))
            return;
        const TilePixels& key = matcher_.Exact ? pixels : Pattern(pixels);
        const std::uint64_t hash = HashTile(key.data());
        auto it = std::lower_bound(matcher_.ByHash.begin(), matcher_.ByHash.end(), std::make_pair(hash, 0));
        const std::size_t firstOfTile = Hits.size();
        for (; it != matcher_.ByHash.end() && it->first == hash; ++it) {
            const Variant& variant = matcher_.Variants[it->second];
            if (variant.Key != key)
                continue;
            const RawHit hit{address, mode, variant.Flip, variant.Pixels == pixels, variant.QueryTile};
            // One hit per query tile here: its best flip.
            auto same = std::find_if(Hits.begin() + static_cast<std::ptrdiff_t>(firstOfTile), Hits.end(),
                                     [&](const RawHit& h) { return h.QueryTile == hit.QueryTile; });
            if (same == Hits.end()) {
                if (Hits.size() >= hitLimit_) {
                    Full = true;
                    return;
                }
                Hits.push_back(hit);
            } else if (Better(hit, *same)) {
                *same = hit;
            }
        }
    }

    // CanonicalPattern, with a renaming table kept across calls: a stamp
    // per color says whether the color has been named in this tile.
    const TilePixels& Pattern(const TilePixels& pixels)
    {
        if (++stamp_ == 0) {
            stamps_.fill(0);
            stamp_ = 1;
        }
        std::uint8_t next = 0;
        for (int i = 0; i < TilePixelCount; ++i) {
            const std::uint8_t color = pixels[i];
            if (stamps_[color] != stamp_) {
                stamps_[color] = stamp_;
                names_[color] = next++;
            }
            pattern_[i] = names_[color];
        }
        return pattern_;
    }

    const Matcher& matcher_;
    std::size_t hitLimit_;
    std::array<std::uint32_t, 256> stamps_{};
    std::array<std::uint8_t, 256> names_{};
    std::uint32_t stamp_ = 0;
    TilePixels pattern_{};
};

// Reports the fraction done at most once per percent, one call at a time.
class ProgressGate {
public:
    ProgressGate(const SearchProgress& progress, std::int64_t total) : progress_(progress), total_(total) {}

    void Add(std::int64_t bytes)
    {
        if (!progress_ || total_ <= 0)
            return;
        const std::int64_t done = done_.fetch_add(bytes) + bytes;
        const int percent = static_cast<int>(done * 100 / total_);
        // Under the lock the percent only grows, so the fractions told do too.
        std::lock_guard lock(mutex_);
        if (percent <= lastPercent_)
            return;
        lastPercent_ = percent;
        progress_(static_cast<double>(done) / static_cast<double>(total_));
    }

private:
    const SearchProgress& progress_;
    std::int64_t total_;
    std::atomic<std::int64_t> done_{0};
    int lastPercent_ = 0;
    std::mutex mutex_;
};

// Scans the tile starts [begin, end) of the source in every mode.
void ScanRange(const SearchSource& source, std::int64_t length, std::int64_t begin, std::int64_t end,
               const std::vector<GraphicsMode>& modes, Worker& worker, const std::atomic<bool>& cancel,
               ProgressGate& progress)
{
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(BlockBytes + MaxBytesPerTile - 1));
    for (std::int64_t blockStart = begin; blockStart < end && !worker.Full; blockStart += BlockBytes) {
        const std::int64_t blockEnd = std::min(end, blockStart + BlockBytes);
        const std::size_t wanted = static_cast<std::size_t>(blockEnd - blockStart + MaxBytesPerTile - 1);
        source.ReadAt(blockStart, buffer.data(), wanted);
        for (const GraphicsMode mode : modes) {
            if (worker.Full)
                return;
            if (cancel.load(std::memory_order_relaxed)) {
                worker.Stopped = true;
                return;
            }
            // Only tiles that lie wholly inside the file.
            const std::int64_t lastStart = std::min(blockEnd, length - StandardModes[mode].BytesPerTile + 1);
            if (lastStart > blockStart)
                worker.ScanMode(mode, buffer.data(), static_cast<std::int32_t>(blockStart),
                                static_cast<int>(lastStart - blockStart));
        }
        progress.Add(blockEnd - blockStart);
    }
}

// The runs of the searched query tiles: tiles in one row with consecutive
// columns, in column order. A left-out tile ends a run.
std::vector<std::vector<int>> FindRuns(const std::vector<QueryTile>& query, const Matcher& matcher)
{
    std::vector<int> searched;
    for (const Variant& v : matcher.Variants)
        if (searched.empty() || searched.back() != v.QueryTile)
            searched.push_back(v.QueryTile);
    std::sort(searched.begin(), searched.end(), [&](int a, int b) {
        if (query[a].Row != query[b].Row)
            return query[a].Row < query[b].Row;
        return query[a].Column != query[b].Column ? query[a].Column < query[b].Column : a < b;
    });
    std::vector<std::vector<int>> runs;
    for (const int q : searched) {
        if (!runs.empty()) {
            const QueryTile& before = query[runs.back().back()];
            if (before.Row == query[q].Row && before.Column + 1 == query[q].Column) {
                runs.back().push_back(q);
                continue;
            }
        }
        runs.push_back({q});
    }
    return runs;
}

std::uint64_t HitKey(std::int64_t address, GraphicsMode mode, int queryTile, TileFlip flip)
{
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(address)) | static_cast<std::uint64_t>(mode) << 32 |
           static_cast<std::uint64_t>(flip) << 36 | static_cast<std::uint64_t>(queryTile) << 38;
}

// Turns the hits into matches: neighbours counted, runs required if asked.
std::vector<GraphicsMatch> CountNeighbours(const std::vector<RawHit>& hits, const std::vector<QueryTile>& query,
                                           const Matcher& matcher, bool requireRuns)
{
    const auto runs = FindRuns(query, matcher);
    std::vector<std::pair<int, int>> place(query.size(), {-1, 0});  // run, index in run
    for (int r = 0; r < static_cast<int>(runs.size()); ++r)
        for (int i = 0; i < static_cast<int>(runs[r].size()); ++i)
            place[runs[r][i]] = {r, i};

    std::unordered_set<std::uint64_t> found;
    found.reserve(hits.size() * 2);
    for (const RawHit& hit : hits)
        found.insert(HitKey(hit.Address, hit.Mode, hit.QueryTile, hit.Flip));

    std::vector<GraphicsMatch> matches;
    for (const RawHit& hit : hits) {
        const auto [run, index] = place[hit.QueryTile];
        const std::vector<int>& members = runs[run];
        // Mirrored left-right, a run lies backwards in the file.
        const bool backwards = hit.Flip == TileFlip::Horizontal || hit.Flip == TileFlip::Both;
        const std::int64_t step = StandardModes[hit.Mode].BytesPerTile * (backwards ? -1 : 1);
        int before = 0;
        while (index - before > 0 &&
               found.count(HitKey(hit.Address - (before + 1) * step, hit.Mode, members[index - before - 1], hit.Flip)))
            ++before;
        int after = 0;
        while (index + after + 1 < static_cast<int>(members.size()) &&
               found.count(HitKey(hit.Address + (after + 1) * step, hit.Mode, members[index + after + 1], hit.Flip)))
            ++after;
        const int neighbours = before + after + 1;
        if (requireRuns && (index != 0 || neighbours != static_cast<int>(members.size())))
            continue;
        matches.push_back({hit.Address, hit.Mode, hit.QueryTile, hit.Flip, hit.ExactColors, neighbours});
    }
    return matches;
}

bool BestFirst(const GraphicsMatch& a, const GraphicsMatch& b)
{
    if (a.Neighbours != b.Neighbours)
        return a.Neighbours > b.Neighbours;
    if (a.ExactColors != b.ExactColors)
        return a.ExactColors;
    if (a.Flip != b.Flip)
        return a.Flip < b.Flip;
    if (a.Address != b.Address)
        return a.Address < b.Address;
    if (a.Mode != b.Mode)
        return a.Mode < b.Mode;
    return a.QueryTile < b.QueryTile;
}

}  // namespace

SearchResult SearchGraphics(const SearchSource& source, const std::vector<QueryTile>& query,
                            const std::vector<GraphicsMode>& modes, const SearchOptions& options,
                            const std::atomic<bool>& cancel, const SearchProgress& progress)
{
    SearchResult result;
    Matcher matcher = MakeMatcher(query, options, result.SkippedUniform);
    std::vector<GraphicsMode> validModes;
    for (const GraphicsMode mode : modes)
        if (IsValidMode(mode) && std::find(validModes.begin(), validModes.end(), mode) == validModes.end())
            validModes.push_back(mode);
    if (!matcher.Variants.empty())
        for (const GraphicsMode mode : validModes)
            MakeByteFilters(mode, matcher);
    const std::int64_t length = source.Length();
    if (matcher.Variants.empty() || validModes.empty() || length <= 0)
        return result;

    // Each thread takes one range of tile starts and reads a tile's bytes
    // past its end, so ranges share only the overlap.
    int threadCount = options.Threads > 0 ? options.Threads : static_cast<int>(std::thread::hardware_concurrency());
    threadCount =
        static_cast<int>(std::clamp<std::int64_t>(threadCount, 1, std::max<std::int64_t>(1, length / BlockBytes)));
    ProgressGate gate(progress, length);
    std::vector<Worker> workers;
    workers.reserve(static_cast<std::size_t>(threadCount));
    for (int t = 0; t < threadCount; ++t)
        workers.emplace_back(matcher, RawHitLimit / static_cast<std::size_t>(threadCount));
    const auto rangeStart = [&](int t) { return length * t / threadCount; };
    // The caller's thread only waits, so progress is never told on it;
    // only when the system refuses a thread does it scan that range itself.
    const auto scan = [&](int t) {
        ScanRange(source, length, rangeStart(t), rangeStart(t + 1), validModes, workers[t], cancel, gate);
    };
    std::vector<std::thread> threads;
    std::vector<int> refused;
    for (int t = 0; t < threadCount; ++t)
        try {
            threads.emplace_back(scan, t);
        } catch (const std::system_error&) {
            refused.push_back(t);
        }
    for (const int t : refused)
        scan(t);
    for (auto& thread : threads)
        thread.join();

    std::vector<RawHit> hits;
    for (const Worker& worker : workers) {
        hits.insert(hits.end(), worker.Hits.begin(), worker.Hits.end());
        result.Truncated = result.Truncated || worker.Full;
        result.Cancelled = result.Cancelled || worker.Stopped;
    }
    result.Matches = CountNeighbours(hits, query, matcher, options.RequireNeighbours);
    std::sort(result.Matches.begin(), result.Matches.end(), BestFirst);
    if (result.Matches.size() > options.MaxResults) {
        result.Matches.resize(options.MaxResults);
        result.Truncated = true;
    }
    return result;
}

SearchResult SearchGraphics(const RomFile& file, const std::vector<QueryTile>& query,
                            const std::vector<GraphicsMode>& modes, const SearchOptions& options,
                            const std::atomic<bool>& cancel, const SearchProgress& progress)
{
    return SearchGraphics(RomFileSource(file), query, modes, options, cancel, progress);
}
