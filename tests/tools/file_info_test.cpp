#include "ui/tools/file_info.h"

#include "model/core/program_state.h"
#include "model/core/rom_session.h"
#include "model/tools/file_info_report.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_shell.h"
#include "ui/floor/windows.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <sys/stat.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Text(const QLabel* label)
{
    return label->text().toStdString();
}

// A Gameboy-like image: random bytes, a title and a stored checksum.
Bytes GameBoyImage(std::size_t length, std::uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes bytes(length);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    const std::string title = "BRIXEL TEST ROM";
    std::copy(title.begin(), title.end(), bytes.begin() + 308);
    bytes[334] = 0x3A;
    bytes[335] = 0x7F;
    return bytes;
}

std::uint16_t ByteBySum(const Bytes& bytes)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i != 334 && i != 335)
            sum = (sum + bytes[i]) & 0xFFFF;
    }
    return static_cast<std::uint16_t>(sum);
}

// Records the button's caption each time it is painted.
class CaptionPaints : public QObject {
public:
    std::vector<std::string> Captions;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            Captions.push_back(static_cast<QPushButton*>(watched)->text().toStdString());
        return false;
    }
};

class FileInfoWindow : public ::testing::Test {
protected:
    FileInfoWindow()
    {
        InitState(state);
        window = std::make_unique<FileInfo>(state, windows);
    }

    std::string Open(const std::string& name, const Bytes& bytes)
    {
        const std::string path = dir.WriteFile(name, bytes);
        EXPECT_TRUE(OpenRomInState(state, path).Opened);
        return path;
    }

    TempDir dir;
    ProgramState state;
    ScriptedDialogs dialogs;
    TestShell shell;
    Windows windows{dialogs, shell};
    std::unique_ptr<FileInfo> window;
};

}  // namespace

TEST_F(FileInfoWindow, FloatingToolWithItsFramesAndButton)
{
    EXPECT_EQ(window->windowTitle().toStdString(), "File Info");
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));
    std::vector<std::string> frames;
    for (const QGroupBox* frame : window->findChildren<QGroupBox*>())
        frames.push_back(frame->title().toStdString());
    EXPECT_EQ(frames, (std::vector<std::string>{"File", "Lenght", "Attributes", "Gameboy ROM Info"}));
    bool checksumCaption = false;
    for (const QLabel* label : window->findChildren<QLabel*>())
        checksumCaption = checksumCaption || label->text() == QStringLiteral("Checksum stored in file:");
    EXPECT_TRUE(checksumCaption);
    EXPECT_EQ(window->BtDoChecksum->text().toStdString(), "Repair checksum");
}

TEST_F(FileInfoWindow, ReportDescribesTheOpenFile)
{
    const std::string path = Open("game.gb", GameBoyImage(1 << 15, 1));
    window->DoReport();
    EXPECT_EQ(Text(window->LbName), path);
    EXPECT_EQ(window->LbName->toolTip().toStdString(), path);
    EXPECT_EQ(Text(window->LbLength), "0.03 MB (32768 bytes )");
    EXPECT_EQ(window->LbLength->toolTip().toStdString(), "0.03 MB (32768 bytes )");
    EXPECT_EQ(
        Text(window->LbAttr),
        "File is...\n...not write protected.\n...not hidden.\n...not a system file.\n...not marked to be archived.");
    EXPECT_EQ(Text(window->LbROMName), "BRIXEL TEST ROM");
    EXPECT_EQ(Text(window->LbFileChecksum), "3A7F");
    EXPECT_EQ(window->BtDoChecksum->text().toStdString(), "Repair checksum");
}

TEST_F(FileInfoWindow, ReportShowsHiddenAndWriteProtectedFile)
{
    const std::string path = dir.WriteFile(".secret.gb", GameBoyImage(3 << 19, 2));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_TRUE(OpenRomInState(state, path).Opened);
    window->DoReport();
    EXPECT_EQ(Text(window->LbLength), "1.5 MB (1572864 bytes )");
    EXPECT_EQ(Text(window->LbAttr),
              "File is...\n...write protected.\n...hidden.\n...not a system file.\n...not marked to be archived.");
}

TEST_F(FileInfoWindow, TitlePaddingShowsAsBlanksAndHighCharactersAsLatin1)
{
    Bytes bytes = GameBoyImage(512, 12);
    const Bytes title = {'T', 'E', 'T', 'R', 'I', 'S', 0, 0, 0, 0, 0, 0xC4, 'B', 'C', 0};
    std::copy(title.begin(), title.end(), bytes.begin() + 308);
    Open("tetris.gb", bytes);
    window->DoReport();
    EXPECT_EQ(window->LbROMName->text(), QString::fromUtf8("TETRIS     \u00C4BC "));
}

TEST_F(FileInfoWindow, ShortFileShowsWhatItHolds)
{
    const Bytes bytes = GameBoyImage(400, 5);
    Open("short.gb", Bytes(bytes.begin(), bytes.begin() + 312));
    window->DoReport();
    EXPECT_EQ(Text(window->LbROMName), "BRIX");
    EXPECT_EQ(Text(window->LbFileChecksum), "n/a");
    Open("tiny.gb", Bytes(bytes.begin(), bytes.begin() + 100));
    window->DoReport();
    EXPECT_EQ(Text(window->LbROMName), "n/a");
    EXPECT_EQ(Text(window->LbFileChecksum), "n/a");
    EXPECT_EQ(Text(window->LbLength), "0 MB (100 bytes )");
}

