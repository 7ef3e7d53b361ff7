#include "model/palette/savestate_reading.h"
#include "model/palette/savestates.h"

namespace {

constexpr FixedSizeSavestate Cygne{135674,
                                   "Not a Cygne savestate.\rFilesize must be 135674 bytes.",
                                   {66120, 256, Conversion::Cygne, "Cygne palette", nullptr}};

}  // namespace

constinit const PaletteFileFormat CygneSavestate{
    .Label = "Cygne Savestate (*.wss)",
    .Patterns = "*.wss",
    .Name = "cygne",
    .ReadFile = &ReadFixedSizeSavestateFile<Cygne>,
    .RoomBelow = MaxSetCount - 1,  // one set, but the room of two is asked for
};
