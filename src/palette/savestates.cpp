#include "palette/savestates.h"

#include "core/byte_order.h"
#include "core/file_io.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// How the stored values of a savestate become colors.
enum class Conversion {
    Nes,    // one byte, an index into the NES master colors
    Rgb15,  // a 15-bit word, red in the high bits
    Bgr15,  // a 15-bit word, red in the low bits
    Cygne,  // a 12-bit WonderSwan word
};

// Where a palette lies in the file and what it holds. A layout with a second
// description has two sets, the second right after the first.
struct PaletteLayout {
    std::int64_t Offset;
    int ColorCount;  // per set
    Conversion Kind;
    const char* FirstDescription;
    const char* SecondDescription;  // nullptr for a single set
};

// The savestates recognised by their exact size alone.
struct FixedSizeSavestate {
    PaletteFileFormat Format;
    std::int64_t FileSize;
    const char* SizeMessage;
    PaletteLayout Palette;
};

constexpr std::array<FixedSizeSavestate, 4> FixedSizeSavestates{{
    {PaletteFileFormat::Nesticle,
     22992,
     "Not a NESticle savestate.\rFilesize must be 22992 bytes.",
     {22791, 32, Conversion::Nes, "NESticle STA palette", nullptr}},
    {PaletteFileFormat::Vgba,
     509144,
     "Not a VGBA 1.0 savestate.\rFilesize must be 509144 bytes.",
     {312536, 256, Conversion::Rgb15, "VGBA OBJ palette", "VGBA BG palette"}},
    {PaletteFileFormat::ZSnes,
     274047,
     "Not a ZSnes savestate.\rFilesize must be 274047 bytes.",
     {52243, 256, Conversion::Bgr15, "ZSnes palette", nullptr}},
    {PaletteFileFormat::Cygne,
     135674,
     "Not a Cygne savestate.\rFilesize must be 135674 bytes.",
     {66120, 256, Conversion::Cygne, "Cygne palette", nullptr}},
}};

// No$gmb: a header and a minimum size instead of an exact one.
constexpr char NocashHeader[] = "no$gmb snapshot";
constexpr std::size_t NocashHeaderLength = sizeof(NocashHeader) - 1;
constexpr std::int64_t NocashMinimumSize = 1757;
constexpr PaletteLayout NocashPalette{1628, 64, Conversion::Rgb15, "No$gmb SNA palette", nullptr};

// Boycott Advance: the palette lies in the decompressed gzip stream.
constexpr PaletteLayout BoycottPalette{297421, 256, Conversion::Bgr15, "Boycott Advance OBJ palette",
                                       "Boycott Advance BG palette"};
constexpr unsigned BoycottSetBytes = 512;

PaletteLoad Refuse(const char* text, const char* caption, MsgIcon icon)
{
    PaletteLoad load;
    load.Error = UserMessage{text, caption, icon};
    return load;
}

PaletteLoad ReadFailure()
{
    return Refuse("Could not read the selected file.", "Loading process aborted", MsgIcon::Critical);
}

int SetCount(const PaletteLayout& layout)
{
    return layout.SecondDescription != nullptr ? 2 : 1;
}

std::size_t BytesPerColor(Conversion kind)
{
    return kind == Conversion::Nes ? 1 : 2;
}

std::size_t PaletteBytes(const PaletteLayout& layout)
{
    return static_cast<std::size_t>(SetCount(layout) * layout.ColorCount) * BytesPerColor(layout.Kind);
}

PackedColor ToColor(const std::uint8_t* value, Conversion kind, const NesColorTable& nesColors)
{
    switch (kind) {
    case Conversion::Nes:
        return ColToRGB(value[0], EncodingNes, nesColors);
    case Conversion::Rgb15:
        return ColToRGB(ReadLe16(value), EncodingRgb15, nesColors);
    case Conversion::Bgr15:
        return ColToRGB(ReadLe16(value), EncodingBgr15, nesColors);
    case Conversion::Cygne:
        return CygneToRGB(ReadLe16(value));
    }
    return 0;
}

