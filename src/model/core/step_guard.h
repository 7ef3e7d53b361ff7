#pragma once

#include "model/core/document.h"
#include "model/core/undoable_state.h"

#include <functional>
#include <string>
#include <string_view>

#ifdef NDEBUG
inline constexpr bool StepGuardBuilt = false;
#else
inline constexpr bool StepGuardBuilt = true;
#endif

// Checks, in builds with assertions, that the undoable parts of the
// document change only inside a step: it keeps them as the last step, undo
// or redo (or a new file) left them, and stops the program when they
// differ by the time the next step begins or an undo or redo runs. Such a
// change would be lost to undo, or an undo would put back cells or lists
// that no longer match. Without assertions it holds and does nothing.
class StepGuard {
public:
#ifdef NDEBUG
    void Settle(const Document&) {}
    void Check(const Document&, std::string_view, std::string_view) {}
#else
    // Keeps the document's undoable parts as they are now.
    void Settle(const Document& document);
    // Compares them with the kept ones; a difference stops the program
    // with a message naming it and when it was seen ("before the step",
    // "paint"; the name may be empty). Nothing is compared before the
    // first Settle.
    void Check(const Document& document, std::string_view when, std::string_view name);

private:
    bool settled_ = false;
    UndoableState kept_;
#endif
};

// With assertions: a test's handler gets the guard's message instead of the
// program stopping; empty to stop again.
void SetStepGuardFailureForTesting(std::function<void(const std::string& message)> failure);
