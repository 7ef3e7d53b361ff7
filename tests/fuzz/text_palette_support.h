#pragma once

#include "fuzz_support.h"

#include <optional>
#include <string>
#include <vector>

// Shared by the fuzz targets of the text palette files (GIMP, Paint.NET,
// hex lists).

// The lines of a text split at LF, each without the blanks and CRs at its
// end and the blanks at its start; the text after the last LF is a line too.
std::vector<std::string> TrimmedLines(const Bytes& bytes);

// The colors of a list whose lines are empty, comments starting with
// comment (0: none) or exactly digits hex digits, the color being the last
// six; nullopt for any other line, no color or more than 256.
std::optional<Palette256> HexListColors(const Bytes& bytes, std::size_t digits, char comment);

// What every text palette reader does: it agrees with the file loader,
// which reads only the first PaletteTextReadLimit bytes; it refuses the file
// with a message starting with refusal exactly when expected is empty, and
// otherwise reads one set of the expected colors.
void CheckTextPaletteRead(const Bytes& bytes, PaletteLoad (*read)(const std::vector<std::uint8_t>&),
                          const PaletteFileFormat& format, const std::string& fileName, const std::string& refusal,
                          const std::optional<Palette256>& expected);
