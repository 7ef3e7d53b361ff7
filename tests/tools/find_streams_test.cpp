// The road through a compressed stream in the windows: scan, open from the
// list, paint, Save all, undo; and a write that no longer fits.
#include "model/codec/shown_stream.h"
#include "model/codec/stream_codecs.h"
#include "model/codec/stream_scan.h"
#include "model/core/edit_recorder.h"
#include "model/editor/editor_slots.h"
#include "support/tile_like_data.h"
#include "support/viewer_fixture.h"
#include "ui/app/undo_edge.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/tools/find_streams.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int64_t StreamAt = 0x2000;

class FindStreamsWindow : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        lz77_ = StreamCodecNamed("lz77");
        ASSERT_NE(lz77_, nullptr);
        rom_ = RandomBytes(0x8000, 21);
        const PackResult stream = lz77_->Pack(unpacked_, {});
        room_ = stream.Bytes.size();
        std::copy(stream.Bytes.begin(), stream.Bytes.end(), rom_.begin() + StreamAt);
        path_ = OpenRom(rom_, "game.gba");
        SelectMode(ModeGba4bpp);
        state.ShowSaveWarning = false;
        find_ = w->FindStreams;
        find_->ShowTool();
    }

    // Scans for LZ77 streams and clicks the one planted.
    void OpenPlantedStream()
    {
        find_->ComboCodecs->setCurrentIndex(StreamCodecIndex("lz77") + 1);
        QSignalSpy ended(find_, &FindStreams::ScanEnded);
        QTest::mouseClick(find_->BtScan, Qt::LeftButton);
        ASSERT_TRUE(ended.count() > 0 || ended.wait(20000));
        int row = -1;
        for (std::size_t i = 0; i < find_->Found().size(); ++i)
            if (find_->Found()[i].Address == StreamAt)
                row = static_cast<int>(i);
        ASSERT_GE(row, 0) << find_->LbStatus->text().toStdString();
        QTreeWidgetItem* item = find_->ListStreams->topLevelItem(row);
        EXPECT_EQ(item->text(0).toStdString(), "0x2000");
        EXPECT_EQ(item->text(3).toStdString(), "2048");
        find_->ListStreams->scrollToItem(item);
        QTest::mouseClick(find_->ListStreams->viewport(), Qt::LeftButton, {},
                          find_->ListStreams->visualItemRect(item).center());
        ASSERT_NE(ShownStreamView(state), nullptr);
    }

    Bytes File() const { return ReadWholeFile(path_); }

    const StreamCodec* lz77_ = nullptr;
    Bytes unpacked_ = TileLikeData(2048, 4);
    Bytes rom_;
    std::size_t room_ = 0;
    std::string path_;
    FindStreams* find_ = nullptr;
};

TEST_F(FindStreamsWindow, AStreamOpenedFromTheScanIsPaintedSavedAndUndoneByteForByte)
{
    OpenPlantedStream();
    EXPECT_TRUE(w->Browser->windowTitle().endsWith(QStringLiteral(" - LZ77 at 0x2000, 2048 bytes unpacked")))
        << w->Browser->windowTitle().toStdString();
    EXPECT_EQ(state.TilesLength(), 2048);

    // Tile 0 of the stream into the editor, one pixel painted, Save all.
    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(state.EditorSlots[0].Address, 0);
    w->EditCtrl->OptionPaint->click();
    state.CurrentColor = 9;
    QTest::mousePress(w->Editor, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseRelease(w->Editor, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseClick(w->EditCtrl->BtSaveEdit, Qt::LeftButton);

    Bytes edited = unpacked_;
    edited[0] = static_cast<std::uint8_t>((edited[0] & 0xF0) | 9);
    const PackResult expected = lz77_->Pack(edited, {});
    Bytes saved = rom_;
    std::copy(expected.Bytes.begin(), expected.Bytes.end(), saved.begin() + StreamAt);
    EXPECT_EQ(File(), saved);

    w->UndoEdge->Undo();  // the save
    EXPECT_EQ(File(), rom_);
}

TEST_F(FindStreamsWindow, AWriteThatNoLongerFitsIsRefusedAndChangesNothing)
{
    OpenPlantedStream();
    // The first 32 tiles in the editor, then noise in every one of them: the
    // stream would grow past its room.
    const Bytes noise = RandomBytes(32 * 64, 5);
    RecordStep(state.Recorder, "noise", [&] {
        for (int slot = 0; slot < 32; ++slot) {
            LoadSlot(state, dialogs, slot * 32, slot);
            for (int i = 0; i < 64; ++i)
                state.EditorSlots[slot].Pixels[i] = noise[slot * 64 + i] & 15;
            state.EditorSlots[slot].Edited = true;
        }
        return true;
    });
    QTest::mouseClick(w->EditCtrl->BtSaveEdit, Qt::LeftButton);

    ASSERT_FALSE(dialogs.Prompts.empty());
    const std::string text = dialogs.Prompts.back().Text;
    EXPECT_NE(text.find("The packed LZ77 stream at 0x2000 would take "), std::string::npos) << text;
    EXPECT_NE(text.find(" bytes, but its room holds " + std::to_string(room_) + " bytes; nothing was written."),
              std::string::npos)
        << text;
    EXPECT_EQ(File(), rom_);
    EXPECT_EQ(UnsavedTileCount(state), 32);
}

}  // namespace
