#include "ui/browser/browser.h"
#include "ui/floor/child_window.h"
#include "ui/tools/find_graphics.h"

#include "model/codec/shown_stream.h"
#include "model/codec/stream_codecs.h"
#include "model/codec/stream_search.h"
#include "model/core/dialogs.h"
#include "model/core/number_text.h"
#include "model/core/program_state.h"
#include "model/editor/image_formats.h"
#include "model/tools/find_graphics_text.h"
#include "model/tools/search_file_source.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/floor/windows.h"
#include "ui/tools/find_streams.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace {

const std::string PictureFilter = AnyImageFilter();

constexpr int ProgressSteps = 1000;

std::string FileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

QCheckBox* MakeCheck(const char* text, const char* toolTip, bool checked)
{
    auto* box = new QCheckBox(QString::fromLatin1(text));
    box->setToolTip(QString::fromLatin1(toolTip));
    box->setChecked(checked);
    return box;
}

// "LZ77 at 0x1A2B30" for a match inside a stream; empty for the file.
std::string StreamText(const GraphicsMatch& match)
{
    if (match.StreamAddress < 0)
        return {};
    return std::string(StreamCodecs()[static_cast<std::size_t>(match.StreamCodec)]->Name) + " at " +
           HexText(match.StreamAddress);
}

}  // namespace

FindGraphics::FindGraphics(ProgramState& state, Windows& windows, QWidget* parent)
    : ToolWindow(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Find graphics"));

    OpCell = new QRadioButton(QStringLiteral("Editor cell under the cursor"));
    OpCell->setChecked(true);
    OpRun = new QRadioButton(QStringLiteral("Cells from the cursor along its row:"));
    SpinRun = new QSpinBox;
    SpinRun->setRange(2, EditorColumns);
    SpinRun->setValue(4);
    OpPicture = new QRadioButton(QStringLiteral("Picture (PNG or BMP):"));
    BtPicture = MakeTextButton("Choose...", "Choose the picture whose tiles are looked for");
    LbPicture = new QLabel(QStringLiteral("none"));
    auto* query = new QGroupBox(QStringLiteral("Look for"));
    auto* queryLayout = new QGridLayout(query);
    queryLayout->addWidget(OpCell, 0, 0, 1, 2);
    queryLayout->addWidget(OpRun, 1, 0);
    queryLayout->addWidget(SpinRun, 1, 1);
    queryLayout->addWidget(OpPicture, 2, 0);
    queryLayout->addWidget(BtPicture, 2, 1);
    queryLayout->addWidget(LbPicture, 3, 0, 1, 2);

    OpCurrentMode = new QRadioButton(QStringLiteral("Current mode"));
    OpCurrentMode->setChecked(true);
    OpAllModes = new QRadioButton(QStringLiteral("All modes"));
    ChkExact = MakeCheck("Exact colors", "Match the color numbers, not only the pattern of colors", false);
    ChkFlips = MakeCheck("Mirrored tiles too", "Also find the tiles mirrored left-right, top-bottom or both", false);
    ChkSkipUniform = MakeCheck("Skip one-color tiles", "Leave out query tiles of a single color", true);
    ChkNeighbours = MakeCheck("Neighbours in a row", "Tiles side by side must follow each other in the file", true);
    ChkStreams = MakeCheck("Inside compressed streams too",
                           "Also search the unpacked bytes of every compressed stream the file holds", false);
    auto* how = new QGroupBox(QStringLiteral("Where and how"));
    auto* howLayout = new QGridLayout(how);
    howLayout->addWidget(OpCurrentMode, 0, 0);
    howLayout->addWidget(OpAllModes, 0, 1);
    howLayout->addWidget(ChkExact, 1, 0);
    howLayout->addWidget(ChkFlips, 1, 1);
    howLayout->addWidget(ChkSkipUniform, 2, 0);
    howLayout->addWidget(ChkNeighbours, 2, 1);
    howLayout->addWidget(ChkStreams, 3, 0, 1, 2);

    BtFind = MakeTextButton("Find", "Search the open file");
    BtFind->setDefault(true);
    BtCancel = MakeTextButton("Cancel", "Stop the search");
    BtCancel->setEnabled(false);
    Progress = new QProgressBar;
    Progress->setRange(0, ProgressSteps);
    Progress->setValue(0);
    auto* run = new QHBoxLayout;
    run->addWidget(BtFind);
    run->addWidget(Progress, 1);
    run->addWidget(BtCancel);

    ListMatches = new QTreeWidget;
    ListMatches->setRootIsDecorated(false);
    ListMatches->setUniformRowHeights(true);
    ListMatches->setHeaderLabels({QStringLiteral("Address (hex)"), QStringLiteral("Address"), QStringLiteral("Mode"),
                                  QStringLiteral("Tile"), QStringLiteral("Neighbours"), QStringLiteral("Stream")});
    ListMatches->setToolTip(QStringLiteral("Click a result to show it in the browser"));
    ListMatches->setMinimumSize(460, 200);
    LbStatus = new QLabel;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(query);
    layout->addWidget(how);
    layout->addLayout(run);
    layout->addWidget(ListMatches, 1);
    layout->addWidget(LbStatus);

    connect(BtFind, &QPushButton::clicked, this, &FindGraphics::BtFind_Click);
    connect(BtCancel, &QPushButton::clicked, this, &FindGraphics::BtCancel_Click);
    connect(BtPicture, &QPushButton::clicked, this, &FindGraphics::BtPicture_Click);
    connect(ListMatches, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { ShowMatch(ListMatches->indexOfTopLevelItem(item)); });
    connect(ListMatches, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { ShowMatch(ListMatches->indexOfTopLevelItem(item)); });

    for (ChangeKind kind : {ChangeKind::FileOpened, ChangeKind::FileClosed})
        windows_.Changes.Subscribe(kind, [this](const Change&) { FileChanged(); });
}

