// What every codec of the list must do, whatever its format: give back
// exactly what it packed, take only its own bytes, and refuse a stream cut
// short or one that would grow beyond the limit.
#include "model/codec/stream_codecs.h"

#include "support/tile_like_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Sample {
    std::string Name;
    std::vector<std::uint8_t> Bytes;
};

std::vector<Sample> Samples()
{
    return {
        {"one tile of zeros", std::vector<std::uint8_t>(32, 0)},
        {"one tile of one byte", std::vector<std::uint8_t>(32, 0x5A)},
        {"3 tile-like tiles", TileLikeData(96)},
        {"3 random tiles", RandomData(96)},
        {"128 tile-like tiles", TileLikeData(4096, 2)},
        {"128 random tiles", RandomData(4096, 3)},
        {"2048 tile-like tiles", TileLikeData(65536, 4)},
        {"1000 tiles of one byte", std::vector<std::uint8_t>(32000, 0x11)},
    };
}

TEST(StreamCodecs, EveryCodecGivesBackWhatItPackedAndTakesOnlyItsOwnBytes)
{
    for (const StreamCodec* codec : StreamCodecs()) {
        for (const Sample& sample : Samples()) {
            SCOPED_TRACE(std::string(codec->Name) + ", " + sample.Name);
            const PackResult packed = codec->Pack(sample.Bytes, PackOptions{});
            ASSERT_TRUE(packed) << packed.Error;
            ASSERT_EQ(packed.Bytes.size() % static_cast<std::size_t>(codec->Alignment), 0u);

            std::vector<std::uint8_t> followed = packed.Bytes;
            followed.insert(followed.end(), {0xFF, 0x00, 0x12, 0x34});
            const UnpackResult unpacked = codec->Unpack(followed, DefaultUnpackLimit);
            ASSERT_TRUE(unpacked) << unpacked.Reason;
            EXPECT_EQ(unpacked.Bytes, sample.Bytes);
            EXPECT_LE(unpacked.PackedLength, packed.Bytes.size());
            EXPECT_GT(unpacked.PackedLength + static_cast<std::size_t>(codec->Alignment), packed.Bytes.size());

            const auto declared =
                codec->Probe(std::span(packed.Bytes).first(std::min<std::size_t>(16, packed.Bytes.size())));
            ASSERT_TRUE(declared.has_value());
            if (*declared != UnknownUnpackedSize)
                EXPECT_EQ(*declared, sample.Bytes.size());
        }
    }
}

TEST(StreamCodecs, AStreamCutShortOrGrowingBeyondTheLimitIsRefusedWithAReason)
{
    for (const StreamCodec* codec : StreamCodecs()) {
        for (const Sample& sample : Samples()) {
            SCOPED_TRACE(std::string(codec->Name) + ", " + sample.Name);
            const PackResult packed = codec->Pack(sample.Bytes, PackOptions{});
            ASSERT_TRUE(packed) << packed.Error;
            const std::size_t length = codec->Unpack(packed.Bytes, DefaultUnpackLimit).PackedLength;
            for (const std::size_t cut : {std::size_t{0}, std::size_t{1}, length / 2, length - 1}) {
                const UnpackResult refused = codec->Unpack(std::span(packed.Bytes).first(cut), DefaultUnpackLimit);
                EXPECT_FALSE(refused) << "cut at " << cut;
                EXPECT_TRUE(refused.Bytes.empty());
                EXPECT_FALSE(refused.Reason.empty());
            }
            const UnpackResult tooLarge = codec->Unpack(packed.Bytes, sample.Bytes.size() - 1);
            EXPECT_EQ(tooLarge.Status, UnpackStatus::TooLarge);
            EXPECT_TRUE(tooLarge.Bytes.empty());
        }
    }
}

}  // namespace
