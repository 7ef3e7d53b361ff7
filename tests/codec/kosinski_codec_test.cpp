// Kosinski streams written by hand from the format, one for each command
// form and for each place the next descriptor word can fall; broken
// streams; the reach of each copy form; and the packer against an optimal
// parse found the slow way.
#include "model/codec/kosinski_codec.h"

#include "support/tile_like_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Bytes End{0x00, 0xF0, 0x00};

struct HandStream {
    const char* Name;
    Bytes Stream;
    Bytes Unpacked;
};

TEST(KosinskiCodec, UnpacksEveryCommandFormWrittenByHand)
{
    const std::vector<HandStream> streams{
        // Flag bits from bit 0 up: 1 literal, 01 full copy, 00hl inline copy.
        {"a literal", Concat({{0x05, 0x00}, Text("A"), End}), Text("A")},
        {"inline copy of 2", Concat({{0x41, 0x00}, Text("A"), {0xFF}, End}), Text("AAA")},
        {"inline copy of 3", Concat({{0x51, 0x00}, Text("A"), {0xFF}, End}), Text("AAAA")},
        {"inline copy of 4", Concat({{0x49, 0x00}, Text("A"), {0xFF}, End}), Text("AAAAA")},
        {"inline copy of 5", Concat({{0x59, 0x00}, Text("A"), {0xFF}, End}), Text("AAAAAA")},
        {"inline copy 2 back", Concat({{0xA3, 0x00}, Text("AB"), {0xFE}, End}), Text("ABABA")},
        {"full copy of 9, 3 back", Concat({{0x57, 0x00}, Text("ABC"), {0xFD, 0xFF}, End}), Text("ABCABCABCABC")},
        {"full copy of 3 by a third byte", Concat({{0x57, 0x00}, Text("ABC"), {0xFE, 0xF8, 0x02}, End}),
         Text("ABCBCB")},
        {"full copies of 256 and 3, 258 back", Concat({{0xAB, 0x00}, Text("XY"), {0xFF, 0xF8, 0xFF, 0xFE, 0xF1}, End}),
         Concat({Text("X"), Bytes(257, 'Y'), Text("XYY")})},
        {"no operation", Concat({{0x2D, 0x00}, Text("A"), {0x00, 0x00, 0x01}, Text("B"), End}), Text("AB")},
        // The next descriptor comes right after the bit that empties the
        // current one, ahead of that command's data bytes.
        {"16 literals, then a copy",
         Concat({{0xFF, 0xFF}, Text("abcdefghijklmno"), {0x20, 0x00}, Text("p"), {0xFF}, End}),
         Text("abcdefghijklmnoppp")},
        {"inline copy across descriptors", Concat({{0xFF, 0x3F}, Text("abcdefghijklmn"), {0x0B, 0x00}, {0xFF}, End}),
         Text("abcdefghijklmnnnnnn")},
        {"full copy across descriptors",
         Concat({{0xFF, 0x7F}, Text("abcdefghijklmno"), {0x05, 0x00}, {0xFF, 0xF9}, End}), Text("abcdefghijklmnoooo")},
        {"end marker emptying a descriptor", Concat({{0xFF, 0xBF}, Text("abcdefghijklmn"), {0x00, 0x00}, End}),
         Text("abcdefghijklmn")},
    };
    for (const HandStream& hand : streams) {
        SCOPED_TRACE(hand.Name);
        const Bytes followed = Concat({hand.Stream, {0x12, 0x34}});
        const UnpackResult unpacked = KosinskiCodec.Unpack(followed, DefaultUnpackLimit);
        ASSERT_TRUE(unpacked) << unpacked.Reason;
        EXPECT_EQ(unpacked.Bytes, hand.Unpacked);
        EXPECT_EQ(unpacked.PackedLength, hand.Stream.size());
        EXPECT_TRUE(KosinskiCodec.Probe(hand.Stream).has_value());
    }
}

struct BrokenStream {
    const char* Name;
    Bytes Stream;
    std::size_t Limit;
    UnpackStatus Status;
};

