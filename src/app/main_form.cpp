#include "app/main_form.h"

#include "app/child_window.h"
#include "app/help.h"
#include "app/qt_dialogs.h"
#include "app/tools.h"
#include "browser/brow_ctrl.h"
#include "browser/browser.h"
#include "core/program_state.h"
#include "palette/palette_ctrl.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

MainForm::MainForm(ProgramState& state, Dialogs* dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), mdiArea_(new QMdiArea)
{
    if (!dialogs) {
        ownDialogs_ = std::make_unique<QtDialogs>(this);
        dialogs = ownDialogs_.get();
    }
    windows_.MainForm = this;
    windows_.Dialogs = dialogs;

    setWindowTitle(QStringLiteral("Brixel 0.54"));
    setCentralWidget(mdiArea_);
    CreateStatusStrip();
    LbInfo->setText(windowTitle() + QStringLiteral(" - rocking your ROM till the break of dawn"));
    CreateMenus();

    // The state is set up before any window reads it.
    InitState(state_);
    CreateWindows();

    SetChildVisible(windows_.Tools, true);
    windows_.PaletteCtrl->DrawPalettePanel();
    windows_.Browser->SizeBrowser();

    // Without a saved layout the browser, its controls and the palette show.
    windows_.Tools->ChkBrow->setChecked(true);
    windows_.Tools->ApplyToolPanel();

    resize(699, 534 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());

    // The about window shows once the main window is up, so that the main
    // window's activation does not hide it at once.
    QTimer::singleShot(0, this, [this] { windows_.Help->ShowHelp(); });
}

MainForm::~MainForm() = default;

void MainForm::CreateWindows()
{
    windows_.Help = new Help(this);

    windows_.Tools = new Tools(state_, windows_);
    AddChildWindow(windows_.Tools, QPoint(0, 0));

    windows_.PaletteCtrl = new PaletteCtrl(state_, windows_);
    windows_.Browser = new Browser(state_, windows_);
    // The control panel selects its first mode when created, which reaches
    // the browser and the palette panel.
    windows_.BrowCtrl = new BrowCtrl(state_, windows_);

    // Side by side from the left: tool panel, control panel, browser, palette.
    const int toolsRight = ChildFrame(windows_.Tools)->geometry().right() + 4;
    QMdiSubWindow* panelFrame = AddChildWindow(windows_.BrowCtrl, QPoint(toolsRight, 0));
    QMdiSubWindow* browserFrame = AddChildWindow(windows_.Browser, QPoint(panelFrame->geometry().right() + 4, 0));
    AddChildWindow(windows_.PaletteCtrl, QPoint(browserFrame->geometry().right() + 4, 0));
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
    // Items whose windows come later are present but disabled until then.
    auto later = [&item](QMenu* menu, const char* text, const char* name) {
        item(menu, text, name)->setEnabled(false);
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
    later(IEditor, "Activate 'Select' Mode", "ISelMode");
    later(IEditor, "Activate 'Paint' Mode", "IPaiMode");
    later(IEditor, "Activate 'Fill' Mode", "IFilMode");
    separator(IEditor, "IBreak2");
    later(IEditor, "Save all", "ISaveAll");
    later(IEditor, "Reload all", "IReloadAll");
    later(IEditor, "Clear all", "IClearAll");
    separator(IEditor, "IBreak1");
    later(IEditor, "Zoom in", "IEZoomIn");
    later(IEditor, "Zoom out", "IEZoomOut");
    later(IEditor, "Resize", "IResize");
    later(IEditor, "Grid on/off", "IEGrid");
    later(IEditor, "Show/hide noncopied tiles", "INonCopied");

    ITile = menuBar()->addMenu(QStringLiteral("Tile"));
    ITile->setObjectName(QStringLiteral("ITile"));
    later(ITile, "Save tile", "ITSave");
    later(ITile, "Save tile to selection", "ITSaveSel");
    later(ITile, "Save tile to address", "ITSaveAdd");
    separator(ITile, "IBreak3");
    later(ITile, "Reload tile", "ITReload");
    later(ITile, "Clear tile", "ITClear");
    separator(ITile, "IBreak4");
    later(ITile, "Mirrow tile", "ITMirrow");
    later(ITile, "Flip tile", "ITFlip");
    later(ITile, "Rotate tile", "ITRotate");

    IIhelp = menuBar()->addMenu(QStringLiteral("Help"));
    IIhelp->setObjectName(QStringLiteral("IIhelp"));
    later(IIhelp, "Options", "IOption");
    separator(IIhelp, "IBreak5");
    connect(item(IIhelp, "Info", "IHelp"), &QAction::triggered, this, [this] { windows_.Help->ShowHelp(); });
}

QAction* MainForm::MenuItem(const char* name) const
{
    for (QMenu* menu : {IBrowser, IEditor, ITile, IIhelp})
        for (QAction* action : menu->actions())
            if (action->objectName() == QLatin1String(name))
                return action;
    return nullptr;
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
    state_.FileOpen = false;
    event->accept();
    windows_.BrowCtrl->FormClose();
}
