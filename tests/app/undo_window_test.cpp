#include "ui/app/main_form.h"
#include "ui/app/tools.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/pattern.h"
#include "ui/palette/color_set.h"
#include "ui/palette/palette_ctrl.h"
#include "ui/tools/bookmark.h"
#include "model/editor/canvas_tools.h"
#include "model/editor/editor_slots.h"
#include "support/temp_dir.h"
#include "support/viewer_fixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>

namespace {

constexpr const char* OneUnsaved = "1 edited tile is not saved to the file.";

// A shown main window on a 4 KiB ROM of counting bytes, with the browser's
// first tile copied into editor cell 0 by a double-click.
class UndoWindow : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        original_ = CountingBytes(4096);
        romPath_ = OpenRom(original_);
        state.ShowSaveWarning = false;
        w->Editor->resize(500, 450);
        QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5, 5));
        ASSERT_EQ(state.EditorSlots[0].Address, 0);
        readPixels_ = state.EditorSlots[0].Pixels;
        // Keys reach shortcuts only in the active window; the about window
        // shows first.
        QCoreApplication::processEvents();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        w->Editor->setFocus();
        dialogs.Prompts.clear();
    }

    // One stroke across the top row of cell 0 in paint mode.
    void PaintStroke(std::uint8_t color)
    {
        w->EditCtrl->OptionPaint->click();
        state.CurrentColor = color;
        QTest::mousePress(w->Editor, Qt::LeftButton, {}, QPoint(1, 1));
        QTest::mouseMove(w->Editor, QPoint(8, 1));
        QTest::mouseMove(w->Editor, QPoint(17, 1));
        QTest::mouseRelease(w->Editor, Qt::LeftButton, {}, QPoint(17, 1));
    }

    void Key(QKeyCombination key) { QTest::keyClick(w->Editor, key.key(), key.keyboardModifiers()); }
    // Where a canvas pixel lies in the editor at the start's zoom of 3.
    static QPoint PixelPoint(CanvasPoint pixel) { return {pixel.X * 3 + 1, pixel.Y * 3 + 1}; }
    std::string Info() const { return form->LbInfo->text().toStdString(); }
    std::string ItemText(const char* name) const { return form->MenuItem(name)->text().toStdString(); }
    int Asked(ScriptedDialogs::Kind kind) const
    {
        return static_cast<int>(std::count_if(dialogs.Prompts.begin(), dialogs.Prompts.end(),
                                              [kind](const auto& prompt) { return prompt.PromptKind == kind; }));
    }
    // Whether the editor shows cell 0's unsaved mark (top right corner).
    bool CellZeroMarked() const { return w->Editor->BackingImage().pixel(22, 0) == qRgb(255, 128, 0); }

    std::vector<std::uint8_t> original_;
    std::string romPath_;
    TilePixels readPixels_{};
};

TEST_F(UndoWindow, CtrlZUndoesAPaintStrokeAsOneStepAndTheRedoKeysBringItBack)
{
    PaintStroke(3);
    const TilePixels painted = state.EditorSlots[0].Pixels;
    ASSERT_NE(painted, readPixels_);
    EXPECT_EQ(painted[0], 3);
    EXPECT_EQ(painted[5], 3);
    EXPECT_TRUE(CellZeroMarked());
    EXPECT_EQ(ItemText("IUndo"), "Undo paint");
    EXPECT_EQ(ItemText("IRedo"), "Redo");
    EXPECT_FALSE(form->MenuItem("IRedo")->isEnabled());

    // The whole stroke goes with one key.
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(state.EditorSlots[0].Pixels, readPixels_);
    EXPECT_FALSE(state.EditorSlots[0].Edited);
    EXPECT_FALSE(CellZeroMarked());
    EXPECT_EQ(Info(), "Undone: paint");
    EXPECT_EQ(ItemText("IUndo"), "Undo copy of a tile");
    EXPECT_EQ(ItemText("IRedo"), "Redo paint");

    Key(Qt::CTRL | Qt::Key_Y);
    EXPECT_EQ(state.EditorSlots[0].Pixels, painted);
    EXPECT_EQ(Info(), "Redone: paint");
    Key(Qt::CTRL | Qt::Key_Z);
    Key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(state.EditorSlots[0].Pixels, painted);
    EXPECT_TRUE(CellZeroMarked());

    // Undoing the copy empties the cell again; past the first step nothing
    // happens.
    Key(Qt::CTRL | Qt::Key_Z);
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(state.EditorSlots[0].Address, EmptySlot);
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(ItemText("IUndo"), "Undo");
    EXPECT_FALSE(form->MenuItem("IUndo")->isEnabled());
    EXPECT_TRUE(dialogs.Prompts.empty());
}

