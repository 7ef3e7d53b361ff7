// The match finder against a search of every distance, on bytes with runs
// of every length (which have their own trees) and near the ends of the
// window, of the data and of the longest match.
#include "model/codec/binary_tree_match_finder.h"

#include "support/tile_like_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// For each length, the nearest distance reaching it: the rising steps.
std::vector<std::pair<std::uint32_t, std::uint32_t>>
NearestOfEachLength(const std::vector<std::uint8_t>& data, std::size_t at, std::size_t window, std::size_t maxLength)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> steps;
    const std::size_t limit = std::min(maxLength, data.size() - at);
    std::size_t longest = 1;
    for (std::size_t distance = 1; distance <= std::min(at, window); ++distance) {
        std::size_t length = 0;
        while (length < limit && data[at + length] == data[at + length - distance])
            ++length;
        if (length > longest) {
            longest = length;
            steps.emplace_back(static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(distance));
        }
    }
    return steps;
}

TEST(BinaryTreeMatchFinder, FindsTheNearestMatchOfEveryLength)
{
    std::vector<std::uint8_t> data = TileLikeData(2048, 6);
    for (std::size_t run = 1; run <= 300; run += run < 20 ? 1 : 37) {
        data.insert(data.end(), run, static_cast<std::uint8_t>(run % 3));
        data.push_back(static_cast<std::uint8_t>(run));
    }
    for (const auto& [window, maxLength] : {std::pair<std::size_t, std::size_t>{8192, 256}, {300, 18}, {1000, 1000}}) {
        SCOPED_TRACE(testing::Message() << "window " << window << ", longest " << maxLength);
        BinaryTreeMatchFinder finder(data, window, maxLength);
        for (std::size_t at = 0; at < data.size(); ++at) {
            std::vector<std::pair<std::uint32_t, std::uint32_t>> found;
            for (const WindowMatch& match : finder.Next())
                found.emplace_back(match.Length, match.Distance);
            ASSERT_EQ(found, NearestOfEachLength(data, at, window, maxLength)) << "at " << at;
        }
    }
}

}  // namespace
