#include "model/browser/jump_history.h"

#include <gtest/gtest.h>

namespace {

BrowserPlace At(std::int32_t address, GraphicsMode mode = ModeGameboy)
{
    return {address, mode};
}

}  // namespace

TEST(JumpHistory, BackAndForwardKeepWhereTheUserScrolledAndAJumpDropsThePlacesAhead)
{
    JumpHistory history;
    EXPECT_FALSE(history.Back(At(0)));
    history.Jumped(At(0), At(100));
    history.Jumped(At(160), At(500, ModeNes));  // scrolled from 100 to 160 first
    EXPECT_EQ(history.Back(At(520, ModeNes)), At(160));
    EXPECT_EQ(history.Back(At(160)), At(100));
    EXPECT_EQ(history.Back(At(100)), At(0));
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_EQ(history.Forward(At(0)), At(100));
    EXPECT_EQ(history.Forward(At(100)), At(160));
    EXPECT_EQ(history.Forward(At(160)), At(520, ModeNes));  // where the user was
    EXPECT_FALSE(history.Forward(At(520, ModeNes)));

    history.Back(At(520, ModeNes));
    history.Jumped(At(160), At(900));  // from the middle: the NES place goes
    EXPECT_FALSE(history.CanGoForward());
    EXPECT_EQ(history.Back(At(900)), At(160));

    // Oldest places go first past the limit.
    for (int i = 1; i <= 150; ++i)
        history.Jumped(At(i * 1000), At(i * 1000 + 1));
    int backs = 0;
    while (history.Back(At(-1)))
        ++backs;
    EXPECT_EQ(backs, static_cast<int>(JumpHistory::MaxPlaces) - 1);
}
