#pragma once

#include "model/browser/jump_history.h"
#include "model/core/tile_layout.h"
#include "model/core/mode_table.h"

#include <QWidget>

#include <cstdint>
#include <string>

struct ProgramState;
struct Windows;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QToolButton;

// The "Browser Control" panel: grid size, graphics mode, address, visuals
// and file buttons. It owns opening and closing the ROM file.
class BrowCtrl : public QWidget {
    Q_OBJECT

public:
    BrowCtrl(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Sets BrowserAddress from the address scroll bar and the fine offset,
    // then reads and redraws the browser.
    void ScrollBrowser();

    void BtOpenFile_Click();
    void BtCloseFile_Click();
    // Asks for a file and opens it.
    void OpenRomFile();
    // Opens path as if it had been chosen in the open dialog.
    void OpenChosenFile(const std::string& path);
    // Opens a file dropped on the main window: the open button's questions,
    // then path in place of the file dialog's choice.
    void OpenFileFromDrop(const std::string& path);
    void ShowToolNotAvailable();
    // The file tools: with a file open they show their windows, else the
    // tool-not-available message.
    void BtBookmark_Click();
    void BtFileInfo_Click();

    void BtJumpAdd_Click();
    // Shows the tile at address in the given mode, selected: the mode list
    // switches, the grid moves there (at that byte, fine offset included).
    void ShowTileAt(GraphicsMode mode, std::int32_t address);
    void BtBrowZoomIn_Click();
    void BtBrowZoomOut_Click();
    // Presses a released ChkGrid and releases a pressed one.
    void ToggleGrid();
    // Moves the fine offset by one, wrapping at both ends.
    void StepFineOffset(int delta);
    // Gives the keyboard focus to the panel (its mode list).
    void TakeFocus();
    // Writes an address into EdAdd.
    void ShowAddress(std::int32_t address);
    // Shows offset in the fine offset's bar and label and keeps it in the view.
    void ShowFineOffset(std::uint8_t offset);

    // Lays the grid's tiles out anew from the same first tile; the selection
    // keeps its grid place. Remembered in the program's settings.
    void SetLayout(const TileLayout& layout);
    const TileLayout& Layout() const;
    // Asks for a block size and order of the user's own and lays it out.
    void ChooseOtherLayout();

    // The places jumped between: the jump field, ShowTileAt (Find graphics,
    // scan results) and a mode switch record themselves; another jump (a
    // bookmark) calls RecordJumpFrom with the place it left.
    BrowserPlace Place() const;
    void RecordJumpFrom(BrowserPlace from);
    void GoBack();
    void GoForward();
    // Puts the keyboard focus into the jump field, its text selected.
    void FocusJumpField();
    // Brings the browser to the front; without a file it only says that
    // the browser shows a file.
    void ShowBrowser();
    bool FileOpen() const;
    // Shows every address in hexadecimal or in decimal; remembered in the
    // program's settings.
    void SetHexAddresses(bool hex);
    bool HexAddresses() const;

    // Shows the list's first mode; the main window calls it once every
    // window is made.
    void SelectFirstMode();

    // Ends the program; the main window calls it when it closes.
    void FormClose();

    QScrollBar* ScrLines;
    QLabel* LbLines;
    QScrollBar* ScrRows;
    QLabel* LbRows;
    QComboBox* ComboMode;
    QScrollBar* ScrollDiv;
    QLabel* LbDiv;
    QLineEdit* EdAdd;
    QPushButton* BtJumpAdd;
    QToolButton* BtColorSet;
    QToolButton* ChkGrid;
    QToolButton* BtBrowZoomOut;
    QToolButton* BtBrowZoomIn;
    QToolButton* BtBookmark;
    QToolButton* BtFileInfo;
    QToolButton* BtOpenFile;
    QToolButton* BtCloseFile;

private:
    void ComboMode_Click(int position);
    // The browser and the fine offset's range follow the current mode.
    void FollowMode();
    void ScrollDiv_Change(int position);
    void GridSize_Change();
    void ChkGrid_Click();
    void ReloadBrowser();
    // The questions before another file is opened (edits not yet saved,
    // closing the open file); false when the user stays with the open one.
    bool ReadyToOpenAnother();
    // Shows a place: its mode, then the grid where the tile at its address
    // shows (selected, when asked).
    void MoveTo(BrowserPlace place, bool selectTile);

    ProgramState& state_;
    Windows& windows_;
    JumpHistory jumps_;
    bool placing_ = false;  // a jump is under way: its mode switch is part of it
};
