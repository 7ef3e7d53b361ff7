#pragma once

#include "ui/floor/tool_window.h"
#include "model/tools/bookmark_file.h"

struct ProgramState;
struct Windows;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// The "Bookmark Tool": named file addresses of the open ROM, sorted by
// address or description, kept in .bmk files, and sent to the browser. It
// hides when it loses the activation and keeps its list until the end.
class Bookmark : public ToolWindow {
    Q_OBJECT

public:
    Bookmark(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Fills ListMarks from the list, which is kept sorted by its order, and
    // sets the order switch to it.
    void ShowList();

    void BtAddBookmark_Click();
    void BtDelBookmark_Click();
    void BtGotoBookmark_Click();
    void BtLoadBookmark_Click();
    void BtSaveBookmark_Click();
    void BtNewList_Click();
    void ChkOrder_Click();
    void ListMarks_Click(int row);
    void TextName_DblClick();

    const BookmarkList& Marks() const;

    QListWidget* ListMarks;
    QLineEdit* TextName;
    QPushButton* BtAddBookmark;
    QPushButton* BtDelBookmark;
    QPushButton* BtGotoBookmark;
    QPushButton* BtLoadBookmark;
    QPushButton* BtSaveBookmark;
    QPushButton* BtNewList;
    QCheckBox* ChkOrder;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Tell(const UserMessage& message);

    ProgramState& state_;
    Windows& windows_;
};
