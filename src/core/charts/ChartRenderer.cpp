#include "core/charts/ChartRenderer.h"

#include "core/charts/ChartGrid.h"
#include "core/grid/Grid.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tl {

namespace chart {

QRectF plotRect(const QSizeF& picture) {
    return QRectF(QPointF(1000, 800), QPointF(picture.width() - 1000, picture.height() - 1000));
}

int rowAt(const QSizeF& picture, int firstRow, int lastRow, double x) {
    const QRectF plot = plotRect(picture);
    const int count = lastRow - firstRow + 1;
    if (count < 1 || plot.width() <= 0)
        return 0;
    const double slot = plot.width() / count;
    const double k = std::floor((x - plot.left() - 20) / slot);
    return k >= 0 && k < count ? firstRow + int(k) : 0;
}

QColor seriesColor(int series) {
    const int k = 80 * (series - 1);
    return QColor(std::clamp(255 - k, 0, 255), std::clamp(k, 0, 255), std::clamp(255 - k, 0, 255));
}

double axisStep(double maxValue) {
    return std::nearbyint(maxValue / 5); // the default rounding mode: halves to even
}

} // namespace chart

namespace {

constexpr double px = chart::kTwipsPerPixel;

// The same face on screen, in files and from the command line, whatever the
// application font: one that has the Chinese labels.
QFont fontOf(double pixels) {
    QFont f;
    f.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                   QStringLiteral("WenQuanYi Micro Hei"), f.defaultFamily()});
    f.setPixelSize(std::max(1, int(std::lround(pixels * px))));
    return f;
}

// Shrinks a font until the text fits the width (not below 8 pixels).
QFont fitted(QFont font, const QString& text, double width) {
    for (;;) {
        const double w = QFontMetricsF(font).horizontalAdvance(text);
        if (w <= width || font.pixelSize() <= 8 * px)
            return font;
        font.setPixelSize(std::max(int(8 * px), int(font.pixelSize() * width / w)));
    }
}

// Draws a text turned by quarter turns (90: running downwards, -90: upwards),
// starting at the point and centred across its line on it.
void drawTurned(QPainter& p, const QPointF& at, double angle, const QString& text) {
    const QRectF tight = QFontMetricsF(p.font()).tightBoundingRect(text);
    p.save();
    p.translate(at);
    p.rotate(angle);
    p.drawText(QPointF(0, -(tight.top() + tight.bottom()) / 2), text);
    p.restore();
}

// The value labels of the bars: above each bar when they fit its width,
// upright when only their height does, else left out.
enum class ValueLabels { Level, Upright, None };

} // namespace

