#pragma once

#include "model/core/tile_layout.h"

#include <optional>

class QWidget;

// Asks for a block layout of the user's own: the block's width and height
// in tiles and the order inside it, starting from `current`. nullopt when
// the user cancels.
std::optional<TileLayout> AskBlockLayout(QWidget* parent, const TileLayout& current);
