#include "model/tools/patch_actions.h"

#include "model/core/confirm_save.h"
#include "model/core/dialog_start.h"
#include "model/core/edit_step.h"
#include "model/core/file_filter.h"
#include "model/core/file_io.h"
#include "model/core/loaded.h"
#include "model/core/program_state.h"
#include "model/core/write_messages.h"
#include "model/tools/changed_runs.h"
#include "model/tools/patch_messages.h"
#include "model/tools/rom_patch.h"

#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

EditReport WithMessage(std::string text, const char* caption, MsgIcon icon)
{
    EditReport report;
    report.Message = UserMessage{std::move(text), caption, icon};
    return report;
}

EditReport Refusal(std::string text, const char* caption)
{
    return WithMessage(std::move(text), caption, MsgIcon::Information);
}

// A patch changing every byte of the file is about as long as the file;
// anything far beyond that is not read into memory.
std::int64_t PatchSizeLimit(const ProgramState& state)
{
    return 2 * static_cast<std::int64_t>(state.FileLength()) + (std::int64_t{16} << 20);
}

// The runs of bytes that differ from their values at the open, as writes
// putting those values back.
std::vector<RomWrite> RunsToRevert(const ProgramState& state, std::string& failure)
{
    const OriginalByteMap& originals = state.Recorder.Journal().OriginalBytes();
    ChangedRuns changed = FindChangedRuns(state.FileHandle, originals);
    failure = std::move(changed.Failure);
    std::vector<RomWrite> writes;
    writes.reserve(changed.Runs.size());
    for (ChangedRun& run : changed.Runs) {
        originals.LayOver(run.Offset, run.Bytes);
        writes.push_back({run.Offset, {}, std::move(run.Bytes)});
    }
    return writes;
}

// Nothing to write: says so. Otherwise, after the save warning, makes the
// writes as one step named name, all or nothing, and says how many bytes
// changed, or that nothing was.
EditReport WriteAsStep(ProgramState& state, Dialogs& dialogs, const char* name, std::vector<RomWrite> writes,
                       const char* nothingText, std::string (*doneText)(std::int64_t), const char* failedText)
{
    EditReport report;
    if (writes.empty()) {
        report.InfoText = nothingText;
        return report;
    }
    if (!ConfirmSave(state, dialogs))
        return report;
    std::int64_t changed = 0;
    for (const RomWrite& write : writes)
        changed += static_cast<std::int64_t>(write.After.size());
    EditStepScope step(state.Recorder, name);
    const StepWriteResult result = state.Recorder.WriteAsOneStep(std::move(writes));
    if (!result) {
        report.Message = UserMessage{result.Failure, WriteFailedCaption, MsgIcon::Critical};
        report.InfoText = result.Restored ? failedText : PartlyWrittenText;
        return report;
    }
    report.InfoText = doneText(changed);
    return report;
}

EditReport OutOfMemory(const ProgramState& state, const char* caption)
{
    return WithMessage(OutOfMemoryText(state.FileName()), caption, MsgIcon::Critical);
}

// The writes of the patch file chosen, or the report that ends the action.
// The patch's bytes go before anything is written.
std::optional<std::vector<RomWrite>> PatchWritesFromFile(const ProgramState& state, const std::string& path,
                                                         EditReport& report)
{
    const std::int64_t limit = PatchSizeLimit(state);
    PatchWrites patch;
    {
        const Loaded<FileBytes> load = LoadFileBytes(path, {.ReadLimit = static_cast<std::size_t>(limit) + 1});
        if (load.Error) {
            report.Message = *load.Error;
            return std::nullopt;
        }
        if (static_cast<std::int64_t>(load.Bytes.size()) > limit) {
            report = Refusal(PatchTooLargeText(limit), PatchCaption);
            return std::nullopt;
        }
        patch = ApplyPatch(state.FileHandle, load.Bytes.data(), load.Bytes.size());
    }
    if (!patch.Accepted()) {
        report = Refusal(patch.Refusal, PatchCaption);
        return std::nullopt;
    }
    std::vector<RomWrite> writes;
    writes.reserve(patch.Writes.size());
    for (PatchWrite& write : patch.Writes)
        writes.push_back({write.Offset, {}, std::move(write.Bytes)});
    return writes;
}

}  // namespace

EditReport CreatePatchOfChanges(const ProgramState& state, Dialogs& dialogs)
{
    if (!state.FileOpen())
        return Refusal(PatchNoFileText, PatchCaption);
    try {
        const OriginalByteMap& originals = state.Recorder.Journal().OriginalBytes();
        const ChangedRuns changed = FindChangedRuns(state.FileHandle, originals);
        if (!changed.Failure.empty())
            return WithMessage(changed.Failure, PatchCaption, MsgIcon::Critical);
        if (changed.Runs.empty())
            return Refusal(PatchNoChangesText, PatchCaption);

        // Named after the ROM, as emulators look for a patch beside it.
        const FileChoice choice = dialogs.SaveFileSuggesting(
            CreatePatchFilter(),
            NameAfterRom(state.FileName(), std::string(PatchFormatToCreate(1).Patterns).substr(1)));
        if (choice.Path.empty())
            return {};
        const PatchFileFormat& format = PatchFormatToCreate(choice.FilterIndex);
        const std::string path = WithDefaultExtension(
            choice.Path, FileFilterEntry{std::string(format.Label), {std::string(format.Patterns)}});

        const PatchFile patch = format.Build(state.FileHandle, originals);
        if (!patch.Made())
            return Refusal(patch.Refusal, PatchCaption);
        if (const auto failure = WriteFileAtomically(path, patch.Bytes))
            return WithMessage(PatchSaveFailedText(path, *failure), "Saving failed", MsgIcon::Critical);
        EditReport report;
        report.InfoText = PatchWrittenText(path, patch.Bytes.size());
        return report;
    } catch (const std::bad_alloc&) {
        return WithMessage(PatchOutOfMemoryText, PatchCaption, MsgIcon::Critical);
    }
}

EditReport ApplyPatchFromFile(ProgramState& state, Dialogs& dialogs)
{
    if (!state.FileOpen())
        return Refusal(PatchNoFileText, PatchCaption);
    const FileChoice choice = dialogs.OpenFile(ApplyPatchFilter());
    if (choice.Path.empty())
        return {};

    EditReport report;
    std::optional<std::vector<RomWrite>> writes;
    try {
        writes = PatchWritesFromFile(state, choice.Path, report);
    } catch (const std::bad_alloc&) {
        return OutOfMemory(state, PatchCaption);
    }
    if (!writes)
        return report;
    return WriteAsStep(state, dialogs, ApplyPatchStepName, std::move(*writes), PatchChangesNothingText,
                       PatchAppliedText, PatchNotAppliedText);
}

EditReport RevertToOpenedState(ProgramState& state, Dialogs& dialogs)
{
    std::string failure;
    std::vector<RomWrite> writes;
    try {
        writes = RunsToRevert(state, failure);
    } catch (const std::bad_alloc&) {
        return OutOfMemory(state, RevertCaption);
    }
    if (!failure.empty())
        return WithMessage(failure, RevertCaption, MsgIcon::Critical);
    return WriteAsStep(state, dialogs, RevertStepName, std::move(writes), NothingToRevertText, RevertedText,
                       NothingRevertedText);
}
