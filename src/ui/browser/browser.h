#pragma once

#include "model/core/view_limits.h"
#include "model/core/wheel_steps.h"
#include "ui/floor/key_table.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

struct ProgramState;
struct Windows;
class BrowCtrl;
enum class ScrollKey;
class QKeyEvent;
class QScrollBar;
class QWheelEvent;

// The browser: the open file as a grid of decoded tiles at BrowserAddress.
// It keeps the tiles at 1:1 in a 128 x 128 image and a window-sized backing
// image that the draw operations paint into; painting only copies the
// backing image to the screen.
class Browser : public QWidget {
    Q_OBJECT

public:
    Browser(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Reads the visible tiles, sizes the window and redraws it.
    void ReloadBrowser();
    // Sizes the window to the magnified grid plus the address scroll bar.
    void SizeBrowser();
    // Re-renders the tiles already read; hides the window with no file open.
    void RedrawBrowser();
    // Copies the 1:1 image magnified into the backing image.
    void BlitBrowser();
    // Draws the grid lines and the selection frame into the backing image.
    void DrawBrowserGrid();

    // Reads the whole grid at BrowserAddress and redraws (without sizing).
    void ReadGridAndRedraw();
    // The same, reporting the time it took when redraw timing is switched on.
    void TimedReloadAndRedraw();

    const QImage& BackingImage() const { return backingImage_; }
    // The color indexes of the tiles shown, decoded at 1:1, line by line.
    const std::uint8_t* DecodedPixels() const { return decodedPixels_.data(); }

    // A tile from the editor dropped at a point in this window's
    // coordinates: written into the file at the tile under that point.
    void DragToBrowser(int x, int y);
    // The double-click action: the selected tile into the editor's cursor
    // cell, and the cursor one column on.
    void CopySelectedToEditor();
    // The selected tile onto the clipboard as a picture.
    void CopySelectedTile();
    // Moves the grid by whole lines or whole grids (back when negative),
    // exactly, as the wheel does; nothing without an open file.
    void StepLines(int lines);
    void StepScreens(int screens);
    // Puts the address scroll bar at its top without scrolling the view.
    void ScrollBarToTop();
    // Gives the keyboard focus to the address scroll bar.
    void TakeFocus();

    // The browser's keys on the address scroll bar; false leaves the key to
    // the scroll bar's own handling.
    bool ScrAdd_KeyDown(QKeyEvent* event);
    // The keys ScrAdd_KeyDown handles and what each runs.
    static std::span<const KeyAction<Browser>> KeyTable();
    // The mouse wheel over the browser or its scroll bar: a notch moves the
    // view one grid line from the address shown, Shift+wheel steps the fine
    // offset, Ctrl+wheel zooms.
    void Form_MouseWheel(QWheelEvent* event);

    // Shows or hides the browser's child window.
    bool IsWindowVisible() const;
    void ShowWindow();
    void HideWindow();

    // Scroll bar units per arrow key step, recomputed by SizeBrowser.
    std::uint8_t ScrollSteps = 10;
    // False makes the next position change of ScrAdd be ignored once.
    bool DoScroll = true;

    QScrollBar* ScrAdd;

    // The fixed size that SizeBrowser set, so the child frame fits it.
    QSize sizeHint() const override { return minimumSize(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void ReadGrid();
    void SelectTileAt(QPoint point);
    void WheelLines(int steps);
    BrowCtrl& Panel();
    void ScrollByKey(ScrollKey key);
    // Gives the editor the focus when it is shown.
    void FocusEditor();

    ProgramState& state_;
    Windows& windows_;
    std::array<std::uint8_t, BrowserPixelCount> decodedPixels_{};
    std::vector<std::uint8_t> layoutRun_;  // a block layout's tiles in file order, read before arranging
    QImage tileImage_;
    QImage backingImage_;
    WheelSteps wheelSteps_;
};
