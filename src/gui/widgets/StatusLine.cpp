#include "widgets/StatusLine.h"

#include <QLabel>
#include <QStatusBar>
#include <QWidget>

namespace tl {

void showStatusText(QWidget* inside, const QString& text) {
    if (!inside)
        return;
    // The main window's status label "LBL" sits in its status bar.
    auto* bar = inside->window()->findChild<QStatusBar*>();
    if (QLabel* label = bar ? bar->findChild<QLabel*>(QStringLiteral("LBL")) : nullptr)
        label->setText(text);
}

} // namespace tl
