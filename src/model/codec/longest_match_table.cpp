#include "model/codec/longest_match_table.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

// One binary search tree of suffixes for each hash of a position's first
// three bytes, as in LZMA's binary-tree finders: inserting a position walks
// down from the newest node, splitting the tree around the new suffix, so a
// node's children are always older than the node and the walk passes the new
// suffix's neighbours in sorted order, which hold its longest match. Suffixes
// are ordered by their first MaxLength + 1 bytes (one more than a reference
// takes, so a match continued from the previous position stays exact), and
// match lengths are measured that far; a node equal to the new suffix that
// far is replaced by it (the newer one is as good and closer). A memo per
// distance of how far the bytes match there makes measuring cheap on runs.
//
// A match that also holds one byte earlier is the previous position's match,
// one shorter ("the continuation"); only sources preceded by another byte
// than the new position need looking for. With long references, runs of one
// byte would make the walks long (a run's suffixes sort by how much of the
// run is left, so a new run walks past most of the last one), so they are
// handled apart, exactly. Inside a run, the sources to look for are starts of
// runs of the same byte, so a position deep inside a run (more than
// TailLength of it left) only searches the tree and is not put in it. A run
// start longer than that also needs the sources deep inside earlier runs of
// its byte, which a list of those runs gives directly.

namespace {

constexpr std::uint32_t NoPosition = 0xFFFFFFFF;
constexpr int HashBits = 15;
// Run positions with at most this much of the run left stay in the tree.
constexpr std::uint32_t TailLength = 8;
// Runs are handled apart for long references only: when the tree orders
// suffixes by a few bytes, replacing equal nodes already keeps the walks on
// runs short, and every match that long would end in a scan.
constexpr std::uint32_t RunsApartFrom = 256;
// Bounds one walk on hostile input; tile graphics stay far below it, and a
// cut only loses older nodes (a shorter match, never a wrong one).
constexpr int MaxSteps = 256;

std::uint32_t HashOf(const std::uint8_t* bytes)
{
    const std::uint32_t key = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16;
    return (key * 2654435761u) >> (32 - HashBits);
}

struct Match {
    std::uint32_t Length = 0;  // measured up to MaxLength + 1
    std::uint32_t Position = NoPosition;
};

// What a walk saw: the new suffix's neighbours in sorted order (when it ran
// to the end) or the node equal to it, and its longest match.
struct Walked {
    Match Smaller, Larger, Equal, Best;
    bool Inserted = false;
};

struct Run {
    std::uint32_t Start, End;
};

class MatchFinder {
public:
    MatchFinder(std::span<const std::uint8_t> input, const MatchWindow& window)
        : data_(input.data()), size_(input.size()), window_(window),
          slotMask_(static_cast<std::uint32_t>(std::bit_ceil(std::size_t{window.MaxDistance} + 1) - 1)),
          heads_(std::size_t{1} << HashBits, NoPosition), children_(2 * (std::size_t{slotMask_} + 1), NoPosition),
          limit_(std::size_t{window.MaxLength} + 1), matchEnd_(std::size_t{window.MaxDistance} + 1, 0),
          matchOpen_(std::size_t{window.MaxDistance} + 1, 0), runsApart_(window.MaxLength >= RunsApartFrom)
    {
    }

    // The longest match of position at among the earlier positions of the
    // window; positions come in increasing order, each once.
    Match Next(std::uint32_t at);

private:
    std::uint32_t MatchLength(std::uint32_t at, std::uint32_t distance, std::uint32_t known);
    template <bool Insert> Walked Walk(std::uint32_t at);
    void ConsiderBehindPrevious(std::uint32_t at, const Walked& walk, Match& best);
    void ConsiderLongRuns(std::uint32_t at, Match& best);
    Match LongestByScan(std::uint32_t at);
    void Consider(std::uint32_t at, std::uint32_t position, Match& best);
    bool InWindow(std::uint32_t position) const { return position != NoPosition && position >= oldest_; }

