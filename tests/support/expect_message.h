#pragma once

#include "model/core/dialogs.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

// Checks a message a reader or writer returned, word for word.
inline void ExpectMessage(const std::optional<UserMessage>& message, const std::string& text,
                          const std::string& caption, MsgIcon icon)
{
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->Text, text);
    EXPECT_EQ(message->Caption, caption);
    EXPECT_EQ(message->Icon, icon);
}
