#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

// Bytes that look like the 4 bits-per-pixel sprite graphics compressed
// streams usually hold: pictures of a few filled and outlined shapes on a
// clear background, cut into 8x8 tiles (32 bytes each, two pixels a byte,
// the left pixel in the low half), with clear tiles and repeated tiles
// among them. The same size and seed always give the same bytes.
inline std::vector<std::uint8_t> TileLikeData(std::size_t size, unsigned seed = 1)
{
    std::mt19937 random(seed);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<std::uint8_t> out;
    out.reserve(size + 2048);
    while (out.size() < size) {
        // One 32x32 picture: background 0, shapes in a few colors of 16.
        std::uint8_t picture[32][32] = {};
        const int shapes = 1 + below(4);
        for (int s = 0; s < shapes; ++s) {
            const int color = 1 + below(15), outline = 1 + below(15);
            const int cx = below(32), cy = below(32), r = 3 + below(12);
            const bool round = below(2) == 0;
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    const int dx = x - cx, dy = y - cy;
                    const int d = round ? dx * dx + dy * dy : (dx * dx > dy * dy ? dx * dx : dy * dy);
                    if (d <= r * r)
                        picture[y][x] = static_cast<std::uint8_t>(d >= (r - 1) * (r - 1) ? outline : color);
                }
            }
        }
        // Its 16 tiles, row by row, with a repeated or clear tile now and then.
        for (int ty = 0; ty < 4; ++ty) {
            for (int tx = 0; tx < 4; ++tx) {
                const int kind = below(10);
                const std::size_t tileStart = out.size();
                if (kind == 0 && tileStart >= 32) {
                    const std::size_t from = 32 * static_cast<std::size_t>(below(static_cast<int>(tileStart / 32)));
                    for (int i = 0; i < 32; ++i)
                        out.push_back(out[from + static_cast<std::size_t>(i)]);
                    continue;
                }
                for (int y = 0; y < 8; ++y) {
                    for (int x = 0; x < 8; x += 2) {
                        const std::uint8_t left = kind == 1 ? 0 : picture[ty * 8 + y][tx * 8 + x];
                        const std::uint8_t right = kind == 1 ? 0 : picture[ty * 8 + y][tx * 8 + x + 1];
                        out.push_back(static_cast<std::uint8_t>(left | right << 4));
                    }
                }
            }
        }
    }
    out.resize(size);
    return out;
}

// Bytes no codec can shrink.
inline std::vector<std::uint8_t> RandomData(std::size_t size, unsigned seed = 1)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> out(size);
    for (auto& byte : out)
        byte = static_cast<std::uint8_t>(random());
    return out;
}