TEST(KosinskiCodec, RefusesBrokenStreamsWithTheRightStatus)
{
    const Bytes longCopy = Concat({{0xAB, 0x00}, Text("XY"), {0xFF, 0xF8, 0xFF, 0xFE, 0xF1}, End});
    const std::vector<BrokenStream> streams{
        {"no descriptor", {0x05}, DefaultUnpackLimit, UnpackStatus::PastEnd},
        {"a literal without its byte", {0x05, 0x00}, DefaultUnpackLimit, UnpackStatus::PastEnd},
        {"a full copy cut short", {0x05, 0x00, 'A', 0xFF}, DefaultUnpackLimit, UnpackStatus::PastEnd},
        {"no descriptor after 16 bits", Concat({{0xFF, 0xFF}, Text("abcdefghijklmno")}), DefaultUnpackLimit,
         UnpackStatus::PastEnd},
        {"the descriptor after the end marker's bits missing", Concat({{0xFF, 0xBF}, Text("abcdefghijklmn"), End}),
         DefaultUnpackLimit, UnpackStatus::PastEnd},
        {"a copy first", {0x00, 0x00, 0xFF, 0x00, 0xF0, 0x00}, DefaultUnpackLimit, UnpackStatus::BeforeStart},
        {"a copy 3 back after 2 bytes", Concat({{0xA3, 0x00}, Text("AB"), {0xFD}, End}), DefaultUnpackLimit,
         UnpackStatus::BeforeStart},
        {"a full copy 259 back after 258 bytes",
         Concat({{0xAB, 0x00}, Text("XY"), {0xFF, 0xF8, 0xFF, 0xFD, 0xF1}, End}), DefaultUnpackLimit,
         UnpackStatus::BeforeStart},
        {"one byte over the limit", longCopy, 260, UnpackStatus::TooLarge},
        {"a literal over the limit", {0x05, 0x00, 'A', 0x00, 0xF0, 0x00}, 0, UnpackStatus::TooLarge},
    };
    for (const BrokenStream& broken : streams) {
        SCOPED_TRACE(broken.Name);
        const UnpackResult refused = KosinskiCodec.Unpack(broken.Stream, broken.Limit);
        EXPECT_EQ(refused.Status, broken.Status);
        EXPECT_TRUE(refused.Bytes.empty());
        EXPECT_FALSE(refused.Reason.empty());
    }
    EXPECT_TRUE(KosinskiCodec.Unpack(longCopy, 261));
    EXPECT_EQ(KosinskiCodec.Unpack(Bytes{0x00, 0x00, 0x00}, 1).Reason,
              "a back reference points 256 bytes before the start of the data");
    EXPECT_FALSE(KosinskiCodec.Probe(Bytes{0x00, 0x00, 0xFF}).has_value());
    EXPECT_FALSE(KosinskiCodec.Probe(Bytes{0x0B, 0x00, 'A', 'B', 0xFD, 0xF8, 0x05}).has_value());
}

// A block of random bytes seen again `distance` bytes later: a copy within
// reach saves bytes, and one beyond it must not be written. 5 bytes are
// what an inline copy would take, 16 a full copy.
TEST(KosinskiCodec, CopiesReachExactlyAsFarAsEachFormAllows)
{
    struct Reach {
        std::size_t Distance, Length;
        bool Copies;
    };
    for (const Reach reach :
         {Reach{256, 5, true}, Reach{257, 5, true}, Reach{8192, 16, true}, Reach{8193, 16, false}}) {
        SCOPED_TRACE(reach.Distance);
        const Bytes plain = RandomData(reach.Distance + reach.Length, 5);
        Bytes repeated = plain;
        std::copy_n(plain.begin(), reach.Length, repeated.end() - static_cast<std::ptrdiff_t>(reach.Length));
        const PackResult packed = KosinskiCodec.Pack(repeated, PackOptions{});
        const UnpackResult unpacked = KosinskiCodec.Unpack(packed.Bytes, DefaultUnpackLimit);
        ASSERT_TRUE(unpacked) << unpacked.Reason;
        EXPECT_EQ(unpacked.Bytes, repeated);
        const std::size_t plainSize = KosinskiCodec.Pack(plain, PackOptions{}).Bytes.size();
        EXPECT_EQ(packed.Bytes.size() + reach.Length / 2 <= plainSize, reach.Copies);
    }
}

// The fewest bits any parse needs, trying every distance and length.
std::size_t OptimalBits(const Bytes& input)
{
    const std::size_t size = input.size();
    std::vector<std::size_t> cost(size + 1, 0);
    for (std::size_t i = size; i-- > 0;) {
        cost[i] = 9 + cost[i + 1];
        for (std::size_t distance = 1; distance <= std::min<std::size_t>(i, 8192); ++distance) {
            std::size_t length = 0;
            while (length < 256 && i + length < size && input[i + length] == input[i + length - distance])
                ++length;
            for (std::size_t take = 2; take <= length; ++take) {
                if (take <= 5 && distance <= 256)
                    cost[i] = std::min(cost[i], 12 + cost[i + take]);
                if (take >= 3)
                    cost[i] = std::min(cost[i], (take <= 9 ? 18 : 26) + cost[i + take]);
            }
        }
    }
    return cost[0] + 26;  // and the end marker
}

TEST(KosinskiCodec, PacksAsSmallAsTheOptimalParse)
{
    for (const Bytes& input :
         {TileLikeData(1024, 9), Concat({Text("abcabcabdabcabdabcabcabdab"), TileLikeData(512, 3)})}) {
        const std::size_t bits = OptimalBits(input);
        const std::size_t packed = KosinskiCodec.Pack(input, PackOptions{}).Bytes.size();
        // The last descriptor word's unused bits cost up to 2 bytes more.
        EXPECT_GE(packed * 8, bits);
        EXPECT_LE(packed, bits / 8 + 2);
    }
}

}  // namespace
