#include "ui/app/qt_dialogs.h"

#include "model/core/dialog_start.h"
#include "model/core/file_filter.h"
#include "ui/floor/tool_window.h"

#include <QColorDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QMargins>
#include <QMessageBox>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

#include <utility>

namespace {

// The longest a dialog waits for a main window being shown to be placed.
constexpr int PlaceWaitMilliseconds = 1000;

// Ends a wait once the watched window is on the screen.
class ExposeWaiter : public QObject {
public:
    ExposeWaiter(QWindow& window, QEventLoop& loop) : window_(window), loop_(loop) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && window_.isExposed())
            loop_.quit();
        return false;
    }

private:
    QWindow& window_;
    QEventLoop& loop_;
};

// A window manager places a main window only after mapping it, which comes
// after the show: a dialog asked for in between (the start-up file's
// message) waits until then, so that it is centred where the main window
// ends up. No input is handled while it waits.
void WaitUntilPlaced(const QWidget* owner)
{
    QWindow* window = owner && owner->isVisible() && !owner->isMinimized() ? owner->windowHandle() : nullptr;
    if (!window || window->isExposed())
        return;
    QEventLoop loop;
    const ExposeWaiter waiter(*window, loop);
    QTimer::singleShot(PlaceWaitMilliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// Where a dialog's frame goes: centred over its main window's frame while
// that is shown, over the free area of the main window's screen while it is
// hidden or minimised; inside that area.
QPoint DialogPosition(const QWidget& dialog, const QWidget* owner)
{
    const ScreenRect screen = AvailableScreen(owner);
    PixelRect over = screen;
    if (owner && owner->isVisible() && !owner->isMinimized()) {
        const QRect frame = owner->frameGeometry();
        over = {frame.x(), frame.y(), frame.width(), frame.height()};
    }
    const QSize frame = dialog.size().grownBy(LikelyFrame(dialog));
    const PixelPoint place = DefaultFloatingPosition(over, {frame.width(), frame.height()}, screen);
    return {place.X, place.Y};
}

// A Qt dialog that opens where DialogPosition says, once its main window
// has been placed. While it stands where it was put, it follows the main
// window: a window manager frames the main window after mapping it, and a
// restored layout then sizes it once more.
template <class Dialog> class PlacedDialog : public Dialog {
public:
    template <class... Args>
    explicit PlacedDialog(QWidget* owner, Args&&... args) : Dialog(std::forward<Args>(args)...), owner_(owner)
    {
        if (owner)
            owner->installEventFilter(this);
    }

    int exec() override
    {
        WaitUntilPlaced(owner_);
        return Dialog::exec();
    }

protected:
    // After the dialog has taken its size, before the window system shows it.
    void showEvent(QShowEvent* event) override
    {
        Dialog::showEvent(event);
        if (!event->spontaneous())
            Place();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A dialog moved by the user stays there. Its client area is
        // compared: the frame's corner moves when the dialog is framed.
        if (watched == owner_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
            this->isVisible() && this->geometry().topLeft() == placedAt_)
            Place();
        return Dialog::eventFilter(watched, event);
    }

private:
    void Place()
    {
        MoveFrameTo(*this, DialogPosition(*this, owner_));
        placedAt_ = this->geometry().topLeft();
    }

    QWidget* owner_;
    QPoint placedAt_;
};

}  // namespace

void QtDialogs::Message(const std::string& text, const std::string& caption, MsgIcon icon)
{
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    if (icon == MsgIcon::Information)
        qtIcon = QMessageBox::Information;
    else if (icon == MsgIcon::Critical)
        qtIcon = QMessageBox::Critical;
    PlacedDialog<QMessageBox> box(parent_, qtIcon, QString::fromStdString(caption), DisplayText(text), QMessageBox::Ok,
                                  parent_);
    box.exec();
}

bool QtDialogs::AskYesNo(const std::string& text, const std::string& caption)
{
    PlacedDialog<QMessageBox> box(parent_, QMessageBox::NoIcon, QString::fromStdString(caption), DisplayText(text),
                                  QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

SaveChoice QtDialogs::AskSaveDiscardCancel(const std::string& text, const std::string& caption)
{
    PlacedDialog<QMessageBox> box(parent_, QMessageBox::Warning, QString::fromStdString(caption), DisplayText(text),
                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

FileChoice QtDialogs::OpenFile(const std::string& filter)
{
    return RunFileDialog(filter, false);
}

FileChoice QtDialogs::SaveFile(const std::string& filter)
{
    return SaveFileSuggesting(filter, {});
}

FileChoice QtDialogs::SaveFileSuggesting(const std::string& filter, const std::string& suggestedName)
{
    FileChoice choice = RunFileDialog(filter, true, suggestedName);
    // A name typed without an extension gets the chosen entry's one.
    const std::vector<FileFilterEntry> entries = ParseFileFilter(filter);
    if (!choice.Path.empty() && choice.FilterIndex >= 1 && choice.FilterIndex <= static_cast<int>(entries.size()))
        choice.Path = WithDefaultExtension(choice.Path, entries[choice.FilterIndex - 1]);
    return choice;
}

std::optional<PackedColor> QtDialogs::PickColor()
{
    PlacedDialog<QColorDialog> dialog(parent_, QColor(Qt::white), parent_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor color = dialog.selectedColor();
    if (!color.isValid())
        return std::nullopt;
    return MakePackedColor(color.red(), color.green(), color.blue());
}

FileChoice QtDialogs::RunFileDialog(const std::string& filter, bool save, const std::string& suggestedName)
{
    const QStringList nameFilters = ToNameFilters(filter);
    PlacedDialog<QFileDialog> dialog(parent_, parent_);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The program asks its own overwrite questions, and an open may name a
    // file that does not exist (it is then treated like a cancel).
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters);
    if (!nameFilters.isEmpty())
        dialog.selectNameFilter(nameFilters.front());
    const std::string folder = DialogStartFolder(romPath_ ? romPath_() : std::string(), lastChosen_);
    if (!folder.empty())
        dialog.setDirectory(QString::fromStdString(folder));
    if (!suggestedName.empty())
        dialog.selectFile(QString::fromStdString(suggestedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().front();
    if (path.isEmpty())
        return {};
    lastChosen_ = path.toStdString();
    return {path.toStdString(), FilterIndexOf(nameFilters, dialog.selectedNameFilter())};
}

QStringList QtDialogs::ToNameFilters(const std::string& filter)
{
    QStringList nameFilters;
    for (const FileFilterEntry& entry : ParseFileFilter(filter)) {
        QStringList patterns;
        for (const std::string& pattern : entry.Patterns)
            patterns << (pattern == "*.*" ? QStringLiteral("*") : QString::fromStdString(pattern));
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        nameFilters << QString::fromStdString(entry.Label) + QStringLiteral(" (") + patterns.join(' ') +
                           QStringLiteral(")");
    }
    return nameFilters;
}

int QtDialogs::FilterIndexOf(const QStringList& nameFilters, const QString& selected)
{
    // With the details hidden the dialog reports the label alone.
    for (qsizetype i = 0; i < nameFilters.size(); ++i) {
        const QString& nameFilter = nameFilters[i];
        if (nameFilter == selected || nameFilter.left(nameFilter.lastIndexOf(QStringLiteral(" ("))) == selected)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

QString QtDialogs::DisplayText(const std::string& text)
{
    QString display = QString::fromStdString(text);
    display.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    display.replace('\r', '\n');
    return display;
}
