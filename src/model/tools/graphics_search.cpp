#include "model/tools/graphics_search.h"

#include "model/core/progress_gate.h"
#include "model/core/rom_file.h"
#include "model/core/tile_codec.h"
#include "model/core/worker_threads.h"
#include "model/tools/byte_filter.h"
#include "model/tools/gate_prefilter.h"
#include "model/tools/mode_gates.h"
#include "model/tools/row_equalities.h"
#include "model/tools/row_keys.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <tuple>
#include <type_traits>
#include <unordered_map>
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

using namespace search;

// Offsets each worker reads at once; the buffer holds one more tile's bytes
// so that every tile starting in the block is whole.
constexpr std::int64_t BlockBytes = 256 * 1024;
// Hits kept before neighbours are counted, over all threads: memory stays
// bounded whatever the file and the query.
constexpr std::size_t RawHitLimit = 1 << 18;
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

// A mode whose first byte filter lets more of the 65536 values through
// than this reads its row 0 keys from the equality arrays instead.
constexpr int KeyedAbovePassed = 65536 / 16;

// Offsets the gates look up at once.
constexpr int GateRun = 64;

// Query tiles between two reads of the cancel flag while preparing.
constexpr std::size_t PreparationCheckEvery = 256;

struct TileHash {
    std::size_t operator()(const TilePixels& tile) const { return HashTile(tile.data()); }
};

// What every worker reads: the prepared query, its keys by hash and the
// row 0 filters.
struct Matcher {
    const PreparedQuery* Query = nullptr;
    bool Exact = false;
    std::vector<std::pair<std::uint64_t, int>> ByHash;                            // key hash, key; sorted
    std::vector<std::uint64_t> RowKeys = std::vector<std::uint64_t>(65536 / 64);  // by KeyIndex
    // The same for rows 1 to 7 (entry 0 is row 1): a decoded tile is let go
    // at its first row no query tile has.
    std::array<std::vector<std::uint64_t>, 7> LowerRowKeys;
    // Per mode the filter that rejects the most, and for modes with more
    // than two row 0 bytes the second best.
    std::array<ByteFilter, ModeCount> Filters;
    std::array<ByteFilter, ModeCount> NextFilters;

    // The keys of rows 0 and 1 of every variant together: a row 0 that some
    // query tile has is not enough when no query tile has it with this row 1.
    std::vector<std::uint64_t> PairKeys = std::vector<std::uint64_t>(65536 / 64);

    // Modes looked up offset by offset through the gates, and modes whose
    // row 0 key is read from the equality arrays (pattern search only),
    // with the arrays these need.
    std::uint16_t Gated = 0;
    std::uint16_t Keyed = 0;
    std::vector<ModeGate> Gates;
    std::vector<ModeGate> RowOneGates;  // asked only when Gates let a mode through
    // Asked before the gates when it lets few offsets through.
    GatePrefilter Prefilter;
    bool NeedPlanes = false;
    bool NeedHighFirst = false;
    bool NeedLowFirst = false;
    bool NeedBytes = false;
    // The variants' row 0 flat keys, and those of rows 0 and 1 together.
    std::vector<std::uint64_t> FlatRowKeys = std::vector<std::uint64_t>(65536 / 64);
    std::vector<std::uint64_t> FlatPairKeys = std::vector<std::uint64_t>(65536 / 64);

    bool MayMatch(Key rowKey) const { return TestBit(RowKeys, KeyIndex(rowKey)); }

    bool FlatMayMatch(FlatKey key) const { return TestBit(FlatRowKeys, KeyIndex(key)); }

