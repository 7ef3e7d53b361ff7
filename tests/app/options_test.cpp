#include "support/viewer_fixture.h"
#include "ui/app/layout_config.h"
#include "ui/app/main_form.h"
#include "ui/app/options.h"
#include "ui/app/tools.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/pattern.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/floor/child_window.h"
#include "ui/palette/color_set.h"
#include "ui/palette/palette_ctrl.h"
#include "ui/tools/bookmark.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::int16_t ValueAt(const std::vector<std::uint8_t>& bytes, int offset)
{
    return static_cast<std::int16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

void PutValue(std::vector<std::uint8_t>& bytes, int offset, std::int16_t value)
{
    bytes.at(offset) = static_cast<std::uint8_t>(value & 0xFF);
    bytes.at(offset + 1) = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

int CountPixels(const QImage& image, QRgb color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == color;
    return count;
}

}  // namespace

// The main window with an options window and layout folders of its own.
class OptionsWindow : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        options = std::make_unique<Options>(state, *w, form.get());
        w->Options = options.get();
        programDir = dir.Path() / "program";
        userDir = dir.Path() / "user" / "brixel";
        fs::create_directories(programDir);
        options->Folders = Folders();
    }

    void TearDown() override
    {
        w->Options = nullptr;
        options.reset();
        ViewerFixture::TearDown();
    }

    ConfigFolders Folders() const { return {programDir.string(), userDir.string()}; }
    fs::path ProgramFile() const { return programDir / "Brixel.cfg"; }
    std::vector<std::uint8_t> SavedBytes() const { return ReadWholeFile(ProgramFile().string()); }

    std::unique_ptr<Options> options;
    fs::path programDir;
    fs::path userDir;
};

using OptionsLayout = OptionsWindow;
using ConfigLocation = OptionsWindow;

// --- The window ---------------------------------------------------------------------

TEST_F(OptionsWindow, CaptionControlsAndToolTips)
{
    EXPECT_EQ(options->windowTitle().toStdString(), "Options");
    EXPECT_TRUE(options->isWindow());
    EXPECT_TRUE(options->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(options->LbGridColor->toolTip().toStdString(), "The grids will be displayed using this color");
    EXPECT_EQ(options->LbSelectionColor->toolTip().toStdString(), "The selection boxes use this color");
    EXPECT_EQ(options->LbEmptyColor->toolTip().toStdString(),
              "An tile without address will be displayed in this color");
    EXPECT_EQ(options->CheckSaveWarn->toolTip().toStdString(),
              "Display the save warning evertime you want to save to file");
    EXPECT_EQ(options->Label1->text().toStdString(),
              "Be carefull when you deactivate the save warning. You could damage a file by accident.");
    EXPECT_EQ(options->CheckSpeed->text().toStdString(), "Meassure redraw time");
    EXPECT_EQ(options->BtLoadNow->text().toStdString(), "Load old layout");
    EXPECT_EQ(options->BtSaveNow->text().toStdString(), "Save layout now");
    EXPECT_EQ(options->BtOk->text().toStdString(), "OK");
    QStringList frames;
    for (QGroupBox* frame : options->findChildren<QGroupBox*>())
        frames << frame->title();
    EXPECT_EQ(frames, QStringList({"Colors", "Show save warning", "Benchmark", "Apperance"}));
    EXPECT_TRUE(options->CheckSaveWarn->isChecked());
    EXPECT_FALSE(options->CheckSpeed->isChecked());
    EXPECT_GE(options->width(), 156);
    EXPECT_GE(options->height(), 259);
}

TEST_F(OptionsWindow, OpeningDisablesTheMainWindowAndOkEnablesIt)
{
    options->ShowOptions();
    EXPECT_FALSE(form->isEnabled());
    EXPECT_TRUE(options->isVisible());
    EXPECT_TRUE(options->isEnabled());
    EXPECT_TRUE(options->BtOk->isEnabled());

    QTest::mouseClick(options->BtOk, Qt::LeftButton);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(options->isVisible());
}

TEST_F(OptionsWindow, SwatchesShowTheStateColorsAndOkStoresThePickedOne)
{
    state.GridColor = MakePackedColor(10, 20, 30);
    state.EmptyColor = MakePackedColor(70, 80, 90);
    options->ShowOptions();
    EXPECT_EQ(options->LbGridColor->Color(), MakePackedColor(10, 20, 30));
    EXPECT_EQ(options->LbSelectionColor->Color(), MakePackedColor(255, 255, 255));
    EXPECT_EQ(options->LbEmptyColor->palette().color(QPalette::Window), QColor(70, 80, 90));

    dialogs.QueueColor(MakePackedColor(255, 0, 128));
    QTest::mouseClick(options->LbSelectionColor, Qt::LeftButton);
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].PromptKind, ScriptedDialogs::Kind::PickColor);
    EXPECT_EQ(options->LbSelectionColor->Color(), MakePackedColor(255, 0, 128));
    EXPECT_EQ(state.SelectionColor, MakePackedColor(255, 255, 255));  // not before OK

    QTest::mouseClick(options->BtOk, Qt::LeftButton);
    EXPECT_EQ(state.SelectionColor, MakePackedColor(255, 0, 128));
    EXPECT_EQ(state.GridColor, MakePackedColor(10, 20, 30));
    EXPECT_EQ(state.EmptyColor, MakePackedColor(70, 80, 90));
}

