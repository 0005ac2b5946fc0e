#include "core/data/Database.h"
#include "core/importexport/GridExport.h"
#include "core/importexport/ImportHeader.h"
#include "core/importexport/ImportTables.h"
#include "core/importexport/ImportValues.h"
#include "core/importexport/Importer.h"
#include "core/support/Clock.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <xlsxwriter.h>

using namespace tl;

namespace {

int count(const Database& db, const QString& sql, const QVariantList& binds = {}) {
    return db.value(sql, binds).toInt();
}

// Every stock row as warehouse|product|quantity.
QString stock(const Database& db) {
    return test::queryRows(db, "SELECT s.Name, p.Name, k.Num FROM Stock k JOIN Storage s ON "
                               "s.SID=k.SID JOIN Product p ON p.PID=k.PID ORDER BY k.ID");
}

// Every name of the master tables, the preset operator left out.
QString names(const Database& db) {
    return test::queryRows(db, "SELECT Name FROM Product UNION ALL SELECT Name FROM Customer "
                               "UNION ALL SELECT Name FROM Vender UNION ALL SELECT Name FROM "
                               "Storage UNION ALL SELECT Name FROM Account UNION ALL "
                               "SELECT Name FROM Staff WHERE UID>1");
}

} // namespace

class TestImporter : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::setToday(QDate(2010, 5, 6)); }
    void cleanup() { Clock::setToday(QDate()); }
    void tablesAndColumnLetters();
    void textValues_data();
    void textValues();
    void linesCountAsThePreviewShowsThem();
    void linesAreStoredAsTheEntryWindowsWould_data();
    void linesAreStoredAsTheEntryWindowsWould();
    void mastersSkipNamesThatExist();
    void encodingsImportChineseNames();
    void aRefusedLineIsSkippedAFailureLeavesNothing();
    void dryRunStoresNothing();
    void summaryTellsWhatWasAddedAndSkipped();
    void worksheetRowsImportAsLines();

private:
    QString csv(const QString& text, const QString& name = "in.csv") {
        return test::writeFile(m_dir.filePath(name), text.toUtf8());
    }
    static ImportRequest request(ListedTable table, const QString& path, int first = 2,
                                 int last = 10) {
        ImportRequest r;
        r.table = table;
        r.path = path;
        r.firstLine = first;
        r.lastLine = last;
        return r;
    }
    QTemporaryDir m_dir;
};

void TestImporter::tablesAndColumnLetters() {
    QCOMPARE(columnNumber("a"), std::optional<int>(1));
    QCOMPARE(columnNumber("BA"), std::optional<int>(53));
    QCOMPARE(columnNumber(" c "), std::optional<int>(3));
    QCOMPARE(columnNumber("7"), std::optional<int>(1));
    QCOMPARE(columnNumber("ABC"), std::optional<int>(0));
    QCOMPARE(columnNumber("  "), std::optional<int>());
    QCOMPARE(columnNumber(columnLetters(702)), std::optional<int>(702)); // ZZ
    // A header row: its titles name fields, by label or another usual name;
    // a label is taken before another field's other name ("账号").
    const ImportTableDef& sales = importTableDef(ListedTable::Sales);
    const QStringList header{"序号", "品名", " 购货单位", "数目", "单价", "账号", "说明", "账号"};
    QVERIFY(looksLikeHeader(header, sales));
    QVERIFY(!looksLikeHeader({"1", "铅笔", "华联", "2009-1-5", "3"}, sales));
    QVERIFY(!looksLikeHeader({"甲", "乙"}, sales)); // names no field
    HeaderMatch m = matchHeader(header, sales);
    QCOMPARE(m.columns, QStringList({"B", "C", "", "F", "E", "D", "", "", "", "G"}));
    QCOMPARE(m.missing, QStringList({"来源仓库", "已付", "日期", "销售员"}));
    // Boxes not found keep their letters unless a found field took that column.
    QStringList boxes = sales.defaultColumns();
    QCOMPARE(
        applyHeaderMatch(boxes, m, sales),
        QString(
            "表头中找不到：已付、日期、销售员（列号未改）；来源仓库（其列已对应其他项，已清空）"));
    QCOMPARE(boxes, QStringList({"B", "C", "", "F", "E", "D", "J", "K", "L", "G"}));
    m = matchHeader(header, importTableDef(ListedTable::Accounts));
    QCOMPARE(m.columns, QStringList({"", "F", "G"}));
    // Tables are found by their whole English name (every table, in capitals,
    // in TestGridExport::exportRightsOfTheTables).
    QVERIFY(!listedTableNamed("sale"));
}

