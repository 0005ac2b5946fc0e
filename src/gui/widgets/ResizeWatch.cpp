#include "gui/widgets/ResizeWatch.h"

#include <QEvent>
#include <QResizeEvent>
#include <QTimer>
#include <QWidget>

namespace tl {

namespace {

class ResizeWatch : public QObject {
public:
    ResizeWatch(QWidget* widget, std::function<void()> callback)
        : QObject(widget), m_callback(std::move(callback)) {
        m_timer.setSingleShot(true);
        m_timer.setInterval(120);
        connect(&m_timer, &QTimer::timeout, this, [this] { m_callback(); });
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            auto* resize = static_cast<QResizeEvent*>(event);
            if (resize->oldSize().width() >= 0 &&
                resize->oldSize().width() != resize->size().width())
                m_timer.start();
        }
        return false;
    }

private:
    std::function<void()> m_callback;
    QTimer m_timer;
};

} // namespace

void onWidthSettled(QWidget* widget, std::function<void()> callback) {
    new ResizeWatch(widget, std::move(callback));
}

} // namespace tl
