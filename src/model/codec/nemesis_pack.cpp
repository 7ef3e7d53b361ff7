#include "model/codec/nemesis_pack.h"

#include "model/codec/nemesis_code_space.h"
#include "model/codec/nemesis_format.h"
#include "model/codec/nemesis_runs.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <vector>

// The stream's size is the table's plus the bitstream's, and each depends on
// the other: the table says what a run costs, the split of the pixels into
// runs says which codes pay for their table entries. So the packer
// alternates: the best table for the runs it has, then the best split for
// that table, until the size stops shrinking. Both steps are exact for what
// they are given. The alternation keeps every code it starts with that some
// run uses, even when the runs would do as well split otherwise; so then it
// tries dropping each code and keeps a drop that makes the stream smaller.
// The splits work on counts of stretch lengths (nemesis_runs.h), not on the
// nibbles, so each step is quick whatever the size of the data.

namespace {

constexpr int RunKinds = 16 * NemesisMaxRun;  // nibble * 8 + run - 1
constexpr std::int64_t InlineBits = NemesisEscapeLength + NemesisInlineRunBits;
constexpr std::int64_t EntryBits = 16;      // length byte and code byte
constexpr std::int64_t NibbleByteBits = 8;  // before a nibble's first entry
constexpr std::int64_t FixedBits = 16 + 8;  // header, table end
constexpr std::int64_t Unreachable = std::numeric_limits<std::int64_t>::max() / 4;
constexpr int AlternationRounds = 8;

using Lengths = std::array<std::uint8_t, RunKinds>;  // 0: written inline after the escape
using Uses = std::array<std::int64_t, RunKinds>;
using Forbidden = std::array<bool, RunKinds>;

std::array<std::int64_t, NemesisMaxRun> RunBits(const std::uint8_t* lengths)
{
    std::array<std::int64_t, NemesisMaxRun> bits;
    for (int run = 0; run < NemesisMaxRun; ++run)
        bits[run] = lengths[run] ? lengths[run] : InlineBits;
    return bits;
}

// One nibble's table bytes and bitstream with these code lengths and the
// best split for them; how often that split writes each run goes to uses.
std::int64_t SplitNibble(const NemesisNibbleStretches& stretches, const std::uint8_t* lengths, std::int64_t* uses)
{
    std::fill(uses, uses + NemesisMaxRun, std::int64_t{0});
    const auto codes = std::count_if(lengths, lengths + NemesisMaxRun, [](std::uint8_t length) { return length; });
    std::int64_t bits = codes ? NibbleByteBits + codes * EntryBits : 0;
    const NemesisSplits splits(RunBits(lengths).data());
    auto add = [&](std::size_t m, std::int64_t count) {
        bits += count * splits.Bits(m);
        splits.ForEachRun(m, [&](std::size_t run) { uses[run - 1] += count; });
    };
    for (std::size_t m = 1; m <= NemesisShortStretch; ++m)
        if (stretches.Short[m])
            add(m, stretches.Short[m]);
    for (const auto& [m, count] : stretches.Long)
        add(m, count);
    return bits;
}

std::int64_t SplitAll(const NemesisStretches& stretches, const Lengths& lengths, Uses& uses)
{
    std::int64_t bits = FixedBits;
    for (int nibble = 0; nibble < 16; ++nibble)
        bits += SplitNibble(stretches[nibble], lengths.data() + nibble * NemesisMaxRun,
                            uses.data() + nibble * NemesisMaxRun);
    return bits;
}

// Runs of 8 and the rest: where the alternation starts.
Uses LongestRuns(const NemesisStretches& stretches)
{
    Uses uses{};
    for (int nibble = 0; nibble < 16; ++nibble) {
        std::int64_t* nibbleUses = uses.data() + nibble * NemesisMaxRun;
        auto add = [&](std::size_t m, std::int64_t count) {
            nibbleUses[NemesisMaxRun - 1] += count * static_cast<std::int64_t>(m / NemesisMaxRun);
            if (m % NemesisMaxRun)
                nibbleUses[m % NemesisMaxRun - 1] += count;
        };
        for (std::size_t m = 1; m <= NemesisShortStretch; ++m)
            add(m, stretches[nibble].Short[m]);
        for (const auto& [m, count] : stretches[nibble].Long)
            add(m, count);
    }
    return uses;
}

struct Plan {
    Lengths Codes{};
    Uses RunUses{};
    std::int64_t Bits = Unreachable;
};

class Planner {
public:
    explicit Planner(const NemesisStretches& stretches) : stretches_(stretches) {}