void TestImporter::textValues_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("money"); // importMoney's number; empty for none
    QTest::addColumn<QDate>("date");
    const auto row = [](const char* text, const char* money, QDate date = {}) {
        QTest::newRow(text) << QString(text) << QString(money) << date;
    };
    row("12.5箱", "12.5");
    row("1,299.00", "1299");
    row("1,2", "1"); // a comma ends the number unless three digits follow
    row(" - 1 2.5\t", "-12.5");
    row("1e3x", "1000");
    row("1e", "1");
    row("1e400", "inf");
    row("五", "");
    row("-", "");
    row("2009-01-15", "2009", {2009, 1, 15});
    row("2009/1/5 10:30:00", "2009", {2009, 1, 5});
    row("2009年3月8日", "2009", {2009, 3, 8});
    row(" 2009 - 3 - 8T08:00", "2009", {2009, 3, 8});
    row("15/01/2009", "15", {2009, 1, 15});
    row("01/02/2009", "1"); // day or month first: no telling
    row("2009-01-155", "2009");
    row("09-01-15", "9");
    row("2009-02-30", "2009");
}

void TestImporter::textValues() {
    QFETCH(QString, text);
    QFETCH(QString, money);
    QFETCH(QDate, date);
    const std::optional<double> number = importMoney(text);
    QCOMPARE(number ? QString::number(*number) : QString(), money);
    QCOMPARE(importDate(text), date);
}

void TestImporter::linesCountAsThePreviewShowsThem() {
    test::TestAccountSet set;
    QString text = "序号,地区\n";
    for (int i = 1; i <= 20; ++i)
        text += QString("%1,地区%1\n").arg(i);
    const QString path = csv(text);

    // The dialog's defaults: lines 2 to 10, nine records; the rest is named.
    ImportResult r = importRecords(set.db(), request(ListedTable::Regions, path));
    QCOMPARE(r.added, 9);
    QVERIFY(
        r.summary(ListedTable::Regions).contains("\n第 11 行至第 21 行在终止行之后，没有导入。"));
    QVERIFY(r.question(ListedTable::Regions).endsWith("在终止行之后，不会导入。"));
    const ImportFileLines lines = scanImportFile(path, {});
    QCOMPARE(lines.count, 21);
    QCOMPARE(lines.first, QStringList({"序号", "地区"}));
    QCOMPARE(count(set.db(), "SELECT COUNT(*) FROM Region WHERE Region IN ('地区9','地区10')"), 1);

    // An end line below the start reads nothing; start 0 counts the header as
    // line 0 and so reads one record more than start 1.
    QCOMPARE(importRecords(set.db(), request(ListedTable::Regions, path, 12, 11)).added, 0);
    test::TestAccountSet a, b;
    QCOMPARE(importRecords(a.db(), request(ListedTable::Regions, path, 1, 10)).added, 10);
    QCOMPARE(importRecords(b.db(), request(ListedTable::Regions, path, 0, 10)).added, 11);

    // Empty lines and multi-line records count as one line each, as in the preview.
    test::TestAccountSet c;
    const QString odd = csv("h,h\n1,北\n\n2,\"东\n南\"\n3,\x01\n4,西\n", "odd.csv");
    r = importRecords(c.db(), request(ListedTable::Regions, odd, 2, 6));
    QCOMPARE(r.added, 3);
    QCOMPARE(scanImportFile(odd, {}).count, 6);
    QCOMPARE(r.skipped[0].line, 5);
    QCOMPARE(r.skipped[0].reason, SkipReason::MissingRequired);
    // No control character is stored: a line break reads as a blank, others go.
    QCOMPARE(count(c.db(), "SELECT COUNT(*) FROM Region WHERE Region=?", {"东 南"}), 1);
}

