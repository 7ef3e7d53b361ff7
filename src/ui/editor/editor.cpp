#include "ui/editor/clipboard_actions.h"
#include "ui/editor/editor.h"

#include "model/core/program_state.h"
#include "model/core/view_limits.h"
#include "model/editor/editor_canvas.h"
#include "model/editor/editor_slots.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/replace_color_dialog.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/floor/child_window.h"
#include "ui/floor/icons.h"
#include "ui/floor/image_buffer.h"
#include "ui/floor/refresh.h"
#include "ui/floor/shell.h"
#include "ui/floor/windows.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace {

constexpr int ScrollBarSize = 17;
constexpr std::uint32_t MarginColor = 0xFFACACACu;  // RGB 172, 172, 172
// Unsaved cells are marked on their border, in a color of their own so the
// mark still shows on the cursor's frame.
constexpr std::uint32_t UnsavedMarkColor = 0xFFFF8000u;  // RGB 255, 128, 0

CanvasPoint CanvasPointOf(const CanvasHit& hit)
{
    return {hit.Column * TileSide + hit.PixelX, hit.Row * TileSide + hit.PixelY};
}

CanvasShape ShapeOf(EditorTool tool)
{
    switch (tool) {
    case EditorTool::Rectangle:
        return CanvasShape::Rectangle;
    case EditorTool::FilledRectangle:
        return CanvasShape::FilledRectangle;
    default:
        return CanvasShape::Line;
    }
}

// The step a stroke of the tool is called in the history.
const char* StrokeName(EditorTool tool)
{
    switch (tool) {
    case EditorTool::Paint:
        return "paint";
    case EditorTool::Fill:
        return "fill";
    case EditorTool::FloodFill:
        return "flood fill";
    case EditorTool::Line:
        return "line";
    default:
        return "rectangle";
    }
}

}  // namespace

Editor::Editor(ProgramState& state, Windows& windows, QWidget* parent)
    : QWidget(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Editor"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(MinEditorSide, MinEditorSide);

    HEditScr = new QScrollBar(Qt::Horizontal, this);
    VEditScr = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {HEditScr, VEditScr}) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setSingleStep(8);
        bar->setPageStep(64);
        connect(bar, &QScrollBar::valueChanged, this, &Editor::RedrawEditor);
    }
    BtFit = new QToolButton(this);
    BtFit->setIcon(DrawnIcon(IconKind::Editor));
    BtFit->setToolTip(QStringLiteral("Resize the editor to show all 16x16 tiles"));
    BtFit->setFocusPolicy(Qt::NoFocus);
    connect(BtFit, &QToolButton::clicked, this, &Editor::BtFit_Click);

    resize(259, 239);
    RenderAllSlots();

    ChangeBoard& changes = windows_.Changes;
    changes.Subscribe(ChangeKind::Cells, [this](const Change& change) {
        for (int slot : change.Cells)
            RenderSlot(slot);
        RedrawEditor();
    });
    for (ChangeKind kind : {ChangeKind::Palette, ChangeKind::AllCells, ChangeKind::RomBytes, ChangeKind::TilesSource})
        changes.Subscribe(kind, [this](const Change&) {
            RenderAllSlots();
            RedrawEditor();
        });
    changes.Subscribe(ChangeKind::CellTransformed, [this](const Change& change) {
        // The turned cell is drawn anew; its twins are drawn from the
        // pictures they had, and the whole canvas only when asked.
        const int slot = change.Cells.front();
        RenderSlot(slot);
        DrawSlot(slot, slot % CanvasCells, slot / CanvasCells);
        DrawSlots({change.Cells.begin() + 1, change.Cells.end()});
        if (change.RedrawAll)
            RedrawEditor();
        DrawEditorOverlay();
    });
    changes.Subscribe(ChangeKind::EditorView, [this](const Change&) { RedrawEditor(); });
    changes.Subscribe(ChangeKind::EditorSize, [this](const Change&) { FormatEditScroll(); });
    changes.Subscribe(ChangeKind::EditorCleared, [this](const Change&) { ResetEditor(); });
}

