#include "data/SampleData.h"
#include "grid/Grid.h"
#include "importexport/GridExport.h"
#include "statistics/StockReport.h"
#include "statistics/TradeReports.h"
#include "support/CliRunner.h"
#include "support/TestAccountSet.h"

#include <QDir>
#include <QTest>

using namespace tl;
using tl::test::CliRunner;

class TestCliReports : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void reportsAreTheWindowsGrids();
    void refusalsWriteNothing();

private:
    QStringList base() const { return {"--set", m_set->path()}; }
    std::unique_ptr<test::TestAccountSet> m_set;
    CliRunner m_cli;
};

void TestCliReports::initTestCase() {
    m_set = std::make_unique<test::TestAccountSet>();
    SampleData::fill(m_set->db());
}

void TestCliReports::reportsAreTheWindowsGrids() {
    // The sample records run over the half year up to today.
    const QDate to = QDate::currentDate();
    const QDate from = to.addDays(-120);
    const Database& db = m_set->db();
    const struct {
        QStringList args;
        std::function<void(Grid&)> window;
    } cases[] = {
        {{"report", "stock"}, [&](Grid& g) { stockReport(db, g); }},
        {{"report", "stock-change", "--from", from.toString(Qt::ISODate), "--to",
          to.toString(Qt::ISODate), "--values"},
         [&](Grid& g) { stockChangeReport(db, g, from, to, StockMeasure::Values); }},
        {{"report", "payables", "--from=" + from.toString(Qt::ISODate),
          "--to=" + to.toString(Qt::ISODate)},
         [&](Grid& g) {
             outstandingMatrix(db, g, TradeSide::Purchases, {from, to});
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
        QCOMPARE(r.out, gridToCsvBytes(grid, CsvEncoding::Utf8));
        QVERIFY(r.out.count("\r\n") > 3);
    }
}

void TestCliReports::refusalsWriteNothing() {
    QTemporaryDir dir;
    const QString out = dir.path() + "/r.xlsx";
    const struct {
        QStringList args;
        int code;
    } cases[] = {
        {{"report", "sales", "--from", "2024-02-30", "--to", "2024-03-31", "--out", out}, 2},
        {{"report", "sales", "--from", "2024-03-01", "--out", out}, 2},
        {{"report", "stock", "--from", "2024-03-01", "--out", out}, 2},
        {{"report", "profit", "--out", out}, 2},
        {{"report", "stock", "--out", dir.path() + "/r.txt"}, 2},
        // A period without records is said, and no file of empty cells is written.
        {{"report", "sales", "--from", "1990-01-01", "--to", "1990-01-31", "--out", out}, 1},
        {{"report", "receivables", "--from", "1990-01-01", "--to", "1990-01-31", "--out", out}, 1},
    };
    for (const auto& c : cases) {
        const auto r = m_cli.run(base() + c.args);
        QVERIFY2(r.code == c.code && !r.err.isEmpty(),
                 qPrintable(c.args.join(' ') + " -> " + r.err));
    }
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestCliReports)
#include "TestCliReports.moc"
