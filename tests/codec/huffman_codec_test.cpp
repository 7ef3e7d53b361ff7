// The Huffman formats read from trees built by hand, refusals, and the
// packer's code against a plain Huffman code's cost.
#include "model/codec/huffman_codec.h"
#include "model/codec/huffman_tree.h"

#include "support/tile_like_data.h"

#include <gtest/gtest.h>

#include <queue>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Trees the packer never makes: the root's leaf on side 1, an unused pair
// between a node and its children (offset 1).
const Bytes HandTree8{0x03, 0x40, 0xC1, 0x43, 0xEE, 0xEE, 0x41, 0x42};  // A = 00, B = 01, C = 1
const Bytes HandTree4{0x03, 0x80, 0x05, 0xC0, 0x0A, 0x03, 0x00, 0x00};  // 5 = 0, A = 10, 3 = 11

Bytes Stream(std::uint8_t header, std::size_t size, const Bytes& table, const Bytes& words)
{
    Bytes stream{header, static_cast<std::uint8_t>(size), 0, 0};
    stream.insert(stream.end(), table.begin(), table.end());
    stream.insert(stream.end(), words.begin(), words.end());
    return stream;
}

TEST(HuffmanCodec, UnpacksHandBuiltTrees)
{
    struct Case {
        const StreamCodec& Codec;
        Bytes Stream, Expected;
    };
    Bytes manyCThenA(33, 'C');
    manyCThenA.push_back('A');
    const std::vector<Case> cases{
        {Huffman8Codec, Stream(0x28, 5, HandTree8, {0, 0, 0, 0x8E}), {'C', 'A', 'B', 'C', 'C'}},  // 1 00 01 1 1
        {Huffman8Codec, Stream(0x28, 34, HandTree8, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80}), manyCThenA},
        {Huffman4Codec, Stream(0x24, 2, HandTree4, {0, 0, 0, 0x68}), {0x35, 0xA5}},  // 0 11 0 10
    };
    for (const Case& c : cases) {
        Bytes followed = c.Stream;
        followed.insert(followed.end(), {0xEE, 0xEE, 0xEE, 0xEE});
        const UnpackResult unpacked = c.Codec.Unpack(followed, DefaultUnpackLimit);
        ASSERT_TRUE(unpacked) << unpacked.Reason;
        EXPECT_EQ(unpacked.Bytes, c.Expected);
        EXPECT_EQ(unpacked.PackedLength, c.Stream.size());
        EXPECT_EQ(c.Codec.Probe(followed), c.Expected.size());
    }
}