PixelBuffer Editor::Backing()
{
    if (backingImage_.size() != size()) {
        backingImage_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        backingImage_.fill(Qt::black);
    }
    return BufferOf(backingImage_);
}

PixelBuffer Editor::SlotImage(int slot)
{
    return {slotImages_[slot].data(), TileSide, TileSide, TileSide};
}

int Editor::InnerWidth() const
{
    return width();
}

int Editor::InnerHeight() const
{
    return height();
}

void Editor::RenderSlot(int slot)
{
    const TilePixels& pixels = state_.EditorSlots[slot].Pixels;
    for (int i = 0; i < TileSide * TileSide; ++i)
        slotImages_[slot][i] = ScreenColor(state_.WorkingPalette[pixels[i]]);
}

void Editor::RenderAllSlots()
{
    for (int slot = 0; slot < EditorSlotCount; ++slot)
        RenderSlot(slot);
}

void Editor::DrawSlot(int slot, int column, int row)
{
    const int z = state_.EditorZoom;
    const int cell = TileSide * z;
    const int x = column * cell - HEditScr->value();
    const int y = row * cell - VEditScr->value();
    if (state_.EditorSlots[slot].Address == EmptySlot)
        FillBox(Backing(), x, y, x + cell + 1, y + cell + 1, ScreenColor(state_.EmptyDrawColor));
    else
        BlitMagnified(SlotImage(slot), TileSide, TileSide, z, Backing(), x, y);
}

void Editor::DrawSlots(const std::vector<int>& cells)
{
    for (int slot : cells) {
        RenderSlot(slot);
        DrawSlot(slot, slot % CanvasCells, slot / CanvasCells);
    }
}

void Editor::DrawEditorOverlay()
{
    const int cell = TileSide * state_.EditorZoom;
    const int side = CanvasPixels * state_.EditorZoom;
    const int hs = HEditScr->value();
    const int vs = VEditScr->value();
    PixelBuffer target = Backing();
    const bool grid = state_.EditorGrid;
    if (grid) {
        const std::uint32_t color = ScreenColor(state_.GridColor);
        for (int i = 0; i <= CanvasCells; ++i) {
            FillBox(target, i * cell - hs, 0, i * cell - hs + 1, side - vs, color);
            FillBox(target, 0, i * cell - vs, side - hs, i * cell - vs + 1, color);
        }
    }
    const int column = state_.EditorCursorCol;
    const int row = state_.EditorCursorRow;
    DrawFrame(target, column * cell - hs, row * cell - vs, (column + 1) * cell + 1 - hs, (row + 1) * cell + 1 - vs,
              ScreenColor(state_.SelectionColor));
    if (grid)
        DrawUnsavedMarks(target);
    update();
}

void Editor::DrawUnsavedMarks(PixelBuffer& target)
{
    // A corner in the top right of each cell whose edits are not in the file
    // yet, drawn on the grid lines only, so it hides no pixel at any zoom; it
    // goes with the grid so a clean view stays clean.
    const int cell = TileSide * state_.EditorZoom;
    const int size = std::max(3, cell / 3);
    for (int slot = 0; slot < EditorSlotCount; ++slot) {
        if (!IsUnsavedTile(state_, slot))
            continue;
        const int right = (slot % CanvasCells + 1) * cell - HEditScr->value();
        const int top = (slot / CanvasCells) * cell - VEditScr->value();
        FillBox(target, right - size, top, right + 1, top + 1, UnsavedMarkColor);
        FillBox(target, right, top, right + 1, top + size, UnsavedMarkColor);
    }
}

void Editor::RedrawEditor()
{
    state_.EmptyDrawColor = state_.ShowEmptyCells ? state_.EmptyColor : state_.WorkingPalette[0];
    const int side = CanvasPixels * state_.EditorZoom;
    PixelBuffer target = Backing();
    // The margin right of and below the canvas sits in window coordinates.
    FillBox(target, side, 0, width(), height(), MarginColor);
    FillBox(target, 0, side, width(), height(), MarginColor);
    for (int row = 0; row < CanvasCells; ++row)
        for (int column = 0; column < CanvasCells; ++column)
            DrawSlot(row * CanvasCells + column, column, row);
    DrawEditorOverlay();
    update();
}

