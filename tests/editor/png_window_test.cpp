#include "model/core/indexed_png.h"
#include "support/viewer_fixture.h"
#include "ui/app/main_form.h"
#include "ui/app/tools.h"
#include "ui/browser/browser.h"
#include "ui/editor/editor.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QToolButton>

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

// What PIL reads from a PNG: mode, size, one index byte a pixel (row by
// row) and the palette as red, green, blue bytes.
struct PilView {
    QList<QByteArray> Header;  // mode, width, height
    QByteArray Indices;
    QByteArray Palette;
    int Index(int x, int y) const { return static_cast<std::uint8_t>(Indices.at(y * Header.at(1).toInt() + x)); }
    PackedColor Color(int entry) const
    {
        const auto part = [&](int c) { return static_cast<std::uint8_t>(Palette.at(3 * entry + c)); };
        return MakePackedColor(part(0), part(1), part(2));
    }
};

PilView ReadWithPil(const QString& python, const std::string& path)
{
    QProcess process;
    process.start(python, {QStringLiteral("-c"),
                           QStringLiteral("import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1])\n"
                                          "print(im.mode, im.size[0], im.size[1])\nprint(bytes(im.getdata()).hex())\n"
                                          "print(bytes(im.getpalette()).hex())\n"),
                           QString::fromStdString(path)});
    process.waitForFinished(20000);
    const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    if (lines.size() < 3)
        return {};
    return {lines[0].split(' '), QByteArray::fromHex(lines[1]), QByteArray::fromHex(lines[2])};
}

class PngWindow : public ViewerFixture {
protected:
    void Click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
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

    const std::string editorPath = (dir.Path() / "editor.png").string();
    dialogs.QueueFile({editorPath, 1});
    Click(w->Tools->BtPngExport);
    ASSERT_EQ(dialogs.Prompts.back().Text, "PNG image (*.png)|*.png");
    const PilView editor = ReadWithPil(python, editorPath);
    ASSERT_EQ(editor.Header, (QList<QByteArray>{"P", "128", "128"}));
    EXPECT_EQ(editor.Index(11, 13), 200);
    EXPECT_EQ(editor.Index(127, 127), 254);
    EXPECT_EQ(editor.Index(12, 13), 0);
    ASSERT_EQ(editor.Palette.size(), 768);
    for (const int entry : {0, 200, 254})
        EXPECT_EQ(editor.Color(entry), state.WorkingPalette[entry]) << entry;

    // GBA 4bpp from address 0: 32 bytes a tile, 4 a row, the left pixel in
    // the low nibble.
    const int columns = state.BrowserColumns;
    const int width = columns * 8;
    const int height = state.BrowserLines * 8;
    const std::string gridPath = (dir.Path() / "grid.png").string();
    dialogs.QueueFile({gridPath, 1});
    Click(w->Tools->BtPngBrowser);
    const PilView grid = ReadWithPil(python, gridPath);
    ASSERT_EQ(grid.Header, (QList<QByteArray>{"P", QByteArray::number(width), QByteArray::number(height)}));
    for (const auto& [x, y] :
         {std::pair{0, 0}, {1, 0}, {9, 3}, {width - 1, 7}, {5, height - 1}, {width - 1, height - 1}}) {
        const std::uint8_t byte =
            rom[static_cast<std::size_t>(((y / 8) * columns + x / 8) * 32 + (y % 8) * 4 + (x % 8) / 2)];
        EXPECT_EQ(grid.Index(x, y), x % 2 == 0 ? byte & 15 : byte >> 4) << x << ", " << y;
    }
    ASSERT_EQ(grid.Palette.size(), 768);
    for (const int entry : {1, 15, 200})
        EXPECT_EQ(grid.Color(entry), state.WorkingPalette[entry]) << entry;
}

