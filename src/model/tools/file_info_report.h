#pragma once

#include "model/core/dialogs.h"
#include "model/core/rom_file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The texts of the file info window and the Gameboy global checksum: its
// sum, the progress captions of its repair and the write of its two bytes.

// Gameboy cartridge header fields (file offsets).
inline constexpr std::int64_t GameBoyTitleOffset = 308;  // 0x134
inline constexpr std::size_t GameBoyTitleLength = 15;
inline constexpr std::int64_t GameBoyChecksumOffset = 334;  // 0x14E, most significant byte first
// The checksum bytes end here: a shorter file has no room for them.
inline constexpr std::int32_t GameBoyHeaderEnd = 336;

// What a label shows for header bytes the file does not hold.
inline constexpr const char* NotAvailableText = "n/a";

inline constexpr const char* RepairChecksumCaption = "Repair checksum";
inline constexpr const char* CalculatingCaption = "Calculating, please wait...";

inline constexpr const char* ChecksumWriteFailedText = "Could not write checksum to file.";
inline constexpr const char* ChecksumWriteFailedCaption = "Error while saving";
inline constexpr const char* ChecksumNotRepairedCaption = "Checksum not repaired";
inline constexpr const char* ChecksumFileTooShortText =
    "The file is shorter than 336 bytes, so it has no Gameboy header to hold the checksum.\rNothing was written.";
inline constexpr const char* ChecksumReadFailedText =
    "The file could not be read to its end, so the checksum could not be computed.\rNothing was written.";

// "1.5 MB (1572864 bytes )": megabytes cut (not rounded) to two decimals.
std::string LengthText(std::int64_t length);

// File-system attributes as the report names them.
struct FileAttributes {
    bool ReadOnly = false;
    bool Hidden = false;
    bool System = false;
    bool Archive = false;
};

// On Linux: read-only when the user may not write the file, hidden when its
// name starts with a dot; there are no system or archive attributes.
FileAttributes ReadFileAttributes(const std::string& path);

// Five lines joined by carriage returns: "File is..." then one line per
// attribute, "...not " before the words of an absent one.
std::string AttributesText(const FileAttributes& attributes);

// The 15 title bytes at 308 as 8-bit characters; as many as the file holds,
// "n/a" when it holds none of them.
std::string RomTitleText(const RomFile& file);

// The stored checksum in upper-case hexadecimal without leading zeros;
// "n/a" unless the file holds both bytes.
std::string StoredChecksumText(const RomFile& file);

// The header checksum at 0x14D as stored and as computed over 0x134-0x14C
// (x = x - byte - 1), two upper-case hexadecimal digits each; both "n/a"
// when the file does not hold them.
struct HeaderChecksum {
    std::string Stored;
    std::string Computed;
};
HeaderChecksum HeaderChecksumTexts(const RomFile& file);

// Two lines joined by a carriage return, for below the stored checksum: the
// header and the global checksum as computed over the file's length bytes,
// each with whether the stored one matches ("Header checksum: computed E7,
// matches", "Global checksum: computed 3A7F, stored 1234, does not match");
// "n/a" after the name when the file does not hold the stored checksum.
std::string ChecksumCheckText(const RomFile& file, std::int32_t length);

// One caption change of the repair: after the byte at Offset was added.
struct ChecksumProgress {
    std::int32_t Offset = 0;
    std::string Caption;
};

// Every caption change of a repair over a file of this length, in order.
// Step = length / 100; the percent rises where the offset meets the next
// mark. Offsets 334 and 335 are not tested, so a mark landing there stops
// the progress for good; step 0 rises once, at offset 0. The header part
// (offsets up to 333) writes "(n%)" without a space, the rest " (n%)".
std::vector<ChecksumProgress> ChecksumProgressSteps(std::int32_t length);

struct ChecksumSum {
    bool Complete = false;  // false when the file delivered fewer than length bytes
    std::uint16_t Sum = 0;
};

using ChecksumProgressReport = std::function<void(const ChecksumProgress&)>;

inline constexpr std::size_t ChecksumBlockSize = std::size_t{1} << 20;

// Sums bytes 0 .. length-1 except 334 and 335, modulo 65536, reading
// blockSize bytes at a time. progress (may be empty) is called with each
// entry of ChecksumProgressSteps(length) once its byte has been added.
ChecksumSum SumGameBoyRom(const RomFile& file, std::int32_t length, const ChecksumProgressReport& progress,
                          std::size_t blockSize = ChecksumBlockSize);

// Writes the sum at 334, most significant byte first, with one write of
// both bytes: either both are written or neither.
RomWriteResult WriteGameBoyChecksum(RomFile& file, std::uint16_t sum);

// The refusal of a file too short to hold the checksum's two bytes.
UserMessage ChecksumTooShortMessage();

// The checksum repair of a file of length bytes: too short a file is
// refused, then the sum is taken (progress reported as SumGameBoyRom does)
// and written. Returns the message to show; none when the sum was written.
std::optional<UserMessage> RepairGameBoyChecksum(RomFile& file, std::int32_t length,
                                                 const ChecksumProgressReport& progress);

// The same with the sum already taken over length bytes (SumGameBoyRom),
// so the file is read once: too short a file is refused, an incomplete sum
// is not written.
std::optional<UserMessage> RepairGameBoyChecksumFromSum(RomFile& file, std::int32_t length, const ChecksumSum& sum);
