#pragma once

#include <QKeyCombination>

#include <span>
#include <vector>

class QMenu;
class QMenuBar;
struct Windows;

// One line of a main window menu: an item, or a separator when it has no
// text. Key is the key the item shows (none: Qt::Key_unknown); it is the
// key that already runs the same action in the browser or the editor.
struct MenuItemEntry {
    const char* Name;  // object name
    const char* Text = nullptr;
    QKeyCombination Key{};
    void (*Run)(Windows&) = nullptr;
    // Items that show a check mark say here whether they are checked; asked
    // each time their menu opens. The checked items of a menu are one
    // choice, unless Toggle: such an item is switched on and off alone.
    bool (*Checked)(Windows&) = nullptr;
    bool Toggle = false;
    // The key works wherever the focus is in the program, like Ctrl+Z (an
    // added key no described window uses); otherwise it only shows.
    bool Everywhere = false;

    bool IsSeparator() const { return Text == nullptr; }
};

// One menu of the menu bar with its lines, top to bottom.
struct MenuEntry {
    const char* Name;  // object name
    const char* Title;
    std::span<const MenuItemEntry> Items;
};

// The main window's menus, left to right. Adding an item is one line in
// its menu's list.
std::span<const MenuEntry> MainMenuTable();
// The menus added after those (Edit, Layout, Go, Draw, Window), left to
// right.
std::span<const MenuEntry> AddedMenuTable();

// A key the main window gives a menu item beyond the table's: it runs the
// item wherever the focus is in the program, also while the menu bar is
// hidden. A text field with the focus keeps such keys for its own text.
struct WindowWideKey {
    const char* Item;  // object name of the menu item
    QKeyCombination Key;
    // The item itself carries the key and shows it. Otherwise a separate
    // action of the main window does, and the item's own key only shows.
    bool OnItem = true;
};

// The window-wide keys, several for one item in the order it lists them.
std::span<const WindowWideKey> WindowWideKeyTable();

// Builds the table's menus into the menu bar, each item running its action
// on the windows. The shown keys only show: they are live only while the
// menu bar itself has the focus, so a window's own key handling decides
// (Delete in the browser must not flip the tile tool's tile). Returns the
// menus in table order, the added ones last.
std::vector<QMenu*> BuildMainMenus(QMenuBar& bar, Windows& windows);