    const std::uint8_t* data_;
    std::size_t size_;
    MatchWindow window_;
    std::uint32_t slotMask_;
    std::vector<std::uint32_t> heads_;
    std::vector<std::uint32_t> children_;  // smaller, larger child of each slot
    // Lengths are measured up to limit_ (one more than the tree orders by):
    // a longer one only needs to be known as long as that.
    std::size_t limit_;
    // matchEnd_[d]: how far the bytes match at distance d, measured from
    // some earlier position: to the first byte that differs or the end of
    // the input, or (matchOpen_[d]) as far as the last measure looked.
    // Positions only move forward, so it holds for every position up to it.
    std::vector<std::uint32_t> matchEnd_;
    std::vector<std::uint8_t> matchOpen_;
    std::uint32_t oldest_ = 0;  // the window's first position
    bool runsApart_;
    std::uint32_t runStart_ = 0, runEnd_ = 0;
    // Runs longer than TailLength + 1, by byte, oldest first; the ones before
    // firstLiveRun_ have left the window.
    std::array<std::vector<Run>, 256> longRuns_;
    std::array<std::size_t, 256> firstLiveRun_{};
    Walked previous_;
    Match previousBest_;
};

std::uint32_t MatchFinder::MatchLength(std::uint32_t at, std::uint32_t distance, std::uint32_t known)
{
    std::uint32_t& end = matchEnd_[distance];
    const std::size_t stop = std::min(size_, std::size_t{at} + limit_);
    std::size_t j = std::min(std::size_t{at} + known, stop);
    if (end >= at) {
        if (!matchOpen_[distance] || end >= stop)
            return end - at;
        j = std::max(j, std::size_t{end});
    }
    while (j + 8 <= stop) {
        std::uint64_t ahead = 0, behind = 0;
        std::memcpy(&ahead, data_ + j, 8);
        std::memcpy(&behind, data_ + j - distance, 8);
        if (ahead != behind) {
            const std::uint64_t differ = ahead ^ behind;
            if constexpr (std::endian::native == std::endian::little)
                j += static_cast<std::size_t>(std::countr_zero(differ)) / 8;
            else
                j += static_cast<std::size_t>(std::countl_zero(differ)) / 8;
            end = static_cast<std::uint32_t>(j);
            matchOpen_[distance] = false;
            return end - at;
        }
        j += 8;
    }
    while (j < stop && data_[j] == data_[j - distance])
        ++j;
    end = static_cast<std::uint32_t>(j);
    matchOpen_[distance] = j == stop && stop < size_;
    return end - at;
}

void MatchFinder::Consider(std::uint32_t at, std::uint32_t position, Match& best)
{
    if (!InWindow(position) || at - position < window_.MinDistance)
        return;
    const std::uint32_t length = MatchLength(at, at - position, 0);
    if (length > best.Length)
        best = {length, position};
}

// A search (Insert false) takes the same path an insertion would, without
// changing the tree.
template <bool Insert> Walked MatchFinder::Walk(std::uint32_t at)
{
    const std::uint32_t hash = HashOf(data_ + at);
    std::uint32_t node = heads_[hash];
    std::uint32_t ignoredSlots[2];
    // Where the next node smaller (larger) than the new suffix hangs; a node
    // between the last two hung matches at least the shorter of their lengths.
    std::uint32_t* smallerSlot = ignoredSlots;
    std::uint32_t* largerSlot = ignoredSlots + 1;
    if constexpr (Insert) {
        heads_[hash] = at;
        smallerSlot = &children_[2 * (at & slotMask_)];
        largerSlot = smallerSlot + 1;
    }
    Walked seen;
    seen.Inserted = Insert;
    for (int steps = 0; InWindow(node) && steps < MaxSteps; ++steps) {
        const std::uint32_t distance = at - node;
        const std::uint32_t length = MatchLength(at, distance, std::min(seen.Smaller.Length, seen.Larger.Length));
        if (length > seen.Best.Length && distance >= window_.MinDistance)
            seen.Best = {length, node};
        std::uint32_t* nodeChildren = &children_[2 * (node & slotMask_)];
        if (length >= limit_) {
            if constexpr (Insert) {
                *smallerSlot = nodeChildren[0];
                *largerSlot = nodeChildren[1];
            }
            seen.Equal = {length, node};
            seen.Smaller = seen.Larger = Match{};
            return seen;
        }
        // The new suffix is the smaller one when it runs out first.
        if (std::size_t{at} + length == size_ || data_[node + length] > data_[at + length]) {
            if constexpr (Insert) {
                *largerSlot = node;
                largerSlot = &nodeChildren[0];
            }
            seen.Larger = {length, node};
            node = nodeChildren[0];
        } else {
            if constexpr (Insert) {
                *smallerSlot = node;
                smallerSlot = &nodeChildren[1];
            }
            seen.Smaller = {length, node};
            node = nodeChildren[1];
        }
    }
    *smallerSlot = NoPosition;
    *largerSlot = NoPosition;
    return seen;
}

// When references may not reach back one byte and the previous position is
// the new suffix's neighbour or its equal, the walk stops short of what lies
// behind it. That was seen when the previous position went in: the node it
// replaced (as long a match as that side holds), its own neighbour on that
// side, or its own best match (when the two suffixes are equal, everything
// else matches both alike). What left the window since is looked for by a
// scan of every distance.
void MatchFinder::ConsiderBehindPrevious(std::uint32_t at, const Walked& walk, Match& best)
{
    const std::uint32_t before = at - 1;
    const Walked& prior = previous_;
    if (!prior.Inserted)
        return;
    auto behind = [&](const Match& beyond) {
        if (prior.Equal.Position != NoPosition) {
            if (!InWindow(prior.Equal.Position))
                return false;
            Consider(at, prior.Equal.Position, best);
        } else if (beyond.Position != NoPosition) {
            if (!InWindow(beyond.Position))
                return false;
            Consider(at, beyond.Position, best);
        }
        return true;
    };
    bool complete = true;
    if (walk.Equal.Position == before)
        complete = behind(prior.Best);
    else if (walk.Equal.Position == NoPosition) {
        if (walk.Smaller.Position == before)
            complete = behind(prior.Smaller);
        if (complete && walk.Larger.Position == before)
            complete = behind(prior.Larger);
    }
    if (!complete) {
        const Match scanned = LongestByScan(at);
        if (scanned.Length > best.Length)
            best = scanned;
    }
}

Match MatchFinder::LongestByScan(std::uint32_t at)
{
    Match best;
    for (std::uint32_t position = oldest_; position + window_.MinDistance <= at; ++position) {
        const std::uint32_t length = MatchLength(at, at - position, 0);
        if (length > best.Length)
            best = {length, position};
    }
    return best;
}

// For a run start whose run is longer than TailLength: the sources inside
// earlier runs of its byte. In such a run, the source with exactly as much
// of the run left lines up the two run ends and matches on past them;
// sources with more left match the run only, those with less match less.
void MatchFinder::ConsiderLongRuns(std::uint32_t at, Match& best)
{
    const std::uint32_t length = runEnd_ - at;
    const std::uint8_t byte = data_[at];
    std::vector<Run>& runs = longRuns_[byte];
    std::size_t& first = firstLiveRun_[byte];
    while (first < runs.size() && runs[first].End - 1 < oldest_)
        ++first;
    for (std::size_t r = first; r < runs.size(); ++r) {
        const Run run = runs[r];
        const std::uint32_t low = std::max(run.Start + 1, oldest_);
        const std::uint32_t high = std::min(run.End - 1, at - window_.MinDistance);
        if (low > high)
            continue;
        const std::uint32_t lined = run.End - length;
        if (run.End >= length && lined >= low && lined <= high) {
            const std::uint32_t matched = MatchLength(at, at - lined, length);
            if (matched > best.Length)
                best = {matched, lined};
        } else if (run.End > length && low < lined) {
            if (length > best.Length)
                best = {length, std::min(high, lined - 1)};
        } else if (run.End - low > best.Length) {
            best = {run.End - low, low};
        }
    }
}

Match MatchFinder::Next(std::uint32_t at)
{
    oldest_ = at > window_.MaxDistance ? at - window_.MaxDistance : 0;
    if (at == 0 || data_[at] != data_[at - 1]) {
        if (runsApart_ && at - runStart_ > TailLength + 1)
            longRuns_[data_[runStart_]].push_back({runStart_, at});
        runStart_ = at;
        runEnd_ = at + 1;
        while (runEnd_ < size_ && data_[runEnd_] == data_[at])
            ++runEnd_;
    }
    const bool runStart = at == runStart_;
    const bool deep = runsApart_ && !runStart && runEnd_ - at > TailLength;
    Match continued;
    if (previousBest_.Length > 1) {
        const std::uint32_t distance = at - 1 - previousBest_.Position;
        continued = {MatchLength(at, distance, previousBest_.Length - 1), previousBest_.Position + 1};
    }

    Walked walk;
    if (deep && continued.Length >= limit_) {
        // Nothing can match longer; such a position stays out of the tree.
        walk.Best = continued;
    } else {
        walk = deep ? Walk<false>(at) : Walk<true>(at);
        if (window_.MinDistance > 1 && at > 0)
            ConsiderBehindPrevious(at, walk, walk.Best);
        if (runsApart_ && runStart && runEnd_ - at > TailLength)
            ConsiderLongRuns(at, walk.Best);
        if (continued.Length > walk.Best.Length)
            walk.Best = continued;
        // Lengths are measured up to limit_ only, so a match continued from
        // one that long may end while another as long runs on; the
        // continuation stands for sources the walk skips, so look at all.
        if (runsApart_ && previousBest_.Length >= limit_ && continued.Length < limit_) {
            const Match scanned = LongestByScan(at);
            if (scanned.Length > walk.Best.Length)
                walk.Best = scanned;
        }
    }
    previous_ = walk;
    previousBest_ = walk.Best;
    return walk.Best;
}

}  // namespace

LongestMatchTable FindLongestMatches(std::span<const std::uint8_t> input, const MatchWindow& window)
{
    const std::size_t size = input.size();
    LongestMatchTable table;
    table.Entries.resize(size);
    if (size < ShortestMatch)
        return table;

    MatchFinder finder(input, window);
    for (std::size_t at = 0; at + ShortestMatch <= size; ++at) {
        const Match match = finder.Next(static_cast<std::uint32_t>(at));
        const std::uint32_t length = std::min(match.Length, window.MaxLength);
        if (length >= ShortestMatch)
            table.Set(at, length, static_cast<std::uint32_t>(at) - match.Position);
    }
    return table;
}