void TestImporter::linesAreStoredAsTheEntryWindowsWould_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("stored"); // the rows sql reads afterwards
    QTest::addColumn<QString>("names");  // every master name there is then
    QTest::addColumn<QString>("stock");  // warehouse|product|quantity
    // Columns B..M as the dialog's defaults expect them. Placeholders are
    // created once, as ordinary names; a bare product line has price,
    // quantity and payment 0, dated today. The records keep 2.5 and 3.5,
    // the stock moves by 2 and 4.
    QTest::newRow("sales")
        << int(ListedTable::Sales)
        << "no,产品,客户,仓库,账号,价格,数量,x,x,已付,日期,销售员,备注\n"
           "1,铅笔\n2,铅笔,,,,,2.5\n3,铅笔,,,,,3.5\n4,,华联,一号库\n"
           "5,钢笔,华联,一号库,工行,￥12.50,4,,,$20,2009/1/15,张三,\"首单,加急\"\n"
        << "导入完成：添加了 4 条销售记录，跳过 1 行。\n"
           "新建产品 2 个（铅笔、钢笔）、客户 2 个（客户未知、华联）、仓库 2 个（未知仓库、一号库）"
           "、账号 2 个（未知账号、工行）、人员 2 个（销售员未知、张三）。\n"
           "必填项为空（产品）：1 行（第 5 行）\n文件编码：UTF-8（自动识别）"
        << "SELECT Price, Num, Pay, Dat, Memo FROM Sale ORDER BY ID"
        << "0|0|0|2010-05-06|;0|2.5|0|2010-05-06|;0|3.5|0|2010-05-06|;"
           "12.5|4|20|2009-01-15|首单,加急"
        << "铅笔;钢笔;客户未知;华联;未知仓库;一号库;未知账号;工行;销售员未知;张三"
        << "未知仓库|铅笔|-6;一号库|钢笔|-4";
    // Product B, customer C, price F, quantity G, paid J, date K: what the
    // sale window refuses skips the line, and a refused line creates none
    // of its names.
    QTest::newRow("sales refused")
        << int(ListedTable::Sales)
        << "h\n1,铅笔,甲,,,,3000000000\n2,铅笔,,,,,1e300\n3,铅笔,,,,1e308,10\n"
           "4,铅笔,,,,,五\n5,铅笔,,,,abc,1\n6,铅笔,,,,,1,,,,0001-01-01\n7,铅笔,,,,,1,,,,明天\n"
           "8,铅笔,,,,\"1,971.00\",2,,,\"1,971.00\",15/01/2009\n"
        << "导入完成：添加了 1 条销售记录，跳过 7 行。\n"
           "新建产品 1 个（铅笔）、客户 1 个（客户未知）、仓库 1 个（未知仓库）、账号 1 个（未知"
           "账号）、人员 1 个（销售员未知）。\n"
           "数量不是数字：1 行（第 5 行）\n"
           "价格不是数字：1 行（第 6 行）\n"
           "日期无法识别：1 行（第 8 行）\n"
           "数量超出范围（-2147483648至2147483647）：2 行（第 2、3 行）\n"
           "总金额超出范围：1 行（第 4 行）\n"
           "日期无效或超出范围（1900-01-01至9999-12-31）：1 行（第 7 行）\n"
           "文件编码：UTF-8（自动识别）"
        << "SELECT Price, Num, Pay, Dat FROM Sale"
        << "1971|2|1971|2009-01-15"
        << "铅笔;客户未知;未知仓库;未知账号;销售员未知"
        << "未知仓库|铅笔|-2";
    QTest::newRow("purchases")
        << int(ListedTable::Purchases)
        << "h\n1,纸,大华,建行,二号库,\"￥1,200.50\",10\n2,纸,大华,建行,二号库,$35,5\n"
           "3,纸,,,,\"1,200\",1\n"
        << "导入完成：添加了 3 条采购记录。\n新建产品 1 个（纸）、供应商 2 个（大华、供应商未知）"
           "、账号 2 个（建行、未知账号）、仓库 2 "
           "个（二号库、未知仓库）。\n文件编码：UTF-8（自动识别）"
        << "SELECT Price FROM Buy ORDER BY ID"
        << "1200.5;35;1200"
        << "纸;大华;供应商未知;二号库;未知仓库;建行;未知账号"
        << "二号库|纸|15;未知仓库|纸|1";
    // Transfers read "1,200" as 1200, store whole numbers, need all four
    // columns and refuse what the transfer window refuses: nothing once
    // rounded, beyond the range (not clamped), one warehouse to itself.
    QTest::newRow("transfers")
        << int(ListedTable::Transfers)
        << "h\n1,纸,二号库,三号库,\"1,200\",2009-03-01\n2,纸,二号库,,5\n3,纸,二号库,三号库,2.5\n"
           "4,纸,二号库,四号库,0.4\n5,纸,二号库,四号库,\"3,000,000,000\"\n6,纸,二号库,二号库,5\n"
        << "导入完成：添加了 2 条调库记录，跳过 4 行。\n"
           "新建产品 1 个（纸）、仓库 2 个（二号库、三号库）。\n"
           "必填项为空（产品名称、来源库、目的库、数量）：1 行（第 3 行）\n"
           "调库数量为零：1 行（第 5 行）\n"
           "数量超出范围（-2147483648至2147483647）：1 行（第 6 行）\n"
           "在同一个仓库内无需调货：1 行（第 7 行）\n"
           "文件编码：UTF-8（自动识别）"
        << "SELECT Num FROM Adjust ORDER BY ID"
        << "1200;2"
        << "纸;二号库;三号库"
        << "二号库|纸|-1202;三号库|纸|1202";
    // An empty class files under "未知类别" (created once), an empty unit
    // stores "单位未知"; a name met twice is added once.
    QTest::newRow("products")
        << int(ListedTable::Products)
        << "h\n1,,PX,橡皮,E01,￥2,,软\n2,,PY,尺子,E02,3,把\n3,,,橡皮\n"
        << "导入完成：添加了 2 条产品记录，跳过 1 行。\n新建产品类别 1 个（未知类别）。\n"
           "名称已存在：1 行（第 4 行）\n文件编码：UTF-8（自动识别）"
        << "SELECT c.Class, p.Unit, p.Price, p.SName, p.Code, p.Memo FROM Product p "
           "JOIN Class c ON c.CID=p.CID"
        << "未知类别|单位未知|2|PX|E01|软;未知类别|把|3|PY|E02|"
        << "橡皮;尺子"
        << "";
}

