#pragma once

#include "model/core/editor_cells.h"
#include "model/editor/cell_writes.h"

#include <QWidget>

#include <cstdint>
#include <string>

struct ProgramState;
struct Windows;
class QLabel;
class QLineEdit;
class QToolButton;

// The "Tile Tool": transforms, clears, saves and reloads the editor cell
// selected last, and copies its tile to another file address.
class TileCtrl : public QWidget {
    Q_OBJECT

public:
    TileCtrl(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Makes cell n the tool's cell; a negative n (or one past the last cell)
    // leaves the tool without a cell.
    void LoadTile(int n);
    // Shows the mode the tool's cell was read in when it is not the current
    // one (the cell is saved back in that mode); hides it otherwise.
    void ShowCellMode();

    void BtFlipX_Click();
    void BtFlipY_Click();
    void BtRotate_Click();
    void BtDeleteSprite_Click();
    void SaveTile_Click();
    void BtReloadTile_Click();
    void BtCopyToAddress_Click();
    void BtCopySelTile_Click();

    int ToolSlot() const { return toolSlot_; }
    std::int32_t ToolAddress() const { return toolAddress_; }

    QToolButton* BtFlipX;
    QToolButton* BtFlipY;
    QToolButton* BtRotate;
    QToolButton* BtDeleteSprite;
    QToolButton* SaveTile;
    QToolButton* BtReloadTile;
    QToolButton* BtCopyToAddress;
    QToolButton* BtCopySelTile;
    QLineEdit* EdAdd;
    QLabel* LbHex;
    QLabel* LbCellMode;

private:
    // Changes the tool's cell with transform as one step called name.
    void TransformToolTile(const char* name, void (*transform)(TilePixels&), bool redrawAll);
    void EdAdd_Change();
    // Sets EdAdd's text without running the change handling.
    void SetFieldText(const std::string& text);
    // Redraws the tool's cell after a transformation and copies its pixels
    // into the cells that share its address.
    void ShowTransformedTile(bool redrawAll);
    // Writes the tool's cell at address in the given mode and tells the
    // user what came of it.
    CellWriteResult WriteToolTile(std::int64_t address, std::uint8_t mode);

    ProgramState& state_;
    Windows& windows_;
    int toolSlot_ = -1;
    std::int32_t toolAddress_ = -2;
    bool settingField_ = false;
};
