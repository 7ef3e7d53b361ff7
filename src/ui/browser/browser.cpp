#include "ui/editor/clipboard_actions.h"
#include "ui/browser/browser.h"

#include "model/browser/browser_nav.h"
#include "model/browser/browser_picture.h"
#include "model/browser/grid_tiles.h"
#include "model/codec/shown_stream.h"
#include "model/core/dialogs.h"
#include "model/core/editor_cells.h"
#include "model/core/number_text.h"
#include "model/core/program_state.h"
#include "model/core/tile_io.h"
#include "model/core/view_limits.h"
#include "model/editor/cell_writes.h"
#include "model/editor/editor_slots.h"
#include "model/editor/recorded_edits.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/floor/child_window.h"
#include "ui/floor/image_buffer.h"
#include "ui/floor/refresh.h"
#include "ui/floor/shell.h"
#include "ui/floor/windows.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>

#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int ScrollBarWidth = 17;

// Purposes of wheel turns, so that parts of a notch are not carried from one
// to another.
enum WheelPurpose { WheelLinesPurpose, WheelFineOffsetPurpose, WheelZoomPurpose };

// More steps than any real turn gives in one event; steps that repeat an
// action one by one stop there.
constexpr int MaxRepeatedWheelSteps = 64;

}  // namespace

// The address scroll bar takes the browser's keys before its own steps.
class AddressScrollBar : public QScrollBar {
public:
    AddressScrollBar(Browser& browser, QWidget* parent) : QScrollBar(Qt::Vertical, parent), browser_(browser) {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!browser_.ScrAdd_KeyDown(event))
            QScrollBar::keyPressEvent(event);
    }

    // The wheel over the scroll bar moves the view like the wheel over the
    // tiles, by exact grid lines rather than by coarse scroll bar units.
    void wheelEvent(QWheelEvent* event) override { browser_.Form_MouseWheel(event); }

private:
    Browser& browser_;
};

Browser::Browser(ProgramState& state, Windows& windows, QWidget* parent)
    : QWidget(parent), state_(state), windows_(windows),
      tileImage_(MaxBrowserColumns * TileSide, MaxBrowserLines * TileSide, QImage::Format_RGB32)
{
    tileImage_.fill(Qt::black);
    ScrAdd = new AddressScrollBar(*this, this);
    ScrAdd->setRange(0, AddressScrollMax);
    ScrAdd->setSingleStep(1);
    ScrAdd->setPageStep(1);
    ScrAdd->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(ScrAdd);
    connect(ScrAdd, &QScrollBar::valueChanged, this, [this] { windows_.BrowCtrl->ScrollBrowser(); });
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);

    ChangeBoard& changes = windows_.Changes;
    changes.Subscribe(ChangeKind::Palette, [this](const Change&) { RedrawBrowser(); });
    for (ChangeKind kind : {ChangeKind::RomBytes, ChangeKind::BrowserAddress, ChangeKind::FileOpened,
                            ChangeKind::FileClosed, ChangeKind::BrowserView, ChangeKind::TilesSource})
        changes.Subscribe(kind, [this](const Change&) { ReloadBrowser(); });
    changes.Subscribe(ChangeKind::BrowserSize, [this](const Change&) { SizeBrowser(); });
    changes.Subscribe(ChangeKind::BrowserGrid, [this](const Change&) {
        RedrawBrowser();
        DrawBrowserGrid();
    });
    changes.Subscribe(ChangeKind::BrowserJump, [this](const Change&) { ReadGridAndRedraw(); });
}

void Browser::ScrollBarToTop()
{
    const QSignalBlocker blocker(ScrAdd);
    ScrAdd->setValue(0);
}

void Browser::ShowWindow()
{
    SetChildVisible(this, true);
    ChildFrame(this)->raise();
}

void Browser::HideWindow()
{
    SetChildVisible(this, false);
}

bool Browser::IsWindowVisible() const
{
    return IsChildVisible(this);
}

void Browser::ReadGrid()
{
    if (state_.FileOpen())
        ReadGridTiles(state_.Tiles(), state_.CurrentMode, state_.BrowserAddress, state_.BrowserLayout,
                      state_.BrowserColumns, state_.BrowserLines, decodedPixels_.data(), layoutRun_);
}

