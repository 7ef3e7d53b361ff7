#include "ui/app/main_form.h"
#include "ui/browser/browser.h"
#include "ui/editor/editor.h"
#include "ui/palette/color_dialog.h"
#include "ui/palette/color_set.h"
#include "model/palette/act_palette_format.h"
#include "model/palette/color_set_edits.h"
#include "model/palette/jasc_palette_format.h"
#include "ui/palette/palette_ctrl.h"
#include "support/viewer_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

using ColorDialogWindow = ViewerFixture;
using ColorSetWindow = ViewerFixture;

// The application's active window is this one. (QTest's wait for an
// active window also counts a tool window active while its main window is.)
bool WaitActive(QWidget* window)
{
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 2000);
}

std::string Text(const QLabel* label)
{
    return label->text().toStdString();
}

QRgb Rgb(PackedColor color)
{
    return qRgb(RedOf(color), GreenOf(color), BlueOf(color));
}

}  // namespace

TEST_F(ColorDialogWindow, LabelsShowEightAndFiveBitValues)
{
    ColorDialog* dialog = w->ColorDialog;
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Color");
    dialog->SetColor(-1, 0, MakePackedColor(255, 255, 128));
    EXPECT_EQ(Text(dialog->ColVal[0]), "255");
    EXPECT_EQ(Text(dialog->ColVal[1]), "255");
    EXPECT_EQ(Text(dialog->ColVal[2]), "128");
    EXPECT_EQ(Text(dialog->ColVal[3]), "31");
    EXPECT_EQ(Text(dialog->ColVal[4]), "31");
    EXPECT_EQ(Text(dialog->ColVal[5]), "16");
    EXPECT_EQ(dialog->ColVal[1]->toolTip().toStdString(), "This is the current 'Green' value");
    EXPECT_EQ(dialog->ColVal[5]->toolTip().toStdString(), "This is the current 'Blue' 5 bit value");
    EXPECT_EQ(Text(dialog->LBColPrev), "OK");
    EXPECT_EQ(dialog->BtCancle->text().toStdString(), "Cancle");
    dialog->ColScroll[2]->setValue(7);
    EXPECT_EQ(Text(dialog->ColVal[5]), "0");
}

TEST_F(ColorDialogWindow, AcceptStoresAndRedrawsEveryView)
{
    OpenRom(std::vector<std::uint8_t>(4096, 0xFF));  // every browser pixel is index 1
    RecordStep(state.Recorder, "fill", [&] {
        state.EditorSlots[0] = {UnboundTile, {}, std::nullopt};
        state.EditorSlots[0].Pixels.fill(1);
    });
    w->Editor->RenderSlot(0);
    ColorDialog* dialog = w->ColorDialog;
    dialog->SetColor(-1, 1, state.WorkingPalette[1]);
    dialog->show();
    for (int k = 0; k < 3; ++k)
        dialog->ColScroll[k]->setValue(10 * (k + 1));
    QTest::mouseClick(dialog->LBColPrev, Qt::LeftButton);
    const PackedColor stored = MakePackedColor(10, 20, 30);
    EXPECT_EQ(state.WorkingPalette[1], stored);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(w->Browser->BackingImage().pixel(4, 4), Rgb(stored));
    EXPECT_EQ(w->Editor->BackingImage().pixel(4, 4), Rgb(stored));
}

TEST_F(ColorDialogWindow, CancelAndDeactivationStoreNothing)
{
    const PackedColor before = state.WorkingPalette[3];
    ColorDialog* dialog = w->ColorDialog;
    dialog->SetColor(-1, 3, before);
    dialog->show();
    dialog->ColScroll[0]->setValue(1);
    dialog->BtCancle->click();
    EXPECT_FALSE(dialog->isVisible());
    dialog->show();
    dialog->ColScroll[0]->setValue(2);
    dialog->Form_Deactivate();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(state.WorkingPalette[3], before);
}

