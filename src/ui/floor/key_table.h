#pragma once

#include <QKeyCombination>
#include <QKeyEvent>

#include <span>

// One key a window handles itself and what it runs there. The modifiers of
// Key are none or Ctrl. With Qt::KeypadModifier among them the key counts
// only from the numeric keypad (its + and -); otherwise the keypad flag is
// ignored, so the keypad's Enter and arrows work like the main ones.
template <class Window> struct KeyAction {
    QKeyCombination Key;
    const char* Text;  // what the key does, as the user's manual lists it
    void (*Run)(Window&);
};

// The table's entry for a key event, or null when the window leaves the key
// alone.
template <class Window>
const KeyAction<Window>* FindKeyAction(std::span<const KeyAction<Window>> table, const QKeyEvent& event)
{
    const Qt::KeyboardModifiers held = event.modifiers();
    for (const KeyAction<Window>& action : table) {
        const Qt::KeyboardModifiers wanted = action.Key.keyboardModifiers();
        if (action.Key.key() == event.key() && (wanted & ~Qt::KeypadModifier) == (held & ~Qt::KeypadModifier) &&
            (!(wanted & Qt::KeypadModifier) || (held & Qt::KeypadModifier)))
            return &action;
    }
    return nullptr;
}
