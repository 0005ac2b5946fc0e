#include "core/charts/ChartGrid.h"
#include "core/charts/ChartPicture.h"
#include "core/charts/ChartRenderer.h"
#include "core/grid/Grid.h"
#include "support/TestTools.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPaintEngine>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

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

constexpr QRgb kSeries1 = 0xff00ff, kGrey = 0xdddddd;

// A paint device that keeps every text drawn on it with the box it covers,
// in device pixels, instead of pixels.
struct DrawnText {
    QString text;
    QRectF box;
};

struct TextEngine : QPaintEngine {
    TextEngine() : QPaintEngine(AllFeatures) {}
    QList<DrawnText> texts;
    QTransform transform;
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & DirtyTransform)
            transform = state.transform();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        QFont font = item.font();
        const QRectF tight = QFontMetricsF(font).tightBoundingRect(item.text());
        texts.append({item.text(), transform.mapRect(tight.translated(p))});
    }
    Type type() const override { return User; }
};

struct TextDevice : QPaintDevice {
    explicit TextDevice(QSize size) : m_size(size) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }
    QList<DrawnText>& texts() { return m_engine.texts; }
    int metric(PaintDeviceMetric m) const override {
        if (m == PdmWidth || m == PdmHeight)
            return m == PdmWidth ? m_size.width() : m_size.height();
        if (m == PdmDevicePixelRatioScaled)
            return int(devicePixelRatioFScale());
        return m == PdmDepth ? 32 : m == PdmDevicePixelRatio ? 1 : 96; // the rest: dpi
    }
    QSize m_size;
    mutable TextEngine m_engine;
};

QList<DrawnText> textsOf(const Grid& table, QSize size, const QString& title = "标题") {
    TextDevice device(size);
    QPainter p(&device);
    paintChartPicture(p, table, title, QSizeF(size));
    p.end();
    return device.texts();
}

