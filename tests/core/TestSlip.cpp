#include "core/data/Database.h"
#include "core/printing/ChineseAmount.h"
#include "core/printing/SlipDocument.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace tl;

namespace {

// Customers 张三 (1) and 李四 (2), supplier 文具厂 (1), products 铅笔 (支)
// and 笔记本 (本); sales 1 and 2 to 张三, 3 to 李四; purchase 1.
void fillTrade(const Database& db) {
    db.exec("INSERT INTO Customer (Name) VALUES ('张三'), ('李四')");
    db.exec("INSERT INTO Vender (Name) VALUES ('文具厂')");
    db.exec("INSERT INTO Product (Name, Unit) VALUES ('铅笔', '支'), ('笔记本', '本')");
    const char* sale = "INSERT INTO Sale (PID, CID, Price, Num, Pay, Dat) VALUES (?,?,?,?,?,?)";
    db.exec(sale, {2, 1, 2.5, 2, 0, "2024-03-05"});
    db.exec(sale, {1, 1, 3.333, 3, 5, "2024-03-01 09:30:00"});
    db.exec(sale, {1, 2, 1, 1, 0, "2024-03-02"});
    db.exec("INSERT INTO Buy (PID, VID, Price, Num, Pay, Dat) VALUES (1, 1, 1.2, 100, 120, "
            "'2024-02-01')");
}

} // namespace

class TestSlip : public QObject {
    Q_OBJECT
private slots:
    void capitalsAsBanksWriteThem_data();
    void capitalsAsBanksWriteThem();
    void slipRefusesAndAddsUp();
    void settingsAndNumbers();
    void pagesStayInsideTheArea_data();
    void pagesStayInsideTheArea();
};

void TestSlip::capitalsAsBanksWriteThem_data() {
    QTest::addColumn<double>("yuan");
    QTest::addColumn<QString>("capitals"); // empty: refused
    const struct {
        double yuan;
        const char* capitals;
    } rows[] = {
        {0, "零元整"},
        {0.05, "伍分"},
        {0.5, "伍角整"},
        {10, "壹拾元整"},
        {10.05, "壹拾元零伍分"},
        {100.5, "壹佰元伍角整"},
        {1010, "壹仟零壹拾元整"},
        {1234.56, "壹仟贰佰叁拾肆元伍角陆分"},
        {1680.32, "壹仟陆佰捌拾元叁角贰分"},
        {6007.14, "陆仟零柒元壹角肆分"},
        {100010.5, "壹拾万零壹拾元伍角整"},
        {107000.53, "壹拾万柒仟元伍角叁分"},
        {1000000, "壹佰万元整"},
        {100000001, "壹亿零壹元整"},
        {100100000, "壹亿零壹拾万元整"},
        {999999999999.99, "玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分"},
        {1.005, "壹元零壹分"}, // held as 1.00499999…: rounds as typed, half away from zero
        {2.675, "贰元陆角捌分"},
        {0.004, "零元整"},
        {-0.01, ""},
        {1e12, ""},
    };
    for (const auto& r : rows)
        QTest::addRow("%s", r.capitals[0] ? r.capitals : "refused")
            << r.yuan << QString::fromUtf8(r.capitals);
}

void TestSlip::capitalsAsBanksWriteThem() {
    QFETCH(double, yuan);
    QFETCH(QString, capitals);
    const std::optional<qint64> cents = amountCents(yuan);
    const std::optional<QString> text = cents ? chineseCapitals(*cents) : std::nullopt;
    QCOMPARE(text.value_or(QString()), capitals);
}

void TestSlip::slipRefusesAndAddsUp() {
    test::TestAccountSet set;
    const Database& db = set.db();
    fillTrade(db);
    const Session clerk = test::sessionWith({"操作销售记录"});
    Slip slip;
    const struct {
        QList<qint64> ids;
        const char* message;
    } refusals[] = {
        {{}, "没有选择要打印的销售记录！"},
        {{1, 99, 98}, "记录号为 98、99 的销售记录不存在（可能已被删除）。"},
        {{1, 2, 3},
         "所选的销售记录属于不同的客户：张三、李四。一张销售单只能开给一个客户，"
         "请只选择同一客户的记录。"},
    };
    for (const auto& r : refusals) {
        const Outcome o = buildSlip(db, clerk, SlipKind::Sale, r.ids, slip);
        QCOMPARE(o.kind, Outcome::Kind::Refused);
        QCOMPARE(o.message, QString::fromUtf8(r.message));
    }

    // Lines in date order; 3.333 × 3 = 9.999 prints as 10.00 and the total
    // is the sum of the printed lines.
    QVERIFY(ShopSettings::save(db, test::adminSession(), {"  好运文具店 ", "北京路1号", "12345"}));
    QVERIFY(buildSlip(db, clerk, SlipKind::Sale, {1, 2, 2}, slip));
    QCOMPARE(slip.party, QString("张三"));
    QCOMPARE(slip.date, QString("2024.03.01 至 2024.03.05"));
    QCOMPARE(slip.lines.size(), 2);
    QCOMPARE(slip.lines[0].product + slip.lines[0].unit + slip.lines[1].unit, QString("铅笔支本"));
    QCOMPARE(slip.lines[0].amount, 1000);
    QCOMPARE(slip.total, 1500);
    QCOMPARE(slip.paid, 500);
    QCOMPARE(centsText(slip.owed()) + centsText(-123456789), QString("10.00-1,234,567.89"));
    QCOMPARE(slip.shop.name, QString("好运文具店"));
    QCOMPARE(slip.operatorName, QString("admin"));

    QVERIFY(buildSlip(db, clerk, SlipKind::Purchase, {1}, slip));
    QCOMPARE(slip.party + slip.date + slip.title(), QString("文具厂2024.02.01采购单"));
    QCOMPARE(slip.owed(), 0);
}

