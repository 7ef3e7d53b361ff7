#pragma once

#include "model/core/view.h"

#include <QWidget>

struct ProgramState;
struct Windows;
class QCheckBox;
class QRadioButton;
class QToolButton;

// The "Editor Control" panel: the editor's tool, zoom, grid and empty-cell
// display, and the buttons that save, reload and clear all cells.
class EditCtrl : public QWidget {
    Q_OBJECT

public:
    EditCtrl(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Named as the original buttons: "ZoomIn" makes the tiles smaller.
    void BtEditZoomIn_Click();
    void BtEditZoomOut_Click();
    void BtSaveEdit_Click();
    void BtReload_Click();
    void BtEditClear_Click();
    // Checks the tool's button; a drawing tool without one leaves none checked.
    void SetEditMode(EditorTool mode);
    EditorTool EditMode() const;
    // Gives the keyboard focus to the panel.
    void TakeFocus();
    // The keys' way to the view switches: a click on the check box.
    void ToggleGrid();
    void ToggleEmptyCells();

    QRadioButton* OptionSelect;
    QRadioButton* OptionPaint;
    QRadioButton* OptionFill;
    QToolButton* BtEditZoomOut;
    QToolButton* BtEditZoomIn;
    QCheckBox* ChkGridEditor;
    QCheckBox* ChkNoncopied;
    QToolButton* BtCOutPut;
    QToolButton* BtSaveEdit;
    QToolButton* BtReload;
    QToolButton* BtEditClear;

protected:
    void changeEvent(QEvent* event) override;

private:
    void ZoomFollowUp();
    void ApplyToolPanel();

    ProgramState& state_;
    Windows& windows_;
};
