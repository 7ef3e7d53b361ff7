#pragma once

#include "model/editor/pattern_file.h"

#include <string>

struct ProgramState;

// The pattern window's changes of its list, each one step of the state's
// history.

// "add pattern": the editor's addresses as a new pattern (AddPattern).
bool AddPatternAsStep(ProgramState& state, const std::string& description);
// "delete pattern": DeletePattern; false for an index outside the list.
bool DeletePatternAsStep(ProgramState& state, int index);
// "rename pattern": RenamePattern; false for an index outside the list.
bool RenamePatternAsStep(ProgramState& state, int index, const std::string& description);
// "pattern load": StoreLoadedPatterns.
void StoreLoadedPatternsAsStep(ProgramState& state, const PatternLoad& load);
