#pragma once

#include "model/core/color_set_list.h"

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Appends a set; false (and nothing changes) when the list is full.
bool AddSet(ColorSetList& list, const Palette256& colors, const std::string& description);

// The selected set and the last set change places and the count drops by
// one; the selection stays where it was.
void DeleteSelectedSet(ColorSetList& list);

// Appends the sets that fit (AddSet, one after the other).
void AppendSets(ColorSetList& list, const std::vector<ColorSetEntry>& sets);

// Puts the sets a file gave into the list: they replace it (the selection
// kept inside the list) or are appended. A file without a whole set leaves
// a list it would replace as it is.
void StoreLoadedSets(ColorSetList& list, const std::vector<ColorSetEntry>& sets, bool replacesList);

// 256 random colors: per entry three draws in [0, 1), for blue, green and
// red, each times 256 rounded half to even, 256 becoming 255.
Palette256 RandomColors(std::mt19937& random);
