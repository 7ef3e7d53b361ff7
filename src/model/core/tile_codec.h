#pragma once

#include <cstdint>

// Pixel count of one decoded 8x8 tile; entry y*8 + x is pixel x of row y.
inline constexpr int TilePixelCount = 64;

// Decodes one tile of the given mode from BytesPerTile bytes into 64 color
// indices. Every index is below 2 to the power of the mode's BitsPerPixel.
// An unknown mode yields 64 zeros.
void DecodeTile(std::uint8_t mode, const std::uint8_t* bytes, std::uint8_t* pixels);

// Encodes 64 color indices into the BytesPerTile bytes of the given mode.
// Indices above the mode's largest value are reduced the way each mode's
// layout dictates (low bits kept, or the largest value, per mode). An unknown
// mode writes nothing.
void EncodeTile(std::uint8_t mode, const std::uint8_t* pixels, std::uint8_t* bytes);

// While reading a tile, every byte passes through one of four row buffer
// positions; a byte the file does not deliver keeps the last value of its
// position. Returns the position of byte k (0 <= k < BytesPerTile) of a tile.
int RowBufferPosition(std::uint8_t mode, int k);
