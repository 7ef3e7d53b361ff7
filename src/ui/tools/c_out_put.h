#pragma once

#include "ui/floor/tool_window.h"
#include "model/tools/c_output.h"

struct ProgramState;
struct Windows;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// The "Tile and Palette C/C++ Converter" window: writes the working palette
// or the editor's tiles as C arrays into a header file.
class COutPut : public ToolWindow {
    Q_OBJECT

public:
    COutPut(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Hides the window unless it is the active one. The editor control
    // panel calls this when it loses the focus; the focus usually goes here
    // when the panel's BtCOutPut has just shown this window.
    void HideTool();

    // Sprite size from the size and shape lists, scroll bar ranges, labels.
    void UpdateSpriteLayout();
    void BtCCodePalette_Click();
    void BtCCodeSprite_Click();

    int SpriteWidth() const { return layout_.SpriteWidth; }
    int SpriteHeight() const { return layout_.SpriteHeight; }

    QLineEdit* EdPalette;
    QLineEdit* EdSprite;
    QComboBox* ComboColNum;
    QComboBox* ComboPalMode;
    QPushButton* BtCCodePalette;
    QComboBox* ComboTilemode;
    QComboBox* ComboSize;
    QComboBox* ComboShape;
    QScrollBar* ScrRows;
    QScrollBar* ScrLines;
    QLabel* LbRows;
    QLabel* LbLines;
    QPushButton* BtCCodeSprite;
    QLabel* LbInfo;

private:
    // The save dialog; an empty path when cancelled.
    std::string AskHeaderFile();
    // Writes the text; tells the user and returns false when that fails.
    bool Save(const std::string& path, const std::string& text);

    ProgramState& state_;
    Windows& windows_;
    SpriteLayout layout_;
};
