#include "model/core/original_bytes.h"

#include <algorithm>
#include <cstring>

namespace {

// A run never grows past this, so putting bytes in front of one moves
// little; adjacent runs simply touch.
constexpr std::uint32_t PieceLimit = 16 * 1024;
// A leaf splits in two past either limit, which bounds what an insertion
// moves (its runs and its values) and keeps every leaf but the first at
// least about half full, so a leaf's own cost spreads over many bytes.
constexpr std::size_t LeafPieceLimit = 256;
constexpr std::size_t LeafByteLimit = 32 * 1024;

constexpr std::int64_t OffsetLimit = std::int64_t{1} << 32;

// Makes room for extra more elements, growing by a quarter rather than
// doubling so that spare capacity stays small beside what is held.
template <class T> void MakeRoom(std::vector<T>& items, std::size_t extra)
{
    const std::size_t needed = items.size() + extra;
    if (needed <= items.capacity())
        return;
    items.reserve(std::max(needed, items.size() + items.size() / 4));
}

}  // namespace

void OriginalByteMap::Record(std::int64_t offset, std::span<const std::uint8_t> values)
{
    const std::int64_t begin = std::max<std::int64_t>(offset, 0);
    const std::int64_t end = std::min(offset + static_cast<std::int64_t>(values.size()), OffsetLimit);
    std::int64_t at = begin;
    while (at < end) {
        std::int64_t gapEnd = end;
        if (const RunIterator next = RunsFrom(at); next != RunsEnd()) {
            const Run run = *next;
            if (run.Offset <= at) {
                at = std::min(end, run.End());  // known already: the first value stays
                continue;
            }
            gapEnd = std::min(end, run.Offset);
        }
        InsertAbsent(at, values.data() + (at - offset), static_cast<std::size_t>(gapEnd - at));
        at = gapEnd;
    }
}

OriginalByteMap::Leaves::iterator OriginalByteMap::LeafFor(std::int64_t offset)
{
    return std::prev(leaves_.upper_bound(static_cast<std::uint32_t>(offset)));
}

OriginalByteMap::Leaves::const_iterator OriginalByteMap::LeafFor(std::int64_t offset) const
{
    return std::prev(leaves_.upper_bound(static_cast<std::uint32_t>(offset)));
}

void OriginalByteMap::InsertAbsent(std::int64_t offset, const std::uint8_t* values, std::size_t size)
{
    while (size > 0) {
        if (leaves_.empty()) {
            // The first leaf covers every offset from 0 until it splits.
            Leaf first;
            const std::size_t part = std::min<std::size_t>(size, PieceLimit);
            first.Pieces.push_back({static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(part)});
            first.Values.assign(values, values + part);
            leaves_.emplace(0, std::move(first));
            size_ += static_cast<std::int64_t>(part);
            offset += static_cast<std::int64_t>(part);
            values += part;
            size -= part;
            continue;
        }
        const auto leafAt = LeafFor(offset);
        Leaf& leaf = leafAt->second;
        std::vector<Piece>& pieces = leaf.Pieces;
        // The first run starting after offset; the one before it, if any,
        // ends at or before offset.
        const auto k = static_cast<std::size_t>(
            std::upper_bound(pieces.begin(), pieces.end(), offset,
                             [](std::int64_t at, const Piece& piece) { return at < std::int64_t{piece.Offset}; }) -
            pieces.begin());
        const bool extend = k > 0 && leaf.PieceEnd(k - 1) == offset && leaf.Length(k - 1) < PieceLimit;
        const std::size_t room = extend ? PieceLimit - leaf.Length(k - 1) : PieceLimit;
        const std::size_t part = std::min(size, room);
        const std::uint32_t valueAt = leaf.ValueBegin(k);

        // Room first: once both vectors have it, nothing below can fail.
        MakeRoom(leaf.Values, part);
        if (!extend)
            MakeRoom(pieces, 1);
        leaf.Values.insert(leaf.Values.begin() + valueAt, values, values + part);
        std::size_t run = k - 1;
        if (!extend) {
            pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(k),
                          Piece{static_cast<std::uint32_t>(offset), valueAt});
            run = k;
        }
        for (std::size_t i = run; i < pieces.size(); ++i)
            pieces[i].ValueEnd += static_cast<std::uint32_t>(part);
        // Joins the next run when it now touches it and both fit in one.
        if (run + 1 < pieces.size() && leaf.PieceEnd(run) == std::int64_t{pieces[run + 1].Offset} &&
            leaf.Length(run) + leaf.Length(run + 1) <= PieceLimit) {
            pieces[run].ValueEnd = pieces[run + 1].ValueEnd;
            pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(run + 1));
        }
        size_ += static_cast<std::int64_t>(part);
        offset += static_cast<std::int64_t>(part);
        values += part;
        size -= part;
        SplitIfFull(leafAt);
    }
}

