#include "core/printing/ChartDocument.h"

#include "core/charts/ChartRenderer.h"

#include <QPainter>

namespace tl {

ChartDocument::ChartDocument(const Grid& table, QString chartTitle, PrintHeading heading)
    : m_table(table), m_chartTitle(std::move(chartTitle)), m_heading(std::move(heading)) {}

int ChartDocument::paginate(const QSizeF& area, Progress&) {
    m_area = area;
    return 1;
}

void ChartDocument::paintPage(QPainter& painter, int index) {
    if (index != 0)
        return;
    pageframe::paint(painter, m_heading, m_area, 1, 1);
    const QRectF body = pageframe::body(m_area, m_heading);
    painter.save();
    painter.translate(body.topLeft());
    // Laid out with a point for the screen's pixel: the chart's texts print
    // at the sizes they have on screen, in points.
    paintChartPicture(painter, m_table, m_chartTitle, body.size());
    painter.restore();
}

} // namespace tl
