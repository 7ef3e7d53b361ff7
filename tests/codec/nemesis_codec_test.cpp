// Nemesis streams written by hand from the format, bad streams, the probe,
// and the packer's choices: whole tiles only, the split of runs and the
// XOR of rows.
#include "model/codec/nemesis_codec.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Hex digits, spaces skipped: header and table bytes, or unpacked pixels
// one nibble a digit (the left pixel in the high nibble).
Bytes Hex(std::string_view digits)
{
    Bytes bytes;
    int count = 0;
    for (const char c : digits) {
        if (c == ' ')
            continue;
        const int value = c <= '9' ? c - '0' : c - 'A' + 10;
        if (count++ % 2 == 0)
            bytes.push_back(static_cast<std::uint8_t>(value << 4));
        else
            bytes.back() |= static_cast<std::uint8_t>(value);
    }
    return bytes;
}

// A bitstream from '0' and '1', first bit at the top, zero-padded.
Bytes Bits(std::string_view bits)
{
    Bytes bytes;
    int count = 0;
    for (const char c : bits) {
        if (c == ' ')
            continue;
        if (count % 8 == 0)
            bytes.push_back(0);
        bytes.back() |= static_cast<std::uint8_t>((c == '1') << (7 - count % 8));
        ++count;
    }
    return bytes;
}