void OriginalByteMap::SplitIfFull(Leaves::iterator leafAt)
{
    const Leaf& full = leafAt->second;
    const std::size_t count = full.Pieces.size();
    if (count < 2 || (count <= LeafPieceLimit && full.Values.size() <= LeafByteLimit))
        return;
    // Halves by bytes when the bytes overflow, else by runs.
    std::size_t split = count / 2;
    if (full.Values.size() > LeafByteLimit) {
        const std::uint32_t half = static_cast<std::uint32_t>(full.Values.size() / 2);
        split = static_cast<std::size_t>(
            std::upper_bound(full.Pieces.begin(), full.Pieces.end(), half,
                             [](std::uint32_t at, const Piece& piece) { return at < piece.ValueEnd; }) -
            full.Pieces.begin());
        split = std::clamp<std::size_t>(split, 1, count - 1);
    }
    const std::uint32_t cut = full.Pieces[split - 1].ValueEnd;

    // Both halves are built at their exact sizes, and the new node made,
    // before the full leaf is touched, so a failed allocation leaves the map
    // as it was.
    Leaf left;
    Leaf right;
    left.Pieces.assign(full.Pieces.begin(), full.Pieces.begin() + static_cast<std::ptrdiff_t>(split));
    left.Values.assign(full.Values.begin(), full.Values.begin() + cut);
    right.Pieces.assign(full.Pieces.begin() + static_cast<std::ptrdiff_t>(split), full.Pieces.end());
    right.Values.assign(full.Values.begin() + cut, full.Values.end());
    for (Piece& piece : right.Pieces)
        piece.ValueEnd -= cut;
    const std::uint32_t key = right.Pieces.front().Offset;
    const auto node = leaves_.emplace_hint(std::next(leafAt), key, Leaf{});
    node->second = std::move(right);
    leafAt->second = std::move(left);
}

std::optional<std::uint8_t> OriginalByteMap::Find(std::int64_t offset) const
{
    const RunIterator it = RunsFrom(offset);
    if (it == RunsEnd())
        return std::nullopt;
    const Run run = *it;
    if (run.Offset > offset)
        return std::nullopt;
    return run.Values[static_cast<std::size_t>(offset - run.Offset)];
}

void OriginalByteMap::LayOver(std::int64_t offset, std::span<std::uint8_t> block) const
{
    const std::int64_t end = offset + static_cast<std::int64_t>(block.size());
    for (RunIterator it = RunsFrom(offset); it != RunsEnd(); ++it) {
        const Run run = *it;
        if (run.Offset >= end)
            break;
        const std::int64_t from = std::max(offset, run.Offset);
        const std::int64_t to = std::min(end, run.End());
        std::memcpy(block.data() + (from - offset), run.Values.data() + (from - run.Offset),
                    static_cast<std::size_t>(to - from));
    }
}

std::int64_t OriginalByteMap::EndBelow(std::int64_t limit) const
{
    if (leaves_.empty() || limit <= 0)
        return 0;
    limit = std::min(limit, OffsetLimit);
    // Every leaf but the first starts with a run at its key, so the leaf
    // of limit - 1 holds a run below limit unless limit lies before them all.
    const Leaf& leaf = LeafFor(limit - 1)->second;
    const auto after =
        std::upper_bound(leaf.Pieces.begin(), leaf.Pieces.end(), limit - 1,
                         [](std::int64_t at, const Piece& piece) { return at < std::int64_t{piece.Offset}; });
    if (after == leaf.Pieces.begin())
        return 0;
    return std::min(limit, leaf.PieceEnd(static_cast<std::size_t>(after - leaf.Pieces.begin()) - 1));
}

void OriginalByteMap::Clear()
{
    leaves_.clear();
    size_ = 0;
    openedFileCrc_.reset();
}

std::size_t OriginalByteMap::MemoryBytes() const
{
    // A tree node: the key and leaf, with its color and three links.
    constexpr std::size_t NodeBytes = sizeof(Leaves::value_type) + 4 * sizeof(void*);
    std::size_t bytes = sizeof(*this);
    for (const auto& [key, leaf] : leaves_)
        bytes += NodeBytes + leaf.Pieces.capacity() * sizeof(Piece) + leaf.Values.capacity();
    return bytes;
}

OriginalByteMap::RunIterator OriginalByteMap::RunsFrom(std::int64_t offset) const
{
    if (leaves_.empty() || offset >= OffsetLimit)
        return RunsEnd();
    const auto leafAt = LeafFor(std::max<std::int64_t>(offset, 0));
    const Leaf& leaf = leafAt->second;
    auto after = std::upper_bound(leaf.Pieces.begin(), leaf.Pieces.end(), offset,
                                  [](std::int64_t at, const Piece& piece) { return at < std::int64_t{piece.Offset}; });
    std::size_t piece = static_cast<std::size_t>(after - leaf.Pieces.begin());
    if (piece > 0 && leaf.PieceEnd(piece - 1) > offset)
        --piece;
    if (piece == leaf.Pieces.size())
        return {std::next(leafAt), 0};
    return {leafAt, piece};
}

OriginalByteMap::Run OriginalByteMap::RunIterator::operator*() const
{
    const Leaf& leaf = leaf_->second;
    return {std::int64_t{leaf.Pieces[piece_].Offset},
            std::span<const std::uint8_t>(leaf.Values.data() + leaf.ValueBegin(piece_), leaf.Length(piece_))};
}

OriginalByteMap::RunIterator& OriginalByteMap::RunIterator::operator++()
{
    if (++piece_ == leaf_->second.Pieces.size()) {
        ++leaf_;
        piece_ = 0;
    }
    return *this;
}

OriginalByteMap::ByteIterator& OriginalByteMap::ByteIterator::operator++()
{
    if (++index_ == (*run_).Values.size()) {
        ++run_;
        index_ = 0;
    }
    return *this;
}

bool OriginalByteMap::operator==(const OriginalByteMap& other) const
{
    return size_ == other.size_ && std::equal(begin(), end(), other.begin(), other.end());
}
