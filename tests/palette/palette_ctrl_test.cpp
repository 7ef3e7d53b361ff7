#include "ui/palette/palette_ctrl.h"

#include "model/core/program_state.h"
#include "support/scripted_dialogs.h"
#include "support/test_shell.h"
#include "ui/floor/windows.h"
#include "ui/palette/color_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QRgb ToRgb(PackedColor color)
{
    return qRgb(RedOf(color), GreenOf(color), BlueOf(color));
}

void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint position)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, QPointF(position), widget->mapToGlobal(QPointF(position)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void ClickLabel1(PaletteCtrl& panel)
{
    SendMouse(panel.Label1, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
    SendMouse(panel.Label1, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(5, 5));
}

QRgb SwatchPixel(QLabel* swatch)
{
    return swatch->grab().toImage().pixel(swatch->width() / 2, swatch->height() / 2);
}

class PaletteCtrlTest : public ::testing::Test {
protected:
    PaletteCtrlTest() : panel((InitState(state), state), windows)
    {
        windows.PaletteCtrl = &panel;
        windows.ColorDialog = &colorDialog;
    }

    QRgb Entry(int index) const { return ToRgb(state.WorkingPalette[index]); }
    QRgb GridPixel(int x, int y) const { return panel.ImCol->Image().pixel(x, y); }

    ProgramState state;
    ScriptedDialogs dialogs;
    TestShell shell;
    Windows windows{dialogs, shell};
    ColorDialog colorDialog{state, windows};
    PaletteCtrl panel;
};

}  // namespace

TEST_F(PaletteCtrlTest, CaptionsAndToolTips)
{
    EXPECT_EQ(panel.windowTitle().toStdString(), "Color Palette");
    EXPECT_EQ(panel.ImCol->toolTip().toStdString(),
              "Left-click: Choose  color for Paint or Fill mode | Right-click: Edit color");
    EXPECT_EQ(panel.BtPalShiftRight->toolTip().toStdString(), "Shift the selected number of colors to the right");
    EXPECT_EQ(panel.BtPalShiftNum->toolTip().toStdString(),
              "Select by clicking the number of colors which should be shifted");
    EXPECT_EQ(panel.Label1->text().toStdString(), "256/16/4 switch");
    EXPECT_EQ(panel.Label1->toolTip().toStdString(), "Switch between 256 and 16 colors display");
}

TEST_F(PaletteCtrlTest, StartShowsSixteenCellsAndTheFirstColor)
{
    EXPECT_EQ(GridPixel(23, 0), Entry(0));
    EXPECT_EQ(GridPixel(30, 0), Entry(1));
    EXPECT_EQ(GridPixel(0, 24), Entry(4));
    EXPECT_EQ(GridPixel(95, 95), Entry(15));
    EXPECT_EQ(SwatchPixel(panel.ShpCol), Entry(0));
    // The widget shows exactly its backing image.
    EXPECT_EQ(panel.ImCol->grab().toImage().convertToFormat(QImage::Format_RGB32), panel.ImCol->Image());
}

TEST_F(PaletteCtrlTest, SwitchLabelCyclesTheGrid)
{
    ClickLabel1(panel);
    EXPECT_EQ(state.PaletteColumns, 16);
    EXPECT_EQ(GridPixel(5, 0), Entry(0));
    EXPECT_EQ(GridPixel(6, 0), Entry(1));
    EXPECT_EQ(GridPixel(95, 95), Entry(255));

    ClickLabel1(panel);
    EXPECT_EQ(state.PaletteColumns, 2);
    EXPECT_EQ(GridPixel(47, 47), Entry(0));
    EXPECT_EQ(GridPixel(48, 0), Entry(1));
    EXPECT_EQ(GridPixel(95, 95), Entry(3));

    ClickLabel1(panel);
    EXPECT_EQ(state.PaletteColumns, 4);
    EXPECT_EQ(GridPixel(30, 0), Entry(1));
    EXPECT_EQ(GridPixel(95, 95), Entry(15));
}

TEST_F(PaletteCtrlTest, ShiftCountButtonCycles)
{
    std::vector<std::string> captions{panel.BtPalShiftNum->text().toStdString()};
    for (int step = 0; step < 5; ++step) {
        panel.BtPalShiftNum->click();
        captions.push_back(panel.BtPalShiftNum->text().toStdString());
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"1", "2", "4", "8", "16", "1"}));
    panel.SetShiftCount(8);
    EXPECT_EQ(panel.BtPalShiftNum->text().toStdString(), "8");
    panel.BtPalShiftNum->click();
    EXPECT_EQ(panel.ShiftCount(), 16);
}

TEST_F(PaletteCtrlTest, ShiftButtonsRotateAndRedraw)
{
    const auto before = state.WorkingPalette;
    panel.BtPalShiftLeft->click();
    EXPECT_EQ(state.WorkingPalette[255], before[0]);
    EXPECT_EQ(state.WorkingPalette[0], before[1]);
    EXPECT_EQ(GridPixel(0, 0), ToRgb(before[1]));
    EXPECT_EQ(SwatchPixel(panel.ShpCol), ToRgb(before[1]));

    panel.SetShiftCount(4);
    panel.BtPalShiftRight->click();
    EXPECT_EQ(state.WorkingPalette[0], before[253]);
    EXPECT_EQ(state.WorkingPalette[4], before[1]);
    EXPECT_EQ(GridPixel(0, 24), ToRgb(before[1]));
}

TEST_F(PaletteCtrlTest, LeftPressChoosesTheColorOtherButtonsDoNot)
{
    SendMouse(panel.ImCol, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(95, 95));
    EXPECT_EQ(state.CurrentColor, 15);
    EXPECT_EQ(SwatchPixel(panel.ShpCol), qRgb(0, 0, 64));

    SendMouse(panel.ImCol, QEvent::MouseButtonPress, Qt::RightButton, QPoint(30, 30));  // cell 5
    EXPECT_EQ(state.CurrentColor, 15);
    SendMouse(panel.ImCol, QEvent::MouseButtonPress, Qt::MiddleButton, QPoint(30, 30));
    EXPECT_EQ(state.CurrentColor, 15);
}

TEST_F(PaletteCtrlTest, PointerMoveNamesTheColor)
{
    SendMouse(panel.ImCol, QEvent::MouseMove, Qt::NoButton, QPoint(30, 30));
    EXPECT_EQ(shell.CoorText, "Color no 5");
    SendMouse(panel.ImCol, QEvent::MouseMove, Qt::NoButton, QPoint(200, 0));
    EXPECT_EQ(shell.CoorText, "Color no 3");
}
