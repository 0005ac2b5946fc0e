#include "gui/widgets/WindowPlace.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

namespace tl {

namespace {

// Room for the frame the window manager adds around the window.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 48;

const QString kProgram = QStringLiteral("TradeLedger");

// Only the program itself keeps places: tests and tools that open its windows
// leave the user's settings alone.
bool keepsSettings() {
    return QCoreApplication::applicationName() == kProgram;
}

// ~/.config/TradeLedger/TradeLedger.conf
QSettings settings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, kProgram, kProgram);
}

QString settingsKey(const QString& key) {
    return QStringLiteral("windows/") + key + QStringLiteral("/geometry");
}

void centre(QWidget* window, QSize preferred) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window->resize(preferred);
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize size(std::min(preferred.width(), area.width() - kFrameWidth),
                     std::min(preferred.height(), area.height() - kFrameHeight));
    window->resize(size.expandedTo(window->minimumSizeHint()).boundedTo(area.size()));
    const int w = window->width() + kFrameWidth;
    const int h = window->height() + kFrameHeight;
    window->move(area.x() + std::max(0, (area.width() - w) / 2),
                 area.y() + std::max(0, (area.height() - h) / 2));
}

} // namespace

void restoreWindowPlace(QWidget* window, const QString& key, QSize preferred) {
    if (keepsSettings()) {
        const QByteArray saved = settings().value(settingsKey(key)).toByteArray();
        // restoreGeometry moves a window that lies off every screen back onto one.
        if (!saved.isEmpty() && window->restoreGeometry(saved))
            return;
    }
    centre(window, preferred);
}

void saveWindowPlace(const QWidget* window, const QString& key) {
    if (keepsSettings())
        settings().setValue(settingsKey(key), window->saveGeometry());
}

std::unique_ptr<QSettings> programSettings() {
    if (!keepsSettings())
        return nullptr;
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kProgram,
                                       kProgram);
}

} // namespace tl