    Plan Run()
    {
        Alternate(ChooseLengths(LongestRuns(stretches_)));
        while (DropCodes()) {
        }
        return best_;
    }

private:
    void Alternate(Lengths lengths)
    {
        for (int round = 0; round < AlternationRounds; ++round) {
            Uses uses;
            const std::int64_t bits = SplitAll(stretches_, lengths, uses);
            if (bits >= best_.Bits)
                return;
            best_ = {lengths, uses, bits};
            const Lengths next = ChooseLengths(uses);
            if (next == lengths)
                return;
            lengths = next;
        }
    }

    // Tries each code's drop with the rest of the table as it is, the
    // nibble's codes chosen anew in the room the others leave. Takes the
    // best drop of each nibble at once when that gains, else the best one
    // alone (a sure gain: the table it was measured with can be had), and
    // alternates from there. False when no drop gains.
    bool DropCodes()
    {
        ChooseNibbleCodes(best_.RunUses);
        for (int nibble = 0; nibble < 16; ++nibble)
            ShareNemesisRooms(below_[nibble], codes_[nibble].Bits(), below_[nibble + 1], nullptr);
        for (int nibble = 15; nibble >= 0; --nibble)
            ShareNemesisRooms(above_[nibble + 1], codes_[nibble].Bits(), above_[nibble], nullptr);

        struct Drop {
            std::size_t Kind = 0;
            std::int64_t Bits = Unreachable;
            std::array<std::int64_t, NemesisMaxRun> Uses{};
        };
        std::vector<Drop> drops;
        for (int nibble = 0; nibble < 16; ++nibble) {
            const std::size_t base = static_cast<std::size_t>(nibble) * NemesisMaxRun;
            if (std::none_of(best_.Codes.begin() + base, best_.Codes.begin() + base + NemesisMaxRun,
                             [](std::uint8_t length) { return length; }))
                continue;
            NemesisRoomBits others;
            ShareNemesisRooms(below_[nibble], above_[nibble + 1], others, nullptr);
            Drop best;
            for (std::size_t run = 0; run < NemesisMaxRun; ++run) {
                if (!best_.Codes[base + run])
                    continue;
                std::array<std::uint8_t, NemesisMaxRun> lengths;
                std::copy_n(best_.Codes.begin() + base, NemesisMaxRun, lengths.begin());
                lengths[run] = 0;
                Drop drop{base + run};
                SplitNibble(stretches_[nibble], lengths.data(), drop.Uses.data());
                std::array<bool, NemesisMaxRun> forbidden;
                std::copy_n(forbidden_.begin() + base, NemesisMaxRun, forbidden.begin());
                forbidden[run] = true;
                dropped_.Choose(drop.Uses.data(), forbidden.data());
                for (int room = 0; room <= NemesisCodeRoom; ++room)
                    drop.Bits =
                        std::min<std::int64_t>(drop.Bits, dropped_.Bits()[room] + others[NemesisCodeRoom - room]);
                drop.Bits += FixedBits;
                if (drop.Bits < best.Bits)
                    best = drop;
            }
            if (best.Bits < best_.Bits)
                drops.push_back(best);
        }
        if (drops.empty())
            return false;
        const std::int64_t bitsBefore = best_.Bits;
        if (drops.size() > 1) {
            const Forbidden forbiddenBefore = forbidden_;
            TakeDrops(drops);
            if (best_.Bits < bitsBefore)
                return true;
            forbidden_ = forbiddenBefore;
        }
        const auto single =
            std::min_element(drops.begin(), drops.end(), [](const Drop& a, const Drop& b) { return a.Bits < b.Bits; });
        TakeDrops(std::span(single, 1));
        return best_.Bits < bitsBefore;
    }

