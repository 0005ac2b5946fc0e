#include "core/charts/ChartQueries.h"

#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/transactions/FifoCosting.h"
#include "core/values/Numbers.h"

#include <QSqlQuery>
#include <algorithm>
#include <vector>

namespace tl {

namespace {

ChartResult invalidDates() {
    return {QString(), QStringLiteral("日期无效！"), false};
}

// Sums one table's Num (or Price x Num) per month of the range into a column.
// Summed per day in SQL: a few hundred rows come back however many records.
void sumMonths(const Database& db, const QString& table, const TrendQuery& query,
               const MonthRange& range, std::vector<double>& months) {
    const Period days = range.days();
    QString sql = QStringLiteral("SELECT Dat, SUM(%1) FROM %2 WHERE %3")
                      .arg(query.amounts ? QStringLiteral("Price * Num") : QStringLiteral("Num"),
                           Database::ident(table), days.condition());
    QVariantList binds = days.binds();
    if (query.warehouseId > 0) {
        sql += QStringLiteral(" AND SID = ?");
        binds << query.warehouseId;
    }
    if (query.productId > 0) {
        sql += QStringLiteral(" AND PID = ?");
        binds << query.productId;
    }
    QSqlQuery q = db.run(sql + QStringLiteral(" GROUP BY Dat"), binds);
    while (q.next()) {
        const int row = range.rowOf(monthIndexOf(q.value(0).toString()));
        if (row > 0)
            months[row - 1] += q.value(1).toDouble();
    }
}

// What a filtered chart is limited to, for its title: " 仓库：一号库 产品：铅笔".
// A record that is gone shows its key.
QString filterText(const Database& db, int warehouseId, int productId) {
    QString text;
    auto add = [&](const QString& label, const QString& table, const QString& key, int id) {
        if (id <= 0)
            return;
        const QString name = db.nameById(table, id, key, QStringLiteral("Name"));
        text += QLatin1Char(' ') + label + (name.isEmpty() ? QString::number(id) : name);
    };
    add(QStringLiteral("仓库："), QStringLiteral("Storage"), QStringLiteral("SID"), warehouseId);
    add(QStringLiteral("产品："), QStringLiteral("Product"), QStringLiteral("PID"), productId);
    return text;
}

void writeColumn(Grid& grid, int col, const std::vector<double>& months) {
    grid.beginUpdate();
    for (size_t i = 0; i < months.size(); ++i)
        grid.cellRef(int(i) + 1, col) = chartNumberText(months[i]);
    grid.endUpdate();
}

using Sale = CostRecord;
using Lot = CostRecord;

// Costs one product's sales (oldest first) against its lots into the months.
void costProduct(const Sale* sale, const Sale* end, FifoLots lots, const MonthRange& range,
                 std::vector<double>& months) {
    qint64 earlier = 0;
    for (; sale != end && sale->month < range.firstIndex; ++sale)
        earlier = roundHalfEven(double(earlier) + sale->num);
    lots.consume(earlier);
    if (sale == end)
        return; // every sale lies before the range: no month to close

    int month = sale->month;
    qint64 units = 0;
    double profit = 0;
    auto close = [&] {
        profit -= lots.cost(units);
        const int row = range.rowOf(month);
        if (row > 0)
            months[row - 1] += profit;
    };
    for (; sale != end; ++sale) {
        if (sale->month != month) {
            close();
            month = sale->month;
            units = 0;
            profit = 0;
        }
        units = roundHalfEven(double(units) + sale->num);
        profit += sale->num * sale->price;
    }
    close();
}

} // namespace

ChartResult trendTable(const Database& db, const TrendQuery& query, Grid& grid,
                       Progress& progress) {
    const MonthRange range(query.from, query.to);
    if (!range.valid())
        return invalidDates();
    ProgressCloser closer{progress};
    // Every query reads one snapshot, even while operators save; nothing is
    // written, so the transaction simply ends.
    Transaction snapshot(db, Transaction::Isolation::Snapshot);
    progress.show(QStringLiteral("正在统计采购/销售……"), 2);
    setupChartTable(grid, {QStringLiteral("采购"), QStringLiteral("销售")}, range);
    std::vector<double> months(size_t(range.count), 0.0);
    sumMonths(db, QStringLiteral("Buy"), query, range, months);
    writeColumn(grid, 1, months);
    progress.step(1);
    std::fill(months.begin(), months.end(), 0.0);
    sumMonths(db, QStringLiteral("Sale"), query, range, months);
    writeColumn(grid, 2, months);
    progress.step(2);
    const QString unit = query.amounts ? QStringLiteral("金额") : QStringLiteral("数量");
    return {QStringLiteral("采购/销售") + unit + QStringLiteral("变化示意图(") + range.labelText() +
                QLatin1Char(')') + filterText(db, query.warehouseId, query.productId),
            QString(), true};
}

ChartResult profitTable(const Database& db, const ProfitQuery& query, Grid& grid,
                        Progress& progress) {
    const MonthRange range(query.from, query.to);
    if (!range.valid())
        return invalidDates();
    ProgressCloser closer{progress};
    // Every query reads one snapshot, even while operators save; nothing is
    // written, so the transaction simply ends.
    Transaction snapshot(db, Transaction::Isolation::Snapshot);
    progress.show(QStringLiteral("正在计算销售毛利……"), 3);
    setupChartTable(grid, {QStringLiteral("毛利额")}, range);
    const QString title = QStringLiteral("销售毛利情况变化示意图(") + range.labelText() +
                          QLatin1Char(')') + filterText(db, 0, query.productId);

    // Every sale and purchase up to the end of the range, each product's
    // oldest first (records of one day in the order they were entered).
    const Period upToEnd{QDate(), range.last};
    const std::vector<Sale> sales =
        readCostRecords(db, QStringLiteral("Sale"), upToEnd, query.productId);
    progress.step(1);
    if (sales.empty())
        return {title, QStringLiteral("没有销售记录！"), false};
    const std::vector<Lot> lots =
        readCostRecords(db, QStringLiteral("Buy"), upToEnd, query.productId);
    progress.step(2);

    std::vector<double> months(size_t(range.count), 0.0);
    const Lot* lot = lots.data();
    const Lot* lotsEnd = lots.data() + lots.size();
    for (const Sale *s = sales.data(), *salesEnd = s + sales.size(); s != salesEnd;) {
        const int pid = s->pid;
        const Sale* next = s;
        while (next != salesEnd && next->pid == pid)
            ++next;
        while (lot != lotsEnd && lot->pid < pid)
            ++lot;
        const Lot* lotEnd = lot;
        while (lotEnd != lotsEnd && lotEnd->pid == pid)
            ++lotEnd;
        // A sale with an unreadable date has no month to count in; it is left out.
        std::vector<Sale> readable;
        readable.reserve(size_t(next - s));
        for (const Sale* r = s; r != next; ++r)
            if (r->month >= 0)
                readable.push_back(*r);
        costProduct(readable.data(), readable.data() + readable.size(), FifoLots(lot, lotEnd),
                    range, months);
        lot = lotEnd;
        s = next;
    }
    writeColumn(grid, 1, months);
    progress.step(3);
    return {title, QString(), true};
}

} // namespace tl