void Browser::ReloadBrowser()
{
    ReadGrid();
    SizeBrowser();
    RedrawBrowser();
}

void Browser::SizeBrowser()
{
    const int gridWidth = state_.BrowserZoom * state_.BrowserColumns * state_.TileWidth;
    const int gridHeight = state_.BrowserZoom * state_.BrowserLines * state_.TileHeight;
    setFixedSize(gridWidth + ScrollBarWidth, gridHeight);
    ScrAdd->setGeometry(gridWidth, 0, ScrollBarWidth, gridHeight);
    ScrollSteps = ScrollStepsFor(gridHeight);
    if (QWidget* frame = ChildFrame(this); frame != this)
        frame->adjustSize();
    update();
}

void Browser::resizeEvent(QResizeEvent*)
{
    if (backingImage_.size() != size()) {
        backingImage_ = QImage(size(), QImage::Format_RGB32);
        backingImage_.fill(Qt::black);
        if (state_.FileOpen()) {
            BlitBrowser();
            DrawBrowserGrid();
        }
    }
}

void Browser::RedrawBrowser()
{
    windows_.BrowCtrl->ShowAddress(state_.BrowserAddress);
    if (!state_.FileOpen()) {
        HideWindow();
        return;
    }
    RenderTiles(decodedPixels_.data(), state_.BrowserColumns, state_.BrowserLines, state_.WorkingPalette,
                BufferOf(tileImage_));
    BlitBrowser();
    DrawBrowserGrid();
    // A compressed stream shown in place of the file is named after the mode.
    const std::string stream = ShownStreamCaption(state_);
    setWindowTitle(QStringLiteral("Browser - '") + QString::fromStdString(state_.FileName()) + QStringLiteral("' in ") +
                   QString::fromUtf8(CurrentModeInfo(state_).Name.data(),
                                     static_cast<qsizetype>(CurrentModeInfo(state_).Name.size())) +
                   QStringLiteral(" mode") +
                   (stream.empty() ? QString() : QStringLiteral(" - ") + QString::fromStdString(stream)) +
                   // Said before the user tries to save into it.
                   (state_.FileHandle.IsWritable() ? QString() : QStringLiteral(" (read-only)")));
    ShowWindow();
    repaint();
}

void Browser::BlitBrowser()
{
    if (backingImage_.size() != size())
        resizeEvent(nullptr);
    BlitMagnified(BufferOf(tileImage_), state_.BrowserColumns * state_.TileWidth,
                  state_.BrowserLines * state_.TileHeight, state_.BrowserZoom, BufferOf(backingImage_));
    update();
}

void Browser::DrawBrowserGrid()
{
    PixelBuffer target = BufferOf(backingImage_);
    const int cell = state_.TileWidth * state_.BrowserZoom;
    if (state_.BrowserGrid)
        DrawGridLines(target, state_.BrowserColumns, state_.BrowserLines, cell, ScreenColor(state_.GridColor));
    // The frame is always white, whatever the selection color is.
    const int step = TileSide * state_.BrowserZoom;
    DrawFrame(target, step * state_.BrowserSelX, step * state_.BrowserSelY, step * (state_.BrowserSelX + 1) + 1,
              step * (state_.BrowserSelY + 1) + 1, 0xFFFFFFFFu);
    update();
}

void Browser::ReadGridAndRedraw()
{
    ReadGrid();
    RedrawBrowser();
}

void Browser::TimedReloadAndRedraw()
{
    QElapsedTimer timer;
    timer.start();
    ReadGridAndRedraw();
    if (state_.MeasureRedrawTime) {
        // Seconds truncated to whole milliseconds.
        const double seconds = static_cast<double>(timer.nsecsElapsed() / 1000000) / 1000.0;
        windows_.Shell.SetInfoText("The last redraw took about " + FormatPlainDecimal(seconds) + " seconds.");
    }
}