void TestImporter::linesAreStoredAsTheEntryWindowsWould() {
    QFETCH(int, table);
    QFETCH(QString, file);
    QFETCH(QString, sql);
    test::TestAccountSet set;
    const Database& db = set.db();
    const ImportResult r = importRecords(db, request(ListedTable(table), csv(file)));
    QTEST(r.summary(ListedTable(table)), "summary");
    QTEST(test::queryRows(db, sql), "stored");
    QTEST(names(db), "names");
    QTEST(stock(db), "stock");
}

void TestImporter::mastersSkipNamesThatExist() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const QString path = csv("序号,地区,姓名,地址\n"
                             "1,华北,\"张,三\",北京\n"
                             "2,,O'Brien,上海\n"
                             "3,华北,o'brien,广州\n");
    ImportResult r = importRecords(db, request(ListedTable::Customers, path, 2, 100));
    QCOMPARE(r.added, 2);
    QCOMPARE(r.skipped.size(), 1); // names compare without regard to case
    QVERIFY(r.skipped[0].line == 4 && r.skipped[0].reason == SkipReason::Exists);
    // No region: the region every new customer gets, not a nameless one.
    const QString sql = "SELECT c.Name, c.Address, r.Region FROM Customer c "
                        "JOIN Region r ON r.RID=c.RID ORDER BY c.CID";
    const QString stored = "张,三|北京|华北;O'Brien|上海|未知区域";
    QCOMPARE(test::queryRows(db, sql), stored);

    // The same file again, other columns changed: nothing added, nothing changed.
    csv("序号,地区,姓名,地址\n1,华南,\"张,三\",深圳\n2,,O'Brien,重庆\n", "in.csv");
    r = importRecords(db, request(ListedTable::Customers, path, 2, 100));
    QVERIFY(r.ok);
    QCOMPARE(r.added, 0);
    QCOMPARE(r.skipped.size(), 2);
    QVERIFY(r.skipped[0].reason == SkipReason::Exists &&
            r.skipped[1].reason == r.skipped[0].reason);
    QCOMPARE(test::queryRows(db, sql), stored);
}

