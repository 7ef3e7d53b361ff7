#include "cli/cli.h"
#include "cli/cli_args.h"

#include "core/tile_codec.h"

#include <array>
#include <ostream>

namespace {

constexpr std::string_view EncodeUsage = "Usage: brixel-cli encode IMAGE.png ROM --mode MODE --address A [--dry-run]\n"
                                         "Writes the tiles of an indexed PNG into the ROM in place, from address A\n"
                                         "on: the image's 8x8 cells left to right, top to bottom. Both sides must be\n"
                                         "multiples of 8 and every index must fit the mode (below 2^bpp); otherwise\n"
                                         "nothing is written. The ROM's length never changes. --dry-run only prints\n"
                                         "what would change.\n";

constexpr std::array<OptionSpec, 3> EncodeOptions{{
    {"--mode", true},
    {"--address", true},
    {"--dry-run", false},
}};

constexpr std::size_t ListedOffsets = 8;

// The first pixel, in reading order, whose index the mode cannot hold.
std::optional<std::string> FirstOversizedIndex(const IndexedImage& image, GraphicsMode mode)
{
    const int largest = (1 << StandardModes[mode].BitsPerPixel) - 1;
    for (std::size_t i = 0; i < image.Indices.size(); ++i) {
        if (image.Indices[i] > largest) {
            const std::size_t width = static_cast<std::size_t>(image.Width);
            return "pixel (" + std::to_string(i % width) + ", " + std::to_string(i / width) + ") has index " +
                   std::to_string(image.Indices[i]) + ", above " + std::to_string(largest) + ", the largest of mode " +
                   std::string(ModeShortName(mode)) + "; nothing was written";
        }
    }
    return std::nullopt;
}

// The mode's bytes of every 8x8 cell, in reading order.
std::vector<std::uint8_t> EncodeCells(const IndexedImage& image, GraphicsMode mode)
{
    const std::size_t bytesPerTile = static_cast<std::size_t>(StandardModes[mode].BytesPerTile);
    const std::size_t width = static_cast<std::size_t>(image.Width);
    const std::size_t columns = width / 8;
    const std::size_t tiles = columns * static_cast<std::size_t>(image.Height / 8);
    std::vector<std::uint8_t> bytes(tiles * bytesPerTile);
    std::array<std::uint8_t, TilePixelCount> pixels{};
    for (std::size_t tile = 0; tile < tiles; ++tile) {
        const std::uint8_t* corner = image.Indices.data() + (tile / columns) * 8 * width + (tile % columns) * 8;
        for (std::size_t row = 0; row < 8; ++row)
            std::copy_n(corner + row * width, 8, pixels.data() + row * 8);
        EncodeTile(mode, pixels.data(), bytes.data() + tile * bytesPerTile);
    }
    return bytes;
}

void CompareWithFile(const RomFile& rom, std::int32_t address, const std::vector<std::uint8_t>& bytes,
                     std::size_t bytesPerTile, EncodeReport& report)
{
    std::vector<std::uint8_t> current(bytes.size());
    if (rom.ReadAt(address, current.data(), current.size()) != current.size())
        throw CliFailure{"the file could not be read"};
    std::size_t lastChangedTile = SIZE_MAX;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == current[i])
            continue;
        ++report.ChangedBytes;
        if (report.FirstChangedOffsets.size() < ListedOffsets)
            report.FirstChangedOffsets.push_back(address + static_cast<std::int64_t>(i));
        if (i / bytesPerTile != lastChangedTile) {
            lastChangedTile = i / bytesPerTile;
            ++report.ChangedTiles;
        }
    }
}

}  // namespace

std::optional<std::string> EncodeImageIntoRom(const IndexedImage& image, RomFile& rom, GraphicsMode mode,
                                              std::int32_t address, bool dryRun, EncodeReport& report)
{
    if (image.Width % 8 != 0 || image.Height % 8 != 0)
        return "the image is " + std::to_string(image.Width) + " x " + std::to_string(image.Height) +
               " pixels; both sides must be multiples of 8";
    if (auto problem = FirstOversizedIndex(image, mode))
        return problem;
    const std::size_t bytesPerTile = static_cast<std::size_t>(StandardModes[mode].BytesPerTile);
    const std::vector<std::uint8_t> bytes = EncodeCells(image, mode);
    report = EncodeReport{};
    report.Tiles = static_cast<int>(bytes.size() / bytesPerTile);
    report.Bytes = static_cast<std::int64_t>(bytes.size());
    const std::int64_t end = std::int64_t{address} + report.Bytes;
    if (address < 0 || end > rom.Length())
        return "the " + std::to_string(report.Tiles) + " tiles would end at " + HexText(end) +
               ", past the end of the file (" + std::to_string(rom.Length()) + " bytes); nothing was written";
    try {
        CompareWithFile(rom, address, bytes, bytesPerTile, report);
    } catch (const CliFailure& failure) {
        return failure.Message;
    }
    if (dryRun || report.ChangedBytes == 0)
        return std::nullopt;
    if (const RomWriteResult written = rom.WriteAt(address, bytes.data(), bytes.size()); !written)
        return written.Reason;
    return std::nullopt;
}

int RunEncode(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("encode", EncodeUsage, EncodeOptions, arguments, out, err, [&](const ParsedArgs& parsed) {
        if (parsed.Positionals.size() != 2)
            throw UsageError{"encode takes an image and a ROM file"};
        const GraphicsMode mode = ModeOption(parsed);
        const std::int32_t address = AddressOption(parsed);
        const bool dryRun = parsed.Has("--dry-run");

        const Loaded<IndexedImage> image = ReadIndexedPng(parsed.Positionals[0]);
        if (image.Error)
            throw CliFailure{parsed.Positionals[0] + ": " + image.Error->Text};
        RomFile rom;
        const RomFile::OpenResult opened = rom.Open(parsed.Positionals[1]);
        if (!opened.Opened())
            throw CliFailure{opened.Reason};
        if (!opened.Notice.empty())
            err << "brixel-cli: " << opened.Notice << '\n';
        if (!dryRun && !rom.IsWritable())
            throw CliFailure{parsed.Positionals[1] + " is read-only; nothing was written"};
        EncodeReport report;
        if (auto problem = EncodeImageIntoRom(image, rom, mode, address, dryRun, report))
            throw CliFailure{*problem};

        // A block whose bytes are all in place already is not written.
        out << (dryRun                    ? "would write "
                : report.ChangedBytes > 0 ? "wrote "
                                          : "found already in place ")
            << report.Tiles << " tiles (" << report.Bytes << " bytes) at " << HexText(address) << ": "
            << report.ChangedTiles << " tiles and " << report.ChangedBytes << " bytes differ";
        if (!report.FirstChangedOffsets.empty()) {
            out << ", first at";
            for (const std::int64_t offset : report.FirstChangedOffsets)
                out << ' ' << HexText(offset);
        }
        out << '\n';
        return ExitOk;
    });
}
