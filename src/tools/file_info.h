#pragma once

#include "core/dialogs.h"

#include <QWidget>

#include <string>

struct ProgramState;
struct Windows;
class QLabel;
class QPushButton;

// The "File Info" window: path, length and attributes of the open file, the
// Gameboy title and stored global checksum, and the checksum repair.
class FileInfo : public QWidget {
    Q_OBJECT

public:
    FileInfo(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Shows the window above the main window and gives it the focus.
    void ShowTool();

    // Fills every label from the open file.
    void DoReport();

    // Recomputes the Gameboy global checksum over the whole file and writes
    // it into the header, then reports again.
    void BtDoChecksum_Click();

    void Form_Deactivate();

    QLabel* LbName;
    QLabel* LbLength;
    QLabel* LbAttr;
    QLabel* LbROMName;
    QLabel* LbFileChecksum;
    QPushButton* BtDoChecksum;

protected:
    void changeEvent(QEvent* event) override;

private:
    void Tell(const UserMessage& message);

    ProgramState& state_;
    Windows& windows_;
    bool dialogOpen_ = false;  // one of this window's own messages is up
};