std::span<const KeyAction<Browser>> Browser::KeyTable()
{
    static constexpr KeyAction<Browser> Keys[] = {
        {Qt::Key_Up, "Scroll up one line", [](Browser& b) { b.ScrollByKey(ScrollKey::Up); }},
        {Qt::Key_Down, "Scroll down one line", [](Browser& b) { b.ScrollByKey(ScrollKey::Down); }},
        {Qt::Key_PageUp, "Scroll up one page", [](Browser& b) { b.ScrollByKey(ScrollKey::PageUp); }},
        {Qt::Key_PageDown, "Scroll down one page", [](Browser& b) { b.ScrollByKey(ScrollKey::PageDown); }},
        {Qt::Key_Home, "Go to the start of the file", [](Browser& b) { b.ScrollByKey(ScrollKey::Home); }},
        {Qt::Key_End, "Go to the end of the file", [](Browser& b) { b.ScrollByKey(ScrollKey::End); }},
        {Qt::Key_Left, "Fine offset one byte back", [](Browser& b) { b.Panel().StepFineOffset(-1); }},
        {Qt::Key_Right, "Fine offset one byte on", [](Browser& b) { b.Panel().StepFineOffset(+1); }},
        {Qt::Key_Return, "Copy the selected tile to the editor", [](Browser& b) { b.CopySelectedToEditor(); }},
        {Qt::Key_Enter, "Copy the selected tile to the editor", [](Browser& b) { b.CopySelectedToEditor(); }},
        {Qt::Key_Space, "Focus the browser control panel", [](Browser& b) { b.Panel().TakeFocus(); }},
        {Qt::KeypadModifier | Qt::Key_Plus, "Zoom in", [](Browser& b) { b.Panel().BtBrowZoomIn_Click(); }},
        {Qt::KeypadModifier | Qt::Key_Minus, "Zoom out", [](Browser& b) { b.Panel().BtBrowZoomOut_Click(); }},
        {Qt::CTRL | Qt::Key_O, "Open file", [](Browser& b) { b.Panel().BtOpenFile_Click(); }},
        {Qt::CTRL | Qt::Key_C, "Close file", [](Browser& b) { b.Panel().BtCloseFile_Click(); }},
        {Qt::CTRL | Qt::Key_G, "Grid on/off", [](Browser& b) { b.Panel().ToggleGrid(); }},
        {Qt::CTRL | Qt::Key_E, "Focus the editor", [](Browser& b) { b.FocusEditor(); }},
    };
    return Keys;
}

bool Browser::ScrAdd_KeyDown(QKeyEvent* event)
{
    const KeyAction<Browser>* action = FindKeyAction(KeyTable(), *event);
    if (!action)
        return false;
    action->Run(*this);
    return true;
}

BrowCtrl& Browser::Panel()
{
    return *windows_.BrowCtrl;
}

void Browser::ScrollByKey(ScrollKey key)
{
    ScrAdd->setValue(ScrollKeyPosition(key, ScrAdd->value(), ScrollSteps));
}

void Browser::FocusEditor()
{
    if (IsChildVisible(windows_.Editor)) {
        ChildFrame(windows_.Editor)->activateWindow();
        windows_.Editor->setFocus(Qt::OtherFocusReason);
    }
}

void Browser::wheelEvent(QWheelEvent* event)
{
    Form_MouseWheel(event);
}

void Browser::Form_MouseWheel(QWheelEvent* event)
{
    event->accept();
    BrowCtrl* panel = windows_.BrowCtrl;
    if (!state_.FileOpen())
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const QPoint angle = event->angleDelta();
    if (modifiers == Qt::ControlModifier) {
        // Away from the user zooms in, as the zoom in button does.
        const int steps = std::clamp(wheelSteps_.Take(angle.y(), WheelNotch, WheelZoomPurpose), -MaxRepeatedWheelSteps,
                                     MaxRepeatedWheelSteps);
        for (int i = 0; i < std::abs(steps); ++i) {
            if (steps > 0)
                panel->BtBrowZoomIn_Click();
            else
                panel->BtBrowZoomOut_Click();
        }
    } else if (modifiers == Qt::ShiftModifier) {
        // Some systems turn Shift+wheel into a sideways turn.
        const int delta = angle.y() != 0 ? angle.y() : angle.x();
        const int steps = std::clamp(wheelSteps_.Take(delta, WheelNotch, WheelFineOffsetPurpose),
                                     -MaxRepeatedWheelSteps, MaxRepeatedWheelSteps);
        for (int i = 0; i < std::abs(steps); ++i)
            panel->StepFineOffset(steps > 0 ? -1 : +1);
    } else if (modifiers == Qt::NoModifier) {
        // Turning the wheel away from the user shows earlier lines.
        WheelLines(-wheelSteps_.Take(angle.y(), WheelNotch, WheelLinesPurpose));
    }
}

