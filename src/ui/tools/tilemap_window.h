#pragma once

#include "model/tilemap/tilemap_picture.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

struct ProgramState;
struct Windows;
class TileStore;
class TilemapView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The "Tilemap" window: a background map read from the file (or from a
// compressed stream in it), drawn with its entries' tiles, flips and
// palette rows. The tiles come from what the browser shows. Clicking an
// entry shows its fields and copies its tile into the editor's cursor cell;
// "Apply" writes the entry's bytes back and "Place selected tile" names the
// browser's selected tile, each one step of the history. It is a child
// window like the browser, so it stays open while the user picks tiles.
class TilemapWindow : public QWidget {
    Q_OBJECT

public:
    TilemapWindow(ProgramState& state, Windows& windows, QWidget* parent = nullptr);
    ~TilemapWindow() override;

    // Shows the window (with a file open; else the tool-not-available message).
    void ShowWindow();
    // Reads the map the fields describe and draws it.
    void BtShow_Click();
    void BtMapHere_Click();
    void BtTilesHere_Click();
    void BtExport_Click();
    // Selects the entry at a column and line of the map.
    void SelectEntry(int column, int line);
    void BtApply_Click();
    void BtPlaceTile_Click();

    const LoadedTilemap& Map() const { return map_; }
    int SelectedEntry() const { return selected_; }

    QLineEdit* EdMapAddress;
    QComboBox* ComboMapSource;
    QSpinBox* SpinWidth;
    QSpinBox* SpinHeight;
    QComboBox* ComboFormat;
    QCheckBox* ChkSigned;
    QLineEdit* EdTilesAddress;
    QComboBox* ComboTileMode;
    QSpinBox* SpinPaletteRow;
    QSpinBox* SpinZoom;
    QPushButton* BtShow;
    QPushButton* BtMapHere;
    QPushButton* BtTilesHere;
    QPushButton* BtExport;
    TilemapView* View;
    QLabel* LbEntry;
    QSpinBox* SpinTile;
    QSpinBox* SpinPalette;
    QCheckBox* ChkFlipX;
    QCheckBox* ChkFlipY;
    QCheckBox* ChkPriority;
    QPushButton* BtApply;
    QPushButton* BtPlaceTile;
    QLabel* LbStatus;

private:
    QWidget* BuildMapFields();
    QWidget* BuildEntryFields();
    TilemapShape ShapeFromFields() const;
    // The store the map is read from and written to: the file, or the
    // compressed stream the source list names (the reason when it does not
    // unpack).
    TileStore* MapStore(std::string& reason);
    // Reads the map again after a change of the file or of the tiles shown.
    void Reread();
    void Redraw();
    void ShowEntryFields();
    void FollowFormat();
    // Shows the tile mode the chosen format's console uses.
    void ProposeTileMode();
    void WriteEntry(const TilemapEntry& entry, const std::string& stepName);
    void ShowStatus(const std::string& text);
    void Clear();

    ProgramState& state_;
    Windows& windows_;
    std::unique_ptr<TileStore> mapStream_;  // the compressed map's view, while one is read
    LoadedTilemap map_;
    bool shown_ = false;  // a map was read and is drawn
    int selected_ = -1;
};
