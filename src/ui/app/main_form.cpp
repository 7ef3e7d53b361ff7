#include "ui/app/main_form.h"

#include "model/core/command_line.h"
#include "model/core/program_state.h"
#include "ui/app/file_drop.h"
#include "ui/app/help.h"
#include "ui/app/layout_config.h"
#include "ui/app/main_menus.h"
#include "ui/app/options.h"
#include "ui/app/qt_dialogs.h"
#include "ui/app/tools.h"
#include "ui/app/undo_edge.h"
#include "ui/app/window_arrangement.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/pattern.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/floor/child_window.h"
#include "ui/floor/unsaved_guard.h"
#include "ui/palette/color_dialog.h"
#include "ui/palette/color_set.h"
#include "ui/palette/palette_ctrl.h"
#include "ui/tools/bookmark.h"
#include "ui/tools/c_out_put.h"
#include "ui/tools/file_info.h"
#include "ui/tools/find_graphics.h"
#include "ui/tools/find_streams.h"
#include "ui/tools/tilemap_window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <map>
#include <string>

MainForm::MainForm(ProgramState& state, Dialogs* dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), ownDialogs_(dialogs ? nullptr : std::make_unique<QtDialogs>(this)),
      windows_(dialogs ? *dialogs : *ownDialogs_, *this), mdiArea_(new QMdiArea)
{
    windows_.UndoEdge = new UndoEdge(state_, windows_, this);
    if (ownDialogs_)
        ownDialogs_->SetRomPath([this] { return state_.FileOpen() ? state_.FileName() : std::string(); });

    setWindowTitle(QStringLiteral("Brixel 0.54"));
    setAcceptDrops(true);
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
    ArrangeWindows();

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
    resize(ArrangementSize(*this, windows_));

    // A saved layout and its switches override the first arrangement.
    LoadConfig(state_, windows_);

    // The about window shows once the main window is up, so that the main
    // window's activation does not hide it at once.
    QTimer::singleShot(0, this, [this] { windows_.Help->ShowHelp(); });
}

MainForm::~MainForm()
{
    // The child windows hide while the widget part goes, and the editor then
    // ends a stroke still held: the step it records must not reach the undo
    // items of this half-destroyed window.
    delete windows_.UndoEdge;
    windows_.UndoEdge = nullptr;
}

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
    windows_.FindGraphics = new FindGraphics(state_, windows_, this);
    windows_.FindStreams = new FindStreams(state_, windows_, this);

    windows_.Tools = new Tools(state_, windows_);

    windows_.Editor = new Editor(state_, windows_);
    windows_.EditCtrl = new EditCtrl(state_, windows_);
    windows_.TileCtrl = new TileCtrl(state_, windows_);
    windows_.Browser = new Browser(state_, windows_);
    windows_.BrowCtrl = new BrowCtrl(state_, windows_);
    windows_.PaletteCtrl = new PaletteCtrl(state_, windows_);
    windows_.Tilemap = new TilemapWindow(state_, windows_);

    // Every window is there: now one may reach another. The browser takes
    // the first mode's size before the frames are placed around it.
    windows_.BrowCtrl->SelectFirstMode();
}

void MainForm::ArrangeWindows()
{
    for (QWidget* window : std::initializer_list<QWidget*>{windows_.Tools, windows_.BrowCtrl, windows_.Browser,
                                                           windows_.PaletteCtrl,
                            windows_.EditCtrl, windows_.Editor, windows_.TileCtrl, windows_.Tilemap})
        AddChildWindow(window, QPoint(0, 0));
    QMdiSubWindow* editorFrame = qobject_cast<QMdiSubWindow*>(ChildFrame(windows_.Editor));
    editorFrame->setMinimumSize(editorFrame->size() - windows_.Editor->size() + windows_.Editor->minimumSize());
    // The tilemap window opens beside the browser when asked for, and the
    // user may size it: a map is often larger than the screen.
    QMdiSubWindow* tilemapFrame = qobject_cast<QMdiSubWindow*>(ChildFrame(windows_.Tilemap));
    windows_.Tilemap->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    tilemapFrame->setMinimumSize(0, 0);
    tilemapFrame->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    tilemapFrame->resize(560, 620);
    PlaceWorkingWindows(windows_, false);
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
    menus_ = BuildMainMenus(*menuBar(), windows_);
    // The table lists them left to right: Browser, Editor, Tile, Help, then
    // the added ones.
    IBrowser = menus_[0];
    IEditor = menus_[1];
    ITile = menus_[2];
    IIhelp = menus_[3];
    IEdit = menus_[4];
    ILayout = menus_[5];
    IGo = menus_[6];
    IDraw = menus_[7];
    IWindow = menus_[8];

    CreateAddedKeys();
}

