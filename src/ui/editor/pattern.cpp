#include "ui/editor/pattern.h"

#include "ui/floor/refresh.h"

#include "ui/floor/windows.h"
#include "model/core/dialogs.h"
#include "model/core/program_state.h"
#include "model/editor/pattern_edits.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <utility>

namespace {

const char* const PatternFilter = "Brixel editor patterns file (*.eap)|*.eap|All files (*.*)|*.*";

}  // namespace

Pattern::Pattern(ProgramState& state, Windows& windows, QWidget* parent)
    : ToolWindow(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Editor Address Patterns"));

    ListPat = new QListWidget;
    EdDes = new QLineEdit;
    EdDes->installEventFilter(this);
    BtAddPat = MakeTextButton("Add", "Add an Editor Address pattern");
    BtDelPat = MakeTextButton("Delete", "Delete the selected Editor Address Pattern");
    BtLoadPat = MakeTextButton("Apply", "Apply the selected address pattern to the editor");
    BtSave = MakeTextButton("Save", "Save the set of Editor Address Patterns");
    BtLoad = MakeTextButton("Load", "Load a set of Editor Address Patterns");
    OpBMP = new QRadioButton(QStringLiteral("Only apply new addresses but do not reload (for BMP Import)."));
    OpRedraw = new QRadioButton(QStringLiteral("Reload the editor's tiles after applying the address pattern."));
    OpRedraw->setChecked(true);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {BtAddPat, BtDelPat, BtLoadPat, BtSave, BtLoad})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(ListPat);
    left->addWidget(EdDes);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(OpBMP);
    layout->addWidget(OpRedraw);

    connect(ListPat, &QListWidget::currentRowChanged, this, &Pattern::ListPat_Click);
    connect(ListPat, &QListWidget::itemClicked, this, [this] { ListPat_Click(ListPat->currentRow()); });
    connect(ListPat, &QListWidget::itemDoubleClicked, this, &Pattern::BtLoadPat_Click);
    connect(BtAddPat, &QPushButton::clicked, this, &Pattern::BtAddPat_Click);
    connect(BtDelPat, &QPushButton::clicked, this, &Pattern::BtDelPat_Click);
    connect(BtLoadPat, &QPushButton::clicked, this, &Pattern::BtLoadPat_Click);
    connect(BtSave, &QPushButton::clicked, this, &Pattern::BtSave_Click);
    connect(BtLoad, &QPushButton::clicked, this, &Pattern::BtLoad_Click);
}

void Pattern::RefreshPatternList()
{
    const QSignalBlocker blocker(ListPat);
    ListPat->clear();
    for (int i = 0; i < state_.Patterns.PatternCount; ++i)
        ListPat->addItem(QString::fromLatin1(state_.Patterns.Patterns[i].Description.c_str()));
    ListPat->update();
}

int Pattern::SelectedPattern() const
{
    const int row = ListPat->currentRow();
    return row >= 0 && row < state_.Patterns.PatternCount ? row : -1;
}

void Pattern::ListPat_Click(int row)
{
    if (row >= 0 && row < state_.Patterns.PatternCount)
        EdDes->setText(QString::fromLatin1(state_.Patterns.Patterns[row].Description.c_str()));
}

void Pattern::EdDes_DblClick()
{
    if (RenamePatternAsStep(state_, SelectedPattern(), EdDes->text().toLatin1().toStdString()))
        RefreshPatternList();
}

void Pattern::BtAddPat_Click()
{
    AddPatternAsStep(state_, EdDes->text().toLatin1().toStdString());
    RefreshPatternList();
}

void Pattern::BtDelPat_Click()
{
    if (DeletePatternAsStep(state_, SelectedPattern()))
        RefreshPatternList();
}

void Pattern::BtLoadPat_Click()
{
    const int selected = SelectedPattern();
    if (selected < 0 || !state_.FileOpen())
        return;
    {
        const OwnDialogScope scope(*this);
        if (!windows_.Dialogs.AskYesNo("Do you really want to apply the editor address pattern?",
                                       "Applying editor address pattern"))
            return;
    }
    const bool reload = OpRedraw->isChecked();
    RecordStep(state_.Recorder, "pattern", [&] { ApplyPattern(state_, state_.Patterns.Patterns[selected], reload); });
    // Without reading, imported pictures stay on screen as they are.
    if (reload)
        AllCellsChanged(windows_);
    else
        CellAddressesChanged(windows_);
}

void Pattern::BtSave_Click()
{
    Dialogs& dialogs = windows_.Dialogs;
    const OwnDialogScope scope(*this);
    const FileChoice choice = dialogs.SaveFile(PatternFilter);
    if (choice.Path.empty())
        return;
    if (const auto failure = SavePatternFile(choice.Path, state_.Patterns))
        dialogs.Message(*failure);
}

void Pattern::BtLoad_Click()
{
    Dialogs& dialogs = windows_.Dialogs;
    const OwnDialogScope scope(*this);
    const FileChoice choice = dialogs.OpenFile(PatternFilter);
    if (choice.Path.empty())
        return;
    const PatternLoad load = LoadPatternFile(choice.Path);
    if (load.Error)
        dialogs.Message(*load.Error);
    if (load.Error && !load.WrongMagic)
        return;
    StoreLoadedPatternsAsStep(state_, load);
    RefreshPatternList();
}

bool Pattern::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EdDes && event->type() == QEvent::MouseButtonDblClick) {
        EdDes_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

PatternList& Pattern::Patterns()
{
    return state_.Patterns;
}
