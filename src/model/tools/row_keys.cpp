#include "model/tools/row_keys.h"

#include "model/core/editor_cells.h"
#include "model/core/tile_codec.h"

#include <cstring>

namespace search {

namespace {

RowDecoder MakeRowDecoder(std::uint8_t mode, int y)
{
    RowDecoder decoder;
    const int bytesPerTile = StandardModes[mode].BytesPerTile;
    for (int k = 0; k < bytesPerTile; ++k) {
        std::array<std::uint8_t, MaxBytesPerTile> bytes{};
        bytes[k] = 0xFF;
        if (DecodedRow(mode, bytes.data(), y) == 0)
            continue;
        std::array<Row, 256> table;
        for (int value = 0; value < 256; ++value) {
            bytes[k] = static_cast<std::uint8_t>(value);
            table[value] = DecodedRow(mode, bytes.data(), y);
        }
        decoder.Positions.push_back(k);
        decoder.Tables.push_back(table);
    }
    decoder.Linear = decoder.Positions.size() == 8;
    for (int j = 0; decoder.Linear && j < 8; ++j)
        for (int value = 0; value < 256; ++value)
            if (decoder.Positions[j] != j || decoder.Tables[j][value] != static_cast<Row>(value) << (8 * j))
                decoder.Linear = false;
    return decoder;
}

}  // namespace

Row DecodedRow(std::uint8_t mode, const std::uint8_t* bytes, int y)
{
    std::array<std::uint8_t, TilePixelCount> pixels;
    DecodeTile(mode, bytes, pixels.data());
    Row row;
    std::memcpy(&row, pixels.data() + TileSide * y, sizeof row);
    return row;
}

// Rows 0 and 1 of every mode.
const RowDecoder& RowDecoderOf(GraphicsMode mode, int y)
{
    static const auto decoders = [] {
        std::array<std::array<RowDecoder, 2>, ModeCount> all;
        for (int m = 0; m < ModeCount; ++m)
            for (int row = 0; row < 2; ++row)
                all[m][row] = MakeRowDecoder(static_cast<std::uint8_t>(m), row);
        return all;
    }();
    return decoders[mode][y];
}

}  // namespace search
