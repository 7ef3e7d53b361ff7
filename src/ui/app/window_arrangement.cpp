#include "ui/app/window_arrangement.h"

#include "model/core/config_file.h"
#include "ui/app/layout_config.h"
#include "ui/app/tools.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/palette/palette_ctrl.h"
#include "ui/tools/tilemap_window.h"
#include "ui/floor/child_window.h"
#include "ui/floor/tool_window.h"
#include "ui/floor/windows.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>
#include <initializer_list>

namespace {

QRect Place(QWidget* window, QPoint corner)
{
    QWidget* frame = ChildFrame(window);
    frame->move(corner);
    return frame->geometry();
}

QMdiArea* WorkingArea(QMainWindow& main)
{
    return qobject_cast<QMdiArea*>(main.centralWidget());
}

PixelRect PixelsOf(const QRect& rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

void MoveInside(QWidget& window, const QRect& area)
{
    const QRect frame = window.frameGeometry();
    const PixelPoint corner = PlaceWhollyInside(PixelsOf(frame), PixelsOf(area));
    if (QPoint(corner.X, corner.Y) != frame.topLeft())
        window.move(window.pos() + QPoint(corner.X, corner.Y) - frame.topLeft());
}

}  // namespace

void PlaceWorkingWindows(Windows& windows, bool belowBrowser)
{
    const int toolsRight = Place(windows.Tools, QPoint(0, 0)).right() + 4;
    const QRect panel = Place(windows.BrowCtrl, QPoint(toolsRight, 0));
    const QRect browser = Place(windows.Browser, QPoint(panel.right() + 4, 0));
    const QRect palette = Place(windows.PaletteCtrl, QPoint(browser.right() + 4, 0));
    int editorTop = std::max(panel.bottom(), palette.bottom()) + 4;
    if (belowBrowser)
        editorTop = std::max(editorTop, browser.bottom() + 4);
    const QRect editCtrl = Place(windows.EditCtrl, QPoint(toolsRight, editorTop));
    QWidget* editorFrame = ChildFrame(windows.Editor);
    // The editor opens 4000 x 4000 twips large, frame included.
    constexpr std::int16_t editorStartTwips = 4000;
    editorFrame->resize(TwipsToPixels(editorStartTwips), TwipsToPixels(editorStartTwips));
    const QRect editor = Place(windows.Editor, QPoint(editCtrl.right() + 4, editorTop));
    Place(windows.TileCtrl, QPoint(editor.right() + 4, editorTop));
    Place(windows.Tilemap, browser.topLeft() + QPoint(24, 24));
}

QSize ArrangementSize(QMainWindow& main, Windows& windows)
{
    QRect arrangement;
    for (QMdiSubWindow* frame : WorkingArea(main)->subWindowList())
        if (frame != ChildFrame(windows.Tilemap))  // opened on demand, over the browser
            arrangement |= frame->geometry();
    QSize wanted(std::max(699, arrangement.right() + 8), std::max(534, arrangement.bottom() + 8));
    wanted += QSize(0, main.menuBar()->sizeHint().height() + main.statusBar()->sizeHint().height());
    if (const QScreen* screen = main.screen())
        wanted = wanted.boundedTo(screen->availableSize() - QSize(40, 80));
    return wanted;
}

void BringAllWindowsIntoView(QMainWindow& main)
{
    FitMainFrame(main);
    BringChildWindowsIntoView(*WorkingArea(main));
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != &main && window->isVisible() && window->windowFlags().testFlag(Qt::Tool)) {
            const ScreenRect screen = AvailableScreen(window);
            MoveInside(*window, QRect(screen.X, screen.Y, screen.Width, screen.Height));
        }
}

void ResetWindowLayout(QMainWindow& main, Windows& windows, bool fileOpen)
{
    PlaceWorkingWindows(windows, true);
    for (QWidget* window : std::initializer_list<QWidget*>{windows.Tools, windows.BrowCtrl, windows.PaletteCtrl,
                                                           windows.Editor, windows.EditCtrl,
                            windows.TileCtrl})
        SetChildVisible(window, true);
    SetChildVisible(windows.Browser, fileOpen);
    if (!main.isMaximized() && !main.isFullScreen())
        main.resize(ArrangementSize(main, windows));
    BringAllWindowsIntoView(main);
}
