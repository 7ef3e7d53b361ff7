#include "model/codec/lz11_codec.h"

#include "model/codec/bios_lz_stream.h"
#include "model/codec/length_cost_parse.h"
#include "model/codec/longest_match_table.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr std::uint8_t TypeByte = 0x11;
constexpr std::size_t MaxShortSize = 0xFFFFFF;  // above it the 32-bit size follows
constexpr std::size_t MaxSize = 0xFFFFFFFF;
constexpr std::uint32_t MaxDistance = 4096;
// In bits, the flag bit included: tokens of 2, 3 and 4 bytes.
constexpr std::uint32_t LiteralBits = 9;
constexpr std::array References{LengthCost{3, 16, 17}, LengthCost{17, 272, 25}, LengthCost{273, 65808, 33}};

// The first byte's high nibble picks the form: 2..15 is the length - 1 of
// a two-byte token; 0 starts a three-byte token with length - 17 in the next
// 8 bits; 1 a four-byte one with length - 273 in the next 16. Distance - 1
// fills the token's last 12 bits.
std::size_t ReadReference(const std::uint8_t* bytes, std::size_t available, std::size_t& length, std::size_t& distance)
{
    const std::size_t form = bytes[0] >> 4;
    if (form >= 2) {
        if (available < 2)
            return 0;
        length = form + 1;
        distance = (std::size_t{bytes[0] & 0x0Fu} << 8 | bytes[1]) + 1;
        return 2;
    }
    if (form == 0) {
        if (available < 3)
            return 0;
        length = (std::size_t{bytes[0] & 0x0Fu} << 4 | bytes[1] >> 4) + 17;
        distance = (std::size_t{bytes[1] & 0x0Fu} << 8 | bytes[2]) + 1;
        return 3;
    }
    if (available < 4)
        return 0;
    length = (std::size_t{bytes[0] & 0x0Fu} << 12 | std::size_t{bytes[1]} << 4 | bytes[2] >> 4) + 273;
    distance = (std::size_t{bytes[2] & 0x0Fu} << 8 | bytes[3]) + 1;
    return 4;
}

std::size_t WriteReference(std::uint8_t* out, std::uint32_t length, std::uint32_t distance)
{
    const std::uint32_t back = distance - 1;
    if (length <= 16) {
        out[0] = static_cast<std::uint8_t>((length - 1) << 4 | back >> 8);
        out[1] = static_cast<std::uint8_t>(back);
        return 2;
    }
    if (length <= 272) {
        const std::uint32_t count = length - 17;
        out[0] = static_cast<std::uint8_t>(count >> 4);
        out[1] = static_cast<std::uint8_t>((count & 0x0F) << 4 | back >> 8);
        out[2] = static_cast<std::uint8_t>(back);
        return 3;
    }
    const std::uint32_t count = length - 273;
    out[0] = static_cast<std::uint8_t>(0x10 | count >> 12);
    out[1] = static_cast<std::uint8_t>(count >> 4);
    out[2] = static_cast<std::uint8_t>((count & 0x0F) << 4 | back >> 8);
    out[3] = static_cast<std::uint8_t>(back);
    return 4;
}

UnpackResult Unpack(std::span<const std::uint8_t> input, std::size_t limit)
{
    const BiosLzHeader header = ReadBiosLzHeader(input, TypeByte, true, limit);
    if (header.Problem != BiosLzHeaderProblem::None)
        return RefusedBiosLzHeader(header, TypeByte, limit);
    return UnpackBiosLzBody(input, header, ReadReference);
}

PackResult Pack(std::span<const std::uint8_t> input, const PackOptions& options)
{
    PackResult result;
    const std::size_t size = input.size();
    if (size == 0) {
        result.Error = "an LZ11 stream cannot be empty";
        return result;
    }
    if (size > MaxSize) {
        result.Error = "LZ11 holds at most " + std::to_string(MaxSize) + " bytes, not " + std::to_string(size);
        return result;
    }
    LongestMatchTable tokens =
        FindLongestMatches(input, MatchWindow{options.VramSafe ? 2u : 1u, MaxDistance, References.back().MaxLength});
    const std::uint64_t bits = CheapestParse(tokens, LiteralBits, References);
    std::vector<std::uint8_t> header{TypeByte};
    const int sizeBytes = size > MaxShortSize ? 4 : 3;
    if (sizeBytes == 4)
        header.insert(header.end(), 3, 0);
    for (int i = 0; i < sizeBytes; ++i)
        header.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    result.Bytes = WriteBiosLzStream(std::move(header), input, tokens, bits, WriteReference);
    return result;
}

std::optional<std::size_t> Probe(std::span<const std::uint8_t> head)
{
    head = head.first(std::min<std::size_t>(head.size(), 16));
    const BiosLzHeader header = ReadBiosLzHeader(head, TypeByte, true, DefaultUnpackLimit);
    if (header.Problem != BiosLzHeaderProblem::None || !BiosLzHeadFits(head, header, ReadReference))
        return std::nullopt;
    return header.Size;
}

}  // namespace

const StreamCodec Lz11Codec{"LZ11", "lz11", 4, Unpack, Pack, Probe};
