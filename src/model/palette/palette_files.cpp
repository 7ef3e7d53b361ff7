#include "model/palette/palette_files.h"

#include "model/core/file_io.h"

PaletteLoad LoadPaletteFile(const std::string& path, const PaletteFileFormat& format, const NesColorTable& nesColors)
{
    if (format.ReadFile)
        return format.ReadFile(path, nesColors);
    const Loaded<FileBytes> file = LoadFileBytes(path, format.FileRead);
    if (file.Error)
        return Refused<PaletteSets>(*file.Error);
    return format.ReadBytes(file.Bytes);
}

std::optional<UserMessage> SavePaletteFile(const std::string& path, const PaletteFileFormat& format,
                                           const ColorSetList& list)
{
    // A savestate is only read; nothing is written.
    const std::optional<std::string> failure = format.Write ? WriteFileAtomically(path, format.Write(list))
                                                            : std::optional<std::string>("the format cannot be saved");
    if (!failure)
        return std::nullopt;
    return UserMessage{"Could not save the palette file '" + path + "': " + *failure + ".", "Saving failed",
                       MsgIcon::Critical};
}
