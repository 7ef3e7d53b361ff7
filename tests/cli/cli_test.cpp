// brixel-cli run as a program: its exit status, its output and the files it
// leaves, for every mode.

#include "cli/cli.h"
#include "cli/cli_args.h"

#include "core/reference_codec.h"
#include "model/codec/stream_codecs.h"
#include "model/core/file_io.h"
#include "model/core/indexed_png.h"
#include "model/core/mode_short_names.h"
#include "model/core/number_text.h"
#include "model/palette/act_palette_format.h"
#include "model/palette/jasc_palette_format.h"
#include "model/palette/riff_palette_format.h"
#include "model/tools/find_graphics_text.h"
#include "support/plain_png.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <numeric>
#include <random>
#include <tuple>

extern char** environ;

namespace {

struct Finished {
    int Status = -1;
    std::string Out;
    std::string Err;
};

std::string Text(const std::vector<std::uint8_t>& bytes)
{
    return {bytes.begin(), bytes.end()};
}

class Cli : public testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return (dir_.Path() / name).string(); }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        return dir_.WriteFile(name, bytes);
    }

    // Runs a program with its output caught in files; Status is the exit
    // status, or -1 when it did not exit normally.
    Finished RunProgram(std::vector<std::string> argv) const
    {
        const std::string out = PathOf("stdout.txt"), err = PathOf("stderr.txt");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::vector<char*> pointers;
        for (std::string& argument : argv)
            pointers.push_back(argument.data());
        pointers.push_back(nullptr);
        pid_t pid = 0;
        const int spawned = posix_spawnp(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        Finished finished;
        int status = 0;
        if (spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            finished.Status = WEXITSTATUS(status);
        finished.Out = Text(ReadWholeFile(out));
        finished.Err = Text(ReadWholeFile(err));
        return finished;
    }

    Finished Run(std::vector<std::string> arguments) const
    {
        arguments.insert(arguments.begin(), BRIXEL_CLI_PATH);
        return RunProgram(std::move(arguments));
    }

    TempDir dir_;
};

class CliModes : public Cli, public testing::WithParamInterface<std::string> {};

std::string ModeTestName(const testing::TestParamInfo<std::string>& info)
{
    return info.param == "1bpp" ? "OneBit" : info.param;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(AllModes, CliModes,
                         testing::Values("1bpp", "gb", "nes", "vb", "gba4", "gba8", "snes4", "snes3", "snes8", "ngp",
                                         "genesis", "gg"),
                         ModeTestName);

TEST_P(CliModes, DecodeShowsEveryTileAndEncodeGivesTheRomBack)
{
    const GraphicsMode mode = *ModeFromShortName(GetParam());
    const std::size_t bytesPerTile = static_cast<std::size_t>(StandardModes[mode].BytesPerTile);
    const std::vector<std::uint8_t> rom = RandomBytes(5000, 11u + mode);
    const std::string romPath = Write("rom.bin", rom);
    constexpr int Count = 37, Columns = 5;
    constexpr std::size_t Address = 0x13;

    const Finished decoded = Run({"decode", romPath, "--mode", GetParam(), "--address", "0x13", "--count", "37",
                                  "--columns", "5", "-o", PathOf("tiles.png")});
    ASSERT_EQ(decoded.Status, 0) << decoded.Err;
    EXPECT_EQ(decoded.Err, "");
    const Loaded<IndexedImage> image = ReadIndexedPng(PathOf("tiles.png"));
    ASSERT_FALSE(image.Error);
    ASSERT_EQ(image.Width, Columns * 8);
    ASSERT_EQ(image.Height, 8 * 8);
    const Palette256 colors = DefaultWorkingPalette();
    EXPECT_EQ(image.Palette, std::vector<PackedColor>(colors.begin(), colors.end()));
    for (int cell = 0; cell < 40; ++cell) {
        std::array<std::uint8_t, 64> expected{};  // cells after the last tile stay 0
        if (cell < Count) {
            const auto first = rom.begin() + static_cast<long>(Address + cell * bytesPerTile);
            expected = ReferenceDecode(mode, {first, first + static_cast<long>(bytesPerTile)});
        }
        for (int p = 0; p < 64; ++p)
            ASSERT_EQ(image.Indices[static_cast<std::size_t>((cell / Columns * 8 + p / 8) * image.Width +
                                                             cell % Columns * 8 + p % 8)],
                      expected[static_cast<std::size_t>(p)])
                << "cell " << cell << " pixel " << p;
    }

    // The PNG's record sends the 37 tiles back to where they came from; the
    // 3 blank cells after them are not written, so that part of the cleared
    // copy stays as it is.
    std::vector<std::uint8_t> copy = rom;
    std::fill_n(copy.begin() + Address, 40 * bytesPerTile, 0xA5);
    const std::string copyPath = Write("copy.bin", copy);
    const Finished encoded = Run({"encode", PathOf("tiles.png"), copyPath});
    ASSERT_EQ(encoded.Status, 0) << encoded.Err;
    EXPECT_EQ(encoded.Err, "");
    std::vector<std::uint8_t> expected = copy;
    std::copy_n(rom.begin() + Address, Count * bytesPerTile, expected.begin() + Address);
    EXPECT_EQ(ReadWholeFile(copyPath), expected);
    // The report counts what differed from the cleared copy.
    std::size_t bytes = 0, tiles = 0;
    std::string offsets;
    for (std::size_t i = Address; i < Address + Count * bytesPerTile; ++i) {
        if (expected[i] == copy[i])
            continue;
        if (bytes++ < 8)
            offsets += " " + HexText(static_cast<std::int64_t>(i));
    }
    for (std::size_t tile = 0; tile < Count; ++tile) {
        const auto at = static_cast<long>(Address + tile * bytesPerTile);
        tiles += !std::equal(expected.begin() + at, expected.begin() + at + static_cast<long>(bytesPerTile),
                             copy.begin() + at);
    }
    EXPECT_EQ(encoded.Out, "wrote 37 tiles (" + std::to_string(Count * bytesPerTile) +
                               " bytes) at 0x13: " + std::to_string(tiles) + " tiles and " + std::to_string(bytes) +
                               " bytes differ, first at" + offsets + "\n");
}

TEST_F(Cli, UneditedDecodeThenEncodeLeavesTheWholeRomAsItWas)
{
    struct Case {
        std::string Mode, Address;
        int Count, Columns;
        std::vector<std::string> EncodeOptions;  // besides the PNG and the ROM
    };
    const std::vector<Case> cases = {
        {"gb", "0x13", 3, 16, {}},
        {"nes", "0", 32, 16, {}},
        {"snes3", "5", 7, 3, {}},
        {"gba8", "64", 10, 5, {}},
        {"1bpp", "1", 1, 1, {}},
        {"genesis", "100", 33, 8, {"--mode", "genesis"}},
        {"gg", "$7", 20, 6, {"--dry-run"}},
        {"vb", "0x200", 13, 4, {"--mode", "vb", "--address", "512"}},
    };
    const std::vector<std::uint8_t> rom = RandomBytes(4000, 21);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Mode + " " + std::to_string(c.Count) + " tiles, " + std::to_string(c.Columns) + " a row");
        const std::string romPath = Write("rom.bin", rom), png = PathOf("sheet.png");
        const Finished decoded = Run({"decode", romPath, "--mode", c.Mode, "--address", c.Address, "--count",
                                      std::to_string(c.Count), "--columns", std::to_string(c.Columns), "-o", png});
        ASSERT_EQ(decoded.Status, 0) << decoded.Err;
        std::vector<std::string> encode = {"encode", png, romPath};
        encode.insert(encode.end(), c.EncodeOptions.begin(), c.EncodeOptions.end());
        const Finished encoded = Run(encode);
        EXPECT_EQ(encoded.Status, 0) << encoded.Err;
        EXPECT_EQ(encoded.Err, "");
        const std::size_t bytes = std::size_t(c.Count) * StandardModes[*ModeFromShortName(c.Mode)].BytesPerTile;
        EXPECT_EQ(encoded.Out, (c.EncodeOptions == std::vector<std::string>{"--dry-run"} ? "would write "
                                                                                         : "found already in place ") +
                                   std::to_string(c.Count) + " tiles (" + std::to_string(bytes) + " bytes) at " +
                                   HexText(*ParseAddress(c.Address)) + ": 0 tiles and 0 bytes differ\n");
        EXPECT_EQ(ReadWholeFile(romPath), rom);
    }
}

