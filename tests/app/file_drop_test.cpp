#include "ui/app/main_form.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "model/editor/editor_slots.h"
#include "support/viewer_fixture.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QRadioButton>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include <filesystem>

namespace {

constexpr const char* CloseQuestion = "Before you can open a new file you have to close the opened file.\r\r"
                                      "Are you sure you want to close the opened file?";

// Drags onto the main window the way a file manager's drag arrives: the
// events go to the window, which hands them to the widget under the point.
class FileDrop : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        QCoreApplication::processEvents();
        ASSERT_NE(form->windowHandle(), nullptr);
    }

    static QMimeData* FileUrls(const std::vector<std::string>& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
        data->setUrls(urls);
        return data;
    }

    // Enters over the middle of the MDI area and drops there; returns whether
    // the window took the drag. The open runs once the drop has returned.
    // The action the window chose at each of enter, move and drop.
    std::vector<Qt::DropAction> Chosen;

    bool Drop(QMimeData* data, Qt::DropActions offered = Qt::CopyAction)
    {
        const std::unique_ptr<QMimeData> owned(data);
        QWindow* window = form->windowHandle();
        const QPoint point = form->MdiArea()->mapTo(form.get(), form->MdiArea()->rect().center());
        QDragEnterEvent enter(point, offered, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        QDragMoveEvent move(point, offered, data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(point, offered, data, Qt::LeftButton, Qt::NoModifier);
        QDragLeaveEvent leave;
        // A refused drag never drops; the pointer leaves again.
        if (enter.isAccepted()) {
            QCoreApplication::sendEvent(window, &move);
            QCoreApplication::sendEvent(window, &drop);
            Chosen = {enter.dropAction(), move.dropAction(), drop.dropAction()};
        } else {
            QCoreApplication::sendEvent(window, &leave);
        }
        QCoreApplication::processEvents();
        return enter.isAccepted() && drop.isAccepted();
    }

    void ExpectOnlyCloseQuestion() const
    {
        ASSERT_EQ(dialogs.Prompts.size(), 1u);
        EXPECT_EQ(dialogs.Prompts[0].PromptKind, ScriptedDialogs::Kind::YesNo);
        EXPECT_EQ(dialogs.Prompts[0].Text, CloseQuestion);
        EXPECT_EQ(dialogs.Prompts[0].Caption, "Close file?");
    }

    std::string Info() const { return form->LbInfo->text().toStdString(); }
};

TEST_F(FileDrop, ARomDroppedOnTheEmptyWindowOpensWithoutAQuestion)
{
    const std::string path = dir.WriteFile("dropped.gb", CountingBytes(2048));
    EXPECT_TRUE(Drop(FileUrls({path})));
    EXPECT_TRUE(dialogs.Prompts.empty());
    EXPECT_TRUE(state.FileOpen());
    EXPECT_EQ(state.FileName(), path);
    EXPECT_EQ(Info(), "Opened " + path + " (2048 bytes)");
}

TEST_F(FileDrop, OverAnOpenFileTheCloseQuestionDecides)
{
    const std::string first = OpenRom(CountingBytes(4096), "first.gb");
    const std::string second = dir.WriteFile("second.gb", CountingBytes(1024));
    dialogs.Prompts.clear();

    // No keeps the open file; nothing else is asked.
    dialogs.QueueYesNo(false);
    EXPECT_TRUE(Drop(FileUrls({second})));
    ExpectOnlyCloseQuestion();
    EXPECT_EQ(state.FileName(), first);
    EXPECT_EQ(Info(), "Opened " + first + " (4096 bytes)");

    dialogs.Prompts.clear();
    dialogs.QueueYesNo(true);
    EXPECT_TRUE(Drop(FileUrls({second})));
    ExpectOnlyCloseQuestion();
    EXPECT_EQ(state.FileName(), second);
    EXPECT_EQ(Info(), "Opened " + second + " (1024 bytes)");
}

TEST_F(FileDrop, EditedCellsAreAskedAboutBeforeTheCloseQuestion)
{
    const std::string first = OpenRom(CountingBytes(4096), "first.gb");
    const std::string second = dir.WriteFile("second.gb", CountingBytes(1024));
    w->Editor->resize(500, 450);
    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5, 5));
    w->EditCtrl->OptionPaint->click();
    state.CurrentColor = 3;
    QTest::mousePress(w->Editor, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseRelease(w->Editor, Qt::LeftButton, {}, QPoint(1, 1));
    ASSERT_EQ(UnsavedTileCount(state), 1);
    dialogs.Prompts.clear();

    // Cancel stays before the close question is reached.
    dialogs.QueueSaveChoice(SaveChoice::Cancel);
    EXPECT_TRUE(Drop(FileUrls({second})));
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].PromptKind, ScriptedDialogs::Kind::SaveDiscardCancel);
    EXPECT_EQ(state.FileName(), first);
    EXPECT_EQ(UnsavedTileCount(state), 1);

    dialogs.Prompts.clear();
    dialogs.QueueSaveChoice(SaveChoice::Discard);
    dialogs.QueueYesNo(true);
    EXPECT_TRUE(Drop(FileUrls({second})));
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[0].PromptKind, ScriptedDialogs::Kind::SaveDiscardCancel);
    EXPECT_EQ(dialogs.Prompts[1].Text, CloseQuestion);
    EXPECT_EQ(state.FileName(), second);
    // The discarded edit never reached the first file.
    EXPECT_EQ(ReadWholeFile(first), CountingBytes(4096));
}

