#pragma once

#include "model/core/color_set_list.h"
#include "model/core/packed_color.h"

#include <string>
#include <vector>

struct ProgramState;

// The color set window's changes of the stored sets, each one step of the
// state's history under the name given with it.

// Appends a set ("add color set", or "random palette" for random colors);
// false, and no step, when the list is full.
bool AddSetAsStep(ProgramState& state, const char* stepName, const Palette256& colors, const std::string& description);

// Deletes the selected set ("delete color set"); nothing when the list is
// empty.
void DeleteSelectedSetAsStep(ProgramState& state);

// Gives the selected set a new description ("rename color set").
void RenameSelectedSetAsStep(ProgramState& state, const std::string& description);

// Sets one color of a stored set ("color set edit").
void SetSetColorAsStep(ProgramState& state, int set, int index, PackedColor color);

// Puts the sets read from a file or from the ROM into the list
// (StoreLoadedSets) as one step: "color set load" or "palette import".
void StoreLoadedSetsAsStep(ProgramState& state, const char* stepName, const std::vector<ColorSetEntry>& sets,
                           bool replacesList);
