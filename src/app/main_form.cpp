#include "app/main_form.h"

#include "app/child_window.h"
#include "app/command_line.h"
#include "app/help.h"
#include "app/layout_config.h"
#include "app/options.h"
#include "app/qt_dialogs.h"
#include "app/tools.h"
#include "browser/brow_ctrl.h"
#include "browser/browser.h"
#include "core/program_state.h"
#include "editor/edit_ctrl.h"
#include "editor/editor.h"
#include "editor/pattern.h"
#include "editor/tile_ctrl.h"
#include "palette/color_dialog.h"
#include "palette/color_set.h"
#include "palette/palette_ctrl.h"
#include "tools/bookmark.h"
#include "tools/c_out_put.h"
#include "tools/file_info.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

MainForm::MainForm(ProgramState& state, Dialogs* dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), ownDialogs_(dialogs ? nullptr : std::make_unique<QtDialogs>(this)),
      windows_(dialogs ? *dialogs : *ownDialogs_), mdiArea_(new QMdiArea)
{
    windows_.MainForm = this;

    setWindowTitle(QStringLiteral("Brixel 0.54"));
    setCentralWidget(mdiArea_);
    // A child window that reaches past the area can be scrolled into view.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    CreateStatusStrip();
    LbInfo->setText(windowTitle() + QStringLiteral(" - rocking your ROM till the break of dawn"));
    CreateMenus();

    // The state is set up before any window reads it.
    InitState(state_);
    CreateWindows();

    SetChildVisible(windows_.Tools, true);
    windows_.PaletteCtrl->DrawPalettePanel();
    windows_.Browser->SizeBrowser();
    windows_.TileCtrl->LoadTile(1);
    windows_.Editor->ResetEditor();
    windows_.Editor->FormatEditScroll();

    // Without a saved layout the window switches stay released and no
    // arrangement is applied; the working windows show (the browser once a
    // file is open).
    for (QWidget* window : std::initializer_list<QWidget*>{windows_.BrowCtrl, windows_.PaletteCtrl, windows_.Editor,
                                                           windows_.EditCtrl, windows_.TileCtrl})
        SetChildVisible(window, true);

    // Big enough for the first arrangement, as far as the screen allows.
    QRect arrangement;
    for (QMdiSubWindow* frame : mdiArea_->subWindowList())
        arrangement |= frame->geometry();
    QSize wanted(std::max(699, arrangement.right() + 8), std::max(534, arrangement.bottom() + 8));
    wanted += QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    if (const QScreen* screen = this->screen())
        wanted = wanted.boundedTo(screen->availableSize() - QSize(40, 80));
    resize(wanted);

    // A saved layout and its switches override the first arrangement.
    LoadConfig(state_, windows_);

    // The about window shows once the main window is up, so that the main
    // window's activation does not hide it at once.
    QTimer::singleShot(0, this, [this] { windows_.Help->ShowHelp(); });
}

MainForm::~MainForm() = default;

void MainForm::CreateWindows()
{
    windows_.Help = new Help(this);
    windows_.ColorDialog = new ColorDialog(state_, windows_, this);
    windows_.ColorSet = new ColorSet(state_, windows_, this);
    windows_.Bookmark = new Bookmark(state_, windows_, this);
    windows_.Pattern = new Pattern(state_, windows_, this);
    windows_.COutPut = new COutPut(state_, windows_, this);
    windows_.Options = new Options(state_, windows_, this);
    windows_.FileInfo = new FileInfo(state_, windows_, this);

    windows_.Tools = new Tools(state_, windows_);
    AddChildWindow(windows_.Tools, QPoint(0, 0));

    windows_.Editor = new Editor(state_, windows_);
    windows_.EditCtrl = new EditCtrl(state_, windows_);
    windows_.TileCtrl = new TileCtrl(state_, windows_);
    windows_.Browser = new Browser(state_, windows_);
    // The control panel selects its first mode when created, which reaches
    // the browser. The palette panel comes after it, so its shift count
    // starts at 1 rather than at the count of that first mode.
    windows_.BrowCtrl = new BrowCtrl(state_, windows_);
    windows_.PaletteCtrl = new PaletteCtrl(state_, windows_);

    // Side by side from the left: tool panel, control panel, browser, palette.
    const int toolsRight = ChildFrame(windows_.Tools)->geometry().right() + 4;
    QMdiSubWindow* panelFrame = AddChildWindow(windows_.BrowCtrl, QPoint(toolsRight, 0));
    QMdiSubWindow* browserFrame = AddChildWindow(windows_.Browser, QPoint(panelFrame->geometry().right() + 4, 0));
    QMdiSubWindow* paletteFrame = AddChildWindow(windows_.PaletteCtrl, QPoint(browserFrame->geometry().right() + 4, 0));
    // The editor row below: its control panel, the editor, the tile tool.
    const int editorTop = std::max(panelFrame->geometry().bottom(), paletteFrame->geometry().bottom()) + 4;
    QMdiSubWindow* editCtrlFrame = AddChildWindow(windows_.EditCtrl, QPoint(toolsRight, editorTop));
    QMdiSubWindow* editorFrame =
        AddChildWindow(windows_.Editor, QPoint(editCtrlFrame->geometry().right() + 4, editorTop));
    editorFrame->setMinimumSize(editorFrame->size() - windows_.Editor->size() + windows_.Editor->minimumSize());
    // The editor opens 4000 x 4000 twips large, frame included.
    constexpr std::int16_t editorStartTwips = 4000;
    editorFrame->resize(TwipsToPixels(editorStartTwips), TwipsToPixels(editorStartTwips));
    AddChildWindow(windows_.TileCtrl, QPoint(editorFrame->geometry().right() + 4, editorTop));
}

