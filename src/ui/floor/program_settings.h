#pragma once

#include "model/core/tile_layout.h"

#include <QString>

class QSettings;

// The program's own settings, kept by Qt (QSettings) apart from the layout
// file of the windows: what the user chose beyond the described options.

// The settings file, beside the layout file in the program's configuration
// folder ("settings.ini"); read and written as QSettings::IniFormat.
QString ProgramSettingsPath();

// The browser's tile layout as stored ("2x2,col"); the row order when none
// is stored or the stored text is not a layout.
TileLayout StoredBrowserLayout(const QSettings& settings);
void StoreBrowserLayout(QSettings& settings, const TileLayout& layout);

// Whether addresses show in hexadecimal; off when none is stored.
bool StoredHexAddresses(const QSettings& settings);
void StoreHexAddresses(QSettings& settings, bool hex);
