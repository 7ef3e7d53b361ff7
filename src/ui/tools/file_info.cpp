#include "ui/tools/file_info.h"

#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"
#include "model/core/dialogs.h"
#include "model/core/program_state.h"
#include "model/tools/file_info_report.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Labels are as wide as the frames; a long path is cut off at the right and
// shown whole in the tool tip.
constexpr int LabelWidth = 280;

// Progress is painted at most this often, so painting never slows the sum.
constexpr qint64 PaintIntervalMs = 20;

// The program's texts break lines with carriage returns. Gameboy titles are
// padded with 0 bytes, which Qt would draw as boxes: they show as blanks.
QString DisplayText(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'))
        .replace(QChar(0), QLatin1Char(' '));
}

QLabel* FrameLabel()
{
    auto* label = new QLabel;
    label->setFixedWidth(LabelWidth);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QGroupBox* Frame(const char* caption, QLayout* layout)
{
    auto* frame = new QGroupBox(QString::fromLatin1(caption));
    frame->setLayout(layout);
    return frame;
}

QVBoxLayout* Column(QWidget* widget)
{
    auto* layout = new QVBoxLayout;
    layout->addWidget(widget);
    return layout;
}

}  // namespace

FileInfo::FileInfo(ProgramState& state, Windows& windows, QWidget* parent)
    : ToolWindow(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("File Info"));

    LbName = FrameLabel();
    LbLength = FrameLabel();
    LbAttr = FrameLabel();
    LbROMName = FrameLabel();
    LbFileChecksum = new QLabel;
    LbFileChecksum->setTextFormat(Qt::PlainText);
    BtDoChecksum = new QPushButton(QString::fromLatin1(RepairChecksumCaption));

    auto* gameBoy = new QGridLayout;
    gameBoy->addWidget(LbROMName, 0, 0, 1, 2);
    gameBoy->addWidget(new QLabel(QStringLiteral("Checksum stored in file:")), 1, 0);
    gameBoy->addWidget(LbFileChecksum, 1, 1);
    gameBoy->addWidget(BtDoChecksum, 2, 0, 1, 2);
    // Added below the described fields: both checksums as computed.
    LbChecksumCheck = FrameLabel();
    gameBoy->addWidget(LbChecksumCheck, 3, 0, 1, 2);
    gameBoy->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame("File", Column(LbName)));
    layout->addWidget(Frame("Lenght", Column(LbLength)));
    layout->addWidget(Frame("Attributes", Column(LbAttr)));
    layout->addWidget(Frame("Gameboy ROM Info", gameBoy));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BtDoChecksum, &QPushButton::clicked, this, &FileInfo::BtDoChecksum_Click);
}

void FileInfo::DoReport()
{
    const QString path = QString::fromStdString(state_.FileName());
    LbName->setText(path);
    LbName->setToolTip(path);
    const QString length = DisplayText(LengthText(state_.FileLength()));
    LbLength->setText(length);
    LbLength->setToolTip(length);
    LbAttr->setText(DisplayText(AttributesText(ReadFileAttributes(state_.FileName()))));
    LbROMName->setText(DisplayText(RomTitleText(state_.FileHandle)));
    LbFileChecksum->setText(DisplayText(StoredChecksumText(state_.FileHandle)));
    BtDoChecksum->setText(QString::fromLatin1(RepairChecksumCaption));
    LbChecksumCheck->setText(DisplayText(ChecksumCheckText(state_.FileHandle, state_.FileLength())));
}

void FileInfo::BtDoChecksum_Click()
{
    if (!state_.FileOpen())
        return;
    // Too short a file is refused at once, before the caption changes.
    if (state_.FileLength() < GameBoyHeaderEnd) {
        Tell(ChecksumTooShortMessage());
        return;
    }

    BtDoChecksum->setText(QString::fromLatin1(CalculatingCaption));
    QElapsedTimer sincePaint;
    sincePaint.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // User input waits until the sum is done, so nothing can close the file
    // or start a second repair meanwhile.
    std::optional<UserMessage> problem;
    {
        EditStepScope step(state_.Recorder, "checksum repair");
        problem = RepairGameBoyChecksum(state_.FileHandle, state_.FileLength(), [&](const ChecksumProgress& progress) {
            BtDoChecksum->setText(
                QString::fromLatin1(progress.Caption.data(), static_cast<qsizetype>(progress.Caption.size())));
            if (sincePaint.elapsed() >= PaintIntervalMs) {
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                sincePaint.restart();
            }
        });
    }
    // The step has ended, so cells over the header follow the file now.
    RomBytesChanged(windows_);

    if (problem)
        Tell(*problem);
    BtDoChecksum->setText(QString::fromLatin1(RepairChecksumCaption));
    DoReport();
}

void FileInfo::Tell(const UserMessage& message)
{
    const OwnDialogScope open(*this);
    windows_.Dialogs.Message(message);
}
