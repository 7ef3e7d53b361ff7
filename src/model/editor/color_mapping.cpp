#include "model/editor/color_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

namespace {

// A photograph may hold millions of colors; the search is remembered for
// this many, so the memory stays small whatever the picture.
constexpr std::size_t MaxRememberedColors = 1 << 16;

PackedColor ColorOf(const RgbaPixel& pixel)
{
    return MakePackedColor(pixel.Red, pixel.Green, pixel.Blue);
}

int SquaredDistance(PackedColor a, PackedColor b)
{
    const int red = RedOf(a) - RedOf(b), green = GreenOf(a) - GreenOf(b), blue = BlueOf(a) - BlueOf(b);
    return red * red + green * green + blue * blue;
}

struct Nearest {
    std::uint8_t Index = 0;
    int SquaredError = 0;
};

Nearest NearestOf(PackedColor color, const std::vector<PackedColor>& colors)
{
    Nearest best{0, SquaredDistance(color, colors.front())};
    for (std::size_t i = 1; i < colors.size() && best.SquaredError > 0; ++i) {
        const int distance = SquaredDistance(color, colors[i]);
        if (distance < best.SquaredError)
            best = {static_cast<std::uint8_t>(i), distance};
    }
    return best;
}

}  // namespace

MappedPicture MapOntoPalette(const RgbaImage& picture, const std::vector<PackedColor>& colors)
{
    MappedPicture mapped;
    mapped.Indices.reserve(picture.Pixels.size());
    // Pictures repeat few colors many times; each is searched for once.
    std::unordered_map<PackedColor, Nearest> found;
    for (const RgbaPixel& pixel : picture.Pixels) {
        if (pixel.Alpha < OpaqueAlpha || colors.empty()) {
            mapped.Indices.push_back(0);
            continue;
        }
        const PackedColor color = ColorOf(pixel);
        const auto place = found.find(color);
        Nearest nearest;
        if (place != found.end()) {
            nearest = place->second;
        } else {
            nearest = NearestOf(color, colors);
            if (found.size() < MaxRememberedColors)
                found.emplace(color, nearest);
        }
        mapped.Indices.push_back(nearest.Index);
        if (nearest.SquaredError > 0) {
            ++mapped.Match.InexactPixels;
            mapped.Match.LargestSquaredError = std::max(mapped.Match.LargestSquaredError, nearest.SquaredError);
        }
    }
    return mapped;
}

int PictureColorCount(const RgbaImage& picture)
{
    // One bit for each of the 2^24 colors: a fixed 2 MiB however large the picture.
    std::vector<bool> seen(std::size_t{1} << 24);
    int count = 0;
    bool transparent = false;
    for (const RgbaPixel& pixel : picture.Pixels) {
        if (pixel.Alpha < OpaqueAlpha) {
            transparent = true;
            continue;
        }
        const PackedColor color = ColorOf(pixel);
        if (!seen[color]) {
            seen[color] = true;
            ++count;
        }
    }
    return count + (transparent ? 1 : 0);
}

std::optional<std::string> BuildPaletteFromPicture(const RgbaImage& picture, int colorLimit,
                                                   const std::string& modeName, BuiltPalette& built)
{
    const int count = PictureColorCount(picture);
    if (count > colorLimit)
        return "the picture has " + std::to_string(count) + " colors; mode " + modeName + " takes at most " +
               std::to_string(colorLimit);
    built = {};
    built.Indices.reserve(picture.Pixels.size());
    const bool transparent = std::any_of(picture.Pixels.begin(), picture.Pixels.end(),
                                         [](const RgbaPixel& pixel) { return pixel.Alpha < OpaqueAlpha; });
    if (transparent)
        built.Colors.push_back(std::nullopt);
    std::unordered_map<PackedColor, std::uint8_t> indexOf;
    for (const RgbaPixel& pixel : picture.Pixels) {
        if (pixel.Alpha < OpaqueAlpha) {
            built.Indices.push_back(0);
            continue;
        }
        const PackedColor color = ColorOf(pixel);
        auto place = indexOf.find(color);
        if (place == indexOf.end()) {
            place = indexOf.emplace(color, static_cast<std::uint8_t>(built.Colors.size())).first;
            built.Colors.push_back(color);
        }
        built.Indices.push_back(place->second);
    }
    return std::nullopt;
}

std::string ColorMatchText(const ColorMatch& match, std::int64_t pixels)
{
    if (match.InexactPixels == 0)
        return "all " + std::to_string(pixels) + " pixels matched a palette color exactly";
    char error[32];
    std::snprintf(error, sizeof error, "%.1f", std::sqrt(static_cast<double>(match.LargestSquaredError)));
    return std::to_string(match.InexactPixels) + (match.InexactPixels == 1 ? " pixel was" : " pixels were") +
           " not an exact match; the largest color error was " + error;
}
