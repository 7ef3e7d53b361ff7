#pragma once

#include "model/core/editor_cells.h"
#include "model/core/pixel_buffer.h"
#include "model/core/wheel_steps.h"
#include "model/editor/canvas_tools.h"
#include "model/editor/editor_canvas.h"
#include "ui/floor/key_table.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct ProgramState;
struct Windows;
class EditCtrl;
class TileCtrl;
class QScrollBar;
class QToolButton;

// The editor: the 16 x 16 cells as one canvas of 128 x 128 tile pixels,
// magnified EditorZoom times, with scroll bars when the window is smaller.
// Each cell keeps its 8 x 8 picture; the draw operations paint into a
// window-sized backing image that painting only copies to the screen.
class Editor : public QWidget {
    Q_OBJECT

public:
    Editor(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Redraws cell i's picture from its pixels and the working palette.
    void RenderSlot(int slot);
    // Redraws the pictures of all 256 cells.
    void RenderAllSlots();
    // Draws a cell's picture (or the empty square) at a cell position.
    void DrawSlot(int slot, int column, int row);
    // Draws the grid (when switched on) and the cursor box.
    void DrawEditorOverlay();
    // Repaints the whole canvas.
    void RedrawEditor();
    // Empties every cell and redraws.
    void ResetEditor();
    // Renders and draws the given cells at their own positions.
    void DrawSlots(const std::vector<int>& cells);

    // A browser tile dropped at a point in this window's coordinates.
    void DragToEditor(int x, int y);

    // The clipboard: the cursor cell or all cells out as pictures, a
    // picture in from the cursor cell on.
    void CopyCursorCell();
    void CopyAllCells();
    void PasteIntoCursorCell();
    // Asks which color becomes which, in the cursor cell or all cells, and
    // replaces it as one step.
    void ReplaceColorInCells();
    // Lays out the scroll bars and the fit button; resets the offsets.
    void FormatEditScroll();
    void BtFit_Click();

    // Cursor moves and tile tool updates after a Select press or a key.
    void TellTileTool();

    const QImage& BackingImage() const { return backingImage_; }

    // The keys the editor handles and what each runs. Every key without a
    // modifier then updates the tile tool and the cursor box.
    static std::span<const KeyAction<Editor>> KeyTable();

    QScrollBar* HEditScr;
    QScrollBar* VEditScr;
    QToolButton* BtFit;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Both end a stroke whose release may never arrive.
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // The wheel scrolls the canvas through its scroll bars (Shift or a
    // sideways turn across); Ctrl+wheel zooms like the zoom buttons.
    void wheelEvent(QWheelEvent* event) override;

private:
    // pressed: the button went down now rather than moved while held.
    void PressOrMove(Qt::MouseButtons buttons, QPoint point, bool pressed);
    // The line and rectangle tools: a press starts the shape, moves and the
    // release take its end along.
    void FollowShape(const CanvasHit& hit, bool pressed);
    void FinishShape(QPoint point);
    // Alt+click in every tool: the pixel's color becomes the current one.
    void PickColorAt(QPoint point);
    std::optional<CanvasHit> HitAt(QPoint point) const;
    // Runs an action of the tile tool or the editor control panel, or
    // clicks one of the panel's switches, when the window exists.
    void RunOnTileTool(void (TileCtrl::*action)());
    void RunOnPanel(void (EditCtrl::*action)());
    // Gives the browser the focus when it is shown.
    void FocusBrowser();
    PixelBuffer Backing();
    void DrawUnsavedMarks(PixelBuffer& target);
    // A stroke of any drawing tool is one step of the history, from press to release.
    void BeginStroke(Qt::MouseButtons buttons);
    PixelBuffer SlotImage(int slot);
    int InnerWidth() const;
    int InnerHeight() const;

    ProgramState& state_;
    Windows& windows_;
    QImage backingImage_;
    std::array<std::array<std::uint32_t, TileSide * TileSide>, EditorSlotCount> slotImages_{};
    bool draggingTile_ = false;
    WheelSteps wheelSteps_;
    int dragStartSlot_ = -1;  // the cell a Select drag began on
    // The line or rectangle being dragged.
    std::optional<ShapeDraft> shapeDraft_;
    // An Alt+click's button is still held.
    bool picking_ = false;
};
