#include "ui/app/main_menus.h"
#include "ui/app/manual_tables.h"
#include "ui/browser/browser.h"
#include "ui/editor/editor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string SourceManual()
{
    std::ifstream file(std::string(BRIXEL_SOURCE_DIR) + "/docs/manual.md", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool HasLine(const std::string& lists, const std::string& line)
{
    return lists.find("\n" + line + "\n") != std::string::npos;
}

}  // namespace

TEST(UserManual, GeneratedBlockEqualsTheListsMadeFromTheTables)
{
    const std::optional<std::string> block = ManualGeneratedBlock(SourceManual());
    ASSERT_TRUE(block) << "docs/manual.md lacks the marker lines of its generated block";
    EXPECT_EQ(*block, ManualKeyAndMenuLists()) << "docs/manual.md is out of date: run scripts/update-manual";
}

TEST(UserManual, ListsEveryItemAndKeyOfEveryTable)
{
    const std::string lists = ManualKeyAndMenuLists();
    for (const std::span<const MenuEntry> menus : {MainMenuTable(), AddedMenuTable()})
        for (const MenuEntry& menu : menus) {
            EXPECT_TRUE(HasLine(lists, std::string("#### ") + menu.Title)) << menu.Title;
            for (const MenuItemEntry& item : menu.Items) {
                if (!item.IsSeparator()) {
                    EXPECT_NE(lists.find(std::string("\n| ") + item.Text + " | "), std::string::npos) << item.Name;
                }
            }
        }
    for (const KeyAction<Browser>& key : Browser::KeyTable())
        EXPECT_TRUE(HasLine(lists, "| " + ManualKeyText(key.Key) + " | " + key.Text + " |")) << key.Text;
    for (const KeyAction<Editor>& key : Editor::KeyTable())
        EXPECT_TRUE(HasLine(lists, "| " + ManualKeyText(key.Key) + " | " + key.Text + " |")) << key.Text;
    // Window-wide keys show beside their items and in their own list.
    EXPECT_TRUE(HasLine(lists, "| Save all | Ctrl+S (everywhere) |"));
    EXPECT_TRUE(HasLine(lists, "| Redo | Ctrl+Y, Ctrl+Shift+Z (everywhere) |"));
    EXPECT_TRUE(HasLine(lists, "| Open file | Ctrl+O |"));
    EXPECT_TRUE(HasLine(lists, "| Ctrl+Shift+Z | Redo |"));
    EXPECT_TRUE(HasLine(lists, "| Ctrl+Shift+V | Paste into cell |"));
}

TEST(UserManual, KeyTextsAndBlockMarkers)
{
    const std::pair<QKeyCombination, const char*> keys[] = {
        {Qt::CTRL | Qt::Key_O, "Ctrl+O"},
        {Qt::KeypadModifier | Qt::Key_Plus, "Keypad +"},
        {Qt::KeypadModifier | Qt::Key_Minus, "Keypad -"},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, "Ctrl+Shift+Z"},
        {QKeyCombination(Qt::Key_Enter), "Enter"},
        {QKeyCombination(Qt::Key_PageDown), "PgDown"},
    };
    for (const auto& [key, text] : keys)
        EXPECT_EQ(ManualKeyText(key), text);

    const std::string start = ManualBlockStart, end = ManualBlockEnd;
    const std::pair<std::string, std::optional<std::string>> manuals[] = {
        {"a\n" + start + "\nlists\n" + end + "\nb\n", "lists\n"},
        {start + "\n" + end, ""},
        {"no markers\n", std::nullopt},
        {end + "\n" + start + "\n", std::nullopt},  // out of order
        {start, std::nullopt},                      // start line never ends
    };
    for (const auto& [manual, block] : manuals)
        EXPECT_EQ(ManualGeneratedBlock(manual), block) << manual;
}
