#include "model/tools/bps_patch.h"

#include "model/core/byte_order.h"
#include "model/core/rom_file.h"
#include "model/core/worker_threads.h"
#include "model/tools/bps_number.h"
#include "model/tools/changed_runs.h"
#include "model/tools/crc_changes.h"
#include "model/tools/patch_messages.h"
#include "model/tools/patch_writes.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

namespace {

constexpr std::uint8_t Magic[] = {'B', 'P', 'S', '1'};
constexpr std::size_t FooterSize = 12;

std::uint32_t Crc(std::uint32_t crc, const std::uint8_t* bytes, std::size_t size)
{
    return Crc32(crc, bytes, size);
}

void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t bytes[4];
    WriteLe32(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

void AppendAction(std::vector<std::uint8_t>& out, BpsAction action, std::int64_t length)
{
    AppendBpsNumber(out, (static_cast<std::uint64_t>(length - 1) << 2) | static_cast<std::uint64_t>(action));
}

// The CRC32 of the file with its original bytes back and of the file now.
struct FileChecksums {
    std::uint32_t Source = 0;
    std::uint32_t Target = 0;
};

// The CRC-32 of [begin, end) of the file now with the given original bytes
// laid over.
std::optional<std::uint32_t> CrcWithOriginals(const RomFile& file, const OriginalByteMap& originals, std::int64_t begin,
                                              std::int64_t end)
{
    std::uint32_t crc = Crc(0, nullptr, 0);
    std::vector<std::uint8_t> block(PatchBlockSize);
    for (std::int64_t at = begin; at < end;) {
        const auto part = static_cast<std::size_t>(std::min<std::int64_t>(end - at, PatchBlockSize));
        if (file.ReadAt(at, block.data(), part) != part)
            return std::nullopt;
        originals.LayOver(at, std::span<std::uint8_t>(block.data(), part));
        crc = Crc(crc, block.data(), part);
        at += static_cast<std::int64_t>(part);
    }
    return crc;
}

// The same of the whole file, kept in the map: taken once per open, its
// two halves read side by side.
std::optional<std::uint32_t> OpenedFileCrc(const RomFile& file, const OriginalByteMap& originals)
{
    if (const auto known = originals.OpenedFileCrc())
        return known;
    const std::int64_t length = file.Length();
    const std::int64_t middle = length / 2;
    std::array<std::optional<std::uint32_t>, 2> halves;
    RunOnThreads(2, [&](int half) {
        halves[half] = half == 0 ? CrcWithOriginals(file, originals, 0, middle)
                                 : CrcWithOriginals(file, originals, middle, length);
    });
    if (!halves[0] || !halves[1])
        return std::nullopt;
    const std::uint32_t crc = CombineCrc32(*halves[0], *halves[1], length - middle);
    originals.KeepOpenedFileCrc(crc);
    return crc;
}

// The CRC-32s of the file as opened and as it is now, the second from the
// first and the changed runs alone.
std::optional<FileChecksums> ChecksumsOf(const RomFile& file, const OriginalByteMap& originals,
                                         const ChangedRuns& changed)
{
    const auto source = OpenedFileCrc(file, originals);
    if (!source)
        return std::nullopt;
    CrcOfChanges target(file.Length());
    std::vector<std::uint8_t> difference;
    for (const ChangedRun& run : changed.Runs) {
        difference = run.Bytes;
        originals.LayOver(run.Offset, difference);
        for (std::size_t i = 0; i < difference.size(); ++i)
            difference[i] ^= run.Bytes[i];
        target.Add(run.Offset, difference);
    }
    return FileChecksums{*source, target.After(*source)};
}

PatchWrites Refused(std::string reason)
{
    PatchWrites result;
    result.Refusal = std::move(reason);
    return result;
}

// Plays a patch's actions into the collector, checking every length and
// offset against the file before it is used. An empty string when the
// actions make the whole target; else the refusal.
class ActionPlayer {
public:
    ActionPlayer(const RomFile& file, PatchWriteCollector& collector, const std::uint8_t* patch, std::size_t end)
        : file_(file), collector_(collector), patch_(patch), end_(end), length_(file.Length())
    {
    }

    std::string Play(std::size_t position)
    {
        position_ = position;
        while (position_ < end_) {
            const auto number = ReadBpsNumber(patch_, end_, position_);
            if (!number)
                return PatchTruncatedText;
            const auto action = static_cast<BpsAction>(*number & 3);
            const std::uint64_t length = (*number >> 2) + 1;
            if (length > static_cast<std::uint64_t>(length_ - output_))
                return PatchMalformedText("an action reaches past the end of the file");
            std::string refusal;
            switch (action) {
            case BpsAction::SourceRead:
                break;  // the same bytes as the file has now: nothing to write
            case BpsAction::TargetRead:
                refusal = TargetRead(static_cast<std::int64_t>(length));
                break;
            case BpsAction::SourceCopy:
                refusal = SourceCopy(static_cast<std::int64_t>(length));
                break;
            case BpsAction::TargetCopy:
                refusal = TargetCopy(static_cast<std::int64_t>(length));
                break;
            }
            if (!refusal.empty())
                return refusal;
            output_ += static_cast<std::int64_t>(length);
        }
        if (output_ != length_)
            return PatchMalformedText("the actions end before the end of the file");
        return {};
    }

private:
    std::string TargetRead(std::int64_t length)
    {
        if (static_cast<std::uint64_t>(length) > end_ - position_)
            return PatchTruncatedText;
        if (!collector_.Add(output_, patch_ + position_, static_cast<std::size_t>(length)))
            return PatchReadFailedText(file_.Path());
        position_ += static_cast<std::size_t>(length);
        return {};
    }

    // Moves a copy offset by the relative offset that follows the action;
    // false when the number is cut short or the offset leaves [0, limit).
    bool MoveOffset(std::int64_t& offset, std::int64_t limit)
    {
        const auto number = ReadBpsNumber(patch_, end_, position_);
        if (!number)
            return false;
        const auto distance = static_cast<std::int64_t>(*number >> 1);
        offset += (*number & 1) != 0 ? -distance : distance;
        return offset >= 0 && offset < limit;
    }

    std::string SourceCopy(std::int64_t length)
    {
        if (!MoveOffset(sourceOffset_, length_) || length > length_ - sourceOffset_)
            return PatchMalformedText("a copy from outside the source");
        for (std::int64_t done = 0; done < length;) {
            const auto part = static_cast<std::size_t>(std::min<std::int64_t>(length - done, PatchBlockSize));
            block_.resize(part);
            if (file_.ReadAt(sourceOffset_, block_.data(), part) != part ||
                !collector_.Add(output_ + done, block_.data(), part))
                return PatchReadFailedText(file_.Path());
            sourceOffset_ += static_cast<std::int64_t>(part);
            done += static_cast<std::int64_t>(part);
        }
        return {};
    }

    // Copies from the target made so far. When the copy overlaps what it
    // makes, the bytes between its start and the output repeat.
    std::string TargetCopy(std::int64_t length)
    {
        if (!MoveOffset(targetOffset_, output_))
            return PatchMalformedText("a copy from outside the target made so far");
        const std::int64_t distance = output_ - targetOffset_;
        if (distance < length && distance <= static_cast<std::int64_t>(PatchBlockSize)) {
            std::vector<std::uint8_t> pattern(static_cast<std::size_t>(distance));
            if (!collector_.ReadPatched(targetOffset_, pattern.data(), pattern.size()))
                return PatchReadFailedText(file_.Path());
            for (std::int64_t done = 0; done < length;) {
                const auto part = static_cast<std::size_t>(std::min<std::int64_t>(length - done, PatchBlockSize));
                block_.resize(part);
                for (std::size_t i = 0; i < part; ++i)
                    block_[i] = pattern[static_cast<std::size_t>((done + static_cast<std::int64_t>(i)) % distance)];
                if (!collector_.Add(output_ + done, block_.data(), part))
                    return PatchReadFailedText(file_.Path());
                done += static_cast<std::int64_t>(part);
            }
            targetOffset_ += length;
            return {};
        }
        // Each part lies wholly before the output it goes to.
        for (std::int64_t done = 0; done < length;) {
            const auto part = static_cast<std::size_t>(std::min<std::int64_t>(length - done, PatchBlockSize));
            block_.resize(part);
            if (!collector_.ReadPatched(targetOffset_, block_.data(), part) ||
                !collector_.Add(output_ + done, block_.data(), part))
                return PatchReadFailedText(file_.Path());
            targetOffset_ += static_cast<std::int64_t>(part);
            done += static_cast<std::int64_t>(part);
        }
        return {};
    }

    const RomFile& file_;
    PatchWriteCollector& collector_;
    const std::uint8_t* patch_;
    std::size_t end_;  // where the actions end and the checksums begin
    std::int64_t length_;
    std::size_t position_ = 0;
    std::int64_t output_ = 0;
    std::int64_t sourceOffset_ = 0;
    std::int64_t targetOffset_ = 0;
    std::vector<std::uint8_t> block_;
};

std::optional<std::uint32_t> FileCrc(const RomFile& file)
{
    return CrcWithOriginals(file, OriginalByteMap{}, 0, file.Length());
}

std::optional<std::uint32_t> PatchedCrc(const RomFile& file, const PatchWriteCollector& collector)
{
    std::uint32_t crc = Crc(0, nullptr, 0);
    std::vector<std::uint8_t> block(PatchBlockSize);
    const std::int64_t length = file.Length();
    for (std::int64_t at = 0; at < length;) {
        const auto part = static_cast<std::size_t>(std::min<std::int64_t>(length - at, PatchBlockSize));
        if (!collector.ReadPatched(at, block.data(), part))
            return std::nullopt;
        crc = Crc(crc, block.data(), part);
        at += static_cast<std::int64_t>(part);
    }
    return crc;
}

}  // namespace

PatchFile BuildBpsPatch(const RomFile& file, const OriginalByteMap& originals)
{
    PatchFile result;
    const ChangedRuns changed = FindChangedRuns(file, originals);
    const auto sums = changed.Failure.empty() ? ChecksumsOf(file, originals, changed) : std::nullopt;
    if (!sums) {
        result.Refusal = PatchReadFailedText(file.Path());
        return result;
    }
    const std::int64_t length = file.Length();
    std::vector<std::uint8_t>& out = result.Bytes;
    out.assign(std::begin(Magic), std::end(Magic));
    AppendBpsNumber(out, static_cast<std::uint64_t>(length));
    AppendBpsNumber(out, static_cast<std::uint64_t>(length));
    AppendBpsNumber(out, 0);  // no metadata
    std::int64_t output = 0;
    for (const ChangedRun& run : changed.Runs) {
        if (run.Offset > output)
            AppendAction(out, BpsAction::SourceRead, run.Offset - output);
        AppendAction(out, BpsAction::TargetRead, static_cast<std::int64_t>(run.Bytes.size()));
        out.insert(out.end(), run.Bytes.begin(), run.Bytes.end());
        output = run.Offset + static_cast<std::int64_t>(run.Bytes.size());
    }
    if (length > output)
        AppendAction(out, BpsAction::SourceRead, length - output);
    AppendLe32(out, sums->Source);
    AppendLe32(out, sums->Target);
    AppendLe32(out, Crc(Crc(0, nullptr, 0), out.data(), out.size()));
    return result;
}

PatchWrites ApplyBpsPatch(const RomFile& file, const std::uint8_t* patch, std::size_t size)
{
    if (size < sizeof Magic || !std::equal(std::begin(Magic), std::end(Magic), patch))
        return Refused(NotAPatchText);
    // The magic, three numbers of at least a byte each, and the checksums.
    if (size < sizeof Magic + 3 + FooterSize)
        return Refused(PatchTruncatedText);
    const std::size_t actionsEnd = size - FooterSize;
    if (Crc(Crc(0, nullptr, 0), patch, size - 4) != ReadLe32(patch + size - 4))
        return Refused(PatchChecksumText);

    std::size_t position = sizeof Magic;
    const auto sourceSize = ReadBpsNumber(patch, actionsEnd, position);
    const auto targetSize = ReadBpsNumber(patch, actionsEnd, position);
    const auto metadataSize = ReadBpsNumber(patch, actionsEnd, position);
    if (!sourceSize || !targetSize || !metadataSize || *metadataSize > actionsEnd - position)
        return Refused(PatchTruncatedText);
    position += static_cast<std::size_t>(*metadataSize);

    const std::int64_t length = file.Length();
    if (*targetSize != *sourceSize)
        return Refused(
            PatchLengthChangeText(static_cast<std::int64_t>(*sourceSize), static_cast<std::int64_t>(*targetSize)));
    if (*sourceSize != static_cast<std::uint64_t>(length))
        return Refused(PatchSourceSizeText(static_cast<std::int64_t>(*sourceSize), length));
    const auto sourceCrc = FileCrc(file);
    if (!sourceCrc)
        return Refused(PatchReadFailedText(file.Path()));
    if (*sourceCrc != ReadLe32(patch + actionsEnd))
        return Refused(PatchSourceChecksumText);

    PatchWriteCollector collector(file);
    ActionPlayer player(file, collector, patch, actionsEnd);
    if (std::string refusal = player.Play(position); !refusal.empty())
        return Refused(std::move(refusal));
    const auto targetCrc = PatchedCrc(file, collector);
    if (!targetCrc)
        return Refused(PatchReadFailedText(file.Path()));
    if (*targetCrc != ReadLe32(patch + actionsEnd + 4))
        return Refused(PatchTargetChecksumText);
    PatchWrites result;
    result.Writes = collector.TakeWrites();
    return result;
}

constinit const PatchFileFormat BpsPatchFormat{
    .Label = "BPS patch (*.bps)",
    .Patterns = "*.bps",
    .Name = "bps",
    .Magic = "BPS1",
    .Build = &BuildBpsPatch,
    .Apply = &ApplyBpsPatch,
};