TEST_F(ColorSetWindow, AddApplyDeleteAndTheNameField)
{
    ColorSet* sets = w->ColorSet;
    EXPECT_EQ(sets->windowTitle().toStdString(), "Color Set");
    sets->BtAddSet->click();
    ASSERT_EQ(sets->ListSets->count(), 1);
    EXPECT_EQ(sets->ListSets->item(0)->text().toStdString(), "No description");
    sets->TextName->setText(QStringLiteral("Mine"));
    sets->BtAddSet->click();
    sets->BtRandomPal->click();
    EXPECT_EQ(sets->ListSets->item(1)->text().toStdString(), "Mine");
    EXPECT_EQ(sets->ListSets->item(2)->text().toStdString(), "Random palette");

    // Apply the random set to the working palette.
    sets->ListSets->setCurrentRow(2);
    sets->BtApplySet->click();
    EXPECT_EQ(state.WorkingPalette, sets->Sets().ColorSets[2].Colors);

    // Delete the middle set: the last takes its place, the selection stays.
    sets->ListSets->setCurrentRow(1);
    sets->BtDelSet->click();
    ASSERT_EQ(sets->ListSets->count(), 2);
    EXPECT_EQ(sets->ListSets->item(1)->text().toStdString(), "Random palette");
    EXPECT_EQ(sets->Sets().SelectedSet, 1);

    sets->TextName->setText(QStringLiteral("Renamed"));
    QTest::mouseDClick(sets->TextName, Qt::LeftButton);
    EXPECT_EQ(sets->ListSets->item(1)->text().toStdString(), "Renamed");
}

TEST_F(ColorSetWindow, PreviewClickOpensTheDialogAndKeepsTheWindow)
{
    ColorSet* sets = w->ColorSet;
    sets->BtAddSet->click();
    sets->ShowTool();
    QTest::mouseClick(sets->ImCol, Qt::LeftButton, {}, QPoint(8 * 5 + 2, 1));
    EXPECT_TRUE(w->ColorDialog->isVisible());
    EXPECT_EQ(w->ColorDialog->Target(), 0);
    EXPECT_EQ(w->ColorDialog->Index(), 5);
    sets->Form_Deactivate();  // the dialog took the focus
    EXPECT_TRUE(sets->isVisible());
    w->ColorDialog->ColScroll[0]->setValue(200);
    w->ColorDialog->Accept();
    EXPECT_EQ(RedOf(sets->Sets().ColorSets[0].Colors[5]), 200);
    EXPECT_EQ(sets->ImCol->Image().pixel(8 * 5 + 2, 1), Rgb(sets->Sets().ColorSets[0].Colors[5]));
    sets->Form_Deactivate();  // clicking elsewhere
    EXPECT_FALSE(sets->isVisible());
}

