#pragma once

#include "model/editor/image_file_format.h"

#include <span>
#include <string>
#include <string_view>

// The picture file formats, in the order the dialogs that open any picture
// list them.
std::span<const ImageFileFormat* const> ImageFileFormats();

// "label|patterns": the filter of a dialog for the one format.
std::string ImageFilter(const ImageFileFormat& format);

// "Pictures (*.png;*.bmp)|*.png;*.bmp" and then each format's entry: the
// filter of a dialog that opens any picture.
std::string AnyImageFilter();

// The format whose patterns take the file name of path; a name none of them
// takes is read as the first format.
const ImageFileFormat& ImageFormatForPath(std::string_view path);

// Reads a file as the format says: the message of LoadFileBytes for a file
// that is missing, unreadable or too large, else the format's reading.
Loaded<IndexedImage> ReadImageFile(const std::string& path, const ImageFileFormat& format);
