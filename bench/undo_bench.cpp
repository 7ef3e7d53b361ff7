// Undo of a Save all of 256 tiles spread over a 64 MiB file: 256 writes of
// the old bytes back, each checking that the file is still the one opened.
// Redo between the measured undos is not timed. And the cost of recording
// one small step while every stored list is full: the recorder keeps the
// cells, the palette and the lists as they were and compares them at the end.
#include "model/core/edit_history.h"
#include "model/core/edit_recorder.h"
#include "model/core/program_state.h"
#include "model/editor/editor_slots.h"
#include "model/editor/pattern_file.h"
#include "model/palette/color_sets.h"
#include "model/tools/bookmark_file.h"

#include "random_file.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr std::int32_t FileLength = 64 << 20;

const std::string& BenchFile()
{
    static const RandomFile file("undo-bench", FileLength, 2026);
    return file.Path();
}

void BM_UndoSaveAllOf256TilesIn64MiB(benchmark::State& state)
{
    ProgramState program;
    InitState(program);
    if (!program.FileHandle.Open(BenchFile()).Opened()) {
        state.SkipWithError("cannot open the benchmark file");
        return;
    }
    EditRecorder& recorder = program.Recorder;
    EditHistory& history = program.History;
    std::mt19937 random(7);
    for (int slot = 0; slot < EditorSlotCount; ++slot) {
        EditorSlot& cell = program.EditorSlots[slot];
        // One tile in every 256 KiB stretch of the file.
        cell.Address = slot * (FileLength / EditorSlotCount) + 16 * static_cast<std::int32_t>(random() % 1024);
        cell.Mode = ModeGameboy;
        for (auto& pixel : cell.Pixels)
            pixel = static_cast<std::uint8_t>(random() % 4);
    }
    {
        EditStepScope step(recorder, "save all");
        if (SaveAllSlots(program).Written != EditorSlotCount) {
            state.SkipWithError("the tiles could not be written");
            return;
        }
    }
    for (auto _ : state) {
        if (!history.Undo(program)) {
            state.SkipWithError("undo refused");
            break;
        }
        state.PauseTiming();
        if (!history.Redo(program))
            state.SkipWithError("redo refused");
        state.ResumeTiming();
    }
    history.Undo(program);
}
BENCHMARK(BM_UndoSaveAllOf256TilesIn64MiB)->Unit(benchmark::kMillisecond);

void BM_OnePixelStepWithEveryListFull(benchmark::State& state)
{
    ProgramState program;
    InitState(program);
    while (AddSet(program.Sets, program.WorkingPalette, "a color set with a longer name than most"))
        ;
    while (AddPattern(program.Patterns, program.EditorSlots, "a pattern"))
        ;
    while (AddBookmark(program.Bookmarks, static_cast<std::int32_t>(program.Bookmarks.Marks.size()), "mark"))
        ;
    std::uint8_t color = 0;
    for (auto _ : state) {
        // Each step keeps one changed cell: the history grows little.
        RecordStep(program.Recorder, "paint", [&] { program.EditorSlots[0].Pixels[0] = ++color; });
    }
}
BENCHMARK(BM_OnePixelStepWithEveryListFull)->Unit(benchmark::kMicrosecond);

}  // namespace
