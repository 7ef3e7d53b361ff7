// The match finder against a plain search of every earlier source, with and
// without a last source well inside the data.
#include "model/codec/longest_earlier_match.h"

#include "support/tile_like_data.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(LongestEarlierMatch, FindsTheLongestMatchFromEachAllowedSource)
{
    const auto data = TileLikeData(1500, 11);
    for (const std::size_t lastSource : {std::size_t{0xFFFF}, std::size_t{700}}) {
        const std::vector<EarlierMatch> matches = LongestEarlierMatches(data, 40, lastSource);
        for (std::size_t i = 0; i < data.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "position " << i << ", last source " << lastSource);
            std::size_t longest = 0;
            for (std::size_t s = 0; s < i && s <= lastSource; ++s) {
                std::size_t k = 0;
                while (k < 40 && i + k < data.size() && data[s + k] == data[i + k])
                    ++k;
                longest = std::max(longest, k);
            }
            const EarlierMatch found = matches[i];
            ASSERT_EQ(found.Length, longest);
            if (longest > 0) {
                ASSERT_TRUE(found.Source < i && found.Source <= lastSource);
                ASSERT_TRUE(std::equal(data.begin() + found.Source, data.begin() + found.Source + longest,
                                       data.begin() + static_cast<std::ptrdiff_t>(i)));
            }
        }
    }
}

}  // namespace
