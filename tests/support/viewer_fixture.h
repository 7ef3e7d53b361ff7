#pragma once

#include "ui/app/main_form.h"
#include "model/core/program_state.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>

// A shown main window with every window, on scripted dialogs, and a folder
// for the ROM files a test opens.
class ViewerFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a ROM file and opens it through the open button, as if chosen
    // in the dialog.
    std::string OpenRom(const std::vector<std::uint8_t>& bytes, const std::string& name = "game.gb");

    // Selects the mode list entry that shows the given mode.
    void SelectMode(std::uint8_t mode);

    TempDir dir;
    ProgramState state;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainForm> form;
    Windows* w = nullptr;
};