TEST_F(Cli, EncodeTakesGivenOptionsOverTheRecordAndSaysWhatItAssumes)
{
    // 3 Game Boy tiles at 0x13 in a 16-cell row; the ROM is all 0x5A, so
    // every written tile shows in the file.
    const std::string romPath = Write("rom.bin", std::vector<std::uint8_t>(1024, 0x5A)), png = PathOf("s.png");
    ASSERT_EQ(Run({"decode", romPath, "--mode", "gb", "--address", "0x13", "--count", "3", "-o", png}).Status, 0);
    Loaded<IndexedImage> sheet = ReadIndexedPng(png);
    sheet.Indices.assign(sheet.Indices.size(), 1);  // every cell painted, padding too
    auto save = [&](const std::string& name, std::vector<PngText> texts) {
        IndexedImage image = sheet;
        image.Texts = std::move(texts);
        EXPECT_FALSE(WriteIndexedPng(PathOf(name), image));
        return PathOf(name);
    };
    const std::string recorded = save("recorded.png", sheet.Texts), bare = save("bare.png", {});
    std::vector<PngText> texts = sheet.Texts;
    texts[2].Value = "3x";
    const std::string damaged = save("damaged.png", texts);
    IndexedImage padded = sheet;  // padding the mode cannot hold, never written
    std::fill(padded.Indices.begin() + 24, padded.Indices.begin() + 128, 7);
    ASSERT_FALSE(WriteIndexedPng(PathOf("padded.png"), padded));
    IndexedImage narrow = sheet;  // the same cells, 8 a row
    narrow.Width = 64;
    narrow.Height = 16;
    ASSERT_FALSE(WriteIndexedPng(PathOf("narrow.png"), narrow));
    struct Case {
        std::vector<std::string> Arguments;
        int Status;
        std::int64_t Address, Bytes;  // the block of 0xFF 0x00 pairs written
        std::string Err;
    };
    const std::string note = "brixel-cli: note: ", nothing = "; nothing was written\n";
    const std::string noRecord = " holds no record of a decode";
    const std::string narrowPng = PathOf("narrow.png");
    // clang-format off
    const std::vector<Case> cases = {
        {{recorded}, 0, 0x13, 48, ""},
        {{PathOf("padded.png")}, 0, 0x13, 48, ""},
        {{recorded, "--count", "5"}, 0, 0x13, 80, note + recorded +
            " was decoded as 3 tiles of mode gb at 0x13; the options given make it 5 tiles of mode gb at 0x13\n"},
        {{bare, "--mode", "gb", "--address", "0x13"}, 0, 0x13, 256, note + bare + noRecord +
            ", so all its 16 cells are taken as tiles (--count N takes the first N only)\n"},
        {{bare, "--address", "0x13"}, 2, 0, 0,
            "brixel-cli: missing option --mode (" + bare + noRecord + ")\nTry 'brixel-cli encode --help'.\n"},
        {{damaged}, 1, 0, 0, "brixel-cli: " + damaged + ": the value '3x' of its text \"Brixel count\" does not " +
            "read (give --mode, --address and --count to write it anyway)" + nothing},
        {{narrowPng}, 1, 0, 0, "brixel-cli: " + narrowPng + " is 64 pixels wide, but was decoded 16 tiles (128 " +
            "pixels) a row; give --count to write its cells in their new order" + nothing}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Err);
        Write("rom.bin", std::vector<std::uint8_t>(1024, 0x5A));
        std::vector<std::string> arguments = {"encode", c.Arguments[0], romPath};
        arguments.insert(arguments.end(), c.Arguments.begin() + 1, c.Arguments.end());
        const Finished run = Run(arguments);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(run.Err, c.Err);
        std::vector<std::uint8_t> expected(1024, 0x5A);
        for (std::int64_t i = 0; i < c.Bytes; ++i)
            expected[static_cast<std::size_t>(c.Address + i)] = i % 2 == 0 ? 0xFF : 0x00;
        EXPECT_EQ(ReadWholeFile(romPath), expected);
    }
}

TEST_F(Cli, DashOWritesStandardOutputAndNoOutputReplacesAnythingButAFile)
{
    const std::string romPath = Write("rom.bin", RandomBytes(512, 6));
    const std::vector<std::string> decode = {"decode", romPath, "--mode", "snes4", "--address", "7", "--count", "9"};
    auto decodeTo = [&](const std::string& output) {
        std::vector<std::string> arguments = decode;
        arguments.insert(arguments.end(), {"-o", output});
        return Run(arguments);
    };
    ASSERT_EQ(decodeTo(PathOf("file.png")).Status, 0);
    const Finished piped = decodeTo("-");
    EXPECT_EQ(piped.Status, 0) << piped.Err;
    EXPECT_EQ(piped.Out, Text(ReadWholeFile(PathOf("file.png"))));

    const std::string palette = Write("in.pal", BuildRiffPalette(DefaultWorkingPalette()));
    const Finished converted = Run({"palette", palette, "-o", "-", "--format", "jasc"});
    EXPECT_EQ(converted.Status, 0) << converted.Err;
    EXPECT_EQ(converted.Out, Text(BuildJascPalette(DefaultWorkingPalette())));
    EXPECT_EQ(converted.Err, "wrote 1 color set(s) to standard output\n");

    ASSERT_EQ(::mkfifo(PathOf("fifo").c_str(), 0600), 0);
    const Finished refused = decodeTo(PathOf("fifo"));
    EXPECT_EQ(refused.Status, 1);
    EXPECT_EQ(refused.Err,
              "brixel-cli: could not write " + PathOf("fifo") + ": it is a named pipe, not a regular file\n");
    EXPECT_TRUE(std::filesystem::is_fifo(PathOf("fifo")));
}