TEST_F(FileInfoWindow, RepairWritesTheSumIntoTheHeaderOnly)
{
    const Bytes before = GameBoyImage(100003, 6);
    const std::string path = Open("game.gb", before);
    window->DoReport();
    const std::uint16_t sum = ByteBySum(before);
    const std::string computed = QString::number(sum, 16).toUpper().toStdString();
    EXPECT_TRUE(Text(window->LbChecksumCheck)
                    .ends_with("\nGlobal checksum: computed " + computed + ", stored 3A7F, does not match"));
    QTest::mouseClick(window->BtDoChecksum, Qt::LeftButton);
    EXPECT_TRUE(Text(window->LbChecksumCheck).ends_with("\nGlobal checksum: computed " + computed + ", matches"));

    Bytes expected = before;
    expected[334] = static_cast<std::uint8_t>(sum >> 8);
    expected[335] = static_cast<std::uint8_t>(sum & 0xFF);
    EXPECT_EQ(ReadWholeFile(path), expected);
    EXPECT_EQ(Text(window->LbFileChecksum), QString::number(sum, 16).toUpper().toStdString());
    EXPECT_EQ(window->BtDoChecksum->text().toStdString(), "Repair checksum");
    EXPECT_TRUE(dialogs.Prompts.empty());
}

TEST_F(FileInfoWindow, SampleRomKeepsItsValidChecksum)
{
    const Bytes sample = ReadWholeFile(std::string(BRIXEL_SOURCE_DIR) + "/samples/sample.gb");
    ASSERT_EQ(sample.size(), 32768u);
    const std::string path = Open("sample.gb", sample);
    window->DoReport();
    EXPECT_EQ(Text(window->LbChecksumCheck),
              "Header checksum: computed 0B, matches\nGlobal checksum: computed 65CA, matches");
    window->BtDoChecksum_Click();
    EXPECT_EQ(ReadWholeFile(path), sample);
    EXPECT_TRUE(dialogs.Prompts.empty());
}

TEST_F(FileInfoWindow, ReadOnlyFileReportsThatTheChecksumCouldNotBeWritten)
{
    const Bytes before = GameBoyImage(4096, 7);
    const std::string path = dir.WriteFile("locked.gb", before);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_TRUE(OpenRomInState(state, path).Opened);
    window->BtDoChecksum_Click();

    // Both bytes go in one write, so there is one report.
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    for (const auto& prompt : dialogs.Prompts) {
        EXPECT_EQ(prompt.PromptKind, ScriptedDialogs::Kind::Message);
        EXPECT_EQ(prompt.Text, "Could not write checksum to file.");
        EXPECT_EQ(prompt.Caption, "Error while saving");
        EXPECT_EQ(prompt.Icon, MsgIcon::Information);
    }
    EXPECT_EQ(ReadWholeFile(path), before);
    EXPECT_EQ(Text(window->LbFileChecksum), "3A7F");  // what the file really holds
    EXPECT_EQ(window->BtDoChecksum->text().toStdString(), "Repair checksum");
}

TEST_F(FileInfoWindow, FileWithoutRoomForTheChecksumIsRefused)
{
    const Bytes before = GameBoyImage(400, 8);
    const Bytes shortFile(before.begin(), before.begin() + 335);
    const std::string path = Open("short.gb", shortFile);
    window->BtDoChecksum_Click();

    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].Text, "The file is shorter than 336 bytes, so it has no Gameboy header to hold the "
                                       "checksum.\rNothing was written.");
    EXPECT_EQ(dialogs.Prompts[0].Caption, "Checksum not repaired");
    EXPECT_EQ(dialogs.Prompts[0].Icon, MsgIcon::Critical);
    EXPECT_EQ(ReadWholeFile(path), shortFile);
    EXPECT_EQ(window->BtDoChecksum->text().toStdString(), "Repair checksum");
}

TEST_F(FileInfoWindow, RepairWithoutAFileDoesNothing)
{
    window->BtDoChecksum_Click();
    EXPECT_TRUE(dialogs.Prompts.empty());
    EXPECT_EQ(window->BtDoChecksum->text().toStdString(), "Repair checksum");
}

TEST_F(FileInfoWindow, PaintedCaptionsAreTheProgressCaptions)
{
    Open("game.gb", GameBoyImage(1 << 15, 10));
    window->ShowTool();
    QCoreApplication::processEvents();
    CaptionPaints paints;
    window->BtDoChecksum->installEventFilter(&paints);
    window->BtDoChecksum_Click();
    QCoreApplication::processEvents();

    std::vector<std::string> allowed = {"Calculating, please wait...", "Repair checksum"};
    for (const auto& step : ChecksumProgressSteps(1 << 15))
        allowed.push_back(step.Caption);
    ASSERT_FALSE(paints.Captions.empty());
    EXPECT_EQ(paints.Captions.front(), "Calculating, please wait...");
    EXPECT_EQ(paints.Captions.back(), "Repair checksum");
    for (const auto& caption : paints.Captions)
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), caption), allowed.end()) << caption;
}

TEST_F(FileInfoWindow, HidesWhenItLosesTheFocusAndKeepsItsLabels)
{
    Open("game.gb", GameBoyImage(1024, 11));
    window->DoReport();
    window->ShowTool();
    EXPECT_TRUE(window->isVisible());
    window->Form_Deactivate();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Text(window->LbROMName), "BRIXEL TEST ROM");
    window->ShowTool();
    EXPECT_TRUE(window->isVisible());
}
