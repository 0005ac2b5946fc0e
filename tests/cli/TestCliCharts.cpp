#include "charts/ChartTables.h"
#include "data/Progress.h"
#include "data/SampleData.h"
#include "grid/Grid.h"
#include "importexport/GridExport.h"
#include "support/CliRunner.h"
#include "support/TestAccountSet.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

using namespace tl;
using tl::test::CliRunner;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// The tool draws without a display (CliRunner takes it away).
class TestCliCharts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void picturesAndTheWindowsTable();
    void refusalsWriteNoFile();

private:
    QStringList base() const { return {"--set", m_set->path()}; }
    std::unique_ptr<test::TestAccountSet> m_set;
    CliRunner m_cli;
    QDate m_from;
    QDate m_to;
};

void TestCliCharts::initTestCase() {
    m_set = std::make_unique<test::TestAccountSet>();
    SampleData::fill(m_set->db());
    // The sample records run over the half year up to today.
    m_to = QDate::currentDate();
    m_from = m_to.addDays(-120);
}

void TestCliCharts::picturesAndTheWindowsTable() {
    QTemporaryDir dir;
    const QStringList period = {"--from", m_from.toString(Qt::ISODate), "--to",
                                m_to.toString(Qt::ISODate)};
    const QString png = dir.path() + "/趋势.png";
    const QString table = dir.path() + "/趋势.csv";
    auto r = m_cli.run(base() << "chart"
                              << "trend" << period << "--warehouse"
                              << "1"
                              << "--size"
                              << "640x400"
                              << "--out" << png << "--table" << table);
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
    const QString expected = dir.path() + "/expected.csv";
    QCOMPARE(gridToCsv(grid, expected, Progress::silent()), ExportStatus::Written);
    QCOMPARE(readFile(table), readFile(expected));

    const QString pdf = dir.path() + "/毛利.PDF";
    r = m_cli.run(base() << "chart"
                         << "profit" << period << "--out" << pdf);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(readFile(pdf).left(4), QByteArray("%PDF"));
}

void TestCliCharts::refusalsWriteNoFile() {
    QTemporaryDir dir;
    const QString out = dir.path() + "/c.png";
    const QStringList year = {"--from", "2024-01-01", "--to", "2024-12-31"};
    const struct {
        QStringList args;
        int code;
    } cases[] = {
        {QStringList{"chart", "trend", "--out", dir.path() + "/c.gif"} + year, 2},
        {{"chart", "trend", "--from", "2024-01-01", "--to", "2024-13-01", "--out", out}, 2},
        {QStringList{"chart", "trend", "--out", out, "--size", "100"} + year, 2},
        {QStringList{"chart", "trend", "--out", out, "--table", dir.path() + "/t.txt"} + year, 2},
        {QStringList{"chart", "profit", "--out", out, "--warehouse", "2"} + year, 2},
        {{"chart", "pie", "--out", out}, 2},
        // Long before the first record: no sale to take a profit from.
        {{"chart", "profit", "--from", "1990-01-01", "--to", "1990-12-31", "--out", out}, 1},
    };
    for (const auto& c : cases) {
        const auto r = m_cli.run(base() + c.args);
        QVERIFY2(r.code == c.code && !r.err.isEmpty(),
                 qPrintable(c.args.join(' ') + " -> " + r.err));
    }
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestCliCharts)
#include "TestCliCharts.moc"
