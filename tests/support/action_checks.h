#pragma once

#include "ui/floor/key_table.h"
#include "support/viewer_fixture.h"

#include <QKeySequence>

#include <functional>
#include <map>
#include <string>

class QToolButton;
class QWidget;

// What running one of the program's actions must do, for tests that reach
// the action through a menu item, a key or a button: Prepare sets up a state
// in which the action shows, Verify asserts that it ran.
struct ActionCheck {
    std::function<void()> Prepare;
    std::function<void()> Verify;
};

// A shown main window whose actions can be checked by name. The names are
// the handlers the menus, keys and buttons stand for ("BtFlipX",
// "BtOpenFile", "ScrollUp", ...).
class ActionFixture : public ViewerFixture {
protected:
    void SetUp() override;

    // Prepares, runs trigger and verifies the named action; an unknown name
    // fails the test.
    void RunChecked(const std::string& action, const std::function<void()>& trigger);

    // Activates the main window, so focus and keys go where a user's would.
    void ActivateMainWindow();

    // Walks a window's key table: every key must be one of the described
    // keys (key combination to action name), as many as described, and
    // pressing it (press gives it to the focused window) must run its action.
    template <class Window>
    void WalkKeyTable(std::span<const KeyAction<Window>> table, const std::map<int, const char*>& described,
                      const std::function<void()>& beforeEach, const std::function<void(QKeyCombination)>& press)
    {
        EXPECT_EQ(table.size(), described.size());
        for (const KeyAction<Window>& entry : table) {
            const auto action = described.find(entry.Key.toCombined());
            ASSERT_NE(action, described.end()) << QKeySequence(entry.Key).toString().toStdString();
            beforeEach();
            RunChecked(action->second, [&press, &entry] { press(entry.Key); });
        }
    }

    // Opens a fresh ROM of 4096 zero bytes (shown in 1 bit per pixel).
    std::string OpenZeroRom();

private:
    void AddFileChecks();
    void AddBrowserChecks();
    void AddEditorChecks();
    void AddTileToolChecks();
    void AddToolPanelChecks();
    void AddToggleCheck(const std::string& action, std::function<QToolButton*()> toggle,
                        std::function<QWidget*()> window);
    // Cell 0 holds the one-pixel tool tile bound to address, put there as
    // one step like a copy from the browser.
    void CopyIntoCellZero(std::int32_t address);

    std::map<std::string, ActionCheck> checks_;
    std::string romPath_;
    int romCount_ = 0;
};