void TestImporter::encodingsImportChineseNames() {
    const QString text = QStringLiteral("编号,名称,账号\n1,工商银行,6222 0001\n2,招商銀行𠀀,\n");
    QStringEncoder gb("GB18030");
    // UTF-16 holds NUL bytes and is text all the same.
    const QList<QByteArray> files{gb.encode(text), "\xEF\xBB\xBF" + text.toUtf8(),
                                  "\xFF\xFE" +
                                      QStringEncoder(QStringConverter::Utf16LE).encode(text)};
    for (const QByteArray& bytes : files) {
        test::TestAccountSet set;
        const QString path = test::writeFile(m_dir.filePath("accounts.csv"), bytes);
        importRecords(set.db(), request(ListedTable::Accounts, path));
        QCOMPARE(test::queryRows(set.db(), "SELECT Name, Account FROM Account ORDER BY AID"),
                 QString("工商银行|6222 0001;招商銀行𠀀|"));
    }
}

void TestImporter::aRefusedLineIsSkippedAFailureLeavesNothing() {
    test::TestAccountSet set;
    const Database& db = set.db();
    test::refuseWrites(db, "refuse", "INSERT", "Sale", "NEW.Memo='坏'");
    const QString path = csv("h\n1,铅笔,,甲库,,,5,,,,,,好\n2,铅笔,,甲库,,,7,,,,,,坏\n"
                             "3,铅笔,,甲库,,,1,,,,,,好\n");
    ImportResult r = importRecords(db, request(ListedTable::Sales, path));
    QCOMPARE(r.added, 2);
    QCOMPARE(r.skipped[0].line, 3);
    QCOMPARE(r.skipped[0].reason, SkipReason::NotStored);
    QCOMPARE(stock(db), QString("甲库|铅笔|-6")); // the refused line moved nothing

    // A failure part-way (here: a new region the database cannot store, on
    // line 4) leaves nothing of the file: no customer, no region.
    test::refuseWrites(db, "fail", "INSERT", "Region", "NEW.Region='坏区'", true);
    const int regions = count(db, "SELECT COUNT(*) FROM Region");
    const int known = count(db, "SELECT COUNT(*) FROM Customer");
    const QString customers = csv("h\n1,好区,甲\n2,好区,乙\n3,坏区,丙\n4,好区,丁\n", "c.csv");
    r = importRecords(db, request(ListedTable::Customers, customers));
    QVERIFY(!r.ok);
    QCOMPARE(r.added, 0);
    QVERIFY(r.error.startsWith("导入失败，没有导入任何记录"));
    QCOMPARE(r.summary(ListedTable::Customers), r.error);
    QCOMPARE(count(db, "SELECT COUNT(*) FROM Customer"), known);
    QCOMPARE(count(db, "SELECT COUNT(*) FROM Region"), regions);

    // The stock goes in last: when it fails, the sales and new masters go too.
    test::allowWrites(db, "refuse", "Sale");
    test::refuseWrites(db, "nostock", "UPDATE", "Stock");
    const int sales = count(db, "SELECT COUNT(*) FROM Sale");
    const QString more = csv("h\n1,铅笔,新客户,甲库,,,5\n", "more.csv");
    r = importRecords(db, request(ListedTable::Sales, more));
    QVERIFY(!r.ok);
    QCOMPARE(count(db, "SELECT COUNT(*) FROM Sale"), sales);
    QCOMPARE(count(db, "SELECT COUNT(*) FROM Customer WHERE Name='新客户'"), 0);
    QCOMPARE(stock(db), QString("甲库|铅笔|-6"));

    // A statement the engine cannot even prepare is told without its SQL.
    db.exec("ALTER TABLE Customer DROP COLUMN Websit");
    r = importRecords(db, request(ListedTable::Customers, customers));
    QVERIFY2(!r.ok && !r.error.contains("INSERT"), qPrintable(r.error));
}

