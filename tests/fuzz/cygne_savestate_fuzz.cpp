// The Cygne savestate: 256 12-bit WonderSwan words
// at offset 66120 of a file of exactly 135674 bytes. See
// FuzzFixedSizeSavestate for the input and the checks.

#include "savestate_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const SavestateLayout layout{&CygneSavestate, 135674, 66120, 256, StoredColor::Cygne, {"Cygne palette"}};
    FuzzFixedSizeSavestate(data, size, layout);
    return 0;
}