TEST_F(OptionsWindow, CancelledPickerKeepsTheSwatchColor)
{
    options->ShowOptions();
    dialogs.QueueColor(std::nullopt);
    QTest::mouseClick(options->LbEmptyColor, Qt::LeftButton);
    EXPECT_EQ(options->LbEmptyColor->Color(), MakePackedColor(128, 128, 128));
    QTest::mouseClick(options->BtOk, Qt::LeftButton);
    EXPECT_EQ(state.EmptyColor, MakePackedColor(128, 128, 128));
}

TEST_F(OptionsWindow, CloseBoxAppliesTheSwatchColorsLikeOk)
{
    options->ShowOptions();
    dialogs.QueueColor(MakePackedColor(1, 2, 3));
    QTest::mouseClick(options->LbGridColor, Qt::LeftButton);
    EXPECT_TRUE(options->close());
    EXPECT_EQ(state.GridColor, MakePackedColor(1, 2, 3));
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(options->isVisible());

    // Shown again, the window keeps its switches.
    options->CheckSpeed->click();
    options->ShowOptions();
    EXPECT_TRUE(options->CheckSpeed->isChecked());
    options->close();
}

TEST_F(OptionsWindow, OkChangesNothingOnScreenUntilTheNextRedraw)
{
    OpenRom(std::vector<std::uint8_t>(4096, 0));
    const QRgb newGrid = qRgb(3, 2, 1);
    const QImage before = w->Browser->BackingImage().copy();
    ASSERT_EQ(CountPixels(before, newGrid), 0);

    options->ShowOptions();
    dialogs.QueueColor(MakePackedColor(3, 2, 1));
    QTest::mouseClick(options->LbGridColor, Qt::LeftButton);
    QTest::mouseClick(options->BtOk, Qt::LeftButton);
    EXPECT_EQ(w->Browser->BackingImage(), before);

    w->Browser->RedrawBrowser();
    const int cell = 8 * state.BrowserZoom;
    EXPECT_EQ(w->Browser->BackingImage().pixel(2 * cell, 3 * cell + 5), newGrid);
}

TEST_F(OptionsWindow, SwitchesKeepTheStateInStep)
{
    options->CheckSaveWarn->click();
    EXPECT_FALSE(state.ShowSaveWarning);
    options->CheckSpeed->click();
    EXPECT_TRUE(state.MeasureRedrawTime);
    options->CheckSaveWarn->click();
    options->CheckSpeed->click();
    EXPECT_TRUE(state.ShowSaveWarning);
    EXPECT_FALSE(state.MeasureRedrawTime);
}

// --- Saving and loading the layout ---------------------------------------------------------

