#include "model/editor/bmp_exchange.h"

#include "model/core/byte_order.h"
#include "model/core/file_io.h"
#include "model/core/tile_sheet.h"

#include <algorithm>
#include <span>
#include <utility>

namespace {

const char* const WrongShapeText = "Only 128x128 pixel 256 colors BMP files can be imported.";

UserMessage InvalidMessage(const std::string& what)
{
    return {WrongShapeText, "Invalid " + what, MsgIcon::Critical};
}

BmpLoad Invalid(const std::string& what)
{
    return Refused<BmpFileContent>(InvalidMessage(what));
}

// A file of the wrong size is refused without being read, so a huge file
// never makes a huge buffer.
std::optional<UserMessage> RefuseSize(std::int64_t size)
{
    if (size != static_cast<std::int64_t>(BmpFileSize))
        return InvalidMessage("file size");
    return std::nullopt;
}

// File line 0 is the bottom line of the image.
int ImageLine(std::size_t fileLine)
{
    return static_cast<int>(BmpImageSide - 1 - fileLine);
}

// The header, the color table as blue, green, red, 0 (black past the colors
// given) and the pixels, bottom line first; pixelAt(x, y) counts y from the
// top.
template <typename PixelAt>
std::vector<std::uint8_t> BmpBytes(const BmpHeaderBytes& header, std::span<const PackedColor> colors, PixelAt pixelAt)
{
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.reserve(BmpFileSize);
    for (std::size_t i = 0; i < std::tuple_size_v<BmpPalette>; ++i) {
        const PackedColor color = i < colors.size() ? colors[i] : 0;
        bytes.push_back(static_cast<std::uint8_t>(BlueOf(color)));
        bytes.push_back(static_cast<std::uint8_t>(GreenOf(color)));
        bytes.push_back(static_cast<std::uint8_t>(RedOf(color)));
        bytes.push_back(0);
    }
    for (std::size_t line = 0; line < BmpImageSide; ++line)
        for (int x = 0; x < static_cast<int>(BmpImageSide); ++x)
            bytes.push_back(pixelAt(x, ImageLine(line)));
    return bytes;
}

constexpr int Side = static_cast<int>(BmpImageSide);

// The picture as an image of 128 x 128 indices and its 256 colors.
Loaded<IndexedImage> DecodeBmp(const std::vector<std::uint8_t>& bytes)
{
    const BmpLoad load = ReadBmpFile(BuildBmpHeader(), bytes);
    if (load.Error)
        return Refused<IndexedImage>(*load.Error);
    Loaded<IndexedImage> image{};
    image.Width = Side;
    image.Height = Side;
    image.Palette.assign(load.Picture.Colors.begin(), load.Picture.Colors.end());
    image.Indices.reserve(BmpImageSide * BmpImageSide);
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            const CellPixel at = CellPixelAt(x, y);
            image.Indices.push_back(load.Picture.Cells[at.Cell][at.Entry]);
        }
    return image;
}

// The one shape the format holds: 128 x 128 pixels with at most 256 colors.
std::vector<std::uint8_t> EncodeBmp(const IndexedImage& image, std::string* reason)
{
    const bool fits = image.Width == Side && image.Height == Side &&
                      image.Indices.size() == BmpImageSide * BmpImageSide &&
                      image.Palette.size() <= std::tuple_size_v<BmpPalette>;
    if (!fits) {
        if (reason)
            *reason = "a BMP file holds a picture of 128 x 128 pixels with at most 256 colors; this one is " +
                      std::to_string(image.Width) + " x " + std::to_string(image.Height) + " pixels with " +
                      std::to_string(image.Palette.size()) + " colors";
        return {};
    }
    return BmpBytes(BuildBmpHeader(), image.Palette,
                    [&](int x, int y) { return image.Indices[static_cast<std::size_t>(y * Side + x)]; });
}

}  // namespace