    template <typename Drops> void TakeDrops(const Drops& drops)
    {
        Uses uses = best_.RunUses;
        for (const auto& drop : drops) {
            forbidden_[drop.Kind] = true;
            const std::size_t base = drop.Kind / NemesisMaxRun * NemesisMaxRun;
            std::copy(drop.Uses.begin(), drop.Uses.end(), uses.begin() + base);
        }
        Alternate(ChooseLengths(uses));
    }

    void ChooseNibbleCodes(const Uses& uses)
    {
        for (int nibble = 0; nibble < 16; ++nibble)
            codes_[nibble].Choose(uses.data() + nibble * NemesisMaxRun, forbidden_.data() + nibble * NemesisMaxRun);
    }

    // The best table for these uses: the code space shared out among the
    // nibbles, each nibble's codes the best for its share.
    Lengths ChooseLengths(const Uses& uses)
    {
        ChooseNibbleCodes(uses);
        below_[1] = codes_[0].Bits();
        for (int nibble = 1; nibble < 16; ++nibble)
            ShareNemesisRooms(below_[nibble], codes_[nibble].Bits(), below_[nibble + 1], &shares_[nibble]);
        Lengths lengths{};
        int room = NemesisCodeRoom;
        for (int nibble = 15; nibble >= 0; --nibble) {
            const int share = nibble > 0 ? shares_[nibble][room] : room;
            codes_[nibble].Lengths(share, lengths.data() + nibble * NemesisMaxRun);
            room -= share;
        }
        return lengths;
    }

    const NemesisStretches& stretches_;
    Forbidden forbidden_{};
    Plan best_;
    // Work space, large enough to keep from one choice to the next.
    std::vector<NemesisNibbleCodes> codes_ = std::vector<NemesisNibbleCodes>(16);
    NemesisNibbleCodes dropped_;
    // below_[n]: nibbles 0 to n - 1 together, for every room; above_[n]: n to 15.
    std::vector<NemesisRoomBits> below_ = std::vector<NemesisRoomBits>(17);
    std::vector<NemesisRoomBits> above_ = std::vector<NemesisRoomBits>(17);
    std::vector<NemesisRoomChoice> shares_ = std::vector<NemesisRoomChoice>(16);
};

std::vector<std::uint8_t> Nibbles(std::span<const std::uint8_t> input, bool xorRows)
{
    std::vector<std::uint8_t> nibbles(input.size() * 2);
    for (std::size_t i = 0; i < input.size(); ++i) {
        const std::uint8_t byte = xorRows && i >= 4 ? input[i] ^ input[i - 4] : input[i];
        nibbles[2 * i] = byte >> 4;
        nibbles[2 * i + 1] = byte & 0x0F;
    }
    return nibbles;
}

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(unsigned value, int count)
    {
        pending_ = pending_ << count | value;
        used_ += count;
        while (used_ >= 8) {
            used_ -= 8;
            out_.push_back(static_cast<std::uint8_t>(pending_ >> used_));
        }
    }
    void Flush()
    {
        if (used_ > 0)
            out_.push_back(static_cast<std::uint8_t>(pending_ << (8 - used_)));
        used_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t pending_ = 0;
    int used_ = 0;
};

// Canonical codes, shortest first: they fill the code space from 0 up and
// leave its top, the escape, free.
std::array<std::uint8_t, RunKinds> CanonicalCodes(const Lengths& lengths)
{
    std::vector<int> coded;
    for (int kind = 0; kind < RunKinds; ++kind)
        if (lengths[kind])
            coded.push_back(kind);
    std::stable_sort(coded.begin(), coded.end(), [&](int a, int b) { return lengths[a] < lengths[b]; });
    std::array<std::uint8_t, RunKinds> codes{};
    unsigned next = 0;
    int nextLength = 0;
    for (const int kind : coded) {
        next <<= lengths[kind] - nextLength;
        nextLength = lengths[kind];
        codes[kind] = static_cast<std::uint8_t>(next++);
    }
    return codes;
}

std::vector<std::uint8_t> WriteStream(std::size_t tiles, bool xorRows, const std::vector<std::uint8_t>& nibbles,
                                      const Plan& plan)
{
    const Lengths& lengths = plan.Codes;
    const auto codes = CanonicalCodes(lengths);
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(plan.Bits / 8 + 2));
    const unsigned header = static_cast<unsigned>(tiles) | (xorRows ? NemesisXorFlag : 0);
    out.push_back(static_cast<std::uint8_t>(header >> 8));
    out.push_back(static_cast<std::uint8_t>(header));
    for (int nibble = 0; nibble < 16; ++nibble) {
        bool named = false;
        for (int run = 0; run < NemesisMaxRun; ++run) {
            const int kind = nibble * NemesisMaxRun + run;
            if (!lengths[kind])
                continue;
            if (!named)
                out.push_back(static_cast<std::uint8_t>(NemesisNibbleByte | nibble));
            named = true;
            out.push_back(static_cast<std::uint8_t>(run << 4 | lengths[kind]));
            out.push_back(codes[kind]);
        }
    }
    out.push_back(NemesisTableEnd);

