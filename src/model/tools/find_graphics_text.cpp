#include "model/tools/find_graphics_text.h"

std::string FlipText(TileFlip flip)
{
    switch (flip) {
    case TileFlip::Horizontal:
        return "mirrored left-right";
    case TileFlip::Vertical:
        return "mirrored top-bottom";
    case TileFlip::Both:
        return "turned half round";
    case TileFlip::None:
        break;
    }
    return "as drawn";
}

std::string SearchSummaryText(const SearchResult& result)
{
    const std::size_t count = result.Matches.size();
    std::string text = count == 0   ? "No match found."
                       : count == 1 ? "1 match found."
                                    : std::to_string(count) + " matches found.";
    if (result.Truncated)
        text += " Only the best " + std::to_string(count) + " are listed.";
    if (result.Cancelled)
        text = "Search cancelled. " + text;
    return text;
}

std::string TooManyTilesText(const std::string& name, int differentTiles)
{
    return name + " has " + std::to_string(differentTiles) + " different tiles; at most " +
           std::to_string(MaxDifferentQueryTiles) + " different tiles can be looked for at once.";
}

std::string PictureUnreadableText(const std::string& name)
{
    return "The picture " + name + " could not be read; nothing was searched.";
}

std::string PictureTooSmallText(const std::string& name)
{
    return "The picture " + name + " is smaller than one 8x8 tile; nothing was searched.";
}
