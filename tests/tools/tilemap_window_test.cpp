// The tilemap window on a ROM: read a map, click an entry, change it and
// place the browser's tile, each a step that undo takes back; and a map
// inside a compressed stream.
#include "model/codec/stream_codecs.h"
#include "support/viewer_fixture.h"
#include "ui/app/undo_edge.h"
#include "ui/browser/browser.h"
#include "ui/tools/tilemap_view.h"
#include "ui/tools/tilemap_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int MapAt = 0x100, TilesAt = 0x400;

class TilemapWindowTest : public ViewerFixture {
protected:
    // A 4 x 4 SNES map of zeros at 0x100 (entry 9 names tile 3 with
    // palette 1), Game Boy tiles at 0x400.
    void SetUp() override
    {
        ViewerFixture::SetUp();
        rom_ = Bytes(0x1000, 0);
        rom_[MapAt + 9 * 2] = 0x03;
        rom_[MapAt + 9 * 2 + 1] = 0x04;  // palette 1 in bits 10-12
        for (int i = 0; i < 16; ++i)
            rom_[TilesAt + 3 * 16 + i] = static_cast<std::uint8_t>(0x11 * (i + 1));
        path_ = OpenRom(rom_);
        state.ShowSaveWarning = false;
        form->findChild<QAction*>(QStringLiteral("ILayTilemap"))->trigger();
        map_ = w->Tilemap;
        ASSERT_TRUE(map_->isVisible());
    }

    void ShowMap(const char* address, int sourceIndex)
    {
        map_->ComboMapSource->setCurrentIndex(sourceIndex);
        map_->EdMapAddress->setText(QString::fromLatin1(address));
        map_->SpinWidth->setValue(4);
        map_->SpinHeight->setValue(4);
        map_->ComboFormat->setCurrentIndex(map_->ComboFormat->findText(QStringLiteral("SNES")));
        map_->EdTilesAddress->setText(QStringLiteral("0x400"));
        map_->ComboTileMode->setCurrentIndex(1);  // Gameboy
        QTest::mouseClick(map_->BtShow, Qt::LeftButton);
    }

    // Clicks entry (column, line) at the view's zoom.
    void ClickEntry(int column, int line)
    {
        const int side = 8 * map_->View->Zoom();
        QTest::mouseClick(map_->View, Qt::LeftButton, {}, QPoint(column * side + 3, line * side + 3));
    }

    Bytes rom_;
    std::string path_;
    TilemapWindow* map_ = nullptr;
};

}  // namespace

TEST_F(TilemapWindowTest, AnEntryChangedWritesOnlyItsTwoBytesAndUndoPutsThemBack)
{
    ShowMap("0x100", 0);
    ASSERT_EQ(map_->Map().Entries.size(), 16u) << map_->LbStatus->text().toStdString();
    ClickEntry(1, 2);
    EXPECT_EQ(map_->LbEntry->text().toStdString(), "Entry 1, 2 at 0x112: tile 3 at 0x430");
    EXPECT_EQ(map_->SpinTile->value(), 3);
    EXPECT_EQ(map_->SpinPalette->value(), 1);
    // The entry's tile went to the editor's cursor cell, as stored.
    EXPECT_EQ(state.EditorSlots[0].Address, TilesAt + 3 * 16);
    EXPECT_EQ(state.EditorSlots[0].Mode, ModeGameboy);

    map_->SpinTile->setValue(0x2A5);
    map_->SpinPalette->setValue(6);
    map_->ChkFlipY->setChecked(true);
    // The save warning asks first, as before every write; "no" writes nothing.
    state.ShowSaveWarning = true;
    dialogs.QueueYesNo(false);
    QTest::mouseClick(map_->BtApply, Qt::LeftButton);
    EXPECT_EQ(ReadWholeFile(path_), rom_);
    dialogs.QueueYesNo(true);
    QTest::mouseClick(map_->BtApply, Qt::LeftButton);
    state.ShowSaveWarning = false;
    Bytes expected = rom_;
    // tile 0x2A5, palette 6 (bits 10-12), vertical flip (bit 15): 0x9AA5.
    expected[MapAt + 18] = 0xA5;
    expected[MapAt + 19] = 0x9A;
    EXPECT_EQ(ReadWholeFile(path_), expected);
    EXPECT_EQ(map_->Map().Entries[9].Tile, 0x2A5);  // read again after the write

    w->UndoEdge->Undo();
    EXPECT_EQ(ReadWholeFile(path_), rom_);
    EXPECT_EQ(map_->Map().Entries[9].Tile, 3);
}

TEST_F(TilemapWindowTest, PlacingTheBrowsersTileNamesItOrSaysWhyNot)
{
    ShowMap("256", 0);
    ClickEntry(0, 0);
    // The browser shows 1bpp tiles (8 bytes): its tile 2 lies at 16, before
    // the map's tiles.
    state.BrowserSelX = 2;
    QTest::mouseClick(map_->BtPlaceTile, Qt::LeftButton);
    ASSERT_FALSE(dialogs.Prompts.empty());
    EXPECT_EQ(dialogs.Prompts.back().Text,
              "The browser's selected tile at 0x10 is no tile an entry can name: the map's tiles start at 0x400 and "
              "are 16 bytes each.");
    EXPECT_EQ(ReadWholeFile(path_), rom_);

    // In Game Boy mode the browser's tile 5 from 0x400 is the map's tile 5.
    SelectMode(ModeGameboy);
    state.BrowserAddress = TilesAt;
    state.BrowserSelX = 5;
    QTest::mouseClick(map_->BtPlaceTile, Qt::LeftButton);
    Bytes expected = rom_;
    expected[MapAt] = 5;
    EXPECT_EQ(ReadWholeFile(path_), expected);
}

TEST_F(TilemapWindowTest, AMapInACompressedStreamIsWrittenBackPacked)
{
    const StreamCodec& rle = *StreamCodecNamed("rle");
    Bytes unpacked(32, 0);
    unpacked[9 * 2] = 3;
    const PackResult stream = rle.Pack(unpacked, {});
    Bytes rom = rom_;
    std::copy(stream.Bytes.begin(), stream.Bytes.end(), rom.begin() + 0x800);
    path_ = OpenRom(rom, "stream.gba");
    rom_ = rom;
    ShowMap("0x800", StreamCodecIndex("rle") + 1);
    ASSERT_EQ(map_->Map().Entries.size(), 16u) << map_->LbStatus->text().toStdString();
    EXPECT_EQ(map_->Map().Entries[9].Tile, 3);
    ClickEntry(1, 2);
    map_->SpinTile->setValue(7);
    QTest::mouseClick(map_->BtApply, Qt::LeftButton);
    unpacked[9 * 2] = 7;
    const Bytes written = ReadWholeFile(path_);
    UnpackResult back = rle.Unpack(std::span<const std::uint8_t>(written).subspan(0x800), DefaultUnpackLimit);
    EXPECT_EQ(back.Bytes, unpacked);
    w->UndoEdge->Undo();
    EXPECT_EQ(ReadWholeFile(path_), rom_);
}