void sampleTable(Grid& g) {
    setupChartTable(g, {"采购", "销售"}, MonthRange(QDate(2008, 1, 1), QDate(2008, 3, 1)));
    g.setText(1, 1, "12");
    g.setText(2, 2, "30.5");
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

class TestChartRenderer : public QObject {
    Q_OBJECT
private slots:
    void barsAndRowUnderAPoint() {
        Grid g;
        fill(g, {"采购", "销售"}, {{"2008.01", "10", "5"}, {"2008.02", "0", "20"}});
        const QImage image = chartImage(g, "图", kSize);
        // max 20: 1 unit = 4200 / 20 x 0.9 = 189 twips; slot 3500; bar 1458 twips.
        const double slot = 3500, bar = slot * 5 / 6 / 2, unit = 189;
        auto barX = [&](int row, int series) {
            return 1020 + slot * (row - 1) + bar * (series - 0.5);
        };
        QCOMPARE(at(image, barX(1, 1), 5000 - 9 * unit), kSeries1); // inside the 10
        QCOMPARE(at(image, barX(1, 1), 5000 - 11 * unit), kGrey);   // above it
        QCOMPARE(at(image, barX(2, 1), 5000 - 2 * unit), kGrey);    // the 0: no bar
        QVERIFY(at(image, barX(2, 2), 5000 - 19 * unit) != kGrey);  // the 20, near its top
        QCOMPARE(chart::rowAt(QSizeF(9000, 6000), 1, 2, barX(2, 2)), 2);
        QCOMPARE(chart::rowAt(QSizeF(9000, 6000), 1, 2, 900), 0); // left of the plot

        // A negative month is labelled as it is and drawn with height 0.
        fill(g, {"毛利额"}, {{"2008.01", "-6"}, {"2008.02", "12"}});
        QCOMPARE(at(chartImage(g, "图", kSize), 1020 + slot * 5 / 12, 4990), kGrey);
        bool labelled = false;
        for (const DrawnText& t : textsOf(g, kSize))
            labelled = labelled || (t.text == "-6" && t.box.bottom() < 5000 / kTw);
        QVERIFY(labelled);

        // Fewer than 2 columns: nothing is drawn.
        Grid empty;
        empty.reset(3, 1, 1, 1);
        QVERIFY(textsOf(empty, kSize).isEmpty());
    }
    void valueAxis_data() {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("steps of 4")
            << QStringList{"10", "20", "7"} << QStringList{"0", "4", "8", "12", "16", "20"};
        QTest::newRow("percent") << QStringList{"50%", "100%"}
                                 << QStringList{"0%", "20%", "40%", "60%", "80%", "100%"};
        QTest::newRow("step rounds to 0") << QStringList{"2", "1"} << QStringList{};
        QTest::newRow("no -0") << QStringList{"-6", "-0.5", "12"}
                               << QStringList{"0", "2", "4", "6", "8", "10", "12"};
        QTest::newRow("nothing above 0")
            << QStringList{"-6", "-3"} << QStringList{"0", "2", "4", "6", "8", "10"};
    }
    void valueAxis() {
        QFETCH(QStringList, values);
        QFETCH(QStringList, labels);
        QList<QStringList> rows;
        for (const QString& v : values)
            rows << QStringList{QStringLiteral("2008.%1").arg(rows.size() + 1, 2, 10, QChar('0')),
                                v};
        Grid g;
        fill(g, {"值"}, rows);
        QCOMPARE(axisLabels(textsOf(g, kSize)), labels);
    }
    void labelsNeverCollide_data() {
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
    void labelsNeverCollide() {
        QFETCH(int, months);
        QFETCH(QSize, size);
        QFETCH(int, series);
        Grid g;
        setupChartTable(g, series == 1 ? QStringList{"毛利额"} : QStringList{"采购", "销售"},
                        MonthRange(QDate(2007, 1, 1), QDate(2007, 1, 1).addMonths(months - 1)));
        for (int r = 1; r < g.rows(); ++r)
            for (int c = 1; c <= series; ++c)
                g.setText(r, c, chartNumberText(123456.75 * ((r * 7 + c * 3) % 11) / 10.0 - 20000));
        const QList<DrawnText> texts = textsOf(g, size, "采购销售金额变化示意图");
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
    void writesEachType() {
        // A dot in a folder name or an unknown extension is no picture type.
        QCOMPARE(withPictureSuffix("/tmp/a.b/图"), QString("/tmp/a.b/图.jpg"));
        QCOMPARE(withPictureSuffix("/tmp/图.v2", PictureType::Pdf), QString("/tmp/图.v2.pdf"));
        QCOMPARE(withPictureSuffix("/tmp/图.Jpeg", PictureType::Png), QString("/tmp/图.Jpeg"));
        QTemporaryDir dir;
        Grid g;
        sampleTable(g);
        const QSize size(403, 301); // 403 x 3 bytes: rows need padding in a 24-bit bitmap
        const QString jpg = dir.filePath("图.jpg"), png = dir.filePath("图.png"),
                      pdf = dir.filePath("图.pdf"), other = dir.filePath("图.bmp");
        QVERIFY(saveChartPicture(g, "标题", jpg, size, 1.0, 1));
        QVERIFY(saveChartPicture(g, "标题", png, size, 2.0, 1));
        QVERIFY(saveChartPicture(g, "标题", pdf, size));
        QVERIFY(saveChartPicture(g, "标题", other, size));

        QImageReader jpeg(jpg);
        QCOMPARE(jpeg.format(), QByteArray("jpeg"));
        const QImage fromJpeg = jpeg.read();
        QCOMPARE(fromJpeg.size(), size);
        // Not skewed: the border is grey down the whole left and right edges.
        for (int y = 5; y < size.height() - 5; y += 37) {
            QVERIFY(qAbs(qGray(fromJpeg.pixel(0, y)) - 138) < 24);
            QVERIFY(qAbs(qGray(fromJpeg.pixel(size.width() - 1, y)) - 138) < 24);
        }
        // PNG: exactly the picture the window paints, at twice the pixels.
        const QImage fromPng(png);
        QCOMPARE(fromPng.size(), size * 2);
        QImage painted = chartImage(g, "标题", size, 2.0, 1).convertToFormat(QImage::Format_RGB32);
        painted.setDevicePixelRatio(1);
        QCOMPARE(fromPng.convertToFormat(QImage::Format_RGB32), painted);
        // PDF: the chart as drawing, no embedded raster picture.
        const QByteArray pdfBytes = test::readFile(pdf);
        QVERIFY(pdfBytes.startsWith("%PDF"));
        QVERIFY(!pdfBytes.contains("/Subtype /Image"));
        QCOMPARE(QImageReader(other).format(), QByteArray("jpeg"));  // unknown extension: JPEG
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 4); // no temporary left over
    }
    void replacingAndFailedSaves() {
        QTemporaryDir dir;
        Grid g;
        sampleTable(g);
        const QString path = test::writeFile(dir.filePath("图.jpg"), "old picture");
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadWrite));
        old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                           QFileDevice::ReadGroup);
        old.setFileTime(QDateTime(QDate(2001, 5, 1), QTime(8, 0)),
                        QFileDevice::FileModificationTime);
        old.close();
        // A picture too large to be made fails after the temporary file exists.
        QString error;
        QVERIFY(!saveChartPicture(g, "标题", path, QSize(200000, 200000), 1.0, 0, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(test::readFile(path), QByteArray("old picture"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"图.jpg"}));
        QVERIFY(!saveChartPicture(g, "标题", dir.filePath("无/图.jpg"), QSize(300, 200)));

        // Replacing keeps the permissions and takes the time of the save.
        const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
        QVERIFY(saveChartPicture(g, "标题", path, QSize(300, 200)));
        const QFileInfo saved(path);
        QCOMPARE(QImageReader(path).format(), QByteArray("jpeg"));
        QCOMPARE(saved.permissions() & 0x7077 /* owner, group and other bits */,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        QVERIFY(saved.lastModified() >= before);
    }
};

QTEST_MAIN(TestChartRenderer)
#include "TestChartRenderer.moc"
