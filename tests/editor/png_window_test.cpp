#include "app/main_form.h"
#include "app/tools.h"
#include "browser/browser.h"
#include "core/indexed_png.h"
#include "editor/editor.h"
#include "support/viewer_fixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <sstream>

namespace {

// A python3 that imports PIL: the one on the path may be a private one
// without it, so the system's is tried next. Empty when there is none.
QString PythonWithPil()
{
    for (const QString& candidate : {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
        QProcess process;
        process.start(candidate, {QStringLiteral("-c"), QStringLiteral("import PIL")});
        if (process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return candidate;
    }
    return {};
}

// What PIL sees in a PNG: its mode and size, the index at each asked
// pixel, then red, green, blue of each asked palette entry, all on one line.
std::string PilReport(const QString& python, const std::string& path, const std::vector<std::pair<int, int>>& pixels,
                      const std::vector<int>& entries)
{
    std::ostringstream points;
    for (const auto& [x, y] : pixels)
        points << "(" << x << "," << y << "),";
    std::ostringstream indices;
    for (int entry : entries)
        indices << entry << ",";
    const std::string script = "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1])\n"
                               "out = [im.mode, im.size[0], im.size[1]]\n"
                               "out += [im.getpixel(p) for p in [" +
                               points.str() +
                               "]]\n"
                               "pal = im.getpalette()\n"
                               "out += [pal[3 * i + c] for i in [" +
                               indices.str() +
                               "] for c in range(3)]\n"
                               "print(' '.join(str(v) for v in out))\n";
    QProcess process;
    process.start(python, {QStringLiteral("-c"), QString::fromStdString(script), QString::fromStdString(path)});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return "failed: " + process.readAllStandardError().toStdString();
    return process.readAllStandardOutput().trimmed().toStdString();
}

std::string Expected(const std::string& mode, int width, int height, const std::vector<int>& indices,
                     const WorkingPaletteTable& palette, const std::vector<int>& entries)
{
    std::ostringstream out;
    out << mode << " " << width << " " << height;
    for (int index : indices)
        out << " " << index;
    for (int entry : entries)
        out << " " << RedOf(palette[entry]) << " " << GreenOf(palette[entry]) << " " << BlueOf(palette[entry]);
    return out.str();
}

// A palette image of one index everywhere.
IndexedImage Image(int width, int height, std::vector<PackedColor> palette, int bitDepth, std::uint8_t index)
{
    IndexedImage image;
    image.Width = width;
    image.Height = height;
    image.Palette = std::move(palette);
    image.BitDepth = bitDepth;
    image.Indices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), index);
    return image;
}

class PngWindow : public ViewerFixture {
protected:
    void Click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    std::string PathOf(const std::string& name) const { return (dir.Path() / name).string(); }
};

TEST_F(PngWindow, ExportedEditorAndBrowserGridOpenInPilAsPaletteImages)
{
    const QString python = PythonWithPil();
    if (python.isEmpty())
        GTEST_SKIP() << "no python3 with PIL";
    std::vector<std::uint8_t> rom(8192);
    for (std::size_t i = 0; i < rom.size(); ++i)
        rom[i] = static_cast<std::uint8_t>(i * 37 + 11);
    OpenRom(rom);
    SelectMode(ModeGba4bpp);
    state.EditorSlots[17].Pixels[5 * 8 + 3] = 200;  // image (11, 13)
    state.EditorSlots[255].Pixels[63] = 254;        // image (127, 127)
    state.WorkingPalette[200] = MakePackedColor(12, 34, 56);
    state.WorkingPalette[254] = MakePackedColor(250, 1, 128);

    const std::string editorPath = PathOf("editor.png");
    dialogs.QueueFile({editorPath, 1});
    Click(w->Tools->BtPngExport);
    ASSERT_EQ(dialogs.Prompts.back().Text, "PNG image (*.png)|*.png");
    EXPECT_EQ(PilReport(python, editorPath, {{11, 13}, {127, 127}, {0, 0}}, {200, 254, 0}),
              Expected("P", 128, 128, {200, 254, 0}, state.WorkingPalette, {200, 254, 0}));

    // GBA 4bpp from address 0: 32 bytes a tile, 4 a row, the left pixel in
    // the low nibble.
    const int columns = state.BrowserColumns;
    auto fromRom = [&](int x, int y) {
        const int tile = (y / 8) * columns + x / 8;
        const std::uint8_t byte = rom[static_cast<std::size_t>(tile * 32 + (y % 8) * 4 + (x % 8) / 2)];
        return x % 2 == 0 ? byte & 15 : byte >> 4;
    };
    const int width = columns * 8;
    const int height = state.BrowserLines * 8;
    const std::vector<std::pair<int, int>> points = {{0, 0},         {1, 0},          {9, 3},
                                                     {width - 1, 7}, {5, height - 1}, {width - 1, height - 1}};
    std::vector<int> expected;
    for (const auto& [x, y] : points)
        expected.push_back(fromRom(x, y));
    const std::string gridPath = PathOf("grid.png");
    dialogs.QueueFile({gridPath, 1});
    Click(w->Tools->BtPngBrowser);
    EXPECT_EQ(PilReport(python, gridPath, points, {1, 15, 200}),
              Expected("P", width, height, expected, state.WorkingPalette, {1, 15, 200}));
}

TEST_F(PngWindow, BrowserExportWithoutAFileOnlySaysSoAndAnExistingFileNeedsAYes)
{
    Click(w->Tools->BtPngBrowser);
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].PromptKind, ScriptedDialogs::Kind::Message);
    EXPECT_EQ(dialogs.Prompts[0].Text, "Open a file first: the browser grid shows the tiles of the open file.");
    EXPECT_EQ(dialogs.Prompts[0].Caption, "No file open");

    const std::string path = dir.WriteFile("kept.png", {1, 2, 3});
    dialogs.QueueFile({path, 1});
    dialogs.QueueYesNo(false);
    Click(w->Tools->BtPngExport);
    EXPECT_EQ(dialogs.Prompts.back().Text, "Overwrite existing file?");
    EXPECT_EQ(std::filesystem::file_size(path), 3u);

    dialogs.QueueFile({path, 1});
    dialogs.QueueYesNo(true);
    Click(w->Tools->BtPngExport);
    const Loaded<IndexedImage> written = ReadIndexedPng(path);
    ASSERT_FALSE(written.Error) << written.Error->Text;
    EXPECT_EQ(written.Width, 128);
}