TEST_F(OptionsLayout, SavingTwiceWritesIdentical64Bytes)
{
    options->ShowOptions();
    QTest::mouseClick(options->BtSaveNow, Qt::LeftButton);
    const std::vector<std::uint8_t> first = SavedBytes();
    QTest::mouseClick(options->BtSaveNow, Qt::LeftButton);
    const std::vector<std::uint8_t> second = SavedBytes();
    ASSERT_EQ(first.size(), 64u);
    EXPECT_EQ(first[0], 0x36);
    EXPECT_EQ(first[1], 0x00);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(dialogs.Prompts.empty());
    // Saving leaves the window open.
    EXPECT_TRUE(options->isVisible());
    EXPECT_FALSE(form->isEnabled());
    options->close();
}

TEST_F(OptionsLayout, FileHoldsTheCurrentLayout)
{
    ChildFrame(w->Tools)->move(10, 20);
    ChildFrame(w->Editor)->resize(320, 200);
    w->BrowCtrl->BtBrowZoomIn_Click();
    w->EditCtrl->ChkNoncopied->click();

    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    const std::vector<std::uint8_t> bytes = SavedBytes();
    ASSERT_EQ(bytes.size(), 64u);
    // Window switches released (no layout at start), both grids, noncopied,
    // save warning.
    EXPECT_EQ(ValueAt(bytes, 2), 8 + 16 + 32 + 256);
    EXPECT_EQ(ValueAt(bytes, 4), form->frameGeometry().width() * 15);
    EXPECT_EQ(ValueAt(bytes, 8), 10 * 15);
    EXPECT_EQ(ValueAt(bytes, 10), 20 * 15);
    EXPECT_EQ(ValueAt(bytes, 24), 4);
    EXPECT_EQ(ValueAt(bytes, 34), 320 * 15);
    EXPECT_EQ(ValueAt(bytes, 38), 3);
}

TEST_F(OptionsLayout, GridOffAndTimingOnAreRestored)
{
    w->BrowCtrl->ChkGrid->click();
    options->CheckSpeed->click();
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    EXPECT_EQ(ValueAt(SavedBytes(), 2) & (8 | 512), 512);

    w->BrowCtrl->ChkGrid->click();
    options->CheckSpeed->click();
    ASSERT_TRUE(state.BrowserGrid);
    ASSERT_FALSE(state.MeasureRedrawTime);

    ASSERT_TRUE(LoadConfig(state, *w, Folders()));
    EXPECT_FALSE(w->BrowCtrl->ChkGrid->isChecked());
    EXPECT_FALSE(state.BrowserGrid);
    EXPECT_TRUE(options->CheckSpeed->isChecked());
    EXPECT_TRUE(state.MeasureRedrawTime);

    // The next scroll reports the redraw time.
    OpenRom(CountingBytes(65536));
    w->Browser->ScrAdd->setValue(100);
    const std::string info = form->LbInfo->text().toStdString();
    EXPECT_EQ(info.rfind("The last redraw took about ", 0), 0u) << info;
    EXPECT_EQ(info.substr(info.size() - 9), " seconds.");
}

TEST_F(OptionsLayout, TheSwitchesGoToTheStateAndTheBoxes)
{
    options->CheckSaveWarn->click();
    options->CheckSpeed->click();
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    options->CheckSaveWarn->setChecked(true);
    options->CheckSpeed->setChecked(false);
    state.ShowSaveWarning = true;
    state.MeasureRedrawTime = false;
    ASSERT_TRUE(LoadConfig(state, *w, Folders()));
    EXPECT_FALSE(state.ShowSaveWarning);
    EXPECT_TRUE(state.MeasureRedrawTime);
    EXPECT_FALSE(options->CheckSaveWarn->isChecked());
    EXPECT_TRUE(options->CheckSpeed->isChecked());
}