void TestSlip::settingsAndNumbers() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const ShopSettings shop{"好运文具店", "北京路1号", "010-12345678"};
    const Outcome denied = ShopSettings::save(db, test::sessionWith({"操作销售记录"}), shop);
    QCOMPARE(denied.message, QString("没有“修改人员权限”的权限，不能修改单据设置。"));
    const Outcome tooLong =
        ShopSettings::save(db, test::adminSession(), {QString(41, QChar(0x5e97)), "", ""});
    QCOMPARE(tooLong.message, QString("店名太长：最多 40 个字，现在是 41 个字。"));
    QCOMPARE(ShopSettings::read(db), ShopSettings{});
    QVERIFY(ShopSettings::save(db, test::adminSession(), {"旧名", "", ""}));
    QVERIFY(ShopSettings::save(db, test::adminSession(), shop));
    QCOMPARE(ShopSettings::read(db), shop);
    QCOMPARE(db.value("SELECT count(*) FROM Shop").toInt(), 1);

    // Two series; the preview's number is not taken; a number comes back only
    // while it is the last one taken.
    QCOMPARE(SlipNumbers::next(db, SlipKind::Sale), 1);
    QCOMPARE(SlipNumbers::take(db, SlipKind::Sale), 1);
    QCOMPARE(SlipNumbers::take(db, SlipKind::Purchase), 1);
    QCOMPARE(SlipNumbers::take(db, SlipKind::Sale), 2);
    SlipNumbers::giveBack(db, SlipKind::Sale, 2);
    QCOMPARE(SlipNumbers::next(db, SlipKind::Sale), 2);
    QCOMPARE(SlipNumbers::take(db, SlipKind::Sale), 2);
    QCOMPARE(SlipNumbers::take(db, SlipKind::Sale), 3);
    SlipNumbers::giveBack(db, SlipKind::Sale, 2);
    QCOMPARE(ShopSettings::read(db), shop);

    // A print that throws gives its number back (3 stays the last taken); an
    // older file opened for reading only is refused as read-only, not as a
    // failure.
    SlipDocument document{Slip()};
    QVERIFY_THROWS_EXCEPTION(int, printNumbered(db, document, []() -> bool { throw 0; }));
    QCOMPARE(SlipNumbers::next(db, SlipKind::Sale), 4);
    db.exec("DROP TABLE Shop");
    try {
        SlipNumbers::take(*Database::open(set.path(), Database::OpenMode::ReadOnly),
                          SlipKind::Sale);
        QFAIL("a read-only file took a number");
    } catch (const DbError& e) {
        QCOMPARE(e.kind(), DbError::Kind::ReadOnly);
    }
}

void TestSlip::pagesStayInsideTheArea_data() {
    QTest::addColumn<QSizeF>("area");
    QTest::addRow("A4") << QSizeF(510, 774);
    QTest::addRow("A5") << QSizeF(335, 527);
}

// A long slip runs over pages, each line on one page in order, the totals
// on the last; nothing is drawn outside the printable area.
void TestSlip::pagesStayInsideTheArea() {
    QFETCH(QSizeF, area);
    Slip slip;
    slip.shop = {"好运文具店", "北京路1号", "010-12345678"};
    slip.party = "张三";
    slip.number = 12;
    for (int i = 0; i < 70; ++i)
        slip.lines << SlipLine{i % 7 ? "铅笔" : QString(60, QChar(0x7b14)), "支", 12345.5, 100.001,
                               123456789};
    slip.total = 70 * 123456789LL;
    SlipDocument document(slip);
    const int pages = document.paginate(area, Progress::silent());
    QVERIFY(pages > 1);
    int next = 0;
    for (const SlipDocument::Page& page : document.pages()) {
        QCOMPARE(page.first, next);
        QCOMPARE(page.totals, &page == &document.pages().last());
        next += page.count;
    }
    QCOMPARE(next, 70);
    constexpr int margin = 20;
    for (int p = 0; p < pages; ++p) {
        QImage image(area.toSize() + QSize(2 * margin, 2 * margin), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(margin, margin);
        document.paintPage(painter, p);
        painter.end();
        int inside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool in = x >= margin && y >= margin && x <= margin + area.width() &&
                                y <= margin + area.height();
                const bool ink = qGray(image.pixel(x, y)) < 128; // not the smoothing's faint edge
                QVERIFY2(in || !ink,
                         qPrintable(QString("page %1 ink at %2,%3").arg(p).arg(x).arg(y)));
                inside += ink;
            }
        QVERIFY(inside > 1000);
    }
}

QTEST_MAIN(TestSlip)
#include "TestSlip.moc"
