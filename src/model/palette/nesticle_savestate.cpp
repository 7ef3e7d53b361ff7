#include "model/palette/savestate_reading.h"
#include "model/palette/savestates.h"

namespace {

constexpr FixedSizeSavestate Nesticle{22992,
                                      "Not a NESticle savestate.\rFilesize must be 22992 bytes.",
                                      {22791, 32, Conversion::Nes, "NESticle STA palette", nullptr}};

}  // namespace

constinit const PaletteFileFormat NesticleSavestate{
    .Label = "NESticle Savestates (*.st?)",
    .Patterns = "*.st?",
    .Name = "nesticle",
    .ReadFile = &ReadFixedSizeSavestateFile<Nesticle>,
};
