#pragma once

#include "model/core/original_bytes.h"
#include "model/tools/patch_result.h"

#include <cstddef>
#include <cstdint>
#include <optional>

class RomFile;

// The patch formats, told apart by their first bytes.
enum class PatchFormat { Ips, Bps };

std::optional<PatchFormat> DetectPatchFormat(const std::uint8_t* patch, std::size_t size);

// A patch of the ROM's changes since it was opened, in the given format.
PatchFile BuildPatch(PatchFormat format, const RomFile& file, const OriginalByteMap& originals);

// The writes that apply an IPS or BPS patch to the file as it is now;
// anything else is refused.
PatchWrites ApplyPatch(const RomFile& file, const std::uint8_t* patch, std::size_t size);