TEST_F(OptionsLayout, PositionsAndSizesAreRestored)
{
    ChildFrame(w->Tools)->move(11, 12);
    ChildFrame(w->BrowCtrl)->move(70, 13);
    ChildFrame(w->Browser)->move(250, 15);
    ChildFrame(w->EditCtrl)->move(71, 300);
    ChildFrame(w->Editor)->move(200, 301);
    ChildFrame(w->Editor)->resize(310, 220);
    ChildFrame(w->PaletteCtrl)->move(400, 14);
    ChildFrame(w->TileCtrl)->move(401, 302);
    form->resize(640, 480);
    const QSize mainSize = form->size();
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));

    for (QWidget* window : std::initializer_list<QWidget*>{w->Tools, w->BrowCtrl, w->Browser, w->EditCtrl, w->Editor,
                                                           w->PaletteCtrl, w->TileCtrl})
        ChildFrame(window)->move(5, 5);
    ChildFrame(w->Editor)->resize(250, 250);
    form->resize(600, 450);

    ASSERT_TRUE(LoadConfig(state, *w, Folders()));
    EXPECT_EQ(form->size(), mainSize);
    EXPECT_EQ(ChildFrame(w->Tools)->pos(), QPoint(11, 12));
    EXPECT_EQ(ChildFrame(w->BrowCtrl)->pos(), QPoint(70, 13));
    EXPECT_EQ(ChildFrame(w->Browser)->pos(), QPoint(250, 15));
    EXPECT_EQ(ChildFrame(w->EditCtrl)->pos(), QPoint(71, 300));
    EXPECT_EQ(ChildFrame(w->Editor)->pos(), QPoint(200, 301));
    EXPECT_EQ(ChildFrame(w->Editor)->size(), QSize(310, 220));
    EXPECT_EQ(ChildFrame(w->PaletteCtrl)->pos(), QPoint(400, 14));
    EXPECT_EQ(ChildFrame(w->TileCtrl)->pos(), QPoint(401, 302));
}

TEST_F(OptionsLayout, GridSizeAndZoomsAreRestoredThroughTheControls)
{
    w->BrowCtrl->ScrRows->setValue(12);
    w->BrowCtrl->ScrLines->setValue(7);
    w->BrowCtrl->BtBrowZoomIn_Click();
    w->EditCtrl->BtEditZoomOut_Click();
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));

    w->BrowCtrl->ScrRows->setValue(3);
    w->BrowCtrl->ScrLines->setValue(16);
    w->BrowCtrl->BtBrowZoomOut_Click();
    w->BrowCtrl->BtBrowZoomOut_Click();
    w->EditCtrl->BtEditZoomIn_Click();
    w->EditCtrl->BtEditZoomIn_Click();

    ASSERT_TRUE(LoadConfig(state, *w, Folders()));
    EXPECT_EQ(state.BrowserColumns, 12);
    EXPECT_EQ(state.BrowserLines, 7);
    EXPECT_EQ(state.BrowserZoom, 4);
    EXPECT_EQ(state.EditorZoom, 4);
    EXPECT_EQ(w->BrowCtrl->ScrRows->value(), 12);
    EXPECT_EQ(w->BrowCtrl->ScrLines->value(), 7);
    EXPECT_EQ(w->BrowCtrl->LbRows->text().toStdString(), "12");
    EXPECT_EQ(w->BrowCtrl->LbLines->text().toStdString(), "7");
    // The browser is sized for the restored grid and zoom.
    EXPECT_EQ(w->Browser->width(), 4 * 12 * 8 + 17);
    EXPECT_EQ(w->Browser->height(), 4 * 7 * 8);
}

TEST_F(OptionsLayout, ZoomAloneIsRestoredToo)
{
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    w->BrowCtrl->BtBrowZoomIn_Click();
    ASSERT_EQ(state.BrowserZoom, 4);
    ASSERT_TRUE(LoadConfig(state, *w, Folders()));
    EXPECT_EQ(state.BrowserZoom, 3);
    EXPECT_EQ(w->Browser->height(), 3 * state.BrowserLines * 8);
}