void TestImporter::dryRunStoresNothing() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const QString path = csv("h\n1,铅笔,华联,甲库,,,5\n2,,华联\n3,钢笔,新客,甲库,,,2\n");
    const QByteArray before = test::readFile(path);
    ImportRequest req = request(ListedTable::Sales, path);
    req.dryRun = true;
    const ImportResult dry = importRecords(db, req);
    QCOMPARE(dry.added, 2);
    QCOMPARE(dry.skipped.size(), 1);
    QVERIFY(dry.summary(ListedTable::Sales).startsWith("试导入完成，未保存任何记录"));
    // The question the window asks before the real import, with the names the
    // import would create.
    QVERIFY(dry.storesAnything());
    QCOMPARE(dry.question(ListedTable::Sales),
             QString("将添加 2 条销售记录；将新建产品 2 个（铅笔、钢笔）、客户 2 个（华联、"
                     "新客）、仓库 1 个（甲库）、账号 1 个（未知账号）、人员 1 个（销售员"
                     "未知）；将跳过 1 行（第 3 行）。是否导入？\n必填项为空（产品）：1 行"
                     "（第 3 行）"));
    for (const char* table : {"Sale", "Product", "Customer", "Storage", "Stock", "Account"})
        QCOMPARE(count(db, QString("SELECT COUNT(*) FROM %1").arg(table)), 0);
    QCOMPARE(test::readFile(path), before);

    // The real import adds what was announced; names that now exist are not new.
    req.dryRun = false;
    ImportResult real = importRecords(db, req);
    QCOMPARE(real.added, dry.added);
    QCOMPARE(count(db, "SELECT COUNT(*) FROM Sale"), 2);
    real = importRecords(db, req);
    QVERIFY(real.summary(ListedTable::Sales).contains("\n新建产品 0 个、客户 0 个、仓库 0 个"));
}

