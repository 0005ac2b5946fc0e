#pragma once

#include <QSize>
#include <QString>

class QWidget;

namespace tl {

// Size and position of a top-level window kept between runs in the user's
// settings (QSettings of the application's organisation and name). A window
// seen for the first time, or whose place no longer lies on a screen, opens
// at its preferred size, shrunk to fit, centred in the screen's available
// area (the area without panels and docks).
// A program that has not named its organisation (a test) keeps nothing.
void restoreWindowPlace(QWidget* window, const QString& key, QSize preferred);
void saveWindowPlace(const QWidget* window, const QString& key);

} // namespace tl
