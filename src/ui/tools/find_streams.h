#pragma once

#include "model/core/editor_cells.h"
#include "ui/floor/tool_window.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

struct ProgramState;
struct Windows;
struct FoundStream;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTreeWidget;

// The "Find compressed data" tool: lists the compressed streams of the
// open ROM for the chosen codecs (scanned on a worker thread, with progress
// and Cancel), and shows one in the browser in place of the file, picked
// from the list or typed as address and codec; "Back to the file" returns.
class FindStreams : public ToolWindow {
    Q_OBJECT

public:
    FindStreams(ProgramState& state, Windows& windows, QWidget* parent = nullptr);
    ~FindStreams() override;

    void BtScan_Click();
    void BtCancel_Click();
    // Shows the stream typed in the address field, in the codec chosen.
    void BtOpen_Click();
    void BtBack_Click();
    // Shows the stream in this row of the list.
    void OpenFound(int row);
    // Shows the stream of that codec at that address in the browser; false
    // (with the reason told) when it does not unpack or the user stays.
    bool OpenStream(int codecIndex, std::int64_t address);
    // Shows the file or a stream, as the key names it; false when the user
    // stays or the stream does not unpack.
    bool ShowSource(const TileSourceKey& source);
    // Another file was opened or the file closed: the list goes.
    void FileChanged();

    bool Scanning() const { return worker_.joinable(); }
    const std::vector<FoundStream>& Found() const { return found_; }

    QComboBox* ComboCodecs;
    QCheckBox* ChkEveryAddress;
    QPushButton* BtScan;
    QPushButton* BtCancel;
    QProgressBar* Progress;
    QTreeWidget* ListStreams;
    QLineEdit* EdAddress;
    QComboBox* ComboCodec;
    QCheckBox* ChkVramSafe;
    QPushButton* BtOpen;
    QPushButton* BtBack;
    QLabel* LbStatus;

signals:
    // A scan ended (found, cancelled or refused before it began).
    void ScanEnded();

protected:
    // Beside the browser, so that the tiles it jumps to stay in sight.
    std::optional<QPoint> FirstPlace() override;

private:
    void Finish(std::vector<FoundStream> found, bool cancelled);
    void StopScan();
    void ShowStatus(const std::string& text);

    ProgramState& state_;
    Windows& windows_;
    std::vector<FoundStream> found_;
    std::atomic<bool> cancel_{false};
    bool stale_ = false;  // the running scan's file is no longer open
    std::thread worker_;
};
