#include "ui/app/manual_tables.h"

#include "ui/app/main_menus.h"
#include "ui/browser/browser.h"
#include "ui/editor/editor.h"

#include <QKeySequence>

#include <span>
#include <sstream>
#include <vector>

namespace {

// A table cell: a "|" in a text would end the cell.
std::string Cell(std::string_view text)
{
    std::string cell;
    for (const char c : text) {
        if (c == '|')
            cell += '\\';
        cell += c;
    }
    return cell;
}

const MenuItemEntry* FindItem(std::string_view name)
{
    for (const std::span<const MenuEntry> menus : {MainMenuTable(), AddedMenuTable()})
        for (const MenuEntry& menu : menus)
            for (const MenuItemEntry& item : menu.Items)
                if (item.Name == name)
                    return &item;
    return nullptr;
}

// The keys an item runs on: its window-wide ones (or the table's own key),
// marked when they work everywhere.
std::string ItemKeys(const MenuItemEntry& item)
{
    std::vector<std::string> keys;
    for (const WindowWideKey& key : WindowWideKeyTable())
        if (std::string_view(key.Item) == item.Name)
            keys.push_back(ManualKeyText(key.Key));
    const bool everywhere = !keys.empty() || item.Everywhere;
    if (keys.empty() && item.Key.key() != Qt::Key_unknown)
        keys.push_back(ManualKeyText(item.Key));
    std::string text;
    for (const std::string& key : keys)
        text += (text.empty() ? "" : ", ") + key;
    if (everywhere && !text.empty())
        text += " (everywhere)";
    return text;
}

void WriteMenus(std::ostream& out)
{
    out << "### Menus\n";
    for (const std::span<const MenuEntry> menus : {MainMenuTable(), AddedMenuTable()})
        for (const MenuEntry& menu : menus) {
            out << "\n#### " << menu.Title << "\n\n";
            std::ostringstream rows;
            for (const MenuItemEntry& item : menu.Items)
                if (!item.IsSeparator())
                    rows << "| " << Cell(item.Text) << " | " << Cell(ItemKeys(item)) << " |\n";
            if (rows.str().empty())
                out << "No items yet.\n";
            else
                out << "| Item | Keys |\n|---|---|\n" << rows.str();
        }
}

template <class Window> void WriteKeys(std::ostream& out, const char* heading, std::span<const KeyAction<Window>> keys)
{
    out << "\n### " << heading << "\n\n| Key | Action |\n|---|---|\n";
    for (const KeyAction<Window>& key : keys)
        out << "| " << Cell(ManualKeyText(key.Key)) << " | " << Cell(key.Text) << " |\n";
}

void WriteEverywhereKeys(std::ostream& out)
{
    out << "\n### Keys that work everywhere\n\n| Key | Menu item |\n|---|---|\n";
    for (const WindowWideKey& key : WindowWideKeyTable())
        if (const MenuItemEntry* item = FindItem(key.Item))
            out << "| " << Cell(ManualKeyText(key.Key)) << " | " << Cell(item->Text) << " |\n";
    for (const MenuEntry& menu : AddedMenuTable())
        for (const MenuItemEntry& item : menu.Items)
            if (item.Everywhere && item.Key.key() != Qt::Key_unknown)
                out << "| " << Cell(ManualKeyText(item.Key)) << " | " << Cell(item.Text) << " |\n";
}

}  // namespace

std::string ManualKeyText(QKeyCombination key)
{
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    const QKeyCombination plain(modifiers & ~Qt::KeypadModifier, key.key());
    const std::string text = QKeySequence(plain).toString(QKeySequence::PortableText).toStdString();
    return (modifiers & Qt::KeypadModifier) ? "Keypad " + text : text;
}

std::string ManualKeyAndMenuLists()
{
    std::ostringstream out;
    WriteMenus(out);
    WriteKeys(out, "Keys in the browser", Browser::KeyTable());
    WriteKeys(out, "Keys in the editor", Editor::KeyTable());
    WriteEverywhereKeys(out);
    return out.str();
}

namespace {

struct BlockPlace {
    std::size_t Begin;  // first character after the start marker's line
    std::size_t End;    // first character of the end marker
};

std::optional<BlockPlace> FindBlock(const std::string& manual)
{
    const std::size_t start = manual.find(ManualBlockStart);
    if (start == std::string::npos)
        return std::nullopt;
    const std::size_t lineEnd = manual.find('\n', start);
    if (lineEnd == std::string::npos)
        return std::nullopt;
    const std::size_t end = manual.find(ManualBlockEnd, lineEnd);
    if (end == std::string::npos)
        return std::nullopt;
    return BlockPlace{lineEnd + 1, end};
}

}  // namespace

std::optional<std::string> ManualGeneratedBlock(const std::string& manual)
{
    const std::optional<BlockPlace> place = FindBlock(manual);
    if (!place)
        return std::nullopt;
    return manual.substr(place->Begin, place->End - place->Begin);
}
