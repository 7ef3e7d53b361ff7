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
        std::string What;
        const StreamCodec& Codec;
        Bytes Stream, Expected;
    };
    const Bytes manyC(33, 'C');
    Bytes manyCThenA = manyC;
    manyCThenA.push_back('A');
    const std::vector<Case> cases{
        {"8-bit, 1 00 01 1 1", Huffman8Codec, Stream(0x28, 5, HandTree8, {0, 0, 0, 0x8E}), {'C', 'A', 'B', 'C', 'C'}},
        {"8-bit, second word", Huffman8Codec, Stream(0x28, 34, HandTree8, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80}),
         manyCThenA},
        {"4-bit, low half first", Huffman4Codec, Stream(0x24, 2, HandTree4, {0, 0, 0, 0x68}), {0x35, 0xA5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
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
        const StreamCodec& Codec;
        Bytes Stream;
        std::size_t Limit;
        UnpackStatus Status;
    };
    Bytes cutWord = Stream(0x28, 5, HandTree8, {0, 0, 0, 0x8E});
    cutWord.pop_back();
    const std::vector<Case> cases{
        {"4-bit header", Huffman8Codec, Stream(0x24, 2, HandTree4, {0, 0, 0, 0x68}), DefaultUnpackLimit,
         UnpackStatus::Corrupt},
        {"another header", Huffman4Codec, Stream(0x30, 2, HandTree4, {0, 0, 0, 0x68}), DefaultUnpackLimit,
         UnpackStatus::Corrupt},
        {"no data declared", Huffman8Codec, Stream(0x28, 0, HandTree8, {0, 0, 0, 0x8E}), DefaultUnpackLimit,
         UnpackStatus::Corrupt},
        {"root offset outside the table", Huffman8Codec, Stream(0x28, 1, {0x01, 0x02, 0x41, 0x42}, {0, 0, 0, 0}),
         DefaultUnpackLimit, UnpackStatus::Corrupt},
        {"inner offset outside the table", Huffman8Codec,
         Stream(0x28, 1, {0x03, 0x40, 0xC2, 0x43, 0xEE, 0xEE, 0x41, 0x42}, {0, 0, 0, 0}), DefaultUnpackLimit,
         UnpackStatus::Corrupt},
        {"table cut", Huffman8Codec, Bytes{0x28, 5, 0, 0, 0x03, 0x40, 0xC1}, DefaultUnpackLimit, UnpackStatus::PastEnd},
        {"last word cut", Huffman8Codec, cutWord, DefaultUnpackLimit, UnpackStatus::PastEnd},
        {"words run out", Huffman8Codec, Stream(0x28, 34, HandTree8, {0xFF, 0xFF, 0xFF, 0xFF}), DefaultUnpackLimit,
         UnpackStatus::PastEnd},
        {"size over the limit", Huffman4Codec, Stream(0x24, 2, HandTree4, {0, 0, 0, 0x68}), 1, UnpackStatus::TooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const UnpackResult refused = c.Codec.Unpack(c.Stream, c.Limit);
        EXPECT_EQ(refused.Status, c.Status);
        EXPECT_TRUE(refused.Bytes.empty());
    }
    EXPECT_FALSE(Huffman8Codec.Probe(Stream(0x28, 1, {0x01, 0x02, 0x41, 0x42}, {})));
    EXPECT_FALSE(Huffman8Codec.Probe(Stream(0x28, 0, HandTree8, {})));
}

TEST(HuffmanCodec, OneAndTwoSymbolDataTakeOneBitASymbol)
{
    struct Case {
        std::string What;
        const StreamCodec& Codec;
        Bytes Data;
        std::size_t PackedSize;  // header, a 4-byte table, the words
    };
    const std::vector<Case> cases{
        {"8-bit, one byte", Huffman8Codec, Bytes(32, 0x77), 4 + 4 + 4},
        {"8-bit, byte 0 alone", Huffman8Codec, Bytes(33, 0x00), 4 + 4 + 8},
        {"8-bit, two bytes", Huffman8Codec, {0x00, 0xFF, 0xFF, 0x00}, 4 + 4 + 4},
        {"4-bit, one half", Huffman4Codec, Bytes(32, 0x77), 4 + 4 + 8},
        {"4-bit, two halves", Huffman4Codec, Bytes(16, 0x12), 4 + 4 + 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
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
        const std::uint64_t b = queue.top();
        queue.pop();
        cost += a + b;
        queue.push(a + b);
    }
    return cost;
}

TEST(HuffmanCodec, CodesCostWhatAPlainHuffmanCodeCostsAndEveryTreeFits)
{
    // Equal counts make a full 8-level tree and three weight classes a
    // wide one; laid out breadth-first their offsets overflow.
    Bytes level(256 * 8);
    for (std::size_t i = 0; i < level.size(); ++i)
        level[i] = static_cast<std::uint8_t>(i * 7);
    Bytes classes;
    for (int symbol = 0; symbol < 256; ++symbol)
        classes.insert(classes.end(), symbol < 16 ? 1000 : symbol < 80 ? 10 : 1, static_cast<std::uint8_t>(symbol));
    Bytes skewed;
    for (int symbol = 0; symbol < 40; ++symbol)
        skewed.insert(skewed.end(), std::size_t{1} << (symbol / 3), static_cast<std::uint8_t>(symbol * 5));
    for (const Bytes& data : {TileLikeData(4096, 3), level, classes, skewed}) {
        for (const StreamCodec* codec : {&Huffman4Codec, &Huffman8Codec}) {
            const bool nibbles = codec == &Huffman4Codec;
            SCOPED_TRACE(std::string(codec->Name) + ", " + std::to_string(data.size()) + " bytes");
            std::vector<std::uint64_t> counts(nibbles ? 16 : 256, 0);
            for (const std::uint8_t byte : data) {
                if (nibbles) {
                    ++counts[byte & 15];
                    ++counts[byte >> 4];
                } else {
                    ++counts[byte];
                }
            }
            const auto code = BuildHuffmanCode(counts);
            ASSERT_TRUE(code.has_value());
            std::uint64_t bits = 0;
            for (std::size_t s = 0; s < counts.size(); ++s)
                bits += counts[s] * static_cast<std::uint64_t>(code->Lengths[s]);
            EXPECT_EQ(bits, HuffmanCost(counts));

            const PackResult packed = codec->Pack(data, PackOptions{});
            ASSERT_TRUE(packed) << packed.Error;
            EXPECT_EQ(packed.Bytes.size(), 4 + code->Table.size() + (bits + 31) / 32 * 4);
            EXPECT_EQ(codec->Unpack(packed.Bytes, DefaultUnpackLimit).Bytes, data);
        }
    }
}

}  // namespace
