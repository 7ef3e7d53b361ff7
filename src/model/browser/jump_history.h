#pragma once

#include "model/core/mode_table.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Where the browser was: its first address and its mode.
struct BrowserPlace {
    std::int32_t Address = 0;
    GraphicsMode Mode{};

    bool operator==(const BrowserPlace&) const = default;
};

// The places the browser jumped between (the jump field, Find graphics,
// scan results, bookmarks, a mode switch), for going back and forward as a
// web browser does. Scrolling is no jump; the place a jump leaves is kept,
// and the place the user has scrolled to is remembered when going back or
// forward from it.
class JumpHistory {
public:
    // At most this many places are kept; the oldest go first.
    static constexpr std::size_t MaxPlaces = 100;

    // A jump from one place to another: the places ahead are dropped.
    void Jumped(BrowserPlace from, BrowserPlace to);

    // The place to show for Back or Forward from the current place, or
    // nothing when there is none that way.
    std::optional<BrowserPlace> Back(BrowserPlace current);
    std::optional<BrowserPlace> Forward(BrowserPlace current);

    bool CanGoBack() const { return at_ > 0; }
    bool CanGoForward() const { return at_ + 1 < places_.size(); }

    void Clear();

private:
    std::vector<BrowserPlace> places_;
    std::size_t at_ = 0;  // the place shown last, when places_ is not empty
};