TEST_F(PngWindow, ImportIsOneStepThatCtrlZTakesBackAndAWrongSizeChangesNothing)
{
    OpenRom(CountingBytes(4096));
    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(state.EditorSlots[0].Address, 0);
    QCoreApplication::processEvents();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const EditorSlotTable slotsBefore = state.EditorSlots;
    const WorkingPaletteTable paletteBefore = state.WorkingPalette;
    auto unchanged = [&] {
        for (int i = 0; i < EditorSlotCount; ++i) {
            EXPECT_EQ(state.EditorSlots[i].Pixels, slotsBefore[i].Pixels) << i;
            EXPECT_EQ(state.EditorSlots[i].Address, slotsBefore[i].Address) << i;
            EXPECT_EQ(state.EditorSlots[i].Edited, slotsBefore[i].Edited) << i;
        }
        EXPECT_EQ(state.WorkingPalette, paletteBefore);
    };

    const IndexedImage small = Image(8, 8, {MakePackedColor(9, 9, 9)}, 8, 0);
    dialogs.QueueFile({dir.WriteFile("small.png", EncodeIndexedPng(small)), 1});
    Click(w->Tools->BtPngImport);
    EXPECT_EQ(dialogs.Prompts.back().Text, "The PNG picture is 8 x 8 pixels; the editor takes 128 x 128.");
    unchanged();

    const IndexedImage png = Image(128, 128, {MakePackedColor(7, 8, 9), MakePackedColor(1, 200, 3)}, 1, 1);
    dialogs.QueueFile({dir.WriteFile("in.png", EncodeIndexedPng(png)), 1});
    Click(w->Tools->BtPngImport);
    EXPECT_EQ(dialogs.Prompts.back().Text, "PNG image (*.png)|*.png");
    EXPECT_EQ(state.EditorSlots[0].Address, UnboundTile);
    TilePixels ones{};
    ones.fill(1);
    EXPECT_EQ(state.EditorSlots[0].Pixels, ones);
    EXPECT_EQ(state.EditorSlots[255].Pixels, ones);
    EXPECT_TRUE(state.EditorSlots[255].Edited);
    EXPECT_EQ(state.WorkingPalette[1], MakePackedColor(1, 200, 3));
    EXPECT_EQ(state.WorkingPalette[2], paletteBefore[2]);

    QTest::keyClick(w->Editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->LbInfo->text().toStdString(), "Undone: PNG import");
    unchanged();
}

}  // namespace