// Turns the palette bytes into the layout's sets. Colors the bytes do not
// hold (a file that shrank after its size was checked) stay black.
PaletteLoad DecodeSets(const Bytes& bytes, const PaletteLayout& layout, const NesColorTable& nesColors)
{
    const std::size_t width = BytesPerColor(layout.Kind);
    PaletteLoad load;
    for (int set = 0; set < SetCount(layout); ++set) {
        ColorSetEntry entry;
        entry.Description = set == 0 ? layout.FirstDescription : layout.SecondDescription;
        for (int i = 0; i < layout.ColorCount; ++i) {
            const std::size_t at = (static_cast<std::size_t>(set * layout.ColorCount + i)) * width;
            if (at + width > bytes.size())
                break;
            entry.Colors[static_cast<std::size_t>(i)] = ToColor(bytes.data() + at, layout.Kind, nesColors);
        }
        load.Sets.push_back(std::move(entry));
    }
    return load;
}

PaletteLoad ReadPaletteAt(const std::string& path, const PaletteLayout& layout, const NesColorTable& nesColors)
{
    const auto bytes = ReadFileRange(path, layout.Offset, PaletteBytes(layout));
    if (!bytes)
        return ReadFailure();
    return DecodeSets(*bytes, layout, nesColors);
}

PaletteLoad ReadFixedSize(const std::string& path, const FixedSizeSavestate& savestate, const NesColorTable& nesColors)
{
    const auto size = FileSize(path);
    if (!size)
        return ReadFailure();
    if (*size != savestate.FileSize)
        return Refuse(savestate.SizeMessage, "Brixel", MsgIcon::None);
    return ReadPaletteAt(path, savestate.Palette, nesColors);
}

PaletteLoad ReadNocash(const std::string& path, const NesColorTable& nesColors)
{
    const auto size = FileSize(path);
    if (!size)
        return ReadFailure();
    if (*size < NocashMinimumSize)
        return Refuse("Not a No$gmb savestate.\rFilesize is too small.", "Brixel", MsgIcon::None);
    const auto header = ReadFileRange(path, 0, NocashHeaderLength);
    if (!header)
        return ReadFailure();
    if (header->size() != NocashHeaderLength || std::memcmp(header->data(), NocashHeader, NocashHeaderLength) != 0)
        return Refuse("Wrong header bytes", "Not a no$gmb palette file", MsgIcon::Critical);
    return ReadPaletteAt(path, NocashPalette, nesColors);
}

struct GzCloser {
    void operator()(gzFile file) const { gzclose(file); }
};

// zlib reads a plain file through the same calls, so an uncompressed
// savestate is accepted too. A short or failed read refuses the file: the
// buffer then holds bytes the stream never delivered.
PaletteLoad ReadBoycott(const std::string& path, const NesColorTable& nesColors)
{
    const PaletteLoad refused =
        Refuse("Not a Boycott Advance savestate.\rThe palette could not be read.", "Brixel", MsgIcon::None);
    // Opened here rather than by zlib, so a named pipe cannot make it wait.
    std::string cause;
    const int fd = OpenRegularFile(path, O_RDONLY, cause);
    if (fd < 0)
        return ::access(path.c_str(), F_OK) == 0 ? ReadFailure() : refused;
    const std::unique_ptr<gzFile_s, GzCloser> file(gzdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        return refused;
    }
    if (gzseek(file.get(), static_cast<z_off_t>(BoycottPalette.Offset), SEEK_SET) == -1)
        return refused;
    Bytes bytes(PaletteBytes(BoycottPalette));
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

PaletteLoad ReadSavestate(const std::string& path, PaletteFileFormat format, const NesColorTable& nesColors)
{
    if (format == PaletteFileFormat::Boycott)
        return ReadBoycott(path, nesColors);
    if (format == PaletteFileFormat::Nocash)
        return ReadNocash(path, nesColors);
    for (const auto& savestate : FixedSizeSavestates) {
        if (savestate.Format == format)
            return ReadFixedSize(path, savestate, nesColors);
    }
    return {};
}
