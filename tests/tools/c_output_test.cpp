#include "model/tools/c_output.h"

#include "model/core/program_state.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

// "0x%04X, " written the slow way, as a check on the table-driven writer.
std::string Value(unsigned value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%04X, ", value);
    return buffer;
}

std::string Header(const std::string& name)
{
    return "const unsigned int " + name + "[] = {";
}

const std::string End = "\r\n };\r\n\r\n";

// The lines of a text whose lines all end in CR LF; a bare CR or LF fails.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "text does not end with CR LF";
        if (end == std::string::npos)
            break;
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "bare line break in: " << line;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

// The text of one array, from its opening brace to its end.
std::string ArrayBody(const std::string& text, const std::string& name)
{
    const std::size_t open = text.find(Header(name));
    if (open == std::string::npos)
        return {};
    const std::size_t from = open + Header(name).size();
    const std::size_t end = text.find(End, from);
    return text.substr(from, end - from);
}

// A state after start-up, made once per test.
struct StartState : ProgramState {
    StartState() { InitState(*this); }
};

// Slow reference of the sprite output: walks the picture pixel by pixel in
// editor coordinates and packs each tile straight from the description.
std::string ReferenceSprites(const EditorSlotTable& slots, const std::string& stem, int width, int height, int rows,
                             int lines, bool eightBits)
{
    std::string text;
    for (int sprite = 0; sprite < rows * lines; ++sprite) {
        const int left = (sprite % rows) * width;
        const int top = (sprite / rows) * height;
        text += Header(stem + std::to_string(sprite));
        for (int tileTop = top; tileTop < top + height; tileTop += 8) {
            for (int tileLeft = left; tileLeft < left + width; tileLeft += 8) {
                std::vector<unsigned> pixels;
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x) {
                        const int px = tileLeft + x;
                        const int py = tileTop + y;
                        pixels.push_back(slots[(py / 8) * 16 + px / 8].Pixels[(py % 8) * 8 + px % 8]);
                    }
                if (eightBits) {
                    for (int v = 0; v < 32; ++v)
                        text += (v % 8 == 0 ? "\r\n  " : "") + Value(pixels[2 * v + 1] * 256 + pixels[2 * v]);
                } else {
                    for (int v = 0; v < 16; ++v) {
                        unsigned value = 0;
                        for (int n = 3; n >= 0; --n)
                            value = value * 16 + (pixels[4 * v + n] % 16);
                        text += (v % 4 == 0 ? "\r\n  " : "") + Value(value);
                    }
                }
            }
        }
        text += End;
    }
    return text;
}

EditorSlotTable RandomSlots(unsigned seed)
{
    std::mt19937 random(seed);
    EditorSlotTable slots{};
    for (EditorSlot& slot : slots)
        for (std::uint8_t& pixel : slot.Pixels)
            pixel = static_cast<std::uint8_t>(random() & 0xFF);
    return slots;
}

// Cell 0's first row holds 1..8; every other pixel is 0.
EditorSlotTable FirstRowOneToEight()
{
    EditorSlotTable slots{};
    ClearAllSlots(slots);
    for (int x = 0; x < 8; ++x)
        slots[0].Pixels[x] = static_cast<std::uint8_t>(x + 1);
    return slots;
}

std::string Repeat(const std::string& piece, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

}  // namespace

// --- palette array ---

TEST(COutputPalette, DefaultsAreExactlyFiveLines)
{
    const StartState state;
    const std::string text = PaletteCSource(state.WorkingPalette, "palette", ColorCountOf(0), PalModeEncoding(0));
    EXPECT_EQ(text, "const unsigned int palette[] = {\r\n"
                    "  0x43FF, 0x32D6, 0x2210, 0x1108, 0x001F, 0x0016, 0x0010, 0x0008, \r\n"
                    "  0x03E0, 0x02C0, 0x0200, 0x0100, 0x7C00, 0x5800, 0x4000, 0x2000, \r\n"
                    " };\r\n"
                    "\r\n");
    EXPECT_EQ(Lines(text).size(), 5u);
}

TEST(COutputPalette, RedInBothLayouts)
{
    std::array<PackedColor, 256> palette{};
    palette[0] = MakePackedColor(255, 0, 0);
    const std::string bgr = PaletteCSource(palette, "p", 16, PalModeEncoding(0));
    const std::string rgb = PaletteCSource(palette, "p", 16, PalModeEncoding(1));
    EXPECT_EQ(Lines(bgr)[1], "  0x001F, " + Repeat("0x0000, ", 7));
    EXPECT_EQ(Lines(rgb)[1], "  0x7C00, " + Repeat("0x0000, ", 7));
}

