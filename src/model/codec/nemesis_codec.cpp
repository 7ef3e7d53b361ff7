#include "model/codec/nemesis_codec.h"

#include "model/codec/nemesis_format.h"
#include "model/codec/nemesis_pack.h"

#include <array>
#include <string>

namespace {

// What the next 8 bits of the bitstream mean when a code starts with them.
struct CodeEntry {
    std::uint8_t Length = 0;  // 0: no code starts so
    std::uint8_t Nibble = 0;
    std::uint8_t Run = 0;
};

using CodeEntries = std::array<CodeEntry, 256>;

enum class TableFault { None, PastEnd, BadLength, CodeWiderThanLength, Overlap, OverlapsEscape };

struct TableRead {
    TableFault Fault = TableFault::None;
    int Length = 0;       // the code length at fault
    std::size_t End = 0;  // the first byte after the table
    // Which of the 256 next-8-bit values start a code or the escape.
    std::array<std::uint64_t, 4> Taken{};
};

// Marks the aligned block [first, first + count) taken; false when part of
// it already was (one code is the start of another).
bool Take(std::array<std::uint64_t, 4>& taken, unsigned first, unsigned count)
{
    for (unsigned entry = first; entry < first + count;) {
        const unsigned bit = entry % 64;
        const unsigned width = std::min(64 - bit, first + count - entry);
        const std::uint64_t mask = (width == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1) << bit;
        if (taken[entry / 64] & mask)
            return false;
        taken[entry / 64] |= mask;
        entry += width;
    }
    return true;
}

// Reads the code table from input[start]. Fills entries when given; the
// probe only needs to know the table is sound.
TableRead ReadCodeTable(std::span<const std::uint8_t> input, std::size_t start, CodeEntries* entries)
{
    TableRead read;
    Take(read.Taken, NemesisEscapeFirstEntry, 256 - NemesisEscapeFirstEntry);
    std::size_t pos = start;
    auto fault = [&](TableFault fault, int length = 0) {
        read.Fault = fault;
        read.Length = length;
        return read;
    };
    if (pos >= input.size())
        return fault(TableFault::PastEnd);
    // The console takes the first byte as a nibble byte whatever its top bit.
    std::uint8_t byte = input[pos++];
    unsigned nibble = byte & 0x0F;
    while (byte != NemesisTableEnd) {
        if (pos >= input.size())
            return fault(TableFault::PastEnd);
        byte = input[pos++];
        if (byte >= NemesisNibbleByte) {
            nibble = byte & 0x0F;
            continue;
        }
        const int length = byte & 0x0F;
        if (length == 0 || length > NemesisMaxCodeLength)
            return fault(TableFault::BadLength, length);
        if (pos >= input.size())
            return fault(TableFault::PastEnd);
        const unsigned code = input[pos++];
        if (code >> length)
            return fault(TableFault::CodeWiderThanLength, length);
        const unsigned first = code << (NemesisMaxCodeLength - length);
        const unsigned count = 1u << (NemesisMaxCodeLength - length);
        if (first + count > NemesisEscapeFirstEntry)
            return fault(TableFault::OverlapsEscape, length);
        if (!Take(read.Taken, first, count))
            return fault(TableFault::Overlap, length);
        if (entries) {
            const CodeEntry entry{static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(nibble),
                                  static_cast<std::uint8_t>((byte >> 4) + 1)};
            for (unsigned i = first; i < first + count; ++i)
                (*entries)[i] = entry;
        }
    }
    read.End = pos;
    return read;
}

std::string TableFaultReason(const TableRead& read)
{
    const std::string length = std::to_string(read.Length);
    switch (read.Fault) {
    case TableFault::None:
        break;
    case TableFault::PastEnd:
        return "the stream runs past the end of the file";
    case TableFault::BadLength:
        return "a code of the code table is " + length + " bits long, not 1 to 8";
    case TableFault::CodeWiderThanLength:
        return "a code of the code table has more bits than its length of " + length;
    case TableFault::Overlap:
        return "two codes of the code table overlap (one starts the other)";
    case TableFault::OverlapsEscape:
        return "a code of the code table clashes with the escape code 111111";
    }
    return {};
}

// The bitstream, read from the top bit of each byte; zeros past its end, so
// the caller compares what a code needs with Left().
class BitCursor {
public:
    explicit BitCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes), bitCount_(bytes.size() * 8) {}

