#pragma once

#include "model/core/dialogs.h"
#include "model/core/rom_file.h"
#include "model/palette/color_encoding.h"
#include "model/palette/color_sets.h"

#include <cstdint>
#include <optional>
#include <string>

// Reading and writing a palette at an address of the open ROM.

// The number-of-colors choices, in list order.
inline constexpr std::array<int, 6> PaletteColorCounts{1, 2, 4, 8, 16, 256};

// Reads count colors of the encoding at address into a new set described as
// the encoding's name + " at " + addressText. Bytes pass through a 4-byte
// value buffer that starts at zero and keeps its bytes between colors, so
// colors past the end of the file (or before its start) repeat the last
// value read. Colors from count on are black.
ColorSetEntry ImportPalette(const RomFile& file, std::int32_t address, std::uint8_t encoding, int count,
                            const NesColorTable& nesColors, const std::string& addressText);

enum class ExportOutcome {
    Written,
    NesRefused,   // the NES encoding cannot be written
    OutsideFile,  // the colors do not lie wholly inside the file; nothing written
    Failed,       // the write was refused (Reason says why)
};

struct ExportResult {
    ExportOutcome Outcome = ExportOutcome::Written;
    std::string Reason;  // for Failed

    bool operator==(ExportOutcome outcome) const { return Outcome == outcome; }
};

// Writes the first count colors of an encoding at address, keeping the bits
// of every value that the encoding does not use (bit 15 of a 15-bit word),
// with one read and one write.
ExportResult ExportPalette(RomFile& file, std::int32_t address, std::uint8_t encoding, int count,
                           const Palette256& colors);

struct Document;

// The color set window's export, after ConfirmSave: the selected set's
// first count colors are written at address. Returns the message to show;
// none when the colors were written.
std::optional<UserMessage> ExportSelectedSet(Document& document, std::int32_t address, std::uint8_t encoding,
                                             int count);