TEST_F(UndoWindow, AStrokeEndsOnlyWithTheLeftButtonAndCtrlZMidStrokeTakesItBack)
{
    w->EditCtrl->OptionPaint->click();
    state.CurrentColor = 3;
    QTest::mousePress(w->Editor, Qt::LeftButton, {}, QPoint(1, 1));
    // A right click during the stroke does not end it.
    QTest::mousePress(w->Editor, Qt::RightButton, Qt::NoModifier, QPoint(4, 1));
    QTest::mouseRelease(w->Editor, Qt::RightButton, Qt::NoModifier, QPoint(4, 1));
    state.CurrentColor = 3;
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 1), w->Editor->mapToGlobal(QPointF(10, 1)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w->Editor, &move);
    QTest::mouseRelease(w->Editor, Qt::LeftButton, {}, QPoint(10, 1));
    ASSERT_EQ(state.History.Size(), 2u);  // the copy and one stroke
    EXPECT_EQ(state.EditorSlots[0].Pixels[3], 3);
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(state.EditorSlots[0].Pixels, readPixels_);

    // Ctrl+Z with the button still down takes back the stroke so far; the
    // held button paints no more.
    QTest::mousePress(w->Editor, Qt::LeftButton, {}, QPoint(1, 1));
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(state.EditorSlots[0].Pixels, readPixels_);
    QCoreApplication::sendEvent(w->Editor, &move);
    QTest::mouseRelease(w->Editor, Qt::LeftButton, {}, QPoint(10, 1));
    EXPECT_EQ(state.EditorSlots[0].Pixels, readPixels_);
    EXPECT_EQ(ItemText("IRedo"), "Redo paint");
}

TEST_F(UndoWindow, UndoOfSaveAllPutsTheRomBytesBackAfterTheSaveWarning)
{
    PaintStroke(3);
    state.ShowSaveWarning = true;
    dialogs.QueueYesNo(true);
    Key(Qt::CTRL | Qt::Key_S);
    const std::vector<std::uint8_t> saved = ReadWholeFile(romPath_);
    ASSERT_NE(saved, original_);
    EXPECT_FALSE(CellZeroMarked());
    EXPECT_EQ(ItemText("IUndo"), "Undo save of 1 tiles");

    // A "no" to the warning undoes nothing.
    dialogs.QueueYesNo(false);
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(ReadWholeFile(romPath_), saved);
    EXPECT_EQ(ItemText("IUndo"), "Undo save of 1 tiles");

    dialogs.QueueYesNo(true);
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(ReadWholeFile(romPath_), original_);
    EXPECT_EQ(Info(), "Undone: save of 1 tiles");
    // The cell holds its edit, unsaved again.
    EXPECT_TRUE(state.EditorSlots[0].Edited);
    EXPECT_TRUE(CellZeroMarked());
    EXPECT_EQ(Asked(ScriptedDialogs::Kind::YesNo), 3);
    for (const auto& prompt : dialogs.Prompts)
        EXPECT_EQ(prompt.Caption, "Saving?");

    // Without the warning, redo asks nothing.
    state.ShowSaveWarning = false;
    Key(Qt::CTRL | Qt::Key_Y);
    EXPECT_EQ(ReadWholeFile(romPath_), saved);
    EXPECT_EQ(dialogs.Prompts.size(), 3u);
}

