#include "model/codec/longest_earlier_match.h"

#include "model/codec/suffix_array.h"

#include <algorithm>
#include <limits>

namespace {

struct Candidate {
    std::int32_t Position;
    // Bytes shared with the candidate above it on the stack.
    std::int32_t SharedWithNext;
};

// One sweep over the sorted suffixes (forward, or backward), offering each
// position the nearest suffix on that side that may be its source, with the
// bytes they share (the smallest neighbour-to-neighbour length between them).
// The stack keeps the sources still worth offering: a suffix that starts
// earlier than one before it in the sweep is a source wherever that one is,
// and shares at least as much with every suffix that follows, so it hides it.
template <typename Offer>
void Sweep(std::span<const std::int32_t> suffixArray, std::span<const std::int32_t> sharedWithPrevious,
           std::int32_t window, bool forward, Offer offer)
{
    const auto n = static_cast<std::int32_t>(suffixArray.size());
    std::vector<Candidate> stack;
    std::int32_t shared = 0;  // with the top of the stack
    for (std::int32_t step = 0; step < n; ++step) {
        const std::int32_t k = forward ? step : n - 1 - step;
        if (step > 0)
            shared = std::min(shared, forward ? sharedWithPrevious[k] : sharedWithPrevious[k + 1]);
        const std::int32_t position = suffixArray[k];
        if (position >= window) {
            // Every source in the window starts before it: the nearest one counts.
            if (!stack.empty())
                offer(position, stack.back().Position, shared);
            continue;
        }
        while (!stack.empty() && stack.back().Position > position) {
            stack.pop_back();
            if (!stack.empty())
                shared = std::min(shared, stack.back().SharedWithNext);
        }
        if (!stack.empty()) {
            offer(position, stack.back().Position, shared);
            stack.back().SharedWithNext = shared;
        }
        stack.push_back({position, 0});
        shared = std::numeric_limits<std::int32_t>::max();
    }
}

}  // namespace

std::vector<EarlierMatch> LongestEarlierMatches(std::span<const std::uint8_t> data, std::size_t maxLength,
                                                std::size_t lastSource)
{
    std::vector<EarlierMatch> matches(data.size());
    if (data.empty())
        return matches;
    const std::vector<std::int32_t> suffixArray = SuffixArray(data);
    const std::vector<std::int32_t> shared = CommonPrefixLengths(data, suffixArray);
    // Sources start before this (and before the position they serve).
    const auto window = static_cast<std::int32_t>(std::min(lastSource, data.size() - 1) + 1);
    const auto cap = static_cast<std::int32_t>(std::min<std::size_t>(maxLength, data.size()));
    const auto offer = [&](std::int32_t position, std::int32_t source, std::int32_t length) {
        EarlierMatch& match = matches[static_cast<std::size_t>(position)];
        const auto capped = static_cast<std::uint32_t>(std::min(length, cap));
        if (capped > match.Length)
            match = {static_cast<std::uint32_t>(source), capped};
    };
    Sweep(suffixArray, shared, window, true, offer);
    Sweep(suffixArray, shared, window, false, offer);
    return matches;
}
