#pragma once

#include "model/core/indexed_png.h"
#include "model/core/loaded.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One picture file format tiles are exchanged in: its entry in the file
// dialogs, its name on the command line, and its bytes to and from an
// indexed image. Each format defines one of these in its own file;
// image_formats.cpp lists them.
struct ImageFileFormat {
    std::string_view Label;     // "PNG image (*.png)"
    std::string_view Patterns;  // "*.png"
    std::string_view Name;      // "png"

    // How much of a file is read, and the reader of those bytes.
    FileLoadRule FileRead{};
    Loaded<IndexedImage> (*Decode)(const std::vector<std::uint8_t>& bytes) = nullptr;

    // The file's bytes of the image; empty, and given reason the cause, for
    // an image the format cannot hold.
    std::vector<std::uint8_t> (*Encode)(const IndexedImage& image, std::string* reason) = nullptr;
};