TEST_F(FileDrop, TheFileIsTakenAsACopyOrALinkNeverAsAMove)
{
    const std::string rom = dir.WriteFile("moved.gb", CountingBytes(512));
    const struct {
        Qt::DropActions Offered;
        Qt::DropAction Chosen;  // IgnoreAction: the drag is refused
    } cases[] = {
        {Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction},
        {Qt::MoveAction | Qt::LinkAction, Qt::LinkAction},
        {Qt::MoveAction, Qt::IgnoreAction},
    };
    for (const auto& c : cases) {
        Chosen.clear();
        // Taken over the open file, the close question comes; No keeps it.
        if (state.FileOpen() && c.Chosen != Qt::IgnoreAction)
            dialogs.QueueYesNo(false);
        // A file manager proposes a move by default; the window answers with its own choice.
        const bool taken = Drop(FileUrls({rom}), c.Offered);
        EXPECT_EQ(taken, c.Chosen != Qt::IgnoreAction) << c.Offered.toInt();
        if (taken)
            EXPECT_EQ(Chosen, std::vector<Qt::DropAction>(3, c.Chosen)) << c.Offered.toInt();
    }
    EXPECT_EQ(state.FileName(), rom);
}

TEST_F(FileDrop, WhatIsNotOneLocalFileIsRefusedAtTheWindowEdge)
{
    const std::string rom = dir.WriteFile("kept.gb", CountingBytes(512));
    const std::string other = dir.WriteFile("other.gb", CountingBytes(512));

    auto* text = new QMimeData;
    text->setText(QString::fromStdString(rom));
    EXPECT_FALSE(Drop(text));
    auto* web = new QMimeData;
    web->setUrls({QUrl(QStringLiteral("https://example.org/game.gb"))});
    EXPECT_FALSE(Drop(web));
    EXPECT_FALSE(Drop(FileUrls({rom, other})));
    EXPECT_FALSE(Drop(FileUrls({std::filesystem::path(rom).parent_path().string()})));
    EXPECT_FALSE(Drop(FileUrls({rom + ".missing"})));

    EXPECT_TRUE(dialogs.Prompts.empty());
    EXPECT_FALSE(state.FileOpen());
    EXPECT_EQ(Info(), "Brixel 0.54 - rocking your ROM till the break of dawn");
}

}  // namespace
