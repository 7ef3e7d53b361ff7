#include "model/codec/lc_lz2_packer.h"

#include "model/codec/longest_earlier_match.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr std::uint32_t ShortMax = 32;
constexpr std::uint32_t LongMax = 1024;
// Repeat positions are 16-bit.
constexpr std::size_t LastRepeatSource = 0xFFFF;

enum Command : std::uint8_t { DirectCopy, ByteFill, WordFill, IncreasingFill, Repeat, CommandCount };
// Bytes after the header; a direct copy's are its length.
constexpr std::array<std::uint32_t, CommandCount> PayloadOf{0, 1, 2, 1, 2};

// The cheapest end a command form can take the parse to from a position.
// The parse runs backwards; for every form the nearest end moves one back
// each step and the farthest never moves forward, so a deque ordered by
// position, with costs falling towards its far end, answers in amortized
// constant time.
class EndWindow {
public:
    void AddNearEnd(std::uint32_t end, std::uint32_t cost)
    {
        // Ties keep the farther end: fewer, longer commands.
        while (size_ > 0 && costs_[front_] > cost) {
            front_ = (front_ + 1) & Mask;
            --size_;
        }
        front_ = (front_ - 1) & Mask;
        ++size_;
        ends_[front_] = end;
        costs_[front_] = cost;
    }
    void TrimFarEnd(std::uint32_t farEnd)
    {
        while (size_ > 0 && ends_[Back()] > farEnd)
            --size_;
    }
    bool Empty() const { return size_ == 0; }
    std::uint32_t BestEnd() const { return ends_[Back()]; }
    std::uint32_t BestCost() const { return costs_[Back()]; }

private:
    // More than the 1024 ends a window spans, plus the one being added.
    static constexpr std::uint32_t Capacity = 2048;
    static constexpr std::uint32_t Mask = Capacity - 1;
    std::uint32_t Back() const { return (front_ + size_ - 1) & Mask; }

    std::array<std::uint32_t, Capacity> ends_{};
    std::array<std::uint32_t, Capacity> costs_{};
    std::uint32_t front_ = 0;
    std::uint32_t size_ = 0;
};

// Costs of the ends past the position being parsed, with the smallest of
// each 32, for the ends a deque cannot answer for.
class EndCosts {
public:
    explicit EndCosts(std::size_t count)
        : costs_(count + 1), blockMinima_((count >> BlockBits) + 1, std::numeric_limits<std::uint32_t>::max())
    {
        Set(static_cast<std::uint32_t>(count), 0);
    }
    void Set(std::uint32_t end, std::uint32_t cost)
    {
        costs_[end] = cost;
        blockMinima_[end >> BlockBits] = std::min(blockMinima_[end >> BlockBits], cost);
    }
    std::uint32_t operator[](std::uint32_t end) const { return costs_[end]; }

    // The cheapest end from first to last (all set, first above 0).
    std::uint32_t CheapestEnd(std::uint32_t first, std::uint32_t last) const
    {
        std::uint32_t best = last;
        const auto consider = [&](std::uint32_t from, std::uint32_t until) {
            for (std::uint32_t end = from; end < until; ++end) {
                if (costs_[end] < costs_[best])
                    best = end;
            }
        };
        // Whole blocks inside the range count by their minima.
        const std::uint32_t firstBlock = (first + BlockSize - 1) >> BlockBits;
        const std::uint32_t endBlock = (last + 1) >> BlockBits;
        if (firstBlock >= endBlock) {
            consider(first, last + 1);
            return best;
        }
        consider(first, firstBlock << BlockBits);
        consider(endBlock << BlockBits, last + 1);
        std::uint32_t bestBlock = endBlock;
        for (std::uint32_t block = firstBlock; block < endBlock; ++block) {
            if (blockMinima_[block] < costs_[best] &&
                (bestBlock == endBlock || blockMinima_[block] < blockMinima_[bestBlock]))
                bestBlock = block;
        }
        if (bestBlock != endBlock)
            consider(bestBlock << BlockBits, (bestBlock + 1) << BlockBits);
        return best;
    }

private:
    static constexpr std::uint32_t BlockBits = 5;
    static constexpr std::uint32_t BlockSize = 1u << BlockBits;
    std::vector<std::uint32_t> costs_;
    std::vector<std::uint32_t> blockMinima_;
};

