#pragma once

#include <cstdint>
#include <optional>

class QWidget;

// What "Replace color..." was asked to do.
struct ColorReplacement {
    std::uint8_t From = 0;
    std::uint8_t To = 0;
    bool AllCells = false;  // otherwise the cursor cell only
};

// Asks for the color index to replace, the one it becomes (toColor at
// first) and whether the cursor cell or all cells; nullopt when cancelled.
std::optional<ColorReplacement> AskColorReplacement(QWidget* parent, std::uint8_t toColor);
