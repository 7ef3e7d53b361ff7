#include "model/codec/length_cost_parse.h"

#include <algorithm>
#include <bit>
#include <vector>

// Dynamic programming from the end: cost[i] is the cheapest encoding of the
// bytes from i on. With a match of length M at i, a cost range [lo, hi]
// offers bits + cost[j] for every j in [i + lo, i + min(M, hi)]. As i moves
// back, both ends of that window only move back (M(i) <= M(i + 1) + 1), so
// each range keeps its window in a queue sorted by cost, a sliding-window
// minimum: O(1) per position however long the matches are.

namespace {

struct Candidate {
    std::uint64_t Cost;
    std::uint32_t At;
};

// The window of one cost range: positions decrease from back to front and
// so do costs, so the cheapest is at the back.
class WindowQueue {
public:
    bool Empty() const { return count_ == 0; }
    const Candidate& Back() const { return ring_[(front_ + count_ - 1) & (ring_.size() - 1)]; }
    void PopBack() { --count_; }

    // Drops what the new position beats: it costs no more and stays in the
    // window longer.
    void PushFront(const Candidate& candidate)
    {
        while (count_ > 0 && ring_[front_].Cost >= candidate.Cost) {
            front_ = (front_ + 1) & (ring_.size() - 1);
            --count_;
        }
        if (count_ == ring_.size())
            Grow();
        front_ = (front_ - 1) & (ring_.size() - 1);
        ring_[front_] = candidate;
        ++count_;
    }

private:
    void Grow()
    {
        std::vector<Candidate> larger(ring_.size() * 2);
        for (std::size_t k = 0; k < count_; ++k)
            larger[k] = ring_[(front_ + k) & (ring_.size() - 1)];
        ring_ = std::move(larger);
        front_ = 0;
    }

    std::vector<Candidate> ring_ = std::vector<Candidate>(64);
    std::size_t front_ = 0, count_ = 0;
};

}  // namespace

std::uint64_t CheapestParse(LongestMatchTable& table, std::uint32_t literalBits, std::span<const LengthCost> references)
{
    const std::size_t size = table.Entries.size();
    // The costs from the positions a step can reach back to, in a ring.
    const std::size_t reach = references.empty() ? 1 : references.back().MinLength;
    std::vector<std::uint64_t> costFrom(std::bit_ceil(reach + 1), 0);
    const std::size_t mask = costFrom.size() - 1;
    std::vector<WindowQueue> windows(references.size());

    for (std::size_t at = size; at-- > 0;) {
        const std::uint32_t longest = table.Length(at);
        std::uint64_t best = costFrom[(at + 1) & mask] + literalBits;
        std::uint32_t chosen = 1;
        for (std::size_t r = 0; r < references.size(); ++r) {
            const LengthCost& range = references[r];
            WindowQueue& window = windows[r];
            if (at + range.MinLength <= size)
                window.PushFront(
                    {costFrom[(at + range.MinLength) & mask], static_cast<std::uint32_t>(at + range.MinLength)});
            // Nothing beyond the range's longest reference is reachable from
            // here or from before; with a match, nothing beyond the match.
            const bool reaches = longest >= range.MinLength;
            const std::size_t last = at + (reaches ? std::min(longest, range.MaxLength) : range.MaxLength);
            while (!window.Empty() && window.Back().At > last)
                window.PopBack();
            if (reaches && !window.Empty() && window.Back().Cost + range.Bits < best) {
                best = window.Back().Cost + range.Bits;
                chosen = static_cast<std::uint32_t>(window.Back().At - at);
            }
        }
        costFrom[at & mask] = best;
        table.Set(at, chosen, table.Distance(at));
    }
    return size == 0 ? 0 : costFrom[0];
}
