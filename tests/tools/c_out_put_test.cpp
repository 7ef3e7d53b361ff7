#include "ui/tools/c_out_put.h"

#include "model/core/program_state.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_shell.h"
#include "ui/floor/windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

const char* const Filter = "C header files (*.h)|*.h";

std::string Text(const QLabel* label)
{
    return label->text().toStdString();
}

std::string Text(const std::vector<std::uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Items(const QComboBox* combo)
{
    std::vector<std::string> items;
    for (int i = 0; i < combo->count(); ++i)
        items.push_back(combo->itemText(i).toStdString());
    return items;
}

// Scripted dialogs that also run a step while the save dialog is open.
class DialogsWithStep : public ScriptedDialogs {
public:
    FileChoice SaveFile(const std::string& filter) override
    {
        if (WhileOpen)
            WhileOpen();
        return ScriptedDialogs::SaveFile(filter);
    }
    std::function<void()> WhileOpen;
};

class COutPutWindow : public ::testing::Test {
protected:
    COutPutWindow() { InitState(state); }

    std::string PathIn(const std::string& name) const { return (dir.Path() / name).string(); }

    ProgramState state;
    DialogsWithStep dialogs;
    TestShell shell;
    Windows windows{dialogs, shell};
    TempDir dir;
};

using COutPutLayout = COutPutWindow;
using COutPutPalette = COutPutWindow;
using COutPutSprite = COutPutWindow;
using COutPutVisibility = COutPutWindow;

}  // namespace

// --- controls and layout ---

TEST_F(COutPutLayout, StartsWithTheFirstEntries)
{
    COutPut window(state, windows);
    EXPECT_EQ(window.windowTitle().toStdString(), "Tile and Palette C/C++ Converter");
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(window.EdPalette->text().toStdString(), "palette");
    EXPECT_EQ(window.EdSprite->text().toStdString(), "sprite");
    EXPECT_EQ(Items(window.ComboColNum), (std::vector<std::string>{"16", "256"}));
    EXPECT_EQ(Items(window.ComboPalMode), (std::vector<std::string>{"15 bpc BGR", "15 bpc RGB"}));
    EXPECT_EQ(Items(window.ComboTilemode), (std::vector<std::string>{"GBA 16 bpp", "GBA 256 bpp"}));
    EXPECT_EQ(Items(window.ComboSize), (std::vector<std::string>{"8", "16", "32", "64"}));
    EXPECT_EQ(Items(window.ComboShape), (std::vector<std::string>{"Square", "Wide", "High"}));
    for (const QComboBox* combo :
         {window.ComboColNum, window.ComboPalMode, window.ComboTilemode, window.ComboSize, window.ComboShape})
        EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(window.ScrRows->minimum(), 1);
    EXPECT_EQ(window.ScrRows->maximum(), 16);
    EXPECT_EQ(window.ScrRows->value(), 1);
    EXPECT_EQ(window.ScrLines->minimum(), 1);
    EXPECT_EQ(window.ScrLines->value(), 1);
    EXPECT_EQ(Text(window.LbRows), "1");
    EXPECT_EQ(Text(window.LbLines), "1");
    EXPECT_EQ(Text(window.LbInfo), "Convert 1x1 of 8x8 = 1 tiles");
    EXPECT_EQ(window.SpriteWidth(), 8);
    EXPECT_EQ(window.SpriteHeight(), 8);
}

TEST_F(COutPutLayout, ToolTips)
{
    COutPut window(state, windows);
    EXPECT_EQ(window.BtCCodePalette->toolTip().toStdString(), "Display palette to C code");
    EXPECT_EQ(window.BtCCodeSprite->toolTip().toStdString(), "Convert editor tiles to C code");
    EXPECT_EQ(window.ComboTilemode->toolTip().toStdString(), "Choose tile mode");
    EXPECT_EQ(window.ComboSize->toolTip().toStdString(), "Choose size of tiles");
    EXPECT_EQ(window.ComboShape->toolTip().toStdString(), "Choose shape of tiles");
}

