#include "ui/floor/program_settings.h"

#include <QSettings>

namespace {

const QString BrowserLayoutKey = QStringLiteral("browser/layout");

}  // namespace

TileLayout StoredBrowserLayout(const QSettings& settings)
{
    const std::string text = settings.value(BrowserLayoutKey).toString().toStdString();
    return ParseTileLayout(text).value_or(TileLayout{});
}

void StoreBrowserLayout(QSettings& settings, const TileLayout& layout)
{
    settings.setValue(BrowserLayoutKey, QString::fromStdString(TileLayoutText(layout)));
}
