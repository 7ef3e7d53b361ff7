#pragma once

#include <QKeyCombination>

#include <optional>
#include <string>

// The user's manual lists every menu item and key from the tables the
// program itself builds them from, so the manual cannot drift from them.

// The lines between these two in docs/manual.md are generated.
inline constexpr const char* ManualBlockStart = "<!-- generated: keys and menus -->";
inline constexpr const char* ManualBlockEnd = "<!-- end generated -->";

// A key as the manual writes it: "Ctrl+O", "Keypad +", "PgDown".
std::string ManualKeyText(QKeyCombination key);

// The menus, left to right, with each item's keys, then the keys of the
// browser and of the editor and the keys that work everywhere, as markdown.
std::string ManualKeyAndMenuLists();

// The text between the block's marker lines (without them), or nothing when
// the markers are missing or out of order.
std::optional<std::string> ManualGeneratedBlock(const std::string& manual);
