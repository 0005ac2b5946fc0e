#pragma once

#include <QSize>
#include <QString>
#include <memory>

class QSettings;

class QWidget;

namespace tl {

// Size and position of a top-level window kept between runs in the user's
// settings (~/.config/TradeLedger/TradeLedger.conf). A window
// seen for the first time, or whose place no longer lies on a screen, opens
// at its preferred size, shrunk to fit, centred in the screen's available
// area (the area without panels and docks).
// Only the program itself (application name "TradeLedger") keeps places;
// tests and tools that open its windows read and write nothing.
void restoreWindowPlace(QWidget* window, const QString& key, QSize preferred);
void saveWindowPlace(const QWidget* window, const QString& key);

// The same settings for other things the program remembers between runs;
// nothing for tests and tools.
std::unique_ptr<QSettings> programSettings();

} // namespace tl