    std::vector<NemesisSplits> splits;
    for (int nibble = 0; nibble < 16; ++nibble)
        splits.emplace_back(RunBits(lengths.data() + nibble * NemesisMaxRun).data());
    BitWriter writer(out);
    ForEachNemesisStretch(nibbles, [&](unsigned nibble, std::size_t length) {
        splits[nibble].ForEachRun(length, [&](std::size_t run) {
            const std::size_t kind = nibble * NemesisMaxRun + run - 1;
            if (lengths[kind]) {
                writer.Put(codes[kind], lengths[kind]);
            } else {
                writer.Put((1u << NemesisEscapeLength) - 1, NemesisEscapeLength);
                writer.Put(static_cast<unsigned>(run - 1) << 4 | nibble, NemesisInlineRunBits);
            }
        });
    });
    writer.Flush();
    // The console reads the header as a 16-bit word, so streams start on
    // even addresses and take even room.
    if (out.size() % 2)
        out.push_back(0);
    return out;
}

std::size_t EvenBytes(std::int64_t bits)
{
    const auto bytes = static_cast<std::size_t>((bits + 7) / 8);
    return bytes + bytes % 2;
}

}  // namespace

PackResult PackNemesis(std::span<const std::uint8_t> input)
{
    PackResult result;
    if (input.size() % NemesisTileBytes != 0) {
        result.Error = "Nemesis holds whole tiles of 32 bytes; " + std::to_string(input.size()) +
                       " bytes are not a whole number of tiles";
        return result;
    }
    const std::size_t tiles = input.size() / NemesisTileBytes;
    if (tiles == 0) {
        result.Error = "there are no tiles to pack";
        return result;
    }
    if (tiles > NemesisMaxTiles) {
        result.Error = std::to_string(tiles) + " tiles are more than the " + std::to_string(NemesisMaxTiles) +
                       " a Nemesis header can count";
        return result;
    }
    bool bestXor = false;
    std::vector<std::uint8_t> bestNibbles;
    Plan bestPlan;
    for (const bool xorRows : {false, true}) {
        std::vector<std::uint8_t> nibbles = Nibbles(input, xorRows);
        const NemesisStretches stretches = CountNemesisStretches(nibbles);
        const Plan plan = Planner(stretches).Run();
        if (bestNibbles.empty() || EvenBytes(plan.Bits) < EvenBytes(bestPlan.Bits)) {
            bestXor = xorRows;
            bestNibbles = std::move(nibbles);
            bestPlan = plan;
        }
    }
    result.Bytes = WriteStream(tiles, bestXor, bestNibbles, bestPlan);
    return result;
}
