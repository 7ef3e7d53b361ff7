#include "ui/app/main_form.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/editor.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/palette/color_set.h"
#include "support/viewer_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using InputHabits = ViewerFixture;

TEST_F(InputHabits, MenusShowTheKeysWhichFireOnlyInTheirWindowsAndCtrlSSavesAll)
{
    EXPECT_EQ(form->MenuItem("ITFlip")->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(form->MenuItem("ITFlip")->text().toStdString(), "Flip tile");
    EXPECT_EQ(form->MenuItem("ISaveAll")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(form->MenuItem("IEZoomIn")->shortcut(), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus));
    EXPECT_EQ(form->MenuItem("INonCopied")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));

    const std::string path = OpenRom(std::vector<std::uint8_t>(4096, 0));
    state.ShowSaveWarning = false;
    RecordStep(state.Recorder, "copy of a tile", [&] {
        state.EditorSlots[0].Address = 8;  // one pixel at the top left
        state.EditorSlots[0].Pixels = {};
        state.EditorSlots[0].Pixels[0] = 1;
    });
    w->TileCtrl->LoadTile(0);
    // Shortcuts are live only in the active window; the about window shows first.
    QCoreApplication::processEvents();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    w->Browser->TakeFocus();
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_End, Qt::Key_PageDown, Qt::Key_A, Qt::Key_R, Qt::Key_S, Qt::Key_C})
        QTest::keyClick(w->Browser->ScrAdd, key);
    EXPECT_EQ(state.EditorSlots[0].Pixels[0], 1);
    EXPECT_EQ(state.EditorSlots[0].Address, 8);
    EXPECT_EQ(ReadWholeFile(path), std::vector<std::uint8_t>(4096, 0));

    QTest::keyClick(w->Browser->ScrAdd, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(form->LbInfo->text().toStdString(), "Saved 1 tiles to file");
    EXPECT_EQ(ReadWholeFile(path)[8], 0x80);
    // In the editor Delete still flips; Ctrl+S saves also with the menus hidden.
    w->Editor->setFocus();
    QTest::keyClick(w->Editor, Qt::Key_Delete);
    form->ShowMenus(false);
    form->SetInfoText("");
    QTest::keyClick(w->Editor, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(form->LbInfo->text().toStdString(), "Saved 1 tiles to file");
    EXPECT_EQ(ReadWholeFile(path)[8], 0x01);
}

TEST_F(InputHabits, HexFormsInTheTileToolAndPaletteAddresses)
{
    std::vector<std::uint8_t> rom(4096, 0);
    rom[1024] = 0x1F;
    OpenRom(rom);
    RecordStep(state.Recorder, "copy of a tile", [&] { state.EditorSlots[3].Address = 960; });
    w->TileCtrl->LoadTile(3);
    w->TileCtrl->EdAdd->setText(QStringLiteral("$1A"));
    EXPECT_EQ(w->TileCtrl->LbHex->text().toStdString(), "0000001A hex");
    w->TileCtrl->EdAdd->setText(QStringLiteral("0XFFFF"));  // past the last 1-bit tile
    EXPECT_EQ(w->TileCtrl->EdAdd->text().toStdString(), "4088");

    ColorSet* sets = w->ColorSet;
    sets->ComboPalMode->setCurrentIndex(1);
    sets->EdPalAdd->setEditText(QStringLiteral("0x400"));
    sets->BtPalIn->click();
    EXPECT_EQ(sets->EdPalAdd->currentText().toStdString(), "1024");
    EXPECT_EQ(sets->Sets().ColorSets[0].Colors[0], MakePackedColor(248, 0, 0));
}
