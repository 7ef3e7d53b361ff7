#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <map>
#include <optional>
#include <span>
#include <utility>
#include <vector>

// For every byte of the ROM changed since the file was opened, its value
// at the open, by file offset. It grows with the bytes changed, never with
// the file's size; a byte written back to its original value may stay in
// it (its current value then equals the original).
//
// The values are kept in runs of adjacent offsets, packed into leaves: a
// run costs 8 bytes beside its values, and a leaf (one node of an ordered
// map) splits in two when it holds too many runs or bytes, so inserting
// moves at most one leaf's contents and a lookup is a tree search and a
// binary search. Offsets lie below 4 GiB (a ROM is below 2 GiB); bytes
// beyond are not kept.
class OriginalByteMap {
private:
    // A run inside a leaf: its first offset and where its values end in the
    // leaf's value buffer (they begin where the previous run's end).
    struct Piece {
        std::uint32_t Offset = 0;
        std::uint32_t ValueEnd = 0;
    };
    struct Leaf {
        std::vector<Piece> Pieces;  // ascending, never empty
        std::vector<std::uint8_t> Values;

        std::uint32_t ValueBegin(std::size_t piece) const { return piece == 0 ? 0 : Pieces[piece - 1].ValueEnd; }
        std::uint32_t Length(std::size_t piece) const { return Pieces[piece].ValueEnd - ValueBegin(piece); }
        std::int64_t PieceEnd(std::size_t piece) const { return std::int64_t{Pieces[piece].Offset} + Length(piece); }
    };
    // Each leaf by the lowest offset it covers: a leaf holds the runs from
    // its key up to the next leaf's key. The first leaf's key is 0; any
    // other's is the offset of its first run, set when it split off.
    using Leaves = std::map<std::uint32_t, Leaf>;

public:
    OriginalByteMap() = default;
    // The given (offset, value) pairs, recorded in order.
    OriginalByteMap(std::initializer_list<std::pair<std::int64_t, std::uint8_t>> bytes)
    {
        for (const auto& [offset, value] : bytes)
            Record(offset, value);
    }

    // A stretch of adjacent offsets with their original values. Runs are
    // handed out in ascending order, never overlapping; two runs may touch.
    struct Run {
        std::int64_t Offset = 0;
        std::span<const std::uint8_t> Values;

        std::int64_t End() const { return Offset + static_cast<std::int64_t>(Values.size()); }
    };

    // Keeps values[i] as the original of offset + i wherever no original is
    // known yet: the first value seen wins. On std::bad_alloc the map keeps
    // what it recorded before the failure and stays whole.
    void Record(std::int64_t offset, std::span<const std::uint8_t> values);
    void Record(std::int64_t offset, std::uint8_t value) { Record(offset, std::span<const std::uint8_t>(&value, 1)); }

    // The original of offset, when one is known.
    std::optional<std::uint8_t> Find(std::int64_t offset) const;
    // Puts the known originals of [offset, offset + block.size()) into block,
    // leaving the other bytes as they are.
    void LayOver(std::int64_t offset, std::span<std::uint8_t> block) const;
    // One past the last offset below limit that has an original; 0 when
    // none has.
    std::int64_t EndBelow(std::int64_t limit) const;

    // The CRC-32 of the whole file as it was opened, kept by the first
    // patch that needed it: those bytes never change, so the file is read
    // for it once per open. Clear forgets it.
    std::optional<std::uint32_t> OpenedFileCrc() const { return openedFileCrc_; }
    void KeepOpenedFileCrc(std::uint32_t crc) const { openedFileCrc_ = crc; }

    bool Empty() const { return leaves_.empty(); }
    // The number of offsets with an original.
    std::int64_t Size() const { return size_; }
    void Clear();

    // The heap memory held (capacities, not sizes, and the tree's nodes)
    // plus the map itself.
    std::size_t MemoryBytes() const;

    class RunIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Run;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Run;

        RunIterator() = default;
        Run operator*() const;
        RunIterator& operator++();
        RunIterator operator++(int)
        {
            RunIterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const RunIterator& other) const { return leaf_ == other.leaf_ && piece_ == other.piece_; }

    private:
        friend class OriginalByteMap;
        RunIterator(Leaves::const_iterator leaf, std::size_t piece) : leaf_(leaf), piece_(piece) {}
        Leaves::const_iterator leaf_{};
        std::size_t piece_ = 0;
    };

    // The first run that ends after offset (it may start before it), and
    // the end of all runs.
    RunIterator RunsFrom(std::int64_t offset) const;
    RunIterator RunsEnd() const { return {leaves_.end(), 0}; }

    // Every offset with its original, ascending, as (offset, value) pairs.
    class ByteIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::pair<std::int64_t, std::uint8_t>;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = value_type;

        ByteIterator() = default;
        value_type operator*() const
        {
            const Run run = *run_;
            return {run.Offset + static_cast<std::int64_t>(index_), run.Values[index_]};
        }
        ByteIterator& operator++();
        bool operator==(const ByteIterator& other) const { return run_ == other.run_ && index_ == other.index_; }

    private:
        friend class OriginalByteMap;
        explicit ByteIterator(RunIterator run) : run_(run) {}
        RunIterator run_;
        std::size_t index_ = 0;
    };
    using iterator = ByteIterator;
    using const_iterator = ByteIterator;
    ByteIterator begin() const { return ByteIterator(RunsFrom(0)); }
    ByteIterator end() const { return ByteIterator(RunsEnd()); }

    // Equal when both hold the same offsets with the same values, however
    // their runs are cut.
    bool operator==(const OriginalByteMap& other) const;

private:
    // The leaf that holds offset's run, or would.
    Leaves::iterator LeafFor(std::int64_t offset);
    Leaves::const_iterator LeafFor(std::int64_t offset) const;
    // Inserts values for [offset, offset + size), where no original is known.
    void InsertAbsent(std::int64_t offset, const std::uint8_t* values, std::size_t size);
    void SplitIfFull(Leaves::iterator leaf);

    Leaves leaves_;  // none empty
    std::int64_t size_ = 0;
    mutable std::optional<std::uint32_t> openedFileCrc_;
};