TEST(COutputPalette, AllEntriesAreThirtyTwoLinesOfEight)
{
    std::array<PackedColor, 256> palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = MakePackedColor(i, 255 - i, (i * 37) & 0xFF);
    for (const int mode : {0, 1}) {
        const std::vector<std::string> lines =
            Lines(PaletteCSource(palette, "colors", ColorCountOf(1), PalModeEncoding(mode)));
        ASSERT_EQ(lines.size(), 35u);
        EXPECT_EQ(lines[0], Header("colors"));
        for (int line = 0; line < 32; ++line) {
            std::string expected = "  ";
            for (int i = line * 8; i < line * 8 + 8; ++i) {
                const unsigned red = static_cast<unsigned>(RedOf(palette[i])) >> 3;
                const unsigned green = static_cast<unsigned>(GreenOf(palette[i])) >> 3;
                const unsigned blue = static_cast<unsigned>(BlueOf(palette[i])) >> 3;
                expected += Value(mode == 0 ? red | green << 5 | blue << 10 : blue | green << 5 | red << 10);
            }
            EXPECT_EQ(lines[1 + line], expected) << "line " << line << " mode " << mode;
        }
        EXPECT_EQ(lines[33], " };");
        EXPECT_EQ(lines[34], "");
    }
}

TEST(COutputPalette, DigitsAreUpperCaseWithLeadingZeros)
{
    std::array<PackedColor, 256> palette{};
    palette[0] = MakePackedColor(80, 0, 248);  // red 10, blue 31
    palette[1] = MakePackedColor(0, 0, 8);     // blue 1
    const std::vector<std::string> lines = Lines(PaletteCSource(palette, "p", 16, PalModeEncoding(0)));
    EXPECT_EQ(lines[1].substr(0, 22), "  0x7C0A, 0x0400, 0x00");
}

TEST(COutputPalette, CountStaysWithinThePalette)
{
    std::array<PackedColor, 256> palette{};
    EXPECT_EQ(Lines(PaletteCSource(palette, "p", 100000, PalModeEncoding(0))).size(), 35u);
    const std::vector<std::string> one = Lines(PaletteCSource(palette, "p", -3, PalModeEncoding(0)));
    ASSERT_EQ(one.size(), 4u);
    EXPECT_EQ(one[1], "  0x0000, ");
}

TEST(COutputPalette, ListPositionsMapToCountAndLayout)
{
    EXPECT_EQ(ColorCountOf(0), 16);
    EXPECT_EQ(ColorCountOf(1), 256);
    std::array<PackedColor, 256> palette{};
    palette[0] = MakePackedColor(0, 0, 255);
    // "15 bpc BGR" keeps blue high, "15 bpc RGB" low.
    EXPECT_EQ(Lines(PaletteCSource(palette, "p", 16, PalModeEncoding(0)))[1].substr(0, 10), "  0x7C00, ");
    EXPECT_EQ(Lines(PaletteCSource(palette, "p", 16, PalModeEncoding(1)))[1].substr(0, 10), "  0x001F, ");
}

// --- sprite arrays ---

TEST(COutputSprite, FirstRowInSixteenColorMode)
{
    const SpriteLayout layout = UpdateSpriteLayout(0, 0, 1, 1);
    const std::string text = SpriteCSource(FirstRowOneToEight(), "sprite", layout, SpriteTileMode::Gba16);
    const std::string zeros = "\r\n  " + Repeat("0x0000, ", 4);
    EXPECT_EQ(text, Header("sprite0") + "\r\n  0x4321, 0x8765, 0x0000, 0x0000, " + zeros + zeros + zeros + End);
}

TEST(COutputSprite, FirstRowInTwoHundredFiftySixColorMode)
{
    const SpriteLayout layout = UpdateSpriteLayout(0, 0, 1, 1);
    const std::string text = SpriteCSource(FirstRowOneToEight(), "sprite", layout, SpriteTileMode::Gba256);
    const std::string zeros = "\r\n  " + Repeat("0x0000, ", 8);
    EXPECT_EQ(text, Header("sprite0") + "\r\n  0x0201, 0x0403, 0x0605, 0x0807, 0x0000, 0x0000, 0x0000, 0x0000, " +
                        zeros + zeros + zeros + End);
}

