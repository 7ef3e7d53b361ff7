#include "ui/editor/clipboard_actions.h"

#include "model/core/dialogs.h"
#include "model/core/program_state.h"
#include "model/editor/pasted_picture.h"
#include "model/editor/png_exchange.h"
#include "ui/browser/browser.h"
#include "ui/floor/refresh.h"
#include "ui/floor/shell.h"
#include "ui/floor/windows.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>

namespace {

const QString PngFlavour = QStringLiteral("image/png");

QImage ShownImage(const IndexedImage& picture)
{
    QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
    for (int y = 0; y < picture.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.Width; ++x) {
            const PackedColor color = picture.Palette[picture.Indices[static_cast<std::size_t>(y) * picture.Width + x]];
            line[x] = qRgb(RedOf(color), GreenOf(color), BlueOf(color));
        }
    }
    return image;
}

void PutOnClipboard(Windows& windows, const IndexedImage& picture, const std::string& what)
{
    const std::vector<std::uint8_t> png = EncodeIndexedPng(picture);
    auto* data = new QMimeData;
    data->setData(PngFlavour, QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size())));
    data->setImageData(ShownImage(picture));
    QApplication::clipboard()->setMimeData(data);
    windows.Shell.SetInfoText("Copied " + what + " (" + std::to_string(picture.Width) + " x " +
                              std::to_string(picture.Height) + " pixels)");
}

RgbaImage RgbaOf(const QImage& image, int width, int height)
{
    const QImage pixels = image.copy(0, 0, width, height).convertToFormat(QImage::Format_RGBA8888);
    RgbaImage picture;
    picture.Width = width;
    picture.Height = height;
    picture.Pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const uchar* line = pixels.constScanLine(y);
        for (int x = 0; x < width; ++x)
            picture.Pixels.push_back({line[4 * x], line[4 * x + 1], line[4 * x + 2], line[4 * x + 3]});
    }
    return picture;
}

// The clipboard's picture, from its PNG flavour when it has one (that keeps
// a palette PNG's indices), otherwise from the image Qt reads of it.
Loaded<PastedPicture> ClipboardPicture(const ProgramState& state, int slot)
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const int bitsPerPixel = CurrentModeInfo(state).BitsPerPixel;
    if (data && data->hasFormat(PngFlavour)) {
        const QByteArray png = data->data(PngFlavour);
        return PasteFromPng({png.begin(), png.end()}, state.WorkingPalette, bitsPerPixel, slot);
    }
    const QImage image = data && data->hasImage() ? qvariant_cast<QImage>(data->imageData()) : QImage();
    if (image.isNull())
        return Refused<PastedPicture>(
            UserMessage{"The clipboard holds no picture to paste.", "Paste", MsgIcon::Information});
    const auto [width, height] = PasteSizeAt(slot, image.width(), image.height());
    return Loaded<PastedPicture>{PasteFromRgba(RgbaOf(image, width, height), state.WorkingPalette, bitsPerPixel, slot),
                                 std::nullopt};
}

}  // namespace

void CopyCursorCell(ProgramState& state, Windows& windows)
{
    PutOnClipboard(windows, TilePicture(state.EditorSlots[CursorSlot(state)].Pixels.data(), state.WorkingPalette),
                   "the cursor cell");
}

void CopyAllCells(ProgramState& state, Windows& windows)
{
    PutOnClipboard(windows, EditorPicture(state.EditorSlots, state.WorkingPalette), "all editor cells");
}

void CopyBrowserTile(ProgramState& state, Windows& windows)
{
    if (!state.FileOpen()) {
        windows.Dialogs.Message("Open a file first: the browser grid shows the tiles of the open file.", "No file open",
                                MsgIcon::Information);
        return;
    }
    const int tile = state.BrowserSelY * state.BrowserColumns + state.BrowserSelX;
    PutOnClipboard(windows, TilePicture(windows.Browser->DecodedPixels() + tile * TileSide * TileSide, state.WorkingPalette),
                   "the selected browser tile");
}

void PasteIntoCursorCell(ProgramState& state, Windows& windows)
{
    const int slot = CursorSlot(state);
    const Loaded<PastedPicture> picture = ClipboardPicture(state, slot);
    if (picture.Error) {
        windows.Dialogs.Message(*picture.Error);
        return;
    }
    const std::vector<int> cells =
        RecordStep(state.Recorder, "paste", [&] { return PasteIntoCells(state.EditorSlots, slot, picture); });
    CellsChanged(windows, cells);
    windows.Shell.SetInfoText(PasteReport(picture, static_cast<int>(cells.size())));
}
