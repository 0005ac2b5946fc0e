#include "core/data/Schema.h"
#include "core/sample/SampleData.h"
#include "support/CliRunner.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QFileInfo>
#include <QTest>

using namespace tl;
using tl::test::CliRunner;

namespace {

// Customers in the dialog's default columns: B region, C name, D address ...
const QByteArray kCustomers = "序号,地区,姓名,地址,邮编,电话\r\n"
                              "1,华东,\"Lin, Bo\",上海市南京路 1 号,200001,021-1234\r\n"
                              "2,华北,王小明,北京市长安街 2 号,100001,010-5678\r\n"
                              "3,华东,\"Quote \"\"Q\"\" Ltd\",杭州市西湖路 3 号,310001,0571-9\r\n";

} // namespace

class TestCliImport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void importedRowsComeBackInTheExport();
    void salesImportKeepsStockInStep();
    void dryRunLeavesTheAccountSetAsItWas();
    void columnsByHeaderOrLeftOut();
    void badInputChangesNothing();

private:
    // The tool run on the test's account set.
    test::CliResult run(const QStringList& args) {
        return m_cli.run(QStringList{"--set", m_set->path()} + args);
    }
    int count(const QString& table) {
        return m_set->db().value("SELECT count(*) FROM " + table).toInt();
    }
    std::unique_ptr<test::TestAccountSet> m_set;
    QString m_csv; // kCustomers, written beside the set
    CliRunner m_cli;
};

void TestCliImport::init() {
    m_set = test::sampleAccountSet();
    m_csv = test::writeFile(m_set->folder() + "/customers.csv", kCustomers);
}

