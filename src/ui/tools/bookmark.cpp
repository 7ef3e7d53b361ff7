#include "ui/browser/brow_ctrl.h"
#include "ui/tools/bookmark.h"

#include "ui/floor/refresh.h"

#include "model/core/dialogs.h"
#include "model/core/program_state.h"
#include "model/tools/bookmark_edits.h"
#include "ui/floor/windows.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <utility>

namespace {

const char* const BookmarkFilter = "Brixel bookmark file (*.bmk)|*.bmk|All files (*.*)|*.*";

std::string Latin1Text(const QLineEdit* field)
{
    return field->text().toLatin1().toStdString();
}

}  // namespace

Bookmark::Bookmark(ProgramState& state, Windows& windows, QWidget* parent)
    : ToolWindow(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Bookmark Tool"));

    ListMarks = new QListWidget;
    ListMarks->setToolTip(QStringLiteral("Bookmarks are displayed here"));
    TextName = new QLineEdit;
    TextName->setToolTip(QStringLiteral("This is the description of the selected bookmark"));
    // The read limit of bookmark files relies on this bound.
    TextName->setMaxLength(32767);
    TextName->installEventFilter(this);

    BtAddBookmark = MakeTextButton("Add", "Add the selected tile's address as a bookmark");
    BtDelBookmark = MakeTextButton("Delete", "Deletes the selected bookmark");
    BtGotoBookmark = MakeTextButton("Go to", "Jump to the selected bookmark");
    BtLoadBookmark = MakeTextButton("Load", "Load bookmarks from file");
    BtSaveBookmark = MakeTextButton("Save", "Save bookmarks to file");
    BtNewList = MakeTextButton("New list", "Clear the bookmark list");
    ChkOrder = new QCheckBox(QStringLiteral("By description"));
    ChkOrder->setToolTip(QStringLiteral("Sort the bookmarks by their address/description"));

    auto* frame = new QGroupBox(QStringLiteral("Bookmark Control"));
    auto* buttons = new QGridLayout(frame);
    buttons->addWidget(BtAddBookmark, 0, 0);
    buttons->addWidget(BtDelBookmark, 0, 1);
    buttons->addWidget(BtGotoBookmark, 1, 0, 1, 2);
    buttons->addWidget(BtLoadBookmark, 2, 0);
    buttons->addWidget(BtSaveBookmark, 2, 1);
    buttons->addWidget(BtNewList, 3, 0, 1, 2);
    buttons->addWidget(ChkOrder, 4, 0, 1, 2);
    buttons->setRowStretch(5, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(ListMarks, 1);
    left->addWidget(TextName);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(frame);

    connect(BtAddBookmark, &QPushButton::clicked, this, &Bookmark::BtAddBookmark_Click);
    connect(BtDelBookmark, &QPushButton::clicked, this, &Bookmark::BtDelBookmark_Click);
    connect(BtGotoBookmark, &QPushButton::clicked, this, &Bookmark::BtGotoBookmark_Click);
    connect(BtLoadBookmark, &QPushButton::clicked, this, &Bookmark::BtLoadBookmark_Click);
    connect(BtSaveBookmark, &QPushButton::clicked, this, &Bookmark::BtSaveBookmark_Click);
    connect(BtNewList, &QPushButton::clicked, this, &Bookmark::BtNewList_Click);
    connect(ChkOrder, &QCheckBox::clicked, this, &Bookmark::ChkOrder_Click);
    // Keyboard moves select as clicks do; a click on the current row shows
    // its description again.
    connect(ListMarks, &QListWidget::currentRowChanged, this, &Bookmark::ListMarks_Click);
    connect(ListMarks, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ListMarks_Click(ListMarks->row(item)); });
    connect(ListMarks, &QListWidget::itemDoubleClicked, this, &Bookmark::BtGotoBookmark_Click);

    ShowList();
    windows_.Changes.Subscribe(ChangeKind::AddressForm, [this](const Change&) {
        const int row = ListMarks->currentRow();
        ShowList();
        const QSignalBlocker blocker(ListMarks);
        ListMarks->setCurrentRow(row);
    });
}

