// LZ77 (type 0x10): streams the packer makes read back by a reader written
// from the format description, with no distance-1 reference when VRAM-safe;
// streams written by hand, broken streams, the size limit, and a packed size
// equal to the optimum found the slow way.
#include "model/codec/lz77_codec.h"

#include "bios_lz_reference.h"
#include "support/tile_like_data.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values)
{
    return std::vector<std::uint8_t>(values.begin(), values.end());
}

std::vector<std::uint8_t> Joined(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Lz77Codec, PackedStreamsReadBackByTheDescriptionAndVramSafeOnesNeverReachBackOneByte)
{
    const auto random = RandomData(4096, 9);
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> inputs{
        {"tile-like", TileLikeData(8192, 3)},
        {"random", RandomData(600, 4)},
        {"one byte", std::vector<std::uint8_t>(1000, 0x77)},
        {"4096 bytes twice (distance 4096)", Joined(random, random)},
    };
    for (const auto& [name, input] : inputs) {
        for (const bool vramSafe : {true, false}) {
            SCOPED_TRACE(name + (vramSafe ? ", VRAM-safe" : ""));
            const ReferenceDecoded decoded = ReferenceDecode(Lz77Codec.Pack(input, PackOptions{vramSafe}).Bytes);
            ASSERT_TRUE(decoded.Ok);
            EXPECT_EQ(decoded.Bytes, input);
            const auto atDistance = [&](std::size_t d) {
                return std::count(decoded.Distances.begin(), decoded.Distances.end(), d);
            };
            if (vramSafe)
                EXPECT_EQ(atDistance(1), 0);
            else if (name == "one byte")
                EXPECT_GT(atDistance(1), 0);
            if (name.starts_with("4096"))
                EXPECT_GT(atDistance(4096), 0);
        }
    }
}

TEST(Lz77Codec, HandWrittenStreamsUnpack)
{
    const struct {
        std::vector<std::uint8_t> Stream;
        std::string Expected;
        std::size_t PackedLength;
    } cases[] = {
        // Literal A, then 4 bytes at distance 1: a run, as other packers write it.
        {Bytes({0x10, 5, 0, 0, 0x40, 'A', 0x10, 0x00}), "AAAAA", 8},
        // AB, then the longest reference (18) at distance 2; spare flag bits set.
        {Bytes({0x10, 20, 0, 0, 0x3F, 'A', 'B', 0xF0, 0x01}), "ABABABABABABABABABAB", 9},
        // Two groups: eight literals, then one more and 3 bytes at distance 9.
        {Bytes({0x10, 12, 0, 0, 0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x40, 'i', 0x00, 0x08}), "abcdefghiabc",
         17},
    };
    for (const auto& c : cases) {
        const UnpackResult result = Lz77Codec.Unpack(c.Stream, DefaultUnpackLimit);
        ASSERT_TRUE(result) << c.Expected << ": " << result.Reason;
        EXPECT_EQ(std::string(result.Bytes.begin(), result.Bytes.end()), c.Expected);
        EXPECT_EQ(result.PackedLength, c.PackedLength);
        EXPECT_EQ(Lz77Codec.Probe(c.Stream), c.Expected.size());
    }
}

TEST(Lz77Codec, BrokenStreamsAreRefusedWithTheirReason)
{
    const struct {
        std::vector<std::uint8_t> Stream;
        std::size_t Limit;
        UnpackStatus Status;
    } cases[] = {
        {Bytes({0x10, 3, 0, 0, 0x80, 0x00, 0x00}), DefaultUnpackLimit, UnpackStatus::BeforeStart},
        {Bytes({0x10, 9, 0, 0, 0x40, 'A', 0x00, 0x01}), DefaultUnpackLimit, UnpackStatus::BeforeStart},
        {Bytes({0x10, 3, 0, 0}), DefaultUnpackLimit, UnpackStatus::PastEnd},
        {Bytes({0x10, 3, 0, 0, 0x40, 'A', 0x00}), DefaultUnpackLimit, UnpackStatus::PastEnd},
        {Bytes({0x10, 3, 0}), DefaultUnpackLimit, UnpackStatus::PastEnd},
        {Bytes({0x10, 5, 0, 0, 0x00, 'A', 'B', 'C', 'D', 'E'}), 4, UnpackStatus::TooLarge},
        {Bytes({0x11, 1, 0, 0, 0x00, 'A'}), DefaultUnpackLimit, UnpackStatus::Corrupt},
        {Bytes({0x10, 0, 0, 0, 0x00}), DefaultUnpackLimit, UnpackStatus::Corrupt},
        // A copy that would run past the declared size.
        {Bytes({0x10, 3, 0, 0, 0x40, 'A', 0x10, 0x00}), DefaultUnpackLimit, UnpackStatus::Corrupt},
    };
    for (const auto& c : cases) {
        const UnpackResult result = Lz77Codec.Unpack(c.Stream, c.Limit);
        EXPECT_EQ(result.Status, c.Status) << result.Reason;
        EXPECT_TRUE(result.Bytes.empty());
        EXPECT_FALSE(result.Reason.empty());
        if (c.Status != UnpackStatus::PastEnd && c.Status != UnpackStatus::TooLarge)
            EXPECT_FALSE(Lz77Codec.Probe(c.Stream).has_value()) << result.Reason;
    }
    EXPECT_EQ(Lz77Codec.Unpack(Bytes({0x10, 9, 0, 0, 0x40, 'A', 0x00, 0x01}), DefaultUnpackLimit).Reason,
              "a back reference points 1 byte before the start of the data");
}

TEST(Lz77Codec, PacksWhatTheSizeFieldHoldsOnly)
{
    EXPECT_FALSE(Lz77Codec.Pack({}, PackOptions{}));
    EXPECT_FALSE(Lz77Codec.Pack(std::vector<std::uint8_t>(0x1000000, 0), PackOptions{}));
    const PackResult largest = Lz77Codec.Pack(std::vector<std::uint8_t>(0xFFFFFF, 0), PackOptions{});
    ASSERT_TRUE(largest) << largest.Error;
    EXPECT_EQ(Lz77Codec.Probe(largest.Bytes), 0xFFFFFFu);
}

TEST(Lz77Codec, PacksToTheSmallestStreamNotTheGreedyOne)
{
    const auto input = TileLikeData(2048, 5);
    for (const bool vramSafe : {true, false}) {
        const ParseSizes sizes = BruteForceSizes(input, vramSafe ? 2 : 1, 18, Lz77ReferenceBits);
        ASSERT_LT(sizes.OptimalBytes, sizes.GreedyBytes);
        const ReferenceDecoded decoded = ReferenceDecode(Lz77Codec.Pack(input, PackOptions{vramSafe}).Bytes);
        EXPECT_EQ(decoded.Consumed, 4 + sizes.OptimalBytes) << (vramSafe ? "VRAM-safe" : "");
    }
}

}  // namespace