    bool FlatPairMayMatch(FlatKey key0, FlatKey key1) const { return TestBit(FlatPairKeys, PairIndex(key0, key1)); }

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

Matcher MakeMatcher(const PreparedQuery& query, bool exact)
{
    Matcher matcher;
    matcher.Query = &query;
    matcher.Exact = exact;
    for (auto& bits : matcher.LowerRowKeys)
        bits.assign(65536 / 64, 0);
    for (int k = 0; k < static_cast<int>(query.Keys.size()); ++k)
        matcher.ByHash.emplace_back(HashTile(query.Keys[k].data()), k);
    std::sort(matcher.ByHash.begin(), matcher.ByHash.end());
    for (const QueryVariant& variant : query.Variants) {
        Row row;
        std::memcpy(&row, variant.Pixels.data(), sizeof row);
        const Key key = RowKey(row, exact);
        SetBit(matcher.RowKeys, KeyIndex(key));
        SetBit(matcher.FlatRowKeys, KeyIndex(FlatKeyOfRow(row)));
        Row second;
        std::memcpy(&second, variant.Pixels.data() + TileSide, sizeof second);
        SetBit(matcher.FlatPairKeys, PairIndex(FlatKeyOfRow(row), FlatKeyOfRow(second)));
        SetBit(matcher.PairKeys, PairIndex(key, RowKey(second, exact)));
        for (int y = 1; y < TileSide; ++y) {
            Row lower;
            std::memcpy(&lower, variant.Pixels.data() + TileSide * y, sizeof lower);
            SetBit(matcher.LowerRowKeys[y - 1], KeyIndex(RowKey(lower, exact)));
        }
    }
    return matcher;
}

// The variants' different rows 1 and their pattern keys.
QueryRows RowsOne(const PreparedQuery& query)
{
    QueryRows rows;
    rows.Exact = query.RowsZero.Exact;
    std::unordered_set<Row> seen;
    std::unordered_set<Key> patterns;
    for (const QueryVariant& variant : query.Variants) {
        Row row;
        std::memcpy(&row, variant.Pixels.data() + TileSide, sizeof row);
        if (seen.insert(row).second)
            rows.Rows.push_back(row);
        if (const Key key = RowKey(row, false); patterns.insert(key).second)
            rows.PatternKeys.push_back(key);
    }
    return rows;
}

// The byte filters of one mode: on the pairs of its row 0 bytes and, when
// the first pair is all of row 0 and row 1 lies in two bytes, on row 1.
// A keyed mode reads its row 0 keys from the equality arrays, as its first
// filter lets many offsets through; its other filters are not built, as
// they would only be asked after the key.
struct ModeFilters {
    std::vector<ByteFilter> RowZero;
    ByteFilter RowOne;
    bool Keyed = false;
};

// Every mode's filters, built on threads that take the modes of most bytes
// first. Once cancel is set the modes not yet begun are left without.
std::array<ModeFilters, ModeCount> MakeModeFilters(const std::vector<GraphicsMode>& modes,
                                                   const PreparedQuery& prepared, bool exact, int threads,
                                                   const std::atomic<bool>& cancel)
{
    const QueryRows rowsOne = RowsOne(prepared);
    std::vector<GraphicsMode> order = modes;
    std::stable_sort(order.begin(), order.end(),
                     [](GraphicsMode a, GraphicsMode b) { return PairCount(a) > PairCount(b); });
    std::array<ModeFilters, ModeCount> filters;
    std::atomic<std::size_t> next{0};
    RunOnThreads(std::clamp(threads, 1, static_cast<int>(order.size())), [&](int) {
        for (std::size_t i = next++; i < order.size() && !cancel.load(std::memory_order_relaxed); i = next++) {
            const GraphicsMode mode = order[i];
            ModeFilters& made = filters[mode];
            const ByteFilter& first = made.RowZero.emplace_back(PairByteFilter(mode, prepared.RowsZero, 0));
            made.Keyed = !exact && RowLayoutOf(mode, 0).Source != RowSource::None && !first.Complete &&
                         first.Passed > KeyedAbovePassed;
            if (made.Keyed)
                continue;
            if (first.Complete && RowDecoderOf(mode, 1).Positions.size() <= 2)
                made.RowOne = PairByteFilter(mode, rowsOne, 0, 1);
            for (int pair = 1; pair < PairCount(mode); ++pair)
                made.RowZero.push_back(PairByteFilter(mode, prepared.RowsZero, pair));
        }
    });
    return filters;
}

struct RawHit {
    std::int32_t Address;
    GraphicsMode Mode;
    TileFlip Flip;
    bool ExactColors;
    int QueryTile;
};

// One worker's state: its hits and the scratch of the pattern.
class Worker {
public:
    Worker(const Matcher& matcher, std::size_t hitLimit) : matcher_(matcher), hitLimit_(hitLimit) {}

    std::vector<RawHit> Hits;
    bool Full = false;     // hitLimit reached: the rest of the range is not searched
    bool Stopped = false;  // the cancel flag ended the scan before the range's end

