#include "model/palette/working_palette.h"

#include "model/core/number_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

int WrappedPlaces(int count)
{
    return ((count % 256) + 256) % 256;
}

int ClampToGrid(double position, int extent)
{
    const int pixel = RoundHalfEven(position);
    return std::clamp(pixel, 0, std::max(extent - 2, 0));
}

}  // namespace

void ShiftPaletteLeft(WorkingPaletteTable& palette, int count)
{
    std::rotate(palette.begin(), palette.begin() + WrappedPlaces(count), palette.end());
}

void ShiftPaletteRight(WorkingPaletteTable& palette, int count)
{
    std::rotate(palette.begin(), palette.end() - WrappedPlaces(count), palette.end());
}

int NextPaletteColumns(int columns)
{
    switch (columns) {
    case 16:
        return 2;
    case 4:
        return 16;
    default:
        return 4;
    }
}

int NextShiftCount(int count)
{
    return count == 16 ? 1 : count * 2;
}

int ShiftCountForBits(int bitsPerPixel)
{
    return bitsPerPixel < 5 ? 1 << std::max(bitsPerPixel, 0) : 16;
}

int PaletteCellAt(double x, double y, int columns, int drawWidth, int drawHeight)
{
    if (columns <= 0)
        return 0;
    const int cell = std::max(drawWidth / columns, 1);
    const int column = ClampToGrid(x, drawWidth) / cell;
    const int row = ClampToGrid(y, drawHeight) / cell;
    return column + row * columns;
}
