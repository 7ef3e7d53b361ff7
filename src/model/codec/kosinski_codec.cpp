#include "model/codec/kosinski_codec.h"

#include "model/codec/kosinski_pack.h"

#include <algorithm>
#include <string>

namespace {

// Where decoding stopped and why.
struct DecodeEnd {
    UnpackStatus Status = UnpackStatus::Unpacked;
    std::size_t PackedLength = 0;
    // How far before the start a refused back reference points.
    std::size_t Overshoot = 0;
};

// The bytes unpacking makes, never more than the limit.
class OutputBytes {
public:
    // Room for a typical graphics stream from the start, rather than
    // growing through every small size.
    explicit OutputBytes(std::size_t limit) : limit_(limit) { bytes_.reserve(std::min<std::size_t>(limit, 0x10000)); }

    std::size_t Size() const { return bytes_.size(); }
    bool Fits(std::size_t count) const { return count <= limit_ - bytes_.size(); }
    void Literal(std::uint8_t byte) { bytes_.push_back(byte); }
    void Copy(std::size_t distance, std::size_t count)
    {
        const std::size_t at = bytes_.size();
        bytes_.resize(at + count);
        // Byte by byte: a copy may read what it has just written.
        std::uint8_t* out = bytes_.data() + at;
        const std::uint8_t* from = out - distance;
        for (std::size_t i = 0; i < count; ++i)
            out[i] = from[i];
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::size_t limit_;
    std::vector<std::uint8_t> bytes_;
};

// Only counts, for the quick look at a stream's first bytes.
class OutputCount {
public:
    std::size_t Size() const { return size_; }
    bool Fits(std::size_t) const { return true; }
    void Literal(std::uint8_t) { ++size_; }
    void Copy(std::size_t, std::size_t count) { size_ += count; }

private:
    std::size_t size_ = 0;
};

// Runs the stream at the start of input into output. The next descriptor
// word is read the moment the last bit of the current one is taken, before
// the data bytes of the command that bit belongs to, as the console's
// unpacker does; streams depend on it.
template <class Output> DecodeEnd Decode(std::span<const std::uint8_t> input, Output& output)
{
    const std::size_t size = input.size();
    std::size_t at = 0;
    std::uint32_t descriptor = 0;
    int bitsLeft = 0;
    auto readDescriptor = [&] {
        if (size - at < 2)
            return false;
        descriptor = input[at] | std::uint32_t{input[at + 1]} << 8;
        at += 2;
        bitsLeft = 16;
        return true;
    };
    auto refused = [&](UnpackStatus status, std::size_t overshoot = 0) { return DecodeEnd{status, at, overshoot}; };
    // Takes one flag bit into `bit`; false when the reload runs out of input.
    auto takeBit = [&](std::uint32_t& bit) {
        bit = descriptor & 1;
        descriptor >>= 1;
        return --bitsLeft != 0 || readDescriptor();
    };

    if (!readDescriptor())
        return refused(UnpackStatus::PastEnd);
    for (;;) {
        std::uint32_t bit;
        if (!takeBit(bit))
            return refused(UnpackStatus::PastEnd);
        if (bit) {
            if (at == size)
                return refused(UnpackStatus::PastEnd);
            if (!output.Fits(1))
                return refused(UnpackStatus::TooLarge);
            output.Literal(input[at++]);
            continue;
        }
        std::size_t distance, count;
        if (!takeBit(bit))
            return refused(UnpackStatus::PastEnd);
        if (!bit) {
            // Inline copy: two more flag bits (high first) give the count.
            std::uint32_t high, low;
            if (!takeBit(high) || !takeBit(low) || at == size)
                return refused(UnpackStatus::PastEnd);
            count = (high << 1 | low) + 2;
            distance = 0x100 - std::size_t{input[at++]};
        } else {
            // Full copy: 13 bits of distance, then a count of 3 to 9 in the
            // low bits or, when those are 0, a third byte.
            if (size - at < 2)
                return refused(UnpackStatus::PastEnd);
            const std::size_t low = input[at], high = input[at + 1];
            at += 2;
            distance = 0x2000 - ((high & 0xF8) << 5 | low);
            count = high & 7;
            if (count != 0) {
                count += 2;
            } else {
                if (at == size)
                    return refused(UnpackStatus::PastEnd);
                count = input[at++];
                if (count == 0)
                    return DecodeEnd{UnpackStatus::Unpacked, at, 0};
                if (count == 1)
                    continue;
                count += 1;
            }
        }
        if (distance > output.Size())
            return refused(UnpackStatus::BeforeStart, distance - output.Size());
        if (!output.Fits(count))
            return refused(UnpackStatus::TooLarge);
        output.Copy(distance, count);
    }
}

UnpackResult Unpack(std::span<const std::uint8_t> input, std::size_t limit)
{
    OutputBytes output(limit);
    const DecodeEnd end = Decode(input, output);
    switch (end.Status) {
    case UnpackStatus::Unpacked: {
        UnpackResult result;
        result.Bytes = output.Take();
        result.PackedLength = end.PackedLength;
        return result;
    }
    case UnpackStatus::PastEnd:
        return RefusedStream(end.Status, "the stream runs past the end of the file");
    case UnpackStatus::BeforeStart:
        return RefusedStream(end.Status, "a back reference points " + std::to_string(end.Overshoot) +
                                             (end.Overshoot == 1 ? " byte" : " bytes") +
                                             " before the start of the data");
    case UnpackStatus::TooLarge:
        return RefusedStream(end.Status, "the data grows beyond the limit of " + std::to_string(limit) + " bytes");
    case UnpackStatus::Corrupt:
        break;
    }
    return RefusedStream(UnpackStatus::Corrupt, "the stream is malformed");
}

// With no header, the one thing a stream's first bytes can give away is a
// back reference before the start (any stream starting with a copy).
std::optional<std::size_t> Probe(std::span<const std::uint8_t> head)
{
    OutputCount output;
    const DecodeEnd end = Decode(head.first(std::min<std::size_t>(head.size(), 16)), output);
    if (end.Status == UnpackStatus::BeforeStart)
        return std::nullopt;
    return UnknownUnpackedSize;
}

}  // namespace

const StreamCodec KosinskiCodec{"Kosinski", "kosinski", 1, Unpack, PackKosinski, Probe};