void MainForm::CreateAddedKeys()
{
    // Keys that work wherever the focus is, also with the menu bar hidden
    // (Ctrl+S, undo and redo, Ctrl+F): they belong to the main window.
    std::map<std::string, QList<QKeySequence>> itemKeys;
    for (const WindowWideKey& key : WindowWideKeyTable()) {
        if (key.OnItem) {
            itemKeys[key.Item].append(QKeySequence(key.Key));
            continue;
        }
        auto* own = new QAction(this);
        own->setObjectName(QLatin1String(key.Item) + QStringLiteral("Key"));
        own->setShortcut(QKeySequence(key.Key));
        own->setShortcutContext(Qt::ApplicationShortcut);
        addAction(own);
        connect(own, &QAction::triggered, MenuItem(key.Item), &QAction::trigger);
    }
    for (const auto& [name, keys] : itemKeys) {
        QAction* action = MenuItem(name.c_str());
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::ApplicationShortcut);
        addAction(action);
    }
    // So do the added items that say so (copy and paste of pictures, the Go
    // menu); the browser's Ctrl+C stays "Close file".
    for (const MenuEntry& menu : AddedMenuTable())
        for (const MenuItemEntry& item : menu.Items)
            if (item.Everywhere) {
                QAction* action = MenuItem(item.Name);
                action->setShortcutContext(Qt::ApplicationShortcut);
                addAction(action);
            }
    connect(windows_.UndoEdge, &UndoEdge::Changed, this, &MainForm::ShowUndoItems);
    ShowUndoItems();
}

void MainForm::ShowUndoItems()
{
    QAction* undo = MenuItem("IUndo");
    QAction* redo = MenuItem("IRedo");
    undo->setText(windows_.UndoEdge->UndoItemText());
    undo->setEnabled(windows_.UndoEdge->CanUndo());
    redo->setText(windows_.UndoEdge->RedoItemText());
    redo->setEnabled(windows_.UndoEdge->CanRedo());
}

QAction* MainForm::MenuItem(const char* name) const
{
    for (QMenu* menu : menus_)
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
    for (QMenu* menu : menus_)
        menu->menuAction()->setVisible(visible);
    menuBar()->setVisible(visible);
}

void MainForm::PopUpMenu(PopupMenu menu, const QPoint& globalPosition)
{
    (menu == PopupMenu::Browser ? IBrowser : IEditor)->exec(globalPosition);
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
    if (!ConfirmLeavingEdits(state_, windows_)) {
        event->ignore();
        return;
    }
    // Nothing else is saved at exit; the ROM file is closed as the program ends.
    state_.FileHandle.Close();
    event->accept();
    windows_.BrowCtrl->FormClose();
}

void MainForm::dragEnterEvent(QDragEnterEvent* event)
{
    const std::optional<Qt::DropAction> action = FileDropAction(event->possibleActions());
    if (action && DroppedFilePath(event->mimeData())) {
        event->setDropAction(*action);
        event->accept();
    } else {
        event->ignore();
    }
}

void MainForm::dragMoveEvent(QDragMoveEvent* event)
{
    // The file manager may propose another action at every move.
    if (const std::optional<Qt::DropAction> action = FileDropAction(event->possibleActions())) {
        event->setDropAction(*action);
        event->accept();
    } else {
        event->ignore();
    }
}

void MainForm::dropEvent(QDropEvent* event)
{
    const std::optional<std::string> path = DroppedFilePath(event->mimeData());
    const std::optional<Qt::DropAction> action = FileDropAction(event->possibleActions());
    if (!path || !action) {
        event->ignore();
        return;
    }
    event->setDropAction(*action);
    event->accept();
    // The questions before opening are modal; asking them after the drop has
    // returned lets the file manager finish its drag first.
    QMetaObject::invokeMethod(
        this, [this, file = *path] { windows_.BrowCtrl->OpenFileFromDrop(file); }, Qt::QueuedConnection);
}