void Browser::WheelLines(int steps)
{
    if (steps == 0)
        return;
    const int bytesPerTile = CurrentModeInfo(state_).BytesPerTile;
    const LayoutRows rows = BrowserRows(state_);
    state_.BrowserAddress =
        WheelAddress(state_.BrowserAddress, steps, state_.TilesLength(), rows.Lines, rows.LineTiles, bytesPerTile);
    {
        // The scroll bar follows without recomputing the address from its
        // coarser position.
        const QSignalBlocker blocker(ScrAdd);
        ScrAdd->setValue(ScrollPositionFor(state_.BrowserAddress, state_.TilesLength(), rows.Lines, rows.LineTiles,
                                           bytesPerTile, state_.BrowserDiv));
    }
    TimedReloadAndRedraw();
}

void Browser::StepLines(int lines)
{
    if (state_.FileOpen())
        WheelLines(lines);
}

void Browser::StepScreens(int screens)
{
    StepLines(screens * BrowserRows(state_).Lines);
}

void Browser::TakeFocus()
{
    ChildFrame(this)->activateWindow();
    ScrAdd->setFocus(Qt::OtherFocusReason);
}

void Browser::SelectTileAt(QPoint point)
{
    // Floor division: a point left of or above the window selects a negative tile.
    const int cell = state_.BrowserZoom * TileSide;
    state_.BrowserSelX = static_cast<int>(std::floor(static_cast<double>(point.x()) / cell));
    state_.BrowserSelY = static_cast<int>(std::floor(static_cast<double>(point.y()) / cell));
    windows_.BrowCtrl->ShowAddress(SelectedTileAddress(state_));
    BlitBrowser();
    DrawBrowserGrid();
    repaint();
}

void Browser::mousePressEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::RightButton) {
        windows_.Changes.Announce(ChangeKind::Layout);
        windows_.Shell.PopUpMenu(PopupMenu::Browser, event->globalPosition().toPoint());
    }
    SelectTileAt(event->position().toPoint());
}

void Browser::mouseMoveEvent(QMouseEvent* event)
{
    const int x = std::clamp(static_cast<int>(event->position().x()), 0, width());
    const int y = std::clamp(static_cast<int>(event->position().y()), 0, height());
    const int cell = state_.BrowserZoom * TileSide;
    const std::int64_t address = TileAddressAt(state_, x / cell, y / cell);
    windows_.Shell.SetCoorText("Address: " + AddressText(address, state_.HexAddresses));
}

void Browser::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (point.x() >= 0 && point.y() >= 0 && point.x() <= width() && point.y() <= height())
        return;
    Editor* editor = windows_.Editor;
    if (IsChildVisible(editor)) {
        const QPoint inEditor = editor->mapFromGlobal(mapToGlobal(point));
        editor->DragToEditor(inEditor.x(), inEditor.y());
    }
}

void Browser::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click selects like any press.
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        CopySelectedToEditor();
}

void Browser::CopySelectedTile()
{
    CopyBrowserTile(state_, windows_);
}

void Browser::CopySelectedToEditor()
{
    const int slot = CursorSlot(state_);
    RecordStep(state_.Recorder, "copy of a tile", [&] {
        ClearSlot(state_.EditorSlots, slot);
        LoadSlot(state_, windows_.Dialogs, SelectedTileAddress(state_), slot);
    });
    if (state_.EditorCursorCol < 15)
        ++state_.EditorCursorCol;
    CellsChanged(windows_, {slot});
}

void Browser::DragToBrowser(int x, int y)
{
    if (x < 0 || y < 0 || x > width() || y > height())
        return;
    const int column = x / state_.BrowserZoom / TileSide;
    const int line = y / state_.BrowserZoom / TileSide;
    if (column >= state_.BrowserColumns || line >= state_.BrowserLines)
        return;
    const CellWriteResult result = WriteCellToAsStep(state_, windows_.Dialogs, CursorSlot(state_),
                                                     TileAddressAt(state_, column, line), state_.CurrentMode);
    ShowReport(windows_, result.Report);
    if (result.Confirmed())
        RomBytesChanged(windows_);
}

void Browser::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), backingImage_, event->rect());
}
