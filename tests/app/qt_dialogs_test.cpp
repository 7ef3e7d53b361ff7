#include "ui/app/qt_dialogs.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <filesystem>
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

// Runs `act` on the modal dialog that the next call shows, whenever it shows.
void WhenDialogShows(QObject& scope, std::function<void(QDialog*)> act)
{
    auto* timer = new QTimer(&scope);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()); dialog && dialog->isVisible()) {
            timer->stop();
            act(dialog);
        }
    });
    timer->start(5);
}

// Notes whether a window was on the screen when a dialog showed.
class ExposedAtDialogShow : public QObject {
public:
    explicit ExposedAtDialogShow(QWidget& window) : window_(window) { qApp->installEventFilter(this); }
    bool Exposed = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched))
            Exposed = window_.windowHandle()->isExposed();
        return false;
    }

private:
    QWidget& window_;
};

// Every kind of dialog the program shows.
const std::function<void(QtDialogs&)> OpenEachKind[] = {
    [](QtDialogs& d) { d.Message("'/tmp/x' is a folder, not a file.", "Could not open file", MsgIcon::Critical); },
    [](QtDialogs& d) { d.AskYesNo("Save?", "Save warning"); },
    [](QtDialogs& d) { d.AskSaveDiscardCancel("Save the edits?", "Unsaved edits"); },
    [](QtDialogs& d) { d.OpenFile(RomFilter); },
    [](QtDialogs& d) { d.PickColor(); },
};

}  // namespace

TEST(QtDialogsPlace, DialogsOpenOverTheMainWindowOrOnItsScreen)
{
    enum Owner { Shown, Hidden, Minimised };
    for (const Owner state : {Shown, Hidden, Minimised}) {
        // Large enough for the file dialog, off the screen's centre.
        QWidget owner;
        owner.setGeometry(280, 120, 480, 440);
        if (state != Hidden) {
            owner.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
        }
        if (state == Minimised)
            owner.showMinimized();
        const QRect screen = owner.screen()->availableGeometry();
        const QPoint centre = state == Shown ? owner.frameGeometry().center() : screen.center();
        QtDialogs dialogs(&owner);
        for (std::size_t kind = 0; kind < std::size(OpenEachKind); ++kind) {
            SCOPED_TRACE("dialog " + std::to_string(kind) + ", main window state " + std::to_string(state));
            QObject scope;
            QRect frame;
            WhenDialogShows(scope, [&](QDialog* dialog) {
                frame = dialog->frameGeometry();
                dialog->reject();
            });
            OpenEachKind[kind](dialogs);
            EXPECT_TRUE(screen.contains(frame))
                << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
            // Centred where that fits (the file dialog is too wide to be
            // centred over this main window); halves round either way.
            QRect centred(QPoint(), frame.size());
            centred.moveCenter(centre);
            if (screen.contains(centred))
                EXPECT_LE((frame.topLeft() - centred.topLeft()).manhattanLength(), 1) << frame.x() << "," << frame.y();
            else
                EXPECT_EQ(state, Shown);
        }
    }
}

TEST(QtDialogsPlace, ABoxAskedForBeforeTheMainWindowIsPlacedFollowsItUntilMoved)
{
    QWidget owner;
    owner.setGeometry(0, 0, 300, 200);
    owner.show();
    // A window manager places the window only after the show.
    QTimer::singleShot(0, [&owner] { owner.move(420, 330); });
    QtDialogs dialogs(&owner);
    const ExposedAtDialogShow ownerAtShow(owner);
    QObject scope;
    std::vector<QPoint> offCentre;
    QPoint userPlace;
    WhenDialogShows(scope, [&](QDialog* dialog) {
        offCentre.push_back(dialog->frameGeometry().center() - owner.frameGeometry().center());
        // Sized once more, as a restored layout does once the frame is known.
        owner.resize(360, 240);
        QCoreApplication::processEvents();
        offCentre.push_back(dialog->frameGeometry().center() - owner.frameGeometry().center());
        // Moved by the user, it stays.
        userPlace = dialog->pos() - QPoint(100, 80);
        dialog->move(userPlace);
        owner.move(310, 260);
        QCoreApplication::processEvents();
        EXPECT_EQ(dialog->pos(), userPlace);
        dialog->reject();
    });
    OpenEachKind[0](dialogs);
    EXPECT_TRUE(ownerAtShow.Exposed);
    ASSERT_EQ(offCentre.size(), 2u);
    for (const QPoint& off : offCentre)
        EXPECT_LE(off.manhattanLength(), 1) << off.x() << "," << off.y();
}

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

TEST(QtDialogsModal, FileDialogsStartInTheRomFolderElseTheLastChosenOne)
{
    TempDir dir;
    const std::string roms = dir.Path() / "roms", art = dir.Path() / "art";
    std::filesystem::create_directories(roms);
    std::filesystem::create_directories(art);
    std::string romPath;
    QtDialogs dialogs(nullptr);
    dialogs.SetRomPath([&romPath] { return romPath; });
    struct Step {
        std::string Rom;
        const char* Suggested;  // null: an open dialog
        std::string Choose;     // empty: cancel
        std::string Folder;     // where the dialog starts; empty: not checked
        std::string Offered;    // the file a save dialog offers
    };
    const Step steps[] = {
        {"", nullptr, art + "/tiles.png", "", ""},
        {"", "", "", art, ""},
        {roms + "/game.gb", nullptr, "", roms, ""},
        {roms + "/game.gb", "game.ips", "", roms, roms + "/game.ips"},
        {"", nullptr, "", art, ""},
    };
    for (const Step& step : steps) {
        romPath = step.Rom;
        std::string folder, offered;
        WhenModalOpens([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            folder = dialog->directory().absolutePath().toStdString();
            offered = step.Suggested && *step.Suggested ? dialog->selectedFiles().value(0).toStdString() : "";
            if (step.Choose.empty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(QString::fromStdString(step.Choose));
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
        const std::string filter = "All files (*.*)|*.*";
        const FileChoice choice =
            step.Suggested ? dialogs.SaveFileSuggesting(filter, step.Suggested) : dialogs.OpenFile(filter);
        EXPECT_EQ(choice.Path, step.Choose);
        if (!step.Folder.empty()) {
            EXPECT_EQ(folder, step.Folder) << step.Rom;
        }
        EXPECT_EQ(offered, step.Offered) << step.Rom;
    }
}
