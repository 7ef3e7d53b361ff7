#pragma once

#include "model/tools/graphics_search.h"

#include <string>

// What the "Find graphics" window says about a search.

// How a found tile stands to the query tile.
std::string FlipText(TileFlip flip);

// One line under the results: how many were found, whether the list was
// cut to the best ones, whether the search was cancelled.
std::string SearchSummaryText(const SearchResult& result);

// Why there is nothing to look for.
inline const char* const NoFileToSearchText = "Open a ROM file first; there is nothing to search.";
inline const char* const EmptyCellQueryText =
    "The editor cell under the cursor is empty; copy or paint a tile into it first.";
inline const char* const NoPictureChosenText = "Choose a picture first.";
inline const char* const OnlyUniformQueryText =
    "Every query tile has a single color and would match everywhere; nothing was searched.";
inline const char* const FileChangedText = "The open file changed; search again.";

// A picture with more different tiles than are looked for at once; name is
// the picture file's name.
std::string TooManyTilesText(const std::string& name, int differentTiles);

// A picture that could not be read (its own message says why).
std::string PictureUnreadableText(const std::string& name);

// A picture with no whole 8x8 tile.
std::string PictureTooSmallText(const std::string& name);
