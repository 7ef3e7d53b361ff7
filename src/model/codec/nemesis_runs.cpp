#include "model/codec/nemesis_runs.h"

#include <algorithm>
#include <limits>

NemesisStretches CountNemesisStretches(const std::vector<std::uint8_t>& nibbles)
{
    NemesisStretches stretches;
    std::array<std::vector<std::size_t>, 16> longOnes;
    ForEachNemesisStretch(nibbles, [&](unsigned nibble, std::size_t length) {
        if (length <= NemesisShortStretch)
            ++stretches[nibble].Short[length];
        else
            longOnes[nibble].push_back(length);
    });
    for (int nibble = 0; nibble < 16; ++nibble) {
        auto& lengths = longOnes[nibble];
        auto& counted = stretches[nibble].Long;
        std::sort(lengths.begin(), lengths.end());
        for (const std::size_t length : lengths) {
            if (counted.empty() || counted.back().first != length)
                counted.emplace_back(length, 0);
            ++counted.back().second;
        }
    }
    return stretches;
}

// Short stretches are split by trying every first run. A stretch of at least
// 8 runs of the cheapest (fewest bits a nibble) has one of those in a
// cheapest split: among any 8 runs some consecutive ones add up to a multiple
// of its length, and as many of it cost no more than they do. So a long
// stretch is that run repeated down to a short rest.
NemesisSplits::NemesisSplits(const std::int64_t* runBits)
{
    cheapestBits_ = runBits[0];
    for (std::size_t run = 2; run <= NemesisMaxRun; ++run) {
        const auto bits = runBits[run - 1];
        if (bits * static_cast<std::int64_t>(cheapest_) < cheapestBits_ * static_cast<std::int64_t>(run)) {
            cheapest_ = run;
            cheapestBits_ = bits;
        }
    }
    for (std::size_t length = 1; length <= NemesisShortStretch; ++length) {
        bits_[length] = std::numeric_limits<std::int64_t>::max();
        for (std::size_t run = 1; run <= NemesisMaxRun && run <= length; ++run) {
            const std::int64_t bits = runBits[run - 1] + bits_[length - run];
            if (bits < bits_[length]) {
                bits_[length] = bits;
                first_[length] = static_cast<std::uint8_t>(run);
            }
        }
    }
}
