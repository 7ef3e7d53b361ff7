#include "model/codec/kosinski_pack.h"

#include "model/codec/binary_tree_match_finder.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr std::size_t InlineReach = 0x100;
constexpr std::size_t FullReach = 0x2000;
constexpr std::size_t InlineLongest = 5;
constexpr std::size_t ShortFullLongest = 9;
constexpr std::size_t FullLongest = 256;
constexpr std::size_t LongFullShortest = ShortFullLongest + 1;

// Each form's cost in bits: its flag bits plus its data bytes. Flag bits and
// data bytes interleave, so a stream's size follows its total bits.
constexpr std::uint32_t LiteralBits = 1 + 8;
constexpr std::uint32_t InlineBits = 2 + 2 + 8;
constexpr std::uint32_t ShortFullBits = 2 + 16;
constexpr std::uint32_t LongFullBits = 2 + 24;

enum class Form : std::uint8_t { Literal, Inline, ShortFull, LongFull };

// What the parse needs of a position's matches, in 4 bytes (the tables of a
// 1 MiB input cost more to fill than to use): the longest match a full copy
// reaches and the longest one an inline copy reaches, each with a distance.
// Lengths and distances are stored less 1; a length of 1 means none.
struct PositionMatches {
    std::uint32_t FarLengthLess1 : 8 = 0;
    std::uint32_t FarDistanceLess1 : 13 = 0;
    std::uint32_t NearLengthLess1 : 3 = 0;
    std::uint32_t NearDistanceLess1 : 8 = 0;

    std::size_t FarLength() const { return FarLengthLess1 + 1; }
    std::size_t FarDistance() const { return FarDistanceLess1 + 1; }
    std::size_t NearLength() const { return NearLengthLess1 + 1; }
    std::size_t NearDistance() const { return NearDistanceLess1 + 1; }
    void SetFar(std::size_t length, std::size_t distance)
    {
        FarLengthLess1 = static_cast<std::uint32_t>(length - 1) & 0xFF;
        FarDistanceLess1 = static_cast<std::uint32_t>(distance - 1) & 0x1FFF;
    }
    void SetNear(std::size_t length, std::size_t distance)
    {
        NearLengthLess1 = static_cast<std::uint32_t>(std::min(length, InlineLongest) - 1) & 7;
        NearDistanceLess1 = static_cast<std::uint32_t>(distance - 1) & 0xFF;
    }
};

std::vector<PositionMatches> FindMatches(std::span<const std::uint8_t> input)
{
    std::vector<PositionMatches> found(input.size());
    BinaryTreeMatchFinder finder(input, FullReach, FullLongest);
    for (std::size_t i = 0; i < input.size(); ++i) {
        PositionMatches& here = found[i];
        for (const WindowMatch& match : finder.Next()) {
            here.SetFar(match.Length, match.Distance);
            if (match.Distance <= InlineReach)
                here.SetNear(match.Length, match.Distance);
        }
        // A match goes on one byte shorter at the next position. The finder
        // sees that anyway unless its depth limit cut a walk short, and the
        // parse below relies on it: a position's reach never ends before
        // the previous one's.
        if (i == 0)
            continue;
        const PositionMatches& before = found[i - 1];
        if (before.FarLength() > here.FarLength() + 1)
            here.SetFar(before.FarLength() - 1, before.FarDistance());
        if (before.NearLength() > here.NearLength() + 1)
            here.SetNear(before.NearLength() - 1, before.NearDistance());
    }
    return found;
}

// The form and length chosen at a position, in 2 bytes.
struct Choice {
    std::uint16_t Length : 9 = 1;
    std::uint16_t Kind : 2 = static_cast<std::uint16_t>(Form::Literal);
};

