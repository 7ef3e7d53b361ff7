#include "support/temp_dir.h"
#include "ui/floor/program_settings.h"

#include <QSettings>
#include <gtest/gtest.h>

TEST(ProgramSettings, TheBrowserLayoutIsKeptAndABadOneReadsAsRows)
{
    TempDir dir;
    const QString path = QString::fromStdString((dir.Path() / "brixel.conf").string());
    {
        QSettings settings(path, QSettings::IniFormat);
        EXPECT_EQ(StoredBrowserLayout(settings), TileLayout{});
        StoreBrowserLayout(settings, {4, 2, true});
    }
    QSettings settings(path, QSettings::IniFormat);
    EXPECT_EQ(settings.value(QStringLiteral("browser/layout")).toString().toStdString(), "4x2,col");
    EXPECT_EQ(StoredBrowserLayout(settings), (TileLayout{4, 2, true}));
    settings.setValue(QStringLiteral("browser/layout"), QStringLiteral("12x1"));
    EXPECT_EQ(StoredBrowserLayout(settings), TileLayout{});
}
