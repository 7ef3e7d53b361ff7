// The browser's two hot paths on the offscreen platform, for the largest
// grid (16 x 16 tiles) at the largest zoom (13): a reload (file read,
// decoding, rendering, magnifying, grid and frame) and the redraw after a
// palette change (no file read); the reload also in two block layouts.
#include "ui/floor/refresh.h"
#include "ui/app/main_form.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "model/core/dialogs.h"
#include "model/core/program_state.h"
#include "ui/palette/palette_ctrl.h"
#include "ui/tools/tilemap_view.h"
#include "ui/tools/tilemap_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include "random_file.h"
#include <QApplication>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

// The benchmark asks nothing; any prompt would be a mistake in it.
class SilentDialogs : public Dialogs {
public:
    void Message(const std::string&, const std::string&, MsgIcon) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    SaveChoice AskSaveDiscardCancel(const std::string&, const std::string&) override { return SaveChoice::Cancel; }
    FileChoice OpenFile(const std::string&) override { return {}; }
    FileChoice SaveFile(const std::string&) override { return {}; }
    std::optional<PackedColor> PickColor() override { return std::nullopt; }
};

struct Viewer {
    Viewer()
    {
        form = new MainForm(state, &dialogs);
        form->show();
        Windows& w = form->AllWindows();
        w.BrowCtrl->OpenChosenFile(rom.Path());
        state.BrowserColumns = 16;
        state.BrowserLines = 16;
        state.BrowserZoom = 13;
        state.CurrentMode = ModeSnes4bpp;
        w.Browser->ReloadBrowser();
    }
    ~Viewer() { delete form; }
    RandomFile rom{"browser-bench", 1 << 20, 3};
    ProgramState state;
    SilentDialogs dialogs;
    MainForm* form;
};

// The viewer lives in main, inside the QApplication's lifetime.
Viewer* theViewer = nullptr;

Viewer& TheViewer()
{
    return *theViewer;
}

// Arg: 0 the row order, 1 blocks of 2x2 column by column, 2 blocks of 3x3
// (cut by the grid's edge).
void BM_ReloadBrowserLargestGrid(benchmark::State& run)
{
    Viewer& viewer = TheViewer();
    const TileLayout layouts[] = {{1, 1, false}, {2, 2, true}, {3, 3, false}};
    viewer.state.BrowserLayout = layouts[run.range(0)];
    Browser* browser = viewer.form->AllWindows().Browser;
    std::int32_t address = 0;
    for (auto _ : run) {
        // A new address each time, as scrolling does.
        viewer.state.BrowserAddress = address;
        address = (address + 8192) % (1 << 19);
        browser->ReloadBrowser();
    }
    run.counters["backing_pixels"] =
        static_cast<double>(browser->BackingImage().width()) * browser->BackingImage().height();
    viewer.state.BrowserLayout = {};
}

void BM_PaletteChangeRedraw(benchmark::State& run)
{
    Viewer& viewer = TheViewer();
    Windows& windows = viewer.form->AllWindows();
    for (auto _ : run) {
        std::rotate(viewer.state.WorkingPalette.begin(), viewer.state.WorkingPalette.begin() + 1,
                    viewer.state.WorkingPalette.end());
        PaletteChanged(windows);
    }
}

// The tilemap window showing a 64 x 64 SNES map at zoom 2: the map and its
// tiles read, drawn into the window's picture and painted.
void BM_TilemapWindowRedraw64(benchmark::State& run)
{
    Viewer& viewer = TheViewer();
    TilemapWindow* map = viewer.form->AllWindows().Tilemap;
    map->ShowWindow();
    map->ComboFormat->setCurrentIndex(map->ComboFormat->findText(QStringLiteral("SNES")));
    map->SpinWidth->setValue(64);
    map->SpinHeight->setValue(64);
    map->EdTilesAddress->setText(QStringLiteral("0x10000"));
    map->parentWidget()->resize(1200, 1200);
    for (auto _ : run) {
        map->BtShow_Click();
        map->View->repaint();
    }
    run.counters["entries"] = static_cast<double>(map->Map().Entries.size());
    const QRect painted = map->View->visibleRegion().boundingRect();
    run.counters["painted_pixels"] = static_cast<double>(painted.width()) * painted.height();
}

}  // namespace

BENCHMARK(BM_TilemapWindowRedraw64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReloadBrowserLargestGrid)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaletteChangeRedraw)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Viewer viewer;
    theViewer = &viewer;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
