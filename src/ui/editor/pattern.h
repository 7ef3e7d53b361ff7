#pragma once

#include "ui/floor/tool_window.h"
#include "model/editor/pattern_file.h"

struct ProgramState;
struct Windows;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The "Editor Address Patterns" window: a list of named arrangements of
// the editor's addresses, captured from the editor, applied to it, and
// saved to or loaded from ".eap" files. It keeps its list for the run and
// hides itself whenever it is deactivated.
class Pattern : public ToolWindow {
    Q_OBJECT

public:
    Pattern(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Refills ListPat with the descriptions in table order; nothing stays
    // selected.
    void RefreshPatternList();

    void ListPat_Click(int row);
    void EdDes_DblClick();
    void BtAddPat_Click();
    void BtDelPat_Click();
    // Also a double-click on a list entry.
    void BtLoadPat_Click();
    void BtSave_Click();
    void BtLoad_Click();

    PatternList& Patterns();

    QListWidget* ListPat;
    QLineEdit* EdDes;
    QPushButton* BtAddPat;
    QPushButton* BtDelPat;
    QPushButton* BtLoadPat;
    QPushButton* BtSave;
    QPushButton* BtLoad;
    QRadioButton* OpBMP;
    QRadioButton* OpRedraw;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The selected list entry's pattern index, or -1.
    int SelectedPattern() const;

    ProgramState& state_;
    Windows& windows_;
};