void PutHeader(std::vector<std::uint8_t>& out, Command command, std::uint32_t length)
{
    const std::uint32_t stored = length - 1;
    if (length <= ShortMax) {
        out.push_back(static_cast<std::uint8_t>(command << 5 | stored));
    } else {
        out.push_back(static_cast<std::uint8_t>(0xE0 | command << 2 | stored >> 8));
        out.push_back(static_cast<std::uint8_t>(stored & 0xFF));
    }
}

}  // namespace

std::vector<std::uint8_t> PackLcLz2(std::span<const std::uint8_t> input)
{
    const auto n = static_cast<std::uint32_t>(input.size());
    const std::vector<EarlierMatch> matches = LongestEarlierMatches(input, LongMax, LastRepeatSource);

    // cost[i]: the fewest bytes that make input from i on (end mark aside).
    // A command reaches every end up to its longest length, at a cost set by
    // its form alone, so each form (command, short or long) keeps a window
    // of the ends it reaches. A direct copy's cost grows with its end: its
    // window holds cost + end, and direct copies may follow one another, so
    // runs of literals of any length are covered.
    EndCosts cost(input.size());
    std::vector<Command> chosen(input.size());
    std::vector<std::uint16_t> chosenLength(input.size());
    constexpr std::size_t FormCount = 2 * CommandCount;
    std::vector<EndWindow> windows(FormCount);
    std::array<std::uint32_t, FormCount> farLimit;
    farLimit.fill(n);

    std::uint32_t byteRun = 0, wordRun = 0, increasingRun = 0;
    for (std::uint32_t i = n; i-- > 0;) {
        const bool hasNext = i + 1 < n;
        byteRun = hasNext && input[i + 1] == input[i] ? byteRun + 1 : 1;
        increasingRun = hasNext && input[i + 1] == static_cast<std::uint8_t>(input[i] + 1) ? increasingRun + 1 : 1;
        wordRun = !hasNext ? 1 : i + 2 >= n ? 2 : input[i + 2] == input[i] ? wordRun + 1 : 2;
        const std::array<std::uint32_t, CommandCount> reach{n - i, byteRun, wordRun, increasingRun, matches[i].Length};

        std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
        const auto offer = [&](Command command, std::uint32_t total, std::uint32_t end) {
            if (total < best) {
                best = total;
                chosen[i] = command;
                chosenLength[i] = static_cast<std::uint16_t>(end - i);
            }
        };
        for (std::size_t form = 0; form < FormCount; ++form) {
            const auto command = static_cast<Command>(form / 2);
            const bool isLong = form % 2 == 1;
            const std::uint32_t header = (isLong ? 2 : 1) + PayloadOf[command];
            const std::uint32_t nearEnd = i + (isLong ? ShortMax + 1 : 1);
            EndWindow& window = windows[form];
            if (nearEnd <= n)
                window.AddNearEnd(nearEnd, cost[nearEnd] + (command == DirectCopy ? nearEnd : 0));
            const std::uint32_t reachedEnd = i + std::min(reach[command], isLong ? LongMax : ShortMax);
            const std::uint32_t farEnd = std::min(reachedEnd, farLimit[form]);
            farLimit[form] = farEnd;
            window.TrimFarEnd(farEnd);
            if (!window.Empty())
                offer(command, header + window.BestCost() - (command == DirectCopy ? i : 0), window.BestEnd());
            // Fills and copies reach at most one end further than from the
            // position after. A repeat can reach many more when its source
            // is among the last 16-bit positions and the same source one on
            // is out of reach: the ends the window has dropped are looked up.
            if (reachedEnd > farEnd && nearEnd <= reachedEnd) {
                const std::uint32_t end = cost.CheapestEnd(std::max(farEnd + 1, nearEnd), reachedEnd);
                offer(command, header + cost[end] + (command == DirectCopy ? end - i : 0), end);
            }
        }
        cost.Set(i, best);
    }

    std::vector<std::uint8_t> out;
    out.reserve(cost[0] + 1);
    for (std::uint32_t i = 0; i < n;) {
        const Command command = chosen[i];
        const std::uint32_t length = chosenLength[i];
        PutHeader(out, command, length);
        switch (command) {
        case DirectCopy:
            out.insert(out.end(), input.begin() + i, input.begin() + i + length);
            break;
        case WordFill:
            out.push_back(input[i]);
            out.push_back(input[i + 1 < n ? i + 1 : i]);
            break;
        case Repeat:
            out.push_back(static_cast<std::uint8_t>(matches[i].Source >> 8));
            out.push_back(static_cast<std::uint8_t>(matches[i].Source & 0xFF));
            break;
        default:
            out.push_back(input[i]);
            break;
        }
        i += length;
    }
    out.push_back(0xFF);
    return out;
}
