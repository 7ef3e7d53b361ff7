// Indexed PNG reading: the reader and the file loader agree; a refusal has
// a message; an accepted image is consistent (sides inside the limits, one
// index per pixel below 2^depth, 1 .. 2^depth palette entries), and writing
// it gives a PNG that reads back as the same image.

#include "model/core/indexed_png.h"
#include "fuzz_support.h"

namespace {

bool SameLoad(const Loaded<IndexedImage>& a, const Loaded<IndexedImage>& b)
{
    if (a.Error.has_value() != b.Error.has_value())
        return false;
    if (a.Error)
        return a.Error->Text == b.Error->Text;
    return a.Width == b.Width && a.Height == b.Height && a.BitDepth == b.BitDepth && a.Indices == b.Indices &&
           a.Palette == b.Palette;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const Loaded<IndexedImage> load = DecodeIndexedPng(bytes);
    CHECK(SameLoad(load, ReadIndexedPng(WriteTempFile("input.png", bytes))));
    if (load.Error) {
        CHECK(!load.Error->Text.empty());
        CHECK(load.Indices.empty());
        return 0;
    }

    const int depth = load.BitDepth;
    CHECK(depth == 1 || depth == 2 || depth == 4 || depth == 8);
    CHECK(load.Width >= 1 && load.Height >= 1 && load.Width <= MaxPngSide && load.Height <= MaxPngSide);
    CHECK(std::int64_t{load.Width} * load.Height <= MaxPngPixels);
    CHECK(load.Indices.size() == static_cast<std::size_t>(load.Width) * static_cast<std::size_t>(load.Height));
    CHECK(!load.Palette.empty() && load.Palette.size() <= std::size_t{1} << depth);
    for (const std::uint8_t index : load.Indices)
        CHECK(index < (1 << depth));
    for (const PackedColor color : load.Palette)
        CHECK(ColorInRange(color));

    const IndexedImage image = load;
    const Bytes written = EncodeIndexedPng(image);
    CHECK(!written.empty());
    const Loaded<IndexedImage> again = DecodeIndexedPng(written);
    CHECK(SameLoad(again, load));
    return 0;
}