FindGraphics::~FindGraphics()
{
    StopSearch();
}

void FindGraphics::StopSearch()
{
    cancel_ = true;
    if (worker_.joinable())
        worker_.join();
}

void FindGraphics::BtPicture_Click()
{
    FileChoice choice;
    {
        const OwnDialogScope scope(*this);
        choice = windows_.Dialogs.OpenFile(PictureFilter);
    }
    if (choice.Path.empty())
        return;
    // Read when a search starts, on the searching thread: a large picture
    // never holds up the window.
    picturePath_ = choice.Path;
    LbPicture->setText(QString::fromStdString(FileName(picturePath_)));
    OpPicture->setChecked(true);
}

std::vector<QueryTile> FindGraphics::CellQuery(std::string& problem) const
{
    const int cursor = CursorSlot(state_);
    if (state_.EditorSlots[cursor].Address == EmptySlot) {
        problem = EmptyCellQueryText;
        return {};
    }
    return QueryFromCells(state_.EditorSlots, cursor, OpRun->isChecked() ? SpinRun->value() : 1);
}

void FindGraphics::Refuse(const std::string& text)
{
    LbStatus->setText(QString::fromStdString(text));
    emit SearchEnded();
}

void FindGraphics::BtFind_Click()
{
    if (Searching())
        return;
    if (!state_.FileOpen()) {
        Refuse(NoFileToSearchText);
        return;
    }
    SearchOptions options;
    options.Exact = ChkExact->isChecked();
    options.Flips = ChkFlips->isChecked();
    options.SkipUniform = ChkSkipUniform->isChecked();
    options.RequireNeighbours = ChkNeighbours->isChecked();
    options.PreparationStep = PreparationStep;
    std::string picture;
    std::vector<QueryTile> query;
    if (OpPicture->isChecked()) {
        if (picturePath_.empty()) {
            Refuse(NoPictureChosenText);
            return;
        }
        picture = picturePath_;
    } else {
        std::string problem;
        query = CellQuery(problem);
        if (!problem.empty()) {
            Refuse(problem);
            return;
        }
        if (options.SkipUniform &&
            std::all_of(query.begin(), query.end(), [](const QueryTile& tile) { return IsUniform(tile.Pixels); })) {
            Refuse(OnlyUniformQueryText);
            return;
        }
    }
    // The search reads the file through its own descriptor, so closing or
    // replacing the open file meanwhile cannot pull it away; a stream shown
    // is searched in a copy of its unpacked bytes.
    std::unique_ptr<OwnFileSource> file;
    if (const auto reason = OwnFileSource::Open(state_.FileHandle, file)) {
        Refuse("The file could not be read: " + *reason);
        return;
    }
    std::unique_ptr<SearchSource> source = ShownTilesSource(state_, std::move(file));
    std::unique_ptr<OwnFileSource> streamsFile;
    if (ChkStreams->isChecked())
        if (const auto reason = OwnFileSource::Open(state_.FileHandle, streamsFile)) {
            Refuse("The file could not be read: " + *reason);
            return;
        }
    searched_ = state_.ShownSource;
    const std::vector<GraphicsMode> modes =
        OpAllModes->isChecked() ? AllGraphicsModes() : std::vector<GraphicsMode>{state_.CurrentMode};

    matches_.clear();
    ListMatches->clear();
    Progress->setValue(0);
    LbStatus->setText(QStringLiteral("Searching..."));
    BtFind->setEnabled(false);
    BtCancel->setEnabled(true);
    cancel_ = false;
    stale_ = false;
    worker_ = std::thread([this, source = std::move(source), streamsFile = std::move(streamsFile),
                           query = std::move(query), picture = std::move(picture), modes, options,
                           reading = PictureReading]() mutable {
        Outcome outcome;
        outcome.Picture = picture;
        if (!picture.empty()) {
            if (reading)
                reading();
            query = QueryFromPictureFile(picture, outcome.PictureProblem);
        }
        outcome.QueryTiles = query.size();
        const auto progress = [this, share = streamsFile ? 0.5 : 1.0](double offset) {
            return [this, share, offset](double fraction) {
                QMetaObject::invokeMethod(
                    this,
                    [this, value = offset + share * fraction] {
                        Progress->setValue(static_cast<int>(value * ProgressSteps));
                    },
                    Qt::QueuedConnection);
            };
        };
        if (!outcome.PictureProblem && !query.empty()) {
            outcome.Result = SearchGraphics(*source, query, modes, options, cancel_, progress(0));
            if (streamsFile && !outcome.Result.Cancelled && !outcome.Result.TooManyTiles)
                MergeStreamMatches(outcome.Result,
                                   SearchInStreams(*streamsFile, query, modes, options, cancel_, progress(0.5)),
                                   options);
        }
        QMetaObject::invokeMethod(
            this, [this, outcome = std::move(outcome)]() mutable { Finish(std::move(outcome)); }, Qt::QueuedConnection);
    });
}

