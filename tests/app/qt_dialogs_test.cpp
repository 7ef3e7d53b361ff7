#include "app/qt_dialogs.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

const std::string RomFilter = "Gameboy Roms (*.gb,*.gbc)|*.gb;*.gbc|Gameboy Advanced Roms (*.gba,*.agb,*.bin)|"
                              "*.gba;*.agb;*.bin|All compatible Roms| *.gb; *.gbc;*pce|All files (*.*)|*.*";

// Runs `act` on the modal window that the next call opens.
void WhenModalOpens(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(modal);
    });
}

}  // namespace

TEST(QtDialogsFilters, EachEntryBecomesALabelledQtNameFilter)
{
    const QStringList filters = QtDialogs::ToNameFilters(RomFilter);
    ASSERT_EQ(filters.size(), 4);
    EXPECT_EQ(filters[0].toStdString(), "Gameboy Roms (*.gb,*.gbc) (*.gb *.gbc)");
    EXPECT_EQ(filters[1].toStdString(), "Gameboy Advanced Roms (*.gba,*.agb,*.bin) (*.gba *.agb *.bin)");
    EXPECT_EQ(filters[2].toStdString(), "All compatible Roms (*.gb *.gbc *pce)");
    // "*.*" means every file, also one without an extension.
    EXPECT_EQ(filters[3].toStdString(), "All files (*.*) (*)");
    EXPECT_TRUE(QtDialogs::ToNameFilters("").isEmpty());
}

TEST(QtDialogsFilters, SelectedFilterIndexIsOneBased)
{
    const QStringList filters = QtDialogs::ToNameFilters(RomFilter);
    EXPECT_EQ(QtDialogs::FilterIndexOf(filters, filters[0]), 1);
    EXPECT_EQ(QtDialogs::FilterIndexOf(filters, filters[3]), 4);
    EXPECT_EQ(QtDialogs::FilterIndexOf(filters, QStringLiteral("Gameboy Advanced Roms (*.gba,*.agb,*.bin)")), 2);
    EXPECT_EQ(QtDialogs::FilterIndexOf(filters, QStringLiteral("All files (*.*)")), 4);
    EXPECT_EQ(QtDialogs::FilterIndexOf(filters, QStringLiteral("Unknown (*)")), 0);
}

TEST(QtDialogsText, CarriageReturnsBreakLines)
{
    EXPECT_EQ(QtDialogs::DisplayText("one\rtwo\r\rthree\r\nfour").toStdString(), "one\ntwo\n\nthree\nfour");
}

TEST(QtDialogsModal, MessageShowsTextCaptionAndIcon)
{
    QtDialogs dialogs(nullptr);
    QString seenText, seenTitle;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    WhenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        seenTitle = box->windowTitle();
        seenIcon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    dialogs.Message("Line one\rLine two", "Invalid header", MsgIcon::Critical);
    EXPECT_EQ(seenText.toStdString(), "Line one\nLine two");
    EXPECT_EQ(seenTitle.toStdString(), "Invalid header");
    EXPECT_EQ(seenIcon, QMessageBox::Critical);
}

TEST(QtDialogsModal, QuestionHasYesAsDefaultAndAnswersNo)
{
    QtDialogs dialogs(nullptr);
    bool yesIsDefault = false;
    WhenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        yesIsDefault = box->defaultButton() == box->button(QMessageBox::Yes);
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(dialogs.AskYesNo("Sure?", "Close file?"));
    EXPECT_TRUE(yesIsDefault);

    WhenModalOpens([&](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click(); });
    EXPECT_TRUE(dialogs.AskYesNo("Sure?", "Close file?"));
}

TEST(QtDialogsModal, OpenDialogReturnsThePathAndTheChosenFilter)
{
    TempDir dir;
    const std::string path = dir.WriteFile("game.gba", {1, 2, 3});
    QtDialogs dialogs(nullptr);
    QString firstSelected;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        firstSelected = dialog->selectedNameFilter();
        dialog->selectNameFilter(QtDialogs::ToNameFilters(RomFilter)[1]);
        dialog->selectFile(QString::fromStdString(path));
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    const FileChoice choice = dialogs.OpenFile(RomFilter);
    // The dialog shows the labels exactly as given.
    EXPECT_EQ(firstSelected.toStdString(), "Gameboy Roms (*.gb,*.gbc)");
    EXPECT_EQ(choice.Path, path);
    EXPECT_EQ(choice.FilterIndex, 2);
}

TEST(QtDialogsModal, CancelledDialogReturnsNoPath)
{
    QtDialogs dialogs(nullptr);
    WhenModalOpens([](QWidget* modal) { qobject_cast<QFileDialog*>(modal)->reject(); });
    const FileChoice choice = dialogs.SaveFile(RomFilter);
    EXPECT_TRUE(choice.Path.empty());
    EXPECT_EQ(choice.FilterIndex, 0);
}

TEST(QtDialogsModal, SaveAddsTheChosenEntrysExtensionToANameWithout)
{
    TempDir dir;
    const std::string filter = "Brixel bookmark file (*.bmk)|*.bmk|All files (*.*)|*.*";
    QtDialogs dialogs(nullptr);
    auto saveAs = [&](const char* name, int entry) {
        WhenModalOpens([&, name, entry](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            dialog->setDirectory(QString::fromStdString(dir.Path().string()));
            dialog->selectNameFilter(QtDialogs::ToNameFilters(filter)[entry - 1]);
            dialog->selectFile(QString::fromLatin1(name));
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
        return dialogs.SaveFile(filter).Path;
    };
    const std::string folder = dir.Path().string() + "/";
    EXPECT_EQ(saveAs("mylist", 1), folder + "mylist.bmk");
    EXPECT_EQ(saveAs("mylist.txt", 1), folder + "mylist.txt");
    EXPECT_EQ(saveAs("mylist", 2), folder + "mylist");
}
