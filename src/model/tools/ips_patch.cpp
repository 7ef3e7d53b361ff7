#include "model/tools/ips_patch.h"

#include "model/core/rom_file.h"
#include "model/tools/changed_runs.h"
#include "model/tools/patch_messages.h"
#include "model/tools/patch_writes.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace {

constexpr std::uint8_t Magic[] = {'P', 'A', 'T', 'C', 'H'};
constexpr std::uint8_t EndMarker[] = {'E', 'O', 'F'};

void AppendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendRecord(std::vector<std::uint8_t>& out, std::int64_t offset, const std::uint8_t* bytes, std::size_t size)
{
    AppendBigEndian(out, static_cast<std::uint32_t>(offset), 3);
    AppendBigEndian(out, static_cast<std::uint32_t>(size), 2);
    out.insert(out.end(), bytes, bytes + size);
}

std::uint32_t BigEndian(const std::uint8_t* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// A stretch of the patched file: a record's bytes in the patch, or one byte
// repeated. Later records cut into earlier ones, so each byte of the file
// belongs to at most one piece.
struct Piece {
    std::int64_t End = 0;
    bool Repeated = false;
    std::uint8_t Value = 0;
    std::size_t PatchPosition = 0;  // of the piece's first byte, unless repeated
};

using Pieces = std::map<std::int64_t, Piece>;

// The part of a piece from start on.
Piece Tail(std::int64_t pieceStart, Piece piece, std::int64_t start)
{
    if (!piece.Repeated)
        piece.PatchPosition += static_cast<std::size_t>(start - pieceStart);
    return piece;
}

void Lay(Pieces& pieces, std::int64_t start, const Piece& piece)
{
    const std::int64_t end = piece.End;
    auto it = pieces.lower_bound(start);
    if (it != pieces.begin()) {
        auto before = std::prev(it);
        if (before->second.End > start) {
            if (before->second.End > end)
                pieces.emplace(end, Tail(before->first, before->second, end));
            before->second.End = start;
        }
    }
    while (it != pieces.end() && it->first < end) {
        if (it->second.End > end)
            pieces.emplace(end, Tail(it->first, it->second, end));
        it = pieces.erase(it);
    }
    pieces[start] = piece;
}

PatchWrites Refused(std::string reason)
{
    PatchWrites result;
    result.Refusal = std::move(reason);
    return result;
}

}  // namespace

PatchFile BuildIpsPatch(const RomFile& file, const OriginalByteMap& originals)
{
    PatchFile result;
    ChangedRuns changed = FindChangedRuns(file, originals);
    if (!changed.Failure.empty()) {
        result.Refusal = changed.Failure;
        return result;
    }
    if (!changed.Runs.empty()) {
        const ChangedRun& last = changed.Runs.back();
        if (last.Offset + static_cast<std::int64_t>(last.Bytes.size()) > IpsAddressLimit) {
            result.Refusal = IpsBeyond16MiBText;
            return result;
        }
    }

    std::vector<std::uint8_t>& out = result.Bytes;
    out.assign(std::begin(Magic), std::end(Magic));
    for (const ChangedRun& run : changed.Runs) {
        const std::int64_t runEnd = run.Offset + static_cast<std::int64_t>(run.Bytes.size());
        for (std::int64_t at = run.Offset; at < runEnd;) {
            const std::uint8_t* bytes = run.Bytes.data() + (at - run.Offset);
            if (at != IpsEndMarkerOffset) {
                const auto size = static_cast<std::size_t>(std::min<std::int64_t>(runEnd - at, IpsMaxRecordLength));
                AppendRecord(out, at, bytes, size);
                at += static_cast<std::int64_t>(size);
                continue;
            }
            // A record offset of 0x454F46 would read as the end marker:
            // start one byte earlier, with that byte's current value.
            std::vector<std::uint8_t> record(1);
            if (at > run.Offset) {
                record[0] = bytes[-1];
            } else if (file.ReadAt(at - 1, record.data(), 1) != 1) {
                result.Bytes.clear();
                result.Refusal = PatchReadFailedText(file.Path());
                return result;
            }
            const auto size = static_cast<std::size_t>(std::min<std::int64_t>(runEnd - at, IpsMaxRecordLength - 1));
            record.insert(record.end(), bytes, bytes + size);
            AppendRecord(out, at - 1, record.data(), record.size());
            at += static_cast<std::int64_t>(size);
        }
    }
    out.insert(out.end(), std::begin(EndMarker), std::end(EndMarker));
    return result;
}

PatchWrites ApplyIpsPatch(const RomFile& file, const std::uint8_t* patch, std::size_t size)
{
    if (size < sizeof Magic || !std::equal(std::begin(Magic), std::end(Magic), patch))
        return Refused(NotAPatchText);
    const std::int64_t length = file.Length();
    Pieces pieces;
    std::size_t position = sizeof Magic;
    for (;;) {
        if (size - position < 3)
            return Refused(PatchTruncatedText);
        if (std::equal(std::begin(EndMarker), std::end(EndMarker), patch + position)) {
            position += 3;
            break;
        }
        if (size - position < 5)
            return Refused(PatchTruncatedText);
        const std::int64_t offset = BigEndian(patch + position, 3);
        const std::size_t count = BigEndian(patch + position + 3, 2);
        position += 5;
        Piece piece;
        if (count != 0) {
            if (size - position < count)
                return Refused(PatchTruncatedText);
            piece.PatchPosition = position;
            piece.End = offset + static_cast<std::int64_t>(count);
            position += count;
        } else {
            if (size - position < 3)
                return Refused(PatchTruncatedText);
            const std::size_t runLength = BigEndian(patch + position, 2);
            if (runLength == 0)
                return Refused(PatchMalformedText("a repeated run of no bytes"));
            piece.Repeated = true;
            piece.Value = patch[position + 2];
            piece.End = offset + static_cast<std::int64_t>(runLength);
            position += 3;
        }
        if (piece.End > length)
            return Refused(IpsPastEndText);
        Lay(pieces, offset, piece);
    }
    // What may follow the end marker: nothing, or the 3-byte length the
    // file is to be cut to, which is accepted only as the length it has.
    if (size - position == 3) {
        const std::int64_t cutTo = BigEndian(patch + position, 3);
        if (cutTo != length)
            return Refused(PatchLengthChangeText(length, cutTo));
    } else if (size != position) {
        return Refused(PatchMalformedText("data after the end marker"));
    }

    PatchWriteCollector collector(file);
    std::vector<std::uint8_t> run;
    for (const auto& [start, piece] : pieces) {
        const auto count = static_cast<std::size_t>(piece.End - start);
        bool read = false;
        if (piece.Repeated) {
            run.assign(count, piece.Value);
            read = collector.Add(start, run.data(), count);
        } else {
            read = collector.Add(start, patch + piece.PatchPosition, count);
        }
        if (!read)
            return Refused(PatchReadFailedText(file.Path()));
    }
    PatchWrites result;
    result.Writes = collector.TakeWrites();
    return result;
}

constinit const PatchFileFormat IpsPatchFormat{
    .Label = "IPS patch (*.ips)",
    .Patterns = "*.ips",
    .Name = "ips",
    .Magic = "PATCH",
    .Build = &BuildIpsPatch,
    .Apply = &ApplyIpsPatch,
};