TEST_F(COutPutLayout, SixteenWideGivesFourByFourteenRange)
{
    COutPut window(state, windows);
    window.ComboSize->setCurrentIndex(1);
    window.ComboShape->setCurrentIndex(1);
    EXPECT_EQ(window.SpriteWidth(), 32);
    EXPECT_EQ(window.SpriteHeight(), 8);
    EXPECT_EQ(window.ScrRows->maximum(), 4);
    EXPECT_EQ(window.ScrLines->maximum(), 16);
    window.ScrRows->setValue(4);
    window.ScrLines->setValue(2);
    EXPECT_EQ(Text(window.LbRows), "4");
    EXPECT_EQ(Text(window.LbLines), "2");
    EXPECT_EQ(Text(window.LbInfo), "Convert 4x2 of 32x8 = 32 tiles");
}

TEST_F(COutPutLayout, EachScrollStepUpdates)
{
    COutPut window(state, windows);
    window.ScrLines->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Text(window.LbLines), "2");
    EXPECT_EQ(Text(window.LbInfo), "Convert 1x2 of 8x8 = 2 tiles");
    window.ScrRows->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Text(window.LbRows), "2");
    EXPECT_EQ(Text(window.LbInfo), "Convert 2x2 of 8x8 = 4 tiles");
}

TEST_F(COutPutLayout, LargerSizeLowersValuesThatNoLongerFit)
{
    COutPut window(state, windows);
    window.ScrRows->setValue(12);
    window.ScrLines->setValue(3);
    window.ComboSize->setCurrentIndex(3);  // "64": 64 x 64
    EXPECT_EQ(window.ScrRows->maximum(), 2);
    EXPECT_EQ(window.ScrRows->value(), 2);
    EXPECT_EQ(window.ScrLines->value(), 2);
    EXPECT_EQ(Text(window.LbRows), "2");
    EXPECT_EQ(Text(window.LbLines), "2");
    EXPECT_EQ(Text(window.LbInfo), "Convert 2x2 of 64x64 = 256 tiles");
    // Back to a small size: the values stay, the range grows again.
    window.ComboSize->setCurrentIndex(0);
    EXPECT_EQ(window.ScrRows->maximum(), 16);
    EXPECT_EQ(window.ScrRows->value(), 2);
}

TEST_F(COutPutLayout, EightWideAndEightHighRanges)
{
    COutPut window(state, windows);
    window.ComboShape->setCurrentIndex(1);
    EXPECT_EQ(window.ScrRows->maximum(), 8);
    EXPECT_EQ(window.ScrLines->maximum(), 16);
    window.ComboShape->setCurrentIndex(2);
    EXPECT_EQ(window.ScrRows->maximum(), 16);
    EXPECT_EQ(window.ScrLines->maximum(), 8);
}

// --- palette output ---

TEST_F(COutPutPalette, DefaultsWriteTheFiveLines)
{
    COutPut window(state, windows);
    dialogs.QueueFile({PathIn("pal.h"), 1});
    QTest::mouseClick(window.BtCCodePalette, Qt::LeftButton);
    EXPECT_EQ(Text(ReadWholeFile(PathIn("pal.h"))),
              "const unsigned int palette[] = {\r\n"
              "  0x43FF, 0x32D6, 0x2210, 0x1108, 0x001F, 0x0016, 0x0010, 0x0008, \r\n"
              "  0x03E0, 0x02C0, 0x0200, 0x0100, 0x7C00, 0x5800, 0x4000, 0x2000, \r\n"
              " };\r\n"
              "\r\n");
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].PromptKind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(dialogs.Prompts[0].Text, Filter);
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(COutPutPalette, NameCountAndLayoutComeFromTheControls)
{
    COutPut window(state, windows);
    window.EdPalette->setText(QStringLiteral("gbaPal"));
    window.ComboColNum->setCurrentIndex(1);
    window.ComboPalMode->setCurrentIndex(1);
    state.WorkingPalette[255] = MakePackedColor(255, 0, 0);
    dialogs.QueueFile({PathIn("pal.h"), 1});
    window.BtCCodePalette_Click();
    const std::string text = Text(ReadWholeFile(PathIn("pal.h")));
    // Entry 0 is (255, 255, 128): red and green 31, blue 16, red high.
    EXPECT_EQ(text.rfind("const unsigned int gbaPal[] = {\r\n  0x7FF0, 0x", 0), 0u);
    EXPECT_NE(text.find("0x7C00, \r\n };\r\n\r\n"), std::string::npos);
    std::size_t lineEnds = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lineEnds;
    EXPECT_EQ(lineEnds, 35u);
}