    // Compares the tiles starting at bytes[0 .. counts[m]-1] (file address
    // first onwards) with the query in each of the modes, offset by offset
    // for the gated modes and stretch by stretch for the keyed ones. The
    // hits are kept per mode and taken mode after mode at the end, so they
    // and the hit limit fall as if each mode had scanned the block alone.
    void ScanBlock(const std::vector<GraphicsMode>& modes, const std::uint8_t* bytes, std::int32_t first,
                   const std::array<int, ModeCount>& counts, const std::atomic<bool>& cancel)
    {
        blockRoom_ = hitLimit_ - Hits.size();
        int longest = 0;
        int gatedShortest = BlockBytes;
        for (const GraphicsMode mode : modes) {
            blockHits_[mode].clear();
            overflowed_[mode] = false;
            longest = std::max(longest, counts[mode]);
            if (matcher_.Gated >> mode & 1)
                gatedShortest = std::min(gatedShortest, counts[mode]);
        }
        for (int start = 0; start < longest; start += EqualityStretch) {
            if (cancel.load(std::memory_order_relaxed)) {
                Stopped = true;
                break;
            }
            const int stretch = std::min(EqualityStretch, longest - start);
            if (matcher_.Keyed != 0)
                equalities_.Fill(bytes + start, matcher_.NeedPlanes, matcher_.NeedHighFirst, matcher_.NeedLowFirst,
                                 matcher_.NeedBytes);
            for (const GraphicsMode mode : modes)
                if (matcher_.Keyed >> mode & 1)
                    KeyedStretch(mode, bytes + start, first + start, std::min(stretch, counts[mode] - start));
            if (matcher_.Gated != 0)
                GatedStretch(bytes, first, start, stretch, gatedShortest, counts);
        }
        TakeBlockHits(modes);
    }

private:
    // The modes whose row keys are read from the equality arrays: the key
    // of row 0 of each offset against the query's, then, when row 1 lies
    // alike, the keys of both rows together, then the usual checks.
    void KeyedStretch(GraphicsMode mode, const std::uint8_t* bytes, std::int32_t address, int count)
    {
        const RowLayout zero = RowLayoutOf(mode, 0);
        const RowLayout one = RowLayoutOf(mode, 1);
        const bool pairs = one.Source == zero.Source;
        const int oneStart = pairs ? one.Start : zero.Start;
        // The step is a constant of each call, so that the key loop keeps
        // nothing but the arrays' addresses.
        const auto stream = [&](const std::uint8_t* zeroAt, const std::uint8_t* oneAt, auto step) {
            KeyedWith(
                mode, bytes, address, count, pairs,
                [=](std::size_t i) { return RowEqualities::StreamKey(zeroAt + decltype(step)::value * i); },
                [=](std::size_t i) { return RowEqualities::StreamKey(oneAt + decltype(step)::value * i); });
        };
        using Nibbles = std::integral_constant<std::size_t, 2>;
        using Bytes = std::integral_constant<std::size_t, 1>;
        switch (zero.Source) {
        case RowSource::HighNibbleFirst:
            return stream(equalities_.HighFirstAt(zero.Start), equalities_.HighFirstAt(oneStart), Nibbles{});
        case RowSource::LowNibbleFirst:
            return stream(equalities_.LowFirstAt(zero.Start), equalities_.LowFirstAt(oneStart), Nibbles{});
        case RowSource::Bytes:
            return stream(equalities_.BytesAt(zero.Start), equalities_.BytesAt(oneStart), Bytes{});
        case RowSource::Planes:
            break;
        case RowSource::None:
            return;
        }
        const std::vector<const FlatKey*> planesZero = PlanesOf(RowDecoderOf(mode, 0).Positions);
        std::vector<const FlatKey*> planesOne = PlanesOf(RowDecoderOf(mode, 1).Positions);
        const bool planePairs = pairs && planesOne.size() == planesZero.size();
        if (!planePairs)
            planesOne = planesZero;
        switch (planesZero.size()) {
        case 1:
            return KeyedPlanes<1>(mode, bytes, address, count, planePairs, planesZero, planesOne);
        case 2:
            return KeyedPlanes<2>(mode, bytes, address, count, planePairs, planesZero, planesOne);
        case 3:
            return KeyedPlanes<3>(mode, bytes, address, count, planePairs, planesZero, planesOne);
        case 4:
            return KeyedPlanes<4>(mode, bytes, address, count, planePairs, planesZero, planesOne);
        default:
            for (int i = 0; i < count; ++i)
                Check(mode, bytes + i, address + i);
        }
    }