void Editor::ResetEditor()
{
    ClearAllSlots(state_.EditorSlots);
    RenderAllSlots();
    RedrawEditor();
}

void Editor::TellTileTool()
{
    const int cursor = CursorSlot(state_);
    windows_.TileCtrl->LoadTile(state_.EditorSlots[cursor].Address == EmptySlot ? -1 : cursor);
}

std::optional<CanvasHit> Editor::HitAt(QPoint point) const
{
    return HitCanvas(point.x(), point.y(), HEditScr->value(), VEditScr->value(), state_.EditorZoom, InnerWidth(),
                     InnerHeight());
}

void Editor::PressOrMove(Qt::MouseButtons buttons, QPoint point, bool pressed)
{
    const std::optional<CanvasHit> hit = HitAt(point);
    if (!hit) {
        draggingTile_ = false;
        return;
    }
    const int slot = hit->Slot();
    EditorSlot& cell = state_.EditorSlots[slot];
    windows_.Shell.SetCoorText("Color no " + std::to_string(cell.Pixels[hit->PixelY * TileSide + hit->PixelX]) + " (" +
                               std::to_string(hit->PixelX + 1) + "," + std::to_string(hit->PixelY + 1) + " )");

    if (buttons == Qt::NoButton && draggingTile_) {
        draggingTile_ = false;
        const int cursor = CursorSlot(state_);
        if (cursor != slot) {
            RecordStep(state_.Recorder, "swap", [&] { SwapSlots(state_.EditorSlots, slot, cursor); });
            RenderSlot(slot);
            RenderSlot(cursor);
            RedrawEditor();
        }
    }

    if (buttons & Qt::LeftButton) {
        switch (state_.EditMode) {
        case EditorTool::Select:
            if (!draggingTile_) {
                draggingTile_ = true;
                dragStartSlot_ = slot;
                const int oldCursor = CursorSlot(state_);
                DrawSlot(oldCursor, state_.EditorCursorCol, state_.EditorCursorRow);
                state_.EditorCursorCol = hit->Column;
                state_.EditorCursorRow = hit->Row;
                TellTileTool();
                DrawEditorOverlay();
            }
            break;
        case EditorTool::Paint:
            // Only inside a stroke: once something ended it, the held
            // button paints no more until it is pressed again.
            if (!state_.Recorder.StrokeOpen())
                break;
            DrawSlots(PaintPixel(state_.EditorSlots, slot, hit->PixelX, hit->PixelY, state_.CurrentColor));
            DrawEditorOverlay();
            break;
        case EditorTool::Fill:
            if (!state_.Recorder.StrokeOpen())
                break;
            DrawSlots(FillSlot(state_.EditorSlots, slot, state_.CurrentColor));
            DrawEditorOverlay();
            break;
        case EditorTool::FloodFill:
            // One area a press; moving with the button held fills no more.
            if (!pressed || !state_.Recorder.StrokeOpen())
                break;
            DrawSlots(FloodFill(state_.EditorSlots, CanvasPointOf(*hit), state_.CurrentColor));
            DrawEditorOverlay();
            break;
        case EditorTool::Line:
        case EditorTool::Rectangle:
        case EditorTool::FilledRectangle:
            FollowShape(*hit, pressed);
            break;
        }
        update();
    } else if (buttons & Qt::RightButton) {
        if (state_.EditMode == EditorTool::Select) {
            windows_.Shell.PopUpMenu(PopupMenu::Editor, mapToGlobal(point));
            windows_.Changes.Announce(ChangeKind::Layout);
        } else {
            state_.CurrentColor = cell.Pixels[hit->PixelY * TileSide + hit->PixelX];
            windows_.Changes.Announce(ChangeKind::CurrentColor);
        }
    }
}

