#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// One earlier occurrence of the bytes at a position: Length bytes match the
// ones Distance bytes back.
struct WindowMatch {
    std::uint32_t Length;
    std::uint32_t Distance;
};

// Finds, position after position, the earlier occurrences of the bytes there
// within a sliding window. The positions of the window sit in binary search
// trees ordered by their bytes, the newest at the root, so one walk from the
// root meets every length's nearest match: an optimal parse needs both the
// longest match and the nearest one of each length when a format's short
// forms reach less far back.
//
// Runs of one byte (the clear background of graphics) would make those
// trees deep, since the positions of a run sort in the order they come. So
// a position starting with a run has the tree of its byte and exact run
// length, where each earlier run has one node; the shorter matches inside
// runs come from the ends of the latest runs of each length.
class BinaryTreeMatchFinder {
public:
    // Matches reach at most window bytes back and are at most maxLength
    // long (at least 2). A walk stops after depthLimit nodes, so bytes that
    // keep the trees deep cost bounded time at the price of a missed match.
    BinaryTreeMatchFinder(std::span<const std::uint8_t> data, std::size_t window, std::size_t maxLength,
                          std::size_t depthLimit = 1024);

    // The matches of the next position, called once for every position in
    // order: lengths rise (2 or more), and each entry's distance is the
    // nearest one that reaches its length. Valid until the next call.
    std::span<const WindowMatch> Next();

private:
    std::size_t Slot(std::size_t position) const { return 2 * (position & ringMask_); }
    // Adds the matches shorter than the run at `here` and gives its tree.
    std::size_t RunMatches(std::size_t here, std::size_t runLength);
    // Inserts `here` as the root of the tree; reports matches longer than
    // `shared`, the length every node of the tree has in common with it.
    void WalkTree(std::size_t tree, std::size_t here, std::size_t shared, std::size_t limit);

    std::span<const std::uint8_t> data_;
    std::size_t window_;
    std::size_t maxLength_;
    std::size_t depthLimit_;
    std::size_t ringMask_;
    // Run lengths above this share one tree.
    std::size_t longestRunTree_;
    std::size_t position_ = 0;
    // The run the last position lies in: [runStart_, runEnd_).
    std::size_t runStart_ = 0;
    std::size_t runEnd_ = 0;
    // The newest position of each tree; -1 for none. Trees 0 to 0xFFFF are
    // for two different first bytes, then 256 for each byte's run lengths.
    std::vector<std::int32_t> roots_;
    // Two child positions (smaller bytes, larger bytes) for each position
    // of the window, in a ring; -1 for none.
    std::vector<std::int32_t> children_;
    // For each byte and run length, where the latest run of that byte at
    // least that long ended; -1 for none.
    std::vector<std::int32_t> runEnds_;
    std::vector<WindowMatch> matches_;
};
