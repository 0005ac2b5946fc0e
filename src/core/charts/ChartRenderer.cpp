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

// Where the bars stand: the plot, the rows shown and the scale of the values.
struct Layout {
    QRectF plot;
    int firstRow, lastRow, series;
    double maxValue, scale, slot, barWidth;
};

Layout layoutOf(const Grid& table, const QSizeF& picture, int firstRow, int lastRow) {
    Layout l;
    l.series = table.cols() - 1;
    l.firstRow = std::max(firstRow, 1);
    l.lastRow = std::min(lastRow, table.rows() - 1);
    l.plot = chart::plotRect(picture);
    // Scale: the highest bar reaches nine tenths of the plot.
    l.maxValue = 0;
    for (int r = 1; r < table.rows(); ++r)
        for (int c = 1; c <= l.series; ++c)
            l.maxValue = std::max(l.maxValue, chartCellNumber(table.text(r, c)));
    if (l.maxValue <= 0)
        l.maxValue = 10;
    l.scale = l.plot.height() / l.maxValue * 9 / 10;
    l.slot = l.plot.width() / std::max(1, l.lastRow - l.firstRow + 1);
    l.barWidth = l.slot * 5 / 6 / l.series;
    return l;
}

// The value axis: grid lines across the plot and their labels on the left.
void paintValueAxis(QPainter& p, const Grid& table, const Layout& l) {
    const QRectF& plot = l.plot;
    const double step = chart::axisStep(l.maxValue);
    const double stepHeight = std::nearbyint(step * l.scale);
    if (step == 0 || stepHeight <= 0)
        return;
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

ValueLabels valueLabelsFor(const Grid& table, const Layout& l, const QFontMetricsF& metrics) {
    double widest = 0, tallest = 0;
    for (int r = l.firstRow; r <= l.lastRow; ++r)
        for (int c = 1; c <= l.series; ++c) {
            const QRectF tight = metrics.tightBoundingRect(table.text(r, c));
            widest = std::max(widest, metrics.horizontalAdvance(table.text(r, c)));
            tallest = std::max(tallest, tight.height());
        }
    return widest <= l.barWidth - 2 * px    ? ValueLabels::Level
           : tallest <= l.barWidth - 2 * px ? ValueLabels::Upright
                                            : ValueLabels::None;
}

// One bar with its value label.
void paintBar(QPainter& p, const Layout& l, int series, double x, const QString& text,
              ValueLabels labels, const QFont& font) {
    const double value = std::max(0.0, chartCellNumber(text));
    const double height = value * l.scale;
    const double top = l.plot.bottom() - height;
    p.fillRect(QRectF(x, top, l.barWidth, height), chart::seriesColor(series));
    if (labels == ValueLabels::None)
        return;
    const QFontMetricsF metrics(font);
    p.setFont(font);
    p.setPen(Qt::black);
    const double width = metrics.horizontalAdvance(text);
    const double centre = x + l.barWidth / 2;
    if (labels == ValueLabels::Level) {
        p.drawText(QPointF(centre - width / 2, top - 3 * px - metrics.descent()), text);
    } else if (top - 3 * px - width >= l.plot.top() - 3 * px) {
        drawTurned(p, QPointF(centre, top - 3 * px), -90, text);
    } else if (height >= width + 6 * px) { // no room above: inside the bar's top
        p.setPen(Qt::white);
        drawTurned(p, QPointF(centre, top + 3 * px + width), -90, text);
    }
}

// The bars of every row shown, and below them the row labels: every row
// when they fit side by side, else every k-th.
void paintBars(QPainter& p, const Grid& table, const Layout& l, const QSizeF& picture) {
    const QFont valueFont = fontOf(13);
    const ValueLabels valueLabels = valueLabelsFor(table, l, QFontMetricsF(valueFont));
    const QFont rowFont = fontOf(14);
    const QFontMetricsF rowMetrics(rowFont);
    double rowThickness = 0;
    for (int r = l.firstRow; r <= l.lastRow; ++r)
        rowThickness =
            std::max(rowThickness, rowMetrics.tightBoundingRect(table.text(r, 0)).height());
    const int every = std::max(1, int(std::ceil((rowThickness + 4 * px) / l.slot)));
    const double rowLabelTop = l.plot.bottom() + 75;
    const double rowLabelRoom = picture.height() - rowLabelTop - 2 * px;

    double slotStart = l.plot.left() + 20;
    for (int r = l.firstRow; r <= l.lastRow; ++r, slotStart += l.slot) {
        for (int c = 1; c <= l.series; ++c)
            paintBar(p, l, c, slotStart + l.barWidth * (c - 1), table.text(r, c), valueLabels,
                     valueFont);
        if ((r - l.firstRow) % every == 0 && rowLabelRoom > 0) {
            p.setFont(rowFont);
            p.setPen(Qt::black);
            const QString label =
                rowMetrics.elidedText(table.text(r, 0), Qt::ElideRight, rowLabelRoom);
            drawTurned(p, QPointF(slotStart + l.barWidth * l.series / 2, rowLabelTop), 90, label);
        }
    }
}

// The series names with their colours, centred at the right.
void paintLegend(QPainter& p, const Grid& table, const Layout& l, const QSizeF& picture) {
    const double legendLeft = l.plot.right() + 100;
    const double legendRight = picture.width() - 100;
    const double legendTop = (picture.height() - l.series * 500) / 2;
    const QFont legendFont = fontOf(14);
    const QFontMetricsF legendMetrics(legendFont);
    p.setFont(legendFont);
    p.setPen(Qt::black);
    for (int c = 1; c <= l.series; ++c) {
        const double y = legendTop + 500 * (c - 1);
        const QString name =
            legendMetrics.elidedText(table.text(0, c), Qt::ElideRight, legendRight - legendLeft);
        p.drawText(QPointF(legendLeft, y + 170 - legendMetrics.tightBoundingRect(name).bottom()),
                   name);
        p.fillRect(QRectF(QPointF(legendLeft, y + 200), QPointF(legendRight, y + 450)),
                   chart::seriesColor(c));
    }
}

// The title, centred on top.
void paintTitle(QPainter& p, const QString& title, const QSizeF& picture) {
    p.setFont(fitted(fontOf(25), title, picture.width() - 200));
    const QFontMetricsF titleMetrics(p.font());
    p.drawText(QPointF((picture.width() - titleMetrics.horizontalAdvance(title)) / 2,
                       200 - titleMetrics.tightBoundingRect(title).top()),
               title);
}

} // namespace

void paintChart(QPainter& p, const Grid& table, const QString& title, const QSizeF& picture,
                int firstRow, int lastRow) {
    if (table.cols() < 2)
        return;
    const Layout layout = layoutOf(table, picture, firstRow, lastRow);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(QRectF(QPointF(0, 0), picture), Qt::white);
    p.fillRect(layout.plot.adjusted(-15, -15, 15, 15), Qt::black);
    p.fillRect(layout.plot, chart::plotColor());
    paintValueAxis(p, table, layout);
    paintBars(p, table, layout, picture);
    paintLegend(p, table, layout, picture);
    paintTitle(p, title, picture);
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