void Bookmark::ShowList()
{
    ChkOrder->setChecked(state_.Bookmarks.Order == BookmarkOrder::Description);
    const QSignalBlocker blocker(ListMarks);
    ListMarks->clear();
    for (const std::string& row : BookmarkRows(state_.Bookmarks, state_.HexAddresses))
        ListMarks->addItem(QString::fromLatin1(row.data(), static_cast<qsizetype>(row.size())));
}

void Bookmark::BtAddBookmark_Click()
{
    if (!AddBookmarkAsStep(state_, BookmarkAddressOf(state_.AddressFieldText), Latin1Text(TextName))) {
        Tell(BookmarkListFull);
        return;
    }
    ShowList();
}

void Bookmark::BtDelBookmark_Click()
{
    if (DeleteBookmarkAsStep(state_, ListMarks->currentRow()))
        ShowList();
}

void Bookmark::BtGotoBookmark_Click()
{
    const BookmarkRecord* mark = SelectedBookmark(state_.Bookmarks);
    if (!mark)
        return;
    if (!BookmarkDisplayable(mark->Address, state_.TilesLength(), CurrentModeInfo(state_).BytesPerTile)) {
        Tell(BookmarkNotDisplayable);
        return;
    }
    const BrowserPlace left = windows_.BrowCtrl->Place();
    state_.BrowserAddress = mark->Address;
    BrowserAddressChanged(windows_);
    windows_.BrowCtrl->RecordJumpFrom(left);
}

void Bookmark::BtLoadBookmark_Click()
{
    FileChoice choice;
    {
        const OwnDialogScope open(*this);
        choice = windows_.Dialogs.OpenFile(BookmarkFilter);
    }
    if (choice.Path.empty())
        return;
    const BookmarkLoad load = LoadBookmarkFile(choice.Path);
    StoreLoadedBookmarksAsStep(state_, load);
    if (load.Error) {
        if (load.EmptiesList)
            ShowList();
        Tell(*load.Error);
        return;
    }
    ShowList();
    if (const auto note = LeftOutMessage(load.LeftOut))
        Tell(*note);
}

void Bookmark::BtSaveBookmark_Click()
{
    FileChoice choice;
    {
        const OwnDialogScope open(*this);
        choice = windows_.Dialogs.SaveFile(BookmarkFilter);
    }
    if (choice.Path.empty())
        return;
    if (const auto failure = SaveBookmarkFile(choice.Path, state_.Bookmarks))
        Tell(*failure);
}

void Bookmark::BtNewList_Click()
{
    ClearBookmarksAsStep(state_);
    ShowList();
}

void Bookmark::ChkOrder_Click()
{
    SetBookmarkOrderAsStep(state_, ChkOrder->isChecked() ? BookmarkOrder::Description : BookmarkOrder::Address);
    ShowList();
}

void Bookmark::ListMarks_Click(int row)
{
    if (!SelectBookmark(state_.Bookmarks, row))
        return;
    const std::string& description = state_.Bookmarks.Marks[state_.Bookmarks.SelectedIndex].Description;
    TextName->setText(QString::fromLatin1(description.data(), static_cast<qsizetype>(description.size())));
}

void Bookmark::TextName_DblClick()
{
    if (RenameBookmarkAsStep(state_, Latin1Text(TextName)))
        ShowList();
}

void Bookmark::Tell(const UserMessage& message)
{
    const OwnDialogScope open(*this);
    windows_.Dialogs.Message(message);
}

bool Bookmark::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TextName && event->type() == QEvent::MouseButtonDblClick)
        TextName_DblClick();
    return QWidget::eventFilter(watched, event);
}

const BookmarkList& Bookmark::Marks() const
{
    return state_.Bookmarks;
}