BmpHeaderBytes BuildBmpHeader()
{
    BmpHeaderBytes header{};
    header[0] = 'B';
    header[1] = 'M';
    WriteLe32(&header[2], BmpFileSize);
    // Offsets 6 and 8: two reserved 16-bit fields, 0.
    WriteLe32(&header[10], BmpPixelOffset);
    WriteLe32(&header[14], 40);  // size of the info header
    WriteLe32(&header[18], BmpImageSide);
    WriteLe32(&header[22], BmpImageSide);  // positive: bottom line first
    WriteLe16(&header[26], 1);             // planes
    WriteLe16(&header[28], 8);             // bits per pixel
    WriteLe32(&header[30], 0);             // no compression
    WriteLe32(&header[34], BmpImageSide * BmpImageSide);
    WriteLe32(&header[38], 0);  // resolutions
    WriteLe32(&header[42], 0);
    WriteLe32(&header[46], 256);  // colors used
    WriteLe32(&header[50], 256);  // important colors
    return header;
}

CellPixel CellPixelAt(int x, int y)
{
    const SheetPixel at = SheetPixelAt(x, y, EditorColumns);
    return {at.Tile, at.Entry};
}

std::vector<std::uint8_t> BuildBmpFile(const BmpHeaderBytes& header, const EditorSlotTable& slots,
                                       const BmpPalette& palette)
{
    return BmpBytes(header, palette, [&](int x, int y) {
        const CellPixel at = CellPixelAt(x, y);
        return slots[at.Cell].Pixels[at.Entry];
    });
}

BmpLoad ReadBmpFile(const BmpHeaderBytes& header, const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() != BmpFileSize)
        return Invalid("file size");
    if (!std::equal(header.begin(), header.begin() + BmpComparedHeaderBytes, bytes.begin()))
        return Invalid("header");
    BmpLoad load{};
    const std::uint8_t* entry = bytes.data() + BmpHeaderSize;
    for (PackedColor& color : load.Picture.Colors) {
        color = MakePackedColor(entry[2], entry[1], entry[0]);
        entry += 4;
    }
    const std::uint8_t* pixel = bytes.data() + BmpPixelOffset;
    for (std::size_t line = 0; line < BmpImageSide; ++line)
        for (int x = 0; x < static_cast<int>(BmpImageSide); ++x) {
            const CellPixel at = CellPixelAt(x, ImageLine(line));
            load.Picture.Cells[at.Cell][at.Entry] = *pixel++;
        }
    return load;
}

BmpLoad LoadBmpFile(const BmpHeaderBytes& header, const std::string& path)
{
    const Loaded<FileBytes> file = LoadFileBytes(path, {.ReadLimit = BmpFileSize, .RefuseSize = &RefuseSize});
    if (file.Error)
        return Refused<BmpFileContent>(*file.Error);
    // The reader checks the size again, in case the file shrank meanwhile.
    return ReadBmpFile(header, file.Bytes);
}

void StoreBmpPicture(const BmpPicture& picture, EditorSlotTable& slots, BmpPalette& palette)
{
    palette = picture.Colors;
    for (int i = 0; i < EditorSlotCount; ++i) {
        EditorSlot& slot = slots[i];
        slot.Pixels = picture.Cells[i];
        const bool blank = std::all_of(slot.Pixels.begin(), slot.Pixels.end(), [](std::uint8_t p) { return p == 0; });
        slot.Address = blank ? EmptySlot : UnboundTile;
        slot.Mode.reset();
        // Imported pixels come from no file address.
        slot.Edited = !blank;
    }
}

std::optional<UserMessage> SaveBmpFile(const std::string& path, const BmpHeaderBytes& header,
                                       const EditorSlotTable& slots, const BmpPalette& palette)
{
    const auto failure = WriteFileAtomically(path, BuildBmpFile(header, slots, palette));
    if (!failure)
        return std::nullopt;
    return UserMessage{"Could not save the BMP file '" + path + "': " + *failure + ".", "Saving failed",
                       MsgIcon::Critical};
}

constinit const ImageFileFormat BmpImageFile{
    .Label = "Bitmap file 128x128x256 colors (*.BMP)",
    .Patterns = "*.bmp",
    .Name = "bmp",
    .FileRead = {.ReadLimit = BmpFileSize, .RefuseSize = &RefuseSize},
    .Decode = &DecodeBmp,
    .Encode = &EncodeBmp,
};
