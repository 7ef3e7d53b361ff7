// The NESticle savestate: 32 NES color indices
// at offset 22791 of a file of exactly 22992 bytes. See
// FuzzFixedSizeSavestate for the input and the checks.

#include "savestate_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const SavestateLayout layout{&NesticleSavestate,      22992, 22791, 32, StoredColor::Nes,
                                        {"NESticle STA palette"}};
    FuzzFixedSizeSavestate(data, size, layout);
    return 0;
}