TEST(COutputSprite, SixteenColorModeKeepsTheLowNibbleOnly)
{
    EditorSlotTable slots{};
    slots[0].Pixels[0] = 0x1F;
    slots[0].Pixels[3] = 0xA2;
    const std::string text = SpriteCSource(slots, "s", UpdateSpriteLayout(0, 0, 1, 1), SpriteTileMode::Gba16);
    EXPECT_EQ(Lines(text)[1].substr(0, 10), "  0x200F, ");
}

TEST(COutputSprite, WideLayoutWritesEightSpritesWithSpriteFiveFromRowOne)
{
    EditorSlotTable slots{};
    for (int i = 0; i < EditorSlotCount; ++i)
        slots[i].Pixels.fill(static_cast<std::uint8_t>(i));
    const SpriteLayout layout = UpdateSpriteLayout(1, 1, 4, 2);  // "16", "Wide": 32 x 8
    const std::string text = SpriteCSource(slots, "sprite", layout, SpriteTileMode::Gba256);
    for (int sprite = 0; sprite < 8; ++sprite)
        EXPECT_NE(text.find(Header("sprite" + std::to_string(sprite))), std::string::npos) << sprite;
    EXPECT_EQ(text.find(Header("sprite8")), std::string::npos);

    const std::string body = ArrayBody(text, "sprite5");
    std::string expected;
    for (int slot = 20; slot < 24; ++slot)  // row 1, columns 4-7
        for (int line = 0; line < 4; ++line)
            expected += "\r\n  " + Repeat(Value(slot * 257), 8);
    EXPECT_EQ(body, expected);
}

TEST(COutputSprite, EveryLayoutMatchesThePixelReference)
{
    const EditorSlotTable slots = RandomSlots(77);
    for (int size = 0; size < 4; ++size) {
        for (int shape = 0; shape < 3; ++shape) {
            for (const bool eightBits : {false, true}) {
                const SpriteLayout layout = UpdateSpriteLayout(size, shape, 99, 99);
                const auto mode = eightBits ? SpriteTileMode::Gba256 : SpriteTileMode::Gba16;
                const std::string text = SpriteCSource(slots, "t", layout, mode);
                EXPECT_EQ(text, ReferenceSprites(slots, "t", layout.SpriteWidth, layout.SpriteHeight, layout.Rows,
                                                 layout.Lines, eightBits))
                    << "size " << size << " shape " << shape << " eight bits " << eightBits;
            }
        }
    }
}

TEST(COutputSprite, ProgressCountsEveryTileBeforeIt)
{
    const SpriteLayout layout = UpdateSpriteLayout(1, 1, 4, 2);
    std::vector<int> done;
    int lastTotal = -1;
    SpriteCSource(RandomSlots(3), "s", layout, SpriteTileMode::Gba16, [&](int k, int total) {
        done.push_back(k);
        lastTotal = total;
    });
    ASSERT_EQ(done.size(), 32u);
    for (int k = 0; k < 32; ++k)
        EXPECT_EQ(done[k], k);
    EXPECT_EQ(lastTotal, 32);
}

TEST(COutputSprite, OversizedLayoutIsCutToTheGrid)
{
    SpriteLayout layout;
    layout.SpriteWidth = 64;
    layout.SpriteHeight = 32;
    layout.Rows = 9;
    layout.Lines = 9;
    const EditorSlotTable slots = RandomSlots(5);
    EXPECT_EQ(SpriteCSource(slots, "s", layout, SpriteTileMode::Gba16),
              ReferenceSprites(slots, "s", 64, 32, 2, 4, false));
}

// --- sprite layout ---

TEST(COutputLayout, SizeAndShapeTable)
{
    const int expected[4][3][2] = {
        {{8, 8}, {16, 8}, {8, 16}},
        {{16, 16}, {32, 8}, {8, 32}},
        {{32, 32}, {32, 16}, {16, 32}},
        {{64, 64}, {64, 32}, {32, 64}},
    };
    for (int size = 0; size < 4; ++size)
        for (int shape = 0; shape < 3; ++shape) {
            const SpriteLayout layout = UpdateSpriteLayout(size, shape, 1, 1);
            EXPECT_EQ(layout.SpriteWidth, expected[size][shape][0]) << size << "/" << shape;
            EXPECT_EQ(layout.SpriteHeight, expected[size][shape][1]) << size << "/" << shape;
            EXPECT_EQ(layout.MaxRows, 128 / expected[size][shape][0]);
            EXPECT_EQ(layout.MaxLines, 128 / expected[size][shape][1]);
        }
}

TEST(COutputLayout, StartInfo)
{
    EXPECT_EQ(SpriteLayoutInfo(UpdateSpriteLayout(0, 0, 1, 1)), "Convert 1x1 of 8x8 = 1 tiles");
}

