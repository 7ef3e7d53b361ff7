// The ZSnes savestate: 256 15-bit SNES (BGR) words
// at offset 52243 of a file of exactly 274047 bytes. See
// FuzzFixedSizeSavestate for the input and the checks.

#include "savestate_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const SavestateLayout layout{&ZSnesSavestate, 274047, 52243, 256, StoredColor::Bgr15, {"ZSnes palette"}};
    FuzzFixedSizeSavestate(data, size, layout);
    return 0;
}