    // The next n bits (n at most 16).
    unsigned Peek(int n) const
    {
        const std::size_t byte = position_ / 8;
        std::uint32_t window = 0;
        if (byte + 3 <= bytes_.size()) {
            window = std::uint32_t{bytes_[byte]} << 16 | std::uint32_t{bytes_[byte + 1]} << 8 | bytes_[byte + 2];
        } else {
            for (std::size_t i = byte; i < byte + 3; ++i)
                window = window << 8 | (i < bytes_.size() ? bytes_[i] : 0u);
        }
        return (window >> (24 - position_ % 8 - static_cast<unsigned>(n))) & ((1u << n) - 1);
    }
    std::size_t Left() const { return bitCount_ - position_; }
    void Skip(int n) { position_ += static_cast<std::size_t>(n); }
    std::size_t BytesTaken() const { return (position_ + 7) / 8; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t bitCount_;
    std::size_t position_ = 0;
};

UnpackResult Unpack(std::span<const std::uint8_t> input, std::size_t limit)
{
    if (input.size() < 2)
        return RefusedStream(UnpackStatus::PastEnd, "the stream runs past the end of the file");
    const unsigned header = unsigned{input[0]} << 8 | input[1];
    const bool xorRows = header & NemesisXorFlag;
    const std::size_t tiles = header & ~NemesisXorFlag;
    if (tiles == 0)
        return RefusedStream(UnpackStatus::Corrupt, "the header declares no tiles");
    const std::size_t size = tiles * NemesisTileBytes;
    if (size > limit)
        return RefusedStream(UnpackStatus::TooLarge, "the header declares " + std::to_string(tiles) + " tiles (" +
                                                         std::to_string(size) + " bytes), more than the limit of " +
                                                         std::to_string(limit) + " bytes");
    CodeEntries entries{};
    const TableRead table = ReadCodeTable(input, 2, &entries);
    if (table.Fault != TableFault::None)
        return RefusedStream(table.Fault == TableFault::PastEnd ? UnpackStatus::PastEnd : UnpackStatus::Corrupt,
                             TableFaultReason(table));

    UnpackResult result;
    result.Bytes.resize(size);
    std::uint8_t* out = result.Bytes.data();
    BitCursor bits(input.subspan(table.End));
    std::uint32_t row = 0, previous = 0;
    int filled = 0;
    std::size_t rowsLeft = tiles * 8;
    while (rowsLeft > 0) {
        unsigned nibble, run;
        const unsigned next = bits.Peek(8);
        if (next >= NemesisEscapeFirstEntry) {
            if (bits.Left() < NemesisEscapeLength + NemesisInlineRunBits)
                return RefusedStream(UnpackStatus::PastEnd, "the stream runs past the end of the file");
            bits.Skip(NemesisEscapeLength);
            const unsigned inlineRun = bits.Peek(NemesisInlineRunBits);
            bits.Skip(NemesisInlineRunBits);
            nibble = inlineRun & 0x0F;
            run = (inlineRun >> 4) + 1;
        } else {
            const CodeEntry& entry = entries[next];
            // Bits missing past the end can make a real code look unknown.
            if (entry.Length == 0 && bits.Left() >= 8)
                return RefusedStream(UnpackStatus::Corrupt, "the bitstream holds a code the code table does not have");
            if (entry.Length == 0 || entry.Length > bits.Left())
                return RefusedStream(UnpackStatus::PastEnd, "the stream runs past the end of the file");
            bits.Skip(entry.Length);
            nibble = entry.Nibble;
            run = entry.Run;
        }
        // A run may go on into the next row; the console drops what a last
        // run has beyond the last row.
        for (; run > 0 && rowsLeft > 0; --run) {
            row = row << 4 | nibble;
            if (++filled < 8)
                continue;
            previous = xorRows ? previous ^ row : row;
            out[0] = static_cast<std::uint8_t>(previous >> 24);
            out[1] = static_cast<std::uint8_t>(previous >> 16);
            out[2] = static_cast<std::uint8_t>(previous >> 8);
            out[3] = static_cast<std::uint8_t>(previous);
            out += 4;
            row = 0;
            filled = 0;
            --rowsLeft;
        }
    }
    result.PackedLength = table.End + bits.BytesTaken();
    return result;
}

PackResult Pack(std::span<const std::uint8_t> input, const PackOptions&)
{
    return PackNemesis(input);
}

std::optional<std::size_t> Probe(std::span<const std::uint8_t> head)
{
    if (head.size() < 2)
        return std::nullopt;
    const std::size_t tiles = (unsigned{head[0]} << 8 | head[1]) & ~NemesisXorFlag;
    if (tiles == 0)
        return std::nullopt;
    const TableRead table = ReadCodeTable(head, 2, nullptr);
    if (table.Fault != TableFault::None && table.Fault != TableFault::PastEnd)
        return std::nullopt;
    // The first 8 bits of the bitstream must start a code or the escape.
    if (table.Fault == TableFault::None && table.End < head.size()) {
        const unsigned next = head[table.End];
        if (!(table.Taken[next / 64] >> (next % 64) & 1))
            return std::nullopt;
    }
    return tiles * NemesisTileBytes;
}

}  // namespace

const StreamCodec NemesisCodec{"Nemesis", "nemesis", 2, Unpack, Pack, Probe};
