#include "ui/app/layout_config.h"

#include "model/core/dialogs.h"
#include "model/core/file_io.h"
#include "model/core/program_state.h"
#include "ui/app/options.h"
#include "ui/app/tools.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/pattern.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/floor/child_window.h"
#include "ui/floor/shell.h"
#include "ui/floor/tool_window.h"
#include "ui/floor/windows.h"
#include "ui/palette/color_set.h"
#include "ui/palette/palette_ctrl.h"
#include "ui/tools/bookmark.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMargins>
#include <QMdiArea>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>

namespace {

PixelPoint ToPixelPoint(QPoint point)
{
    return {point.x(), point.y()};
}

QPoint ToQPoint(PixelPoint point)
{
    return {point.X, point.Y};
}

// The main window's child-window area, its central widget.
QMdiArea& MdiArea(Windows& windows)
{
    return *qobject_cast<QMdiArea*>(windows.Shell.MainWindow().centralWidget());
}

// How far the child-window area is scrolled: scrolling moves every child
// window, so positions are kept as they stand unscrolled.
QPoint ScrollOffset(Windows& windows)
{
    const QMdiArea& area = MdiArea(windows);
    return {area.horizontalScrollBar()->value(), area.verticalScrollBar()->value()};
}

// A child window's frame position in the main window's client area.
PixelPoint ChildPosition(Windows& windows, QWidget* window)
{
    return ToPixelPoint(ChildFrame(window)->pos() + ScrollOffset(windows));
}

void MoveChild(QWidget* window, PixelPoint point)
{
    ChildFrame(window)->move(ToQPoint(point));
}

// The four floating windows, in file order.
std::array<QWidget*, 4> FloatingWindows(Windows& windows)
{
    return {windows.Bookmark, windows.ColorSet, windows.Pattern, windows.Options};
}

std::array<PixelPoint*, 4> FloatingOffsets(LayoutConfig& layout)
{
    return {&layout.BookmarkOffset, &layout.ColorSetOffset, &layout.PatternOffset, &layout.OptionsOffset};
}

// Gives the main window the outer size, frame included, that a layout asks
// for. A layout applied before the show meets a frame the window system
// adds later (a window manager only after mapping the window): for a short
// while after the show, the window is sized again whenever its frame's
// widths change, and every change of its place or size fits the frame onto
// the screen.
class MainFrameKeeper : public QObject {
public:
    static constexpr int WatchMilliseconds = 2000;
    static inline const QString Name = QStringLiteral("MainFrameKeeper");

    explicit MainFrameKeeper(QWidget& form) : QObject(&form), form_(form)
    {
        setObjectName(Name);
        form.installEventFilter(this);
    }

    static MainFrameKeeper* Of(QWidget& form)
    {
        return form.findChild<MainFrameKeeper*>(Name, Qt::FindDirectChildrenOnly);
    }