    // The plane keys of a row's bytes; neighbouring bytes are read as one pair.
    std::vector<const FlatKey*> PlanesOf(const std::vector<int>& positions) const
    {
        std::vector<const FlatKey*> planes;
        for (std::size_t j = 0; j < positions.size(); ++j) {
            const bool pair = j + 1 < positions.size() && positions[j + 1] == positions[j] + 1;
            planes.push_back(pair ? equalities_.PlanePairsAt(positions[j]) : equalities_.PlanesAt(positions[j]));
            j += pair;
        }
        return planes;
    }

    template <int K>
    void KeyedPlanes(GraphicsMode mode, const std::uint8_t* bytes, std::int32_t address, int count, bool pairs,
                     const std::vector<const FlatKey*>& fromZero, const std::vector<const FlatKey*>& fromOne)
    {
        std::array<const FlatKey*, K> zero;
        std::array<const FlatKey*, K> one;
        std::copy_n(fromZero.begin(), K, zero.begin());
        std::copy_n(fromOne.begin(), K, one.begin());
        KeyedWith(
            mode, bytes, address, count, pairs, [=](std::size_t i) { return RowEqualities::PlanesKey<K>(zero, i); },
            [=](std::size_t i) { return RowEqualities::PlanesKey<K>(one, i); });
    }

    // Row 0 keys are looked up GateRun offsets at a time with no call in
    // the loop, so the set and the arrays stay in registers; the offsets
    // whose key some query tile has are then checked one by one. Keys past
    // count are read from the arrays' spare room and not used.
    template <typename ZeroKey, typename OneKey>
    void KeyedWith(GraphicsMode mode, const std::uint8_t* bytes, std::int32_t address, int count, bool pairs,
                   ZeroKey zeroKey, OneKey oneKey)
    {
        const std::uint64_t* rowKeys = matcher_.FlatRowKeys.data();
        std::array<std::uint8_t, GateRun> keyPassed;
        for (int run = 0; run < count; run += GateRun) {
            for (int j = 0; j < GateRun; ++j) {
                const unsigned index = KeyIndex(zeroKey(static_cast<std::size_t>(run + j)));
                keyPassed[j] = static_cast<std::uint8_t>((rowKeys[index >> 6] >> (index & 63)) & 1);
            }
            std::uint64_t passed = BitsOfBytes(keyPassed);
            if (count - run < GateRun)
                passed &= (std::uint64_t{1} << (count - run)) - 1;
            for (; passed != 0; passed &= passed - 1) {
                const auto i = static_cast<std::size_t>(run + std::countr_zero(passed));
                if (!pairs || matcher_.FlatPairMayMatch(zeroKey(i), oneKey(i)))
                    Check(mode, bytes + i, address + static_cast<std::int32_t>(i));
            }
        }
    }

    // The gated modes, offset by offset: each gate's table says which of
    // them may still match; near the file's end the modes whose tiles no
    // longer fit drop out. Offsets are looked up GateRun at a time into a
    // small array, with no branch per offset, so the compiler can build
    // the table indices many at once; only offsets some mode passes are
    // then looked at one by one.
    void GatedStretch(const std::uint8_t* bytes, std::int32_t first, int start, int stretch, int gatedShortest,
                      const std::array<int, ModeCount>& counts)
    {
        const int end = start + stretch;
        int run = start;
        if (matcher_.Prefilter.Used)
            for (; run + GateRun <= end; run += GateRun)
                for (std::uint64_t passed = matcher_.Prefilter.Passed(bytes + run); passed != 0; passed &= passed - 1)
                    GateOne(bytes, first, run + std::countr_zero(passed), gatedShortest, counts);
        for (; run + GateRun <= end; run += GateRun) {
            LookUpRun(bytes + run);
            std::uint16_t any = 0;
            for (int j = 0; j < GateRun; ++j)
                any |= runModes_[j];
            if (any == 0)
                continue;
            for (std::uint64_t passed = PassedOfRun(); passed != 0; passed &= passed - 1) {
                const int j = std::countr_zero(passed);
                CheckGated(runModes_[j], bytes, first, run + j, gatedShortest, counts);
            }
        }
        for (; run < end; ++run)
            GateOne(bytes, first, run, gatedShortest, counts);
    }

