#include "model/tilemap/tilemap_format.h"

#include <array>
#include <cstddef>

namespace {

constexpr std::array<TilemapFormatInfo, 6> Formats{{
    {TilemapFormat::GameBoy, "Game Boy", "gb", 1, 255, 0, false, false, ModeGameboy},
    {TilemapFormat::Nes, "NES", "nes", 1, 255, 3, false, false, ModeNes},
    {TilemapFormat::Snes, "SNES", "snes", 2, 1023, 7, true, true, ModeSnes4bpp},
    {TilemapFormat::GbaText, "GBA text (4bpp)", "gba", 2, 1023, 15, true, false, ModeGba4bpp},
    {TilemapFormat::Gba8bpp, "GBA 8bpp", "gba8", 2, 1023, 0, true, false, ModeGba8bpp},
    {TilemapFormat::MegaDrive, "Mega Drive", "md", 2, 2047, 3, true, true, ModeSegaGenesis},
}};

// FormatInfo looks a format up by its number.
static_assert(Formats[0].Format == TilemapFormat::GameBoy && Formats[1].Format == TilemapFormat::Nes &&
              Formats[2].Format == TilemapFormat::Snes && Formats[3].Format == TilemapFormat::GbaText &&
              Formats[4].Format == TilemapFormat::Gba8bpp && Formats[5].Format == TilemapFormat::MegaDrive);

// Where the fields of a two-byte entry lie. The tile always starts at bit 0;
// a bit number of -1 means the format has no such field.
struct WordLayout {
    bool BigEndian;
    int TileBits;
    int PaletteShift;
    int PaletteBits;  // 0: the palette is not read (GBA 8bpp keeps its bits untouched)
    int FlipXBit;
    int FlipYBit;
    int PriorityBit;
};

constexpr WordLayout SnesLayout{false, 10, 10, 3, 14, 15, 13};
constexpr WordLayout GbaTextLayout{false, 10, 12, 4, 10, 11, -1};
constexpr WordLayout Gba8bppLayout{false, 10, 12, 0, 10, 11, -1};
constexpr WordLayout MegaDriveLayout{true, 11, 13, 2, 11, 12, 15};

const WordLayout& LayoutOf(TilemapFormat format)
{
    switch (format) {
    case TilemapFormat::Snes:
        return SnesLayout;
    case TilemapFormat::GbaText:
        return GbaTextLayout;
    case TilemapFormat::Gba8bpp:
        return Gba8bppLayout;
    default:
        return MegaDriveLayout;
    }
}

constexpr unsigned Mask(int bits)
{
    return (1u << bits) - 1u;
}

constexpr unsigned BitAt(int bit)
{
    return bit < 0 ? 0u : 1u << bit;
}

// The bits an entry change writes; the others stay as they were.
constexpr unsigned OwnedBits(const WordLayout& layout)
{
    return Mask(layout.TileBits) | Mask(layout.PaletteBits) << layout.PaletteShift | BitAt(layout.FlipXBit) |
           BitAt(layout.FlipYBit) | BitAt(layout.PriorityBit);
}

static_assert(OwnedBits(SnesLayout) == 0xFFFF && OwnedBits(GbaTextLayout) == 0xFFFF &&
              OwnedBits(Gba8bppLayout) == 0x0FFF && OwnedBits(MegaDriveLayout) == 0xFFFF);

bool SidesInRange(const TilemapShape& shape)
{
    return shape.Width >= 1 && shape.Width <= MaxTilemapSide && shape.Height >= 1 && shape.Height <= MaxTilemapSide;
}

std::uint8_t ByteAt(std::span<const std::uint8_t> bytes, std::int64_t offset)
{
    return offset >= 0 && offset < static_cast<std::int64_t>(bytes.size()) ? bytes[static_cast<std::size_t>(offset)]
                                                                           : std::uint8_t{0};
}

unsigned WordAt(std::span<const std::uint8_t> bytes, std::int64_t offset, bool bigEndian)
{
    const unsigned first = ByteAt(bytes, offset), second = ByteAt(bytes, offset + 1);
    return bigEndian ? first << 8 | second : second << 8 | first;
}

TilemapEntry EntryFromWord(const WordLayout& layout, unsigned word)
{
    auto bit = [word](int at) { return at >= 0 && (word >> at & 1u) != 0; };
    TilemapEntry entry;
    entry.Tile = static_cast<int>(word & Mask(layout.TileBits));
    entry.Palette = static_cast<int>(word >> layout.PaletteShift & Mask(layout.PaletteBits));
    entry.FlipX = bit(layout.FlipXBit);
    entry.FlipY = bit(layout.FlipYBit);
    entry.Priority = bit(layout.PriorityBit);
    return entry;
}

unsigned WordFromEntry(const WordLayout& layout, unsigned oldWord, const TilemapEntry& entry)
{
    auto bit = [](bool on, int at) { return on ? BitAt(at) : 0u; };
    const unsigned fields =
        static_cast<unsigned>(entry.Tile) | static_cast<unsigned>(entry.Palette) << layout.PaletteShift |
        bit(entry.FlipX, layout.FlipXBit) | bit(entry.FlipY, layout.FlipYBit) | bit(entry.Priority, layout.PriorityBit);
    return (oldWord & ~OwnedBits(layout) & 0xFFFFu) | fields;
}

// The NES attribute byte of entry (x, y) and the shift of its 2-bit palette:
// one byte covers 4x4 entries, two bits each 2x2 quadrant (top-left in bits
// 0-1, top-right 2-3, bottom-left 4-5, bottom-right 6-7).
struct AttributeSlot {
    std::int64_t Offset;
    int Shift;
};

AttributeSlot NesAttributeSlot(const TilemapShape& shape, int x, int y)
{
    const std::int64_t rowBytes = (shape.Width + 3) / 4;
    return {std::int64_t{shape.Width} * shape.Height + y / 4 * rowBytes + x / 4, (y % 4 / 2) * 4 + (x % 4 / 2) * 2};
}

bool EntryFits(const TilemapShape& shape, const TilemapEntry& entry)
{
    const TilemapFormatInfo& info = FormatInfo(shape.Format);
    const bool signedTiles = shape.SignedTiles && shape.Format == TilemapFormat::GameBoy;
    const int lowest = signedTiles ? -128 : 0;
    const int highest = signedTiles ? 127 : info.MaxTile;
    return entry.Tile >= lowest && entry.Tile <= highest && entry.Palette >= 0 && entry.Palette <= info.MaxPalette &&
           (info.HasFlips || (!entry.FlipX && !entry.FlipY)) && (info.HasPriority || !entry.Priority);
}

}  // namespace