TEST_F(COutPutPalette, ExistingFileIsReplacedWithoutAsking)
{
    COutPut window(state, windows);
    const std::string path = dir.WriteFile("pal.h", std::vector<std::uint8_t>(4000, 'z'));
    dialogs.QueueFile({path, 1});
    window.BtCCodePalette_Click();
    // Header, two lines of eight values, the end: nothing of the old bytes is left.
    EXPECT_EQ(ReadWholeFile(path).size(), 32u + 2 * 68 + 9);
    EXPECT_EQ(dialogs.Prompts.size(), 1u);
}

TEST_F(COutPutPalette, CancelWritesNothing)
{
    COutPut window(state, windows);
    dialogs.QueueFile({});
    window.BtCCodePalette_Click();
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    EXPECT_EQ(dialogs.Prompts.size(), 1u);
}

TEST_F(COutPutPalette, UnwritableFileIsReported)
{
    COutPut window(state, windows);
    const std::string path = PathIn("missing/pal.h");
    dialogs.QueueFile({path, 1});
    window.BtCCodePalette_Click();
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[1].PromptKind, ScriptedDialogs::Kind::Message);
    EXPECT_EQ(dialogs.Prompts[1].Caption, "Saving failed");
    EXPECT_EQ(dialogs.Prompts[1].Icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs.Prompts[1].Text.rfind("Could not save the C header file '" + path + "': ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// --- sprite output ---

TEST_F(COutPutSprite, DefaultsWriteCellZero)
{
    COutPut window(state, windows);
    for (int x = 0; x < 8; ++x)
        state.EditorSlots[0].Pixels[x] = static_cast<std::uint8_t>(x + 1);
    dialogs.QueueFile({PathIn("tiles.h"), 1});
    QTest::mouseClick(window.BtCCodeSprite, Qt::LeftButton);
    const std::string zeros = "\r\n  0x0000, 0x0000, 0x0000, 0x0000, ";
    EXPECT_EQ(Text(ReadWholeFile(PathIn("tiles.h"))), "const unsigned int sprite0[] = {\r\n"
                                                      "  0x4321, 0x8765, 0x0000, 0x0000, " +
                                                          zeros + zeros + zeros + "\r\n };\r\n\r\n");
    EXPECT_EQ(Text(window.LbInfo), "Converted 1 tiles");
    EXPECT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].Text, Filter);
}

TEST_F(COutPutSprite, TwoHundredFiftySixColorsUseTheTileModeList)
{
    COutPut window(state, windows);
    for (int x = 0; x < 8; ++x)
        state.EditorSlots[0].Pixels[x] = static_cast<std::uint8_t>(x + 1);
    window.ComboTilemode->setCurrentIndex(1);
    window.EdSprite->setText(QStringLiteral("hero"));
    dialogs.QueueFile({PathIn("tiles.h"), 1});
    window.BtCCodeSprite_Click();
    EXPECT_EQ(Text(ReadWholeFile(PathIn("tiles.h")))
                  .rfind("const unsigned int hero0[] = {\r\n"
                         "  0x0201, 0x0403, 0x0605, 0x0807, 0x0000, ",
                         0),
              0u);
}

TEST_F(COutPutSprite, WideLayoutWritesEightArrays)
{
    COutPut window(state, windows);
    for (int i = 0; i < EditorSlotCount; ++i)
        state.EditorSlots[i].Pixels.fill(static_cast<std::uint8_t>(i));
    window.ComboTilemode->setCurrentIndex(1);
    window.ComboSize->setCurrentIndex(1);
    window.ComboShape->setCurrentIndex(1);
    window.ScrRows->setValue(4);
    window.ScrLines->setValue(2);
    dialogs.QueueFile({PathIn("tiles.h"), 1});
    window.BtCCodeSprite_Click();
    const std::string text = Text(ReadWholeFile(PathIn("tiles.h")));
    EXPECT_NE(text.find("sprite7[] = {"), std::string::npos);
    EXPECT_EQ(text.find("sprite8[] = {"), std::string::npos);
    // sprite5 is row 1, columns 4-7: cells 20 to 23, each cell filled with its index.
    const std::size_t sprite5 = text.find("sprite5[] = {\r\n  0x1414, ");
    ASSERT_NE(sprite5, std::string::npos);
    const std::size_t sprite6 = text.find("sprite6[] = {");
    const std::string body = text.substr(sprite5, sprite6 - sprite5);
    for (const char* value : {"0x1515, ", "0x1616, ", "0x1717, "})
        EXPECT_NE(body.find(value), std::string::npos) << value;
    EXPECT_EQ(body.find("0x1818, "), std::string::npos);
    EXPECT_EQ(Text(window.LbInfo), "Converted 32 tiles");
}

