#include "model/tools/rom_patch.h"

#include "model/tools/bps_patch.h"
#include "model/tools/ips_patch.h"
#include "model/tools/patch_messages.h"

#include <array>
#include <string_view>

namespace {

// One line a format. A new format goes last, so the entries the user knows
// keep their places.
// clang-format off
constexpr std::array Formats{
    &IpsPatchFormat,
    &BpsPatchFormat,
};
// clang-format on

}  // namespace

std::span<const PatchFileFormat* const> PatchFileFormats()
{
    return Formats;
}

const PatchFileFormat* DetectPatchFormat(const std::uint8_t* patch, std::size_t size)
{
    const std::string_view start(reinterpret_cast<const char*>(patch), size);
    for (const PatchFileFormat* format : Formats)
        if (start.starts_with(format->Magic))
            return format;
    return nullptr;
}

PatchWrites ApplyPatch(const RomFile& file, const std::uint8_t* patch, std::size_t size)
{
    const PatchFileFormat* format = DetectPatchFormat(patch, size);
    if (!format) {
        PatchWrites refused;
        refused.Refusal = NotAPatchText;
        return refused;
    }
    return format->Apply(file, patch, size);
}

std::string CreatePatchFilter()
{
    std::string filter;
    for (const PatchFileFormat* format : Formats)
        filter.append(filter.empty() ? "" : "|").append(format->Label).append("|").append(format->Patterns);
    return filter;
}

std::string ApplyPatchFilter()
{
    std::string patterns;
    for (const PatchFileFormat* format : Formats)
        patterns.append(patterns.empty() ? "" : ";").append(format->Patterns);
    return "Patches (" + patterns + ")|" + patterns + "|All files (*.*)|*.*";
}

const PatchFileFormat& PatchFormatToCreate(int filterIndex)
{
    if (filterIndex < 1 || filterIndex > static_cast<int>(Formats.size()))
        return *Formats.front();
    return *Formats[static_cast<std::size_t>(filterIndex - 1)];
}