std::span<const TilemapFormatInfo> TilemapFormats()
{
    return Formats;
}

const TilemapFormatInfo& FormatInfo(TilemapFormat format)
{
    return Formats[static_cast<std::size_t>(format)];
}

std::optional<TilemapFormat> TilemapFormatNamed(std::string_view shortName)
{
    for (const TilemapFormatInfo& info : Formats)
        if (info.ShortName == shortName)
            return info.Format;
    return std::nullopt;
}

std::optional<std::string> TilemapShapeProblem(const TilemapShape& shape)
{
    if (static_cast<std::size_t>(shape.Format) >= Formats.size())
        return std::string("there is no such tilemap format");
    if (!SidesInRange(shape))
        return "a map is 1 to " + std::to_string(MaxTilemapSide) + " entries wide and high, not " +
               std::to_string(shape.Width) + " x " + std::to_string(shape.Height);
    if (!IsValidMode(shape.TileMode))
        return "there is no graphics mode number " + std::to_string(shape.TileMode);
    if (shape.PaletteBase < 0 || shape.PaletteBase > 255)
        return "the palette base is 0 to 255, not " + std::to_string(shape.PaletteBase);
    return std::nullopt;
}

std::int64_t TilemapByteCount(const TilemapShape& shape)
{
    if (TilemapShapeProblem(shape))
        return 0;
    const std::int64_t entries = std::int64_t{shape.Width} * shape.Height;
    const std::int64_t attributes =
        shape.Format == TilemapFormat::Nes ? std::int64_t{(shape.Width + 3) / 4} * ((shape.Height + 3) / 4) : 0;
    return entries * FormatInfo(shape.Format).EntryBytes + attributes;
}

std::vector<TilemapEntry> DecodeTilemap(const TilemapShape& shape, std::span<const std::uint8_t> mapBytes)
{
    if (TilemapShapeProblem(shape))
        return {};
    std::vector<TilemapEntry> entries(static_cast<std::size_t>(shape.Width) * static_cast<std::size_t>(shape.Height));
    for (int y = 0; y < shape.Height; ++y) {
        for (int x = 0; x < shape.Width; ++x) {
            const std::int64_t index = std::int64_t{y} * shape.Width + x;
            TilemapEntry& entry = entries[static_cast<std::size_t>(index)];
            switch (shape.Format) {
            case TilemapFormat::GameBoy: {
                const std::uint8_t byte = ByteAt(mapBytes, index);
                entry.Tile = shape.SignedTiles ? static_cast<std::int8_t>(byte) : byte;
                break;
            }
            case TilemapFormat::Nes: {
                const AttributeSlot slot = NesAttributeSlot(shape, x, y);
                entry.Tile = ByteAt(mapBytes, index);
                entry.Palette = ByteAt(mapBytes, slot.Offset) >> slot.Shift & 3;
                break;
            }
            default: {
                const WordLayout& layout = LayoutOf(shape.Format);
                entry = EntryFromWord(layout, WordAt(mapBytes, index * 2, layout.BigEndian));
                break;
            }
            }
        }
    }
    return entries;
}

std::optional<std::vector<ByteBlock>> EncodeEntryChange(const TilemapShape& shape, std::span<const std::uint8_t> mapBytes,
                                                        int index, const TilemapEntry& entry)
{
    if (TilemapShapeProblem(shape) || index < 0 || index >= shape.Width * shape.Height || !EntryFits(shape, entry))
        return std::nullopt;
    switch (shape.Format) {
    case TilemapFormat::GameBoy:
        return std::vector<ByteBlock>{{index, {static_cast<std::uint8_t>(entry.Tile)}}};
    case TilemapFormat::Nes: {
        const AttributeSlot slot = NesAttributeSlot(shape, index % shape.Width, index / shape.Width);
        const unsigned kept = ByteAt(mapBytes, slot.Offset) & ~(3u << slot.Shift);
        const auto attribute = static_cast<std::uint8_t>(kept | static_cast<unsigned>(entry.Palette) << slot.Shift);
        return std::vector<ByteBlock>{{index, {static_cast<std::uint8_t>(entry.Tile)}}, {slot.Offset, {attribute}}};
    }
    default: {
        const WordLayout& layout = LayoutOf(shape.Format);
        const std::int64_t offset = std::int64_t{index} * 2;
        const unsigned word = WordFromEntry(layout, WordAt(mapBytes, offset, layout.BigEndian), entry);
        const auto high = static_cast<std::uint8_t>(word >> 8), low = static_cast<std::uint8_t>(word);
        return std::vector<ByteBlock>{{offset, layout.BigEndian ? std::vector{high, low} : std::vector{low, high}}};
    }
    }
}
