#include "model/browser/jump_history.h"

void JumpHistory::Jumped(BrowserPlace from, BrowserPlace to)
{
    if (!places_.empty())
        places_.resize(at_ + 1);
    if (places_.empty() || places_.back() != from)
        places_.push_back(from);
    if (places_.back() != to)
        places_.push_back(to);
    if (places_.size() > MaxPlaces)
        places_.erase(places_.begin(), places_.end() - MaxPlaces);
    at_ = places_.size() - 1;
}

std::optional<BrowserPlace> JumpHistory::Back(BrowserPlace current)
{
    if (!CanGoBack())
        return std::nullopt;
    places_[at_] = current;
    return places_[--at_];
}

std::optional<BrowserPlace> JumpHistory::Forward(BrowserPlace current)
{
    if (!CanGoForward())
        return std::nullopt;
    places_[at_] = current;
    return places_[++at_];
}

void JumpHistory::Clear()
{
    places_.clear();
    at_ = 0;
}
