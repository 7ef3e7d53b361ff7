#include "ui/app/manual_window.h"

#include "model/core/dialogs.h"
#include "ui/floor/shell.h"
#include "ui/floor/windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <optional>

namespace {

// The manual is a few dozen kilobytes; anything far larger is not it.
constexpr qint64 ManualReadLimit = qint64{1} << 20;

struct ReadManual {
    QString Markdown;
    QString Folder;
};

std::optional<ReadManual> ReadFirstManual(const QStringList& paths)
{
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.read(ManualReadLimit);
        if (bytes.isEmpty())
            continue;
        return ReadManual{QString::fromUtf8(bytes), QFileInfo(path).absolutePath()};
    }
    return std::nullopt;
}

}  // namespace

ManualWindow::ManualWindow(QWidget* parent, const QString& markdown, const QString& folder)
    : QWidget(parent, Qt::Window), Text(new QTextBrowser)
{
    setObjectName(QStringLiteral("ManualWindow"));
    setWindowTitle(QStringLiteral("Brixel - User's manual"));
    Text->setOpenExternalLinks(true);
    Text->setSearchPaths({folder});
    Text->setMarkdown(markdown);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Text);
    resize(720, 640);
}

QStringList ManualPaths()
{
    QStringList paths{
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/doc/brixel/manual.md"))};
#ifdef BRIXEL_MANUAL_SOURCE
    paths << QStringLiteral(BRIXEL_MANUAL_SOURCE);
#endif
    return paths;
}

void ShowManual(Windows& windows)
{
    QMainWindow& main = windows.Shell.MainWindow();
    auto* window = main.findChild<ManualWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        const QStringList paths = ManualPaths();
        const std::optional<ReadManual> manual = ReadFirstManual(paths);
        if (!manual) {
            windows.Dialogs.Message("The user's manual could not be read. It was looked for at:\r" +
                                        paths.join(QLatin1Char('\r')).toStdString(),
                                    "User's manual", MsgIcon::Critical);
            return;
        }
        window = new ManualWindow(&main, manual->Markdown, manual->Folder);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