    void GateOne(const std::uint8_t* bytes, std::int32_t first, int i, int gatedShortest,
                 const std::array<int, ModeCount>& counts)
    {
        unsigned modes = matcher_.Gated;
        for (const ModeGate& gate : matcher_.Gates)
            modes &= gate.At(bytes + i);
        if (modes != 0)
            CheckGated(modes, bytes, first, i, gatedShortest, counts);
    }

    // The modes each gate lets through at the GateRun offsets from tile.
    void LookUpRun(const std::uint8_t* tile)
    {
        const auto gated = static_cast<std::uint16_t>(matcher_.Gated);
        for (std::size_t g = 0; g < matcher_.Gates.size(); ++g) {
            const ModeGate& gate = matcher_.Gates[g];
            const std::uint8_t* low = tile + gate.First;
            const std::uint8_t* high = tile + gate.Second;
            for (int j = 0; j < GateRun; ++j)
                runIndices_[j] = static_cast<std::uint16_t>(low[j] | high[j] << 8);
            // The first gate writes, so that a search with one gate reads
            // nothing back.
            const std::uint16_t* table = gate.Modes.data();
            if (g == 0)
                for (int j = 0; j < GateRun; ++j)
                    runModes_[j] = gated & table[runIndices_[j]];
            else
                for (int j = 0; j < GateRun; ++j)
                    runModes_[j] &= table[runIndices_[j]];
        }
    }

    // Bit j set when some mode passed at offset j of the run: the offsets
    // are then visited without a branch per offset.
    std::uint64_t PassedOfRun()
    {
        for (int j = 0; j < GateRun; ++j)
            runPassed_[j] = runModes_[j] != 0;
        return BitsOfBytes(runPassed_);
    }

    // An offset the gates let some modes through at: the row 1 gates, the
    // modes whose tiles still fit, then each mode's own checks.
    void CheckGated(unsigned modes, const std::uint8_t* bytes, std::int32_t first, int i, int gatedShortest,
                    const std::array<int, ModeCount>& counts)
    {
        const std::uint8_t* tile = bytes + i;
        for (const ModeGate& gate : matcher_.RowOneGates)
            modes &= gate.At(tile);
        if (modes == 0)
            return;
        if (i >= gatedShortest)
            for (int m = 0; m < ModeCount; ++m)
                if (i >= counts[m])
                    modes &= ~(1u << m);
        for (; modes != 0; modes &= modes - 1) {
            const auto mode = static_cast<GraphicsMode>(std::countr_zero(modes));
            Check(mode, tile, first + i);
        }
    }

    // The per-mode checks of one offset, cheapest first: the two byte
    // filters, row 0's key, rows 0 and 1 together, then the whole tile.
    void Check(GraphicsMode mode, const std::uint8_t* tile, std::int32_t address)
    {
        const bool exact = matcher_.Exact;
        const ByteFilter& filter = matcher_.Filters[mode];
        const ByteFilter& next = matcher_.NextFilters[mode];
        if (filter.Useful && !filter.MayMatch(tile))
            return;
        if (!filter.Complete && next.Useful && !next.MayMatch(tile))
            return;
        const Key key0 = RowKey(DecodeRow(RowDecoderOf(mode, 0), tile), exact);
        if (!filter.Complete && !matcher_.MayMatch(key0))
            return;
        if (!matcher_.PairMayMatch(key0, RowKey(DecodeRow(RowDecoderOf(mode, 1), tile), exact)))
            return;
        Compare(mode, tile, address);
    }

    // The block's hits in the order of the modes, up to the hit limit.
    void TakeBlockHits(const std::vector<GraphicsMode>& modes)
    {
        for (const GraphicsMode mode : modes) {
            for (const RawHit& hit : blockHits_[mode]) {
                if (Hits.size() >= hitLimit_) {
                    Full = true;
                    return;
                }
                Hits.push_back(hit);
            }
            // More hits than the room left: the next would have passed it.
            if (overflowed_[mode]) {
                Full = true;
                return;
            }
        }
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
        const PreparedQuery& query = *matcher_.Query;
        auto it = std::lower_bound(matcher_.ByHash.begin(), matcher_.ByHash.end(), std::make_pair(hash, 0));
        for (; it != matcher_.ByHash.end() && it->first == hash; ++it)
            if (query.Keys[it->second] == key)
                return AddHits(mode, address, pixels, query.VariantsOfKey[it->second]);
    }