void FindGraphics::BtCancel_Click()
{
    cancel_ = true;
}

std::optional<std::string> FindGraphics::Unsearched(const Outcome& outcome) const
{
    const std::string name = FileName(outcome.Picture);
    if (outcome.PictureProblem)
        return PictureUnreadableText(name);
    if (outcome.QueryTiles == 0)
        return PictureTooSmallText(name);
    const SearchResult& result = outcome.Result;
    if (result.TooManyTiles)
        return TooManyTilesText(name, result.DifferentTiles);
    if (!result.Cancelled && result.SkippedUniform == static_cast<int>(outcome.QueryTiles))
        return std::string(OnlyUniformQueryText);
    return std::nullopt;
}

void FindGraphics::Finish(Outcome outcome)
{
    if (worker_.joinable())
        worker_.join();
    BtFind->setEnabled(true);
    BtCancel->setEnabled(false);
    if (stale_) {
        Progress->setValue(0);
        LbStatus->setText(QString::fromLatin1(FileChangedText));
        emit SearchEnded();
        return;
    }
    if (!outcome.Picture.empty() && !outcome.PictureProblem)
        LbPicture->setText(QString::fromStdString(FileName(outcome.Picture) + " (" +
                                                  std::to_string(outcome.QueryTiles) +
                                                  (outcome.QueryTiles == 1 ? " tile)" : " tiles)")));
    if (const auto reason = Unsearched(outcome)) {
        Progress->setValue(0);
        LbStatus->setText(QString::fromStdString(*reason));
        if (outcome.PictureProblem) {
            const OwnDialogScope scope(*this);
            windows_.Dialogs.Message(*outcome.PictureProblem);
        }
        emit SearchEnded();
        return;
    }
    SearchResult& result = outcome.Result;
    if (!result.Cancelled)
        Progress->setValue(ProgressSteps);
    LbStatus->setText(QString::fromStdString(SearchSummaryText(result)));
    matches_ = std::move(result.Matches);
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(matches_.size()));
    for (const GraphicsMatch& match : matches_) {
        const std::string_view mode = state_.ModeTable[match.Mode].Name;
        rows.append(new QTreeWidgetItem(
            QStringList{QString::fromStdString(FormatHex(match.Address)),
                        QString::fromStdString(AddressText(match.Address, state_.HexAddresses)),
                        QString::fromLatin1(mode.data(), static_cast<qsizetype>(mode.size())),
                        QString::fromStdString(FlipText(match.Flip)), QString::number(match.Neighbours),
                        QString::fromStdString(StreamText(match))}));
    }
    ListMatches->addTopLevelItems(rows);
    emit SearchEnded();
}

void FindGraphics::FileChanged()
{
    if (Searching()) {
        stale_ = true;
        cancel_ = true;
    }
    matches_.clear();
    ListMatches->clear();
    Progress->setValue(0);
    LbStatus->clear();
}

void FindGraphics::ShowMatch(int row)
{
    if (row < 0 || row >= static_cast<int>(matches_.size()))
        return;
    const GraphicsMatch& match = matches_[static_cast<std::size_t>(row)];
    const TileSourceKey where = match.StreamAddress < 0
                                    ? searched_
                                    : TileSourceKey{match.StreamAddress, static_cast<std::uint8_t>(match.StreamCodec)};
    if (where != state_.ShownSource && !windows_.FindStreams->ShowSource(where))
        return;
    windows_.BrowCtrl->ShowTileAt(match.Mode, match.Address);
}

std::optional<QPoint> FindGraphics::FirstPlace()
{
    if (!IsChildVisible(windows_.Browser))
        return std::nullopt;
    return BesideWindow(*this, *ChildFrame(windows_.Browser));
}
