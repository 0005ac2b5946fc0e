#include "charts/ChartTables.h"
#include "data/Progress.h"
#include "data/Rights.h"
#include "data/SampleData.h"
#include "grid/Grid.h"
#include "importexport/GridExport.h"
#include "masterdata/MasterRecord.h"
#include "support/CliRunner.h"
#include "support/TestAccountSet.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

using namespace tl;
using tl::test::CliRunner;

class TestCliCharts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void picturesOfTheRequestedSizeAndType();
    void tableBesideTheChartIsTheWindowsTable();
    void refusalsWriteNoFile();

private:
    QStringList base() const { return {"--set", m_set->path()}; }
    std::unique_ptr<test::TestAccountSet> m_set;
    CliRunner m_cli;
    QString m_from;
    QString m_to;
};

void TestCliCharts::initTestCase() {
    m_set = std::make_unique<test::TestAccountSet>();
    SampleData::fill(m_set->db());
    // The sample records run over the half year up to today.
    m_to = QDate::currentDate().toString(Qt::ISODate);
    m_from = QDate::currentDate().addDays(-120).toString(Qt::ISODate);
}

void TestCliCharts::picturesOfTheRequestedSizeAndType() {
    QTemporaryDir dir;
    const QString png = dir.path() + "/趋势.png";
    auto r = m_cli.run(base() << "chart"
                              << "trend"
                              << "--from" << m_from << "--to" << m_to << "--amount"
                              << "--out" << png);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QImage trend(png);
    QCOMPARE(trend.size(), QSize(1180, 720));
    // Something was drawn in colour, not a blank page: the bars.
    QSet<QRgb> colours;
    for (int x = 0; x < trend.width(); x += 7)
        colours.insert(trend.pixel(x, trend.height() / 2));
    QVERIFY(colours.size() > 2);

    const QString jpg = dir.path() + "/毛利.jpg";
    r = m_cli.run(base() << "chart"
                         << "profit"
                         << "--from" << m_from << "--to" << m_to << "--out" << jpg << "--size"
                         << "640x400");
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(QImage(jpg).size(), QSize(640, 400));

    const QString pdf = dir.path() + "/毛利.PDF";
    r = m_cli.run(base() << "chart"
                         << "profit"
                         << "--from" << m_from << "--to" << m_to << "--product"
                         << "1"
                         << "--out" << pdf);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(4), QByteArray("%PDF"));
}

void TestCliCharts::tableBesideTheChartIsTheWindowsTable() {
    QTemporaryDir dir;
    const QString table = dir.path() + "/趋势.csv";
    const auto r = m_cli.run(base() << "chart"
                                    << "trend"
                                    << "--from" << m_from << "--to" << m_to << "--warehouse"
                                    << "1"
                                    << "--out" << dir.path() + "/t.png"
                                    << "--table" << table);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    Grid grid;
    const QDate from = QDate::fromString(m_from, Qt::ISODate);
    const QDate to = QDate::fromString(m_to, Qt::ISODate);
    QVERIFY(trendTable(m_set->db(), {from, to, 1, 0, false}, grid).drawable);
    const QString expected = dir.path() + "/expected.csv";
    QCOMPARE(gridToCsv(grid, expected, Progress::silent()), ExportStatus::Written);
    QFile a(table), b(expected);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), b.readAll());
    QVERIFY(m_cli
                .run(base() << "chart"
                            << "trend"
                            << "--from" << m_from << "--to" << m_to << "--out"
                            << dir.path() + "/t.png"
                            << "--table" << table + ".txt")
                .code == 2);
}

void TestCliCharts::refusalsWriteNoFile() {
    QTemporaryDir dir;
    const QString out = dir.path() + "/c.png";
    const struct {
        QStringList args;
        int code;
        QString message;
    } cases[] = {
        {{"chart", "trend", "--from", "2024-01-01", "--to", "2024-12-31", "--out",
          dir.path() + "/c.gif"},
         2,
         "--out 的文件名须以 .jpg、.png 或 .pdf 结尾"},
        {{"chart", "trend", "--from", "2024-01-01", "--to", "2024-13-01", "--out", out},
         2,
         "--to 的日期“2024-13-01”无效"},
        {{"chart", "trend", "--from", "2024-01-01", "--to", "2024-12-31"}, 2, "缺少选项 --out"},
        {{"chart", "trend", "--from", "2024-01-01", "--to", "2024-12-31", "--out", out, "--size",
          "100"},
         2,
         "--size 的取值“100”无效"},
        {{"chart", "profit", "--from", "2024-01-01", "--to", "2024-12-31", "--out", out,
          "--warehouse", "2"},
         2,
         "毛利分析没有"},
        {{"chart", "pie", "--out", out}, 2, "未知的图表：pie"},
        {{"chart", "trend", "--from", "2024-01-01", "--to", "2024-12-31", "--out", out, "--product",
          "x"},
         2,
         "--product 的取值“x”无效"},
        // Long before the first record: no sale to take a profit from.
        {{"chart", "profit", "--from", "1990-01-01", "--to", "1990-12-31", "--out", out},
         1,
         "没有销售记录！"},
    };
    for (const auto& c : cases) {
        const auto r = m_cli.run(base() + c.args);
        QVERIFY2(r.code == c.code, qPrintable(c.args.join(' ') + " -> " + r.err));
        QVERIFY2(r.err.contains(c.message), qPrintable(r.err));
    }
    QVERIFY(QDir(dir.path()).isEmpty());

    m_set->db().exec("INSERT INTO Staff (Name, PSD, \"Right\") VALUES ('painter', 'pw', ?)",
                     {Rights::join({"操作图表分析", "查看数量分析"})});
    const QStringList trend = base() << "--user"
                                     << "painter"
                                     << "chart"
                                     << "trend"
                                     << "--from" << m_from << "--to" << m_to << "--out" << out;
    QCOMPARE(m_cli.run(trend, "pw").code, 0);
    QVERIFY(QFile::remove(out));
    const auto r = m_cli.run(trend + QStringList{"--amount"}, "pw");
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith(noRightMessage()) && r.err.contains("查看金额分析"),
             qPrintable(r.err));
    QVERIFY(!QFile::exists(out));
}

QTEST_GUILESS_MAIN(TestCliCharts)
#include "TestCliCharts.moc"
