#include "model/palette/savestate_reading.h"
#include "model/palette/savestates.h"

#include "model/core/file_descriptor.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <memory>

namespace {

// The palette lies in the decompressed gzip stream.
constexpr PaletteLayout BoycottPalette{297421, 256, Conversion::Bgr15, "Boycott Advance OBJ palette",
                                       "Boycott Advance BG palette"};
constexpr unsigned BoycottSetBytes = 512;

struct GzCloser {
    void operator()(gzFile file) const { gzclose(file); }
};

// zlib reads a plain file through the same calls, so an uncompressed
// savestate is accepted too. A short or failed read refuses the file: the
// buffer then holds bytes the stream never delivered.
PaletteLoad ReadBoycott(const std::string& path, const NesColorTable& nesColors)
{
    const PaletteLoad refused = RefusedSavestate("Not a Boycott Advance savestate.\rThe palette could not be read.");
    // Opened here rather than by zlib, so a named pipe cannot make it wait.
    std::string cause;
    const int fd = OpenRegularFile(path, O_RDONLY, cause);
    if (fd < 0)
        return ::access(path.c_str(), F_OK) == 0 ? Refused<PaletteSets>(FileUnreadableMessage) : refused;
    const std::unique_ptr<gzFile_s, GzCloser> file(gzdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        return refused;
    }
    if (gzseek(file.get(), static_cast<z_off_t>(BoycottPalette.Offset), SEEK_SET) == -1)
        return refused;
    std::vector<std::uint8_t> bytes(PaletteBytes(BoycottPalette));
    for (std::size_t done = 0; done < bytes.size(); done += BoycottSetBytes) {
        if (gzread(file.get(), bytes.data() + done, BoycottSetBytes) != static_cast<int>(BoycottSetBytes))
            return refused;
    }
    // Bit 15 of each word is no part of the color; the high byte holds it.
    for (std::size_t high = 1; high < bytes.size(); high += 2)
        bytes[high] &= 0x7F;
    return DecodeSets(bytes, BoycottPalette, nesColors);
}

}  // namespace

constinit const PaletteFileFormat BoycottSavestate{
    .Label = "Boycott Advanced Savestate (*.cot)",
    .Patterns = "*.cot",
    .Name = "boycott",
    .ReadFile = &ReadBoycott,
    .RoomBelow = MaxSetCount - 1,  // two sets
};