TEST_F(OptionsLayout, FloatingWindowsKeepTheirPlaceRelativeToTheMainWindow)
{
    ASSERT_NE(w->Bookmark, nullptr);
    ASSERT_NE(w->Pattern, nullptr);
    const std::array<QWidget*, 4> floating{w->Bookmark, w->ColorSet, w->Pattern, options.get()};
    const std::array<QPoint, 4> offsets{QPoint(10, 20), QPoint(60, 70), QPoint(30, -10), QPoint(100, 40)};
    form->move(20, 30);
    for (std::size_t i = 0; i < floating.size(); ++i)
        floating[i]->move(form->pos() + offsets[i]);
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    const std::vector<std::uint8_t> bytes = SavedBytes();
    for (std::size_t i = 0; i < floating.size(); ++i) {
        EXPECT_EQ(ValueAt(bytes, 48 + 4 * static_cast<int>(i)), offsets[i].x() * 15);
        EXPECT_EQ(ValueAt(bytes, 50 + 4 * static_cast<int>(i)), offsets[i].y() * 15);
    }

    form->move(50, 45);
    for (QWidget* window : floating)
        window->move(0, 0);
    ASSERT_TRUE(LoadConfig(state, *w, Folders()));
    for (std::size_t i = 0; i < floating.size(); ++i)
        EXPECT_EQ(floating[i]->pos(), QPoint(50, 45) + offsets[i]) << i;
}

TEST_F(OptionsLayout, SwitchesAreSetInBothDirectionsAndRunTheirHandlers)
{
    w->Tools->ChkBrow->click();
    w->EditCtrl->ChkGridEditor->click();
    options->CheckSaveWarn->click();
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    EXPECT_EQ(ValueAt(SavedBytes(), 2), 1 + 8);

    w->Tools->ChkTile->click();
    w->Tools->ChkEdit->click();
    w->Tools->ChkBrow->click();
    w->EditCtrl->ChkGridEditor->click();
    options->CheckSaveWarn->click();
    ASSERT_TRUE(IsChildVisible(w->TileCtrl));
    ASSERT_TRUE(IsChildVisible(w->Editor));
    ASSERT_FALSE(IsChildVisible(w->BrowCtrl));

    ASSERT_TRUE(LoadConfig(state, *w, Folders()));
    EXPECT_TRUE(w->Tools->ChkBrow->isChecked());
    EXPECT_FALSE(w->Tools->ChkEdit->isChecked());
    EXPECT_FALSE(w->Tools->ChkTile->isChecked());
    EXPECT_FALSE(w->EditCtrl->ChkGridEditor->isChecked());
    EXPECT_FALSE(options->CheckSaveWarn->isChecked());
    EXPECT_FALSE(state.ShowSaveWarning);
    // ApplyToolPanel ran for the changed window switches.
    EXPECT_TRUE(IsChildVisible(w->BrowCtrl));
    EXPECT_FALSE(IsChildVisible(w->Editor));
    EXPECT_FALSE(IsChildVisible(w->TileCtrl));
}

TEST_F(OptionsLayout, LoadOldLayoutAppliesWhileTheMainWindowIsDisabledAndCloses)
{
    w->Tools->ChkTile->click();
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    w->Tools->ChkTile->click();
    ASSERT_FALSE(IsChildVisible(w->TileCtrl));

    options->ShowOptions();
    dialogs.QueueColor(MakePackedColor(9, 9, 9));
    QTest::mouseClick(options->LbGridColor, Qt::LeftButton);
    QTest::mouseClick(options->BtLoadNow, Qt::LeftButton);
    EXPECT_TRUE(w->Tools->ChkTile->isChecked());
    EXPECT_TRUE(IsChildVisible(w->TileCtrl));
    EXPECT_EQ(state.GridColor, MakePackedColor(9, 9, 9));
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(options->isVisible());
}

// --- Files the loader refuses or repairs -----------------------------------------------------

