#include "model/palette/color_set_edits.h"

#include "model/core/program_state.h"
#include "model/palette/color_sets.h"

bool AddSetAsStep(ProgramState& state, const char* stepName, const Palette256& colors, const std::string& description)
{
    return RecordStep(state.Recorder, stepName, [&] { return AddSet(state.Sets, colors, description); });
}

void DeleteSelectedSetAsStep(ProgramState& state)
{
    RecordStep(state.Recorder, "delete color set", [&] { DeleteSelectedSet(state.Sets); });
}

void RenameSelectedSetAsStep(ProgramState& state, const std::string& description)
{
    RecordStep(state.Recorder, "rename color set",
               [&] { state.Sets.ColorSets[state.Sets.SelectedSet].Description = description; });
}

void SetSetColorAsStep(ProgramState& state, int set, int index, PackedColor color)
{
    RecordStep(state.Recorder, "color set edit", [&] { state.Sets.ColorSets[set].Colors[index] = color; });
}

void StoreLoadedSetsAsStep(ProgramState& state, const char* stepName, const std::vector<ColorSetEntry>& sets,
                           bool replacesList)
{
    RecordStep(state.Recorder, stepName, [&] { StoreLoadedSets(state.Sets, sets, replacesList); });
}
