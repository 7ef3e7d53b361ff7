#include "model/core/tile_io.h"
#include "support/viewer_fixture.h"
#include "ui/app/main_form.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>

namespace {

using BrowserLayout = ViewerFixture;

}  // namespace

TEST_F(BrowserLayout, TwoByTwoColumnsCopyPaintAndSaveChangeOnlyThatTile)
{
    const std::vector<std::uint8_t> original = CountingBytes(4096);
    const std::string path = OpenRom(original);
    SelectMode(ModeGameboy);
    state.ShowSaveWarning = false;

    QMenu* layoutMenu = form->menuBar()->findChild<QMenu*>(QStringLiteral("ILayout"));
    ASSERT_NE(layoutMenu, nullptr);
    QAction* columns = form->findChild<QAction*>(QStringLiteral("ILay2x2Col"));
    ASSERT_NE(columns, nullptr);
    columns->trigger();
    EXPECT_EQ(state.BrowserLayout, (TileLayout{2, 2, true}));
    emit layoutMenu->aboutToShow();
    EXPECT_TRUE(columns->isChecked());
    EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("ILayRows"))->isChecked());

    // Grid place (1, 0) shows the block's third tile, 32 bytes on.
    const QPoint second(24 + 5, 5);
    QTest::mouseMove(w->Browser, second);
    EXPECT_EQ(form->LbCoor->text().toStdString(), "Address: 32");
    std::array<std::uint8_t, 64> tile{};
    ReadTiles(state.FileHandle, ModeGameboy, 32, 1, tile.data());
    EXPECT_TRUE(std::equal(tile.begin(), tile.end(), w->Browser->DecodedPixels() + 64));

    w->Editor->resize(500, 450);
    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, second);
    ASSERT_EQ(state.EditorSlots[0].Address, 32);
    w->EditCtrl->OptionPaint->click();
    state.CurrentColor = 3;
    QTest::mousePress(w->Editor, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseRelease(w->Editor, Qt::LeftButton, {}, QPoint(1, 1));
    QCoreApplication::processEvents();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(w->Editor, Qt::Key_S, Qt::ControlModifier);

    const std::vector<std::uint8_t> saved = ReadWholeFile(path);
    ASSERT_EQ(saved.size(), original.size());
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (i < 32 || i >= 48)
            ASSERT_EQ(saved[i], original[i]) << "byte " << i;
    EXPECT_NE(std::vector<std::uint8_t>(saved.begin() + 32, saved.begin() + 48),
              std::vector<std::uint8_t>(original.begin() + 32, original.begin() + 48));
}
