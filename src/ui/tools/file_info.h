#pragma once

#include "ui/floor/tool_window.h"
#include "model/core/dialogs.h"

#include <string>

struct ProgramState;
struct Windows;
class QLabel;
class QPushButton;

// The "File Info" window: path, length and attributes of the open file, the
// Gameboy title and stored global checksum, and the checksum repair; below
// them the computed checksums.
class FileInfo : public ToolWindow {
    Q_OBJECT

public:
    FileInfo(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Fills every label from the open file.
    void DoReport();

    // Recomputes the Gameboy global checksum over the whole file and writes
    // it into the header, then reports again.
    void BtDoChecksum_Click();

    QLabel* LbName;
    QLabel* LbLength;
    QLabel* LbAttr;
    QLabel* LbROMName;
    QLabel* LbFileChecksum;
    QPushButton* BtDoChecksum;
    // Below the described fields: the header and global checksums as
    // computed, and whether the stored ones match.
    QLabel* LbChecksumCheck;

private:
    void Tell(const UserMessage& message);

    ProgramState& state_;
    Windows& windows_;
};
