#pragma once

#include "model/core/editor_cells.h"
#include "model/tools/graphics_search.h"
#include "ui/floor/tool_window.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct ProgramState;
struct Windows;
class QCheckBox;
class QLabel;
class QProgressBar;
class QRadioButton;
class QSpinBox;
class QTreeWidget;

// The "Find graphics" tool: looks for the editor's cursor cell, a run of
// cells from it, or a picture's tiles at every byte offset of the open ROM,
// in the current mode or in all modes, and lists where they are; a click
// on a result shows that tile in the browser. The picture is read and the
// search runs on worker threads, so the window stays responsive and Cancel
// stops it at once.
class FindGraphics : public ToolWindow {
    Q_OBJECT

public:
    FindGraphics(ProgramState& state, Windows& windows, QWidget* parent = nullptr);
    ~FindGraphics() override;

    void BtFind_Click();
    void BtCancel_Click();
    void BtPicture_Click();
    // Shows the result in this row of the list in the browser.
    void ShowMatch(int row);
    // Another file was opened or the file closed: the results (and a
    // search still running) belong to the old one and go.
    void FileChanged();

    bool Searching() const { return worker_.joinable(); }
    // The matches listed, best first.
    const std::vector<GraphicsMatch>& Matches() const { return matches_; }

    // Test seams, both called on the searching thread: just before the
    // picture file is read, and as SearchOptions::PreparationStep.
    std::function<void()> PictureReading;
    std::function<void()> PreparationStep;

    QRadioButton* OpCell;
    QRadioButton* OpRun;
    QSpinBox* SpinRun;
    QRadioButton* OpPicture;
    QPushButton* BtPicture;
    QLabel* LbPicture;
    QRadioButton* OpCurrentMode;
    QRadioButton* OpAllModes;
    QCheckBox* ChkExact;
    QCheckBox* ChkFlips;
    QCheckBox* ChkSkipUniform;
    QCheckBox* ChkNeighbours;
    QCheckBox* ChkStreams;
    QPushButton* BtFind;
    QPushButton* BtCancel;
    QProgressBar* Progress;
    QTreeWidget* ListMatches;
    QLabel* LbStatus;

signals:
    // A search ended (found, cancelled or refused before it began).
    void SearchEnded();

protected:
    // Beside the browser, so that the tiles it jumps to stay in sight.
    std::optional<QPoint> FirstPlace() override;

private:
    // What the searching thread hands back.
    struct Outcome {
        SearchResult Result;
        std::string Picture;  // the picture's path; empty for editor cells
        std::optional<UserMessage> PictureProblem;
        std::size_t QueryTiles = 0;
    };

    // The editor cells the options ask for; empty with the reason in problem.
    std::vector<QueryTile> CellQuery(std::string& problem) const;
    void Finish(Outcome outcome);
    // Why a finished search has nothing to list, if it has a reason.
    std::optional<std::string> Unsearched(const Outcome& outcome) const;
    void Refuse(const std::string& text);
    void StopSearch();

    ProgramState& state_;
    Windows& windows_;
    std::string picturePath_;
    // What the browser showed when the listed search ran: its matches
    // outside streams count there.
    TileSourceKey searched_;
    std::vector<GraphicsMatch> matches_;
    std::atomic<bool> cancel_{false};
    bool stale_ = false;  // the running search's file is no longer open
    std::thread worker_;
};