QMdiSubWindow* MainForm::AddChildWindow(QWidget* window, QPoint position)
{
    QMdiSubWindow* frame = mdiArea_->addSubWindow(window, Qt::SubWindow | Qt::CustomizeWindowHint |
                                                              Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Windows are created once and then only shown and hidden.
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    if (window->layout())
        window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    frame->adjustSize();
    frame->move(position);
    frame->hide();
    return frame;
}

void MainForm::CreateStatusStrip()
{
    LbInfo = new QLabel;
    LbCoor = new QLabel;
    LbCoor->setFixedWidth(105);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(LbInfo, 1);
    statusBar()->addPermanentWidget(LbCoor);
}

void MainForm::CreateMenus()
{
    auto item = [](QMenu* menu, const char* text, const char* name) {
        QAction* action = menu->addAction(QString::fromLatin1(text));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };
    auto panel = [this] { return windows_.BrowCtrl; };

    IBrowser = menuBar()->addMenu(QStringLiteral("Browser"));
    IBrowser->setObjectName(QStringLiteral("IBrowser"));
    connect(item(IBrowser, "Open file", "IOpen"), &QAction::triggered, this, [panel] { panel()->BtOpenFile_Click(); });
    connect(item(IBrowser, "Close file", "IClose"), &QAction::triggered, this,
            [panel] { panel()->BtCloseFile_Click(); });
    connect(item(IBrowser, "Exit", "IExit"), &QAction::triggered, this, &QWidget::close);
    separator(IBrowser, "IBreak6");
    connect(item(IBrowser, "Zoom in", "IZoomIn"), &QAction::triggered, this,
            [panel] { panel()->BtBrowZoomIn_Click(); });
    connect(item(IBrowser, "Zoom out", "IZoomOut"), &QAction::triggered, this,
            [panel] { panel()->BtBrowZoomOut_Click(); });
    connect(item(IBrowser, "Grid on/off", "IGrid"), &QAction::triggered, this, [panel] { panel()->ToggleGrid(); });

    IEditor = menuBar()->addMenu(QStringLiteral("Editor"));
    IEditor->setObjectName(QStringLiteral("IEditor"));
    auto editCtrl = [this] { return windows_.EditCtrl; };
    auto tile = [this] { return windows_.TileCtrl; };
    connect(item(IEditor, "Activate 'Select' Mode", "ISelMode"), &QAction::triggered, this,
            [editCtrl] { editCtrl()->SetEditMode(EditorTool::Select); });
    connect(item(IEditor, "Activate 'Paint' Mode", "IPaiMode"), &QAction::triggered, this,
            [editCtrl] { editCtrl()->SetEditMode(EditorTool::Paint); });
    connect(item(IEditor, "Activate 'Fill' Mode", "IFilMode"), &QAction::triggered, this,
            [editCtrl] { editCtrl()->SetEditMode(EditorTool::Fill); });
    separator(IEditor, "IBreak2");
    connect(item(IEditor, "Save all", "ISaveAll"), &QAction::triggered, this,
            [editCtrl] { editCtrl()->BtSaveEdit_Click(); });
    connect(item(IEditor, "Reload all", "IReloadAll"), &QAction::triggered, this,
            [editCtrl] { editCtrl()->BtReload_Click(); });
    connect(item(IEditor, "Clear all", "IClearAll"), &QAction::triggered, this,
            [editCtrl] { editCtrl()->BtEditClear_Click(); });
    separator(IEditor, "IBreak1");
    // "Zoom in" runs the button named ZoomIn, which makes the tiles smaller.
    connect(item(IEditor, "Zoom in", "IEZoomIn"), &QAction::triggered, this,
            [editCtrl] { editCtrl()->BtEditZoomIn_Click(); });
    connect(item(IEditor, "Zoom out", "IEZoomOut"), &QAction::triggered, this,
            [editCtrl] { editCtrl()->BtEditZoomOut_Click(); });
    connect(item(IEditor, "Resize", "IResize"), &QAction::triggered, this, [this] { windows_.Editor->BtFit_Click(); });
    connect(item(IEditor, "Grid on/off", "IEGrid"), &QAction::triggered, this,
            [editCtrl] { editCtrl()->ChkGridEditor->click(); });
    connect(item(IEditor, "Show/hide noncopied tiles", "INonCopied"), &QAction::triggered, this,
            [editCtrl] { editCtrl()->ChkNoncopied->click(); });

    ITile = menuBar()->addMenu(QStringLiteral("Tile"));
    ITile->setObjectName(QStringLiteral("ITile"));
    connect(item(ITile, "Save tile", "ITSave"), &QAction::triggered, this, [tile] { tile()->SaveTile_Click(); });
    connect(item(ITile, "Save tile to selection", "ITSaveSel"), &QAction::triggered, this,
            [tile] { tile()->BtCopySelTile_Click(); });
    connect(item(ITile, "Save tile to address", "ITSaveAdd"), &QAction::triggered, this,
            [tile] { tile()->BtCopyToAddress_Click(); });
    separator(ITile, "IBreak3");
    connect(item(ITile, "Reload tile", "ITReload"), &QAction::triggered, this,
            [tile] { tile()->BtReloadTile_Click(); });
    connect(item(ITile, "Clear tile", "ITClear"), &QAction::triggered, this,
            [tile] { tile()->BtDeleteSprite_Click(); });
    separator(ITile, "IBreak4");
    connect(item(ITile, "Mirrow tile", "ITMirrow"), &QAction::triggered, this, [tile] { tile()->BtFlipY_Click(); });
    connect(item(ITile, "Flip tile", "ITFlip"), &QAction::triggered, this, [tile] { tile()->BtFlipX_Click(); });
    connect(item(ITile, "Rotate tile", "ITRotate"), &QAction::triggered, this, [tile] { tile()->BtRotate_Click(); });

    IIhelp = menuBar()->addMenu(QStringLiteral("Help"));
    IIhelp->setObjectName(QStringLiteral("IIhelp"));
    connect(item(IIhelp, "Options", "IOption"), &QAction::triggered, this, [this] { windows_.Options->ShowOptions(); });
    separator(IIhelp, "IBreak5");
    connect(item(IIhelp, "Info", "IHelp"), &QAction::triggered, this, [this] { windows_.Help->ShowHelp(); });

    // The menus show the keys that already run their items in the browser
    // and the editor. Those windows handle the keys themselves, so the menu
    // keys get a context that never matches outside the menu bar: Delete in
    // the browser must not flip the tile tool's tile.
    const std::pair<const char*, QKeySequence> shownKeys[] = {
        {"IOpen", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"IClose", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"IZoomIn", QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)},
        {"IZoomOut", QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)},
        {"IGrid", QKeySequence(Qt::CTRL | Qt::Key_G)},
        {"ISaveAll", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"IEZoomIn", QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)},
        {"IEZoomOut", QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)},
        {"IEGrid", QKeySequence(Qt::CTRL | Qt::Key_G)},
        {"INonCopied", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"ITSave", QKeySequence(Qt::Key_Enter)},
        {"ITSaveSel", QKeySequence(Qt::Key_S)},
        {"ITSaveAdd", QKeySequence(Qt::Key_A)},
        {"ITReload", QKeySequence(Qt::Key_R)},
        {"ITClear", QKeySequence(Qt::Key_C)},
        {"ITMirrow", QKeySequence(Qt::Key_End)},
        {"ITFlip", QKeySequence(Qt::Key_Delete)},
        {"ITRotate", QKeySequence(Qt::Key_PageDown)},
    };
    for (const auto& [name, key] : shownKeys) {
        QAction* action = MenuItem(name);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    // Ctrl+S is a key of its own for "Save all", wherever the focus is in
    // the program, also while the menu bar is hidden.
    auto* saveAllKey = new QAction(this);
    saveAllKey->setObjectName(QStringLiteral("SaveAllKey"));
    saveAllKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    saveAllKey->setShortcutContext(Qt::ApplicationShortcut);
    addAction(saveAllKey);
    connect(saveAllKey, &QAction::triggered, MenuItem("ISaveAll"), &QAction::trigger);
}

QAction* MainForm::MenuItem(const char* name) const
{
    for (QMenu* menu : {IBrowser, IEditor, ITile, IIhelp})
        for (QAction* action : menu->actions())
            if (action->objectName() == QLatin1String(name))
                return action;
    return nullptr;
}

void MainForm::OpenStartFile(const std::string& path)
{
    if (!RomFile::Exists(path)) {
        SetInfoText(FileNotFoundText(path));
        return;
    }
    windows_.BrowCtrl->OpenChosenFile(path);
}

void MainForm::ShowMenus(bool visible)
{
    for (QMenu* menu : {IBrowser, IEditor, ITile, IIhelp})
        menu->menuAction()->setVisible(visible);
    menuBar()->setVisible(visible);
}

void MainForm::SetInfoText(const std::string& text)
{
    LbInfo->setText(QString::fromStdString(text));
    LbInfo->repaint();
}

void MainForm::SetCoorText(const std::string& text)
{
    LbCoor->setText(QString::fromStdString(text));
}

void MainForm::closeEvent(QCloseEvent* event)
{
    // Nothing is saved at exit; the ROM file is closed as the program ends.
    state_.FileHandle.Close();
    event->accept();
    windows_.BrowCtrl->FormClose();
}