void Editor::FollowShape(const CanvasHit& hit, bool pressed)
{
    // Something ended the stroke (an undo, a lost focus): the shape is
    // left as it was and the held button draws no more.
    if (!state_.Recorder.StrokeOpen()) {
        shapeDraft_.reset();
        return;
    }
    if (pressed)
        shapeDraft_.emplace(state_.EditorSlots, ShapeOf(state_.EditMode), CanvasPointOf(hit), state_.CurrentColor);
    if (!shapeDraft_)
        return;
    DrawSlots(shapeDraft_->Follow(state_.EditorSlots, CanvasPointOf(hit)));
    DrawEditorOverlay();
}

void Editor::FinishShape(QPoint point)
{
    // The release may come without a move to its point first.
    if (const std::optional<CanvasHit> hit = HitAt(point); hit && shapeDraft_)
        FollowShape(*hit, false);
    shapeDraft_.reset();
}

void Editor::PickColorAt(QPoint point)
{
    const std::optional<CanvasHit> hit = HitAt(point);
    if (!hit)
        return;
    state_.CurrentColor = CanvasPixel(state_.EditorSlots, CanvasPointOf(*hit));
    windows_.Changes.Announce(ChangeKind::CurrentColor);
}

void Editor::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    picking_ = event->button() == Qt::LeftButton && (event->modifiers() & Qt::AltModifier);
    if (picking_) {
        PickColorAt(point);
        return;
    }
    BeginStroke(event->buttons());
    PressOrMove(event->buttons(), point, true);
}

void Editor::BeginStroke(Qt::MouseButtons buttons)
{
    if (state_.Recorder.StrokeOpen() || !(buttons & Qt::LeftButton) || state_.EditMode == EditorTool::Select)
        return;
    state_.Recorder.BeginStroke(StrokeName(state_.EditMode));
}

void Editor::focusOutEvent(QFocusEvent* event)
{
    // A modal question or another window took the keyboard mid-stroke: the
    // release may never come here.
    state_.Recorder.EndStroke();
    QWidget::focusOutEvent(event);
}

void Editor::hideEvent(QHideEvent* event)
{
    state_.Recorder.EndStroke();
    QWidget::hideEvent(event);
}

void Editor::mouseMoveEvent(QMouseEvent* event)
{
    // The button of an Alt+click neither drags nor draws.
    if (picking_ && (event->buttons() & Qt::LeftButton))
        return;
    picking_ = false;
    PressOrMove(event->buttons(), event->position().toPoint(), false);
}

void Editor::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        picking_ = false;
        FinishShape(point);
    }
    if (!(event->buttons() & Qt::LeftButton))
        state_.Recorder.EndStroke();
    if (point.x() >= 0 && point.y() >= 0 && point.x() <= InnerWidth() && point.y() <= InnerHeight()) {
        // A click (press and release on one cell) only moves the cursor: the
        // drag is over, so a later pointer move cannot swap cells.
        const std::optional<CanvasHit> hit = HitAt(point);
        if (hit && hit->Slot() == dragStartSlot_)
            draggingTile_ = false;
        return;
    }
    // The drag ended outside: it must not swap cells when the pointer comes back.
    draggingTile_ = false;
    RedrawEditor();
    Browser* browser = windows_.Browser;
    if (browser->IsWindowVisible() && state_.EditMode == EditorTool::Select) {
        const QPoint inBrowser = browser->mapFromGlobal(mapToGlobal(point));
        browser->DragToBrowser(inBrowser.x(), inBrowser.y());
    }
}

void Editor::DragToEditor(int x, int y)
{
    const std::optional<int> slot =
        DropSlot(x, y, HEditScr->value(), VEditScr->value(), state_.EditorZoom, InnerWidth(), InnerHeight());
    if (!slot)
        return;
    RecordStep(state_.Recorder, "copy of a tile", [&] {
        ClearSlot(state_.EditorSlots, *slot);
        RenderSlot(*slot);
        if (LoadSlot(state_, windows_.Dialogs, SelectedTileAddress(state_), *slot))
            RenderSlot(*slot);
    });
    RedrawEditor();
}

