#include "model/codec/lz77_codec.h"

#include "model/codec/bios_lz_stream.h"
#include "model/codec/length_cost_parse.h"
#include "model/codec/longest_match_table.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr std::uint8_t TypeByte = 0x10;
constexpr std::size_t MaxSize = 0xFFFFFF;
constexpr std::uint32_t MaxLength = 18;
constexpr std::uint32_t MaxDistance = 4096;
// In bits, the flag bit included.
constexpr std::uint32_t LiteralBits = 9;
constexpr std::array References{LengthCost{3, MaxLength, 17}};

// First byte: length - 3 in the high nibble, the top 4 bits of distance - 1
// in the low one; second byte: the low 8 bits of distance - 1.
std::size_t ReadReference(const std::uint8_t* bytes, std::size_t available, std::size_t& length, std::size_t& distance)
{
    if (available < 2)
        return 0;
    length = (std::size_t{bytes[0]} >> 4) + 3;
    distance = (std::size_t{bytes[0] & 0x0Fu} << 8 | bytes[1]) + 1;
    return 2;
}

std::size_t WriteReference(std::uint8_t* out, std::uint32_t length, std::uint32_t distance)
{
    out[0] = static_cast<std::uint8_t>((length - 3) << 4 | (distance - 1) >> 8);
    out[1] = static_cast<std::uint8_t>(distance - 1);
    return 2;
}

UnpackResult Unpack(std::span<const std::uint8_t> input, std::size_t limit)
{
    const BiosLzHeader header = ReadBiosLzHeader(input, TypeByte, false, limit);
    if (header.Problem != BiosLzHeaderProblem::None)
        return RefusedBiosLzHeader(header, TypeByte, limit);
    return UnpackBiosLzBody(input, header, ReadReference);
}

PackResult Pack(std::span<const std::uint8_t> input, const PackOptions& options)
{
    PackResult result;
    if (input.empty()) {
        result.Error = "an LZ77 stream cannot be empty";
        return result;
    }
    if (input.size() > MaxSize) {
        result.Error = "LZ77 holds at most " + std::to_string(MaxSize) + " bytes, not " + std::to_string(input.size());
        return result;
    }
    LongestMatchTable tokens =
        FindLongestMatches(input, MatchWindow{options.VramSafe ? 2u : 1u, MaxDistance, MaxLength});
    const std::uint64_t bits = CheapestParse(tokens, LiteralBits, References);
    const std::size_t size = input.size();
    result.Bytes = WriteBiosLzStream({TypeByte, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                                      static_cast<std::uint8_t>(size >> 16)},
                                     input, tokens, bits, WriteReference);
    return result;
}

std::optional<std::size_t> Probe(std::span<const std::uint8_t> head)
{
    head = head.first(std::min<std::size_t>(head.size(), 16));
    const BiosLzHeader header = ReadBiosLzHeader(head, TypeByte, false, DefaultUnpackLimit);
    if (header.Problem != BiosLzHeaderProblem::None || !BiosLzHeadFits(head, header, ReadReference))
        return std::nullopt;
    return header.Size;
}

}  // namespace

const StreamCodec Lz77Codec{"LZ77", "lz77", 4, Unpack, Pack, Probe};