// The cheapest way to encode every suffix, from the end back: each form's
// cost is fixed, so a position tries every length. The long full copies
// (10 to 256 bytes) would be up to 247 lengths each; the positions they
// reach form a window that only slides towards the start as the parse
// does, so a queue of rising costs gives its cheapest end at once. Nothing
// reaches more than 256 bytes ahead, so the costs and the queue are rings.
std::vector<Choice> OptimalParse(const std::vector<PositionMatches>& matches)
{
    constexpr std::size_t Ring = 512;
    static_assert(Ring > FullLongest + 1);
    const std::size_t size = matches.size();
    std::array<std::uint32_t, Ring> cost{};
    auto costAt = [&](std::size_t position) -> std::uint32_t& { return cost[position % Ring]; };
    std::array<std::size_t, Ring> queue{};
    std::size_t front = 0, back = 0;  // the farthest end, the cheapest, is queue[front % Ring]
    std::vector<Choice> choices(size);

    for (std::size_t i = size; i-- > 0;) {
        const PositionMatches& here = matches[i];
        if (i + LongFullShortest <= size) {
            const std::size_t end = i + LongFullShortest;
            while (back > front && costAt(queue[(back - 1) % Ring]) >= costAt(end))
                --back;
            queue[back++ % Ring] = end;
        }
        const std::size_t farLength = here.FarLength() < 2 ? 0 : here.FarLength();
        while (back > front && queue[front % Ring] > i + farLength)
            ++front;

        std::uint32_t best = LiteralBits + costAt(i + 1);
        Choice choice;
        const auto consider = [&](std::uint32_t bits, std::size_t length, Form kind) {
            if (bits < best) {
                best = bits;
                choice.Length = static_cast<std::uint16_t>(length) & 0x1FF;
                choice.Kind = static_cast<std::uint16_t>(kind) & 3;
            }
        };
        const std::size_t nearLength = here.NearLength() < 2 ? 0 : here.NearLength();
        for (std::size_t length = 2; length <= nearLength; ++length)
            consider(InlineBits + costAt(i + length), length, Form::Inline);
        for (std::size_t length = 3; length <= std::min(farLength, ShortFullLongest); ++length)
            consider(ShortFullBits + costAt(i + length), length, Form::ShortFull);
        if (back > front)
            consider(LongFullBits + costAt(queue[front % Ring]), queue[front % Ring] - i, Form::LongFull);
        costAt(i) = best;
        choices[i] = choice;
    }
    return choices;
}

// Writes flag bits into descriptor words and data bytes after them. Like
// the unpacker, it starts the next descriptor word the moment the current
// one is full, before the data bytes of the command that filled it.
class StreamWriter {
public:
    StreamWriter(std::vector<std::uint8_t>& out) : out_(out) { StartDescriptor(); }

    void Bit(unsigned bit)
    {
        descriptor_ |= bit << bitsUsed_;
        if (++bitsUsed_ == 16) {
            FlushDescriptor();
            StartDescriptor();
        }
    }
    void Byte(std::size_t byte) { out_.push_back(static_cast<std::uint8_t>(byte)); }
    void Finish() { FlushDescriptor(); }

private:
    void StartDescriptor()
    {
        slot_ = out_.size();
        out_.insert(out_.end(), {0, 0});
        descriptor_ = 0;
        bitsUsed_ = 0;
    }
    void FlushDescriptor()
    {
        out_[slot_] = static_cast<std::uint8_t>(descriptor_);
        out_[slot_ + 1] = static_cast<std::uint8_t>(descriptor_ >> 8);
    }

    std::vector<std::uint8_t>& out_;
    std::size_t slot_ = 0;
    unsigned descriptor_ = 0;
    unsigned bitsUsed_ = 0;
};

// A full copy's 13 distance bits: the low byte, then the high five bits
// above the count bits of the second byte.
void WriteFullCopy(StreamWriter& writer, std::size_t distance, std::size_t countBits)
{
    const std::size_t field = FullReach - distance;
    writer.Bit(0);
    writer.Bit(1);
    writer.Byte(field & 0xFF);
    writer.Byte((field >> 8) << 3 | countBits);
}

}  // namespace

PackResult PackKosinski(std::span<const std::uint8_t> input, const PackOptions&)
{
    if (input.size() >= std::size_t{std::numeric_limits<std::int32_t>::max()})
        return {{}, "the data is too long to pack"};
    const std::vector<PositionMatches> matches = FindMatches(input);
    const std::vector<Choice> choices = OptimalParse(matches);

    PackResult result;
    result.Bytes.reserve(input.size() + input.size() / 8 + 8);
    StreamWriter writer(result.Bytes);
    for (std::size_t i = 0; i < input.size(); i += choices[i].Length) {
        const Choice choice = choices[i];
        switch (static_cast<Form>(choice.Kind)) {
        case Form::Literal:
            writer.Bit(1);
            writer.Byte(input[i]);
            break;
        case Form::Inline:
            writer.Bit(0);
            writer.Bit(0);
            writer.Bit((choice.Length - 2) >> 1);
            writer.Bit((choice.Length - 2) & 1);
            writer.Byte(0x100 - matches[i].NearDistance());
            break;
        case Form::ShortFull:
            WriteFullCopy(writer, matches[i].FarDistance(), choice.Length - 2);
            break;
        case Form::LongFull:
            WriteFullCopy(writer, matches[i].FarDistance(), 0);
            writer.Byte(choice.Length - 1);
            break;
        }
    }
    // The end marker: a full copy whose third byte is 0 (bytes 00 F0 00, as
    // the games' own streams end).
    WriteFullCopy(writer, 0x200, 0);
    writer.Byte(0);
    writer.Finish();
    return result;
}
