#include "model/palette/palette_transfer.h"

#include "model/core/document.h"
#include "model/core/write_messages.h"

#include <algorithm>
#include <utility>
#include <vector>

ColorSetEntry ImportPalette(const RomFile& file, std::int32_t address, std::uint8_t encoding, int count,
                            const NesColorTable& nesColors, const std::string& addressText)
{
    const int bytesPerColor = PaletteFormats[encoding].BytesPerColor;
    count = std::clamp(count, 0, 256);
    const std::int64_t length = static_cast<std::int64_t>(count) * bytesPerColor;

    // One read of the whole run; only [deliveredBegin, deliveredEnd) came from the file.
    std::vector<std::uint8_t> run(static_cast<std::size_t>(length));
    const std::int64_t first = std::max<std::int64_t>(address, 0);
    const std::int64_t deliveredBegin = first - address;
    std::int64_t deliveredEnd = deliveredBegin;
    if (deliveredBegin < length)
        deliveredEnd += static_cast<std::int64_t>(
            file.ReadAt(first, run.data() + deliveredBegin, static_cast<std::size_t>(length - deliveredBegin)));

    ColorSetEntry entry;
    std::uint8_t buffer[4] = {0, 0, 0, 0};
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < bytesPerColor; ++j) {
            const std::int64_t k = static_cast<std::int64_t>(i) * bytesPerColor + j;
            if (k >= deliveredBegin && k < deliveredEnd)
                buffer[j] = run[static_cast<std::size_t>(k)];
        }
        entry.Colors[i] = ColToRGB(StoredValue(buffer, encoding), encoding, nesColors);
    }
    entry.Description = std::string(PaletteFormats[encoding].FormatName) + " at " + addressText;
    return entry;
}

ExportResult ExportPalette(RomFile& file, std::int32_t address, std::uint8_t encoding, int count,
                           const Palette256& colors)
{
    if (encoding == EncodingNes)
        return {ExportOutcome::NesRefused, {}};
    count = std::clamp(count, 0, 256);
    const int bytesPerColor = PaletteFormats[encoding].BytesPerColor;
    const std::int64_t length = static_cast<std::int64_t>(count) * bytesPerColor;
    if (address < 0 || address + length > file.Length())
        return {ExportOutcome::OutsideFile, {}};

    std::vector<std::uint8_t> words(static_cast<std::size_t>(length));
    if (file.ReadAt(address, words.data(), words.size()) != words.size())
        return {ExportOutcome::Failed,
                "The colors at address " + std::to_string(address) + " could not be read; nothing was written."};
    const std::uint16_t used = EncodingValueMask(encoding);
    for (int i = 0; i < count; ++i) {
        std::uint8_t* bytes = words.data() + static_cast<std::ptrdiff_t>(i) * bytesPerColor;
        const auto kept = static_cast<std::uint16_t>(StoredValue(bytes, encoding) & ~used);
        StoreValue(static_cast<std::uint16_t>(RGBToCol(colors[i], encoding) | kept), bytes, encoding);
    }
    RomWriteResult written = file.WriteAt(address, words.data(), words.size());
    if (!written)
        return {ExportOutcome::Failed, std::move(written.Reason)};
    return {};
}

std::optional<UserMessage> ExportSelectedSet(Document& document, std::int32_t address, std::uint8_t encoding, int count)
{
    const ExportResult result = ExportPalette(document.FileHandle, address, encoding, count,
                                              document.Sets.ColorSets[document.Sets.SelectedSet].Colors);
    switch (result.Outcome) {
    case ExportOutcome::Written:
        break;
    case ExportOutcome::NesRefused:
        return UserMessage{"Sorry, not yet implented.", "Can't do, sir.", MsgIcon::Information};
    case ExportOutcome::OutsideFile:
        return UserMessage{"The " + std::to_string(count) + " colors do not fit into the file at address " +
                               std::to_string(address) + "; nothing was written.",
                           WriteFailedCaption, MsgIcon::Information};
    case ExportOutcome::Failed:
        return UserMessage{result.Reason, WriteFailedCaption, MsgIcon::Critical};
    }
    return std::nullopt;
}