TEST_F(UndoWindow, AnUndoRefusedByAFileChangedOutsideKeepsTheHistory)
{
    PaintStroke(3);
    Key(Qt::CTRL | Qt::Key_S);
    const std::vector<std::uint8_t> saved = ReadWholeFile(romPath_);
    // Another program replaces the file.
    const std::string other = dir.WriteFile("other.gb", saved);
    std::filesystem::rename(other, romPath_);

    // Refused before the save warning could be asked.
    state.ShowSaveWarning = true;
    Key(Qt::CTRL | Qt::Key_Z);
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].Caption, "Could not write to file");
    EXPECT_NE(dialogs.Prompts[0].Text.find("outside Brixel"), std::string::npos);
    EXPECT_EQ(Info(), "Saved 1 tiles to file");
    EXPECT_EQ(ReadWholeFile(romPath_), saved);
    EXPECT_EQ(ItemText("IUndo"), "Undo save of 1 tiles");
    EXPECT_FALSE(state.EditorSlots[0].Edited);
}

TEST_F(UndoWindow, UndoAndRedoLeaveAFileMadeReadOnlySinceTheOpenAlone)
{
    namespace fs = std::filesystem;
    PaintStroke(3);
    Key(Qt::CTRL | Qt::Key_S);
    const std::vector<std::uint8_t> saved = ReadWholeFile(romPath_);
    ASSERT_NE(saved, original_);
    dialogs.Prompts.clear();
    // The undo of the save, then (the file writable for the undo) its redo.
    for (const QKeyCombination key : {Qt::CTRL | Qt::Key_Z, Qt::CTRL | Qt::Key_Y}) {
        if (key == (Qt::CTRL | Qt::Key_Y)) {
            fs::permissions(romPath_, fs::perms::owner_read | fs::perms::owner_write);
            Key(Qt::CTRL | Qt::Key_Z);
            ASSERT_EQ(ReadWholeFile(romPath_), original_);
        }
        fs::permissions(romPath_, fs::perms::owner_read);
        const std::vector<std::uint8_t> before = ReadWholeFile(romPath_);
        const std::string info = Info();
        Key(key);
        EXPECT_EQ(ReadWholeFile(romPath_), before);
        EXPECT_EQ(Info(), info);
        ASSERT_EQ(dialogs.Prompts.size(), 1u);
        EXPECT_EQ(dialogs.Prompts[0].Text, "The opened file is 'read only'.");
        EXPECT_EQ(dialogs.Prompts[0].Caption, "Could not write to file");
        dialogs.Prompts.clear();
    }
}

