// LZ11 (type 0x11): every token form written by hand at the edges of its
// lengths, the 32-bit size header, broken streams, and a packed size equal to
// the optimum found the slow way.
#include "model/codec/lz11_codec.h"

#include "bios_lz_reference.h"
#include "support/tile_like_data.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "AB", then one reference at distance 2: ABAB... of 2 + length bytes.
std::vector<std::uint8_t> AbThenReference(std::size_t length, std::vector<std::uint8_t> token, bool sizeIn32Bits)
{
    const std::size_t size = 2 + length;
    std::vector<std::uint8_t> stream{0x11};
    if (sizeIn32Bits)
        stream.insert(stream.end(), {0, 0, 0, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                                     static_cast<std::uint8_t>(size >> 16), 0});
    else
        stream.insert(stream.end(), {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                                     static_cast<std::uint8_t>(size >> 16)});
    stream.insert(stream.end(), {0x20, 'A', 'B'});
    stream.insert(stream.end(), token.begin(), token.end());
    return stream;
}

TEST(Lz11Codec, EveryTokenFormUnpacksAtTheEdgesOfItsLengths)
{
    const struct {
        std::size_t Length;
        std::vector<std::uint8_t> Token;  // distance 2 in each
    } cases[] = {
        {3, {0x20, 0x01}},
        {16, {0xF0, 0x01}},
        {17, {0x00, 0x00, 0x01}},
        {272, {0x0F, 0xF0, 0x01}},
        {273, {0x10, 0x00, 0x00, 0x01}},
        {65808, {0x1F, 0xFF, 0xF0, 0x01}},
    };
    for (const auto& c : cases) {
        for (const bool sizeIn32Bits : {false, true}) {
            SCOPED_TRACE(std::to_string(c.Length) + (sizeIn32Bits ? ", 32-bit size" : ""));
            const auto stream = AbThenReference(c.Length, c.Token, sizeIn32Bits);
            const UnpackResult result = Lz11Codec.Unpack(stream, DefaultUnpackLimit);
            ASSERT_TRUE(result) << result.Reason;
            ASSERT_EQ(result.Bytes.size(), 2 + c.Length);
            for (std::size_t k = 0; k < result.Bytes.size(); ++k)
                ASSERT_EQ(result.Bytes[k], k % 2 ? 'B' : 'A') << k;
            EXPECT_EQ(result.PackedLength, stream.size());
            EXPECT_EQ(Lz11Codec.Probe(stream), 2 + c.Length);
        }
    }
}

TEST(Lz11Codec, BrokenStreamsAreRefusedWithTheirReason)
{
    const struct {
        std::vector<std::uint8_t> Stream;
        std::size_t Limit;
        UnpackStatus Status;
    } cases[] = {
        {AbThenReference(3, {0x20, 0x02}, false), DefaultUnpackLimit, UnpackStatus::BeforeStart},
        {AbThenReference(273, {0x10, 0x00, 0x00, 0x02}, false), DefaultUnpackLimit, UnpackStatus::BeforeStart},
        {AbThenReference(17, {0x00, 0x00}, false), DefaultUnpackLimit, UnpackStatus::PastEnd},
        {AbThenReference(273, {0x10, 0x00, 0x00}, false), DefaultUnpackLimit, UnpackStatus::PastEnd},
        {{0x11, 0, 0, 0, 5, 0, 0}, DefaultUnpackLimit, UnpackStatus::PastEnd},
        {AbThenReference(3, {0x20, 0x01}, true), 4, UnpackStatus::TooLarge},
        {{0x11, 0, 0, 0, 0, 0, 0, 0, 0x00}, DefaultUnpackLimit, UnpackStatus::Corrupt},
        {{0x10, 1, 0, 0, 0x00, 'A'}, DefaultUnpackLimit, UnpackStatus::Corrupt},
        // The token says 17 bytes where the header leaves 3.
        {{0x11, 5, 0, 0, 0x20, 'A', 'B', 0x00, 0x00, 0x01}, DefaultUnpackLimit, UnpackStatus::Corrupt},
    };
    for (const auto& c : cases) {
        const UnpackResult result = Lz11Codec.Unpack(c.Stream, c.Limit);
        EXPECT_EQ(result.Status, c.Status) << result.Reason;
        EXPECT_TRUE(result.Bytes.empty());
        EXPECT_FALSE(result.Reason.empty());
        if (c.Status != UnpackStatus::PastEnd && c.Status != UnpackStatus::TooLarge)
            EXPECT_FALSE(Lz11Codec.Probe(c.Stream).has_value()) << result.Reason;
    }
}

TEST(Lz11Codec, PacksToTheSmallestStreamNotTheGreedyOne)
{
    // Runs and repeated tiles long enough for the three- and four-byte tokens.
    auto input = TileLikeData(1536, 5);
    input.insert(input.end(), 700, 0);
    const auto again = TileLikeData(1024, 5);
    input.insert(input.end(), again.begin(), again.end());
    for (const bool vramSafe : {true, false}) {
        const ParseSizes sizes = BruteForceSizes(input, vramSafe ? 2 : 1, 65808, Lz11ReferenceBits);
        ASSERT_LT(sizes.OptimalBytes, sizes.GreedyBytes);
        const ReferenceDecoded decoded = ReferenceDecode(Lz11Codec.Pack(input, PackOptions{vramSafe}).Bytes);
        ASSERT_TRUE(decoded.Ok);
        EXPECT_EQ(decoded.Bytes, input);
        EXPECT_EQ(decoded.Consumed, 4 + sizes.OptimalBytes) << (vramSafe ? "VRAM-safe" : "");
        if (vramSafe)
            EXPECT_EQ(std::count(decoded.Distances.begin(), decoded.Distances.end(), 1), 0);
    }
}

}  // namespace
