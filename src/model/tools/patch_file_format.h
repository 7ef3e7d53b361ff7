#pragma once

#include "model/core/original_bytes.h"
#include "model/tools/patch_result.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

class RomFile;

// One patch file format: its entry in the file dialogs, its name on the
// command line, the first bytes that tell its files apart, and how a patch
// is made and applied. Each format defines one of these in its own file;
// rom_patch.cpp lists them.
struct PatchFileFormat {
    std::string_view Label;     // "IPS patch (*.ips)"
    std::string_view Patterns;  // "*.ips"
    std::string_view Name;      // "ips"
    std::string_view Magic;     // "PATCH"

    // A patch of the ROM's changes since it was opened.
    PatchFile (*Build)(const RomFile& file, const OriginalByteMap& originals) = nullptr;
    // The writes that apply a patch of the format (magic included) to the
    // file as it is now.
    PatchWrites (*Apply)(const RomFile& file, const std::uint8_t* patch, std::size_t size) = nullptr;
};
