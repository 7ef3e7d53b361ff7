#include "model/editor/pasted_picture.h"

#include "model/core/indexed_png.h"
#include "model/editor/editor_slots.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int CanvasSide = EditorColumns * TileSide;

// The palette window the mode's pixel values show.
std::vector<PackedColor> ShownColors(const WorkingPaletteTable& palette, int bitsPerPixel)
{
    const std::size_t shown = std::size_t{1} << std::clamp(bitsPerPixel, 1, 8);
    return {palette.begin(), palette.begin() + static_cast<std::ptrdiff_t>(shown)};
}

int CellLeft(int slot)
{
    return slot % EditorColumns * TileSide;
}

int CellTop(int slot)
{
    return slot / EditorColumns * TileSide;
}

// The top-left part of a picture, width x height.
RgbaImage CropRgba(const RgbaImage& picture, int width, int height)
{
    RgbaImage part;
    part.Width = width;
    part.Height = height;
    part.Pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto row = picture.Pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.Width;
        part.Pixels.insert(part.Pixels.end(), row, row + width);
    }
    return part;
}

// The fitting part of a palette picture with its colors looked up.
RgbaImage ColorsOf(const IndexedImage& png, int width, int height)
{
    RgbaImage part;
    part.Width = width;
    part.Height = height;
    part.Pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t index = png.Indices[static_cast<std::size_t>(y) * png.Width + x];
            const PackedColor color = index < png.Palette.size() ? png.Palette[index] : 0;
            part.Pixels.push_back({static_cast<std::uint8_t>(RedOf(color)), static_cast<std::uint8_t>(GreenOf(color)),
                                   static_cast<std::uint8_t>(BlueOf(color)), 255});
        }
    return part;
}

// Whether every index the fitting part uses is a pixel value of the mode
// and shows the working palette's color.
bool KeepsIndices(const IndexedImage& png, int width, int height, const std::vector<PackedColor>& shown)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t index = png.Indices[static_cast<std::size_t>(y) * png.Width + x];
            if (index >= shown.size() || index >= png.Palette.size() || png.Palette[index] != shown[index])
                return false;
        }
    return true;
}

}  // namespace

std::array<int, 2> PasteSizeAt(int slot, int width, int height)
{
    return {std::clamp(width, 0, CanvasSide - CellLeft(slot)), std::clamp(height, 0, CanvasSide - CellTop(slot))};
}

PastedPicture PasteFromRgba(const RgbaImage& picture, const WorkingPaletteTable& palette, int bitsPerPixel, int slot)
{
    const auto [width, height] = PasteSizeAt(slot, picture.Width, picture.Height);
    MappedPicture mapped = MapOntoPalette(CropRgba(picture, width, height), ShownColors(palette, bitsPerPixel));
    return {width, height, std::move(mapped.Indices), mapped.Match};
}

Loaded<PastedPicture> PasteFromPng(const std::vector<std::uint8_t>& bytes, const WorkingPaletteTable& palette,
                                   int bitsPerPixel, int slot)
{
    if (IsTruecolorPng(bytes)) {
        const Loaded<RgbaImage> png = DecodeRgbaPng(bytes);
        if (png.Error)
            return Refused<PastedPicture>(*png.Error);
        return Loaded<PastedPicture>{PasteFromRgba(png, palette, bitsPerPixel, slot), std::nullopt};
    }
    const Loaded<IndexedImage> png = DecodeIndexedPng(bytes);
    if (png.Error)
        return Refused<PastedPicture>(*png.Error);
    const auto [width, height] = PasteSizeAt(slot, png.Width, png.Height);
    const std::vector<PackedColor> shown = ShownColors(palette, bitsPerPixel);
    if (!KeepsIndices(png, width, height, shown))
        return Loaded<PastedPicture>{PasteFromRgba(ColorsOf(png, width, height), palette, bitsPerPixel, slot),
                                     std::nullopt};
    Loaded<PastedPicture> kept{};
    kept.Width = width;
    kept.Height = height;
    for (int y = 0; y < height; ++y) {
        const auto row = png.Indices.begin() + static_cast<std::ptrdiff_t>(y) * png.Width;
        kept.Indices.insert(kept.Indices.end(), row, row + width);
    }
    return kept;
}

std::vector<int> PasteIntoCells(EditorSlotTable& slots, int slot, const PastedPicture& picture)
{
    std::vector<bool> changed(EditorSlotCount, false);
    const int left = CellLeft(slot);
    const int top = CellTop(slot);
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x) {
            const int canvasX = left + x;
            const int canvasY = top + y;
            const int cell = SlotAt(canvasX / TileSide, canvasY / TileSide);
            slots[cell].Pixels[canvasY % TileSide * TileSide + canvasX % TileSide] =
                picture.Indices[static_cast<std::size_t>(y) * picture.Width + x];
            changed[cell] = true;
        }
    // A twin of a changed cell shows the same tile, so it changes too. Going
    // backwards, of two covered twins the later one's pixels win, as in
    // Save all.
    for (int cell = EditorSlotCount - 1; cell >= 0; --cell) {
        if (!changed[cell])
            continue;
        if (slots[cell].Address == EmptySlot)
            slots[cell].Address = UnboundTile;
        slots[cell].Edited = true;
        for (int twin : SyncTwins(slots, cell))
            changed[twin] = true;
    }
    std::vector<int> cells;
    for (int cell = 0; cell < EditorSlotCount; ++cell)
        if (changed[cell])
            cells.push_back(cell);
    return cells;
}

std::string PasteReport(const PastedPicture& picture, int cellCount)
{
    const std::string what = "Pasted " + std::to_string(picture.Width) + " x " + std::to_string(picture.Height) +
                             " pixels into " + std::to_string(cellCount) + (cellCount == 1 ? " cell: " : " cells: ");
    if (!picture.Match)
        return what + "the picture's color indices were kept";
    return what + ColorMatchText(*picture.Match, static_cast<std::int64_t>(picture.Width) * picture.Height);
}
