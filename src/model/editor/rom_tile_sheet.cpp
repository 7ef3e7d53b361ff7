#include "model/editor/rom_tile_sheet.h"

#include "model/core/mode_short_names.h"
#include "model/core/number_text.h"
#include "model/core/tile_codec.h"
#include "model/core/tile_sheet.h"

#include <algorithm>
#include <cstdint>

namespace {

// Tiles decoded per positional read.
constexpr int TilesPerBlock = 16384;

constexpr std::size_t ListedOffsets = 8;

// The first pixel, in reading order, of the first `tiles` tiles of the
// layout whose index the mode cannot hold.
std::optional<std::string> FirstOversizedIndex(const IndexedImage& image, GraphicsMode mode, std::size_t tiles,
                                               const TileLayout& layout)
{
    const int largest = (1 << StandardModes[mode].BitsPerPixel) - 1;
    const std::size_t width = static_cast<std::size_t>(image.Width);
    const int columns = TilesAlong(image.Width);
    for (std::size_t i = 0; i < image.Indices.size(); ++i) {
        const int x = static_cast<int>(i % width), y = static_cast<int>(i / width);
        if (image.Indices[i] > largest &&
            static_cast<std::size_t>(LayoutTileIndex(layout, columns, x / TileSide, y / TileSide)) < tiles)
            return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") has index " +
                   std::to_string(image.Indices[i]) + ", above " + std::to_string(largest) + ", the largest of mode " +
                   std::string(ModeShortName(mode)) + "; nothing was written";
    }
    return std::nullopt;
}

// The mode's bytes of the first `tiles` tiles, each cut from its cell.
std::vector<std::uint8_t> EncodeCells(const IndexedImage& image, GraphicsMode mode, std::size_t tiles,
                                      const TileLayout& layout)
{
    const std::size_t bytesPerTile = static_cast<std::size_t>(StandardModes[mode].BytesPerTile);
    const int columns = TilesAlong(image.Width);
    std::vector<std::uint8_t> bytes(tiles * bytesPerTile);
    for (std::size_t tile = 0; tile < tiles; ++tile) {
        const auto cell = static_cast<int>(SheetCellOf(layout, columns, static_cast<std::int64_t>(tile)));
        const TilePixels pixels = CutTile(image.Indices, image.Width, cell);
        EncodeTile(mode, pixels.data(), bytes.data() + tile * bytesPerTile);
    }
    return bytes;
}

// Why the image's cells cannot hold `tiles` tiles in the layout: its
// columns hold no whole blocks, every cell is asked for but the lines hold
// no whole blocks either, or the tiles reach below the image.
std::optional<std::string> LayoutProblem(const IndexedImage& image, const TileLayout& layout, std::size_t tiles,
                                         bool everyCell)
{
    if (layout == TileLayout{})
        return std::nullopt;
    const int columns = TilesAlong(image.Width);
    const std::string sides = "the image is " + std::to_string(image.Width) + " x " + std::to_string(image.Height) +
                              " pixels, not whole blocks of the layout " + TileLayoutText(layout) + " (" +
                              std::to_string(layout.BlockWidth * TileSide) + " x " +
                              std::to_string(layout.BlockHeight * TileSide) + " pixels); nothing was written";
    if (!WholeBlockColumns(layout, columns) || (everyCell && TilesAlong(image.Height) % layout.BlockHeight != 0))
        return sides;
    if (SheetSizeFor(static_cast<std::int64_t>(tiles), columns, layout).Height > image.Height)
        return "the " + std::to_string(tiles) + " tiles of the layout " + TileLayoutText(layout) +
               " reach below the image's " + std::to_string(image.Height) + " pixels; nothing was written";
    return std::nullopt;
}

// Counts what the bytes would change in the file at address; the reason
// when the file cannot be read there.
std::optional<std::string> CompareWithFile(const TileStore& rom, std::int32_t address,
                                           const std::vector<std::uint8_t>& bytes, std::size_t bytesPerTile,
                                           EncodeReport& report)
{
    std::vector<std::uint8_t> current(bytes.size());
    if (rom.ReadAt(address, current.data(), current.size()) != current.size())
        return std::string("the file could not be read");
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
    return std::nullopt;
}

}  // namespace