void TestCliImport::importedRowsComeBackInTheExport() {
    const int before = count("Customer");
    auto r = run({"import", "customers", m_csv, "--lines", "2-4"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(count("Customer"), before + 3);

    r = run({"export", "customers"});
    QCOMPARE(r.code, 0);
    const QString out = QString::fromUtf8(r.out);
    // Each imported line comes back as a row holding its fields, quoted as written.
    for (const QString& fields :
         {QString("\"Lin, Bo\",上海市南京路 1 号,200001,021-1234"),
          QString("王小明,北京市长安街 2 号,100001,010-5678"),
          QString("\"Quote \"\"Q\"\" Ltd\",杭州市西湖路 3 号,310001,0571-9")})
        QVERIFY2(out.contains(fields), qPrintable(fields + "\n" + out.right(600)));

    // The same lines again: every name exists, nothing is added.
    QCOMPARE(run({"import", "customers", m_csv, "--lines=2-4"}).code, 0);
    QCOMPARE(count("Customer"), before + 3);
}

void TestCliImport::salesImportKeepsStockInStep() {
    // Product in B, customer C, warehouse D, account E, price F, quantity G, paid J, date K.
    const QString csv = test::writeFile(
        m_set->folder() + "/orders.csv",
        "a,产品,客户,仓库,账号,价格,数量,h,i,已付,日期,销售员,备注\r\n"
        ",网店新品,网店顾客,网店仓,网店账户,19.90,3,,,59.70,2024-05-06,,夜间导入\r\n"
        ",网店新品,网店顾客,网店仓,网店账户,19.90,2,,,39.80,2024-05-07,,夜间导入\r\n");
    const int sales = count("Sale");
    auto r = run({"import", "sales", csv});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(count("Sale"), sales + 2);
    QCOMPARE(test::queryRows(m_set->db(), "SELECT s.Num FROM Stock s JOIN Product p "
                                          "ON p.PID=s.PID WHERE p.Name='网店新品'"),
             QString("-5"));
    r = run({"verify"});
    QVERIFY2(r.code == 0, qPrintable(r.err + r.out));

    r = run({"export", "sales"});
    const QString out = QString::fromUtf8(r.out);
    QCOMPARE(out.count("网店新品"), 2);
    QCOMPARE(out.count("夜间导入"), 2);
}

void TestCliImport::dryRunLeavesTheAccountSetAsItWas() {
    // A file of its own that nothing holds open, logged into once already.
    const QString path = m_set->folder() + "/copy.lbk";
    {
        auto copy = Database::open(path, Database::OpenMode::CreateIfMissing);
        Schema::createAccountSet(*copy);
        SampleData::fill(*copy);
    }
    QCOMPARE(m_cli.run({"--set", path, "verify"}).code, 0);
    const QByteArray setBefore = test::readFile(path);
    auto r =
        m_cli.run({"--set", path, "import", "customers", m_csv, "--lines", "2-4", "--dry-run"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.err.contains("可添加 3 条"), qPrintable(r.err));
    // The encoding chosen is the one read, and the summary names it.
    r = m_cli.run({"--set", path, "import", "customers", m_csv, "--dry-run", "--encoding", "GBK"});
    QVERIFY2(r.err.contains("文件编码：GB18030") && !r.err.contains("自动识别"), qPrintable(r.err));
    QVERIFY(test::readFile(path) == setBefore);
    QCOMPARE(test::readFile(m_csv), kCustomers);
    QVERIFY(!QFile::exists(path + "-wal") || QFileInfo(path + "-wal").size() == 0);
}

void TestCliImport::columnsByHeaderOrLeftOut() {
    // The titles name 地区, 姓名, 地址, 邮编 and 电话, the rest are not in the
    // file; line 1 is the header, so the import starts on line 2.
    const int before = count("Customer");
    auto r = run({"import", "customers", m_csv, "--columns", "auto", "--lines", "1-3"});
    QVERIFY2(r.code == 0 && r.err.contains("表头中找不到：手机、传真、邮箱、网址、备注") &&
                 r.err.contains("\n第 4 行在终止行之后，没有导入。"),
             qPrintable(r.err));
    QCOMPARE(count("Customer"), before + 2);
    QCOMPARE(test::queryRows(m_set->db(), "SELECT Address, PC, MPhone FROM Customer WHERE "
                                          "Name='王小明'"),
             QString("北京市长安街 2 号|100001|"));
    // An empty entry: that field is not in the file.
    QCOMPARE(run({"import", "customers", m_csv, "--columns", "B,C,,E", "--lines", "4-4"}).code, 0);
    QCOMPARE(test::queryRows(m_set->db(), "SELECT Address, PC FROM Customer WHERE Name LIKE "
                                          "'Quote%'"),
             QString("|310001"));
}

void TestCliImport::badInputChangesNothing() {
    const QString book =
        test::writeXlsx(m_set->folder() + "/book.xlsx", {{"客户", "\n,,表中客户"}});

    const int before = count("Customer");
    const QString gone = m_set->folder() + "/gone.csv";
    const struct {
        QStringList args;
        int code;
        QString message;
    } cases[] = {
        {{"import", "invoices", m_csv},
         2,
         "未知的表：invoices（可用：sales, purchases, transfers, products, accounts, customers, "
         "suppliers, staff, classes, warehouses, regions）"},
        {{"import", "customers", m_csv, "--lines", "10-2"},
         2,
         "--lines 10-2：终止行不能小于起始行。"},
        {{"import", "customers", m_csv, "--lines", "two-ten"},
         2,
         "--lines 的取值“two-ten”无效，应写作 起始行-终止行，例如 2-10。"},
        {{"import", "customers", m_csv, "--columns", "B,C,D,E,F,G,H,I,J,K,L"},
         2,
         "--columns 给了 11 个列号，导入客户记录只有 10 项。"},
        {{"import", "customers", m_csv, "--columns", "B,3"},
         2,
         "--columns 中的“3”不是列号，列号写作 A 至 ZZ。"},
        {{"import", "customers", m_csv, "--columns", "B,abc"},
         2,
         "--columns 中的“abc”不是列号，列号写作 A 至 ZZ。"},
        // No header, or no title for a required field.
        {{"import", "customers", book, "--columns", "auto"},
         2,
         "--columns auto：第 1 行不像表头，请用 --columns 写出列号。"},
        {{"import", "customers", test::writeFile(m_set->folder() + "/t.csv", "地区,电话\n"),
          "--columns", "auto"},
         2,
         "--columns auto：表头中找不到必填项“姓名”，没有导入。"},
        {{"import", "customers", m_csv, "--sheet", "客户"},
         2,
         "--sheet 只用于 .xls 或 .xlsx 工作簿。"},
        {{"import", "customers", m_csv, "--encoding", "latin1"},
         2,
         "--encoding 只能是 auto、utf-8、gb18030、big5 或 utf-16。"},
        {{"import", "customers"}, 2, "缺少参数。"},
        {{"import", "customers", gone}, 1, "无法打开文件：" + gone},
        {{"import", "customers", book, "--sheet", "订单"},
         1,
         "输入表格名称有误，无法打开表格，请重新输入！"},
    };
    for (const auto& c : cases) {
        const auto r = run(c.args);
        QVERIFY2(r.code == c.code && r.err.startsWith(c.message),
                 qPrintable(c.args.join(' ') + " -> " + r.err));
    }
    QCOMPARE(count("Customer"), before);

    // The named worksheet, and the first one when none is named.
    for (const QStringList& sheet : {QStringList{"--sheet", "客户"}, QStringList{}}) {
        const auto r =
            run(QStringList{"import", "customers", book, "--lines=2-2", "--dry-run"} + sheet);
        QVERIFY2(r.code == 0 && r.err.contains("可添加 1 条"), qPrintable(r.err));
    }
    QCOMPARE(count("Customer"), before);
}

QTEST_GUILESS_MAIN(TestCliImport)
#include "TestCliImport.moc"
