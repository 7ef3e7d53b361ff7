#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "support/viewer_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <filesystem>

namespace {

// Turns the wheel over a widget, as the window system delivers it.
void Turn(QWidget* target, int angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int across = 0)
{
    QWheelEvent event(QPointF(5, 5), QPointF(target->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(across, angle),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

class BrowserWheel : public ViewerFixture {
protected:
    void JumpByEnter(const char* text, Qt::Key key = Qt::Key_Return)
    {
        w->BrowCtrl->EdAdd->setText(QString::fromLatin1(text));
        QTest::keyClick(w->BrowCtrl->EdAdd, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    }
};

}  // namespace

TEST_F(BrowserWheel, EachNotchMovesOneLineOnALargeFileAlsoAfterAJump)
{
    // 8 MiB, mostly a hole: a scroll bar unit is about 256 bytes, a line of
    // 8 one-bit tiles 64, and the last full grid starts at 8388608 - 1024.
    const std::string path = dir.WriteFile("large.gba", CountingBytes(4096));
    std::filesystem::resize_file(path, 8 << 20);
    dialogs.QueueFile({path, 1});
    w->BrowCtrl->BtOpenFile_Click();
    Browser* browser = w->Browser;
    for (std::int32_t expected : {64, 128, 192}) {
        Turn(browser, -120);
        EXPECT_EQ(state.BrowserAddress, expected);
    }
    // The tiles of 192 are shown (byte 192 has its top bit set, byte 256 not),
    // and the scroll bar stands as near as it can without moving the view.
    EXPECT_EQ(w->Browser->DecodedPixels()[0], 1);
    EXPECT_EQ(w->BrowCtrl->EdAdd->text().toStdString(), "192");
    EXPECT_EQ(browser->ScrAdd->value(), 1);
    QTest::keyClick(browser->ScrAdd, Qt::Key_Down);  // the keys go on from there
    EXPECT_GT(state.BrowserAddress, 192);

    JumpByEnter("1000003");
    Turn(browser, -120);
    EXPECT_EQ(state.BrowserAddress, 1000067);
    Turn(browser->ScrAdd, 240);  // over the scroll bar too, in lines, not its units
    EXPECT_EQ(state.BrowserAddress, 1000003 - 64);
    Turn(browser, 40);  // a part of a notch waits for the rest
    Turn(browser, 40);
    EXPECT_EQ(state.BrowserAddress, 1000003 - 64);
    Turn(browser, 40);
    EXPECT_EQ(state.BrowserAddress, 1000003 - 128);

    JumpByEnter("64");
    Turn(browser, 360);
    EXPECT_EQ(state.BrowserAddress, 0);
    JumpByEnter("0x7FFC00");
    Turn(browser, -120);
    EXPECT_EQ(state.BrowserAddress, 8387584);
    EXPECT_EQ(browser->ScrAdd->value(), 32767);
    Turn(browser, 120);
    EXPECT_EQ(state.BrowserAddress, 8387584 - 64);
}

TEST_F(BrowserWheel, ShiftStepsTheFineOffsetCtrlZoomsEnterJumps)
{
    Turn(w->Browser, 120, Qt::ControlModifier);  // no file: nothing
    EXPECT_EQ(state.BrowserZoom, 3);
    OpenRom(CountingBytes(4096));
    Turn(w->Browser, -120, Qt::ShiftModifier);
    EXPECT_EQ(state.BrowserAddress, 1);
    EXPECT_EQ(w->BrowCtrl->LbDiv->text().toStdString(), "1");
    Turn(w->Browser, 0, Qt::ShiftModifier, 240);  // sideways, as some systems send it: wraps below 0
    EXPECT_EQ(state.BrowserDiv, 8);
    Turn(w->Browser, 120, Qt::ControlModifier);
    EXPECT_EQ(state.BrowserZoom, 4);
    Turn(w->Browser, -360, Qt::ControlModifier);
    EXPECT_EQ(state.BrowserZoom, 2);

    JumpByEnter("0x200");
    EXPECT_EQ(state.BrowserAddress, 512);
    JumpByEnter("$100", Qt::Key_Enter);
    EXPECT_EQ(state.BrowserAddress, 256);
    EXPECT_EQ(w->BrowCtrl->EdAdd->text().toStdString(), "256");
    JumpByEnter("0XFFFFFFFFF");
    EXPECT_EQ(state.BrowserAddress, 3072);
}
