#include "model/core/indexed_png.h"
#include "support/plain_png.h"
#include "support/viewer_fixture.h"
#include "ui/app/main_form.h"
#include "ui/browser/browser.h"
#include "ui/editor/editor.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

// The editor with the first two tiles of a file in cells 0 and 1, the
// cursor on cell 1, and the main window active so that its keys work.
class Clipboard : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        OpenRom(CountingBytes(4096));
        for (int tile : {0, 1})
            QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5 + tile * 8 * state.BrowserZoom, 5));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        w->Editor->setFocus();
        ASSERT_EQ(state.EditorCursorCol, 2);
        QTest::keyClick(w->Editor, Qt::Key_Left);
    }

    void Key(QWidget* target, Qt::Key key) { QTest::keyClick(target, key, Qt::ControlModifier | Qt::ShiftModifier); }
    std::string Info() const { return form->LbInfo->text().toStdString(); }

    static std::vector<std::uint8_t> Bytes(const QByteArray& data) { return {data.begin(), data.end()}; }
};

// The copied cell comes back as a palette PNG of the cell's own indices and
// the working palette's colors.
void ExpectCellPng(const std::vector<std::uint8_t>& png, const EditorSlot& cell, const WorkingPaletteTable& palette)
{
    const Loaded<IndexedImage> image = DecodeIndexedPng(png);
    ASSERT_FALSE(image.Error);
    ASSERT_EQ(image.Width, 8);
    ASSERT_EQ(image.Height, 8);
    EXPECT_EQ(image.Indices, std::vector<std::uint8_t>(cell.Pixels.begin(), cell.Pixels.end()));
    EXPECT_EQ(image.Palette, std::vector<PackedColor>(palette.begin(), palette.end()));
}

}  // namespace

TEST_F(Clipboard, CtrlShiftCCopiesTheCursorCellAndCtrlShiftVPastesItAsOneStep)
{
    ASSERT_NE(state.EditorSlots[0].Pixels, state.EditorSlots[1].Pixels);
    QTest::keyClick(w->Editor, Qt::Key_Left);
    Key(w->Editor, Qt::Key_C);
    EXPECT_EQ(Info(), "Copied the cursor cell (8 x 8 pixels)");
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied && copied->hasFormat(QStringLiteral("image/png")));
    ExpectCellPng(Bytes(copied->data(QStringLiteral("image/png"))), state.EditorSlots[0], state.WorkingPalette);
    const PackedColor shown = state.WorkingPalette[state.EditorSlots[0].Pixels[9]];
    EXPECT_EQ(qvariant_cast<QImage>(copied->imageData()).pixel(1, 1), qRgb(RedOf(shown), GreenOf(shown), BlueOf(shown)));

    const EditorSlot before = state.EditorSlots[1];
    QTest::keyClick(w->Editor, Qt::Key_Right);
    Key(w->Editor, Qt::Key_V);
    EXPECT_EQ(Info(), "Pasted 8 x 8 pixels into 1 cell: the picture's color indices were kept");
    EXPECT_EQ(state.EditorSlots[1].Pixels, state.EditorSlots[0].Pixels);
    EXPECT_TRUE(state.EditorSlots[1].Edited);
    QTest::keyClick(w->Editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Info(), "Undone: paste");
    EXPECT_EQ(state.EditorSlots[1], before);

    // In the browser Ctrl+Shift+C copies too; the file stays open.
    w->Browser->setFocus();
    Key(w->Browser, Qt::Key_C);
    EXPECT_TRUE(state.FileOpen());
    EXPECT_EQ(Info(), "Copied the cursor cell (8 x 8 pixels)");
}

TEST_F(Clipboard, PastesAPlainImageByItsColorsAndRefusesText)
{
    QImage image(2, 1, QImage::Format_RGB32);
    const PackedColor second = state.WorkingPalette[1];
    image.setPixel(0, 0, qRgb(RedOf(second), GreenOf(second), BlueOf(second)));
    image.setPixel(1, 0, qRgb(RedOf(second) ^ 1, GreenOf(second), BlueOf(second)));
    QApplication::clipboard()->setImage(image);
    const EditorSlot before = state.EditorSlots[1];
    Key(w->Editor, Qt::Key_V);
    EXPECT_EQ(Info(), "Pasted 2 x 1 pixels into 1 cell: 1 pixel was not an exact match; the largest color error was 1.0");
    EXPECT_EQ(state.EditorSlots[1].Pixels[0], 1);
    EXPECT_EQ(state.EditorSlots[1].Pixels[1], 1);
    EXPECT_EQ(state.EditorSlots[1].Pixels[8], before.Pixels[8]);

    QApplication::clipboard()->setText(QStringLiteral("not a picture"));
    Key(w->Editor, Qt::Key_V);
    EXPECT_EQ(dialogs.Prompts.back().Text, "The clipboard holds no picture to paste.");
}

// Against another program on a real X display: run by clipboard_x11.sh,
// which starts Xvfb and checks that xclip is there; skipped elsewhere.
using ClipboardX11 = Clipboard;

TEST_F(ClipboardX11, XclipReadsTheCopiedCellAndItsPictureIsPasted)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
        GTEST_SKIP() << "needs an X display and xclip";
    const QStringList clipboard{QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                                QStringLiteral("image/png")};
    // The program serves the copy while xclip reads, so events keep running.
    Key(w->Editor, Qt::Key_C);
    QProcess reader;
    reader.start(QStringLiteral("xclip"), clipboard + QStringList{QStringLiteral("-o")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return reader.state() == QProcess::NotRunning; }, 10000));
    ExpectCellPng(Bytes(reader.readAllStandardOutput()), state.EditorSlots[1], state.WorkingPalette);

    // A truecolor picture of palette colors 1 and 0 from xclip.
    const auto rgb = [&](int entry) {
        const PackedColor c = state.WorkingPalette[entry];
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(RedOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
                                         static_cast<std::uint8_t>(BlueOf(c))};
    };
    PlainPng picture{2, 1, 8, 2, rgb(1), {}};
    const std::vector<std::uint8_t> one = rgb(0);
    picture.Samples.insert(picture.Samples.end(), one.begin(), one.end());
    const std::string path = dir.WriteFile("picture.png", WritePlainPng(picture));
    QProcess writer;
    writer.setStandardOutputFile(QProcess::nullDevice());
    writer.setStandardErrorFile(QProcess::nullDevice());
    writer.start(QStringLiteral("xclip"), clipboard + QStringList{QStringLiteral("-i"), QString::fromStdString(path)});
    ASSERT_TRUE(writer.waitForFinished(10000));
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::clipboard()->ownsClipboard(); }, 10000));
    Key(w->Editor, Qt::Key_V);
    EXPECT_EQ(Info(), "Pasted 2 x 1 pixels into 1 cell: all 2 pixels matched a palette color exactly");
    EXPECT_EQ(state.EditorSlots[1].Pixels[0], 1);
    EXPECT_EQ(state.EditorSlots[1].Pixels[1], 0);
}
