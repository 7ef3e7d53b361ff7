#include "ui/browser/browser.h"
#include "ui/floor/child_window.h"
#include "ui/tools/find_streams.h"

#include "model/codec/shown_stream.h"
#include "model/codec/stream_codecs.h"
#include "model/codec/stream_scan.h"
#include "model/core/dialogs.h"
#include "model/core/number_text.h"
#include "model/core/program_state.h"
#include "model/tools/search_file_source.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/floor/refresh.h"
#include "ui/floor/shell.h"
#include "ui/floor/unsaved_guard.h"
#include "ui/floor/windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int ProgressSteps = 1000;

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

void AddCodecNames(QComboBox& combo)
{
    for (const StreamCodec* codec : StreamCodecs())
        combo.addItem(QString::fromLatin1(codec->Name));
}

}  // namespace

FindStreams::FindStreams(ProgramState& state, Windows& windows, QWidget* parent)
    : ToolWindow(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Find compressed data"));

    ComboCodecs = new QComboBox;
    ComboCodecs->addItem(QStringLiteral("All codecs"));
    AddCodecNames(*ComboCodecs);
    ComboCodecs->setToolTip(QStringLiteral("The compression formats to look for"));
    ChkEveryAddress = new QCheckBox(QStringLiteral("Every address"));
    ChkEveryAddress->setToolTip(
        QStringLiteral("Also try addresses off the codec's alignment (GBA streams start on multiples of 4)"));
    BtScan = MakeTextButton("Scan", "List the compressed streams of the open file");
    BtScan->setDefault(true);
    BtCancel = MakeTextButton("Cancel", "Stop the scan");
    BtCancel->setEnabled(false);
    Progress = new QProgressBar;
    Progress->setRange(0, ProgressSteps);
    auto* scan = new QGridLayout;
    scan->addWidget(new QLabel(QStringLiteral("Codecs:")), 0, 0);
    scan->addWidget(ComboCodecs, 0, 1);
    scan->addWidget(ChkEveryAddress, 0, 2);
    scan->addWidget(BtScan, 1, 0);
    scan->addWidget(Progress, 1, 1);
    scan->addWidget(BtCancel, 1, 2);

    ListStreams = new QTreeWidget;
    ListStreams->setRootIsDecorated(false);
    ListStreams->setUniformRowHeights(true);
    ListStreams->setHeaderLabels({QStringLiteral("Address"), QStringLiteral("Codec"), QStringLiteral("Packed"),
                                  QStringLiteral("Unpacked"), QStringLiteral("Whole tiles")});
    ListStreams->setToolTip(QStringLiteral("Click a stream to show its unpacked bytes in the browser"));
    ListStreams->setMinimumSize(420, 180);

    EdAddress = new QLineEdit;
    EdAddress->setToolTip(QStringLiteral("The stream's file address, decimal or 0x hexadecimal"));
    ComboCodec = new QComboBox;
    AddCodecNames(*ComboCodec);
    ChkVramSafe = new QCheckBox(QStringLiteral("VRAM safe"));
    ChkVramSafe->setChecked(true);
    ChkVramSafe->setToolTip(QStringLiteral(
        "Streams written back never copy from the byte just written (GBA video memory takes 16-bit writes)"));
    BtOpen = MakeTextButton("Open", "Show the unpacked stream in the browser");
    BtBack = MakeTextButton("Back to the file", "Show the file itself in the browser again");
    auto* open = new QGroupBox(QStringLiteral("Stream"));
    auto* openLayout = new QGridLayout(open);
    openLayout->addWidget(new QLabel(QStringLiteral("Address:")), 0, 0);
    openLayout->addWidget(EdAddress, 0, 1);
    openLayout->addWidget(ComboCodec, 0, 2);
    openLayout->addWidget(ChkVramSafe, 1, 0, 1, 2);
    openLayout->addWidget(BtOpen, 1, 2);
    openLayout->addWidget(BtBack, 2, 2);
    LbStatus = new QLabel;
    LbStatus->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(scan);
    layout->addWidget(ListStreams, 1);
    layout->addWidget(open);
    layout->addWidget(LbStatus);

    connect(BtScan, &QPushButton::clicked, this, &FindStreams::BtScan_Click);
    connect(BtCancel, &QPushButton::clicked, this, &FindStreams::BtCancel_Click);
    connect(BtOpen, &QPushButton::clicked, this, &FindStreams::BtOpen_Click);
    connect(EdAddress, &QLineEdit::returnPressed, this, &FindStreams::BtOpen_Click);
    connect(BtBack, &QPushButton::clicked, this, &FindStreams::BtBack_Click);
    connect(ListStreams, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { OpenFound(ListStreams->indexOfTopLevelItem(item)); });
    connect(ListStreams, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { OpenFound(ListStreams->indexOfTopLevelItem(item)); });

    for (ChangeKind kind : {ChangeKind::FileOpened, ChangeKind::FileClosed})
        windows_.Changes.Subscribe(kind, [this](const Change&) { FileChanged(); });
}

FindStreams::~FindStreams()
{
    StopScan();
}

void FindStreams::StopScan()
{
    cancel_ = true;
    if (worker_.joinable())
        worker_.join();
}

void FindStreams::ShowStatus(const std::string& text)
{
    LbStatus->setText(Text(text));
}

