#include "ui/floor/program_settings.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

const QString BrowserLayoutKey = QStringLiteral("browser/layout");

}  // namespace

QString ProgramSettingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/settings.ini");
}

TileLayout StoredBrowserLayout(const QSettings& settings)
{
    const std::string text = settings.value(BrowserLayoutKey).toString().toStdString();
    return ParseTileLayout(text).value_or(TileLayout{});
}

bool StoredHexAddresses(const QSettings& settings)
{
    return settings.value(QStringLiteral("display/hexAddresses"), false).toBool();
}

void StoreHexAddresses(QSettings& settings, bool hex)
{
    settings.setValue(QStringLiteral("display/hexAddresses"), hex);
}

void StoreBrowserLayout(QSettings& settings, const TileLayout& layout)
{
    settings.setValue(BrowserLayoutKey, QString::fromStdString(TileLayoutText(layout)));
}
