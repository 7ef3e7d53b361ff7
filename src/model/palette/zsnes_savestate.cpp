#include "model/palette/savestate_reading.h"
#include "model/palette/savestates.h"

namespace {

constexpr FixedSizeSavestate ZSnes{274047,
                                   "Not a ZSnes savestate.\rFilesize must be 274047 bytes.",
                                   {52243, 256, Conversion::Bgr15, "ZSnes palette", nullptr}};

}  // namespace

constinit const PaletteFileFormat ZSnesSavestate{
    .Label = "ZSnes Savestate (*.zs?)",
    .Patterns = "*.zs?",
    .Name = "zsnes",
    .ReadFile = &ReadFixedSizeSavestateFile<ZSnes>,
    .RoomBelow = MaxSetCount - 1,  // one set, but the room of two is asked for
};
