#include "ui/floor/change_board.h"

void ChangeBoard::Subscribe(ChangeKind kind, Handler handler)
{
    handlers_[static_cast<int>(kind)].push_back(std::move(handler));
}

void ChangeBoard::Announce(const Change& change) const
{
    for (const Handler& handler : handlers_[static_cast<int>(change.Kind)])
        handler(change);
}
