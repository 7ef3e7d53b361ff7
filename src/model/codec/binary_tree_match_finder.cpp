#include "model/codec/binary_tree_match_finder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::size_t PairTrees = std::size_t{1} << 16;
constexpr std::size_t RunTreesPerByte = 256;

// How far the bytes at a and b agree, counting from `from` up to `limit`;
// eight bytes at a time, since runs in graphics make long matches common.
std::size_t AgreeingLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t from, std::size_t limit)
{
    std::size_t length = from;
    while (length + 8 <= limit) {
        std::uint64_t x, y;
        std::memcpy(&x, a + length, 8);
        std::memcpy(&y, b + length, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little)
                return length + static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
            else
                return length + static_cast<std::size_t>(std::countl_zero(x ^ y)) / 8;
        }
        length += 8;
    }
    while (length < limit && a[length] == b[length])
        ++length;
    return length;
}

}  // namespace

BinaryTreeMatchFinder::BinaryTreeMatchFinder(std::span<const std::uint8_t> data, std::size_t window,
                                             std::size_t maxLength, std::size_t depthLimit)
    : data_(data), window_(window), maxLength_(std::max<std::size_t>(maxLength, 2)), depthLimit_(depthLimit),
      ringMask_(std::bit_ceil(std::min(window, data.size()) + 1) - 1),
      longestRunTree_(std::min(maxLength_, RunTreesPerByte)), roots_(PairTrees + 256 * RunTreesPerByte, -1),
      children_(2 * (ringMask_ + 1), -1), runEnds_(256 * (RunTreesPerByte + 1), -1)
{
}

std::span<const WindowMatch> BinaryTreeMatchFinder::Next()
{
    matches_.clear();
    const std::size_t here = position_++;
    if (here + 2 > data_.size())
        return {};
    const std::uint8_t* bytes = data_.data();
    if (here >= runEnd_) {
        runStart_ = here;
        runEnd_ = here + 1;
        while (runEnd_ < data_.size() && bytes[runEnd_] == bytes[here])
            ++runEnd_;
    }
    const std::size_t limit = std::min(maxLength_, data_.size() - here);
    const std::size_t runLength = runEnd_ - here;
    if (runLength < 2) {
        WalkTree(bytes[here] | std::size_t{bytes[here + 1]} << 8, here, 2, limit);
    } else {
        const std::size_t tree = RunMatches(here, runLength);
        WalkTree(tree, here, std::min(runLength, longestRunTree_), limit);
    }
    return matches_;
}

std::size_t BinaryTreeMatchFinder::RunMatches(std::size_t here, std::size_t runLength)
{
    // Every position of the run's tree shares `shared` bytes with here;
    // every other one shares fewer. So any length up to `shared` is
    // reached nearest by the latest position whose run is that long: the
    // position before here inside a run, else the end of the latest run of
    // each length.
    const std::size_t shared = std::min(runLength, longestRunTree_);
    const std::uint8_t byte = data_[here];
    std::int32_t* ends = &runEnds_[byte * (RunTreesPerByte + 1)];
    if (here > runStart_) {
        matches_.push_back({static_cast<std::uint32_t>(shared), 1});
    } else {
        for (std::size_t length = 2; length <= shared && ends[length] >= 0; ++length) {
            const std::size_t distance = here + length - static_cast<std::size_t>(ends[length]);
            if (distance > window_)
                break;
            matches_.push_back({static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(distance)});
        }
        // This run is the latest of every length it has, for the next runs.
        for (std::size_t length = 1; length <= shared; ++length)
            ends[length] = static_cast<std::int32_t>(runEnd_);
    }
    return PairTrees + byte * RunTreesPerByte + shared - 1;
}

void BinaryTreeMatchFinder::WalkTree(std::size_t tree, std::size_t here, std::size_t shared, std::size_t limit)
{
    const std::uint8_t* bytes = data_.data();
    // The walk takes the old tree apart into the new root's two subtrees:
    // nodes with smaller bytes hang on `smaller`, larger ones on `larger`.
    // A node between the two hooks' last nodes shares at least the shorter
    // of their lengths.
    std::int32_t* smaller = &children_[Slot(here)];
    std::int32_t* larger = &children_[Slot(here) + 1];
    std::size_t smallerLength = shared, largerLength = shared;
    std::size_t longest = matches_.empty() ? 1 : matches_.back().Length;
    std::int32_t node = roots_[tree];
    roots_[tree] = static_cast<std::int32_t>(here);

    for (std::size_t depth = 0;; ++depth) {
        if (node < 0 || here - static_cast<std::size_t>(node) > window_ || depth == depthLimit_) {
            *smaller = -1;
            *larger = -1;
            return;
        }
        const std::size_t older = static_cast<std::size_t>(node);
        const std::size_t length =
            AgreeingLength(bytes + older, bytes + here, std::min(smallerLength, largerLength), limit);
        if (length > longest) {
            longest = length;
            const auto distance = static_cast<std::uint32_t>(here - older);
            if (!matches_.empty() && matches_.back().Distance == distance)
                matches_.back().Length = static_cast<std::uint32_t>(length);
            else
                matches_.push_back({static_cast<std::uint32_t>(length), distance});
        }
        if (length == limit) {
            // The old node matches as far as anything may: the new one
            // takes its place, being nearer for every later search.
            *smaller = children_[Slot(older)];
            *larger = children_[Slot(older) + 1];
            return;
        }
        if (bytes[older + length] < bytes[here + length]) {
            *smaller = node;
            smaller = &children_[Slot(older) + 1];
            node = *smaller;
            smallerLength = length;
        } else {
            *larger = node;
            larger = &children_[Slot(older)];
            node = *larger;
            largerLength = length;
        }
    }
}
