#include "tools/patch_actions.h"

#include "core/confirm_save.h"
#include "core/file_filter.h"
#include "core/file_io.h"
#include "core/loaded.h"
#include "core/program_state.h"
#include "core/write_messages.h"
#include "tools/changed_runs.h"
#include "tools/patch_messages.h"
#include "tools/rom_patch.h"

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

// Makes the writes in order until one is refused. Returns the bytes written
// and, on a refusal, its message.
template <class Run> std::int64_t WriteRuns(RomFile& file, const std::vector<Run>& runs, EditReport& report)
{
    std::int64_t written = 0;
    for (const Run& run : runs) {
        const RomWriteResult result = file.WriteAt(run.Offset, run.Bytes.data(), run.Bytes.size());
        if (!result) {
            report.Message = UserMessage{result.Reason, WriteFailedCaption, MsgIcon::Critical};
            break;
        }
        written += static_cast<std::int64_t>(run.Bytes.size());
    }
    return written;
}

// The runs of bytes that differ from their values at the open, holding
// those values.
ChangedRuns RunsToRevert(const RomFile& file, const OriginalByteMap& originals)
{
    ChangedRuns runs = FindChangedRuns(file, originals);
    for (ChangedRun& run : runs.Runs)
        for (std::size_t i = 0; i < run.Bytes.size(); ++i)
            run.Bytes[i] = originals.at(run.Offset + static_cast<std::int64_t>(i));
    return runs;
}

// Nothing to write: says so. Otherwise, after the save warning, makes the
// runs as one step named name and says how many bytes changed.
template <class Run>
EditReport WriteRunsAsStep(ProgramState& state, Dialogs& dialogs, const char* name, const std::vector<Run>& runs,
                           const char* nothingText, std::string (*doneText)(std::int64_t))
{
    EditReport report;
    if (runs.empty()) {
        report.InfoText = nothingText;
        return report;
    }
    if (!ConfirmSave(state, dialogs))
        return report;
    EditStepScope step(state.Recorder, name);
    report.InfoText = doneText(WriteRuns(state.FileHandle, runs, report));
    return report;
}

}  // namespace

EditReport CreatePatchOfChanges(const ProgramState& state, Dialogs& dialogs)
{
    if (!state.FileOpen())
        return Refusal(PatchNoFileText, PatchCaption);
    const OriginalByteMap& originals = state.Recorder.Journal().OriginalBytes();
    const ChangedRuns changed = FindChangedRuns(state.FileHandle, originals);
    if (!changed.Failure.empty())
        return WithMessage(changed.Failure, PatchCaption, MsgIcon::Critical);
    if (changed.Runs.empty())
        return Refusal(PatchNoChangesText, PatchCaption);

    const FileChoice choice = dialogs.SaveFile(CreatePatchFilter);
    if (choice.Path.empty())
        return {};
    const PatchFormat format = choice.FilterIndex == 2 ? PatchFormat::Bps : PatchFormat::Ips;
    const std::string path =
        WithDefaultExtension(choice.Path, ParseFileFilter(CreatePatchFilter)[format == PatchFormat::Bps ? 1 : 0]);

    const PatchFile patch = BuildPatch(format, state.FileHandle, originals);
    if (!patch.Made())
        return Refusal(patch.Refusal, PatchCaption);
    if (const auto failure = WriteFileAtomically(path, patch.Bytes))
        return WithMessage(PatchSaveFailedText(path, *failure), "Saving failed", MsgIcon::Critical);
    EditReport report;
    report.InfoText = PatchWrittenText(path, patch.Bytes.size());
    return report;
}

EditReport ApplyPatchFromFile(ProgramState& state, Dialogs& dialogs)
{
    if (!state.FileOpen())
        return Refusal(PatchNoFileText, PatchCaption);
    const FileChoice choice = dialogs.OpenFile(ApplyPatchFilter);
    if (choice.Path.empty())
        return {};

    const std::int64_t limit = PatchSizeLimit(state);
    const Loaded<FileBytes> load = LoadFileBytes(choice.Path, {.ReadLimit = static_cast<std::size_t>(limit) + 1});
    if (load.Error) {
        EditReport report;
        report.Message = *load.Error;
        return report;
    }
    if (static_cast<std::int64_t>(load.Bytes.size()) > limit)
        return Refusal(PatchTooLargeText(limit), PatchCaption);

    const PatchWrites patch = ApplyPatch(state.FileHandle, load.Bytes.data(), load.Bytes.size());
    if (!patch.Accepted())
        return Refusal(patch.Refusal, PatchCaption);
    return WriteRunsAsStep(state, dialogs, ApplyPatchStepName, patch.Writes, PatchChangesNothingText,
                           PatchAppliedText);
}

EditReport RevertToOpenedState(ProgramState& state, Dialogs& dialogs)
{
    const ChangedRuns runs = RunsToRevert(state.FileHandle, state.Recorder.Journal().OriginalBytes());
    if (!runs.Failure.empty())
        return WithMessage(runs.Failure, RevertCaption, MsgIcon::Critical);
    return WriteRunsAsStep(state, dialogs, RevertStepName, runs.Runs, NothingToRevertText, RevertedText);
}