std::string Repeat(std::string_view text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

Bytes Join(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct HandStream {
    const char* Name;
    Bytes Stream;
    Bytes Expected;
    std::size_t PackedLength;
};

TEST(NemesisCodec, UnpacksStreamsWrittenFromTheFormat)
{
    const HandStream cases[] = {
        // Nibble 0 run 3 = "0", nibble 5 run 7 = "10": ten nibbles a pair
        // of codes, so runs go on into the next row; one 5 inline to end.
        {"runs across rows and an inline run",
         Join(Hex("0001 80 21 00 85 62 02 FF"), Bits(Repeat("0 10 ", 6) + "0 111111 000 0101")),
         Hex(Repeat("000 5555555", 6) + "000 5"), 13},
        // Each row is XORed with the row before it, across tiles too.
        {"XOR rows", Join(Hex("8002 80 71 00 8F 72 02 FF"), Bits("10 0 0 10 0 0 10 0  0 0 10 0 0 0 0 0")),
         Hex(Repeat("FFFFFFFF", 3) + Repeat("00000000", 3) + Repeat("FFFFFFFF", 4) + Repeat("00000000", 6)), 12},
        // The console takes the first table byte as a nibble byte whatever
        // its top bit; 11111011 is the last 8-bit code below the escape.
        // The eighth run of eight 0s ends one nibble past the tile: dropped.
        {"an 8-bit code, a last run past the end", Join(Hex("0001 03 08 FB 80 71 00 FF"), Bits("11111011 0000 0000")),
         Hex("3" + Repeat("0", 63)), 11},
    };
    for (const HandStream& hand : cases) {
        SCOPED_TRACE(hand.Name);
        const UnpackResult unpacked = NemesisCodec.Unpack(Join(hand.Stream, Hex("FFFF")), DefaultUnpackLimit);
        ASSERT_TRUE(unpacked) << unpacked.Reason;
        EXPECT_EQ(unpacked.Bytes, hand.Expected);
        EXPECT_EQ(unpacked.PackedLength, hand.PackedLength);
    }
}

struct BadStream {
    const char* Name;
    Bytes Stream;
    UnpackStatus Status;
    std::size_t Limit = DefaultUnpackLimit;
};

TEST(NemesisCodec, RefusesBadStreamsWithTheirReason)
{
    const BadStream cases[] = {
        {"no tiles", Hex("0000 80 71 00 FF 00"), UnpackStatus::Corrupt},
        {"a code length of 0", Hex("0001 80 70 00 FF 00"), UnpackStatus::Corrupt},
        {"a code length of 9", Hex("0001 80 79 00 FF 00"), UnpackStatus::Corrupt},
        {"a code wider than its length", Hex("0001 80 72 04 FF 00"), UnpackStatus::Corrupt},
        {"one code starting another", Hex("0001 80 71 00 81 72 01 FF 00"), UnpackStatus::Corrupt},
        {"a code starting with the escape", Hex("0001 80 77 7E FF 00"), UnpackStatus::Corrupt},
        {"a code the escape starts with", Hex("0001 80 75 1F FF 00"), UnpackStatus::Corrupt},
        {"a bitstream code not in the table", Hex("0001 80 71 00 FF 80 00"), UnpackStatus::Corrupt},
        {"cut in the table", Hex("0001 80 71"), UnpackStatus::PastEnd},
        {"cut in the bitstream", Hex("0002 80 71 00 FF 00"), UnpackStatus::PastEnd},
        {"cut in an inline run", Hex("0001 FF FC"), UnpackStatus::PastEnd},
        {"more tiles than the limit, from the header alone", Hex("7FFF"), UnpackStatus::TooLarge, 0x7FFF * 32 - 1},
        {"one tile over a limit of 32 bytes", Hex("0002 80 71 00 FF 00 00"), UnpackStatus::TooLarge, 32},
    };
    for (const BadStream& bad : cases) {
        SCOPED_TRACE(bad.Name);
        const UnpackResult refused = NemesisCodec.Unpack(bad.Stream, bad.Limit);
        EXPECT_EQ(refused.Status, bad.Status) << refused.Reason;
        EXPECT_FALSE(refused.Reason.empty());
        EXPECT_TRUE(refused.Bytes.empty());
    }
    EXPECT_TRUE(NemesisCodec.Unpack(Hex("0001 80 71 00 FF 00"), 32));
}

TEST(NemesisCodec, ProbeReadsTheHeaderAndAsMuchOfTheTableAsItSees)
{
    const std::pair<Bytes, std::optional<std::size_t>> cases[] = {
        {Hex("0001 80 71 00 FF 00"), 32},
        {Hex("8003 80 71 00"), 96},  // the table goes on past the head
        {Hex("0001 FF FC"), 32},     // the escape first
        {Hex("0000 80 71 00 FF 00"), std::nullopt},
        {Hex("0001 80 79 00"), std::nullopt},
        {Hex("0001 80 71 00 81 72 01"), std::nullopt},
        {Hex("0001 80 71 00 FF 80"), std::nullopt},  // no code starts the bitstream
        {Hex("01"), std::nullopt},
    };
    for (const auto& [head, expected] : cases)
        EXPECT_EQ(NemesisCodec.Probe(head), expected) << testing::PrintToString(head);
}

TEST(NemesisCodec, PackTakesWholeTilesUpToTheHeaderCount)
{
    for (const std::size_t size : {std::size_t{0}, std::size_t{33}, std::size_t{0x8000 * 32}})
        EXPECT_FALSE(NemesisCodec.Pack(Bytes(size), PackOptions{})) << size;
    const Bytes most(0x7FFF * 32, 0x22);
    const PackResult packed = NemesisCodec.Pack(most, PackOptions{});
    ASSERT_TRUE(packed) << packed.Error;
    EXPECT_EQ((packed.Bytes[0] << 8 | packed.Bytes[1]) & 0x7FFF, 0x7FFF);
    EXPECT_EQ(NemesisCodec.Unpack(packed.Bytes, DefaultUnpackLimit).Bytes, most);
}

TEST(NemesisCodec, PackSplitsRunsForTheSmallestStream)
{
    // Bits: 16 header + 8 table end, 8 a nibble byte, 16 a code entry.
    const std::pair<Bytes, std::size_t> cases[] = {
        // Twelve 0s and four 1s, four times. In runs of 8 + 4 the 0s take two
        // codes beside the 1s' one: 24 + 16 + 48 + 12 runs of 2 bits = 112
        // bits, 14 bytes. In 4 + 4 + 4 (or 6 + 6) one code does: 24 + 16 +
        // 32 + 20 (16) = 92 (88) bits, 12 bytes with the even padding.
        {Hex(Repeat("000000000000 1111", 4)), 12},
        // 52 0s, eight 1s, four 0s; the 1s go inline (13 bits). In runs of 8
        // and 4 the 0s take two codes: 24 + 8 + 32 + 6 of 1 bit + 2 of 2 + 13
        // = 87 bits, 12 bytes padded. In runs of 4 alone: 24 + 8 + 16 + 14 +
        // 13 = 75 bits, 10 bytes.
        {Hex(Repeat("0", 52) + "11111111 0000"), 10},
    };
    for (const auto& [tile, size] : cases) {
        const PackResult packed = NemesisCodec.Pack(tile, PackOptions{});
        ASSERT_TRUE(packed) << packed.Error;
        EXPECT_EQ(packed.Bytes.size(), size);
        EXPECT_EQ(NemesisCodec.Unpack(packed.Bytes, DefaultUnpackLimit).Bytes, tile);
    }
}

TEST(NemesisCodec, PackXorsRowsOnlyWhereThatIsSmaller)
{
    Bytes repeatedRows, scatteredPixels(64 * 32, 0);
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245 + 12345, seed >> 16; };
    for (int tile = 0; tile < 64; ++tile) {
        const Bytes row{std::uint8_t(next()), std::uint8_t(next()), std::uint8_t(next()), std::uint8_t(next())};
        for (int y = 0; y < 8; ++y)
            repeatedRows.insert(repeatedRows.end(), row.begin(), row.end());
        scatteredPixels[tile * 32 + next() % 32] = 0x70;
    }
    for (const auto& [data, xorRows] : {std::pair{repeatedRows, true}, std::pair{scatteredPixels, false}}) {
        const PackResult packed = NemesisCodec.Pack(data, PackOptions{});
        ASSERT_TRUE(packed) << packed.Error;
        EXPECT_EQ((packed.Bytes[0] & 0x80) != 0, xorRows);
        EXPECT_EQ(NemesisCodec.Unpack(packed.Bytes, DefaultUnpackLimit).Bytes, data);
    }
}

}  // namespace