TEST_F(OptionsLayout, Marker53AndShortFilesChangeNothing)
{
    w->Tools->ChkBrow->click();
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    std::vector<std::uint8_t> changed = SavedBytes();
    PutValue(changed, 2, 0);
    PutValue(changed, 20, 16);
    std::vector<std::uint8_t> marker53 = changed;
    marker53[0] = 53;
    std::vector<std::uint8_t> short63(changed.begin(), changed.end() - 1);
    for (const auto& bytes : {marker53, short63, std::vector<std::uint8_t>{}}) {
        WriteBytes(ProgramFile(), bytes);
        EXPECT_FALSE(LoadConfig(state, *w, Folders())) << bytes.size();
        EXPECT_EQ(state.BrowserColumns, 8);
        EXPECT_TRUE(w->Tools->ChkBrow->isChecked());
        EXPECT_TRUE(w->BrowCtrl->ChkGrid->isChecked());
    }
    EXPECT_TRUE(dialogs.Prompts.empty());
    // The same values behind a good marker do load.
    WriteBytes(ProgramFile(), changed);
    EXPECT_TRUE(LoadConfig(state, *w, Folders()));
    EXPECT_EQ(state.BrowserColumns, 16);
}

TEST_F(OptionsLayout, BadValuesAreClamped)
{
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    std::vector<std::uint8_t> bytes = SavedBytes();
    PutValue(bytes, 4, 32767);   // main window width
    PutValue(bytes, 6, -32768);  // main window height
    PutValue(bytes, 8, -15000);  // tool panel left
    PutValue(bytes, 10, 32000);  // tool panel top
    PutValue(bytes, 20, 99);
    PutValue(bytes, 22, 1);
    PutValue(bytes, 24, 0);
    PutValue(bytes, 38, 0x0100);  // low byte 0
    PutValue(bytes, 52, 32000);   // color set far to the right
    WriteBytes(ProgramFile(), bytes);

    ASSERT_TRUE(LoadConfig(state, *w, Folders()));
    EXPECT_EQ(state.BrowserColumns, 16);
    EXPECT_EQ(state.BrowserLines, 6);
    EXPECT_EQ(state.BrowserZoom, 2);
    EXPECT_EQ(state.EditorZoom, 2);
    EXPECT_EQ(w->BrowCtrl->ScrRows->value(), 16);
    EXPECT_EQ(w->BrowCtrl->LbLines->text().toStdString(), "6");

    const QRect screen = form->screen()->availableGeometry();
    EXPECT_LE(form->frameGeometry().width(), screen.width());
    EXPECT_GE(form->frameGeometry().width(), screen.width() - 1);
    EXPECT_GE(form->frameGeometry().height(), 100);
    EXPECT_EQ(ChildFrame(w->Tools)->pos(), QPoint(0, screen.height() - 32));
    EXPECT_EQ(w->ColorSet->pos().x(), screen.x() + screen.width() - 32);
}

