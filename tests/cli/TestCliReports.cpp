#include "core/charts/ChartQueries.h"
#include "core/grid/Grid.h"
#include "core/importexport/GridExport.h"
#include "core/printing/ChineseAmount.h"
#include "core/printing/PrintHeading.h"
#include "core/printing/Slip.h"
#include "core/statistics/StockReport.h"
#include "core/statistics/TradeReports.h"
#include "support/CliRunner.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace tl;
using tl::test::CliRunner;

// The tool's reports and charts (drawn without a display: CliRunner takes it away).
class TestCliReports : public QObject {
    Q_OBJECT
private slots:
    void reportsAreTheWindowsGrids();
    void picturesAndTheWindowsTable();
    void slipsAreNumberedPdfs();
    void refusalsWriteNothing();

private:
    QStringList base() const { return {"--set", m_set->path()}; }
    std::unique_ptr<test::TestAccountSet> m_set = test::sampleAccountSet();
    CliRunner m_cli;
    // The sample records run over the half year up to today.
    const QDate m_to = QDate::currentDate();
    const QDate m_from = m_to.addDays(-120);
    const QStringList m_period = {"--from", m_from.toString(Qt::ISODate), "--to",
                                  m_to.toString(Qt::ISODate)};
};

void TestCliReports::reportsAreTheWindowsGrids() {
    const Database& db = m_set->db();
    const struct {
        QStringList args;
        std::function<void(Grid&)> window;
    } cases[] = {
        {{"report", "stock"}, [&](Grid& g) { stockReport(db, g); }},
        {QStringList{"report", "stock-change", "--values"} + m_period,
         [&](Grid& g) { stockChangeReport(db, g, m_from, m_to, StockMeasure::Values); }},
        {{"report", "payables", "--from=" + m_from.toString(Qt::ISODate),
          "--to=" + m_to.toString(Qt::ISODate)},
         [&](Grid& g) {
             outstandingMatrix(db, g, TradeSide::Purchases, {m_from, m_to});
         }},
    };
    for (const auto& c : cases) {
        db.dropWorkTables(); // the window functions make some
        const auto r = m_cli.run(base() + c.args);
        QVERIFY2(r.code == 0, qPrintable(c.args.join(' ') + " -> " + r.err));
        // The reports leave no work table behind, as the main window does when it closes.
        QVERIFY(!db.tableNames().join(',').contains("T_"));
        Grid grid;
        c.window(grid);
        QCOMPARE(r.out, test::csvBytes(grid, CsvEncoding::Utf8));
        QVERIFY(r.out.count("\r\n") > 3);
    }
}

void TestCliReports::picturesAndTheWindowsTable() {
    QTemporaryDir dir;
    const QString png = dir.path() + "/趋势.png", table = dir.path() + "/趋势.csv";
    auto r = m_cli.run(
        base() + QStringList{"chart", "trend"} + m_period +
        QStringList{"--warehouse", "1", "--size", "640x400", "--out", png, "--table", table});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QImage trend(png);
    QCOMPARE(trend.size(), QSize(640, 400));
    // Something was drawn in colour, not a blank page: the bars.
    QSet<QRgb> colours;
    for (int x = 0; x < trend.width(); x += 7)
        colours.insert(trend.pixel(x, trend.height() / 2));
    QVERIFY(colours.size() > 2);
    // The table beside the chart is the one the chart window shows.
    Grid grid;
    QVERIFY(trendTable(m_set->db(), {m_from, m_to, 1, 0, false}, grid).drawable);
    QCOMPARE(test::readFile(table), test::csvBytes(grid, CsvEncoding::Gb18030));

    const QString pdf = dir.path() + "/毛利.PDF";
    r = m_cli.run(base() + QStringList{"chart", "profit"} + m_period + QStringList{"--out", pdf});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(test::readFile(pdf).left(4), QByteArray("%PDF"));

    // A report's printed form, headed by its period, the operator at its foot.
    const QString printed = dir.path() + "/销售.pdf";
    r = m_cli.run(base() + QStringList{"report", "sales"} + m_period +
                  QStringList{"--out", printed});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QProcess text;
    text.start("pdftotext", {printed, "-"});
    QVERIFY(text.waitForFinished());
    const QString read = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY(read.contains("统计期间：" + PrintHeading::periodText(m_from, m_to)));
    QVERIFY(read.contains("操作员：admin"));
}

