#include "core/printing/PrintDocument.h"

#include "core/support/Progress.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace tl {

QPageLayout PageSetup::layoutFor(const PrintDocument& document) const {
    QPageLayout portrait(paper, QPageLayout::Portrait, margins, QPageLayout::Millimeter);
    const QPageLayout::Orientation chosen =
        orientation ? *orientation : document.preferredOrientation(printableArea(portrait));
    portrait.setOrientation(chosen);
    return portrait;
}

QSizeF printableArea(const QPageLayout& layout) {
    return layout.paintRect(QPageLayout::Point).size();
}

namespace {

// Offers 取消 while it lives.
class CancelOffer {
public:
    explicit CancelOffer(Progress& progress) : m_progress(progress) { progress.offerCancel(true); }
    ~CancelOffer() { m_progress.offerCancel(false); }
    CancelOffer(const CancelOffer&) = delete;
    CancelOffer& operator=(const CancelOffer&) = delete;

private:
    Progress& m_progress;
};

} // namespace

int paintDocument(PrintDocument& document, QPagedPaintDevice& device, Progress& progress, int from,
                  int to) {
    const CancelOffer offer(progress);
    const int pages = document.paginate(printableArea(device.pageLayout()), progress);
    if (pages < 1)
        return 0;
    if (from < 1)
        from = 1;
    if (to < 1 || to > pages)
        to = pages;
    if (from > to)
        return 0;
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    // Points from here on: the document never sees the device's resolution.
    const qreal scale = device.logicalDpiX() / 72.0;
    const int count = to - from + 1;
    progress.show(QStringLiteral("正在打印第 %1 页，共 %2 页").arg(from).arg(pages), count);
    int painted = 0;
    for (int page = from; page <= to; ++page) {
        if (progress.cancelled())
            break;
        if (page > from && !device.newPage())
            break;
        painter.save();
        painter.scale(scale, scale);
        document.paintPage(painter, page - 1);
        painter.restore();
        ++painted;
        if (page < to)
            progress.show(QStringLiteral("正在打印第 %1 页，共 %2 页").arg(page + 1).arg(pages),
                          count);
        progress.step(painted);
    }
    painter.end();
    progress.close();
    return painted == count ? painted : 0;
}

} // namespace tl
