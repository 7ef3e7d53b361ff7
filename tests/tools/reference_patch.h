#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// IPS and BPS appliers written straight from the format descriptions, byte by
// byte on whole buffers, sharing nothing with the program's own code. They
// check the program's patches and appliers.

using PatchBytes = std::vector<std::uint8_t>;

// CRC-32 (reflected polynomial 0xEDB88320), from its own table.
std::uint32_t ReferenceCrc32(const PatchBytes& bytes, std::size_t size);

// The file after the patch: records may make it longer, and the 3-byte length
// after "EOF" cuts or extends it. Nothing for a malformed patch (a record or
// the end marker cut short, a run of length 0, other data after "EOF").
std::optional<PatchBytes> ReferenceApplyIps(PatchBytes file, const PatchBytes& patch);

// The target the patch makes from source, with every check but the one of
// the target's checksum.
std::optional<PatchBytes> ReferenceBpsTarget(const PatchBytes& source, const PatchBytes& patch);

// The target the patch makes from source. Nothing for a malformed patch, a
// wrong source size, or any of the three checksums wrong.
std::optional<PatchBytes> ReferenceApplyBps(const PatchBytes& source, const PatchBytes& patch);
