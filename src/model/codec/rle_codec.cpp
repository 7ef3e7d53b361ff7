#include "model/codec/rle_codec.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr std::uint8_t HeaderByte = 0x30;
constexpr std::size_t HeaderSize = 4;
constexpr std::size_t MaxUnpackedSize = 0xFFFFFF;
constexpr std::uint8_t RunFlag = 0x80;
constexpr std::size_t MinRun = 3, MaxRun = 130;
constexpr std::size_t MaxLiterals = 128;

std::size_t DeclaredSize(std::span<const std::uint8_t> head)
{
    return head[1] | std::size_t{head[2]} << 8 | std::size_t{head[3]} << 16;
}

std::optional<std::size_t> Probe(std::span<const std::uint8_t> head)
{
    if (head.size() < HeaderSize || head[0] != HeaderByte || DeclaredSize(head) == 0)
        return std::nullopt;
    return DeclaredSize(head);
}

UnpackResult CutShort()
{
    return RefusedStream(UnpackStatus::PastEnd, "the stream runs past the end of the file");
}

UnpackResult Unpack(std::span<const std::uint8_t> input, std::size_t limit)
{
    if (input.size() < HeaderSize)
        return CutShort();
    if (input[0] != HeaderByte)
        return RefusedStream(UnpackStatus::Corrupt, "the stream does not start with the run-length header byte 30");
    const std::size_t size = DeclaredSize(input);
    if (size == 0)
        return RefusedStream(UnpackStatus::Corrupt, "the stream declares no data");
    if (size > limit)
        return RefusedStream(UnpackStatus::TooLarge, "the stream declares " + std::to_string(size) +
                                                         " bytes, more than the " + std::to_string(limit) + " allowed");
    UnpackResult result;
    result.Bytes.reserve(size);
    std::vector<std::uint8_t>& out = result.Bytes;
    std::size_t at = HeaderSize;
    while (out.size() < size) {
        if (at >= input.size())
            return CutShort();
        const std::uint8_t flag = input[at++];
        // A block may run past the declared size: the BIOS reads it whole
        // and the bytes beyond the size are dropped.
        if (flag & RunFlag) {
            if (at >= input.size())
                return CutShort();
            const std::size_t length = std::min<std::size_t>((flag & 0x7F) + MinRun, size - out.size());
            out.insert(out.end(), length, input[at++]);
        } else {
            const std::size_t length = (flag & 0x7F) + 1u;
            if (input.size() - at < length)
                return CutShort();
            const std::size_t kept = std::min(length, size - out.size());
            out.insert(out.end(), input.begin() + static_cast<std::ptrdiff_t>(at),
                       input.begin() + static_cast<std::ptrdiff_t>(at + kept));
            at += length;
        }
    }
    result.PackedLength = at;
    return result;
}

// The smallest value of a window of at most 256 indices that moves
// towards the start of the data: indices come in from below and leave from
// above. Entries keep rising values from front to back.
class WindowMinimum {
public:
    void Add(std::size_t index, std::uint32_t value)
    {
        while (back_ != front_ && entries_[(back_ - 1) & Mask].Value >= value)
            --back_;
        entries_[back_++ & Mask] = {index, value};
    }
    void DropAbove(std::size_t index)
    {
        while (front_ != back_ && entries_[front_ & Mask].Index > index)
            ++front_;
    }
    void Clear() { front_ = back_; }
    std::size_t IndexOfMinimum() const { return entries_[front_ & Mask].Index; }
    std::uint32_t Minimum() const { return entries_[front_ & Mask].Value; }

private:
    struct Entry {
        std::size_t Index;
        std::uint32_t Value;
    };
    static constexpr std::size_t Mask = 255;
    std::array<Entry, Mask + 1> entries_{};
    std::size_t front_ = 0, back_ = 0;
};

// Block lengths of the smallest stream: cost[i] is the fewest bytes that
// encode input[i..], from a row of 1..128 literals (1 + n bytes) or a run
// of 3..130 (2 bytes). Both minima are sliding windows, so it is linear.
std::vector<std::int16_t> OptimalBlocks(std::span<const std::uint8_t> input)
{
    const std::size_t n = input.size();
    std::vector<std::uint32_t> cost(n + 1, 0);
    // Positive: that many literals; negative: a run of that length.
    std::vector<std::int16_t> block(n, 0);
    WindowMinimum literalEnds;  // cost[j] + j over j in [i+1, i+128]
    WindowMinimum runEnds;      // cost[j] over j in [i+3, min(i+130, end of the run)]
    std::size_t runEnd = n;
    for (std::size_t i = n; i-- > 0;) {
        literalEnds.Add(i + 1, cost[i + 1] + static_cast<std::uint32_t>(i + 1));
        literalEnds.DropAbove(i + MaxLiterals);
        cost[i] = 1 + literalEnds.Minimum() - static_cast<std::uint32_t>(i);
        block[i] = static_cast<std::int16_t>(literalEnds.IndexOfMinimum() - i);

        if (i + 1 == n || input[i] != input[i + 1]) {
            runEnd = i + 1;
            runEnds.Clear();
        }
        if (runEnd - i < MinRun)
            continue;
        runEnds.Add(i + MinRun, cost[i + MinRun]);
        runEnds.DropAbove(i + MaxRun);
        if (2 + runEnds.Minimum() < cost[i]) {
            cost[i] = 2 + runEnds.Minimum();
            block[i] = static_cast<std::int16_t>(-static_cast<std::ptrdiff_t>(runEnds.IndexOfMinimum() - i));
        }
    }
    return block;
}

PackResult Pack(std::span<const std::uint8_t> input, const PackOptions&)
{
    PackResult result;
    if (input.empty()) {
        result.Error = "there is nothing to pack";
        return result;
    }
    if (input.size() > MaxUnpackedSize) {
        result.Error = "the run-length format holds at most 16777215 bytes";
        return result;
    }
    const std::vector<std::int16_t> blocks = OptimalBlocks(input);
    std::vector<std::uint8_t>& out = result.Bytes;
    out = {HeaderByte, static_cast<std::uint8_t>(input.size()), static_cast<std::uint8_t>(input.size() >> 8),
           static_cast<std::uint8_t>(input.size() >> 16)};
    for (std::size_t i = 0; i < input.size();) {
        const int length = blocks[i];
        if (length < 0) {
            out.push_back(static_cast<std::uint8_t>(RunFlag | (-length - static_cast<int>(MinRun))));
            out.push_back(input[i]);
            i += static_cast<std::size_t>(-length);
        } else {
            out.push_back(static_cast<std::uint8_t>(length - 1));
            out.insert(out.end(), input.begin() + static_cast<std::ptrdiff_t>(i),
                       input.begin() + static_cast<std::ptrdiff_t>(i) + length);
            i += static_cast<std::size_t>(length);
        }
    }
    out.resize((out.size() + 3) & ~std::size_t{3}, 0);
    return result;
}

}  // namespace

const StreamCodec RleCodec{
    .Name = "RLE",
    .ShortName = "rle",
    .Alignment = 4,
    .Unpack = &Unpack,
    .Pack = &Pack,
    .Probe = &Probe,
};
