// The VGBA 1.0 savestate: two sets of 256 15-bit RGB words
// at offset 312536 of a file of exactly 509144 bytes. See
// FuzzFixedSizeSavestate for the input and the checks.

#include "savestate_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const SavestateLayout layout{
        &VgbaSavestate, 509144, 312536, 256, StoredColor::Rgb15, {"VGBA OBJ palette", "VGBA BG palette"}};
    FuzzFixedSizeSavestate(data, size, layout);
    return 0;
}
