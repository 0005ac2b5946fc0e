#include "data/Progress.h"
#include "data/Rights.h"
#include "data/SampleData.h"
#include "data/Session.h"
#include "grid/Grid.h"
#include "grid/ListedTables.h"
#include "importexport/GridExport.h"
#include "masterdata/MasterRecord.h"
#include "support/CliRunner.h"
#include "support/TestAccountSet.h"

#include <QFile>
#include <QTest>

using namespace tl;
using tl::test::CliRunner;

class TestCliExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listsAreWhatTheWindowShows();
    void filesAreWhatTheGridExportWrites();
    void refusals();

private:
    QByteArray windowCsv(ListedTable table, const QString& rights = Rights::all()) {
        Session session;
        session.operatorId = "1";
        session.rights = rights;
        Grid grid;
        loadListedTable(grid, m_set->db(), session, table);
        return gridToCsvBytes(grid, CsvEncoding::Utf8);
    }
    std::unique_ptr<test::TestAccountSet> m_set;
    CliRunner m_cli;
};

void TestCliExport::initTestCase() {
    m_set = std::make_unique<test::TestAccountSet>();
    SampleData::fill(m_set->db());
}

void TestCliExport::listsAreWhatTheWindowShows() {
    const struct {
        const char* name;
        ListedTable table;
    } cases[] = {{"sales", ListedTable::Sales},       {"transfers", ListedTable::Transfers},
                 {"products", ListedTable::Products}, {"customers", ListedTable::Customers},
                 {"staff", ListedTable::Staff},       {"regions", ListedTable::Regions}};
    for (const auto& c : cases) {
        const auto r = m_cli.run({"--set", m_set->path(), "export", c.name});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.err.isEmpty());
        QCOMPARE(r.out, windowCsv(c.table));
        QVERIFY(r.out.count("\r\n") >= 2);
    }
}

void TestCliExport::filesAreWhatTheGridExportWrites() {
    QTemporaryDir dir;
    const QString csv = dir.path() + "/客户.csv";
    const QString xlsx = dir.path() + "/客户.xlsx";
    QFile old(csv);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older export");
    old.close();
    auto r = m_cli.run({"--set", m_set->path(), "export", "customers", "--out", csv});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    r = m_cli.run({"--set", m_set->path(), "export", "customers", "--out=" + xlsx});
    QVERIFY2(r.code == 0, qPrintable(r.err));

    Session session;
    session.rights = Rights::all();
    Grid grid;
    loadListedTable(grid, m_set->db(), session, ListedTable::Customers);
    const QString expected = dir.path() + "/expected.csv";
    QCOMPARE(gridToCsv(grid, expected, Progress::silent()), ExportStatus::Written);
    QFile a(csv), b(expected), w(xlsx);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) &&
            w.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), b.readAll());
    QVERIFY(w.read(2) == "PK"); // a workbook is a zip archive
}

void TestCliExport::refusals() {
    QTemporaryDir dir;
    const QString out = dir.path() + "/x.csv";
    auto r = m_cli.run({"--set", m_set->path(), "export", "invoices", "--out", out});
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains("未知的表：invoices"), qPrintable(r.err));
    r = m_cli.run({"--set", m_set->path(), "export", "sales", "--out", dir.path() + "/x.txt"});
    QCOMPARE(r.code, 2);
    r = m_cli.run({"--set", m_set->path(), "export"});
    QCOMPARE(r.code, 2);

    // Viewing a list and exporting it are two rights; either missing refuses.
    m_set->db().exec("INSERT INTO Staff (Name, PSD, \"Right\") VALUES ('viewer', 'pw', ?)",
                     {Rights::join({"客户设置", "查看客户设置"})});
    m_set->db().exec("INSERT INTO Staff (Name, PSD, \"Right\") VALUES ('exporter', 'pw', ?)",
                     {Rights::join({"客户设置", "导出客户设置"})});
    for (const auto& [user, missing] :
         {std::pair{"viewer", "导出客户设置"}, std::pair{"exporter", "查看客户设置"}}) {
        r = m_cli.run({"--set", m_set->path(), "--user", user, "export", "customers", "--out", out},
                      "pw");
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith(noRightMessage()) && r.err.contains(missing), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFile::exists(out));
    }
}

QTEST_GUILESS_MAIN(TestCliExport)
#include "TestCliExport.moc"
