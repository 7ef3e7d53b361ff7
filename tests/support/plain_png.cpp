#include "support/plain_png.h"

#include <zlib.h>

#include <cstring>

namespace {

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t GetBe32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

int SamplesPerPixel(int colorType)
{
    return colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
}

std::size_t RowBytes(const PlainPng& png)
{
    return (std::size_t{png.Width} * SamplesPerPixel(png.ColorType) * png.BitDepth + 7) / 8;
}

const std::uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

}  // namespace

std::vector<std::uint8_t> PngChunk(const std::string& type, const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> chunk;
    PutBe32(chunk, static_cast<std::uint32_t>(data.size()));
    chunk.insert(chunk.end(), type.begin(), type.end());
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4));
    PutBe32(chunk, static_cast<std::uint32_t>(crc));
    return chunk;
}

std::vector<std::uint8_t> WritePlainPng(const PlainPng& png)
{
    std::vector<std::uint8_t> file(Signature, Signature + 8);
    std::vector<std::uint8_t> header;
    PutBe32(header, png.Width);
    PutBe32(header, png.Height);
    header.insert(header.end(),
                  {static_cast<std::uint8_t>(png.BitDepth), static_cast<std::uint8_t>(png.ColorType), 0, 0, 0});
    auto append = [&file](const std::vector<std::uint8_t>& chunk) {
        file.insert(file.end(), chunk.begin(), chunk.end());
    };
    append(PngChunk("IHDR", header));
    if (!png.Palette.empty())
        append(PngChunk("PLTE", png.Palette));

    // Samples packed most significant bits first, each row after a filter byte 0.
    const std::size_t perRow = std::size_t{png.Width} * SamplesPerPixel(png.ColorType);
    std::vector<std::uint8_t> raw;
    for (std::size_t y = 0; y < png.Height; ++y) {
        raw.push_back(0);
        std::vector<std::uint8_t> row(RowBytes(png), 0);
        for (std::size_t i = 0; i < perRow && y * perRow + i < png.Samples.size(); ++i) {
            const std::size_t bit = i * png.BitDepth;
            row[bit / 8] |= static_cast<std::uint8_t>(png.Samples[y * perRow + i] << (8 - png.BitDepth - bit % 8));
        }
        raw.insert(raw.end(), row.begin(), row.end());
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(size);
    compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(size);
    append(PngChunk("IDAT", packed));
    append(PngChunk("IEND", {}));
    return file;
}

bool ReadPlainPng(const std::vector<std::uint8_t>& file, PlainPng& png)
{
    if (file.size() < 8 || std::memcmp(file.data(), Signature, 8) != 0)
        return false;
    std::vector<std::uint8_t> packed;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = GetBe32(&file[at]);
        if (at + 12 + length > file.size())
            return false;
        const std::string type(file.begin() + static_cast<long>(at) + 4, file.begin() + static_cast<long>(at) + 8);
        const std::uint8_t* data = &file[at + 8];
        if (type == "IHDR") {
            png.Width = GetBe32(data);
            png.Height = GetBe32(data + 4);
            png.BitDepth = data[8];
            png.ColorType = data[9];
            if (data[12] != 0)
                return false;  // interlaced
        } else if (type == "PLTE") {
            png.Palette.assign(data, data + length);
        } else if (type == "IDAT") {
            packed.insert(packed.end(), data, data + length);
        }
        at += 12 + length;
    }
    const std::size_t rowBytes = RowBytes(png);
    std::vector<std::uint8_t> raw((rowBytes + 1) * png.Height);
    uLongf size = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &size, packed.data(), static_cast<uLong>(packed.size())) != Z_OK || size != raw.size())
        return false;
    const std::size_t perRow = std::size_t{png.Width} * SamplesPerPixel(png.ColorType);
    png.Samples.clear();
    for (std::size_t y = 0; y < png.Height; ++y) {
        const std::uint8_t* row = &raw[y * (rowBytes + 1)];
        if (row[0] != 0)
            return false;
        for (std::size_t i = 0; i < perRow; ++i) {
            const std::size_t bit = i * png.BitDepth;
            png.Samples.push_back(static_cast<std::uint8_t>((row[1 + bit / 8] >> (8 - png.BitDepth - bit % 8)) &
                                                            ((1 << png.BitDepth) - 1)));
        }
    }
    return true;
}