void TestImporter::summaryTellsWhatWasAddedAndSkipped() {
    test::TestAccountSet set;
    QString text = "h\n";
    for (int i = 2; i <= 15; ++i)
        text += i % 2 ? QString("%1,类%1\n").arg(i) : QString("%1,\n").arg(i);
    text += "99,类3\n\"unfinished,x\n";
    const QString path = csv(text);
    test::RecordingProgress progress;
    ImportRequest req = request(ListedTable::Classes, path, 2, 1000);
    const ImportResult r = importRecords(set.db(), req, progress);
    QVERIFY(!progress.captions.isEmpty() && !progress.open);
    QCOMPARE(r.summary(ListedTable::Classes),
             QString("导入完成：添加了 7 条产品类别记录，跳过 9 行。\n"
                     "必填项为空（类别）：7 行（第 2、4、6、8、10、12、14 行）\n"
                     "名称已存在：1 行（第 16 行）\n"
                     "引号未闭合，文件在此记录中结束：1 行（第 17 行）\n"
                     "文件编码：UTF-8（自动识别）"));

    // More than ten lines of one reason: the first ten, then "等".
    const ImportResult many = importRecords(
        set.db(), request(ListedTable::Classes, csv("h\n" + QString("x,\n").repeated(12)), 2, 99));
    QVERIFY(many.summary(ListedTable::Classes)
                .contains("必填项为空（类别）：12 行（第 2、3、4、5、6、7、8、9、10、11 行等）\n"));
    // So are more than ten new masters.
    text = "h\n";
    for (int i = 1; i <= 12; ++i)
        text += QString("%1,组%1,,品%1\n").arg(i);
    QVERIFY(importRecords(set.db(), request(ListedTable::Products, csv(text), 2, 99))
                .summary(ListedTable::Products)
                .contains("\n新建产品类别 12 个（组1、组2、组3、组4、组5、组6、组7、组8、组9、组10"
                          "等 12 个）。\n"));

    // An empty box for a required field is an error, not a silent nothing.
    req.columns = QStringList{" "};
    const ImportResult noColumn = importRecords(set.db(), req, progress);
    QVERIFY(!noColumn.ok);
    QCOMPARE(noColumn.error, QString("请填写“类别”对应的列号！"));
    // An empty optional box feeds nothing.
    test::TestAccountSet other;
    ImportRequest regions = request(ListedTable::Regions, csv("h\n1,东,备注\n"));
    regions.columns = QStringList{"B", ""};
    QCOMPARE(importRecords(other.db(), regions).added, 1);
    QCOMPARE(count(other.db(), "SELECT COUNT(*) FROM Region WHERE Memo=''"), 1);

    // Files that cannot be read say why.
    QCOMPARE(
        importRecords(set.db(), request(ListedTable::Classes, m_dir.filePath("none.csv"))).error,
        QString("无法打开文件：") + m_dir.filePath("none.csv"));
    QVERIFY(!importRecords(set.db(), request(ListedTable::Classes, csv("x", "a.txt"))).ok);
    const QString binary = test::writeFile(m_dir.filePath("b.csv"), QByteArray("h\n1,a\0b\n", 8));
    QCOMPARE(importRecords(set.db(), request(ListedTable::Classes, binary)).error,
             QString("文件不是文本文件，无法导入。"));
}

void TestImporter::worksheetRowsImportAsLines() {
    const QString xlsx = m_dir.filePath("sales.xlsx");
    lxw_workbook* wb = workbook_new(xlsx.toUtf8().constData());
    test::addSheet(wb, "说明");
    // Row 3 empty; the date read as a date, whatever the order of its format.
    lxw_worksheet* ws = test::addSheet(wb, "销售", ",产品\n,铅笔,,,,,2.5\n\n,橡皮,O'Brien,,,,3");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "dd/mm/yyyy");
    lxw_datetime day{2009, 1, 15, 0, 0, 0};
    worksheet_write_datetime(ws, 1, 10, &day, date);
    QCOMPARE(workbook_close(wb), LXW_NO_ERROR);

    test::TestAccountSet set;
    const Database& db = set.db();
    ImportRequest req = request(ListedTable::Sales, xlsx);
    req.sheet = "销售";
    ImportResult r = importRecords(db, req);
    QCOMPARE(r.added, 2);
    QCOMPARE(test::queryRows(db, "SELECT Num, Dat FROM Sale"),
             QString("2.5|2009-01-15;3|2010-05-06"));
    QCOMPARE(stock(db), QString("未知仓库|铅笔|-2;未知仓库|橡皮|-3"));
    // Lines count rows: line 4 only.
    req.firstLine = req.lastLine = 4;
    QCOMPARE(importRecords(db, req).added, 1);

    req.sheet = "没有这张表";
    QVERIFY(!importRecords(db, req).ok);
    // No name: the first worksheet, here an empty one.
    req.sheet.clear();
    r = importRecords(db, req);
    QVERIFY(r.ok);
    QCOMPARE(r.added, 0);
}

QTEST_GUILESS_MAIN(TestImporter)
#include "TestImporter.moc"
