#include "model/editor/pattern_edits.h"

#include "model/core/program_state.h"

bool AddPatternAsStep(ProgramState& state, const std::string& description)
{
    return RecordStep(state.Recorder, "add pattern",
                      [&] { return AddPattern(state.Patterns, state.EditorSlots, description); });
}

bool DeletePatternAsStep(ProgramState& state, int index)
{
    return RecordStep(state.Recorder, "delete pattern", [&] { return DeletePattern(state.Patterns, index); });
}

bool RenamePatternAsStep(ProgramState& state, int index, const std::string& description)
{
    return RecordStep(state.Recorder, "rename pattern",
                      [&] { return RenamePattern(state.Patterns, index, description); });
}

void StoreLoadedPatternsAsStep(ProgramState& state, const PatternLoad& load)
{
    RecordStep(state.Recorder, "pattern load", [&] { StoreLoadedPatterns(state.Patterns, load); });
}
