#include "ui/app/file_drop.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

std::optional<std::string> DroppedFilePath(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    const QString path = urls.front().toLocalFile();
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return path.toStdString();
}

std::optional<Qt::DropAction> FileDropAction(Qt::DropActions offered)
{
    if (offered.testFlag(Qt::CopyAction))
        return Qt::CopyAction;
    if (offered.testFlag(Qt::LinkAction))
        return Qt::LinkAction;
    return std::nullopt;
}