TEST_F(UndoWindow, TheGuardAsksOnceOnExitAndOpenAndCancelKeepsEverything)
{
    PaintStroke(3);
    const TilePixels painted = state.EditorSlots[0].Pixels;

    dialogs.QueueSaveChoice(SaveChoice::Cancel);
    form->MenuItem("IExit")->trigger();
    EXPECT_TRUE(form->isVisible());
    dialogs.QueueSaveChoice(SaveChoice::Cancel);
    w->BrowCtrl->BtOpenFile->click();
    dialogs.QueueSaveChoice(SaveChoice::Cancel);
    w->BrowCtrl->BtCloseFile->click();
    ASSERT_EQ(dialogs.Prompts.size(), 3u);
    for (const auto& prompt : dialogs.Prompts) {
        EXPECT_EQ(prompt.PromptKind, ScriptedDialogs::Kind::SaveDiscardCancel);
        EXPECT_EQ(prompt.Text, OneUnsaved);
    }
    EXPECT_TRUE(state.FileOpen());
    EXPECT_EQ(state.FileName(), romPath_);
    EXPECT_EQ(state.EditorSlots[0].Pixels, painted);
    EXPECT_EQ(ReadWholeFile(romPath_), original_);
    EXPECT_EQ(ItemText("IUndo"), "Undo paint");

    // Save writes the cell, then the open goes on as always.
    const std::string next = dir.WriteFile("next.gb", std::vector<std::uint8_t>(2048, 0));
    dialogs.QueueSaveChoice(SaveChoice::Save);
    dialogs.QueueYesNo(true);
    dialogs.QueueFile({next, 1});
    w->BrowCtrl->BtOpenFile->click();
    EXPECT_NE(ReadWholeFile(romPath_), original_);
    EXPECT_EQ(state.FileName(), next);
    // A new file starts a new history.
    EXPECT_EQ(ItemText("IUndo"), "Undo");
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(UndoWindow, ASaveTheWarningStopsStaysAndDiscardClosesWithoutWriting)
{
    PaintStroke(3);
    state.ShowSaveWarning = true;
    dialogs.QueueSaveChoice(SaveChoice::Save);
    dialogs.QueueYesNo(false);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(state.FileOpen());
    EXPECT_TRUE(state.EditorSlots[0].Edited);

    dialogs.QueueSaveChoice(SaveChoice::Discard);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(ReadWholeFile(romPath_), original_);
    EXPECT_EQ(dialogs.Prompts.size(), 3u);
}

TEST_F(UndoWindow, TheEditMenuMakesAPatchRevertsAndAppliesItAsUndoableSteps)
{
    PaintStroke(3);
    Key(Qt::CTRL | Qt::Key_S);
    const std::vector<std::uint8_t> saved = ReadWholeFile(romPath_);

    const std::string patch = (dir.Path() / "changes").string();
    dialogs.QueueFile({patch, 1});
    form->MenuItem("ICreatePatch")->trigger();
    const std::vector<std::uint8_t> ips = ReadWholeFile(patch + ".ips");
    ASSERT_GE(ips.size(), 8u);
    EXPECT_EQ(std::string(ips.begin(), ips.begin() + 5), "PATCH");

    form->MenuItem("IRevert")->trigger();
    EXPECT_EQ(ReadWholeFile(romPath_), original_);
    EXPECT_EQ(ItemText("IUndo"), "Undo revert to opened state");

    dialogs.QueueFile({patch + ".ips", 1});
    form->MenuItem("IApplyPatch")->trigger();
    EXPECT_EQ(ReadWholeFile(romPath_), saved);
    EXPECT_EQ(ItemText("IUndo"), "Undo patch");
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(ReadWholeFile(romPath_), original_);
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(UndoWindow, AfterSaveAllARevertShowsTheFileAgainAndLeavesNothingToSave)
{
    RecordStep(state.Recorder, "color edit", [&] { state.WorkingPalette[3] = MakePackedColor(200, 10, 10); });
    PaintStroke(3);
    Key(Qt::CTRL | Qt::Key_S);
    const TilePixels painted = state.EditorSlots[0].Pixels;
    const std::vector<std::uint8_t> saved = ReadWholeFile(romPath_);
    // The cell's pixel (2, 0), painted by the stroke, as the editor shows it at zoom 3.
    auto shown = [&] { return w->Editor->BackingImage().pixel(7, 1); };
    auto colorOf = [&](const TilePixels& pixels) {
        const PackedColor color = state.WorkingPalette[pixels[2]];
        return qRgb(RedOf(color), GreenOf(color), BlueOf(color));
    };
    ASSERT_NE(colorOf(painted), colorOf(readPixels_));

    form->MenuItem("IRevert")->trigger();
    ASSERT_EQ(ReadWholeFile(romPath_), original_);
    EXPECT_EQ(state.EditorSlots[0].Pixels, readPixels_);
    EXPECT_EQ(shown(), colorOf(readPixels_));
    EXPECT_FALSE(CellZeroMarked());
    // Nothing is asked at exit, and Save all writes the file as it is.
    EXPECT_EQ(UnsavedTileCount(state), 0);
    Key(Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(ReadWholeFile(romPath_), original_);

    // Undoing the revert brings back the saved bytes and the cell with them.
    Key(Qt::CTRL | Qt::Key_Z);
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(ReadWholeFile(romPath_), saved);
    EXPECT_EQ(state.EditorSlots[0].Pixels, painted);
    EXPECT_EQ(shown(), colorOf(painted));
}

TEST_F(UndoWindow, TheEditItemsAndTheInformationLineFollowStepsUndoRedoAndRefusals)
{
    // Writes to the ROM find the disk full while this is set.
    auto diskFull = [&](bool full) {
        if (!full) {
            state.FileHandle.SetWriterForTesting({});
            return;
        }
        state.FileHandle.SetWriterForTesting([](int, const void*, std::size_t, off_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
    };
    auto onFullDisk = [&](QKeyCombination key) {
        diskFull(true);
        Key(key);
        diskFull(false);
    };
    struct Row {
        const char* Done;
        std::function<void()> Act;
        const char* Undo;  // the items' texts; a bare "Undo" or "Redo" is disabled
        const char* Redo;
        const char* Info;
    };
    const Row rows[] = {
        {"a stroke", [&] { PaintStroke(3); }, "Undo paint", "Redo", nullptr},
        {"Ctrl+Z", [&] { Key(Qt::CTRL | Qt::Key_Z); }, "Undo copy of a tile", "Redo paint", "Undone: paint"},
        {"Ctrl+Z", [&] { Key(Qt::CTRL | Qt::Key_Z); }, "Undo", "Redo copy of a tile", "Undone: copy of a tile"},
        {"Ctrl+Z with nothing to undo", [&] { Key(Qt::CTRL | Qt::Key_Z); }, "Undo", "Redo copy of a tile",
         "Undone: copy of a tile"},
        {"Ctrl+Y", [&] { Key(Qt::CTRL | Qt::Key_Y); }, "Undo copy of a tile", "Redo paint", "Redone: copy of a tile"},
        {"Ctrl+Shift+Z", [&] { Key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z); }, "Undo paint", "Redo", "Redone: paint"},
        {"Ctrl+Y with nothing to redo", [&] { Key(Qt::CTRL | Qt::Key_Y); }, "Undo paint", "Redo", "Redone: paint"},
        {"Ctrl+S", [&] { Key(Qt::CTRL | Qt::Key_S); }, "Undo save of 1 tiles", "Redo", "Saved 1 tiles to file"},
        {"Ctrl+Z on a full disk", [&] { onFullDisk(Qt::CTRL | Qt::Key_Z); }, "Undo save of 1 tiles", "Redo",
         "Nothing was undone: save of 1 tiles"},
        {"Ctrl+Z", [&] { Key(Qt::CTRL | Qt::Key_Z); }, "Undo paint", "Redo save of 1 tiles", "Undone: save of 1 tiles"},
        {"Ctrl+Y on a full disk", [&] { onFullDisk(Qt::CTRL | Qt::Key_Y); }, "Undo paint", "Redo save of 1 tiles",
         "Nothing was redone: save of 1 tiles"},
        {"a stroke after an undo", [&] { PaintStroke(2); }, "Undo paint", "Redo", nullptr},
        {"Ctrl+Z during a stroke",
         [&] {
             QTest::mousePress(w->Editor, Qt::LeftButton, {}, QPoint(4, 4));
             Key(Qt::CTRL | Qt::Key_Z);
             QTest::mouseRelease(w->Editor, Qt::LeftButton, {}, QPoint(4, 4));
         },
         "Undo paint", "Redo paint", "Undone: paint"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Done);
        const std::string info = Info();
        row.Act();
        EXPECT_EQ(ItemText("IUndo"), row.Undo);
        EXPECT_EQ(form->MenuItem("IUndo")->isEnabled(), ItemText("IUndo") != "Undo");
        EXPECT_EQ(ItemText("IRedo"), row.Redo);
        EXPECT_EQ(form->MenuItem("IRedo")->isEnabled(), ItemText("IRedo") != "Redo");
        EXPECT_EQ(Info(), row.Info ? row.Info : info);
    }
    // The two refusals said why.
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    for (const auto& prompt : dialogs.Prompts) {
        EXPECT_EQ(prompt.Caption, "Could not write to file");
        EXPECT_NE(prompt.Text.find("No space left on device"), std::string::npos);
    }
}

TEST_F(UndoWindow, CtrlZTakesBackAListEditAndItsWindowShowsTheListAgain)
{
    auto rows = [](const QListWidget* list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list->count(); ++i)
            texts.push_back(list->item(i)->text().toStdString());
        return texts;
    };
    ColorSet* sets = w->ColorSet;
    Bookmark* marks = w->Bookmark;
    Pattern* patterns = w->Pattern;
    struct Case {
        const char* Step;
        std::function<void()> Edit;
        QListWidget* List;
    };
    const Case cases[] = {
        {"add color set", [&] { QTest::mouseClick(sets->BtAddSet, Qt::LeftButton); }, sets->ListSets},
        {"rename color set",
         [&] {
             sets->TextName->setText(QStringLiteral("Renamed"));
             QTest::mouseDClick(sets->TextName, Qt::LeftButton);
         },
         sets->ListSets},
        {"add bookmark", [&] { QTest::mouseClick(marks->BtAddBookmark, Qt::LeftButton); }, marks->ListMarks},
        {"bookmark order", [&] { marks->ChkOrder->click(); }, marks->ListMarks},
        {"add pattern", [&] { QTest::mouseClick(patterns->BtAddPat, Qt::LeftButton); }, patterns->ListPat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Step);
        const std::vector<std::string> before = rows(c.List);
        const bool byDescription = marks->ChkOrder->isChecked();
        c.Edit();
        EXPECT_EQ(ItemText("IUndo"), "Undo " + std::string(c.Step));
        const std::vector<std::string> after = rows(c.List);
        ASSERT_NE(after, before);
        Key(Qt::CTRL | Qt::Key_Z);
        EXPECT_EQ(rows(c.List), before);
        EXPECT_EQ(marks->ChkOrder->isChecked(), byDescription);
        EXPECT_EQ(Info(), "Undone: " + std::string(c.Step));
        Key(Qt::CTRL | Qt::Key_Y);
        EXPECT_EQ(rows(c.List), after);
    }
}

TEST_F(UndoWindow, TheEditMenuFollowsTheMenuToggle)
{
    QAction* edit = form->IEdit->menuAction();
    EXPECT_EQ(form->menuBar()->actions()[4], edit);
    EXPECT_EQ(form->menuBar()->actions().back(), form->IWindow->menuAction());
    const bool shown = edit->isVisible();
    w->Tools->ChkMenu->click();
    EXPECT_NE(edit->isVisible(), shown);
    EXPECT_EQ(edit->isVisible(), form->IBrowser->menuAction()->isVisible());
    for (QMenu* added : {form->ILayout, form->IGo, form->IDraw, form->IWindow})
        EXPECT_EQ(added->menuAction()->isVisible(), edit->isVisible());
    // The keys work with the menus hidden.
    PaintStroke(3);
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(state.EditorSlots[0].Pixels, readPixels_);
    w->Tools->ChkMenu->click();
    EXPECT_EQ(edit->isVisible(), shown);
    EXPECT_EQ(edit->isVisible(), form->IBrowser->menuAction()->isVisible());
}

TEST_F(UndoWindow, EachDrawingToolIsOneStepThatFollowsThePointerAndCtrlZTakesBack)
{
    struct Case {
        const char* Item;
        const char* Step;
        CanvasPoint Press, Move, Release;
        std::vector<int> (*Draw)(EditorSlotTable&, CanvasPoint, CanvasPoint);
    };
    const Case cases[] = {
        {"IDrawFlood",
         "flood fill",
         {12, 2},
         {30, 9},
         {30, 9},
         [](EditorSlotTable& s, CanvasPoint a, CanvasPoint) { return FloodFill(s, a, 6); }},
        {"IDrawLine",
         "line",
         {2, 1},
         {20, 14},
         {15, 4},
         [](EditorSlotTable& s, CanvasPoint a, CanvasPoint b) { return DrawCanvasPixels(s, LinePoints(a, b), 6); }},
        {"IDrawRect",
         "rectangle",
         {6, 6},
         {1, 20},
         {11, 3},
         [](EditorSlotTable& s, CanvasPoint a, CanvasPoint b) {
             return DrawCanvasPixels(s, RectanglePoints(a, b, false), 6);
         }},
        {"IDrawFilledRect",
         "rectangle",
         {6, 6},
         {20, 20},
         {3, 11},
         [](EditorSlotTable& s, CanvasPoint a, CanvasPoint b) {
             return DrawCanvasPixels(s, RectanglePoints(a, b, true), 6);
         }},
    };
    state.CurrentColor = 6;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Item);
        form->MenuItem(c.Item)->trigger();
        emit form->IDraw->aboutToShow();
        EXPECT_TRUE(form->MenuItem(c.Item)->isChecked());
        for (QRadioButton* option : {w->EditCtrl->OptionSelect, w->EditCtrl->OptionPaint, w->EditCtrl->OptionFill})
            EXPECT_FALSE(option->isChecked());
        const EditorSlotTable before = state.EditorSlots;
        EditorSlotTable expected = before;
        c.Draw(expected, c.Press, c.Release);
        QTest::mousePress(w->Editor, Qt::LeftButton, {}, PixelPoint(c.Press));
        QTest::mouseMove(w->Editor, PixelPoint(c.Move));
        // A shape shows while it is dragged; the flood fill happened on the press.
        EXPECT_EQ(CanvasPixel(state.EditorSlots, c.Move), 6);
        QTest::mouseRelease(w->Editor, Qt::LeftButton, {}, PixelPoint(c.Release));
        EXPECT_TRUE(state.EditorSlots == expected);
        EXPECT_EQ(ItemText("IUndo"), "Undo " + std::string(c.Step));
        Key(Qt::CTRL | Qt::Key_Z);
        EXPECT_TRUE(state.EditorSlots == before);
        EXPECT_FALSE(CellZeroMarked());
    }
    // A click on a described tool's button switches back.
    w->EditCtrl->OptionPaint->click();
    EXPECT_EQ(state.EditMode, EditorTool::Paint);
}

TEST_F(UndoWindow, AltClickPicksTheColorInEveryToolAndChangesNothing)
{
    const auto pixel = std::max_element(readPixels_.begin(), readPixels_.end());
    const int index = static_cast<int>(pixel - readPixels_.begin());
    ASSERT_GT(*pixel, 0);
    for (const char* item : {"IDrawSelect", "IDrawPaint", "IDrawFill", "IDrawFlood", "IDrawLine", "IDrawRect"}) {
        SCOPED_TRACE(item);
        form->MenuItem(item)->trigger();
        state.CurrentColor = 0;
        // The cursor starts elsewhere, so a Select press would move it.
        state.EditorCursorCol = 5;
        QTest::mousePress(w->Editor, Qt::LeftButton, Qt::AltModifier, PixelPoint({index % 8, index / 8}));
        QTest::mouseMove(w->Editor, PixelPoint({12, 12}));
        QTest::mouseRelease(w->Editor, Qt::LeftButton, Qt::AltModifier, PixelPoint({12, 12}));
        EXPECT_EQ(state.CurrentColor, *pixel);
        const PackedColor shown = state.WorkingPalette[*pixel];
        EXPECT_EQ(w->PaletteCtrl->ShpCol->palette().color(QPalette::Window).rgb(),
                  qRgb(RedOf(shown), GreenOf(shown), BlueOf(shown)));
        EXPECT_EQ(state.EditorSlots[0].Pixels, readPixels_);
        EXPECT_EQ(state.EditorCursorCol, 5);
        EXPECT_EQ(state.History.Size(), 1u);
    }
}

TEST_F(UndoWindow, ReplaceColorAsksAndChangesTheCursorCellOrAllCellsInOneStep)
{
    const std::uint8_t from = *std::max_element(readPixels_.begin(), readPixels_.end());
    // Cell 1 holds the color in its pixel (1, 1) too; the cursor is on cell 0.
    w->EditCtrl->OptionPaint->click();
    state.CurrentColor = from;
    QTest::mouseClick(w->Editor, Qt::LeftButton, {}, PixelPoint({9, 1}));
    state.EditorCursorCol = 0;
    state.EditorCursorRow = 0;
    const EditorSlotTable before = state.EditorSlots;
    TilePixels replaced = readPixels_;
    std::replace(replaced.begin(), replaced.end(), from, std::uint8_t{9});
    state.CurrentColor = 9;
    for (const bool all : {false, true}) {
        SCOPED_TRACE(all);
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->findChild<QSpinBox*>("SpinToColor")->value(), 9);
            dialog->findChild<QSpinBox*>("SpinFromColor")->setValue(from);
            dialog->findChild<QComboBox*>("ComboReplaceScope")->setCurrentIndex(all ? 1 : 0);
            static_cast<QDialog*>(dialog)->accept();
        });
        form->MenuItem("IDrawReplace")->trigger();
        EXPECT_EQ(ItemText("IUndo"), "Undo replace color");
        EXPECT_EQ(state.EditorSlots[0].Pixels, replaced);
        EXPECT_EQ(state.EditorSlots[1].Pixels[9], all ? 9 : from);
        // The dialog had the keys; the menu item undoes.
        form->MenuItem("IUndo")->trigger();
        EXPECT_TRUE(state.EditorSlots == before);
    }
}

}  // namespace