TEST_F(COutPutSprite, CancelKeepsTheLayoutInfo)
{
    COutPut window(state, windows);
    dialogs.QueueFile({});
    window.BtCCodeSprite_Click();
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    EXPECT_EQ(Text(window.LbInfo), "Convert 1x1 of 8x8 = 1 tiles");
}

TEST_F(COutPutSprite, UnwritableFileIsReportedAndNotCalledConverted)
{
    COutPut window(state, windows);
    window.ScrRows->setValue(3);
    const std::string path = PathIn("missing/tiles.h");
    dialogs.QueueFile({path, 1});
    window.BtCCodeSprite_Click();
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[1].Caption, "Saving failed");
    EXPECT_EQ(dialogs.Prompts[1].Icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs.Prompts[1].Text.rfind("Could not save the C header file '" + path + "': ", 0), 0u);
    EXPECT_EQ(Text(window.LbInfo), "Convert 3x1 of 8x8 = 3 tiles");
}

TEST_F(COutPutSprite, CancelledDialogsMeanNoAction)
{
    COutPut window(state, windows);
    dialogs.QueueFile({});
    window.BtCCodeSprite_Click();
    dialogs.QueueFile({});
    window.BtCCodePalette_Click();
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[0].PromptKind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(dialogs.Prompts[1].PromptKind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    EXPECT_EQ(Text(window.LbInfo), "Convert 1x1 of 8x8 = 1 tiles");
}

// --- showing and hiding ---

TEST_F(COutPutVisibility, DeactivationHidesAndKeepsTheSettings)
{
    COutPut window(state, windows);
    window.ShowTool();
    EXPECT_TRUE(window.isVisible());
    window.EdSprite->setText(QStringLiteral("obj"));
    window.ScrLines->setValue(5);
    window.Form_Deactivate();
    EXPECT_FALSE(window.isVisible());
    window.ShowTool();
    EXPECT_EQ(window.EdSprite->text().toStdString(), "obj");
    EXPECT_EQ(window.ScrLines->value(), 5);
    EXPECT_EQ(Text(window.LbInfo), "Convert 1x5 of 8x8 = 5 tiles");
}

TEST_F(COutPutVisibility, OwnSaveDialogDoesNotHideTheWindow)
{
    COutPut window(state, windows);
    window.ShowTool();
    bool visibleWhileOpen = false;
    dialogs.WhileOpen = [&] {
        window.Form_Deactivate();
        visibleWhileOpen = window.isVisible();
    };
    dialogs.QueueFile({PathIn("tiles.h"), 1});
    window.BtCCodeSprite_Click();
    EXPECT_TRUE(visibleWhileOpen);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Text(window.LbInfo), "Converted 1 tiles");
    window.Form_Deactivate();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(COutPutVisibility, HideToolSparesTheActiveWindow)
{
    COutPut window(state, windows);
    window.ShowTool();
    if (!QTest::qWaitForWindowActive(&window))
        GTEST_SKIP() << "this platform does not activate windows";
    window.HideTool();
    EXPECT_TRUE(window.isVisible());

    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    // Losing the activation hid it by itself.
    EXPECT_FALSE(window.isVisible());
}

TEST_F(COutPutVisibility, HideToolHidesAnInactiveWindow)
{
    COutPut window(state, windows);
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    window.show();
    if (QApplication::activeWindow() == &window)
        GTEST_SKIP() << "the platform activated the window on show";
    window.HideTool();
    EXPECT_FALSE(window.isVisible());
}
