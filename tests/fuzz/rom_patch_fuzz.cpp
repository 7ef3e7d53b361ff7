// ApplyPatch on a small ROM with a fuzzed patch, and the IPS and BPS
// builders on fuzzed changes. Input: the ROM's length (2 bytes,
// little-endian, at most 4096; fewer bytes when the input ends), the ROM's
// bytes, then the patch.
//
// Checks: a refusal has a reason and no writes; the IPS and BPS appliers of
// tests/tools/reference_patch.cpp accept exactly when the program does (an
// IPS whose records pass the end and whose cut length brings the file back
// is the one case the program refuses and the reference does not), and the
// file after the program's writes is the reference's; the writes are
// ascending, separate, inside the file and hold only bytes that differ. Then
// the patch's bytes, read as (offset, value) pairs, change the ROM; the IPS
// and BPS patches of those changes rebuild the changed file with both
// appliers. A BPS patch is also tried with its checksums set right, so its
// actions are reached.

#include "fuzz_support.h"
#include "model/core/byte_order.h"
#include "model/core/rom_file.h"
#include "model/tools/bps_patch.h"
#include "model/tools/ips_patch.h"
#include "model/tools/patch_messages.h"
#include "model/tools/rom_patch.h"
#include "tools/reference_patch.h"

#include <zlib.h>

#include <algorithm>

namespace {

constexpr std::size_t MaxRom = 4096;
constexpr std::size_t MaxChanges = 64;

void CheckWrites(const PatchWrites& result, const Bytes& rom)
{
    std::int64_t previousEnd = -1;
    for (const PatchWrite& write : result.Writes) {
        CHECK(!write.Bytes.empty());
        CHECK(write.Offset > previousEnd);
        previousEnd = write.Offset + static_cast<std::int64_t>(write.Bytes.size());
        CHECK(previousEnd <= static_cast<std::int64_t>(rom.size()));
        for (std::size_t i = 0; i < write.Bytes.size(); ++i)
            CHECK(write.Bytes[i] != rom[static_cast<std::size_t>(write.Offset) + i]);
    }
}

// The file after the program applied the patch to a fresh copy of rom.
Bytes AppliedCopy(const Bytes& rom, const Bytes& patch, PatchWrites& result)
{
    const std::string path = WriteTempFile("copy.bin", rom);
    RomFile file;
    CHECK(file.Open(path).Opened());
    result = ApplyPatch(file, patch.data(), patch.size());
    CHECK(result.Accepted() == result.Refusal.empty());
    CHECK(result.Accepted() || result.Writes.empty());
    CheckWrites(result, rom);
    for (const PatchWrite& write : result.Writes)
        CHECK(static_cast<bool>(file.WriteAt(write.Offset, write.Bytes.data(), write.Bytes.size())));
    return FileContents(path);
}

// The patch with the checksum at end - back set to the CRC32 of bytes, and
// its own checksum set right.
Bytes WithChecksum(Bytes patch, std::size_t back, const Bytes& bytes)
{
    WriteLe32(&patch[patch.size() - back],
              static_cast<std::uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size()))));
    WriteLe32(&patch[patch.size() - 4],
              static_cast<std::uint32_t>(crc32(0, patch.data(), static_cast<uInt>(patch.size() - 4))));
    return patch;
}

PatchWrites CheckApply(const Bytes& rom, const Bytes& patch)
{
    PatchWrites result;
    const Bytes after = AppliedCopy(rom, patch, result);
    const auto format = DetectPatchFormat(patch.data(), patch.size());
    if (!format) {
        CHECK(result.Refusal == NotAPatchText);
        return result;
    }
    const auto reference = format == &IpsPatchFormat ? ReferenceApplyIps(rom, patch) : ReferenceApplyBps(rom, patch);
    const bool referenceAccepts = reference && reference->size() == rom.size();
    if (result.Accepted()) {
        CHECK(referenceAccepts);
        CHECK(after == *reference);
    } else {
        CHECK(after == rom);
        CHECK(!referenceAccepts || (format == &IpsPatchFormat && result.Refusal == IpsPastEndText));
    }
    return result;
}

// A fuzzed BPS patch rarely has right checksums, which stop it before its
// actions. So it is tried again with the source checksum and its own set
// right, and then with the result checksum of the target the reference
// makes, which the program must then accept with the same result.
void CheckBpsActions(const Bytes& rom, const Bytes& patch)
{
    if (DetectPatchFormat(patch.data(), patch.size()) != &BpsPatchFormat || patch.size() < 16)
        return;
    const Bytes reachingActions = WithChecksum(patch, 12, rom);
    CheckApply(rom, reachingActions);
    const auto target = ReferenceBpsTarget(rom, reachingActions);
    if (!target || target->size() != rom.size())
        return;
    const Bytes right = WithChecksum(reachingActions, 8, *target);
    CHECK(CheckApply(rom, right).Accepted());
}

void CheckBuild(const Bytes& rom, const Bytes& changes)
{
    if (rom.empty())
        return;
    const std::string path = WriteTempFile("edited.bin", rom);
    RomFile file;
    CHECK(file.Open(path).Opened());
    OriginalByteMap originals;
    Bytes current = rom;
    for (std::size_t i = 0; i + 3 <= changes.size() && i < 3 * MaxChanges; i += 3) {
        const std::size_t offset = ReadLe16(&changes[i]) % rom.size();
        originals.Record(static_cast<std::int64_t>(offset), rom[offset]);
        current[offset] = changes[i + 2];
        CHECK(static_cast<bool>(file.WriteAt(static_cast<std::int64_t>(offset), &changes[i + 2], 1)));
    }
    for (const PatchFileFormat* format : PatchFileFormats()) {
        const PatchFile patch = format->Build(file, originals);
        CHECK(patch.Made());
        const auto reference =
            format == &IpsPatchFormat ? ReferenceApplyIps(rom, patch.Bytes) : ReferenceApplyBps(rom, patch.Bytes);
        CHECK(reference && *reference == current);
        PatchWrites result;
        CHECK(AppliedCopy(rom, patch.Bytes, result) == current);
        CHECK(result.Accepted());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::size_t romSize = size >= 2 ? std::min<std::size_t>(ReadLe16(data), MaxRom) : 0;
    const std::size_t romStart = std::min<std::size_t>(size, 2);
    romSize = std::min(romSize, size - romStart);
    const Bytes rom(data + romStart, data + romStart + romSize);
    const Bytes patch(data + romStart + romSize, data + size);
    CheckApply(rom, patch);
    CheckBpsActions(rom, patch);
    CheckBuild(rom, patch);
    return 0;
}
