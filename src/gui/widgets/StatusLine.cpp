#include "widgets/StatusLine.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace tl {

namespace {
constexpr int kShownMs = 15000;
const char* const kIdle = "tlIdleText";
const char* const kShown = "tlShownText";

// The main window's status label "LBL" sits in its status bar.
QLabel* mainStatusLabel(QWidget* inside) {
    if (!inside)
        return nullptr;
    auto* bar = inside->window()->findChild<QStatusBar*>();
    return bar ? bar->findChild<QLabel*>(QStringLiteral("LBL")) : nullptr;
}

// Gives the line its idle text back unless something else has written it since.
void expire(QLabel* label) {
    const QString shown = label->property(kShown).toString();
    if (!shown.isEmpty() && label->text() == shown)
        label->setText(label->property(kIdle).toString());
    label->setProperty(kShown, QVariant());
}
} // namespace

QLabel* makeStatusLine(QWidget* window, const QString& idleText) {
    auto* label = new QLabel(idleText, window);
    label->setObjectName(QStringLiteral("LBL"));
    label->setProperty(kIdle, idleText);
    auto* expiry = new QTimer(label);
    expiry->setObjectName(QStringLiteral("statusExpiry"));
    expiry->setSingleShot(true);
    expiry->setInterval(kShownMs);
    QObject::connect(expiry, &QTimer::timeout, label, [label] { expire(label); });
    return label;
}

void showStatusText(QWidget* inside, const QString& text) {
    QLabel* label = mainStatusLabel(inside);
    if (!label)
        return;
    label->setText(text);
    label->setProperty(kShown, text);
    if (auto* expiry = label->findChild<QTimer*>(QStringLiteral("statusExpiry")))
        expiry->start();
}

void clearStatusText(QWidget* inside) {
    if (QLabel* label = mainStatusLabel(inside))
        expire(label);
}

QLabel* statusLineOf(QWidget* window) {
    if (!window)
        return nullptr;
    if (QLabel* label = mainStatusLabel(window))
        return label;
    return window->findChild<QLabel*>(QStringLiteral("status"), Qt::FindDirectChildrenOnly);
}

} // namespace tl
