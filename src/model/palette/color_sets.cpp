#include "model/palette/color_sets.h"

#include "model/core/number_text.h"

#include <algorithm>
#include <utility>

bool AddSet(ColorSetList& list, const Palette256& colors, const std::string& description)
{
    if (list.SetCount >= MaxSetCount)
        return false;
    ColorSetEntry& entry = list.ColorSets[list.SetCount];
    entry.Colors = colors;
    entry.Description = description;
    ++list.SetCount;
    return true;
}

void DeleteSelectedSet(ColorSetList& list)
{
    if (list.SetCount == 0)
        return;
    std::swap(list.ColorSets[list.SelectedSet], list.ColorSets[list.SetCount - 1]);
    --list.SetCount;
}

void AppendSets(ColorSetList& list, const std::vector<ColorSetEntry>& sets)
{
    for (const ColorSetEntry& entry : sets)
        AddSet(list, entry.Colors, entry.Description);
}

void StoreLoadedSets(ColorSetList& list, const std::vector<ColorSetEntry>& sets, bool replacesList)
{
    if (!replacesList) {
        AppendSets(list, sets);
        return;
    }
    if (sets.empty())
        return;
    list.SetCount = 0;
    AppendSets(list, sets);
    list.SelectedSet = std::min<std::uint8_t>(list.SelectedSet, list.SetCount - 1);
}

Palette256 RandomColors(std::mt19937& random)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto channel = [&] { return std::min(RoundHalfEven(unit(random) * 256), 255); };
    Palette256 colors{};
    for (PackedColor& color : colors) {
        const int blue = channel();
        const int green = channel();
        const int red = channel();
        color = MakePackedColor(red, green, blue);
    }
    return colors;
}
