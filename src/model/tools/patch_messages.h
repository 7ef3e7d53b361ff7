#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What the user is told when a patch cannot be made or applied.

inline const char* const IpsBeyond16MiBText =
    "The changes reach beyond the first 16 MiB of the file, which an IPS patch cannot address. "
    "Save the patch as BPS instead.";

inline const char* const NotAPatchText = "This file is neither an IPS patch nor a BPS patch, so nothing was written.";

inline const char* const PatchTruncatedText =
    "The patch file ends too early; it is incomplete, so nothing was written.";

inline const char* const PatchChecksumText =
    "The patch file is damaged: its own checksum does not match its contents, so nothing was written.";

inline const char* const PatchSourceChecksumText =
    "The patch was made for different file contents: the checksum of this file does not match the one "
    "the patch expects, so nothing was written.";

inline const char* const PatchTargetChecksumText =
    "Applying the patch does not give the file it was made for: the checksum of the result does not "
    "match, so nothing was written.";

inline const char* const IpsPastEndText =
    "The patch writes past the end of the file, which would change the file's length. "
    "Brixel never changes the length of a ROM, so nothing was written.";

inline std::string PatchMalformedText(const std::string& detail)
{
    return "The patch file is damaged (" + detail + "), so nothing was written.";
}

inline std::string PatchLengthChangeText(std::int64_t from, std::int64_t to)
{
    return "The patch turns a file of " + std::to_string(from) + " bytes into one of " + std::to_string(to) +
           " bytes. Brixel never changes the length of a ROM, so nothing was written.";
}

inline std::string PatchSourceSizeText(std::int64_t expected, std::int64_t actual)
{
    return "The patch was made for a file of " + std::to_string(expected) + " bytes, but this file has " +
           std::to_string(actual) + " bytes, so nothing was written.";
}

inline std::string PatchReadFailedText(const std::string& path)
{
    return "The file '" + path + "' could not be read to its end, so nothing was done.";
}

// What the Edit menu's patch and revert actions tell the user.

inline const char* const PatchCaption = "Patch";
inline const char* const RevertCaption = "Revert file";

inline const char* const PatchNoFileText = "No file is open, so there is no file to patch.";

inline const char* const PatchNoChangesText =
    "The file has not been changed since it was opened, so there is nothing to put in a patch.";

inline const char* const PatchChangesNothingText = "The patch changes nothing in this file; nothing was written.";

inline const char* const NothingToRevertText = "The file is as it was opened; there is nothing to revert.";

// Information line texts for a patch or revert that was refused while
// writing: the bytes written before were put back, or could not all be.
inline const char* const PatchNotAppliedText = "The patch was not applied; nothing in the file was changed.";
inline const char* const NothingRevertedText = "Nothing was reverted; nothing in the file was changed.";
inline const char* const PartlyWrittenText =
    "The file may be changed in part: not every byte written could be put back.";

inline const char* const PatchOutOfMemoryText =
    "There is not enough free memory to make the patch, so no patch was saved.";

inline std::string PatchTooLargeText(std::int64_t limit)
{
    return "The patch file is larger than " + std::to_string(limit) +
           " bytes, more than any patch for this file needs, so nothing was written.";
}

inline std::string PatchSaveFailedText(const std::string& path, const std::string& reason)
{
    return "Could not save the patch file '" + path + "': " + reason + ".";
}

inline std::string PatchWrittenText(const std::string& path, std::size_t size)
{
    return "Patch written to " + path + " (" + std::to_string(size) + " bytes)";
}

inline std::string PatchAppliedText(std::int64_t changed)
{
    return "Patch applied: " + std::to_string(changed) + " bytes changed";
}

inline std::string RevertedText(std::int64_t changed)
{
    return "Reverted " + std::to_string(changed) + " bytes to their values at the open";
}