TEST_F(ColorSetWindow, ClosedColorDialogHandsTheActivationBackSoALaterClickElsewhereHides)
{
    ColorSet* sets = w->ColorSet;
    ColorDialog* dialog = w->ColorDialog;
    sets->BtAddSet->click();
    QCoreApplication::processEvents();  // the about window's show at start
    sets->ShowTool();
    if (!WaitActive(sets))
        GTEST_SKIP() << "this platform does not activate windows";

    for (QWidget* closer : std::initializer_list<QWidget*>{dialog->LBColPrev, dialog->BtCancle}) {
        QTest::mouseClick(sets->ImCol, Qt::LeftButton, {}, QPoint(3, 3));
        ASSERT_TRUE(WaitActive(dialog));
        EXPECT_TRUE(sets->isVisible());
        QTest::mouseClick(closer, Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_TRUE(WaitActive(sets));
        EXPECT_TRUE(sets->isVisible());
    }

    // Another window takes the activation: the color set window hides.
    form->activateWindow();
    ASSERT_TRUE(WaitActive(form.get()));
    EXPECT_FALSE(sets->isVisible());
}

TEST_F(ColorSetWindow, GoingElsewhereFromItsColorDialogHidesBoth)
{
    ColorSet* sets = w->ColorSet;
    sets->BtAddSet->click();
    QCoreApplication::processEvents();  // the about window's show at start
    sets->ShowTool();
    if (!WaitActive(sets))
        GTEST_SKIP() << "this platform does not activate windows";
    QTest::mouseClick(sets->ImCol, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_TRUE(WaitActive(w->ColorDialog));

    form->activateWindow();
    ASSERT_TRUE(WaitActive(form.get()));
    EXPECT_FALSE(w->ColorDialog->isVisible());
    EXPECT_FALSE(sets->isVisible());

    // Back in the color set window from its dialog: it stays.
    sets->ShowTool();
    ASSERT_TRUE(WaitActive(sets));
    QTest::mouseClick(sets->ImCol, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_TRUE(WaitActive(w->ColorDialog));
    sets->activateWindow();
    ASSERT_TRUE(WaitActive(sets));
    EXPECT_FALSE(w->ColorDialog->isVisible());
    EXPECT_TRUE(sets->isVisible());
}

TEST_F(ColorSetWindow, OwnFileSavedAndLoadedBack)
{
    ColorSet* sets = w->ColorSet;
    for (const char* name : {"A", "B"}) {
        sets->TextName->setText(QString::fromLatin1(name));
        sets->BtAddSet->click();
    }
    const std::string path = (dir.Path() / "two.bxp").string();
    dialogs.QueueFile({path, 1});
    sets->BtColorSetSave->click();
    EXPECT_EQ(ReadWholeFile(path).size(), 1543u);

    sets->BtRandomPal->click();
    dialogs.QueueFile({path, 1});
    sets->BtColorSetLoad->click();
    ASSERT_EQ(sets->ListSets->count(), 2);
    EXPECT_EQ(sets->ListSets->item(0)->text().toStdString(), "A");
    EXPECT_EQ(sets->ListSets->item(1)->text().toStdString(), "B");

    dialogs.QueueFile({(dir.Path() / "missing.bxp").string(), 1});
    sets->BtColorSetLoad->click();
    EXPECT_EQ(dialogs.Prompts.back().Text, "Could not find the selected file.");
    EXPECT_EQ(dialogs.Prompts.back().Caption, "Loading process aborted");
}

TEST_F(ColorSetWindow, LoadsNeedRoomAndSayNothingWithout)
{
    ColorSet* sets = w->ColorSet;
    for (int i = 0; i < 254; ++i)
        AddSet(sets->Sets(), {}, "x");
    // A ZSnes load needs the count below 254: nothing, silently.
    const std::string zsnes = dir.WriteFile("game.zs1", std::vector<std::uint8_t>(274047, 0));
    dialogs.QueueFile({zsnes, 7});
    sets->BtColorSetLoad->click();
    EXPECT_EQ(sets->Sets().SetCount, 254);
    EXPECT_EQ(dialogs.Prompts.size(), 1u);
    // A NESticle load adds the 255th set.
    const std::string nesticle = dir.WriteFile("game.st0", std::vector<std::uint8_t>(22992, 0));
    dialogs.QueueFile({nesticle, 4});
    sets->BtColorSetLoad->click();
    EXPECT_EQ(sets->Sets().SetCount, 255);
    EXPECT_EQ(sets->Sets().ColorSets[254].Description, "NESticle STA palette");
}

TEST_F(ColorSetWindow, JascFileSavedAndLoadedThroughTheLastFilterEntries)
{
    ColorSet* sets = w->ColorSet;
    for (const char* name : {"first", "second"}) {
        sets->TextName->setText(QString::fromLatin1(name));
        QTest::mouseClick(sets->BtAddSet, Qt::LeftButton);
    }
    SetSetColorAsStep(state, 1, 0, MakePackedColor(10, 20, 30));
    SetSetColorAsStep(state, 1, 255, MakePackedColor(255, 0, 7));
    sets->ListSets->setCurrentRow(1);

    // The save dialog lists the three formats it always had, then the added ones.
    const std::string path = (dir.Path() / "second.pal").string();
    dialogs.QueueFile({path, 4});
    QTest::mouseClick(sets->BtColorSetSave, Qt::LeftButton);
    EXPECT_EQ(dialogs.Prompts.back().Text,
              "Brixel palette file (*.bxp)|*.bxp|Microsoft RIFF palette file (*.pal)|*.pal|Tile Layer DOS palette "
              "file (*.pal)|*.pal|JASC palette file (*.pal)|*.pal|Adobe Color Table file (*.act)|*.act|GIMP palette "
              "file (*.gpl)|*.gpl|Paint.NET palette file (*.txt)|*.txt|Hex color list (*.hex)|*.hex");
    // The selected set, every color of it.
    const auto bytes = ReadWholeFile(path);
    EXPECT_EQ(bytes, BuildJascPalette(sets->Sets().ColorSets[1].Colors));
    const std::string start = "JASC-PAL\r\n0100\r\n256\r\n10 20 30\r\n";
    ASSERT_GT(bytes.size(), start.size());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + static_cast<long>(start.size())), start);
    EXPECT_EQ(std::string(bytes.end() - 10, bytes.end()), "\n255 0 7\r\n");

    // The open dialog lists the nine entries it always had, then the added ones.
    dialogs.QueueFile({path, 10});
    QTest::mouseClick(sets->BtColorSetLoad, Qt::LeftButton);
    EXPECT_EQ(dialogs.Prompts.back().Text,
              "Brixel palette file (*.bxp)|*.bxp|Microsoft RIFF palette file (*.pal)|*.pal|Tile Layer DOS palette "
              "file (*.pal)|*.pal|NESticle Savestates (*.st?)|*.st?|VGBA 1.0 Savestates (*.sta)|*.sta|No$gmb "
              "Savestates (*.sna)|*.sna|ZSnes Savestate (*.zs?)|*.zs?|Boycott Advanced Savestate (*.cot)|*.cot|Cygne "
              "Savestate (*.wss)|*.wss|JASC palette file (*.pal)|*.pal|Adobe Color Table file (*.act)|*.act|GIMP "
              "palette file (*.gpl)|*.gpl|Paint.NET palette file (*.txt)|*.txt|Hex color list (*.hex)|*.hex|Indexed PNG "
              "image (*.png)|*.png|BESS Game Boy Color Savestates (*.s?,*.ss?)|*.s?;*.ss?|FCE Ultra Savestates "
              "(*.fc?)|*.fc?");
    ASSERT_EQ(sets->ListSets->count(), 3);
    EXPECT_EQ(sets->ListSets->item(2)->text().toStdString(), "JASC palette");
    EXPECT_EQ(sets->Sets().ColorSets[2].Colors, sets->Sets().ColorSets[1].Colors);

    // A file that is no JASC palette: its message, and the list stays.
    const std::string bad = dir.WriteFile(
        "bad.pal", {'J', 'A', 'S', 'C', '-', 'P', 'A', 'L', '\n', '0', '1', '0', '0', '\n', '3', '0', '0', '\n'});
    dialogs.QueueFile({bad, 10});
    QTest::mouseClick(sets->BtColorSetLoad, Qt::LeftButton);
    EXPECT_EQ(dialogs.Prompts.back().Text, "Not a JASC palette file.\rThe number of colors must be 1 to 256.");
    EXPECT_EQ(dialogs.Prompts.back().Caption, "Brixel");
    EXPECT_EQ(dialogs.Prompts.back().Icon, MsgIcon::None);
    EXPECT_EQ(sets->ListSets->count(), 3);
}

TEST_F(ColorSetWindow, ActFileSavedAndLoadedThroughTheEntriesAfterJasc)
{
    ColorSet* sets = w->ColorSet;
    QTest::mouseClick(sets->BtAddSet, Qt::LeftButton);
    SetSetColorAsStep(state, 0, 7, MakePackedColor(1, 2, 3));
    const std::string path = (dir.Path() / "colors.act").string();
    dialogs.QueueFile({path, 5});
    QTest::mouseClick(sets->BtColorSetSave, Qt::LeftButton);
    EXPECT_EQ(ReadWholeFile(path), BuildActPalette(sets->Sets().ColorSets[0].Colors));

    dialogs.QueueFile({path, 11});
    QTest::mouseClick(sets->BtColorSetLoad, Qt::LeftButton);
    ASSERT_EQ(sets->ListSets->count(), 2);
    EXPECT_EQ(sets->ListSets->item(1)->text().toStdString(), "ACT palette");
    EXPECT_EQ(sets->Sets().ColorSets[1].Colors, sets->Sets().ColorSets[0].Colors);
}

TEST_F(ColorSetWindow, ImportAndExportAtAnAddress)
{
    std::vector<std::uint8_t> rom(2048, 0);
    const std::vector<std::uint8_t> words{0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0xFF, 0x7F};
    std::copy(words.begin(), words.end(), rom.begin() + 1024);
    const std::string path = OpenRom(rom);
    ColorSet* sets = w->ColorSet;
    sets->ComboPalMode->setCurrentIndex(1);
    sets->ComboNumCol->setCurrentText(QStringLiteral("4"));
    sets->EdPalAdd->setEditText(QStringLiteral("  1024xyz"));
    sets->BtPalIn->click();
    EXPECT_EQ(sets->EdPalAdd->currentText().toStdString(), "1024");
    ASSERT_EQ(sets->ListSets->count(), 1);
    EXPECT_EQ(sets->ListSets->item(0)->text().toStdString(), "15 bpc BGR (SNES) at 1024");
    EXPECT_EQ(sets->Sets().ColorSets[0].Colors[3], MakePackedColor(248, 248, 248));

    // Written back at 1536: the same eight bytes.
    sets->EdPalAdd->setEditText(QStringLiteral("1536"));
    dialogs.QueueYesNo(true);
    sets->BtPalOut->click();
    const auto after = ReadWholeFile(path);
    EXPECT_EQ(std::vector<std::uint8_t>(after.begin() + 1536, after.begin() + 1544), words);

    // Past the end: refused, nothing written.
    sets->EdPalAdd->setEditText(QStringLiteral("2046"));
    dialogs.QueueYesNo(true);
    sets->BtPalOut->click();
    EXPECT_EQ(dialogs.Prompts.back().Text,
              "The 4 colors do not fit into the file at address 2046; nothing was written.");
    EXPECT_EQ(ReadWholeFile(path), after);

    sets->ComboPalMode->setCurrentIndex(2);
    dialogs.QueueYesNo(true);
    sets->BtPalOut->click();
    EXPECT_EQ(dialogs.Prompts.back().Text, "Sorry, not yet implented.");
    EXPECT_EQ(dialogs.Prompts.back().Caption, "Can't do, sir.");
    EXPECT_EQ(dialogs.Prompts.back().Icon, MsgIcon::Information);
    EXPECT_EQ(ReadWholeFile(path), after);
}

TEST_F(ColorSetWindow, PaletteRightClickOpensTheDialogOnThatEntry)
{
    const std::uint8_t before = state.CurrentColor;
    QTest::mousePress(reinterpret_cast<QWidget*>(w->PaletteCtrl->ImCol), Qt::RightButton, {}, QPoint(24 + 3, 24 + 3));
    // Released again: QTest keeps pressed buttons for the tests that follow.
    QTest::mouseRelease(reinterpret_cast<QWidget*>(w->PaletteCtrl->ImCol), Qt::RightButton, {}, QPoint(24 + 3, 24 + 3));
    EXPECT_TRUE(w->ColorDialog->isVisible());
    EXPECT_EQ(w->ColorDialog->Target(), -1);
    EXPECT_EQ(w->ColorDialog->Index(), 5);
    EXPECT_EQ(state.CurrentColor, before);
}
