#include "model/core/step_guard.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

std::function<void(const std::string&)>& FailureForTesting()
{
    static std::function<void(const std::string&)> failure;
    return failure;
}

}  // namespace

void SetStepGuardFailureForTesting(std::function<void(const std::string& message)> failure)
{
    FailureForTesting() = std::move(failure);
}

#ifndef NDEBUG

void StepGuard::Settle(const Document& document)
{
    TakeUndoableState(document, kept_);
    settled_ = true;
}

void StepGuard::Check(const Document& document, std::string_view when, std::string_view name)
{
    if (!settled_)
        return;
    const std::string changed = FirstDifference(kept_, document);
    if (changed.empty())
        return;
    std::string seen(when);
    if (!name.empty())
        seen += " '" + std::string(name) + "'";
    const std::string message = "The document changed outside a step: " + changed + " (seen " + seen + ").";
    if (FailureForTesting()) {
        FailureForTesting()(message);
        // Once told, the test goes on from the document as it is.
        Settle(document);
        return;
    }
    std::fprintf(stderr, "%s\n", message.c_str());
    std::abort();
}

#endif