TEST_F(PngWindow, GridExportNeedsAFileAndAnExistingFileIsReplacedOnlyAfterAYes)
{
    Click(w->Tools->BtPngBrowser);
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].Text, "Open a file first: the browser grid shows the tiles of the open file.");
    EXPECT_EQ(dialogs.Prompts[0].Caption, "No file open");

    const std::string path = dir.WriteFile("kept.png", {1, 2, 3});
    for (const bool yes : {false, true}) {
        dialogs.QueueFile({path, 1});
        dialogs.QueueYesNo(yes);
        Click(w->Tools->BtPngExport);
        EXPECT_EQ(dialogs.Prompts.back().Text, "Overwrite existing file?");
        EXPECT_EQ(ReadIndexedPng(path).Width, yes ? 128 : 0);
    }
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

    IndexedImage png;
    png.Width = png.Height = 8;
    png.Indices.assign(64, 1);
    png.Palette = {MakePackedColor(7, 8, 9), MakePackedColor(1, 200, 3)};
    dialogs.QueueFile({dir.WriteFile("small.png", EncodeIndexedPng(png)), 1});
    Click(w->Tools->BtPngImport);
    EXPECT_EQ(dialogs.Prompts.back().Text, "The PNG picture is 8 x 8 pixels; the editor takes 128 x 128.");
    unchanged();

    png.Width = png.Height = 128;
    png.Indices.assign(128 * 128, 1);
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

TEST_F(PngWindow, TruecolorFromPilMapsOntoTheModesColorsOrAfterAYesBringsItsOwn)
{
    const QString python = PythonWithPil();
    if (python.isEmpty())
        GTEST_SKIP() << "no python3 with PIL";
    OpenRom(CountingBytes(4096));
    SelectMode(ModeGameboy);
    const WorkingPaletteTable before = state.WorkingPalette;
    auto hex = [](PackedColor c) {
        char text[8];
        std::snprintf(text, sizeof text, "%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
        return QString::fromLatin1(text);
    };
    // Pixel (x, y) has color (x + y) % 4 of the four given.
    auto make = [&](const std::string& name, PackedColor first) {
        const std::string path = (dir.Path() / name).string();
        QProcess process;
        process.start(python,
                      {QStringLiteral("-c"),
                       QStringLiteral("import sys\nfrom PIL import Image\n"
                                      "c = [tuple(bytes.fromhex(h)) for h in sys.argv[2:]]\n"
                                      "im = Image.new('RGB', (128, 128))\n"
                                      "im.putdata([c[(x + y) % 4] for y in range(128) for x in range(128)])\n"
                                      "im.save(sys.argv[1])\n"),
                       QString::fromStdString(path), hex(first), hex(before[1]), hex(before[2]), hex(before[3])});
        EXPECT_TRUE(process.waitForFinished(20000) && process.exitCode() == 0) << process.readAllStandardError().data();
        return path;
    };
    auto indicesAre = [&] {
        for (const int slot : {0, 17, 255})
            for (const int p : {0, 9, 63})
                EXPECT_EQ(state.EditorSlots[slot].Pixels[p], (slot % 16 * 8 + p % 8 + slot / 16 * 8 + p / 8) % 4)
                    << slot << ", " << p;
    };

    dialogs.QueueFile({make("exact.png", before[0]), 1});
    Click(w->Tools->BtPngImport);
    EXPECT_EQ(form->LbInfo->text().toStdString(), "PNG import: all 16384 pixels matched a palette color exactly");
    indicesAre();
    EXPECT_EQ(state.WorkingPalette, before);

    // Color 0 off by 4 in red: mapped on No, the picture's own colors on Yes.
    const PackedColor off = before[0] ^ 4;
    const std::string offPath = make("off.png", off);
    for (const bool yes : {false, true}) {
        dialogs.QueueFile({offPath, 1});
        dialogs.QueueYesNo(yes);
        Click(w->Tools->BtPngImport);
        EXPECT_EQ(dialogs.Prompts.back().Caption, "PNG import");
        EXPECT_EQ(form->LbInfo->text().toStdString(),
                  yes ? "PNG import: the picture's colors became the first palette entries"
                      : "PNG import: 4096 pixels were not an exact match; the largest color error was 4.0");
        indicesAre();
        EXPECT_EQ(state.WorkingPalette[0], yes ? off : before[0]);
    }
    EXPECT_TRUE(dialogs.AllAnswersUsed());
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(w->Editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(state.WorkingPalette, before);
}
