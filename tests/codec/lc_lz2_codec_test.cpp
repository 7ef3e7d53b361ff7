// LC_LZ2 streams written by hand from the format description (every command
// in both forms, the repeat position high byte first), refusals, the length
// boundaries of both forms, and the packer against a brute-force optimum.
#include "model/codec/lc_lz2_codec.h"

#include "support/tile_like_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Join(Bytes first, const Bytes& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(LcLz2Codec, UnpacksEveryCommandInBothForms)
{
    const Bytes zeros(256, 0x00);
    const struct {
        const char* Name;
        Bytes Stream;
        Bytes Expected;
    } cases[] = {
        {"direct copy", {0x02, 0xAA, 0xBB, 0xCC, 0xFF}, {0xAA, 0xBB, 0xCC}},
        {"direct copy, long form", {0xE0, 0x02, 0xAA, 0xBB, 0xCC, 0xFF}, {0xAA, 0xBB, 0xCC}},
        {"byte fill", {0x23, 0x7E, 0xFF}, {0x7E, 0x7E, 0x7E, 0x7E}},
        {"byte fill, long form, length byte 0xFF", {0xE4, 0xFF, 0x00, 0xFF}, zeros},
        {"word fill of odd length", {0x44, 0x12, 0x34, 0xFF}, {0x12, 0x34, 0x12, 0x34, 0x12}},
        {"word fill, long form", {0xE8, 0x02, 0x12, 0x34, 0xFF}, {0x12, 0x34, 0x12}},
        {"increasing fill wrapping past 0xFF", {0x63, 0xFE, 0xFF}, {0xFE, 0xFF, 0x00, 0x01}},
        {"increasing fill, long form", {0xEC, 0x01, 0x05, 0xFF}, {0x05, 0x06}},
        {"repeat overlapping its own output",
         {0x01, 0xAB, 0xCD, 0x84, 0x00, 0x00, 0xFF},
         {0xAB, 0xCD, 0xAB, 0xCD, 0xAB, 0xCD, 0xAB}},
        {"repeat from byte 0x0100",
         {0xE4, 0xFF, 0x00, 0x01, 0x11, 0x22, 0x81, 0x01, 0x00, 0xFF},
         Join(zeros, {0x11, 0x22, 0x11, 0x22})},
        {"repeat, long form",
         {0xE4, 0xFF, 0x00, 0x01, 0x11, 0x22, 0xF0, 0x02, 0x01, 0x00, 0xFF},
         Join(zeros, {0x11, 0x22, 0x11, 0x22, 0x11})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const UnpackResult unpacked = LcLz2Codec.Unpack(Join(c.Stream, {0x00, 0x42}), DefaultUnpackLimit);
        ASSERT_TRUE(unpacked) << unpacked.Reason;
        EXPECT_EQ(unpacked.Bytes, c.Expected);
        EXPECT_EQ(unpacked.PackedLength, c.Stream.size());
        EXPECT_EQ(LcLz2Codec.Probe(c.Stream), c.Stream.size() <= 16 ? c.Expected.size() : UnknownUnpackedSize);
    }
}

TEST(LcLz2Codec, RefusesMalformedStreams)
{
    const struct {
        const char* Name;
        Bytes Stream;
        UnpackStatus Status;
    } cases[] = {
        {"no end mark", {0x00, 0xAA}, UnpackStatus::PastEnd},
        {"a copy cut short", {0x02, 0xAA, 0xBB}, UnpackStatus::PastEnd},
        {"a long header cut short", {0xE0}, UnpackStatus::PastEnd},
        {"a repeat position cut short", {0x00, 0xAA, 0x80, 0x00}, UnpackStatus::PastEnd},
        {"a repeat before any output", {0x80, 0x00, 0x00, 0xFF}, UnpackStatus::Corrupt},
        {"a repeat from the output's end", {0x00, 0xAA, 0x80, 0x00, 0x01, 0xFF}, UnpackStatus::Corrupt},
        {"a repeat read low byte first", {0xE4, 0xFF, 0x00, 0x80, 0x01, 0x00, 0xFF}, UnpackStatus::Corrupt},
        {"command 5", {0xA0, 0x00, 0xFF}, UnpackStatus::Corrupt},
        {"command 6", {0xDF, 0x00, 0xFF}, UnpackStatus::Corrupt},
        {"long command 5", {0xF4, 0x00, 0x00, 0xFF}, UnpackStatus::Corrupt},
        {"long command 7", {0xFC, 0x00, 0x00, 0xFF}, UnpackStatus::Corrupt},
        {"nothing before the end mark", {0xFF}, UnpackStatus::Corrupt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const UnpackResult refused = LcLz2Codec.Unpack(c.Stream, DefaultUnpackLimit);
        EXPECT_EQ(refused.Status, c.Status);
        EXPECT_TRUE(refused.Bytes.empty());
        EXPECT_FALSE(refused.Reason.empty());
        if (c.Status == UnpackStatus::Corrupt) {
            EXPECT_FALSE(LcLz2Codec.Probe(c.Stream).has_value());
        }
    }
    EXPECT_TRUE(LcLz2Codec.Unpack(Bytes{0x3F, 0x00, 0xFF}, 32));
    EXPECT_EQ(LcLz2Codec.Unpack(Bytes{0x3F, 0x00, 0xFF}, 31).Status, UnpackStatus::TooLarge);
}

// Bytes no fill shortens: no byte equal to the one or two before it, nor one
// more than the one before.
Bytes PlainBytes(std::size_t size)
{
    std::mt19937 random(9);
    Bytes out;
    while (out.size() < size) {
        const auto byte = static_cast<std::uint8_t>(random());
        const std::size_t n = out.size();
        if ((n < 1 || (byte != out[n - 1] && byte != static_cast<std::uint8_t>(out[n - 1] + 1))) &&
            (n < 2 || byte != out[n - 2]))
            out.push_back(byte);
    }
    return out;
}

// Runs have one best stream each; plain bytes cost one header per 32 (short
// form) or 1024 (long form) of them.
TEST(LcLz2Codec, PacksAroundEachLengthBoundary)
{
    const struct {
        Bytes Input;
        std::size_t PackedSize;
        Bytes Head;
    } cases[] = {
        {Bytes(32, 0x5A), 3, {0x3F, 0x5A}},
        {Bytes(33, 0x5A), 4, {0xE4, 0x20, 0x5A}},
        {Bytes(1024, 0x5A), 4, {0xE7, 0xFF, 0x5A}},
        {Bytes(1025, 0x5A), 6, {}},
        {PlainBytes(32), 34, {0x1F}},
        {PlainBytes(33), 36, {}},
        {PlainBytes(1024), 1027, {0xE3, 0xFF}},
        {PlainBytes(1025), 1029, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Input.size() << " bytes starting " << int{c.Input[0]});
        const PackResult packed = LcLz2Codec.Pack(c.Input, PackOptions{});
        ASSERT_TRUE(packed);
        EXPECT_EQ(packed.Bytes.size(), c.PackedSize);
        EXPECT_TRUE(std::equal(c.Head.begin(), c.Head.end(), packed.Bytes.begin()));
        EXPECT_EQ(LcLz2Codec.Unpack(packed.Bytes, DefaultUnpackLimit).Bytes, c.Input);
    }
}

// The fewest bytes any stream takes, tried the slow way: every command of
// every length at every position.
std::size_t BruteForceOptimum(const Bytes& in)
{
    const std::size_t n = in.size();
    std::vector<std::size_t> best(n + 1, std::numeric_limits<std::size_t>::max());
    best[n] = 0;
    for (std::size_t i = n; i-- > 0;) {
        std::size_t longestRepeat = 0;
        for (std::size_t s = 0; s < i && s <= 0xFFFF; ++s) {
            std::size_t k = 0;
            while (i + k < n && in[s + k] == in[i + k])
                ++k;
            longestRepeat = std::max(longestRepeat, k);
        }
        bool byteFill = true, wordFill = true, increasingFill = true;
        for (std::size_t length = 1; length <= 1024 && i + length <= n; ++length) {
            const std::size_t k = length - 1, header = length <= 32 ? 1 : 2;
            byteFill = byteFill && in[i + k] == in[i];
            wordFill = wordFill && in[i + k] == in[i + k % 2];
            increasingFill = increasingFill && in[i + k] == static_cast<std::uint8_t>(in[i] + k);
            std::size_t cheapest = header + length;
            if (byteFill || increasingFill)
                cheapest = std::min(cheapest, header + 1);
            if (wordFill || length <= longestRepeat)
                cheapest = std::min(cheapest, header + 2);
            best[i] = std::min(best[i], cheapest + best[i + length]);
        }
    }
    return best[0] + 1;
}

TEST(LcLz2Codec, PacksAsSmallAsTheBruteForceOptimum)
{
    Bytes mixed = Join(RandomData(40, 3), Bytes(40, 0x00));
    for (int k = 0; k < 40; ++k)
        mixed.push_back(static_cast<std::uint8_t>(k % 3 == 0 ? mixed[20 + k] : 0xF0 + k));
    const Bytes random = RandomData(1025, 4);
    const Bytes inputs[] = {TileLikeData(2048, 5), TileLikeData(512, 6), mixed, Join(random, random)};
    for (const Bytes& input : inputs) {
        SCOPED_TRACE(testing::Message() << input.size() << " bytes");
        EXPECT_EQ(LcLz2Codec.Pack(input, PackOptions{}).Bytes.size(), BruteForceOptimum(input));
    }
}

// Only the first 64 KiB can be repeated from: a copy of bytes that start
// before that limit is one repeat of all 300 bytes (the literals around it
// take about 140 bytes of headers), a copy of bytes past it is not.
TEST(LcLz2Codec, RepeatsOnlyFromTheFirst64KiB)
{
    const Bytes random = RandomData(0x10000 + 100, 8);
    const Bytes input = Join(Join(random, Bytes(random.begin() + 0xFF00, random.begin() + 0xFF00 + 300)),
                             Bytes(random.begin() + 0x10000, random.end()));
    const PackResult packed = LcLz2Codec.Pack(input, PackOptions{});
    ASSERT_TRUE(packed);
    EXPECT_LT(packed.Bytes.size(), input.size() - 150);
    EXPECT_EQ(LcLz2Codec.Unpack(packed.Bytes, DefaultUnpackLimit).Bytes, input);
}

}  // namespace
