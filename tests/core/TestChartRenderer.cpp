#include "charts/ChartPicture.h"
#include "charts/ChartRenderer.h"
#include "charts/ChartTable.h"
#include "grid/Grid.h"

#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QTest>

using namespace tl;

class TestChartRenderer : public QObject {
    Q_OBJECT
private slots:
    void barsAxisAndPlotArea();
    void smallValuesAndNegatives();
    void labelsNeverCollide_data();
    void labelsNeverCollide();
};

namespace {

// Picture 600 x 400 pixels (9000 x 6000 twips): plot from (1000, 800) to
// (8000, 5000) twips.
const QSize kSize(600, 400);
constexpr double kTw = 15.0;

void fill(Grid& g, const QStringList& series, const QList<QStringList>& rows) {
    g.reset(1 + int(rows.size()), 1 + int(series.size()), 1, 1);
    for (int c = 0; c < series.size(); ++c)
        g.setText(0, c + 1, series[c]);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            g.setText(r + 1, c, rows[r][c]);
}

QRgb at(const QImage& image, double xTwips, double yTwips) {
    return image.pixel(int(xTwips / kTw), int(yTwips / kTw)) & 0xffffff;
}

constexpr QRgb kSeries1 = 0xff00ff, kSeries2 = 0xaf50af, kGrey = 0xdddddd, kWhite = 0xffffff;

// A paint device that keeps every text drawn on it with the box it covers,
// in device pixels, instead of pixels.
struct DrawnText {
    QString text;
    QRectF box;
};

class TextEngine : public QPaintEngine {
public:
    TextEngine() : QPaintEngine(AllFeatures) {}
    QList<DrawnText> texts;
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & DirtyTransform)
            m_transform = state.transform();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        QFont font = item.font();
        const QRectF tight = QFontMetricsF(font).tightBoundingRect(item.text());
        texts.append({item.text(), m_transform.mapRect(tight.translated(p))});
    }
    Type type() const override { return User; }

private:
    QTransform m_transform;
};

class TextDevice : public QPaintDevice {
public:
    explicit TextDevice(QSize size) : m_size(size) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }
    QList<DrawnText>& texts() { return m_engine.texts; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    QSize m_size;
    mutable TextEngine m_engine;
};

QList<DrawnText> textsOf(const Grid& table, QSize size) {
    TextDevice device(size);
    QPainter p(&device);
    paintChartPicture(p, table, QStringLiteral("标题"), QSizeF(size));
    p.end();
    return device.texts();
}

// The texts left of the plot: the value axis labels.
QStringList axisLabels(const QList<DrawnText>& texts) {
    QStringList labels;
    for (const DrawnText& t : texts)
        if (t.box.right() < 1000 / kTw && t.box.top() > 800 / kTw - 10)
            labels << t.text;
    return labels;
}

} // namespace

void TestChartRenderer::barsAxisAndPlotArea() {
    Grid g;
    fill(g, {"采购", "销售"},
         {{"2008.01", "10", "5"}, {"2008.02", "0", "20"}, {"2008.03", "7", "7"}});
    const QImage image = chartImage(g, "图", kSize);
    // max 20: 1 unit = 4200 / 20 x 0.9 = 189 twips; slot 7000 / 3; bar 972 twips.
    const double slot = 7000.0 / 3, bar = slot * 5 / 6 / 2, unit = 189;
    auto barX = [&](int row, int series) { return 1020 + slot * (row - 1) + bar * (series - 0.5); };
    QCOMPARE(at(image, barX(1, 1), 5000 - 5 * unit), kSeries1);                    // inside the 10
    QCOMPARE(at(image, barX(1, 1) - bar / 2 + 100, 5000 - 10 * unit - 60), kGrey); // above it
    QCOMPARE(at(image, barX(1, 2), 5000 - 2 * unit), kSeries2);                    // inside the 5
    QCOMPARE(at(image, barX(2, 2), 5000 - 19 * unit), kSeries2); // the 20, near its top
    QCOMPARE(at(image, barX(2, 1), 5000 - 2 * unit), kGrey);     // the 0: no bar
    // A white grid line every 4 units (756 twips), between the bars.
    bool line = false;
    for (double y = 5000 - 756 - 30; y <= 5000 - 756 + 30; y += 15)
        line = line || at(image, 1020 + slot - 150, y) == kWhite;
    QVERIFY(line);
    QCOMPARE(at(image, 1020 + slot - 150, 5000 - 756 - 200), kGrey);
    // The row under a point: the slots, nothing left of the plot.
    QCOMPARE(chart::rowAt(QSizeF(9000, 6000), 1, 3, barX(2, 2)), 2);
    QCOMPARE(chart::rowAt(QSizeF(9000, 6000), 1, 3, 900), 0);

    QCOMPARE(axisLabels(textsOf(g, kSize)), QStringList({"0", "4", "8", "12", "16", "20"}));

    // Percent values: the axis labels carry the sign too.
    fill(g, {"比例"}, {{"2008.01", "50%"}, {"2008.02", "100%"}});
    QCOMPARE(axisLabels(textsOf(g, kSize)),
             QStringList({"0%", "20%", "40%", "60%", "80%", "100%"}));
}

