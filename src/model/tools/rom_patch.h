#pragma once

#include "model/tools/patch_file_format.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The patch formats, told apart by their first bytes, in the order of the
// save dialog's filter entries.
std::span<const PatchFileFormat* const> PatchFileFormats();

// The format whose magic the patch starts with; nullptr for none.
const PatchFileFormat* DetectPatchFormat(const std::uint8_t* patch, std::size_t size);

// The writes that apply a patch of any of the formats to the file as it is
// now; anything else is refused.
PatchWrites ApplyPatch(const RomFile& file, const std::uint8_t* patch, std::size_t size);

// "IPS patch (*.ips)|*.ips|BPS patch (*.bps)|*.bps": one entry a format.
std::string CreatePatchFilter();
// "Patches (*.ips;*.bps)|*.ips;*.bps|All files (*.*)|*.*".
std::string ApplyPatchFilter();

// The format of an entry of CreatePatchFilter (1-based, as
// FileChoice::FilterIndex); the first format for a position it does not
// list.
const PatchFileFormat& PatchFormatToCreate(int filterIndex);