void paintChart(QPainter& p, const Grid& table, const QString& title, const QSizeF& picture,
                int firstRow, int lastRow) {
    if (table.cols() < 2)
        return;
    const int series = table.cols() - 1;
    firstRow = std::max(firstRow, 1);
    lastRow = std::min(lastRow, table.rows() - 1);
    const int slotCount = std::max(1, lastRow - firstRow + 1);
    const QRectF plot = chart::plotRect(picture);

    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(QRectF(QPointF(0, 0), picture), Qt::white);
    p.fillRect(plot.adjusted(-15, -15, 15, 15), Qt::black);
    p.fillRect(plot, chart::plotColor());

    // Scale: the highest bar reaches nine tenths of the plot.
    double maxValue = 0;
    for (int r = 1; r < table.rows(); ++r)
        for (int c = 1; c <= series; ++c)
            maxValue = std::max(maxValue, chartCellNumber(table.text(r, c)));
    if (maxValue <= 0)
        maxValue = 10;
    const double scale = plot.height() / maxValue * 9 / 10;
    const double slot = plot.width() / slotCount;

    // Value axis and grid lines.
    const double step = chart::axisStep(maxValue);
    const double stepHeight = std::nearbyint(step * scale);
    if (step != 0 && stepHeight > 0) {
        const bool percent = table.rows() > 1 && table.text(1, 1).contains(QLatin1Char('%'));
        const QFont axisFont = fontOf(14);
        // On a low plot, label every k-th line so that labels never touch.
        const double labelHeight =
            QFontMetricsF(axisFont).tightBoundingRect(QStringLiteral("0123456789")).height();
        const int every = std::max(1, int(std::ceil((labelHeight + 3 * px) / stepHeight)));
        p.setPen(QPen(Qt::white, px));
        for (int i = 0; i <= 10; ++i) {
            const double y = plot.bottom() - i * stepHeight;
            if (y < plot.top())
                break;
            if (i > 0) // the bottom line is the frame
                p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
            if (i % every != 0)
                continue;
            QString label = chartNumberText(i * step);
            if (percent)
                label += QLatin1Char('%');
            p.setFont(fitted(axisFont, label, plot.left() - 8 * px));
            const QFontMetricsF fm(p.font());
            const QRectF tight = fm.tightBoundingRect(label);
            p.setPen(Qt::black);
            p.drawText(QPointF(plot.left() - 6 * px - fm.horizontalAdvance(label),
                               y - (tight.top() + tight.bottom()) / 2),
                       label);
            p.setPen(QPen(Qt::white, px));
        }
    }

    // How the value labels fit the bars.
    const double barWidth = slot * 5 / 6 / series;
    const QFont valueFont = fontOf(13);
    const QFontMetricsF valueMetrics(valueFont);
    double widest = 0, tallest = 0;
    for (int r = firstRow; r <= lastRow; ++r)
        for (int c = 1; c <= series; ++c) {
            const QRectF tight = valueMetrics.tightBoundingRect(table.text(r, c));
            widest = std::max(widest, valueMetrics.horizontalAdvance(table.text(r, c)));
            tallest = std::max(tallest, tight.height());
        }
    const ValueLabels valueLabels = widest <= barWidth - 2 * px    ? ValueLabels::Level
                                    : tallest <= barWidth - 2 * px ? ValueLabels::Upright
                                                                   : ValueLabels::None;

    // Row labels: every row when they fit side by side, else every k-th.
    const QFont rowFont = fontOf(14);
    const QFontMetricsF rowMetrics(rowFont);
    double rowThickness = 0;
    for (int r = firstRow; r <= lastRow; ++r)
        rowThickness =
            std::max(rowThickness, rowMetrics.tightBoundingRect(table.text(r, 0)).height());
    const int every = std::max(1, int(std::ceil((rowThickness + 4 * px) / slot)));
    const double rowLabelTop = plot.bottom() + 75;
    const double rowLabelRoom = picture.height() - rowLabelTop - 2 * px;

    double slotStart = plot.left() + 20;
    for (int r = firstRow; r <= lastRow; ++r, slotStart += slot) {
        for (int c = 1; c <= series; ++c) {
            const QString text = table.text(r, c);
            const double value = std::max(0.0, chartCellNumber(text));
            const double x = slotStart + barWidth * (c - 1);
            const double height = value * scale;
            const double top = plot.bottom() - height;
            p.fillRect(QRectF(x, top, barWidth, height), chart::seriesColor(c));
            if (valueLabels == ValueLabels::None)
                continue;
            p.setFont(valueFont);
            p.setPen(Qt::black);
            const double width = valueMetrics.horizontalAdvance(text);
            const double centre = x + barWidth / 2;
            if (valueLabels == ValueLabels::Level) {
                p.drawText(QPointF(centre - width / 2, top - 3 * px - valueMetrics.descent()),
                           text);
            } else if (top - 3 * px - width >= plot.top() - 3 * px) {
                drawTurned(p, QPointF(centre, top - 3 * px), -90, text);
            } else if (height >= width + 6 * px) { // no room above: inside the bar's top
                p.setPen(Qt::white);
                drawTurned(p, QPointF(centre, top + 3 * px + width), -90, text);
            }
        }
        if ((r - firstRow) % every == 0 && rowLabelRoom > 0) {
            p.setFont(rowFont);
            p.setPen(Qt::black);
            const QString label =
                rowMetrics.elidedText(table.text(r, 0), Qt::ElideRight, rowLabelRoom);
            drawTurned(p, QPointF(slotStart + barWidth * series / 2, rowLabelTop), 90, label);
        }
    }

    // Legend: the series names with their colours, centred at the right.
    const double legendLeft = plot.right() + 100;
    const double legendRight = picture.width() - 100;
    const double legendTop = (picture.height() - series * 500) / 2;
    const QFont legendFont = fontOf(14);
    const QFontMetricsF legendMetrics(legendFont);
    p.setFont(legendFont);
    p.setPen(Qt::black);
    for (int c = 1; c <= series; ++c) {
        const double y = legendTop + 500 * (c - 1);
        const QString name =
            legendMetrics.elidedText(table.text(0, c), Qt::ElideRight, legendRight - legendLeft);
        p.drawText(QPointF(legendLeft, y + 170 - legendMetrics.tightBoundingRect(name).bottom()),
                   name);
        p.fillRect(QRectF(QPointF(legendLeft, y + 200), QPointF(legendRight, y + 450)),
                   chart::seriesColor(c));
    }

    // Title, centred on top.
    p.setFont(fitted(fontOf(25), title, picture.width() - 200));
    const QFontMetricsF titleMetrics(p.font());
    p.drawText(QPointF((picture.width() - titleMetrics.horizontalAdvance(title)) / 2,
                       200 - titleMetrics.tightBoundingRect(title).top()),
               title);
    p.restore();
}

void paintChartPicture(QPainter& painter, const Grid& table, const QString& title,
                       const QSizeF& pixels, int border) {
    painter.save();
    QRectF inner(QPointF(0, 0), pixels);
    if (border > 0) {
        painter.fillRect(inner, QColor(138, 138, 138));
        inner.adjust(border, border, -border, -border);
    }
    painter.translate(inner.topLeft());
    painter.scale(1 / px, 1 / px);
    paintChart(painter, table, title, inner.size() * px, 1, table.rows() - 1);
    painter.restore();
}

} // namespace tl