TEST(HuffmanCodec, RefusesABadStreamWithTheRightStatus)
{
    struct Case {
        std::string What;
        Bytes Stream;
        UnpackStatus Status;
        std::size_t Limit = DefaultUnpackLimit;
    };
    const Bytes valid = Stream(0x28, 5, HandTree8, {0, 0, 0, 0x8E});
    const Bytes outsideRoot = Stream(0x28, 1, {0x01, 0x02, 0x41, 0x42}, {0, 0, 0, 0});
    const std::vector<Case> cases{
        {"4-bit header", Stream(0x24, 5, HandTree8, {0, 0, 0, 0x8E}), UnpackStatus::Corrupt},
        {"no data declared", Stream(0x28, 0, HandTree8, {0, 0, 0, 0x8E}), UnpackStatus::Corrupt},
        {"root offset outside the table", outsideRoot, UnpackStatus::Corrupt},
        {"inner offset outside the table", Stream(0x28, 1, {0x03, 0x40, 0xC2, 0x43, 0, 0, 0x41, 0x42}, {0, 0, 0, 0}),
         UnpackStatus::Corrupt},
        {"table cut", Bytes(valid.begin(), valid.begin() + 11), UnpackStatus::PastEnd},
        {"last word cut", Bytes(valid.begin(), valid.end() - 1), UnpackStatus::PastEnd},
        {"words run out", Stream(0x28, 34, HandTree8, {0xFF, 0xFF, 0xFF, 0xFF}), UnpackStatus::PastEnd},
        {"size over the limit", valid, UnpackStatus::TooLarge, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const UnpackResult refused = Huffman8Codec.Unpack(c.Stream, c.Limit);
        EXPECT_EQ(refused.Status, c.Status);
        EXPECT_TRUE(refused.Bytes.empty());
    }
    EXPECT_FALSE(Huffman8Codec.Probe(outsideRoot));
    EXPECT_FALSE(Huffman4Codec.Probe(valid));
}

TEST(HuffmanCodec, OneAndTwoSymbolDataTakeOneBitASymbol)
{
    struct Case {
        const StreamCodec& Codec;
        Bytes Data;
        std::size_t PackedSize;  // the header, a 4-byte table, the words
    };
    const std::vector<Case> cases{
        {Huffman8Codec, Bytes(32, 0x77), 4 + 4 + 4}, {Huffman8Codec, Bytes(33, 0x00), 4 + 4 + 8},
        {Huffman8Codec, {0, 0xFF, 0xFF}, 4 + 4 + 4}, {Huffman4Codec, Bytes(32, 0x77), 4 + 4 + 8},
        {Huffman4Codec, Bytes(16, 0x12), 4 + 4 + 4},
    };
    for (const Case& c : cases) {
        const PackResult packed = c.Codec.Pack(c.Data, PackOptions{});
        ASSERT_TRUE(packed) << packed.Error;
        EXPECT_EQ(packed.Bytes.size(), c.PackedSize);
        EXPECT_EQ(c.Codec.Unpack(packed.Bytes, DefaultUnpackLimit).Bytes, c.Data);
    }
    EXPECT_FALSE(Huffman8Codec.Pack(Bytes{}, PackOptions{}));
}

// Bits of a plain Huffman code: each merge adds its weight once more.
std::uint64_t HuffmanCost(const std::vector<std::uint64_t>& counts)
{
    std::priority_queue<std::uint64_t, std::vector<std::uint64_t>, std::greater<>> queue;
    for (const std::uint64_t count : counts) {
        if (count > 0)
            queue.push(count);
    }
    std::uint64_t cost = 0;
    while (queue.size() > 1) {
        const std::uint64_t a = queue.top();
        queue.pop();
        const std::uint64_t merged = a + queue.top();
        queue.pop();
        cost += merged;
        queue.push(merged);
    }
    return cost;
}

TEST(HuffmanCodec, CodesCostWhatAPlainHuffmanCodeCostsAndEveryTreeFits)
{
    // Equal counts make a full 8-level tree and three weight classes a
    // wide one; laid out breadth-first their offsets overflow.
    Bytes level(256 * 8), classes, skewed;
    for (std::size_t i = 0; i < level.size(); ++i)
        level[i] = static_cast<std::uint8_t>(i * 7);
    for (int symbol = 0; symbol < 256; ++symbol)
        classes.insert(classes.end(), symbol < 16 ? 1000 : symbol < 80 ? 10 : 1, static_cast<std::uint8_t>(symbol));
    for (int symbol = 0; symbol < 40; ++symbol)
        skewed.insert(skewed.end(), std::size_t{1} << (symbol / 3), static_cast<std::uint8_t>(symbol * 5));
    for (const Bytes& data : {TileLikeData(4096, 3), level, classes, skewed}) {
        for (const int symbolBits : {4, 8}) {
            const StreamCodec& codec = symbolBits == 4 ? Huffman4Codec : Huffman8Codec;
            SCOPED_TRACE(std::string(codec.Name) + ", " + std::to_string(data.size()) + " bytes");
            std::vector<std::uint64_t> counts(std::size_t{1} << symbolBits, 0);
            for (const std::uint8_t byte : data) {
                for (int shift = 0; shift < 8; shift += symbolBits)
                    ++counts[(byte >> shift) & (counts.size() - 1)];
            }
            const auto code = BuildHuffmanCode(counts);
            ASSERT_TRUE(code.has_value());
            std::uint64_t bits = 0;
            for (std::size_t s = 0; s < counts.size(); ++s)
                bits += counts[s] * static_cast<std::uint64_t>(code->Lengths[s]);
            EXPECT_EQ(bits, HuffmanCost(counts));

            const PackResult packed = codec.Pack(data, PackOptions{});
            ASSERT_TRUE(packed) << packed.Error;
            EXPECT_EQ(packed.Bytes.size(), 4 + code->Table.size() + (bits + 31) / 32 * 4);
            EXPECT_EQ(codec.Unpack(packed.Bytes, DefaultUnpackLimit).Bytes, data);
        }
    }
}

}  // namespace