std::span<const KeyAction<Editor>> Editor::KeyTable()
{
    static constexpr KeyAction<Editor> Keys[] = {
        {Qt::Key_Right, "Cursor one cell right",
         [](Editor& e) {
             if (e.state_.EditorCursorCol < CanvasCells - 1)
                 ++e.state_.EditorCursorCol;
         }},
        {Qt::Key_Left, "Cursor one cell left",
         [](Editor& e) {
             if (e.state_.EditorCursorCol > 0)
                 --e.state_.EditorCursorCol;
         }},
        {Qt::Key_Up, "Cursor one cell up",
         [](Editor& e) {
             if (e.state_.EditorCursorRow >= 1)
                 --e.state_.EditorCursorRow;
         }},
        {Qt::Key_Down, "Cursor one cell down",
         [](Editor& e) {
             if (e.state_.EditorCursorRow < CanvasCells - 1)
                 ++e.state_.EditorCursorRow;
         }},
        {Qt::Key_Delete, "Flip tile", [](Editor& e) { e.RunOnTileTool(&TileCtrl::BtFlipX_Click); }},
        {Qt::Key_End, "Mirrow tile", [](Editor& e) { e.RunOnTileTool(&TileCtrl::BtFlipY_Click); }},
        {Qt::Key_PageDown, "Rotate tile", [](Editor& e) { e.RunOnTileTool(&TileCtrl::BtRotate_Click); }},
        {Qt::Key_Return, "Save tile", [](Editor& e) { e.RunOnTileTool(&TileCtrl::SaveTile_Click); }},
        {Qt::Key_Enter, "Save tile", [](Editor& e) { e.RunOnTileTool(&TileCtrl::SaveTile_Click); }},
        {Qt::Key_A, "Save tile to address", [](Editor& e) { e.RunOnTileTool(&TileCtrl::BtCopyToAddress_Click); }},
        {Qt::Key_R, "Reload tile", [](Editor& e) { e.RunOnTileTool(&TileCtrl::BtReloadTile_Click); }},
        {Qt::Key_S, "Save tile to selection", [](Editor& e) { e.RunOnTileTool(&TileCtrl::BtCopySelTile_Click); }},
        {Qt::Key_C, "Clear tile", [](Editor& e) { e.RunOnTileTool(&TileCtrl::BtDeleteSprite_Click); }},
        {Qt::Key_Space, "Focus the editor control panel", [](Editor& e) { e.RunOnPanel(&EditCtrl::TakeFocus); }},
        // The button named ZoomIn makes the tiles smaller.
        {Qt::KeypadModifier | Qt::Key_Minus, "Zoom in (smaller tiles)",
         [](Editor& e) { e.RunOnPanel(&EditCtrl::BtEditZoomIn_Click); }},
        {Qt::KeypadModifier | Qt::Key_Plus, "Zoom out (larger tiles)",
         [](Editor& e) { e.RunOnPanel(&EditCtrl::BtEditZoomOut_Click); }},
        {Qt::CTRL | Qt::Key_G, "Grid on/off", [](Editor& e) { e.RunOnPanel(&EditCtrl::ToggleGrid); }},
        {Qt::CTRL | Qt::Key_N, "Show/hide noncopied tiles",
         [](Editor& e) { e.RunOnPanel(&EditCtrl::ToggleEmptyCells); }},
        {Qt::CTRL | Qt::Key_B, "Focus the browser", [](Editor& e) { e.FocusBrowser(); }},
    };
    return Keys;
}

void Editor::keyPressEvent(QKeyEvent* event)
{
    // A key ends a pending Select drag: the cursor may move away from the
    // cell that was pressed, and the next pointer move must not swap.
    draggingTile_ = false;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::ControlModifier)
        return;
    if (const KeyAction<Editor>* action = FindKeyAction(KeyTable(), *event))
        action->Run(*this);
    if (modifiers == Qt::ControlModifier)
        return;
    // Every key without a modifier, listed or not, updates the tile tool
    // and the cursor box.
    TellTileTool();
    DrawEditorOverlay();
    update();
}

void Editor::CopyCursorCell()
{
    ::CopyCursorCell(state_, windows_);
}

void Editor::CopyAllCells()
{
    ::CopyAllCells(state_, windows_);
}

void Editor::PasteIntoCursorCell()
{
    ::PasteIntoCursorCell(state_, windows_);
}