void FindStreams::BtScan_Click()
{
    if (Scanning())
        return;
    if (!state_.FileOpen()) {
        ShowStatus("No file is open.");
        emit ScanEnded();
        return;
    }
    // The scan reads the file through its own descriptor, so closing or
    // replacing the open file meanwhile cannot pull it away.
    std::unique_ptr<OwnFileSource> source;
    if (const auto reason = OwnFileSource::Open(state_.FileHandle, source)) {
        ShowStatus("The file could not be read: " + *reason);
        emit ScanEnded();
        return;
    }
    std::vector<const StreamCodec*> codecs(StreamCodecs().begin(), StreamCodecs().end());
    if (const int chosen = ComboCodecs->currentIndex(); chosen > 0)
        codecs = {StreamCodecs()[static_cast<std::size_t>(chosen - 1)]};
    StreamScanOptions options;
    options.EveryAddress = ChkEveryAddress->isChecked();

    found_.clear();
    ListStreams->clear();
    Progress->setValue(0);
    ShowStatus("Scanning...");
    BtScan->setEnabled(false);
    BtCancel->setEnabled(true);
    cancel_ = false;
    stale_ = false;
    worker_ = std::thread([this, source = std::move(source), codecs, options] {
        StreamScanResult result = ScanForStreams(*source, codecs, options, cancel_, [this](double fraction) {
            QMetaObject::invokeMethod(
                this, [this, fraction] { Progress->setValue(static_cast<int>(fraction * ProgressSteps)); },
                Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this,
            [this, found = std::move(result.Streams), cancelled = result.Cancelled]() mutable {
                Finish(std::move(found), cancelled);
            },
            Qt::QueuedConnection);
    });
}

void FindStreams::BtCancel_Click()
{
    cancel_ = true;
}

void FindStreams::Finish(std::vector<FoundStream> found, bool cancelled)
{
    if (worker_.joinable())
        worker_.join();
    BtScan->setEnabled(true);
    BtCancel->setEnabled(false);
    if (stale_) {
        Progress->setValue(0);
        ShowStatus("The file changed while it was scanned; nothing is listed.");
        emit ScanEnded();
        return;
    }
    if (!cancelled)
        Progress->setValue(ProgressSteps);
    found_ = std::move(found);
    QList<QTreeWidgetItem*> rows;
    for (const FoundStream& stream : found_)
        rows.append(new QTreeWidgetItem(
            QStringList{Text(HexText(stream.Address)), QString::fromLatin1(stream.Codec->Name),
                        QString::number(stream.PackedLength), QString::number(stream.UnpackedLength),
                        stream.WholeTiles ? QStringLiteral("yes") : QStringLiteral("no")}));
    ListStreams->addTopLevelItems(rows);
    const std::string count = std::to_string(found_.size()) + (found_.size() == 1 ? " stream" : " streams");
    ShowStatus(cancelled ? "Cancelled: " + count + " found so far." : count + " found.");
    emit ScanEnded();
}

void FindStreams::FileChanged()
{
    if (Scanning()) {
        stale_ = true;
        cancel_ = true;
    }
    found_.clear();
    ListStreams->clear();
    Progress->setValue(0);
    LbStatus->clear();
}

void FindStreams::OpenFound(int row)
{
    if (row < 0 || row >= static_cast<int>(found_.size()))
        return;
    const FoundStream& stream = found_[static_cast<std::size_t>(row)];
    const int codec = StreamCodecIndex(stream.Codec->ShortName);
    EdAddress->setText(Text(HexText(stream.Address)));
    ComboCodec->setCurrentIndex(codec);
    OpenStream(codec, stream.Address);
}

void FindStreams::BtOpen_Click()
{
    const std::string typed = EdAddress->text().trimmed().toStdString();
    if (typed.empty()) {
        ShowStatus("Type the stream's address first.");
        return;
    }
    OpenStream(ComboCodec->currentIndex(), RoundHalfEven(ReadLenientNumber(typed)));
}

bool FindStreams::OpenStream(int codecIndex, std::int64_t address)
{
    if (!state_.FileOpen()) {
        ShowStatus("No file is open.");
        return false;
    }
    {
        // Edits not yet written go into the bytes shown now, or stay behind.
        const OwnDialogScope scope(*this);
        if (!ConfirmLeavingEdits(state_, windows_))
            return false;
    }
    if (const auto problem = ShowStream(state_, codecIndex, address, PackOptions{ChkVramSafe->isChecked()})) {
        ShowStatus(*problem);
        return false;
    }
    const std::string caption = ShownStreamCaption(state_);
    ShowStatus(caption);
    windows_.Shell.SetInfoText(caption);
    TilesSourceChanged(windows_);
    windows_.BrowCtrl->ShowTileAt(state_.CurrentMode, 0);
    return true;
}

bool FindStreams::ShowSource(const TileSourceKey& source)
{
    if (!source.IsFile())
        return OpenStream(source.Codec, source.StreamAddress);
    BtBack_Click();
    return state_.ShownSource.IsFile();
}

void FindStreams::BtBack_Click()
{
    if (!ShownStreamView(state_))
        return;
    {
        const OwnDialogScope scope(*this);
        if (!ConfirmLeavingEdits(state_, windows_))
            return;
    }
    const std::int32_t at = static_cast<std::int32_t>(ShownStreamView(state_)->Address());
    ShowFile(state_);
    ShowStatus("Back to the file.");
    windows_.Shell.SetInfoText("Showing the file " + state_.FileName());
    TilesSourceChanged(windows_);
    windows_.BrowCtrl->ShowTileAt(state_.CurrentMode, at);
}

std::optional<QPoint> FindStreams::FirstPlace()
{
    if (!IsChildVisible(windows_.Browser))
        return std::nullopt;
    return BesideWindow(*this, *ChildFrame(windows_.Browser));
}
