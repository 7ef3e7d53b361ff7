#include "model/browser/browser_nav.h"

#include "model/core/number_text.h"

#include <algorithm>
#include <cstdlib>

std::int32_t ScrolledAddress(std::int32_t fileLength, int lines, int columns, int bytesPerTile, int position,
                             int fineOffset)
{
    const std::int64_t rowBytes = static_cast<std::int64_t>(bytesPerTile) * columns;
    const std::int64_t span = fileLength - lines * rowBytes;
    const std::int64_t scaled = RoundHalfEven(static_cast<double>(span) / AddressScrollMax * position);
    const std::int64_t address = scaled / rowBytes * rowBytes + fineOffset;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(address, 0, INT32_MAX));
}

std::int32_t JumpAddress(std::string_view text, std::int32_t fileLength, int lines, int columns, int bytesPerTile)
{
    const double wanted = ReadLenientNumber(text);
    const std::int64_t limit = fileLength - static_cast<std::int64_t>(bytesPerTile) * columns * lines;
    const std::int64_t address = wanted <= static_cast<double>(limit) ? RoundHalfEven(wanted) : limit;
    return static_cast<std::int32_t>(std::max<std::int64_t>(address, 0));
}

GridPlace GridPlaceFor(std::int32_t address, std::int32_t fileLength, int lines, int columns, int bytesPerTile,
                       const TileLayout& layout)
{
    const std::int64_t tile = std::max(bytesPerTile, 1);
    const LayoutRows rows = LayoutRowsOf(layout, columns, lines);
    const std::int64_t gridTiles = static_cast<std::int64_t>(rows.LineTiles) * rows.Lines;
    const std::int64_t limit = fileLength - tile * gridTiles;
    const std::int64_t mostBack = std::min<std::int64_t>(address / tile, gridTiles - 1);
    std::int64_t back = 0;  // tiles the grid starts before the address
    if (address > limit)
        back = std::min<std::int64_t>((address - limit + tile - 1) / tile, mostBack);
    // Blocks cut by the grid's edge hide some of their tiles: when the tile
    // would be one of them the grid starts further back, or else less far
    // back (its end then reaches past the end of the file, as near the
    // start of a short file).
    auto visible = [&](std::int64_t index) {
        const GridPosition at = LayoutPositionOf(layout, columns, index);
        return at.Column < columns && at.Line < lines;
    };
    std::int64_t shown = back;
    while (shown <= mostBack && !visible(shown))
        ++shown;
    if (shown > mostBack)
        for (shown = back; shown > 0 && !visible(shown);)
            --shown;
    back = std::max<std::int64_t>(shown, 0);
    const GridPosition at = LayoutPositionOf(layout, columns, back);
    GridPlace place;
    place.Start = static_cast<std::int32_t>(address - back * tile);
    place.Column = at.Column;
    place.Line = at.Line;
    return place;
}

std::uint8_t ScrollStepsFor(int clientHeight)
{
    if (clientHeight <= 0)
        return 255;
    return static_cast<std::uint8_t>(std::min(AddressScrollMax / clientHeight, 255));
}

int ScrollKeyPosition(ScrollKey key, int position, int scrollSteps)
{
    const int pageSteps = 4 * scrollSteps;
    switch (key) {
    case ScrollKey::Up:
        position -= position > scrollSteps ? scrollSteps + 1 : 1;
        break;
    case ScrollKey::Down:
        position += position < AddressScrollMax - scrollSteps ? scrollSteps + 1 : 1;
        break;
    case ScrollKey::PageUp:
        position -= position > pageSteps ? pageSteps + 1 : 1;
        break;
    case ScrollKey::PageDown:
        position += position < AddressScrollMax - pageSteps ? pageSteps + 1 : 1;
        break;
    case ScrollKey::Home:
        position = 0;
        break;
    case ScrollKey::End:
        position = AddressScrollMax;
        break;
    }
    return std::clamp(position, 0, AddressScrollMax);
}

int StepFineOffset(int fineOffset, int delta, int bytesPerTile)
{
    const int next = fineOffset + delta;
    if (next < 0)
        return bytesPerTile;
    if (next > bytesPerTile)
        return 0;
    return next;
}

std::int32_t WheelAddress(std::int32_t address, int steps, std::int32_t fileLength, int lines, int columns,
                          int bytesPerTile)
{
    const std::int64_t rowBytes = static_cast<std::int64_t>(bytesPerTile) * columns;
    const std::int64_t wanted = address + steps * rowBytes;
    if (steps < 0)
        return static_cast<std::int32_t>(std::max<std::int64_t>(wanted, 0));
    const std::int64_t limit = fileLength - lines * rowBytes;
    const std::int64_t last = std::max<std::int64_t>(limit, address);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(wanted, 0, last));
}

int ScrollPositionFor(std::int32_t address, std::int32_t fileLength, int lines, int columns, int bytesPerTile,
                      int fineOffset)
{
    const std::int64_t rowBytes = static_cast<std::int64_t>(bytesPerTile) * columns;
    const std::int64_t span = fileLength - lines * rowBytes;
    if (span <= 0)
        return 0;
    const double estimate = static_cast<double>(address - fineOffset) / static_cast<double>(span) * AddressScrollMax;
    const int centre = std::clamp<int>(RoundHalfEven(estimate), 0, AddressScrollMax);
    // Scrolled addresses are cut down to whole lines, so the estimate can be
    // one line short: the best of its neighbours is taken.
    int best = centre;
    std::int64_t bestDistance = INT64_MAX;
    for (int position = std::max(centre - 2, 0); position <= std::min(centre + 2, AddressScrollMax); ++position) {
        const std::int64_t distance = std::abs(
            static_cast<std::int64_t>(ScrolledAddress(fileLength, lines, columns, bytesPerTile, position, fineOffset)) -
            address);
        if (distance < bestDistance) {
            best = position;
            bestDistance = distance;
        }
    }
    return best;
}
