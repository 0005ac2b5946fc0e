#include "gui/widgets/BusyNotice.h"

#include "core/data/Database.h"
#include "gui/widgets/StatusLine.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>

namespace tl {

const char* const busyNoticeText = "正在等待另一处的保存完成……";

namespace {
int depth = 0;           // waits begun and not yet over (a wait inside a wait counts once)
bool repainting = false; // the events let through below must not start it again
QPointer<QLabel> line;
QString lineBefore;

QWidget* activeWindow() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}
} // namespace

void installBusyNotice() {
    Database::setBusyHook(&busyNotice);
}

void busyNotice(bool waiting) {
    if (waiting) {
        if (++depth > 1)
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        line = statusLineOf(activeWindow());
        if (line) {
            lineBefore = line->text();
            line->setText(QString::fromUtf8(busyNoticeText));
        }
        if (!repainting) {
            // Paints the cursor and the text; the operator's keys and clicks wait.
            repainting = true;
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            repainting = false;
        }
        return;
    }
    if (depth == 0 || --depth > 0)
        return;
    QApplication::restoreOverrideCursor();
    if (line && line->text() == QString::fromUtf8(busyNoticeText))
        line->setText(lineBefore);
    line = nullptr;
}

} // namespace tl