std::optional<std::string> DecodeRomTiles(const TileStore& rom, const TileRun& run, IndexedImage& image)
{
    const int bytesPerTile = StandardModes[run.Mode].BytesPerTile;
    const std::int64_t end = run.Address + std::int64_t{run.Count} * bytesPerTile;
    if (run.Address < 0 || run.Count < 1 || end > rom.Length())
        return "tiles " + HexText(run.Address) + " to " + HexText(end - 1) + " lie past the end of the file (" +
               std::to_string(rom.Length()) + " bytes)";
    if (run.Columns < 1)
        return std::string("a sheet needs at least one tile a row");
    if (!WholeBlockColumns(run.Layout, run.Columns))
        return std::to_string(run.Columns) + " tiles a row do not hold whole blocks of the layout " +
               TileLayoutText(run.Layout) + ": give --columns a multiple of " + std::to_string(run.Layout.BlockWidth);
    const SheetSize size = SheetSizeFor(run.Count, run.Columns, run.Layout);
    if (PngSizeProblem(size.Width, size.Height))
        return "a sheet of " + std::to_string(run.Count) + " tiles, " + std::to_string(run.Columns) +
               " a row, would be " + std::to_string(size.Width) + " x " + std::to_string(size.Height) +
               " pixels; a PNG holds at most 16384 x 16384 pixels and no side above 1048576: give fewer tiles or "
               "other --columns";

    image.Width = static_cast<int>(size.Width);
    image.Height = static_cast<int>(size.Height);
    image.Indices.assign(static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height), 0);
    std::vector<std::uint8_t> block(static_cast<std::size_t>(std::min(run.Count, TilesPerBlock) * bytesPerTile));
    TilePixels pixels{};
    for (int first = 0; first < run.Count; first += TilesPerBlock) {
        const int tiles = std::min(TilesPerBlock, run.Count - first);
        const std::size_t size = static_cast<std::size_t>(tiles) * static_cast<std::size_t>(bytesPerTile);
        if (rom.ReadAt(run.Address + std::int64_t{first} * bytesPerTile, block.data(), size) != size)
            return "the file could not be read";
        for (int t = 0; t < tiles; ++t) {
            DecodeTile(run.Mode, block.data() + static_cast<std::size_t>(t) * bytesPerTile, pixels.data());
            PasteTile(image.Indices, image.Width,
                      static_cast<int>(SheetCellOf(run.Layout, run.Columns, std::int64_t{first} + t)), pixels.data());
        }
    }
    return std::nullopt;
}

std::optional<std::string> EncodeImageIntoRom(const IndexedImage& image, TileStore& rom, GraphicsMode mode,
                                              std::int32_t address, bool dryRun, EncodeReport& report, int tiles,
                                              const TileLayout& layout)
{
    if (image.Width % TileSide != 0 || image.Height % TileSide != 0)
        return "the image is " + std::to_string(image.Width) + " x " + std::to_string(image.Height) +
               " pixels; both sides must be multiples of 8";
    const std::size_t cells =
        static_cast<std::size_t>(TilesAlong(image.Width)) * static_cast<std::size_t>(TilesAlong(image.Height));
    if (tiles < 0 || static_cast<std::size_t>(tiles) > cells)
        return "the image has " + std::to_string(cells) + " cells of 8x8 pixels, fewer than the " +
               std::to_string(tiles) + " tiles to write; nothing was written";
    const std::size_t written = tiles == EveryCell ? cells : static_cast<std::size_t>(tiles);
    if (auto problem = LayoutProblem(image, layout, written, tiles == EveryCell))
        return problem;
    if (auto problem = FirstOversizedIndex(image, mode, written, layout))
        return problem;
    const std::size_t bytesPerTile = static_cast<std::size_t>(StandardModes[mode].BytesPerTile);
    const std::vector<std::uint8_t> bytes = EncodeCells(image, mode, written, layout);
    report = EncodeReport{};
    report.Tiles = static_cast<int>(bytes.size() / bytesPerTile);
    report.Bytes = static_cast<std::int64_t>(bytes.size());
    const std::int64_t end = std::int64_t{address} + report.Bytes;
    if (address < 0 || end > rom.Length())
        return "the " + std::to_string(report.Tiles) + " tiles would end at " + HexText(end) +
               ", past the end of the file (" + std::to_string(rom.Length()) + " bytes); nothing was written";
    if (auto problem = CompareWithFile(rom, address, bytes, bytesPerTile, report))
        return problem;
    if (dryRun || report.ChangedBytes == 0)
        return std::nullopt;
    if (const RomWriteResult done = rom.WriteAt(address, bytes.data(), bytes.size()); !done)
        return done.Reason;
    return std::nullopt;
}