void Editor::ReplaceColorInCells()
{
    const std::optional<ColorReplacement> choice = AskColorReplacement(this, state_.CurrentColor);
    if (!choice)
        return;
    std::vector<int> cells(1, CursorSlot(state_));
    if (choice->AllCells) {
        cells.resize(EditorSlotCount);
        std::iota(cells.begin(), cells.end(), 0);
    }
    CellsChanged(windows_, RecordStep(state_.Recorder, "replace color", [&] {
                     return ReplaceColor(state_.EditorSlots, cells, choice->From, choice->To);
                 }));
}

void Editor::RunOnTileTool(void (TileCtrl::*action)())
{
    (windows_.TileCtrl->*action)();
}

void Editor::RunOnPanel(void (EditCtrl::*action)())
{
    (windows_.EditCtrl->*action)();
}

void Editor::FocusBrowser()
{
    if (windows_.Browser->IsWindowVisible())
        windows_.Browser->TakeFocus();
}

void Editor::wheelEvent(QWheelEvent* event)
{
    event->accept();
    // A notch scrolls 24 pixels, three of the scroll bars' small steps; a
    // notch is 120 angle units, so 5 units make a pixel.
    constexpr int UnitsPerPixel = 5;
    enum { Vertical, Horizontal, Zoom };
    const QPoint angle = event->angleDelta();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::ControlModifier) {
        // Away from the user enlarges: BtEditZoomOut makes the tiles larger.
        // More steps than the zoom range has change nothing.
        const int steps = std::clamp(wheelSteps_.Take(angle.y(), WheelNotch, Zoom), -MaxEditorZoom, MaxEditorZoom);
        for (int i = 0; i < std::abs(steps); ++i) {
            if (steps > 0)
                windows_.EditCtrl->BtEditZoomOut_Click();
            else
                windows_.EditCtrl->BtEditZoomIn_Click();
        }
        return;
    }
    const bool across = modifiers == Qt::ShiftModifier || (angle.y() == 0 && angle.x() != 0);
    const int delta = across && angle.x() != 0 ? angle.x() : angle.y();
    QScrollBar* bar = across ? HEditScr : VEditScr;
    const int pixels = wheelSteps_.Take(delta, UnitsPerPixel, across ? Horizontal : Vertical);
    // Through the scroll bar, so that its change runs the redraw.
    if (pixels != 0 && bar->isEnabled())
        bar->setValue(static_cast<int>(
            std::clamp<long long>(static_cast<long long>(bar->value()) - pixels, bar->minimum(), bar->maximum())));
}

void Editor::FormatEditScroll()
{
    const int w = InnerWidth();
    const int h = InnerHeight();
    BtFit->setGeometry(w - ScrollBarSize, h - ScrollBarSize, ScrollBarSize, ScrollBarSize);
    HEditScr->setGeometry(0, h - ScrollBarSize, w - ScrollBarSize, ScrollBarSize);
    VEditScr->setGeometry(w - ScrollBarSize, 0, ScrollBarSize, h - ScrollBarSize);
    const int hMax = EditScrollMaximum(state_.EditorZoom, w);
    const int vMax = EditScrollMaximum(state_.EditorZoom, h);
    {
        const QSignalBlocker hBlock(HEditScr);
        const QSignalBlocker vBlock(VEditScr);
        HEditScr->setValue(0);
        VEditScr->setValue(0);
        HEditScr->setRange(0, hMax);
        VEditScr->setRange(0, vMax);
    }
    HEditScr->setEnabled(hMax > 0);
    VEditScr->setEnabled(vMax > 0);
    // The offsets went back to 0: the canvas is drawn from its corner again.
    RedrawEditor();
}

void Editor::resizeEvent(QResizeEvent*)
{
    RedrawEditor();
    FormatEditScroll();
}

void Editor::BtFit_Click()
{
    // The client area holds the whole canvas plus the two scroll bars.
    const int side = CanvasPixels * state_.EditorZoom + ScrollBarSize;
    QWidget* frame = ChildFrame(this);
    if (frame != this)
        frame->resize(frame->size() - size() + QSize(side, side));
    resize(side, side);
    FormatEditScroll();
}

void Editor::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), backingImage_, event->rect());
}
