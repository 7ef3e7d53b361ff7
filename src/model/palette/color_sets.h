#pragma once

#include "model/core/color_set_list.h"

#include <array>
#include <cstdint>
#include <random>
#include <string>

// Appends a set; false (and nothing changes) when the list is full.
bool AddSet(ColorSetList& list, const Palette256& colors, const std::string& description);

// The selected set and the last set change places and the count drops by
// one; the selection stays where it was.
void DeleteSelectedSet(ColorSetList& list);

// 256 random colors: per entry three draws in [0, 1), for blue, green and
// red, each times 256 rounded half to even, 256 becoming 255.
Palette256 RandomColors(std::mt19937& random);
