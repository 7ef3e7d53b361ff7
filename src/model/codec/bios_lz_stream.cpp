#include "model/codec/bios_lz_stream.h"

#include <string>

namespace {

std::string ByteCount(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

}  // namespace

BiosLzHeader ReadBiosLzHeader(std::span<const std::uint8_t> input, std::uint8_t typeByte, bool extendedSize,
                              std::size_t limit)
{
    BiosLzHeader header;
    if (input.size() < 4) {
        header.Problem =
            input.empty() || input[0] == typeByte ? BiosLzHeaderProblem::Cut : BiosLzHeaderProblem::WrongType;
        return header;
    }
    if (input[0] != typeByte) {
        header.Problem = BiosLzHeaderProblem::WrongType;
        return header;
    }
    header.Length = 4;
    header.Size = std::size_t{input[1]} | std::size_t{input[2]} << 8 | std::size_t{input[3]} << 16;
    if (header.Size == 0 && extendedSize) {
        if (input.size() < 8) {
            header.Problem = BiosLzHeaderProblem::Cut;
            return header;
        }
        header.Length = 8;
        header.Size = std::size_t{input[4]} | std::size_t{input[5]} << 8 | std::size_t{input[6]} << 16 |
                      std::size_t{input[7]} << 24;
    }
    if (header.Size == 0)
        header.Problem = BiosLzHeaderProblem::NoData;
    else if (header.Size > limit)
        header.Problem = BiosLzHeaderProblem::TooLarge;
    return header;
}

UnpackResult RefusedBiosLzHeader(const BiosLzHeader& header, std::uint8_t typeByte, std::size_t limit)
{
    switch (header.Problem) {
    case BiosLzHeaderProblem::Cut:
        return BiosLzCutShort();
    case BiosLzHeaderProblem::WrongType: {
        static const char* const digits = "0123456789ABCDEF";
        return RefusedStream(UnpackStatus::Corrupt, std::string("the stream does not start with its type byte 0x") +
                                                        digits[typeByte >> 4] + digits[typeByte & 0x0F]);
    }
    case BiosLzHeaderProblem::NoData:
        return RefusedStream(UnpackStatus::Corrupt, "the header declares no data");
    case BiosLzHeaderProblem::TooLarge:
        return RefusedStream(UnpackStatus::TooLarge, "the header declares " + ByteCount(header.Size) +
                                                         ", more than the limit of " + ByteCount(limit));
    case BiosLzHeaderProblem::None:
        break;
    }
    return {};
}

UnpackResult BiosLzCutShort()
{
    return RefusedStream(UnpackStatus::PastEnd, "the stream runs past the end of the file");
}

UnpackResult BiosLzBeforeStart(std::size_t bytesBefore)
{
    return RefusedStream(UnpackStatus::BeforeStart,
                         "a back reference points " + ByteCount(bytesBefore) + " before the start of the data");
}

UnpackResult BiosLzPastSize(std::size_t bytesPast, std::size_t size)
{
    return RefusedStream(UnpackStatus::Corrupt, "a back reference runs " + ByteCount(bytesPast) +
                                                    " past the declared size of " + ByteCount(size));
}

std::vector<std::uint8_t> WriteBiosLzStream(std::vector<std::uint8_t> header, std::span<const std::uint8_t> input,
                                            const LongestMatchTable& tokens, std::uint64_t tokenBits,
                                            BiosLzReferenceWriter writeReference)
{
    std::vector<std::uint8_t> stream = std::move(header);
    // A token's bits are its flag bit and its bytes, so the body takes
    // exactly the whole bytes the bits round up to.
    std::size_t out = stream.size();
    const std::size_t bodyEnd = out + static_cast<std::size_t>((tokenBits + 7) / 8);
    stream.resize((bodyEnd + 3) & ~std::size_t{3}, 0);
    std::size_t flagAt = 0;
    unsigned flagBit = 0;
    for (std::size_t at = 0; at < input.size(); at += tokens.Length(at)) {
        if (flagBit == 0) {
            flagAt = out++;
            flagBit = 0x80;
        }
        if (tokens.Length(at) == 1) {
            stream[out++] = input[at];
        } else {
            stream[flagAt] |= static_cast<std::uint8_t>(flagBit);
            out += writeReference(stream.data() + out, tokens.Length(at), tokens.Distance(at));
        }
        flagBit >>= 1;
    }
    return stream;
}
