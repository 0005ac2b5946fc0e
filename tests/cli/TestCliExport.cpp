#include "core/accounts/Rights.h"
#include "core/accounts/Session.h"
#include "core/grid/Grid.h"
#include "core/importexport/GridExport.h"
#include "core/lists/ListedTables.h"
#include "core/masterdata/MasterRecord.h"
#include "support/CliRunner.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QDir>
#include <QTest>

using namespace tl;
using tl::test::CliRunner;

class TestCliExport : public QObject {
    Q_OBJECT
private slots:
    void exportsAreWhatTheWindowWrites();
    void refusals();

private:
    // The list as the main window loads it for an operator with every right.
    void loadAsTheWindow(Grid& grid, ListedTable table) {
        loadListedTable(grid, m_set->db(), test::adminSession(), table);
    }
    std::unique_ptr<test::TestAccountSet> m_set = test::sampleAccountSet();
    CliRunner m_cli;
};

void TestCliExport::exportsAreWhatTheWindowWrites() {
    // A record list and a master list to standard output, as UTF-8.
    for (const auto& [name, table] :
         {std::pair{"sales", ListedTable::Sales}, std::pair{"products", ListedTable::Products}}) {
        const auto r = m_cli.run({"--set", m_set->path(), "export", name});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        Grid grid;
        loadAsTheWindow(grid, table);
        QCOMPARE(r.out, test::csvBytes(grid, CsvEncoding::Utf8));
        QVERIFY(r.out.count("\r\n") >= 2);
    }
    // To files: an older export replaced, as GB18030; a workbook (a zip archive).
    QTemporaryDir dir;
    const QString csv = dir.path() + "/客户.csv", xlsx = dir.path() + "/客户.xlsx";
    test::writeFile(csv, "an older export");
    for (const QStringList& out : {QStringList{"--out", csv}, QStringList{"--out=" + xlsx}}) {
        const auto r = m_cli.run(QStringList{"--set", m_set->path(), "export", "customers"} + out);
        QVERIFY2(r.code == 0, qPrintable(r.err));
    }
    Grid grid;
    loadAsTheWindow(grid, ListedTable::Customers);
    QCOMPARE(test::readFile(csv), test::csvBytes(grid, CsvEncoding::Gb18030));
    QCOMPARE(test::readFile(xlsx).left(2), QByteArray("PK"));
}

void TestCliExport::refusals() {
    QTemporaryDir dir;
    const QString out = dir.path() + "/x.csv";
    for (const QStringList& args :
         {QStringList{"export", "invoices", "--out", out},
          QStringList{"export", "sales", "--out", dir.path() + "/x.txt"}, QStringList{"export"}})
        QCOMPARE(m_cli.run(QStringList{"--set", m_set->path()} + args).code, 2);

    // Viewing a list and exporting it are two rights; either missing refuses.
    m_set->db().exec("INSERT INTO Staff (Name, PSD, \"Right\") VALUES ('viewer', 'pw', ?)",
                     {Rights::join({"客户设置", "查看客户设置"})});
    m_set->db().exec("INSERT INTO Staff (Name, PSD, \"Right\") VALUES ('exporter', 'pw', ?)",
                     {Rights::join({"客户设置", "导出客户设置"})});
    for (const char* user : {"viewer", "exporter"}) {
        const auto r = m_cli.run(
            {"--set", m_set->path(), "--user", user, "export", "customers", "--out", out}, "pw");
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith(noRightMessage()) && r.out.isEmpty(), qPrintable(r.err));
    }
    // A file that cannot be written is named with the window's message.
    const QString gone = dir.path() + "/gone/x.csv";
    const auto r = m_cli.run({"--set", m_set->path(), "export", "customers", "--out", gone});
    QVERIFY2(r.code == 1 && r.err.contains("文件保存出错！（" + gone + "）"), qPrintable(r.err));
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestCliExport)
#include "TestCliExport.moc"