// Each slip written takes the next number; the text is what the slip says,
// read back from the PDF.
void TestCliReports::slipsAreNumberedPdfs() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString ids = test::queryRows(m_set->db(), "SELECT ID FROM Sale WHERE CID=(SELECT CID "
                                                     "FROM Sale ORDER BY ID LIMIT 1) ORDER BY ID "
                                                     "LIMIT 3")
                            .replace(';', ',');
    QList<qint64> keys;
    for (const QString& id : ids.split(','))
        keys << id.toLongLong();
    Slip slip;
    QVERIFY(buildSlip(m_set->db(), test::adminSession(), SlipKind::Sale, keys, slip));
    QTemporaryDir dir;
    for (const char* number : {"000001", "000002"}) {
        const QString pdf = dir.path() + "/销售单.pdf";
        const auto r = m_cli.run(base() + QStringList{"slip", "sales", "--ids", ids, "--out", pdf});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished());
        // Read back as written: no ideograph copied out as the radical that
        // shares its glyph.
        const auto fold = [](QString s) { return s.remove(' '); };
        const QString page = fold(QString::fromUtf8(text.readAllStandardOutput()));
        for (const QString& expected :
             {QString("销售单"), QString("单号：") + number, "客户：" + slip.party,
              "人民币：" + *chineseCapitals(slip.total), centsText(slip.total),
              slip.lines.first().product, QString("客户签字：")})
            QVERIFY2(page.contains(fold(expected)), qPrintable(expected + " not in:\n" + page));
    }
}

void TestCliReports::refusalsWriteNothing() {
    QTemporaryDir dir;
    const QString out = dir.path() + "/r.xlsx", pic = dir.path() + "/c.png";
    const QStringList year = {"--from", "2024-01-01", "--to", "2024-12-31"};
    const QString twoSuppliers = test::queryRows(
        m_set->db(), "SELECT a.ID || ',' || (SELECT min(b.ID) FROM Buy b WHERE b.VID<>a.VID) "
                     "FROM Buy a WHERE a.ID=(SELECT min(ID) FROM Buy)");
    const struct {
        QStringList args;
        int code;
    } cases[] = {
        {{"report", "sales", "--from", "2024-02-30", "--to", "2024-03-31", "--out", out}, 2},
        {{"report", "sales", "--from", "2024-03-01", "--out", out}, 2},
        {{"report", "stock", "--from", "2024-03-01", "--out", out}, 2},
        {{"report", "profit", "--out", out}, 2},
        {{"report", "stock", "--out", dir.path() + "/r.txt"}, 2},
        {QStringList{"chart", "trend", "--out", dir.path() + "/c.gif"} + year, 2},
        {{"chart", "trend", "--from", "2024-01-01", "--to", "2024-13-01", "--out", pic}, 2},
        {QStringList{"chart", "trend", "--out", pic, "--size", "100"} + year, 2},
        {QStringList{"chart", "trend", "--out", pic, "--table", dir.path() + "/t.txt"} + year, 2},
        {QStringList{"chart", "profit", "--out", pic, "--warehouse", "2"} + year, 2},
        {{"chart", "pie", "--out", pic}, 2},
        {{"slip", "sales", "--ids", "1", "--out", dir.path() + "/s.txt"}, 2},
        {{"slip", "sales", "--ids", "1,x", "--out", dir.path() + "/s.pdf"}, 2},
        {{"slip", "bills", "--ids", "1", "--out", dir.path() + "/s.pdf"}, 2},
        {{"slip", "purchases", "--ids", twoSuppliers, "--out", dir.path() + "/s.pdf"}, 1},
        // A period without records is said, and no file of empty cells is written;
        // long before the first record there is no sale to take a profit from.
        {{"report", "sales", "--from", "1990-01-01", "--to", "1990-01-31", "--out", out}, 1},
        {{"report", "receivables", "--from", "1990-01-01", "--to", "1990-01-31", "--out", out}, 1},
        {{"chart", "profit", "--from", "1990-01-01", "--to", "1990-12-31", "--out", pic}, 1},
    };
    for (const auto& c : cases) {
        const auto r = m_cli.run(base() + c.args);
        QVERIFY2(r.code == c.code && !r.err.isEmpty(),
                 qPrintable(c.args.join(' ') + " -> " + r.err));
    }
    QVERIFY(QDir(dir.path()).isEmpty());
    QCOMPARE(SlipNumbers::next(m_set->db(), SlipKind::Purchase), 1); // the refusal took none
}

QTEST_GUILESS_MAIN(TestCliReports)
#include "TestCliReports.moc"