    void SetOuterSize(QSize outer, bool intoView)
    {
        outer_ = outer;
        intoView_ = intoView;
        sizedFor_.reset();
        Settle();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            QTimer::singleShot(WatchMilliseconds, this, &QObject::deleteLater);
            [[fallthrough]];
        case QEvent::Move:
        case QEvent::Resize:
            // Not from inside the window's own event: settling moves it again.
            if (form_.isVisible())
                QTimer::singleShot(0, this, &MainFrameKeeper::Settle);
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Sizes the window once for each frame it gets, then fits it.
    void Settle()
    {
        const QMargins margins = CurrentFrame(form_);
        if (outer_ && sizedFor_ != margins) {
            sizedFor_ = margins;
            form_.resize(outer_->shrunkBy(margins));
        }
        FitMainFrame(form_);
        // A layout saved on a larger screen: the windows come into view.
        if (auto* main = qobject_cast<QMainWindow*>(&form_); main && intoView_)
            if (auto* area = qobject_cast<QMdiArea*>(main->centralWidget()))
                BringChildWindowsIntoView(*area);
    }

    QWidget& form_;
    std::optional<QSize> outer_;
    std::optional<QMargins> sizedFor_;
    bool intoView_ = false;  // the layout was larger than the screen
};

// The stored size is the outer one, frame included; resize() sets the
// inner one.
void SizeMainFrame(QWidget& form, QSize outer, bool intoView)
{
    MainFrameKeeper* keeper = MainFrameKeeper::Of(form);
    if (!keeper && !form.isVisible())
        keeper = new MainFrameKeeper(form);
    if (keeper) {
        keeper->SetOuterSize(outer, intoView);
        return;
    }
    form.resize(outer.shrunkBy(CurrentFrame(form)));
    FitMainFrame(form);
}

// Presses or releases a switch; its own handler runs only when it changes.
// The handler is reached through the clicked signal rather than click(),
// which does nothing while the main window is disabled by the options.
void SetSwitch(QAbstractButton* button, bool pressed)
{
    if (!button || button->isChecked() == pressed)
        return;
    button->setChecked(pressed);
    emit button->clicked(pressed);
}

bool FolderWritable(const std::string& folder)
{
    const QFileInfo info(QString::fromStdString(folder));
    return !folder.empty() && info.isDir() && info.isWritable();
}

std::string ConfigPathIn(const std::string& folder)
{
    if (folder.empty())
        return {};
    return QDir(QString::fromStdString(folder)).filePath(QString::fromLatin1(ConfigFileName)).toStdString();
}

void ApplyBrowserView(ProgramState& state, Windows& windows, const LayoutConfig& layout)
{
    state.BrowserColumns = layout.BrowserColumns;
    state.BrowserLines = layout.BrowserLines;
    state.BrowserZoom = layout.BrowserZoom;
    BrowCtrl* panel = windows.BrowCtrl;
    // The size bars' change handler reloads the browser when a value changes.
    const bool reloaded =
        panel->ScrRows->value() != layout.BrowserColumns || panel->ScrLines->value() != layout.BrowserLines;
    panel->ScrRows->setValue(layout.BrowserColumns);
    panel->ScrLines->setValue(layout.BrowserLines);
    panel->LbRows->setNum(layout.BrowserColumns);
    panel->LbLines->setNum(layout.BrowserLines);
    // A new zoom alone still needs the browser sized and drawn.
    if (!reloaded)
        windows.Browser->ReloadBrowser();
}

void ApplyEditorView(ProgramState& state, Windows& windows, const LayoutConfig& layout)
{
    MoveChild(windows.EditCtrl, layout.EditCtrlPos);
    QWidget* frame = ChildFrame(windows.Editor);
    frame->move(ToQPoint(layout.EditorPos));
    frame->resize(layout.EditorSize.Width, layout.EditorSize.Height);
    state.EditorZoom = layout.EditorZoom;
    windows.Editor->FormatEditScroll();
    windows.Editor->RedrawEditor();
}

void ApplySwitches(ProgramState& state, Windows& windows, const LayoutSwitches& switches)
{
    Tools& tools = *windows.Tools;
    SetSwitch(tools.ChkBrow, switches.ChkBrow);
    SetSwitch(tools.ChkEdit, switches.ChkEdit);
    SetSwitch(tools.ChkTile, switches.ChkTile);
    SetSwitch(windows.BrowCtrl->ChkGrid, switches.ChkGrid);
    SetSwitch(windows.EditCtrl->ChkGridEditor, switches.ChkGridEditor);
    SetSwitch(windows.EditCtrl->ChkNoncopied, switches.ChkNoncopied);
    // The check boxes keep the state's values in step.
    windows.Options->CheckSaveWarn->setChecked(switches.CheckSaveWarn);
    windows.Options->CheckSpeed->setChecked(switches.CheckSpeed);
    state.ShowSaveWarning = switches.CheckSaveWarn;
    state.MeasureRedrawTime = switches.CheckSpeed;
}

}  // namespace

// Puts the main window's whole frame, title bar included, on the screen.
void FitMainFrame(QWidget& form)
{
    if (form.isMaximized() || form.isFullScreen() || form.isMinimized())
        return;
    const QRect client = form.geometry();
    const QMargins frame = CurrentFrame(form);
    const FrameMargins margins{frame.left(), frame.top(), frame.right(), frame.bottom()};
    const PixelRect fitted =
        FitFrameToScreen({client.x(), client.y(), client.width(), client.height()}, margins, AvailableScreen(&form));
    if (fitted.Width != client.width() || fitted.Height != client.height())
        form.resize(fitted.Width, fitted.Height);
    // A window's position is that of its frame.
    const QPoint frameCorner(fitted.X - margins.Left, fitted.Y - margins.Top);
    if (frameCorner != form.frameGeometry().topLeft())
        form.move(frameCorner);
}

ConfigFolders DefaultConfigFolders()
{
    return {QCoreApplication::applicationDirPath().toStdString(),
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString()};
}

std::string ConfigWritePath(const ConfigFolders& folders)
{
    return ConfigPathIn(FolderWritable(folders.ProgramFolder) ? folders.ProgramFolder : folders.UserFolder);
}

std::string ConfigReadPath(const ConfigFolders& folders)
{
    // Reading where the next save goes means "Load old layout" always finds
    // the layout saved last, even beside an older one in a read-only folder.
    const std::string preferred = ConfigWritePath(folders);
    const std::string other =
        ConfigPathIn(preferred == ConfigPathIn(folders.ProgramFolder) ? folders.UserFolder : folders.ProgramFolder);
    for (const std::string& path : {preferred, other})
        if (FileSize(path))
            return path;
    return {};
}

LayoutConfig GatherLayout(const ProgramState& state, Windows& windows)
{
    LayoutConfig layout;
    LayoutSwitches& switches = layout.Switches;
    const Tools& tools = *windows.Tools;
    switches.ChkBrow = tools.ChkBrow->isChecked();
    switches.ChkEdit = tools.ChkEdit->isChecked();
    switches.ChkTile = tools.ChkTile->isChecked();
    switches.ChkGrid = windows.BrowCtrl->ChkGrid->isChecked();
    switches.ChkGridEditor = windows.EditCtrl->ChkGridEditor->isChecked();
    switches.ChkNoncopied = windows.EditCtrl->ChkNoncopied->isChecked();
    switches.CheckSaveWarn = windows.Options->CheckSaveWarn->isChecked();
    switches.CheckSpeed = windows.Options->CheckSpeed->isChecked();

    const QSize outer = windows.Shell.MainWindow().frameGeometry().size();
    layout.MainSize = {outer.width(), outer.height()};
    layout.ToolsPos = ChildPosition(windows, windows.Tools);
    layout.BrowCtrlPos = ChildPosition(windows, windows.BrowCtrl);
    layout.BrowserPos = ChildPosition(windows, windows.Browser);
    layout.BrowserColumns = state.BrowserColumns;
    layout.BrowserLines = state.BrowserLines;
    layout.BrowserZoom = state.BrowserZoom;
    layout.EditCtrlPos = ChildPosition(windows, windows.EditCtrl);
    layout.EditorPos = ChildPosition(windows, windows.Editor);
    const QSize editorSize = ChildFrame(windows.Editor)->size();
    layout.EditorSize = {editorSize.width(), editorSize.height()};
    layout.EditorZoom = state.EditorZoom;
    layout.PalettePos = ChildPosition(windows, windows.PaletteCtrl);
    layout.TileCtrlPos = ChildPosition(windows, windows.TileCtrl);

    // A window never shown is kept where it would open.
    const std::array<QWidget*, 4> floating = FloatingWindows(windows);
    const std::array<PixelPoint*, 4> offsets = FloatingOffsets(layout);
    for (std::size_t i = 0; i < floating.size(); ++i)
        *offsets[i] = ToPixelPoint(ToolWindowOffset(*floating[i]));
    return layout;
}

void ApplyLayout(ProgramState& state, Windows& windows, LayoutConfig layout)
{
    QMainWindow& form = windows.Shell.MainWindow();
    const PixelSize saved = layout.MainSize;
    FitLayoutToScreen(layout, AvailableScreen(&form));

    SizeMainFrame(form, QSize(layout.MainSize.Width, layout.MainSize.Height), layout.MainSize != saved);
    // Child positions count from the unscrolled corner of the area.
    MdiArea(windows).horizontalScrollBar()->setValue(0);
    MdiArea(windows).verticalScrollBar()->setValue(0);
    MoveChild(windows.Tools, layout.ToolsPos);
    MoveChild(windows.BrowCtrl, layout.BrowCtrlPos);
    MoveChild(windows.Browser, layout.BrowserPos);
    ApplyBrowserView(state, windows, layout);
    ApplyEditorView(state, windows, layout);
    MoveChild(windows.PaletteCtrl, layout.PalettePos);
    MoveChild(windows.TileCtrl, layout.TileCtrlPos);

    // Hidden windows take their offsets again when shown: the main window
    // may not stand where a window manager will put it.
    const std::array<QWidget*, 4> floating = FloatingWindows(windows);
    const std::array<PixelPoint*, 4> offsets = FloatingOffsets(layout);
    for (std::size_t i = 0; i < floating.size(); ++i)
        if (floating[i])
            SetToolWindowOffset(*floating[i], ToQPoint(*offsets[i]));

    ApplySwitches(state, windows, layout.Switches);
}

bool SaveConfig(ProgramState& state, Windows& windows, Dialogs& dialogs, const ConfigFolders& folders)
{
    const std::string path = ConfigWritePath(folders);
    std::optional<std::string> problem;
    if (path.empty()) {
        problem = "there is no folder to keep it in";
    } else if (!QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath())) {
        problem = "its folder could not be created";
    } else {
        // The layout replaces the first 64 bytes; whatever follows them stays.
        std::vector<std::uint8_t> existing;
        if (FileSize(path)) {
            if (auto old = ReadFileBytes(path, ConfigKeepLimit))
                existing = std::move(*old);
            else
                problem = "the existing file cannot be read whole, so its bytes past the layout would be lost";
        }
        if (!problem)
            problem =
                WriteFileAtomically(path, ConfigFileOver(BuildConfigFile(GatherLayout(state, windows)), existing));
    }
    if (!problem)
        return true;
    dialogs.Message("Could not save the layout file '" + path + "': " + *problem + ".", "Saving failed",
                    MsgIcon::Critical);
    return false;
}

bool LoadConfig(ProgramState& state, Windows& windows, const ConfigFolders& folders)
{
    const std::string path = ConfigReadPath(folders);
    if (path.empty())
        return false;
    // Only the first 64 bytes are read, however long the file is.
    const auto bytes = ReadFileRange(path, 0, ConfigFileSize);
    if (!bytes)
        return false;
    const std::optional<LayoutConfig> layout = ParseConfigFile(bytes->data(), bytes->size());
    if (!layout)
        return false;
    ApplyLayout(state, windows, *layout);
    return true;
}
