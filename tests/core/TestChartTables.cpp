#include "core/charts/ChartQueries.h"
#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QTest>

using namespace tl;

namespace {

struct Books {
    test::TestAccountSet set;
    const Database& db() { return set.db(); }
    void buy(int pid, double num, double price, const QString& date, int sid = 1) {
        test::buy(db(), sid, pid, num, price, date);
    }
    void sell(int pid, double num, double price, const QString& date, int sid = 1) {
        db().exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat) "
                  "VALUES (?, 1, ?, 1, 1, ?, ?, 0, ?)",
                  {pid, sid, price, num, date});
    }
};

ChartResult profit(Books& b, Grid& g, QDate from, QDate to, int pid = 0) {
    return profitTable(b.db(), {from, to, pid}, g);
}

} // namespace

class TestChartTables : public QObject {
    Q_OBJECT
private slots:
    void trendCoversWholeMonthsFiltersAndAmounts() {
        Books b;
        b.buy(1, 3, 2, "2008-02-29"); // the day before the range
        b.buy(1, 5, 2, "2008-03-01"); // its first day
        b.sell(1, 2, 4, "2008-03-31");
        b.sell(1, 4, 4, "2008-04-30 18:30:00"); // the last day, with a time
        b.sell(1, 7, 4, "2008-05-01");          // the day after
        Grid forward, backward;
        TrendQuery q{QDate(2008, 3, 15), QDate(2008, 4, 2)};
        const ChartResult r = trendTable(b.db(), q, forward);
        std::swap(q.from, q.to);
        const ChartResult reversed = trendTable(b.db(), q, backward);

        QVERIFY(r.drawable);
        QCOMPARE(reversed.title, r.title);
        QCOMPARE(test::columnTexts(forward, 0), QStringList({"2008.03", "2008.04"}));
        QCOMPARE(test::columnTexts(forward, 1), QStringList({"5", "0"}));
        QCOMPARE(test::columnTexts(forward, 2), QStringList({"2", "4"}));
        for (int c = 0; c < 3; ++c)
            QCOMPARE(test::columnTexts(backward, c), test::columnTexts(forward, c));

        // A range across a year end.
        q.from = QDate(2007, 11, 30);
        q.to = QDate(2008, 2, 1);
        trendTable(b.db(), q, forward);
        QCOMPARE(test::columnTexts(forward, 0),
                 QStringList({"2007.11", "2007.12", "2008.01", "2008.02"}));
        QCOMPARE(test::columnTexts(forward, 1), QStringList({"0", "0", "0", "3"}));

        q.from = QDate();
        QVERIFY(!trendTable(b.db(), q, forward).drawable);

        // Amounts and filters, in 2009.
        b.buy(1, 10, 1.5, "2009-01-05", 1);
        b.buy(1, 1, 100, "2009-01-06", 2); // other warehouse
        b.buy(2, 1, 100, "2009-01-07", 1); // other product
        b.sell(1, 2, 2.25, "2009-02-01", 1);
        b.sell(1, 3, 2.25, "2009-02-11", 1);
        b.sell(1, 0.1, 0.7, "2009-03-01", 1);
        b.sell(1, 0.2, 0.7, "2009-03-02", 1);

        Grid& g = forward;
        q = {QDate(2009, 1, 1), QDate(2009, 3, 31)};
        trendTable(b.db(), q, g);
        QCOMPARE(test::columnTexts(g, 1), QStringList({"12", "0", "0"}));
        QCOMPARE(test::columnTexts(g, 2), QStringList({"0", "5", "0.3"}));

        // A filtered chart names what it shows.
        b.db().exec("INSERT INTO Product (Name) VALUES ('铅笔')");
        b.db().exec("INSERT INTO Storage (Name) VALUES ('一号库')");
        q.warehouseId = 1;
        q.productId = 1;
        QCOMPARE(trendTable(b.db(), q, g).title,
                 QString("采购/销售数量变化示意图(2009.01-2009.03) 仓库：一号库 产品：铅笔"));
        QCOMPARE(test::columnTexts(g, 1), QStringList({"10", "0", "0"}));
        QCOMPARE(test::columnTexts(g, 2), QStringList({"0", "5", "0.3"}));

        q.amounts = true;
        trendTable(b.db(), q, g);
        QCOMPARE(test::columnTexts(g, 1), QStringList({"15", "0", "0"}));
        QCOMPARE(test::columnTexts(g, 2),
                 QStringList({"0", "11.25", "0.21"})); // 0.07 + 0.14, no binary noise
        // Binary noise of a sum never shows as "-0" or an exponent.
        QCOMPARE(chartNumberText(-1e-13), QString("0"));
        QVERIFY(!chartNumberText(1e20).contains('e'));
    }
    void profitTakesLotsFirstInFirstOut() {
        // The March sale before the range takes the January lot and 2 of
        // February's; April's 5 units come from the 8 left at 6.00.
        Books b;
        b.buy(1, 10, 5, "2008-01-10");
        b.buy(1, 10, 6, "2008-02-10");
        b.sell(1, 12, 9, "2008-03-10");
        b.sell(1, 5, 10, "2008-04-10");
        Grid g;
        profit(b, g, QDate(2008, 4, 30), QDate(2008, 4, 1));
        QCOMPARE(test::columnTexts(g, 1), QStringList({"20"})); // 50 - 30
        // The same April sale with the range starting in March: both count.
        profit(b, g, QDate(2008, 3, 1), QDate(2008, 4, 30));
        QCOMPARE(test::columnTexts(g, 1), QStringList({"46", "20"})); // 108 - 50 - 12; 50 - 30

        // No sale up to the end of the range: zeros, and nothing to draw.
        QVERIFY(!profit(b, g, QDate(2008, 1, 1), QDate(2008, 2, 29)).drawable);
        QCOMPARE(test::columnTexts(g, 0), QStringList({"2008.01", "2008.02"}));
        QCOMPARE(test::columnTexts(g, 1), QStringList({"0", "0"}));

        // Later, in 2010: product 1: two sales of 0.5 in one month round to 0 units: no cost.
        b.buy(1, 10, 5, "2010-01-01");
        b.sell(1, 0.5, 8, "2010-01-05");
        b.sell(1, 0.5, 8, "2010-01-06");
        // Product 2: sold without any purchase: the whole amount is profit.
        b.sell(2, 3, 7, "2010-02-01");
        // Product 3: sold only before the range: adds nothing, stops nothing.
        b.buy(3, 5, 1, "2009-12-01");
        b.sell(3, 5, 100, "2009-12-20");
        // Product 4: sold below cost: a negative month; the lot runs out in March
        // and the rest costs nothing.
        b.buy(4, 2, 10, "2010-01-01");
        b.sell(4, 1, 4, "2010-03-01");
        b.sell(4, 3, 4, "2010-03-02");
        // A purchase after the range is never used.
        b.buy(2, 100, 1, "2010-04-01");
        const ChartResult r = profit(b, g, QDate(2010, 1, 1), QDate(2010, 3, 31));
        QVERIFY(r.drawable);
        QCOMPARE(test::columnTexts(g, 1), QStringList({"8", "21", "-4"})); // March: 16 - 2 x 10

        // The product filter: only product 4; other months stay 0.
        profit(b, g, QDate(2010, 1, 1), QDate(2010, 3, 31), 4);
        QCOMPARE(test::columnTexts(g, 1), QStringList({"0", "0", "-4"}));
        // Product 3 alone has sales, all before the range: drawn as zeros.
        QVERIFY(profit(b, g, QDate(2010, 1, 1), QDate(2010, 3, 31), 3).drawable);
        QCOMPARE(test::columnTexts(g, 1), QStringList({"0", "0", "0"}));

        // Product 5, in 2011: sales of one month spread over several lots, and a quantity rounded
        // halves to even while running: 2.5 -> 2, + 1.5 = 3.5 -> 4 units.
        b.buy(5, 1, 1, "2011-01-01");
        b.buy(5, 1, 2, "2011-01-02");
        b.buy(5, 10, 3, "2011-01-03");
        b.sell(5, 2.5, 10, "2011-01-10");
        b.sell(5, 1.5, 10, "2011-01-11");
        profit(b, g, QDate(2011, 1, 1), QDate(2011, 1, 1));
        QCOMPARE(test::columnTexts(g, 1), QStringList({"31"})); // 40 - (1 + 2 + 2 x 3)

        // Product 6, in 2012: lots are taken in date order, whatever order they were entered in; a
        // time of day counts after the day itself.
        b.buy(6, 1, 5, "2012-01-02");
        b.buy(6, 1, 1, "2012-01-01 09:00:00");
        b.buy(6, 1, 3, "2012-01-01");
        b.sell(6, 2, 10, "2012-01-31 17:00:00");
        profit(b, g, QDate(2012, 1, 31), QDate(2012, 1, 1));
        QCOMPARE(test::columnTexts(g, 1), QStringList({"16"})); // 20 - (3 + 1)

        // Product 7, in 2013: more came back than was sold before the range;
        // the oldest lot holds the 2 returned units too.
        b.buy(7, 2, 5, "2012-12-01");
        b.buy(7, 9, 9, "2013-01-01");
        b.sell(7, -2, 5, "2012-12-15");
        b.sell(7, 4, 10, "2013-01-10");
        profit(b, g, QDate(2013, 1, 1), QDate(2013, 1, 31), 7);
        QCOMPARE(test::columnTexts(g, 1), QStringList({"20"})); // 40 - 4 x 5
    }
};

QTEST_GUILESS_MAIN(TestChartTables)
#include "TestChartTables.moc"
