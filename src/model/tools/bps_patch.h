#pragma once

#include "model/core/original_bytes.h"
#include "model/tools/patch_file_format.h"
#include "model/tools/patch_result.h"

#include <cstddef>
#include <cstdint>

class RomFile;

// BPS patches: "BPS1", source size, target size and metadata size as BPS
// numbers, the metadata, the actions, then the CRC32 of the source, of the
// target and of the patch before these last four bytes, each little-endian.
// An action is the number ((length - 1) << 2) | kind; the copies follow it
// with a relative offset whose bit 0 is the sign.

enum class BpsAction : std::uint8_t { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

// A patch from the file as it was opened (the current file with the original
// bytes put back) to the file as it is now: the unchanged stretches are read
// from the source, the changed runs given in the patch.
PatchFile BuildBpsPatch(const RomFile& file, const OriginalByteMap& originals);

// The writes that apply a BPS patch to the file as it is now. Refused when
// the patch's own checksum is wrong, when it was made for a file of another
// size or other contents, when it would change the file's length, when it
// is malformed, or when the result's checksum is not the one it names.
PatchWrites ApplyBpsPatch(const RomFile& file, const std::uint8_t* patch, std::size_t size);

// The format for the patch list.
extern const PatchFileFormat BpsPatchFormat;