TEST_F(OptionsLayout, MaximisedLayoutComesBackInsideTheScreen)
{
    const QRect screen = form->screen()->availableGeometry();
    form->move(screen.topLeft() + QPoint(100, 80));
    form->showMaximized();
    QTest::qWait(20);
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    EXPECT_EQ(ValueAt(SavedBytes(), 6), form->frameGeometry().height() * 15);
    form->showNormal();
    QTest::qWait(20);
    ASSERT_EQ(form->pos(), screen.topLeft() + QPoint(100, 80));

    ASSERT_TRUE(LoadConfig(state, *w, Folders()));
    const QRect frame = form->frameGeometry();
    EXPECT_TRUE(screen.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                        << frame.height();
    EXPECT_EQ(frame.size(), screen.size());
    // The status strip is on the screen.
    EXPECT_TRUE(screen.contains(form->LbInfo->mapToGlobal(form->LbInfo->rect().bottomLeft())));
}

TEST_F(OptionsLayout, LayoutAppliedBeforeTheShowFitsOnceTheFrameIsKnown)
{
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    std::vector<std::uint8_t> bytes = SavedBytes();
    PutValue(bytes, 4, 32767);
    PutValue(bytes, 6, 32767);
    WriteBytes(ProgramFile(), bytes);

    ProgramState otherState;
    ScriptedDialogs otherDialogs;
    MainForm other(otherState, &otherDialogs);
    ASSERT_TRUE(LoadConfig(otherState, other.AllWindows(), Folders()));
    other.show();
    QTest::qWait(50);
    const QRect screen = other.screen()->availableGeometry();
    const QRect frame = other.frameGeometry();
    ASSERT_NE(frame, other.geometry()) << "the platform gives windows no frame";
    EXPECT_TRUE(screen.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                        << frame.height();
}

TEST_F(OptionsLayout, SaveKeepsTheBytesPastTheLayout)
{
    std::vector<std::uint8_t> old(100, 0);
    for (std::size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<std::uint8_t>(0xA0 + i);
    WriteBytes(ProgramFile(), old);
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    const std::vector<std::uint8_t> saved = SavedBytes();
    ASSERT_EQ(saved.size(), 100u);
    const auto layout = BuildConfigFile(GatherLayout(state, *w));
    EXPECT_TRUE(std::equal(layout.begin(), layout.end(), saved.begin()));
    EXPECT_EQ(std::vector<std::uint8_t>(saved.begin() + 64, saved.end()),
              std::vector<std::uint8_t>(old.begin() + 64, old.end()));
}

TEST_F(OptionsLayout, UnwritableFoldersAreReported)
{
    const std::string blocker = dir.WriteFile("not-a-folder", {1});
    options->Folders = {blocker, blocker + "/config"};
    options->ShowOptions();
    QTest::mouseClick(options->BtSaveNow, Qt::LeftButton);
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].Caption, "Saving failed");
    EXPECT_EQ(dialogs.Prompts[0].Icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs.Prompts[0].Text,
              "Could not save the layout file '" + blocker + "/config/Brixel.cfg': its folder could not be created.");
    EXPECT_TRUE(options->isVisible());
    options->close();
}

// --- Where the file lives ------------------------------------------------------------------------

TEST_F(ConfigLocation, WrittenToTheProgramFolderWhenWritable)
{
    EXPECT_EQ(ConfigWritePath(Folders()), ProgramFile().string());
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    EXPECT_TRUE(fs::exists(ProgramFile()));
    EXPECT_FALSE(fs::exists(userDir));
}

TEST_F(ConfigLocation, UserFolderIsCreatedWhenTheProgramFolderCannotBeWritten)
{
    const ConfigFolders folders{(dir.Path() / "missing").string(), userDir.string()};
    EXPECT_EQ(ConfigWritePath(folders), (userDir / "Brixel.cfg").string());
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, folders));
    EXPECT_EQ(ReadWholeFile((userDir / "Brixel.cfg").string()).size(), 64u);
    EXPECT_EQ(ConfigReadPath(folders), (userDir / "Brixel.cfg").string());
}

TEST_F(ConfigLocation, ReadFromTheProgramFolderFirst)
{
    EXPECT_EQ(ConfigReadPath(Folders()), "");
    EXPECT_FALSE(LoadConfig(state, *w, Folders()));

    fs::create_directories(userDir);
    WriteBytes(userDir / "Brixel.cfg", std::vector<std::uint8_t>(64, 0));
    EXPECT_EQ(ConfigReadPath(Folders()), (userDir / "Brixel.cfg").string());

    WriteBytes(ProgramFile(), std::vector<std::uint8_t>(64, 0));
    EXPECT_EQ(ConfigReadPath(Folders()), ProgramFile().string());
}

TEST_F(ConfigLocation, LayoutSavedLastWinsBesideAReadOnlyProgramFolder)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser can write into any folder";
    WriteBytes(ProgramFile(), std::vector<std::uint8_t>(64, 0));
    fs::permissions(programDir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(ConfigWritePath(Folders()), (userDir / "Brixel.cfg").string());
    ASSERT_TRUE(SaveConfig(state, *w, dialogs, Folders()));
    EXPECT_EQ(ConfigReadPath(Folders()), (userDir / "Brixel.cfg").string());
    fs::permissions(programDir, fs::perms::owner_all);
}
