#pragma once

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