void TestChartRenderer::smallValuesAndNegatives() {
    // Largest value 2: the step rounds to 0, so no axis labels and no grid
    // lines, while the bars are still drawn.
    Grid g;
    fill(g, {"销售"}, {{"2008.01", "2"}, {"2008.02", "1"}});
    const QImage image = chartImage(g, "图", kSize);
    const double slot = 3500, bar = slot * 5 / 6;
    for (double y = 850; y < 4990; y += 15)
        QCOMPARE(at(image, 1020 + slot - 100, y), kGrey); // the gap between the bars
    QCOMPARE(at(image, 1020 + bar / 2, 4900), kSeries1);
    QVERIFY(axisLabels(textsOf(g, kSize)).isEmpty());

    // A negative month is labelled as it is and drawn with height 0; the
    // axis shows no "-0".
    fill(g, {"毛利额"}, {{"2008.01", "-6"}, {"2008.02", "-0.5"}, {"2008.03", "12"}});
    const QImage negative = chartImage(g, "图", kSize);
    const double slot3 = 7000.0 / 3;
    QCOMPARE(at(negative, 1020 + slot3 * 5 / 12, 4990), kGrey);
    QCOMPARE(at(negative, 1020 + slot3 * 2 + slot3 * 5 / 12, 4990), kSeries1);
    const QList<DrawnText> texts = textsOf(g, kSize);
    bool labelled = false;
    for (const DrawnText& t : texts)
        labelled = labelled || (t.text == "-6" && t.box.bottom() < 5000 / kTw);
    QVERIFY(labelled);
    QVERIFY(!axisLabels(texts).contains("-0"));
    // Nothing above 0: max becomes 10 and the axis counts 0, 2, ... 10.
    fill(g, {"毛利额"}, {{"2008.01", "-6"}, {"2008.02", "-3"}});
    QCOMPARE(axisLabels(textsOf(g, kSize)), QStringList({"0", "2", "4", "6", "8", "10"}));

    // Fewer than 2 columns: nothing is drawn.
    Grid empty;
    empty.reset(3, 1, 1, 1);
    QVERIFY(textsOf(empty, kSize).isEmpty());
}

void TestChartRenderer::labelsNeverCollide_data() {
    QTest::addColumn<int>("months");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("series");
    for (int months : {3, 12, 36})
        for (QSize size : {QSize(880, 560), QSize(1600, 900), QSize(480, 320)})
            for (int series : {1, 2})
                QTest::addRow("%d months %dx%d %d series", months, size.width(), size.height(),
                              series)
                    << months << size << series;
}

void TestChartRenderer::labelsNeverCollide() {
    QFETCH(int, months);
    QFETCH(QSize, size);
    QFETCH(int, series);
    Grid g;
    setupChartTable(g, series == 1 ? QStringList{"毛利额"} : QStringList{"采购", "销售"},
                    MonthRange(QDate(2007, 1, 1), QDate(2007, 1, 1).addMonths(months - 1)));
    for (int r = 1; r < g.rows(); ++r)
        for (int c = 1; c <= series; ++c)
            g.setText(r, c, chartNumberText(123456.75 * ((r * 7 + c * 3) % 11) / 10.0 - 20000));
    TextDevice device(size);
    QPainter p(&device);
    paintChartPicture(p, g, QStringLiteral("采购销售金额变化示意图"), QSizeF(size));
    p.end();
    const QList<DrawnText>& texts = device.texts();
    int monthLabels = 0;
    for (int i = 0; i < texts.size(); ++i) {
        const QRectF& a = texts[i].box;
        QVERIFY2(QRectF(QPointF(0, 0), QSizeF(size)).contains(a), qPrintable(texts[i].text));
        monthLabels += texts[i].text.startsWith("200") && texts[i].text.contains('.');
        for (int j = i + 1; j < texts.size(); ++j)
            QVERIFY2(!a.intersects(texts[j].box),
                     qPrintable(texts[i].text + " / " + texts[j].text));
    }
    // Thinned out, but enough to read the time axis by.
    QVERIFY(monthLabels >= std::min(months, 6));
}

QTEST_MAIN(TestChartRenderer)
#include "TestChartRenderer.moc"
