#pragma once

#include "model/codec/nemesis_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The pixels a Nemesis packer writes as stretches of equal nibbles, and the
// cheapest split of a stretch into the runs of 1 to 8 that codes stand for.
// Runs of one nibble never touch another's, so each stretch is split on its
// own and only its length matters.

// Stretches longer than this are split by a rule, not looked up.
inline constexpr std::size_t NemesisShortStretch = NemesisMaxRun * NemesisMaxRun;

// How many stretches of each length one nibble has: the short ones by
// length, the few long ones as (length, count), shortest first.
struct NemesisNibbleStretches {
    std::array<std::int64_t, NemesisShortStretch + 1> Short{};
    std::vector<std::pair<std::size_t, std::int64_t>> Long;
};

using NemesisStretches = std::array<NemesisNibbleStretches, 16>;

// Calls visit(nibble, length) for each stretch, in order.
template <typename Visit> void ForEachNemesisStretch(const std::vector<std::uint8_t>& nibbles, Visit visit)
{
    for (std::size_t i = 0; i < nibbles.size();) {
        std::size_t end = i + 1;
        while (end < nibbles.size() && nibbles[end] == nibbles[i])
            ++end;
        visit(nibbles[i], end - i);
        i = end;
    }
}

NemesisStretches CountNemesisStretches(const std::vector<std::uint8_t>& nibbles);

// The cheapest split of any stretch of one nibble, given the bits of each
// run (runBits[k]: the run of k + 1).
class NemesisSplits {
public:
    explicit NemesisSplits(const std::int64_t* runBits);

    std::int64_t Bits(std::size_t length) const
    {
        const std::size_t repeats = Repeats(length);
        return static_cast<std::int64_t>(repeats) * cheapestBits_ + bits_[length - repeats * cheapest_];
    }

    // Calls run(k) for each run of k nibbles of the split, in order.
    template <typename Run> void ForEachRun(std::size_t length, Run run) const
    {
        for (std::size_t repeats = Repeats(length); repeats > 0; --repeats, length -= cheapest_)
            run(cheapest_);
        for (; length > 0; length -= first_[length])
            run(first_[length]);
    }

private:
    // How many runs of the cheapest a long stretch starts with (see the .cpp).
    std::size_t Repeats(std::size_t length) const
    {
        const std::size_t from = NemesisMaxRun * cheapest_;
        return length < from ? 0 : (length - from) / cheapest_ + 1;
    }

    std::size_t cheapest_ = 1;  // the run with the fewest bits a nibble
    std::int64_t cheapestBits_ = 0;
    std::array<std::int64_t, NemesisShortStretch + 1> bits_{};
    std::array<std::uint8_t, NemesisShortStretch + 1> first_{};  // the first run of a short stretch's split
};
