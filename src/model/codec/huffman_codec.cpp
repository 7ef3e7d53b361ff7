#include "model/codec/huffman_codec.h"

#include "model/codec/huffman_tree.h"

#include <limits>
#include <string>

namespace {

constexpr std::uint8_t HuffmanType = 0x20;
constexpr std::size_t HeaderSize = 4;
constexpr std::size_t RootAddress = HeaderSize + 1;  // after the tree size byte
constexpr std::size_t MaxUnpackedSize = 0xFFFFFF;

std::size_t DeclaredSize(std::span<const std::uint8_t> head)
{
    return head[1] | std::size_t{head[2]} << 8 | std::size_t{head[3]} << 16;
}

// One past the tree table, where the bitstream starts.
std::size_t TableEnd(std::uint8_t sizeByte)
{
    return HeaderSize + (std::size_t{sizeByte} + 1) * 2;
}

// Children of the node at address (from the stream's start): the pair at
// (address & ~1) + offset * 2 + 2.
std::size_t Child0Address(std::size_t address, std::uint8_t node)
{
    return (address & ~std::size_t{1}) + std::size_t{node & 0x3Fu} * 2 + 2;
}

template <int SymbolBits> std::optional<std::size_t> Probe(std::span<const std::uint8_t> head)
{
    if (head.size() < RootAddress + 1 || head[0] != (HuffmanType | SymbolBits) || DeclaredSize(head) == 0)
        return std::nullopt;
    if (Child0Address(RootAddress, head[RootAddress]) >= TableEnd(head[HeaderSize]))
        return std::nullopt;
    return DeclaredSize(head);
}

UnpackResult CutShort()
{
    return RefusedStream(UnpackStatus::PastEnd, "the stream runs past the end of the file");
}

template <int SymbolBits> UnpackResult Unpack(std::span<const std::uint8_t> input, std::size_t limit)
{
    if (input.size() < RootAddress + 1)
        return CutShort();
    if (input[0] != (HuffmanType | SymbolBits))
        return RefusedStream(UnpackStatus::Corrupt, "the stream does not start with the Huffman header byte " +
                                                        std::to_string(HuffmanType / 16) + std::to_string(SymbolBits));
    const std::size_t size = DeclaredSize(input);
    if (size == 0)
        return RefusedStream(UnpackStatus::Corrupt, "the stream declares no data");
    if (size > limit)
        return RefusedStream(UnpackStatus::TooLarge, "the stream declares " + std::to_string(size) +
                                                         " bytes, more than the " + std::to_string(limit) + " allowed");
    const std::size_t tableEnd = TableEnd(input[HeaderSize]);
    if (tableEnd > input.size())
        return CutShort();

    // Where each node's bit 0 and bit 1 lead: a node address, a leaf
    // (-1 - symbol) or outside the table. Unused bits of a 4-bit leaf are
    // dropped.
    constexpr std::int32_t Outside = std::numeric_limits<std::int32_t>::min();
    std::vector<std::int32_t> next(tableEnd * 2, Outside);
    for (std::size_t address = RootAddress; address < tableEnd; ++address) {
        const std::uint8_t node = input[address];
        for (std::size_t bit = 0; bit < 2; ++bit) {
            const std::size_t child = Child0Address(address, node) + bit;
            if (child >= tableEnd)
                continue;
            const bool leaf = (node << bit & 0x80) != 0;
            next[address * 2 + bit] =
                leaf ? -1 - (input[child] & ((1 << SymbolBits) - 1)) : static_cast<std::int32_t>(child);
        }
    }

    UnpackResult result;
    std::vector<std::uint8_t>& out = result.Bytes;
    out.reserve(size);
    const std::size_t symbols = size * (8 / SymbolBits);
    std::size_t decoded = 0;
    std::size_t node = RootAddress;
    std::size_t at = tableEnd;
    while (decoded < symbols) {
        if (input.size() - at < 4)
            return CutShort();
        std::uint32_t word = input[at] | std::uint32_t{input[at + 1]} << 8 | std::uint32_t{input[at + 2]} << 16 |
                             std::uint32_t{input[at + 3]} << 24;
        at += 4;
        for (int bit = 0; bit < 32 && decoded < symbols; ++bit, word <<= 1) {
            const std::int32_t to = next[node * 2 + (word >> 31)];
            if (to == Outside)
                return RefusedStream(UnpackStatus::Corrupt, "the code tree points outside its table");
            if (to >= 0) {
                node = static_cast<std::size_t>(to);
                continue;
            }
            const auto symbol = static_cast<std::uint8_t>(-1 - to);
            if (SymbolBits == 8 || decoded % 2 == 0)
                out.push_back(symbol);
            else
                out.back() = static_cast<std::uint8_t>(out.back() | symbol << 4);
            ++decoded;
            node = RootAddress;
        }
    }
    result.PackedLength = at;
    return result;
}

// Code bits, first bit highest, into 32-bit little-endian words.
class WordWriter {
public:
    explicit WordWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(std::uint64_t code, int length)
    {
        if (length > 32) {
            Put(code >> 32, length - 32);
            length = 32;
            code &= 0xFFFFFFFF;
        }
        bits_ = bits_ << length | code;
        count_ += length;
        if (count_ >= 32) {
            count_ -= 32;
            PutWord(static_cast<std::uint32_t>(bits_ >> count_));
        }
    }
    void Finish()
    {
        if (count_ > 0)
            PutWord(static_cast<std::uint32_t>(bits_ << (32 - count_)));
        count_ = 0;
    }

private:
    void PutWord(std::uint32_t word)
    {
        for (int shift = 0; shift < 32; shift += 8)
            out_.push_back(static_cast<std::uint8_t>(word >> shift));
    }
    std::vector<std::uint8_t>& out_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
};

template <int SymbolBits> PackResult Pack(std::span<const std::uint8_t> input, const PackOptions&)
{
    PackResult result;
    if (input.empty()) {
        result.Error = "there is nothing to pack";
        return result;
    }
    if (input.size() > MaxUnpackedSize) {
        result.Error = "the Huffman format holds at most 16777215 bytes";
        return result;
    }
    std::array<std::uint64_t, 1 << SymbolBits> counts{};
    for (const std::uint8_t byte : input) {
        if constexpr (SymbolBits == 8) {
            ++counts[byte];
        } else {
            ++counts[byte & 0x0F];
            ++counts[byte >> 4];
        }
    }
    const std::optional<HuffmanCode> code = BuildHuffmanCode(counts);
    if (!code) {
        result.Error = "no code tree fits the format";
        return result;
    }
    std::vector<std::uint8_t>& out = result.Bytes;
    out = {static_cast<std::uint8_t>(HuffmanType | SymbolBits), static_cast<std::uint8_t>(input.size()),
           static_cast<std::uint8_t>(input.size() >> 8), static_cast<std::uint8_t>(input.size() >> 16)};
    out.insert(out.end(), code->Table.begin(), code->Table.end());
    WordWriter writer(out);
    for (const std::uint8_t byte : input) {
        if constexpr (SymbolBits == 8) {
            writer.Put(code->Codes[byte], code->Lengths[byte]);
        } else {
            writer.Put(code->Codes[byte & 0x0F], code->Lengths[byte & 0x0F]);
            writer.Put(code->Codes[byte >> 4], code->Lengths[byte >> 4]);
        }
    }
    writer.Finish();
    return result;
}

}  // namespace

const StreamCodec Huffman4Codec{
    .Name = "Huffman 4-bit",
    .ShortName = "huffman4",
    .Alignment = 4,
    .Unpack = &Unpack<4>,
    .Pack = &Pack<4>,
    .Probe = &Probe<4>,
};

const StreamCodec Huffman8Codec{
    .Name = "Huffman 8-bit",
    .ShortName = "huffman8",
    .Alignment = 4,
    .Unpack = &Unpack<8>,
    .Pack = &Pack<8>,
    .Probe = &Probe<8>,
};
