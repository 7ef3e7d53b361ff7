#include "model/tools/rom_patch.h"

#include "model/tools/bps_patch.h"
#include "model/tools/ips_patch.h"
#include "model/tools/patch_messages.h"

#include <string_view>

std::optional<PatchFormat> DetectPatchFormat(const std::uint8_t* patch, std::size_t size)
{
    const std::string_view start(reinterpret_cast<const char*>(patch), size);
    if (start.starts_with("PATCH"))
        return PatchFormat::Ips;
    if (start.starts_with("BPS1"))
        return PatchFormat::Bps;
    return std::nullopt;
}

PatchFile BuildPatch(PatchFormat format, const RomFile& file, const OriginalByteMap& originals)
{
    return format == PatchFormat::Ips ? BuildIpsPatch(file, originals) : BuildBpsPatch(file, originals);
}

PatchWrites ApplyPatch(const RomFile& file, const std::uint8_t* patch, std::size_t size)
{
    const auto format = DetectPatchFormat(patch, size);
    if (!format) {
        PatchWrites refused;
        refused.Refusal = NotAPatchText;
        return refused;
    }
    return *format == PatchFormat::Ips ? ApplyIpsPatch(file, patch, size) : ApplyBpsPatch(file, patch, size);
}
