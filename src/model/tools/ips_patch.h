#pragma once

#include "model/core/original_bytes.h"
#include "model/tools/patch_file_format.h"
#include "model/tools/patch_result.h"

#include <cstddef>
#include <cstdint>

class RomFile;

// IPS patches: "PATCH", then records of a 3-byte big-endian offset, a 2-byte
// big-endian length and that many bytes, then "EOF". A record of length 0 is a
// run: a 2-byte length and the one byte repeated.

inline constexpr std::int64_t IpsAddressLimit = 0x1000000;    // 16 MiB
inline constexpr std::int64_t IpsEndMarkerOffset = 0x454F46;  // reads as "EOF"
inline constexpr std::size_t IpsMaxRecordLength = 0xFFFF;

// A patch of every byte of the file whose current value differs from its
// original, one record per run (runs longer than a record holds are split).
// Refused when a changed byte lies at or beyond 16 MiB.
PatchFile BuildIpsPatch(const RomFile& file, const OriginalByteMap& originals);

// The writes that apply an IPS patch (magic included) to the file as it is
// now; records apply in order, a later one over an earlier one. Refused when a
// record reaches past the end of the file, as that would change its length.
PatchWrites ApplyIpsPatch(const RomFile& file, const std::uint8_t* patch, std::size_t size);

// The format for the patch list.
extern const PatchFileFormat IpsPatchFormat;
