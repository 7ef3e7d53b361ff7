// The run-length format read from streams written by hand, refusals, and
// the packer's size against the optimum of a plain search.
#include "model/codec/rle_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

Bytes Counting(std::size_t length)
{
    Bytes bytes(length);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

TEST(RleCodec, UnpacksEveryBlockFormAtItsLengthLimits)
{
    struct Case {
        Bytes Stream, Expected;
    };
    const std::vector<Case> cases{
        {{0x30, 3, 0, 0, 0x80, 0xAA}, Bytes(3, 0xAA)},                    // run of 3
        {{0x30, 130, 0, 0, 0xFF, 0x11}, Bytes(130, 0x11)},                // run of 130
        {{0x30, 1, 0, 0, 0x00, 0x42}, {0x42}},                            // 1 literal
        {Join({{0x30, 128, 0, 0, 0x7F}, Counting(128)}), Counting(128)},  // 128 literals
        {{0x30, 7, 0, 0, 0x01, 1, 2, 0x81, 9, 0x00, 3}, {1, 2, 9, 9, 9, 9, 3}},
        {{0x30, 4, 0, 0, 0x00, 5, 0x87, 6}, {5, 6, 6, 6}},  // the last run goes past the size
    };
    for (const Case& c : cases) {
        const UnpackResult unpacked = RleCodec.Unpack(Join({c.Stream, {0xEE, 0xEE}}), DefaultUnpackLimit);
        ASSERT_TRUE(unpacked) << unpacked.Reason;
        EXPECT_EQ(unpacked.Bytes, c.Expected);
        EXPECT_EQ(unpacked.PackedLength, c.Stream.size());
        EXPECT_EQ(RleCodec.Probe(c.Stream), c.Expected.size());
    }
}

TEST(RleCodec, RefusesABadStreamWithTheRightStatus)
{
    struct Case {
        std::string What;
        Bytes Stream;
        UnpackStatus Status;
        std::size_t Limit = DefaultUnpackLimit;
    };
    const std::vector<Case> cases{
        {"another header byte", {0x10, 3, 0, 0, 0x80, 1}, UnpackStatus::Corrupt},
        {"no data declared", {0x30, 0, 0, 0, 0x80, 1}, UnpackStatus::Corrupt},
        {"header cut", {0x30, 3, 0}, UnpackStatus::PastEnd},
        {"flag byte missing", {0x30, 4, 0, 0, 0x80, 1}, UnpackStatus::PastEnd},
        {"run byte missing", {0x30, 3, 0, 0, 0x80}, UnpackStatus::PastEnd},
        {"literals cut", {0x30, 3, 0, 0, 0x02, 1, 2}, UnpackStatus::PastEnd},
        {"size over the limit", {0x30, 3, 0, 0, 0x80, 1}, UnpackStatus::TooLarge, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const UnpackResult refused = RleCodec.Unpack(c.Stream, c.Limit);
        EXPECT_EQ(refused.Status, c.Status);
        EXPECT_TRUE(refused.Bytes.empty());
    }
    EXPECT_FALSE(RleCodec.Probe(Bytes{0x10, 3, 0, 0}));
    EXPECT_FALSE(RleCodec.Probe(Bytes{0x30, 0, 0, 0}));
}

// The fewest stream bytes after the header, over every block choice.
std::size_t OptimalBodySize(const Bytes& data)
{
    std::vector<std::size_t> cost(data.size() + 1, 0);
    for (std::size_t i = data.size(); i-- > 0;) {
        cost[i] = SIZE_MAX;
        for (std::size_t n = 1; n <= 128 && i + n <= data.size(); ++n)
            cost[i] = std::min(cost[i], 1 + n + cost[i + n]);
        for (std::size_t n = 1; n <= 130 && i + n <= data.size() && data[i + n - 1] == data[i]; ++n)
            cost[i] = n >= 3 ? std::min(cost[i], 2 + cost[i + n]) : cost[i];
    }
    return cost[0];
}

TEST(RleCodec, PacksLongRunsExactlyAndAsSmallAsTheFormatAllows)
{
    std::mt19937 random(5);
    Bytes mixed;
    while (mixed.size() < 3000) {
        const std::size_t length = random() % 4 == 0 ? 120 + random() % 20 : 1 + random() % 5;
        mixed.insert(mixed.end(), length, static_cast<std::uint8_t>(random() % 3));
    }
    std::vector<Bytes> samples{mixed};
    for (const std::size_t run : {130, 131, 132, 133, 260, 261}) {
        samples.push_back(Bytes(run, 7));
        samples.push_back(Join({{1}, Bytes(run, 7), {2, 3}}));
        samples.push_back(Join({Counting(127), Bytes(run, 7), Counting(129)}));
    }
    for (const Bytes& data : samples) {
        SCOPED_TRACE(data.size());
        const PackResult packed = RleCodec.Pack(data, PackOptions{});
        ASSERT_TRUE(packed) << packed.Error;
        const UnpackResult unpacked = RleCodec.Unpack(packed.Bytes, DefaultUnpackLimit);
        ASSERT_TRUE(unpacked) << unpacked.Reason;
        EXPECT_EQ(unpacked.Bytes, data);
        EXPECT_EQ(unpacked.PackedLength, 4 + OptimalBodySize(data));
    }
    EXPECT_FALSE(RleCodec.Pack(Bytes{}, PackOptions{}));
    EXPECT_FALSE(RleCodec.Pack(Bytes(std::size_t{1} << 24), PackOptions{}));
    EXPECT_TRUE(RleCodec.Pack(Bytes((std::size_t{1} << 24) - 1), PackOptions{}));
}

}  // namespace
