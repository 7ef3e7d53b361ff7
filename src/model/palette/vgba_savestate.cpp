#include "model/palette/savestate_reading.h"
#include "model/palette/savestates.h"

namespace {

constexpr FixedSizeSavestate Vgba{509144,
                                  "Not a VGBA 1.0 savestate.\rFilesize must be 509144 bytes.",
                                  {312536, 256, Conversion::Rgb15, "VGBA OBJ palette", "VGBA BG palette"}};

}  // namespace

constinit const PaletteFileFormat VgbaSavestate{
    .Label = "VGBA 1.0 Savestates (*.sta)",
    .Patterns = "*.sta",
    .Name = "vgba",
    .ReadFile = &ReadFixedSizeSavestateFile<Vgba>,
    .RoomBelow = MaxSetCount - 1,  // two sets
};