TEST_F(Cli, DecodeWritesSheetsUpToTheTallestPngAndRefusesTallerOnesFirst)
{
    // 1bpp tiles, one a row: 131072 tiles make a sheet 2^20 pixels high.
    const std::string romPath = Write("rom.bin", RandomBytes((1u << 20) + 8, 3));
    Finished run = Run({"decode", romPath, "--mode", "1bpp", "--address", "0", "--count", "131072", "--columns", "1",
                        "-o", PathOf("tall.png")});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const Loaded<IndexedImage> tall = ReadIndexedPng(PathOf("tall.png"));
    ASSERT_FALSE(tall.Error) << tall.Error->Text;
    EXPECT_EQ(tall.Height, 1 << 20);
    run = Run({"decode", romPath, "--mode", "1bpp", "--address", "0", "--count", "131073", "--columns", "1", "-o",
               PathOf("taller.png")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "brixel-cli: a sheet of 131073 tiles, 1 a row, would be 8 x 1048584 pixels; a PNG holds at "
                       "most 16384 x 16384 pixels and no side above 1048576: give fewer tiles or other --columns\n");
    EXPECT_FALSE(std::filesystem::exists(PathOf("taller.png")));
}

TEST_F(Cli, ModesListsEachModeOnceWithItsSizes)
{
    const Finished modes = Run({"modes"});
    ASSERT_EQ(modes.Status, 0);
    EXPECT_EQ(modes.Out,
              "1bpp\t8\t1\t1 bit per pixel\ngb\t16\t2\tGameboy\nnes\t16\t2\tNES\nvb\t16\t2\tVirtual Boy\n"
              "gba4\t32\t4\tGBA 4bpp\ngba8\t64\t8\tGBA 8bpp\nsnes4\t32\t4\tSNES 4bpp\nsnes3\t24\t3\tSNES 3bpp\n"
              "snes8\t64\t8\tSNES 8bpp\nngp\t16\t2\tNeo Geo Pocket\ngenesis\t32\t4\tSega Genesis\n"
              "gg\t32\t4\tGG, MS, WSC\n");
}

TEST_F(Cli, PaletteImageFromPilEncodesToTheModesBytes)
{
    // The python3 on the path may be a private one without PIL; the system's is tried next.
    std::string python;
    for (const std::string candidate : {"python3", "/usr/bin/python3"})
        if (python.empty() && RunProgram({candidate, "-c", "import PIL"}).Status == 0)
            python = candidate;
    if (python.empty())
        GTEST_SKIP() << "no python3 with PIL";
    // 16 x 8, index (x * 7 + y * 3) % 16, a 16-color palette.
    const std::string png = PathOf("pil.png");
    const Finished made =
        RunProgram({python, "-c",
                    "import sys\nfrom PIL import Image\nim = Image.new('P', (16, 8))\n"
                    "im.putpalette([v for i in range(16) for v in (i * 16, 255 - i * 16, i)])\n"
                    "im.putdata([(x * 7 + y * 3) % 16 for y in range(8) for x in range(16)])\nim.save(sys.argv[1])\n",
                    png});
    ASSERT_EQ(made.Status, 0) << made.Err;

    for (const std::string name : {"gba4", "snes4", "genesis", "gg", "gba8", "snes8"}) {
        SCOPED_TRACE(name);
        const GraphicsMode mode = *ModeFromShortName(name);
        const std::vector<std::uint8_t> rom = RandomBytes(300, 5);
        const std::string romPath = Write("rom.bin", rom);
        const Finished encoded = Run({"encode", png, romPath, "--mode", name, "--address", "&H40"});
        ASSERT_EQ(encoded.Status, 0) << encoded.Err;
        std::vector<std::uint8_t> expected = rom;
        for (int tile = 0; tile < 2; ++tile) {
            std::array<std::uint8_t, 64> pixels{};
            for (int p = 0; p < 64; ++p)
                pixels[static_cast<std::size_t>(p)] =
                    static_cast<std::uint8_t>(((tile * 8 + p % 8) * 7 + p / 8 * 3) % 16);
            const std::vector<std::uint8_t> bytes = ReferenceEncode(mode, pixels);
            std::copy(bytes.begin(), bytes.end(), expected.begin() + 0x40 + tile * static_cast<long>(bytes.size()));
        }
        EXPECT_EQ(ReadWholeFile(romPath), expected);
    }

    // Modes of fewer bits name the first pixel, in reading order, they cannot hold.
    const std::vector<std::uint8_t> rom(300, 0x5A);
    const std::string romPath = Write("rom.bin", rom);
    const Finished gb = Run({"encode", png, romPath, "--mode", "gb", "--address", "0"});
    EXPECT_EQ(gb.Status, 1);
    EXPECT_EQ(gb.Err, "brixel-cli: pixel (1, 0) has index 7, above 3, the largest of mode gb; nothing was written\n");
    const Finished snes3 = Run({"encode", png, romPath, "--mode", "snes3", "--address", "0"});
    EXPECT_EQ(snes3.Err,
              "brixel-cli: pixel (2, 0) has index 14, above 7, the largest of mode snes3; nothing was written\n");
    EXPECT_EQ(ReadWholeFile(romPath), rom);
}

TEST_F(Cli, EncodeRefusesWhatItCannotWriteAndLeavesTheRomAlone)
{
    const std::vector<std::uint8_t> rom = RandomBytes(1000, 3);
    const std::string romPath = Write("rom.bin", rom);
    std::vector<std::uint8_t> samples(192);
    std::iota(samples.begin(), samples.end(), std::uint8_t{0});
    const std::string truecolor = Write("rgb.png", WritePlainPng({8, 8, 8, 2, samples, {}}));
    Finished run = Run({"encode", truecolor, romPath, "--mode", "gb", "--address", "0", "--build-palette"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "brixel-cli: " + truecolor +
                           ": the picture has 64 colors; mode gb takes at most 4; nothing was "
                           "written\n");

    const std::string narrow =
        Write("narrow.png", WritePlainPng({12, 8, 8, 3, std::vector<std::uint8_t>(96), {0, 0, 0}}));
    run = Run({"encode", narrow, romPath, "--mode", "gb", "--address", "0"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "brixel-cli: the image is 12 x 8 pixels; both sides must be multiples of 8\n");
    // Indices of a palette PNG are written as they are: no palette to map onto.
    for (const std::string option : {"--palette=x.pal", "--build-palette"}) {
        run = Run({"encode", narrow, romPath, "--mode", "gb", "--address", "0", option});
        EXPECT_EQ(run.Status, 2) << option;
        EXPECT_NE(run.Err.find("is an indexed PNG"), std::string::npos) << run.Err;
    }

    // Two Game Boy tiles are 32 bytes: they fit at 968 and no later.
    const std::string two =
        Write("two.png", WritePlainPng({16, 8, 8, 3, std::vector<std::uint8_t>(128, 1), {0, 0, 0}}));
    run = Run({"encode", two, romPath, "--mode", "gb", "--address", "969"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "brixel-cli: the 2 tiles would end at 0x3E9, past the end of the file (1000 bytes); nothing "
                       "was written\n");
    EXPECT_EQ(ReadWholeFile(romPath), rom);
    run = Run({"encode", two, romPath, "--mode", "gb", "--address", "968"});
    EXPECT_EQ(run.Status, 0) << run.Err;
    std::vector<std::uint8_t> expected = rom;
    for (std::size_t i = 968; i < 1000; ++i)
        expected[i] = i % 2 == 0 ? 0xFF : 0x00;  // index 1: low plane set, high plane clear
    EXPECT_EQ(ReadWholeFile(romPath), expected);
}

TEST_F(Cli, DryRunReportsTheChangesAndWritesNothing)
{
    std::vector<std::uint8_t> pixels(64, 0);
    pixels[0] = 3;
    pixels[9] = 1;  // (1, 1)
    const std::string png = Write("one.png", WritePlainPng({8, 8, 8, 3, pixels, {0, 0, 0}}));
    const std::string romPath = Write("rom.bin", std::vector<std::uint8_t>(64, 0));
    Finished run = Run({"encode", png, romPath, "--mode", "gb", "--address", "0x10", "--dry-run"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "would write 1 tiles (16 bytes) at 0x10: 1 tiles and 3 bytes differ, first at 0x10 0x11 0x12\n");
    EXPECT_EQ(ReadWholeFile(romPath), std::vector<std::uint8_t>(64, 0));
    run = Run({"encode", png, romPath, "--mode", "gb", "--address", "0x10"});
    EXPECT_EQ(run.Out, "wrote 1 tiles (16 bytes) at 0x10: 1 tiles and 3 bytes differ, first at 0x10 0x11 0x12\n");
    std::vector<std::uint8_t> expected(64, 0);
    expected[0x10] = 0x80;
    expected[0x11] = 0x80;
    expected[0x12] = 0x40;
    EXPECT_EQ(ReadWholeFile(romPath), expected);
    run = Run({"encode", png, romPath, "--mode", "gb", "--address", "0x10"});
    EXPECT_EQ(run.Out, "found already in place 1 tiles (16 bytes) at 0x10: 0 tiles and 0 bytes differ\n");
}

TEST_F(Cli, DecodeTakesEveryAddressFormAndRefusesTilesPastTheEnd)
{
    const std::string romPath = Write("rom.bin", RandomBytes(1000, 8));
    std::vector<std::uint8_t> first;
    for (const std::string address : {"40", "0x28", "0X28", "$28", "&H28", "&h28"}) {
        const Finished run =
            Run({"decode", romPath, "--mode", "nes", "--address", address, "--count", "3", "-o", PathOf("a.png")});
        ASSERT_EQ(run.Status, 0) << address << run.Err;
        if (first.empty())
            first = ReadWholeFile(PathOf("a.png"));
        EXPECT_EQ(ReadWholeFile(PathOf("a.png")), first) << address;
    }
    const Finished equals =
        Run({"decode", romPath, "--mode=nes", "--address=0x28", "--count=3", "-o", PathOf("b.png")});
    EXPECT_EQ(equals.Status, 0);
    EXPECT_EQ(ReadWholeFile(PathOf("b.png")), first);

    Finished run =
        Run({"decode", romPath, "--mode", "gb", "--address", "0x3D9", "--count", "2", "-o", PathOf("c.png")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "brixel-cli: tiles 0x3D9 to 0x3F8 lie past the end of the file (1000 bytes)\n");
    EXPECT_FALSE(std::filesystem::exists(PathOf("c.png")));
    run = Run({"decode", romPath, "--mode", "gb", "--address", "968", "--count", "2", "-o", PathOf("c.png")});
    EXPECT_EQ(run.Status, 0);
}

TEST_F(Cli, DecodePaletteComesFromAPaletteFile)
{
    Palette256 colors{};
    std::mt19937 random(4);
    for (PackedColor& color : colors)
        color = random() & 0xFFFFFF;
    const std::string palette = Write("colors.pal", BuildRiffPalette(colors));
    const std::string romPath = Write("rom.bin", RandomBytes(256, 2));
    struct Case {
        std::string Mode;
        std::size_t Entries;
        int Depth;
    };
    for (const Case& c : {Case{"gb", 4, 2}, Case{"snes3", 8, 4}, Case{"1bpp", 2, 1}, Case{"gba8", 256, 8}}) {
        SCOPED_TRACE(c.Mode);
        const Finished run = Run({"decode", romPath, "--mode", c.Mode, "--address", "0", "--count", "2", "--palette",
                                  palette, "--palette-size", "mode", "-o", PathOf("p.png")});
        ASSERT_EQ(run.Status, 0) << run.Err;
        PlainPng png;
        ASSERT_TRUE(ReadPlainPng(ReadWholeFile(PathOf("p.png")), png));
        EXPECT_EQ(png.BitDepth, c.Depth);
        const Loaded<IndexedImage> image = ReadIndexedPng(PathOf("p.png"));
        EXPECT_EQ(image.Palette,
                  std::vector<PackedColor>(colors.begin(), colors.begin() + static_cast<long>(c.Entries)));
    }
    const Finished all = Run({"decode", romPath, "--mode", "gb", "--address", "0", "--count", "1", "--palette", palette,
                              "-o", PathOf("q.png")});
    ASSERT_EQ(all.Status, 0);
    EXPECT_EQ(ReadIndexedPng(PathOf("q.png")).Palette, std::vector<PackedColor>(colors.begin(), colors.end()));
}

TEST_F(Cli, WrongCallsExitTwoWithTheProblem)
{
    const std::string romPath = Write("rom.bin", RandomBytes(64, 1));
    const std::string out = PathOf("o.png");
    struct Case {
        std::vector<std::string> Arguments;
        std::string Err;
    };
    const std::string decodeHelp = "\nTry 'brixel-cli decode --help'.\n";
    const std::vector<Case> cases = {
        {{"frobnicate"}, "brixel-cli: unknown command 'frobnicate'\nTry 'brixel-cli --help'.\n"},
        {{"decode", romPath, "--mode", "gb", "--address", "0", "-o", out},
         "brixel-cli: missing option --count" + decodeHelp},
        {{"decode", romPath, "--mode", "snes2", "--address", "0", "--count", "1", "-o", out},
         "brixel-cli: unknown mode 'snes2' (brixel-cli modes lists them)" + decodeHelp},
        {{"decode", romPath, "--mode", "gb", "--address", "0", "--count", "0", "-o", out},
         "brixel-cli: --count must be a whole number of tiles, 1 or more" + decodeHelp},
        {{"decode", romPath, "--mode", "gb", "--address", "0", "--count", "1", "--columns", "0", "-o", out},
         "brixel-cli: --columns must be a whole number from 1 to 131072" + decodeHelp},
        {{"decode", romPath, "--mode", "gb", "--address", "0", "--count", "1", "--palette-size", "4", "-o", out},
         "brixel-cli: --palette-size takes 'all' or 'mode'" + decodeHelp},
        {{"decode", romPath, "--mode"}, "brixel-cli: option --mode needs a value" + decodeHelp},
        {{"decode", romPath, "--mode", "gb", "--mode", "nes"}, "brixel-cli: option --mode given twice" + decodeHelp},
        {{"encode", romPath, "--mode", "gb", "--address", "0"},
         "brixel-cli: encode takes an image and a ROM file\nTry 'brixel-cli encode --help'.\n"},
        {{"encode", "a.png", romPath, "--bogus"},
         "brixel-cli: unknown option --bogus\nTry 'brixel-cli encode --help'.\n"},
        {{"encode", "a.png", romPath, "--mode", "gb", "--address", "0", "--dry-run=yes"},
         "brixel-cli: option --dry-run takes no value\nTry 'brixel-cli encode --help'.\n"},
        {{"checksum"}, "brixel-cli: checksum takes one ROM file\nTry 'brixel-cli checksum --help'.\n"},
        {{"palette", "a.pal"}, "brixel-cli: missing option -o\nTry 'brixel-cli palette --help'.\n"},
        {{"palette", "a.pal", "-o", "b.xyz"},
         "brixel-cli: the extension of b.xyz names no palette format the program writes; give one with --format\n"
         "Try 'brixel-cli palette --help'.\n"},
        {{"palette", "a.pal", "-o", "b.pal", "--format", "nesticle"},
         "brixel-cli: the program only reads that palette format\nTry 'brixel-cli palette --help'.\n"},
        {{"decode", romPath, "--mode", "gb", "--address", "0", "--count", "1", "--palette", "x.gif", "-o", out},
         "brixel-cli: the extension of x.gif names no palette format the program reads" + decodeHelp},
        {{"modes", "all"}, "brixel-cli: modes takes no arguments\nTry 'brixel-cli modes --help'.\n"},
    };
    for (const Case& c : cases) {
        const Finished run = Run(c.Arguments);
        EXPECT_EQ(run.Status, 2) << c.Err;
        EXPECT_EQ(run.Err, c.Err);
        EXPECT_EQ(run.Out, "");
    }
    for (const std::string address : {"0xZZ", "12abc", "-5", "$", "&H", "", "2147483648", "0x80000000", "1.5"}) {
        const Finished run = Run({"decode", romPath, "--mode", "gb", "--address", address, "--count", "1", "-o", out});
        EXPECT_EQ(run.Status, 2) << address;
        EXPECT_EQ(run.Err, "brixel-cli: '" + address +
                               "' is no address: give decimal digits, or hexadecimal after 0x, $ or &H" + decodeHelp);
    }
    const Finished nothing = Run({});
    EXPECT_EQ(nothing.Status, 2);
    EXPECT_EQ(nothing.Err.rfind("brixel-cli: no command given\nUsage: brixel-cli COMMAND", 0), 0u);
    EXPECT_EQ(ReadWholeFile(romPath), RandomBytes(64, 1));
}

TEST_F(Cli, HelpOfEveryCommandExitsZero)
{
    for (const std::string command :
         {"", "modes", "decode", "encode", "checksum", "palette", "scan", "unpack", "pack", "tilemap"}) {
        std::vector<std::string> arguments;
        if (!command.empty())
            arguments.push_back(command);
        arguments.push_back("--help");
        const Finished run = Run(arguments);
        EXPECT_EQ(run.Status, 0) << command;
        EXPECT_EQ(run.Err, "");
        const std::string usage = command.empty() ? "Usage: brixel-cli COMMAND" : "Usage: brixel-cli " + command;
        EXPECT_EQ(run.Out.rfind(usage, 0), 0u) << run.Out;
    }
}

TEST_F(Cli, ChecksumShowsAndRepairsTheGameBoyHeader)
{
    std::vector<std::uint8_t> rom(0x150);
    for (std::size_t i = 0; i < rom.size(); ++i)
        rom[i] = static_cast<std::uint8_t>(i * 13 + 1);
    const std::string title = "BRIXELTESTROM01";
    std::copy(title.begin(), title.end(), rom.begin() + 0x134);
    rom[0x14D] = 0x5C;
    rom[0x14E] = 0x01;
    rom[0x14F] = 0x23;
    // The sums straight from the header's definition.
    unsigned global = 0;
    for (std::size_t i = 0; i < rom.size(); ++i)
        global += (i == 0x14E || i == 0x14F) ? 0 : rom[i];
    global &= 0xFFFF;
    std::uint8_t header = 0;
    for (std::size_t i = 0x134; i <= 0x14C; ++i)
        header = static_cast<std::uint8_t>(header - rom[i] - 1);
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  "Title: BRIXELTESTROM01\nGlobal checksum: stored 123, computed %X\nHeader checksum: stored 5C, "
                  "computed %02X\n",
                  global, header);
    const std::string romPath = Write("game.gb", rom);
    Finished run = Run({"checksum", romPath});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, expected);

    run = Run({"checksum", romPath, "--fix"});
    EXPECT_EQ(run.Status, 0) << run.Err;
    char written[64];
    std::snprintf(written, sizeof written, "Global checksum written: %X\n", global);
    EXPECT_EQ(run.Out, std::string(expected) + written);
    rom[0x14E] = static_cast<std::uint8_t>(global >> 8);
    rom[0x14F] = static_cast<std::uint8_t>(global);
    EXPECT_EQ(ReadWholeFile(romPath), rom);

    const std::string shortPath = Write("short.gb", std::vector<std::uint8_t>(0x140, 0));
    run = Run({"checksum", shortPath});
    EXPECT_EQ(run.Out, "Title: " + std::string(12, '\0') +
                           "\nGlobal checksum: stored n/a, computed 0\n"
                           "Header checksum: stored n/a, computed n/a\n");
    run = Run({"checksum", shortPath, "--fix"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "brixel-cli: The file is shorter than 336 bytes, so it has no Gameboy header to hold the "
                       "checksum. Nothing was written.\n");
    EXPECT_EQ(ReadWholeFile(shortPath), std::vector<std::uint8_t>(0x140, 0));
}

TEST_F(Cli, PaletteConvertsBetweenFormatsAndBack)
{
    Palette256 colors{};
    std::mt19937 random(9);
    for (PackedColor& color : colors)
        color = random() & 0xFFFFFF;
    const std::vector<std::uint8_t> jasc = BuildJascPalette(colors);
    const std::string in = Write("in.pal", jasc);

    Finished run = Run({"palette", in, "-o", PathOf("riff.pal")});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(ReadWholeFile(PathOf("riff.pal")), BuildRiffPalette(colors));
    run = Run({"palette", PathOf("riff.pal"), "-o", PathOf("own.bxp")});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "wrote 1 color set(s) to " + PathOf("own.bxp") + "\n");
    run = Run({"palette", PathOf("own.bxp"), "-o", PathOf("back.txt"), "--format", "jasc"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(ReadWholeFile(PathOf("back.txt")), jasc);

    run = Run({"palette", PathOf("missing.pal"), "-o", PathOf("x.pal")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "brixel-cli: " + PathOf("missing.pal") + ": Could not find the selected file.\n");
}

TEST_F(Cli, PaletteUsageNamesEveryFormatAndItsExtension)
{
    const Finished run = Run({"palette", "--help"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "Usage: brixel-cli palette IN -o OUT [--from NAME] [--format NAME]\n"
                       "Converts a palette file. IN's format comes from its extension (or --from),\n"
                       "OUT's from its extension (or --format). Names and extensions:\n"
                       "  bxp (*.bxp), riff (*.pal), jasc (*.pal), act (*.act), gpl (*.gpl),\n"
                       "  paintnet (*.txt), hex (*.hex), tlp (*.pal), and, read only,\n"
                       "  nesticle (*.st?), vgba (*.sta), nocash (*.sna), zsnes (*.zs?),\n"
                       "  boycott (*.cot), cygne (*.wss), png (*.png), bess (*.s?;*.ss?),\n"
                       "  fceux (*.fc?). A *.pal file is read as the first of riff, jasc and tlp\n"
                       "  that takes it, and written as riff. -o - writes the file to standard\n"
                       "  output; it needs --format.\n");
}

TEST_F(Cli, PaletteConvertsGimpPalettesAndHexLists)
{
    const std::string text = "GIMP Palette\nName: Two\n# c\n255 0 16\tRed\n 1 2 3\n";
    const std::string gpl = Write("in.gpl", std::vector<std::uint8_t>(text.begin(), text.end()));
    Finished run = Run({"palette", gpl, "-o", PathOf("out.hex")});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(Text(ReadWholeFile(PathOf("out.hex"))).substr(0, 21), "ff0010\n010203\n000000\n");
    run = Run({"palette", PathOf("out.hex"), "-o", "-", "--format", "gpl"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string head =
        "GIMP Palette\nName: Hex palette\nColumns: 16\n#\n255   0  16\tIndex 0\n  1   2   3\tIndex 1\n";
    EXPECT_EQ(run.Out.substr(0, head.size()), head);
}

TEST_F(Cli, PaletteConvertsAdobeColorTables)
{
    Palette256 colors{};
    std::mt19937 random(4);
    for (PackedColor& color : colors)
        color = random() & 0xFFFFFF;
    const std::string riff = Write("in.pal", BuildRiffPalette(colors));

    Finished run = Run({"palette", riff, "-o", PathOf("out.act")});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(ReadWholeFile(PathOf("out.act")), BuildActPalette(colors));
    run = Run({"palette", PathOf("out.act"), "-o", "-", "--format", "riff"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, Text(BuildRiffPalette(colors)));

    const std::string odd = Write("odd.act", std::vector<std::uint8_t>(770, 0));
    run = Run({"palette", odd, "-o", PathOf("x.pal")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err,
              "brixel-cli: " + odd + ": Not an Adobe color table. Filesize must be 768 or 772 bytes, not 770.\n");
}

TEST_F(Cli, FindPrintsWhereAPlantedTileStands)
{
    // A Game Boy tile at an odd offset of a zero ROM, turned into the query
    // picture by decode; all modes are searched.
    std::vector<std::uint8_t> rom(4096, 0);
    const std::vector<std::uint8_t> tile = {0x3C, 0x00, 0x42, 0x42, 0x81, 0x00, 0x81, 0xFF,
                                            0xFF, 0x81, 0x81, 0x00, 0x81, 0x81, 0x00, 0x00};
    std::copy(tile.begin(), tile.end(), rom.begin() + 1001);
    const std::string romPath = Write("rom.gb", rom);
    ASSERT_EQ(
        Run({"decode", romPath, "--mode", "gb", "--address", "1001", "--count", "1", "-o", PathOf("q.png")}).Status, 0);

    Finished found = Run({"find", romPath, "--query", PathOf("q.png")});
    ASSERT_EQ(found.Status, 0) << found.Err;
    // Best first: the tile in its own colors and mode.
    EXPECT_EQ(found.Out.substr(0, found.Out.find('\n')), "0x3E9 1001 gb 0 none 1 exact");
    found = Run({"find", romPath, "--query", PathOf("q.png"), "--mode", "gb"});
    EXPECT_EQ(found.Out, "0x3E9 1001 gb 0 none 1 exact\n");
    EXPECT_EQ(found.Err, "1 match found.\n");

    // Only the one mode asked for.
    found = Run({"find", romPath, "--query", PathOf("q.png"), "--mode", "nes"});
    EXPECT_EQ(found.Out, "");
    EXPECT_EQ(found.Err, "No match found.\n");

    // A picture of one color finds nothing to look for.
    IndexedImage flat{8, 8, std::vector<std::uint8_t>(64, 1), {0, 0xFFFFFF}, 8, {}};
    ASSERT_FALSE(WriteIndexedPng(PathOf("flat.png"), flat));
    found = Run({"find", romPath, "--query", PathOf("flat.png")});
    EXPECT_EQ(found.Status, 1);
    EXPECT_EQ(found.Err, std::string("brixel-cli: ") + OnlyUniformQueryText + "\n");
    EXPECT_EQ(Run({"find", romPath}).Status, 2);
    EXPECT_EQ(Run({"find", "--help"}).Status, 0);
}

// A query picture of 4096 different tiles is searched, one of 4097 refused
// before anything is searched.
TEST_F(Cli, FindRefusesAPictureOfTooManyDifferentTiles)
{
    const std::string romPath = Write("rom.gb", std::vector<std::uint8_t>(4096, 0));
    const std::string query = PathOf("many.png");
    const std::string tooMany =
        "brixel-cli: " + query + " has 4097 different tiles; at most 4096 different tiles can be looked for at once.\n";
    for (const auto& [different, status, err] :
         {std::tuple{4096, 0, std::string("No match found.\n")}, {4097, 1, tooMany}}) {
        SCOPED_TRACE(different);
        // Tile t carries t's bits in its first pixels; 64 tiles a row, the
        // last row filled up with copies of tile 0.
        IndexedImage picture{64 * 8, (different + 63) / 64 * 8, {}, {0, 0x808080, 0xFFFFFF}, 8};
        picture.Indices.resize(static_cast<std::size_t>(picture.Width * picture.Height));
        for (int t = 0; t < picture.Width / 8 * picture.Height / 8; ++t)
            for (int i = 0; i < 64; ++i)
                picture.Indices[std::size_t(((t / 64) * 8 + i / 8) * picture.Width + (t % 64) * 8 + i % 8)] =
                    std::uint8_t(i == 63                   ? 2
                                 : i < 16 && t < different ? (t >> i) & 1
                                                           : 0);
        ASSERT_FALSE(WriteIndexedPng(query, picture));
        const Finished found = Run({"find", romPath, "--query", query, "--mode", "gb"});
        EXPECT_EQ(found.Status, status);
        EXPECT_EQ(found.Err, err);
    }
}

namespace {

// A literal-only LZ77 stream of the GBA BIOS format: 0x10, the size in 3
// bytes (low first), then a flag byte of 0 before each 8 literal bytes.
std::vector<std::uint8_t> LiteralLz77(const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> stream = {0x10, static_cast<std::uint8_t>(data.size()),
                                        static_cast<std::uint8_t>(data.size() >> 8),
                                        static_cast<std::uint8_t>(data.size() >> 16)};
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i % 8 == 0)
            stream.push_back(0);
        stream.push_back(data[i]);
    }
    return stream;
}

}  // namespace

TEST_F(Cli, ScanListsPlantedStreamsAndUnpackGivesTheirData)
{
    std::vector<std::uint8_t> rom(4096, 0);
    const std::vector<std::uint8_t> tiles = RandomBytes(512, 31), odd = RandomBytes(264, 32);
    const auto plant = [&](std::size_t address, const std::vector<std::uint8_t>& data) {
        const std::vector<std::uint8_t> stream = LiteralLz77(data);
        std::copy(stream.begin(), stream.end(), rom.begin() + static_cast<long>(address));
    };
    plant(0x400, tiles);  // 580 packed bytes
    plant(0x900, odd);    // 301 packed bytes
    const std::string romPath = Write("rom.bin", rom), zeros = Write("zeros.bin", std::vector<std::uint8_t>(4096));
    const std::string header = "ADDRESS  CODEC  PACKED  UNPACKED  TILES\n";
    const std::string first = "0x400    lz77      580       512  yes\n";
    const std::string second = "0x900    lz77      301       264  no\n";
    struct Case {
        std::vector<std::string> Arguments;
        std::string Out;
    };
    const std::vector<Case> cases = {
        {{"scan", romPath, "--codec", "lz77"}, header + first + second},
        {{"scan", romPath, "--codec=lz77", "--min-size", "265", "--every-address"}, header + first},
        {{"scan", zeros}, "no compressed streams found\n"},
    };
    for (const Case& c : cases) {
        const Finished run = Run(c.Arguments);
        EXPECT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, c.Out);
        EXPECT_EQ(run.Err, "");
    }

    for (const auto& [address, data, packed] : {std::tuple{"0x400", tiles, 580}, std::tuple{"$900", odd, 301}}) {
        const Finished run = Run({"unpack", romPath, "--codec", "lz77", "--address", address, "-o", PathOf("out")});
        ASSERT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, "unpacked the lz77 stream at " + HexText(*ParseAddress(address)) + ": " +
                               std::to_string(packed) + " bytes into " + std::to_string(data.size()) + ", written to " +
                               PathOf("out") + "\n");
        EXPECT_EQ(ReadWholeFile(PathOf("out")), data);
    }
}

TEST_F(Cli, PackThenUnpackGivesTheFileBack)
{
    const std::vector<std::uint8_t> data = RandomBytes(3000, 33);
    const std::string input = Write("data.bin", data), packed = PathOf("packed.bin");
    for (const std::vector<std::string>& vram : {std::vector<std::string>{}, {"--no-vram-safe"}}) {
        std::vector<std::string> arguments = {"pack", input, "--codec", "lz77", "-o", packed};
        arguments.insert(arguments.end(), vram.begin(), vram.end());
        const Finished pack = Run(arguments);
        ASSERT_EQ(pack.Status, 0) << pack.Err;
        EXPECT_EQ(pack.Out, "packed 3000 bytes into " + std::to_string(ReadWholeFile(packed).size()) +
                                " of lz77, written to " + packed + "\n");
        const Finished unpack = Run({"unpack", packed, "--codec", "lz77", "--address", "0", "-o", "-"});
        ASSERT_EQ(unpack.Status, 0) << unpack.Err;
        EXPECT_EQ(unpack.Out, Text(data));
    }
}

TEST_F(Cli, StreamCommandsRefuseWhatTheyCannotDo)
{
    const std::string romPath = Write("rom.bin", std::vector<std::uint8_t>(4096)), out = PathOf("out.bin");
    const std::string tooLarge = PathOf("large.bin");
    Write("large.bin", {});
    std::filesystem::resize_file(tooLarge, (16 << 20) + 1);
    struct Case {
        std::vector<std::string> Arguments;
        int Status;
        std::string Err;
    };
    const auto usage = [](const std::string& command) { return "\nTry 'brixel-cli " + command + " --help'.\n"; };
    const std::vector<Case> cases = {
        {{"scan", PathOf("none.bin")}, 1, "brixel-cli: The file '" + PathOf("none.bin") + "' does not exist.\n"},
        {{"scan", romPath, "--codec", "zip"},
         2,
         "brixel-cli: unknown codec 'zip' (codecs: " + StreamCodecShortNames() + ")" + usage("scan")},
        {{"scan", romPath, "--min-size", "0"},
         2,
         "brixel-cli: --min-size wants a byte count from 1 to 16777216" + usage("scan")},
        {{"scan", romPath, "--max-size", "16777217"},
         2,
         "brixel-cli: --max-size wants a byte count from 1 to 16777216" + usage("scan")},
        {{"unpack", romPath, "--codec", "lz77", "--address", "4096", "-o", out},
         1,
         "brixel-cli: no lz77 stream at 0x1000: the file is only 4096 bytes long\n"},
        {{"unpack", romPath, "--codec", "lz77", "--address", "0x1x", "-o", out},
         2,
         "brixel-cli: '0x1x' is no address: give decimal digits, or hexadecimal after 0x, $ or &H" + usage("unpack")},
        {{"unpack", romPath, "--codec", "lz77", "--address", "0"},
         2,
         "brixel-cli: missing option -o" + usage("unpack")},
        {{"pack", tooLarge, "--codec", "lz77", "-o", out},
         1,
         "brixel-cli: " + tooLarge + " is 16777217 bytes; pack takes at most 16777216\n"},
        {{"pack", PathOf("none.bin"), "--codec", "lz77", "-o", out},
         1,
         "brixel-cli: could not read " + PathOf("none.bin") + ": no such file\n"},
    };
    for (const Case& c : cases) {
        const Finished run = Run(c.Arguments);
        EXPECT_EQ(run.Status, c.Status) << c.Err;
        EXPECT_EQ(run.Err, c.Err);
        EXPECT_EQ(run.Out, "");
    }
    // Zeros hold no stream: the codec's reason is passed on.
    const Finished refused = Run({"unpack", romPath, "--codec", "lz77", "--address", "0x10", "-o", out});
    EXPECT_EQ(refused.Status, 1);
    EXPECT_EQ(refused.Err.rfind("brixel-cli: the lz77 stream at 0x10 does not unpack: ", 0), 0u) << refused.Err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(Cli, DecodeAndEncodeWorkOnTheUnpackedBytesOfAStream)
{
    const StreamCodec& rle = *StreamCodecNamed("rle");
    std::vector<std::uint8_t> tiles(1024);
    for (std::size_t i = 0; i < tiles.size(); ++i)
        tiles[i] = static_cast<std::uint8_t>(i / 96 * 0x11);
    const std::vector<std::uint8_t> stream = rle.Pack(tiles, {}).Bytes;
    std::vector<std::uint8_t> rom = RandomBytes(4096, 7);
    std::copy(stream.begin(), stream.end(), rom.begin() + 0x100);
    const std::string romPath = Write("rom.gba", rom), sheet = PathOf("sheet.png");
    const std::string gba4 = std::string(ModeShortName(ModeGba4bpp));
    ASSERT_EQ(Run({"decode", romPath, "--mode", gba4, "--address", "0", "--count", "32", "--codec", "rle", "--stream",
                   "0x100", "-o", sheet})
                  .Status,
              0);
    Loaded<IndexedImage> image = ReadIndexedPng(sheet);
    ASSERT_FALSE(image.Error);

    // One pixel changed goes back into the stream, packed again in place;
    // the PNG's record names the stream, so no option is needed.
    image.Indices[0] = 9;
    ASSERT_FALSE(WriteFileAtomically(sheet, EncodeIndexedPng(image)));
    const Finished changed = Run({"encode", sheet, romPath});
    ASSERT_EQ(changed.Status, 0) << changed.Err;
    std::vector<std::uint8_t> expected = tiles;
    expected[0] = static_cast<std::uint8_t>((expected[0] & 0xF0) | 9);
    const std::vector<std::uint8_t> written = ReadWholeFile(romPath);
    EXPECT_EQ(rle.Unpack(std::span(written).subspan(0x100), DefaultUnpackLimit).Bytes, expected);
    EXPECT_TRUE(std::equal(written.begin() + 0x100 + static_cast<long>(stream.size()), written.end(),
                           rom.begin() + 0x100 + static_cast<long>(stream.size())));

    // The changed tile is found inside the stream, named by it.
    const Finished found = Run({"find", romPath, "--query", sheet, "--mode", gba4, "--in-streams"});
    EXPECT_EQ(found.Status, 0) << found.Err;
    EXPECT_EQ(found.Out.rfind("0x00 0 " + gba4 + " 0 ", 0), 0u) << found.Out;
    EXPECT_NE(found.Out.find(" rle 0x100\n"), std::string::npos) << found.Out;

    // Noise does not fit the stream's room: refused, nothing written.
    for (std::size_t i = 0; i < image.Indices.size(); ++i)
        image.Indices[i] = static_cast<std::uint8_t>((i * 7 + i / 5) % 16);
    ASSERT_FALSE(WriteFileAtomically(sheet, EncodeIndexedPng(image)));
    const Finished refused = Run({"encode", sheet, romPath});
    EXPECT_EQ(refused.Status, 1);
    EXPECT_NE(
        refused.Err.find("bytes, but its room holds " + std::to_string(stream.size()) + " bytes; nothing was written."),
        std::string::npos)
        << refused.Err;
    EXPECT_EQ(ReadWholeFile(romPath), written);
}

TEST_F(Cli, DecodeInABlockLayoutPlacesEachTileInItsBlockAndEncodeWritesThemBack)
{
    // 1bpp tiles of distinct bytes; the row-order sheet with one tile a row
    // shows tile t in cell t.
    std::vector<std::uint8_t> rom = RandomBytes(512, 7);
    const std::string romPath = Write("rom.bin", rom);
    const std::string rows = PathOf("rows.png"), blocks = PathOf("blocks.png");
    ASSERT_EQ(Run({"decode", romPath, "--mode", "1bpp", "--address", "8", "--count", "10", "--columns", "1", "-o", rows})
                  .Status,
              0);
    const Finished decoded = Run({"decode", romPath, "--mode", "1bpp", "--address", "8", "--count", "10", "--columns",
                                  "4", "--layout", "2x2,col", "-o", blocks});
    ASSERT_EQ(decoded.Status, 0) << decoded.Err;
    const Loaded<IndexedImage> inRows = ReadIndexedPng(rows), inBlocks = ReadIndexedPng(blocks);
    ASSERT_FALSE(inRows.Error || inBlocks.Error);
    // Written out by hand: blocks of 2x2 filled down each column; -1 blank.
    const int cells[4][4] = {{0, 2, 4, 6}, {1, 3, 5, 7}, {8, -1, -1, -1}, {9, -1, -1, -1}};
    ASSERT_EQ(inBlocks.Width, 32);
    ASSERT_EQ(inBlocks.Height, 32);
    for (int line = 0; line < 4; ++line)
        for (int column = 0; column < 4; ++column)
            for (int p = 0; p < 64; ++p) {
                const int tile = cells[line][column];
                const std::uint8_t shown =
                    inBlocks.Indices[static_cast<std::size_t>((line * 8 + p / 8) * 32 + column * 8 + p % 8)];
                const std::uint8_t expected =
                    tile < 0 ? 0 : inRows.Indices[static_cast<std::size_t>((tile * 8 + p / 8) * 8 + p % 8)];
                ASSERT_EQ(shown, expected) << "cell " << column << "," << line;
            }
    EXPECT_NE(std::find(inBlocks.Texts.begin(), inBlocks.Texts.end(), PngText{"Brixel layout", "2x2,col"}),
              inBlocks.Texts.end());

    // Unedited, encode finds every tile in place in the recorded layout.
    Finished encoded = Run({"encode", blocks, romPath});
    EXPECT_EQ(encoded.Out, "found already in place 10 tiles (80 bytes) at 0x08: 0 tiles and 0 bytes differ\n");
    for (const char* layout : {"1x2", "2x2", "4x4,col", "3x2"}) {
        ASSERT_EQ(Run({"decode", romPath, "--mode", "gb", "--address", "3", "--count", "29", "--columns", "12",
                       "--layout", layout, "-o", PathOf("l.png")})
                      .Status,
                  0);
        EXPECT_EQ(Run({"encode", PathOf("l.png"), romPath}).Out,
                  "found already in place 29 tiles (464 bytes) at 0x03: 0 tiles and 0 bytes differ\n")
            << layout;
    }
    EXPECT_EQ(ReadWholeFile(romPath), rom);
    // A change in the cell of tile 9 is written to tile 9 alone.
    IndexedImage edited = inBlocks;
    edited.Indices[static_cast<std::size_t>(24 * 32)] ^= 1;
    ASSERT_FALSE(WriteIndexedPng(blocks, edited));
    encoded = Run({"encode", blocks, romPath});
    EXPECT_EQ(encoded.Out, "wrote 10 tiles (80 bytes) at 0x08: 1 tiles and 1 bytes differ, first at 0x50\n");
    rom[0x50] ^= 0x80;
    EXPECT_EQ(ReadWholeFile(romPath), rom);

    // The sprite's four tiles are found where they follow each other.
    ASSERT_EQ(Run({"decode", romPath, "--mode", "1bpp", "--address", "0x28", "--count", "4", "--columns", "2",
                   "--layout", "2x2,col", "-o", PathOf("sprite.png")})
                  .Status,
              0);
    const Finished found = Run({"find", romPath, "--query", PathOf("sprite.png"), "--mode", "1bpp", "--exact",
                                "--neighbours", "--layout", "2x2,col"});
    EXPECT_EQ(found.Out.substr(0, found.Out.find('\n')), "0x28 40 1bpp 0 none 4 exact");

    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--columns", "3", "--layout", "2x2"}, {"--layout", "9x1"}, {"--layout", "2x2,diag"}})
    {
        std::vector<std::string> call = {"decode", romPath, "--mode", "1bpp", "--address", "0", "--count", "4", "-o",
                                         PathOf("x.png")};
        call.insert(call.end(), wrong.begin(), wrong.end());
        EXPECT_EQ(Run(call).Status, 2) << wrong.back();
    }
}

TEST_F(Cli, TilemapDrawsEntriesWithTheirTilesRowsAndFlips)
{
    // A GBA map of two entries at 0x10 (tile 1, row 2, h-flip; tile 0) and
    // 4bpp tiles at 0x40: tile 1 has index 5 in its top-left pixel.
    std::vector<std::uint8_t> rom(0x80, 0);
    rom[0x10] = 0x01, rom[0x11] = 0x24;
    rom[0x60] = 0x05;
    const std::string romPath = Write("map.gba", rom), png = PathOf("map.png");
    const std::vector<std::string> map = {"--format", "gba",  "--address",      "0x10", "--width", "2", "--height", "1",
                                          "--tiles",  "0x40", "--palette-base", "1",    "-o",      png};
    std::vector<std::string> arguments = {"tilemap", romPath};
    arguments.insert(arguments.end(), map.begin(), map.end());
    const Finished run = Run(arguments);
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "drew the 2 x 1 gba map at 0x10 (4 bytes), tiles 0 to 1 of mode gba4 from 0x40, into " + png +
                           " (16 x 8 pixels)\n");
    const Loaded<IndexedImage> image = ReadIndexedPng(png);
    ASSERT_FALSE(image.Error);
    ASSERT_EQ(image.Width, 16);
    ASSERT_EQ(image.Height, 8);
    const Palette256 colors = DefaultWorkingPalette();
    EXPECT_EQ(image.Palette, std::vector<PackedColor>(colors.begin(), colors.end()));
    std::vector<std::uint8_t> expected(16 * 8, 16);  // the second entry: row 1, blank
    for (int y = 0; y < 8; ++y)
        std::fill_n(expected.begin() + y * 16, 8, 48);  // the first: row 3
    expected[7] = 53;                                   // its pixel 5, mirrored to the right
    EXPECT_EQ(image.Indices, expected);

    // The same bytes as a compressed stream draw the same picture.
    const std::vector<std::uint8_t> stream = StreamCodecNamed("rle")->Pack(rom, {}).Bytes;
    std::vector<std::uint8_t> packed(0x100, 0xEE);
    packed.insert(packed.end(), stream.begin(), stream.end());
    const std::vector<std::uint8_t> first = ReadWholeFile(png);
    arguments[1] = Write("packed.gba", packed);
    arguments.insert(arguments.end(), {"--codec", "rle", "--stream", "0x100"});
    ASSERT_EQ(Run(arguments).Status, 0);
    EXPECT_EQ(ReadWholeFile(png), first);

    // A map that does not fit before the end of the file is refused.
    const Finished tooLong = Run({"tilemap", romPath, "--format", "md", "--address", "0x70", "--width", "3", "--height",
                                  "3", "--tiles", "0", "-o", PathOf("no.png")});
    EXPECT_EQ(tooLong.Status, 1);
    EXPECT_EQ(tooLong.Err, "brixel-cli: the map 0x70 to 0x81 lies past the end of the file (128 bytes)\n");
    EXPECT_FALSE(std::filesystem::exists(PathOf("no.png")));
}

TEST_F(Cli, TilemapRefusesWrongCalls)
{
    const std::string romPath = Write("rom.bin", RandomBytes(64, 1));
    const std::vector<std::string> valid = {"tilemap", romPath,   "--format", "gb",           "--address",
                                            "0",       "--width", "2",        "--height",     "2",
                                            "--tiles", "0",       "-o",       PathOf("o.png")};
    const std::string help = "\nTry 'brixel-cli tilemap --help'.\n";
    // The valid call with one option's value changed, or the option added.
    const auto with = [&](const std::string& name, const std::string& value) {
        std::vector<std::string> arguments = valid;
        const auto at = std::find(arguments.begin(), arguments.end(), name);
        if (at == arguments.end())
            arguments.insert(arguments.end(), {name, value});
        else
            *(at + 1) = value;
        return arguments;
    };
    std::vector<std::string> signedNes = with("--format", "nes");
    signedNes.push_back("--signed");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {with("--format", "snes2"), "unknown tilemap format 'snes2' (formats: gb, nes, snes, gba, gba8, md)"},
        {with("--width", "0"), "--width must be a whole number of entries from 1 to 256"},
        {with("--height", "257"), "--height must be a whole number of entries from 1 to 256"},
        {with("--tiles", "0x"), "--tiles: '0x' is no address: give decimal digits, or hexadecimal after 0x, $ or &H"},
        {with("--palette-base", "256"), "--palette-base must be a palette row from 0 to 255"},
        {signedNes, "--signed is for Game Boy maps (--format gb) only"},
    };
    for (const auto& [arguments, message] : cases) {
        const Finished run = Run(arguments);
        EXPECT_EQ(run.Status, 2) << message;
        EXPECT_EQ(run.Err, "brixel-cli: " + message + help);
        EXPECT_FALSE(std::filesystem::exists(PathOf("o.png")));
    }
    const Finished missing = Run({"tilemap", romPath, "--format", "gb", "--address", "0", "-o", PathOf("o.png")});
    EXPECT_EQ(missing.Status, 2);
    EXPECT_EQ(missing.Err, "brixel-cli: missing option --width" + help);
}

TEST_F(Cli, RomPaletteReadsAndWritesConsoleColors)
{
    const std::string md = Write("md.bin", {0xAA, 0xAA, 0xAA, 0xAA, 0x00, 0x0E, 0x0E, 0xEE, 0xFF});
    Palette256 colors{};
    colors[0] = MakePackedColor(255, 0, 0);
    colors[1] = MakePackedColor(255, 255, 255);
    Finished run = Run({"rompalette", md, "--encoding", "md9", "--address", "0x4", "--count", "2", "-o", "-",
                        "--format", "jasc"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, Text(BuildJascPalette(colors)));

    colors[0] = MakePackedColor(0, 0, 255);
    const std::string in = Write("in.pal", BuildJascPalette(colors));
    const std::string gg = Write("gg.bin", std::vector<std::uint8_t>(8, 0xFF));
    run = Run({"rompalette", gg, "--encoding", "gg12", "--address", "2", "--count", "2", "--write", in});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "color 0 at 0x02: 0xFFFF -> 0xFF00\nwrote 2 colors at 0x02 of " + gg + ", 1 changed\n");
    const std::vector<std::uint8_t> written{0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ReadWholeFile(gg), written);

    run = Run({"rompalette", gg, "--encoding", "gg12", "--address", "6", "--count", "2", "--write", in});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "brixel-cli: the 2 colors at 0x06 reach past the end of " + gg + " (8 bytes)\n");
    EXPECT_EQ(ReadWholeFile(gg), written);

    run = Run({"rompalette", "--help"});
    for (const char* name : {"rgb15", "bgr15", "nes", "md9", "sms6", "gg12", "ngpc12", "gba15"})
        EXPECT_NE(run.Out.find(std::string("  ") + name + " "), std::string::npos) << name;
}

TEST_F(Cli, TruecolorPicturesFromPilMapOntoThePaletteOrBringTheirOwn)
{
    std::string python;
    for (const std::string candidate : {"python3", "/usr/bin/python3"})
        if (python.empty() && RunProgram({candidate, "-c", "import PIL"}).Status == 0)
            python = candidate;
    if (python.empty())
        GTEST_SKIP() << "no python3 with PIL";
    const Palette256 defaults = DefaultWorkingPalette();
    auto rgb = [](PackedColor c) {
        return "[" + std::to_string(RedOf(c)) + "," + std::to_string(GreenOf(c)) + "," + std::to_string(BlueOf(c)) +
               "]";
    };
    const PackedColor blue1 = BlueOf(defaults[1]);
    const PackedColor off1 = (defaults[1] & 0xFFFF) | ((blue1 < 128 ? blue1 + 3 : blue1 - 3) << 16);
    Palette256 grays = defaults;
    for (int i = 0; i < 4; ++i)
        grays[static_cast<std::size_t>(i)] = MakePackedColor(i * 85, i * 85, i * 85);
    const std::string grayPalette = Write("grays.pal", BuildJascPalette(grays));
    // Pixel (x, y) of the 16 x 8 picture has color k = (x * 7 + y * 3) % 4
    // of the four given; row 0 meets them as k = 0, 3, 2, 1.
    int ones = 0;
    for (int p = 0; p < 128; ++p)
        ones += (p % 16 * 7 + p / 16 * 3) % 4 == 1;
    const std::string mappedNote = "brixel-cli: note: PNG mapped onto the first 4 colors of ";
    const struct {
        const char* Name;
        const char* PilMode;
        std::string Colors;
        std::vector<std::string> Options;
        std::array<int, 4> IndexOfK;
        std::string Err;
    } cases[] = {
        {"exact",
         "RGB",
         "[" + rgb(defaults[0]) + "," + rgb(defaults[1]) + "," + rgb(defaults[2]) + "," + rgb(defaults[3]) + "]",
         {},
         {0, 1, 2, 3},
         mappedNote + "the default palette: all 128 pixels matched a palette color exactly\n"},
        {"off by 3 in blue",
         "RGB",
         "[" + rgb(defaults[0]) + "," + rgb(off1) + "," + rgb(defaults[2]) + "," + rgb(defaults[3]) + "]",
         {},
         {0, 1, 2, 3},
         mappedNote + "the default palette: " + std::to_string(ones) +
             " pixels were not an exact match; the largest color error was 3.0\n"},
        {"gray onto a palette file",
         "L",
         "[0,80,170,255]",
         {"--palette", grayPalette},
         {0, 1, 2, 3},
         mappedNote + grayPalette + ": " + std::to_string(ones) +
             " pixels were not an exact match; the largest color error was 8.7\n"},
        {"alpha, own colors",
         "RGBA",
         "[[1,2,3,0],[9,9,9,255],[5,5,5,255],[7,7,7,200]]",
         {"--build-palette"},
         {0, 3, 2, 1},
         "brixel-cli: note: PNG: its 4 colors became indices 0 to 3 in order of first appearance\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string png = PathOf("picture.png");
        const Finished made = RunProgram(
            {python, "-c",
             "import sys, json\nfrom PIL import Image\n"
             "c = [tuple(v) if isinstance(v, list) else v for v in json.loads(sys.argv[3])]\n"
             "im = Image.new(sys.argv[2], (16, 8))\n"
             "im.putdata([c[(x * 7 + y * 3) % 4] for y in range(8) for x in range(16)])\nim.save(sys.argv[1])\n",
             png, c.PilMode, c.Colors});
        ASSERT_EQ(made.Status, 0) << made.Err;
        const std::vector<std::uint8_t> rom(100, 0xA5);
        const std::string romPath = Write("rom.bin", rom);
        std::vector<std::string> arguments{"encode", png, romPath, "--mode", "gb", "--address", "4", "--count", "2"};
        arguments.insert(arguments.end(), c.Options.begin(), c.Options.end());
        const Finished run = Run(arguments);
        ASSERT_EQ(run.Status, 0) << run.Err;
        std::string err = run.Err;
        err.replace(err.find(png), png.size(), "PNG");
        EXPECT_EQ(err, c.Err);
        std::vector<std::uint8_t> expected = rom;
        for (int tile = 0; tile < 2; ++tile) {
            std::array<std::uint8_t, 64> pixels{};
            for (int p = 0; p < 64; ++p)
                pixels[static_cast<std::size_t>(p)] = static_cast<std::uint8_t>(
                    c.IndexOfK[static_cast<std::size_t>(((tile * 8 + p % 8) * 7 + p / 8 * 3) % 4)]);
            const std::vector<std::uint8_t> bytes = ReferenceEncode(ModeGameboy, pixels);
            std::copy(bytes.begin(), bytes.end(), expected.begin() + 4 + tile * static_cast<long>(bytes.size()));
        }
        EXPECT_EQ(ReadWholeFile(romPath), expected);

        // One bit a pixel shows two colors: too few to bring four.
        const Finished refused = Run({"encode", png, romPath, "--mode", "1bpp", "--address", "0", "--build-palette"});
        EXPECT_EQ(refused.Status, 1);
        EXPECT_NE(refused.Err.find("the picture has 4 colors; mode 1bpp takes at most 2; nothing was written"),
                  std::string::npos)
            << refused.Err;
        EXPECT_EQ(ReadWholeFile(romPath), expected);
    }
}
