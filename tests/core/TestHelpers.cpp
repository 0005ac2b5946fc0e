#include "core/accounts/AppPaths.h"
#include "core/accounts/Rights.h"
#include "core/accounts/Session.h"
#include "core/values/Dates.h"
#include "core/values/ItemText.h"
#include "core/values/Numbers.h"

#include <QTest>

using namespace tl;

namespace {
const QString sep(QChar(0x2016)); // between the key and the name, and between rights
} // namespace

class TestHelpers : public QObject {
    Q_OBJECT
private slots:
    void itemTexts();
    void periodBoundaries();
    void textAndMoneyForms();
    void relativeAccountSetPaths();
    void rightsTestAndJoin();
};

void TestHelpers::itemTexts() {
    QCOMPARE(itemText("铅笔", 12), "12" + sep + "铅笔");
    QCOMPARE(itemId("12" + sep + "铅笔"), 12);
    QCOMPARE(itemId("12"), 0); // no separator: no key
    QCOMPARE(itemId("abc" + sep + "x"), 0);
    QCOMPARE(itemId(" 7x" + sep + "x"), 7);
    QCOMPARE(itemId("2.5" + sep + "x"), 2); // halves to even
    QCOMPARE(itemId("3.5" + sep + "x"), 4);
    QCOMPARE(itemId("99999999999" + sep + "x"), 2147483647);
}

void TestHelpers::periodBoundaries() {
    QCOMPARE(lastOfMonth(QDate(2008, 2, 10)), QDate(2008, 2, 29));
    QCOMPARE(lastOfMonth(QDate(2009, 12, 31)), QDate(2009, 12, 31));
    QCOMPARE(firstOfMonth(QDate(2009, 12, 31)), QDate(2009, 12, 1));
    QCOMPARE(yearMonthText(QDate(2009, 9, 3)), QString("2009.09"));
}

void TestHelpers::textAndMoneyForms() {
    QCOMPARE(moneyText("1,234.567"), QString("1234.56"));
    QCOMPARE(moneyText(QString(QChar(0xFFE5)) + "5"), QString("5.00"));
    QCOMPARE(moneyText("3."), QString("3.00"));
    QCOMPARE(moneyText("7.5"), QString("7.50"));
    QCOMPARE(moneyText("-0.129"), QString("-0.12")); // cut off, not rounded
    QCOMPARE(moneyText(""), QString(".00"));
    QCOMPARE(moneyValue(QString(QChar(0xFFE5)) + "1,234,567.00"), QString("1234567.00"));
    QCOMPARE(toText(QString("  铅笔 ")), QString("铅笔"));
    QCOMPARE(toText(3.0), QString("3"));
    QCOMPARE(toText(QDate(2009, 2, 4)), QString("2009-02-04"));
    // Never an exponent, which the money form would turn into "1e+15.00".
    QCOMPARE(toText(-0.000123), QString("-0.000123"));
    QCOMPARE(toText(1e20), QString("100000000000000000000"));
    QCOMPARE(toText(-0.0), QString("0"));
    QCOMPARE(moneyText(toText(1e15)), QString("1000000000000000.00"));
    QCOMPARE(moneyText(toText(0.00001)), QString("0.00"));

    // Sums lose their binary noise before they become text or are cut.
    QCOMPARE(sumText(0.2 - 0.3), QString("-0.1"));
    QCOMPARE(sumText(7.499999999999999), QString("7.5"));
    QCOMPARE(roundHalfEven(roundSum(3.4999999999999996)), 4); // 3.5, halves to even
    QCOMPARE(sumMoneyText(80.30 - 80.20), QString("0.10"));
    QCOMPARE(sumMoneyText(1.42 * 19 - 26.98), QString("0.00")); // not "-0.00"
    QCOMPARE(sumMoneyText(12.349), QString("12.34"));           // still a cut
    QCOMPARE(sumMoneyText(-12.349), QString("-12.34"));
    QCOMPARE(cellNumber(QString(QChar(0xFFE5)) + "1,234.50"), 1234.5);
    QCOMPARE(cellNumber("-"), 0.0);
}

void TestHelpers::relativeAccountSetPaths() {
    AppPaths::setProgramFolder("/opt/tl");
    QCOMPARE(AppPaths::expandPath(".\\示例套帐.lbk"), QString("/opt/tl/示例套帐.lbk"));
    QCOMPARE(AppPaths::expandPath("..\\a.lbk"), QString("/opt/tl/../a.lbk"));
    QCOMPARE(AppPaths::expandPath(".a.lbk"), QString("/opt/tl/.a.lbk"));
    QCOMPARE(AppPaths::expandPath("/data/a.lbk"), QString("/data/a.lbk"));
}

void TestHelpers::rightsTestAndJoin() {
    const QString rights = "操作销售记录" + sep + "添加销售记录" + sep + "查看产品设置";
    QVERIFY(Rights::test(rights, "→添加销售记录"));
    QVERIFY(!Rights::test(rights, "产品设置")); // part of a longer name does not count
    QVERIFY(!Rights::test(rights, "销售记录"));
    Session s;
    s.rights = rights;
    QVERIFY(s.hasRight("添加销售记录"));
    QVERIFY(!s.hasRight("删除销售记录"));
    // Joined in the vocabulary's order, unknown names and item arrows dropped.
    QCOMPARE(Rights::join({"查找销售记录", "→添加销售记录", "不存在的权限", "操作销售记录"}),
             "操作销售记录" + sep + "添加销售记录" + sep + "查找销售记录");
    QVERIFY(!Rights::all().contains(QChar(0x2192))); // stored without the item arrows
}

QTEST_GUILESS_MAIN(TestHelpers)
#include "TestHelpers.moc"
