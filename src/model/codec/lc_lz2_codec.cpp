#include "model/codec/lc_lz2_codec.h"

#include "model/codec/lc_lz2_packer.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr std::uint8_t EndMark = 0xFF;
constexpr int LongForm = 7;
constexpr int RepeatCommand = 4;

// What one walk over the commands found.
struct Walk {
    UnpackStatus Status = UnpackStatus::Unpacked;
    std::string Reason;
    std::size_t Made = 0;      // output bytes
    std::size_t Consumed = 0;  // stream bytes, end mark included
};

Walk Refused(UnpackStatus status, std::string reason)
{
    Walk walk;
    walk.Status = status;
    walk.Reason = std::move(reason);
    return walk;
}

// Follows the commands of the stream at the start of input, checking each
// before it makes anything; writes the output to out (sized beforehand from
// a walk that does not write) only when Write is set.
template <bool Write> Walk WalkStream(std::span<const std::uint8_t> input, std::size_t limit, std::uint8_t* out)
{
    std::size_t at = 0;
    std::size_t made = 0;
    while (true) {
        if (at >= input.size())
            return Refused(UnpackStatus::PastEnd, "the stream runs past the end of the file before its end mark");
        const std::size_t headAt = at;
        const std::uint8_t head = input[at++];
        if (head == EndMark)
            break;
        int command = head >> 5;
        std::size_t length = (head & 0x1Fu) + 1;
        if (command == LongForm) {
            command = (head >> 2) & 7;
            if (at >= input.size())
                return Refused(UnpackStatus::PastEnd, "the stream runs past the end of the file");
            length = ((head & 3u) << 8 | input[at++]) + 1;
        }
        static constexpr std::size_t PayloadOf[] = {0, 1, 2, 1, 2};
        if (command > RepeatCommand)
            return Refused(UnpackStatus::Corrupt, "command " + std::to_string(command) + " at stream byte " +
                                                      std::to_string(headAt) + " is not an LC_LZ2 command");
        const std::size_t payload = command == 0 ? length : PayloadOf[command];
        if (input.size() - at < payload)
            return Refused(UnpackStatus::PastEnd, "the stream runs past the end of the file");
        if (length > limit - made)
            return Refused(UnpackStatus::TooLarge, "the data grows beyond " + std::to_string(limit) + " bytes");
        const std::uint8_t* data = input.data() + at;
        std::size_t source = 0;
        if (command == RepeatCommand) {
            source = static_cast<std::size_t>(data[0]) << 8 | data[1];
            // Absolute positions cannot point before the start; the data at
            // or after the output's end does not exist yet.
            if (source >= made)
                return Refused(UnpackStatus::Corrupt, "a repeat copies from byte " + std::to_string(source) +
                                                          " of the data when only " + std::to_string(made) +
                                                          " bytes are unpacked");
        }
        if constexpr (Write) {
            std::uint8_t* to = out + made;
            switch (command) {
            case 0:
                std::memcpy(to, data, length);
                break;
            case 1:
                std::memset(to, data[0], length);
                break;
            case 2:
                for (std::size_t k = 0; k < length; ++k)
                    to[k] = data[k & 1];
                break;
            case 3:
                for (std::size_t k = 0; k < length; ++k)
                    to[k] = static_cast<std::uint8_t>(data[0] + k);
                break;
            default:
                if (source + length <= made) {
                    std::memcpy(to, out + source, length);
                } else {
                    // Overlapping: each byte may be one this command wrote.
                    for (std::size_t k = 0; k < length; ++k)
                        to[k] = out[source + k];
                }
                break;
            }
        }
        at += payload;
        made += length;
    }
    if (made == 0)
        return Refused(UnpackStatus::Corrupt, "the stream ends before it makes any bytes");
    Walk walk;
    walk.Made = made;
    walk.Consumed = at;
    return walk;
}

UnpackResult Unpack(std::span<const std::uint8_t> input, std::size_t limit)
{
    const Walk checked = WalkStream<false>(input, limit, nullptr);
    if (checked.Status != UnpackStatus::Unpacked)
        return RefusedStream(checked.Status, checked.Reason);
    UnpackResult result;
    result.Bytes.resize(checked.Made);
    WalkStream<true>(input, limit, result.Bytes.data());
    result.PackedLength = checked.Consumed;
    return result;
}

PackResult Pack(std::span<const std::uint8_t> input, const PackOptions&)
{
    PackResult result;
    if (input.empty()) {
        result.Error = "there are no bytes to pack";
        return result;
    }
    if (input.size() > DefaultUnpackLimit) {
        result.Error =
            "the data is larger than the " + std::to_string(DefaultUnpackLimit >> 20) + " MiB a stream may unpack to";
        return result;
    }
    result.Bytes = PackLcLz2(input);
    return result;
}

// Commands the first 16 bytes hold are checked like a whole stream; the
// first one cannot be a repeat, as nothing is unpacked yet.
std::optional<std::size_t> Probe(std::span<const std::uint8_t> head)
{
    const Walk walk =
        WalkStream<false>(head.first(std::min<std::size_t>(16, head.size())), DefaultUnpackLimit, nullptr);
    switch (walk.Status) {
    case UnpackStatus::Unpacked:
        return walk.Made;
    case UnpackStatus::PastEnd:
        return UnknownUnpackedSize;
    default:
        return std::nullopt;
    }
}

}  // namespace

const StreamCodec LcLz2Codec{"LC_LZ2", "lc_lz2", 1, Unpack, Pack, Probe};