TEST(COutputLayout, WideThirtyTwoByEight)
{
    const SpriteLayout layout = UpdateSpriteLayout(1, 1, 4, 2);
    EXPECT_EQ(layout.MaxRows, 4);
    EXPECT_EQ(layout.MaxLines, 16);
    EXPECT_EQ(layout.TileCount(), 32);
    EXPECT_EQ(SpriteLayoutInfo(layout), "Convert 4x2 of 32x8 = 32 tiles");
}

TEST(COutputLayout, EightWideAndEightHigh)
{
    const SpriteLayout wide = UpdateSpriteLayout(0, 1, 100, 100);
    EXPECT_EQ(wide.Rows, 8);
    EXPECT_EQ(wide.Lines, 16);
    const SpriteLayout high = UpdateSpriteLayout(0, 2, 100, 100);
    EXPECT_EQ(high.Rows, 16);
    EXPECT_EQ(high.Lines, 8);
}

TEST(COutputLayout, ValuesAreBroughtIntoRange)
{
    const SpriteLayout large = UpdateSpriteLayout(3, 0, 16, 16);
    EXPECT_EQ(large.Rows, 2);
    EXPECT_EQ(large.Lines, 2);
    EXPECT_EQ(SpriteLayoutInfo(large), "Convert 2x2 of 64x64 = 256 tiles");
    const SpriteLayout low = UpdateSpriteLayout(0, 0, 0, -5);
    EXPECT_EQ(low.Rows, 1);
    EXPECT_EQ(low.Lines, 1);
    // A position outside a list counts as its first entry.
    const SpriteLayout unknown = UpdateSpriteLayout(4, -1, 1, 1);
    EXPECT_EQ(unknown.SpriteWidth, 8);
    EXPECT_EQ(unknown.SpriteHeight, 8);
}

TEST(COutputLayout, ProgressTexts)
{
    EXPECT_EQ(ConvertingInfo(0, 256), "Converting... 0 of 256 tiles done.");
    EXPECT_EQ(ConvertingInfo(31, 32), "Converting... 31 of 32 tiles done.");
    EXPECT_EQ(ConvertedInfo(32), "Converted 32 tiles");
}

// --- header file ---

TEST(COutputFile, SaveReplacesTheFileWithExactlyTheText)
{
    TempDir dir;
    const std::string path = dir.WriteFile("out.h", std::vector<std::uint8_t>(5000, 'x'));
    const std::string text = PaletteCSource(StartState().WorkingPalette, "palette", 16, PalModeEncoding(0));
    EXPECT_FALSE(SaveCHeader(path, text));
    EXPECT_EQ(ReadWholeFile(path), std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(COutputFile, FolderThatDoesNotExistIsReported)
{
    TempDir dir;
    const std::string path = (dir.Path() / "missing" / "out.h").string();
    const auto failure = SaveCHeader(path, "text");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Caption, "Saving failed");
    EXPECT_EQ(
        failure->Text.rfind("Could not save the C header file '" + path + "': the file could not be created: ", 0), 0u)
        << failure->Text;
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(COutputFile, GccCompilesTheHeader)
{
    if (std::system("gcc --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "gcc is not installed";
    TempDir dir;
    const std::string text =
        PaletteCSource(StartState().WorkingPalette, "palette", 256, PalModeEncoding(1)) +
        SpriteCSource(RandomSlots(9), "tiles", UpdateSpriteLayout(0, 0, 16, 16), SpriteTileMode::Gba16) +
        SpriteCSource(RandomSlots(9), "big", UpdateSpriteLayout(3, 1, 2, 4), SpriteTileMode::Gba256) +
        "_Static_assert(sizeof palette / sizeof palette[0] == 256, \"palette\");\r\n"
        "_Static_assert(sizeof tiles255 / sizeof tiles255[0] == 16, \"tile\");\r\n"
        "_Static_assert(sizeof big7 / sizeof big7[0] == 32 * 32, \"sprite\");\r\n";
    const std::string header = (dir.Path() / "out.h").string();
    const std::string log = (dir.Path() / "gcc.txt").string();
    ASSERT_FALSE(SaveCHeader(header, text));
    const std::string command = "gcc -fsyntax-only -Wall -Werror -x c '" + header + "' 2>'" + log + "'";
    const int status = std::system(command.c_str());
    const std::vector<std::uint8_t> errors = ReadWholeFile(log);
    EXPECT_EQ(status, 0) << std::string(errors.begin(), errors.end());
}
