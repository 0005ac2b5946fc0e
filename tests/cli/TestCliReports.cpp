#include "data/Progress.h"
#include "data/Rights.h"
#include "data/SampleData.h"
#include "grid/Grid.h"
#include "importexport/GridExport.h"
#include "masterdata/MasterRecord.h"
#include "statistics/StockReport.h"
#include "statistics/TradeReports.h"
#include "support/CliRunner.h"
#include "support/TestAccountSet.h"

#include <QFile>
#include <QTest>

using namespace tl;
using tl::test::CliRunner;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestCliReports : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void reportsAreTheWindowsGrids();
    void reportFilesAreWhatTheGridExportWrites();
    void wrongDatesAndOptionsAreUsage();
    void reportWithoutItsRightIsRefused();

private:
    QStringList base() const { return {"--set", m_set->path()}; }
    std::unique_ptr<test::TestAccountSet> m_set;
    CliRunner m_cli;
    QDate m_from;
    QDate m_to;
};

void TestCliReports::initTestCase() {
    m_set = std::make_unique<test::TestAccountSet>();
    SampleData::fill(m_set->db());
    // The sample records run over the half year up to today.
    m_to = QDate::currentDate();
    m_from = m_to.addDays(-120);
}

void TestCliReports::reportsAreTheWindowsGrids() {
    const QString from = m_from.toString(Qt::ISODate);
    const QString to = m_to.toString(Qt::ISODate);
    const Database& db = m_set->db();
    const Period period{m_from, m_to};
    const struct {
        QStringList args;
        std::function<void(Grid&)> window;
    } cases[] = {
        {{"report", "stock"}, [&](Grid& g) { stockReport(db, g); }},
        {{"report", "stock-change", "--from", from, "--to", to, "--values"},
         [&](Grid& g) { stockChangeReport(db, g, m_from, m_to, StockMeasure::Values); }},
        {{"report", "stock-change", "--from", from, "--to", to},
         [&](Grid& g) { stockChangeReport(db, g, m_from, m_to, StockMeasure::Quantities); }},
        {{"report", "sales", "--from", from, "--to", to},
         [&](Grid& g) { tradeTotals(db, g, TradeSide::Sales, period); }},
        {{"report", "purchases", "--to", to, "--from", from},
         [&](Grid& g) { tradeTotals(db, g, TradeSide::Purchases, period); }},
        {{"report", "receivables", "--from", from, "--to", to},
         [&](Grid& g) { outstandingMatrix(db, g, TradeSide::Sales, period); }},
        {{"report", "payables", "--from=" + from, "--to=" + to},
         [&](Grid& g) { outstandingMatrix(db, g, TradeSide::Purchases, period); }},
    };
    for (const auto& c : cases) {
        const auto r = m_cli.run(base() + c.args);
        QVERIFY2(r.code == 0, qPrintable(c.args.join(' ') + " -> " + r.err));
        Grid grid;
        c.window(grid);
        QCOMPARE(r.out, gridToCsvBytes(grid, CsvEncoding::Utf8));
        QVERIFY(r.out.count("\r\n") > 3);
    }
    // The reports leave no work table behind, as the main window does when it closes.
    db.dropWorkTables(); // the window functions of this test made some
    QVERIFY(m_cli
                .run(base() << "report"
                            << "stock")
                .code == 0);
    QVERIFY(!db.tableNames().join(',').contains("T_"));
}

void TestCliReports::reportFilesAreWhatTheGridExportWrites() {
    QTemporaryDir dir;
    const QString csv = dir.path() + "/销售.csv";
    const QString xlsx = dir.path() + "/销售.xlsx";
    const QStringList args = base() << "report"
                                    << "sales"
                                    << "--from" << m_from.toString(Qt::ISODate) << "--to"
                                    << m_to.toString(Qt::ISODate) << "--out";
    QCOMPARE(m_cli.run(args + QStringList{csv}).code, 0);
    QCOMPARE(m_cli.run(args + QStringList{xlsx}).code, 0);
    Grid grid;
    tradeTotals(m_set->db(), grid, TradeSide::Sales, {m_from, m_to});
    const QString expected = dir.path() + "/expected.csv";
    QCOMPARE(gridToCsv(grid, expected, Progress::silent()), ExportStatus::Written);
    QCOMPARE(readFile(csv), readFile(expected));
    QCOMPARE(readFile(xlsx).left(2), QByteArray("PK"));

    // A period without records is said, and no file of empty cells is written.
    const QString none = dir.path() + "/无.xlsx";
    for (const QString& report : {QString("sales"), QString("receivables")}) {
        const auto r = m_cli.run(base() << "report" << report << "--from"
                                        << "1990-01-01"
                                        << "--to"
                                        << "1990-01-31"
                                        << "--out" << none);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("您选择的时间段内没有销售记录！"), qPrintable(r.err));
        QVERIFY(!QFile::exists(none));
    }
}

void TestCliReports::wrongDatesAndOptionsAreUsage() {
    const struct {
        QStringList args;
        QString message;
    } cases[] = {
        {{"report", "sales", "--from", "2024-02-30", "--to", "2024-03-31"},
         "--from 的日期“2024-02-30”无效"},
        {{"report", "sales", "--from", "2024/03/01", "--to", "2024-03-31"}, "无效"},
        {{"report", "sales", "--from", "2024-03-01", "--to", "31.03.2024"}, "--to 的日期"},
        {{"report", "sales", "--from", "2024-03-01"}, "缺少选项 --to"},
        {{"report", "sales", "--from", "2024-03-01", "--to", "2024-03-31", "--values"},
         "--values 只用于"},
        {{"report", "stock", "--from", "2024-03-01"}, "当前库存没有"},
        {{"report", "profit"}, "未知的统计：profit"},
        {{"report", "stock", "--out", "库存.txt"}, "--out 的文件名"},
        {{"report"}, "缺少参数"},
    };
    for (const auto& c : cases) {
        const auto r = m_cli.run(base() + c.args, "not asked");
        QVERIFY2(r.code == 2, qPrintable(c.args.join(' ') + " -> " + r.err));
        QVERIFY2(r.err.contains(c.message), qPrintable(r.err));
    }
}

void TestCliReports::reportWithoutItsRightIsRefused() {
    m_set->db().exec("INSERT INTO Staff (Name, PSD, \"Right\") VALUES ('counter', 'pw', ?)",
                     {Rights::join({"操作盘点统计", "查看库存数量", "查看数量分析"})});
    const QStringList args = base() << "--user"
                                    << "counter"
                                    << "report"
                                    << "stock-change"
                                    << "--from"
                                    << "2024-01-01"
                                    << "--to"
                                    << "2024-01-31";
    QCOMPARE(m_cli.run(args, "pw").code, 0);
    auto r = m_cli.run(args + QStringList{"--values"}, "pw");
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith(noRightMessage()) && r.err.contains("查看库存金额"),
             qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    r = m_cli.run(base() << "--user"
                         << "counter"
                         << "report"
                         << "sales"
                         << "--from"
                         << "2024-01-01"
                         << "--to"
                         << "2024-01-31",
                  "pw");
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("查看销售统计"));
}

QTEST_GUILESS_MAIN(TestCliReports)
#include "TestCliReports.moc"