    // One hit per query tile showing a tile with this key: the tile's best
    // flip. A tile's variants sit together with their flips in order, so the
    // first with the file tile's own colors is the best, else the first.
    void AddHits(GraphicsMode mode, std::int32_t address, const TilePixels& pixels, const std::vector<int>& variants)
    {
        const PreparedQuery& query = *matcher_.Query;
        for (std::size_t i = 0; i < variants.size();) {
            const QueryVariant* best = &query.Variants[variants[i]];
            bool exactColors = best->Pixels == pixels;
            for (++i; i < variants.size() && query.Variants[variants[i]].Tile == best->Tile; ++i)
                if (!exactColors && query.Variants[variants[i]].Pixels == pixels) {
                    best = &query.Variants[variants[i]];
                    exactColors = true;
                }
            for (const int q : query.QueryTilesOf[best->Tile]) {
                if (blockHits_[mode].size() >= blockRoom_) {
                    overflowed_[mode] = true;
                    return;
                }
                blockHits_[mode].push_back({address, mode, best->Flip, exactColors, q});
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
    // This block's hits per mode, each at most the room the worker had
    // when the block began.
    std::array<std::vector<RawHit>, ModeCount> blockHits_;
    std::array<bool, ModeCount> overflowed_{};
    std::size_t blockRoom_ = 0;
    RowEqualities equalities_;
    std::array<std::uint32_t, 256> stamps_{};
    std::array<std::uint8_t, 256> names_{};
    std::uint32_t stamp_ = 0;
    std::array<std::uint16_t, GateRun> runIndices_{};
    std::array<std::uint16_t, GateRun> runModes_{};
    std::array<std::uint8_t, GateRun> runPassed_{};
    TilePixels pattern_{};
};

// Scans the tile starts [begin, end) of the source in every mode.
void ScanRange(const SearchSource& source, std::int64_t length, std::int64_t begin, std::int64_t end,
               const std::vector<GraphicsMode>& modes, Worker& worker, const std::atomic<bool>& cancel,
               ProgressGate& progress)
{
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(BlockBytes + MaxBytesPerTile - 1));
    for (std::int64_t blockStart = begin; blockStart < end && !worker.Full; blockStart += BlockBytes) {
        if (cancel.load(std::memory_order_relaxed)) {
            worker.Stopped = true;
            return;
        }
        const std::int64_t blockEnd = std::min(end, blockStart + BlockBytes);
        const std::size_t wanted = static_cast<std::size_t>(blockEnd - blockStart + MaxBytesPerTile - 1);
        source.ReadAt(blockStart, buffer.data(), wanted);
        // Only tiles that lie wholly inside the file.
        std::array<int, ModeCount> counts{};
        for (const GraphicsMode mode : modes) {
            const std::int64_t lastStart = std::min(blockEnd, length - StandardModes[mode].BytesPerTile + 1);
            counts[mode] = static_cast<int>(std::max<std::int64_t>(0, lastStart - blockStart));
        }
        worker.ScanBlock(modes, buffer.data(), static_cast<std::int32_t>(blockStart), counts, cancel);
        if (worker.Stopped)
            return;
        progress.Add(blockEnd - blockStart);
    }
}

// The runs of the searched query tiles: tiles in one row with consecutive
// columns, in column order. A left-out tile ends a run.
std::vector<std::vector<int>> FindRuns(const std::vector<QueryTile>& query, const PreparedQuery& prepared)
{
    std::vector<int> searched;
    for (int q = 0; q < static_cast<int>(query.size()); ++q)
        if (prepared.TileOf[q] >= 0)
            searched.push_back(q);
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
                                           const PreparedQuery& prepared, bool requireRuns)
{
    const auto runs = FindRuns(query, prepared);
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

}  // namespace

bool BestMatchFirst(const GraphicsMatch& a, const GraphicsMatch& b)
{
    if (a.Neighbours != b.Neighbours)
        return a.Neighbours > b.Neighbours;
    if (a.ExactColors != b.ExactColors)
        return a.ExactColors;
    if (a.Flip != b.Flip)
        return a.Flip < b.Flip;
    if (a.StreamAddress != b.StreamAddress)
        return a.StreamAddress < b.StreamAddress;
    if (a.Address != b.Address)
        return a.Address < b.Address;
    if (a.Mode != b.Mode)
        return a.Mode < b.Mode;
    return a.QueryTile < b.QueryTile;
}

PreparedQuery PrepareQuery(const std::vector<QueryTile>& query, const SearchOptions& options,
                           const std::atomic<bool>& cancel)
{
    PreparedQuery prepared;
    const auto stop = [&] {
        if (options.PreparationStep)
            options.PreparationStep();
        prepared.Cancelled = cancel.load(std::memory_order_relaxed);
        return prepared.Cancelled;
    };

    // Each different tile by the first query tile showing it: the set holds
    // indices, not copies of the tiles, however many there are.
    const auto hashOf = [&](int q) { return static_cast<std::size_t>(HashTile(query[q].Pixels.data())); };
    const auto sameTile = [&](int a, int b) { return query[a].Pixels == query[b].Pixels; };
    std::unordered_map<int, int, decltype(hashOf), decltype(sameTile)> tileOfFirst(64, hashOf, sameTile);
    prepared.TileOf.assign(query.size(), -1);
    for (std::size_t q = 0; q < query.size(); ++q) {
        if (q % PreparationCheckEvery == 0 && stop())
            return prepared;
        if (options.SkipUniform && IsUniform(query[q].Pixels)) {
            ++prepared.SkippedUniform;
            continue;
        }
        const auto [it, added] = tileOfFirst.try_emplace(static_cast<int>(q), prepared.DifferentTiles);
        if (added)
            ++prepared.DifferentTiles;
        if (prepared.DifferentTiles > MaxDifferentQueryTiles)
            continue;  // only counted from here on
        if (added) {
            prepared.Tiles.push_back(query[q].Pixels);
            prepared.QueryTilesOf.emplace_back();
        }
        prepared.TileOf[q] = it->second;
        prepared.QueryTilesOf[it->second].push_back(static_cast<int>(q));
    }
    if (prepared.DifferentTiles > MaxDifferentQueryTiles) {
        prepared.TooManyTiles = true;
        prepared.Tiles.clear();
        prepared.TileOf.assign(query.size(), -1);
        prepared.QueryTilesOf.clear();
        return prepared;
    }

    prepared.RowsZero.Exact = options.Exact;
    std::unordered_map<TilePixels, int, TileHash> keyIndex;
    std::unordered_set<Row> rows;
    std::unordered_set<Key> patternKeys;
    const int flipCount = options.Flips ? 4 : 1;
    for (std::size_t t = 0; t < prepared.Tiles.size(); ++t) {
        if (t % PreparationCheckEvery == 0 && stop())
            return prepared;
        for (int f = 0; f < flipCount; ++f) {
            QueryVariant variant;
            variant.Tile = static_cast<int>(t);
            variant.Flip = static_cast<TileFlip>(f);
            variant.Pixels = FlipTile(prepared.Tiles[t], variant.Flip);
            variant.Key = options.Exact ? variant.Pixels : CanonicalPattern(variant.Pixels);
            const auto [key, added] = keyIndex.try_emplace(variant.Key, static_cast<int>(prepared.Keys.size()));
            if (added) {
                prepared.Keys.push_back(variant.Key);
                prepared.VariantsOfKey.emplace_back();
            }
            prepared.VariantsOfKey[key->second].push_back(static_cast<int>(prepared.Variants.size()));
            Row row;
            std::memcpy(&row, variant.Pixels.data(), sizeof row);
            if (rows.insert(row).second)
                prepared.RowsZero.Rows.push_back(row);
            if (const Key patternKey = RowKey(row, false); patternKeys.insert(patternKey).second)
                prepared.RowsZero.PatternKeys.push_back(patternKey);
            prepared.Variants.push_back(variant);
        }
    }
    return prepared;
}

SearchResult SearchGraphics(const SearchSource& source, const std::vector<QueryTile>& query,
                            const std::vector<GraphicsMode>& modes, const SearchOptions& options,
                            const std::atomic<bool>& cancel, const SearchProgress& progress)
{
    SearchResult result;
    const PreparedQuery prepared = PrepareQuery(query, options, cancel);
    result.SkippedUniform = prepared.SkippedUniform;
    result.DifferentTiles = prepared.DifferentTiles;
    result.TooManyTiles = prepared.TooManyTiles;
    result.Cancelled = prepared.Cancelled;
    if (prepared.Cancelled || prepared.TooManyTiles)
        return result;
    Matcher matcher = MakeMatcher(prepared, options.Exact);
    std::vector<GraphicsMode> validModes;
    for (const GraphicsMode mode : modes)
        if (IsValidMode(mode) && std::find(validModes.begin(), validModes.end(), mode) == validModes.end())
            validModes.push_back(mode);
    const std::int64_t length = source.Length();
    if (prepared.Variants.empty() || validModes.empty() || length <= 0)
        return result;
    const int threadCount =
        options.Threads > 0 ? options.Threads : static_cast<int>(std::thread::hardware_concurrency());
    std::array<ModeFilters, ModeCount> modeFilters =
        MakeModeFilters(validModes, prepared, options.Exact, threadCount, cancel);
    if (cancel.load(std::memory_order_relaxed)) {
        result.Cancelled = true;
        return result;
    }
    std::vector<std::pair<GraphicsMode, const ByteFilter*>> gateFilters;
    std::vector<std::pair<GraphicsMode, const ByteFilter*>> rowOneGateFilters;
    for (const GraphicsMode mode : validModes) {
        const ByteFilter& gate = modeFilters[mode].RowZero.front();
        if (modeFilters[mode].Keyed) {
            const RowSource source = RowLayoutOf(mode, 0).Source;
            matcher.Keyed |= static_cast<std::uint16_t>(1u << mode);
            matcher.NeedPlanes = matcher.NeedPlanes || source == RowSource::Planes;
            matcher.NeedHighFirst = matcher.NeedHighFirst || source == RowSource::HighNibbleFirst;
            matcher.NeedLowFirst = matcher.NeedLowFirst || source == RowSource::LowNibbleFirst;
            matcher.NeedBytes = matcher.NeedBytes || source == RowSource::Bytes;
        } else {
            matcher.Gated |= static_cast<std::uint16_t>(1u << mode);
            gateFilters.emplace_back(mode, &gate);
            if (modeFilters[mode].RowOne.Useful)
                rowOneGateFilters.emplace_back(mode, &modeFilters[mode].RowOne);
        }
    }
    matcher.Gates = MakeModeGates(gateFilters);
    matcher.Prefilter = MakeGatePrefilter(matcher.Gates, matcher.Gated);
    matcher.RowOneGates = MakeModeGates(rowOneGateFilters);
    for (const GraphicsMode mode : validModes)
        std::tie(matcher.Filters[mode], matcher.NextFilters[mode]) =
            BestByteFilters(std::move(modeFilters[mode].RowZero));

    // Each thread takes one range of tile starts and reads a tile's bytes
    // past its end, so ranges share only the overlap.
    const int scanThreads =
        static_cast<int>(std::clamp<std::int64_t>(threadCount, 1, std::max<std::int64_t>(1, length / BlockBytes)));
    ProgressGate gate(progress, length);
    std::vector<Worker> workers;
    workers.reserve(static_cast<std::size_t>(scanThreads));
    for (int t = 0; t < scanThreads; ++t)
        workers.emplace_back(matcher, RawHitLimit / static_cast<std::size_t>(scanThreads));
    const auto rangeStart = [&](int t) { return length * t / scanThreads; };
    // The caller's thread only waits, so progress is never told on it;
    // only when the system refuses a thread does it scan that range itself.
    const auto scan = [&](int t) {
        ScanRange(source, length, rangeStart(t), rangeStart(t + 1), validModes, workers[t], cancel, gate);
    };
    RunOnThreads(scanThreads, scan);

    std::vector<RawHit> hits;
    for (const Worker& worker : workers) {
        hits.insert(hits.end(), worker.Hits.begin(), worker.Hits.end());
        result.Truncated = result.Truncated || worker.Full;
        result.Cancelled = result.Cancelled || worker.Stopped;
    }
    result.Matches = CountNeighbours(hits, query, prepared, options.RequireNeighbours);
    std::sort(result.Matches.begin(), result.Matches.end(), BestMatchFirst);
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
