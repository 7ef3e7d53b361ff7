#include "model/editor/png_exchange.h"

#include "model/core/rgba_png.h"
#include "model/core/tile_sheet.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace {

constexpr int EditorSide = static_cast<int>(BmpImageSide);

UserMessage WrongSizeMessage(int width, int height)
{
    return {"The PNG picture is " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels; the editor takes 128 x 128.",
            "PNG image", MsgIcon::Critical};
}

// An 8 bits a pixel image of the size with every working palette color,
// all its indices 0.
IndexedImage EmptyPicture(int width, int height, const WorkingPaletteTable& palette)
{
    IndexedImage image;
    image.Width = width;
    image.Height = height;
    image.Palette.assign(palette.begin(), palette.end());
    image.BitDepth = 8;
    image.Indices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    return image;
}

}  // namespace

IndexedImage EditorPicture(const EditorSlotTable& slots, const WorkingPaletteTable& palette)
{
    IndexedImage image = EmptyPicture(EditorSide, EditorSide, palette);
    for (int slot = 0; slot < EditorSlotCount; ++slot)
        PasteTile(image.Indices, image.Width, slot, slots[slot].Pixels.data());
    return image;
}

IndexedImage BrowserGridPicture(const std::uint8_t* tilePixels, int columns, int lines,
                                const WorkingPaletteTable& palette)
{
    IndexedImage image = EmptyPicture(columns * TileSide, lines * TileSide, palette);
    for (int tile = 0; tile < columns * lines; ++tile)
        PasteTile(image.Indices, image.Width, tile,
                  tilePixels + static_cast<std::ptrdiff_t>(tile) * TileSide * TileSide);
    return image;
}

IndexedImage TilePicture(const std::uint8_t* tilePixels, const WorkingPaletteTable& palette)
{
    return BrowserGridPicture(tilePixels, 1, 1, palette);
}

namespace {

void CutCells(const std::vector<std::uint8_t>& indices, BmpPicture& picture)
{
    for (int slot = 0; slot < EditorSlotCount; ++slot)
        picture.Cells[slot] = CutTile(indices, EditorSide, slot);
}

Loaded<PngPictureContent> LoadIndexedPicture(const std::vector<std::uint8_t>& bytes, const WorkingPaletteTable& current)
{
    const Loaded<IndexedImage> png = DecodeIndexedPng(bytes);
    if (png.Error)
        return Refused<PngPictureContent>(*png.Error);
    if (png.Width != EditorSide || png.Height != EditorSide)
        return Refused<PngPictureContent>(WrongSizeMessage(png.Width, png.Height));
    Loaded<PngPictureContent> load{};
    load.Picture.Colors = current;
    std::copy_n(png.Palette.begin(), std::min(png.Palette.size(), load.Picture.Colors.size()),
                load.Picture.Colors.begin());
    CutCells(png.Indices, load.Picture);
    return load;
}

Loaded<PngPictureContent> LoadTruecolorPicture(const std::vector<std::uint8_t>& bytes,
                                               const WorkingPaletteTable& current, int bitsPerPixel,
                                               const std::string& modeName)
{
    const Loaded<RgbaImage> png = DecodeRgbaPng(bytes);
    if (png.Error)
        return Refused<PngPictureContent>(*png.Error);
    if (png.Width != EditorSide || png.Height != EditorSide)
        return Refused<PngPictureContent>(WrongSizeMessage(png.Width, png.Height));
    // The colors the mode's pixel values show.
    const std::size_t shown = std::size_t{1} << std::clamp(bitsPerPixel, 1, 8);
    const MappedPicture mapped = MapOntoPalette(png, {current.begin(), current.begin() + shown});
    Loaded<PngPictureContent> load{};
    load.Picture.Colors = current;
    CutCells(mapped.Indices, load.Picture);
    load.Match = mapped.Match;
    BuiltPalette built;
    if (auto refusal = BuildPaletteFromPicture(png, static_cast<int>(shown), modeName, built)) {
        load.NotBuilt = *refusal;
        return load;
    }
    BmpPicture& own = load.Built.emplace();
    own.Colors = current;
    for (std::size_t i = 0; i < built.Colors.size(); ++i)
        if (built.Colors[i])
            own.Colors[i] = *built.Colors[i];
    CutCells(built.Indices, own);
    return load;
}

}  // namespace

Loaded<PngPictureContent> LoadPngPicture(const std::string& path, const WorkingPaletteTable& current, int bitsPerPixel,
                                         const std::string& modeName)
{
    const Loaded<FileBytes> file = LoadFileBytes(path, PngFileRule);
    if (file.Error)
        return Refused<PngPictureContent>(*file.Error);
    if (IsTruecolorPng(file.Bytes))
        return LoadTruecolorPicture(file.Bytes, current, bitsPerPixel, modeName);
    return LoadIndexedPicture(file.Bytes, current);
}

std::optional<UserMessage> SavePngFile(const std::string& path, const IndexedImage& image)
{
    const auto failure = WriteIndexedPng(path, image);
    if (!failure)
        return std::nullopt;
    return UserMessage{"Could not save the PNG file '" + path + "': " + *failure + ".", "Saving failed",
                       MsgIcon::Critical};
}

constinit const ImageFileFormat PngImageFile{
    .Label = "PNG image (*.png)",
    .Patterns = "*.png",
    .Name = "png",
    .FileRead = PngFileRule,
    .Decode = &DecodeIndexedPng,
    .Encode = &EncodeIndexedPng,
};
