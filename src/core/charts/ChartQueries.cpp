#include "core/charts/ChartQueries.h"

#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/values/Numbers.h"

#include <QSqlQuery>
#include <algorithm>
#include <tuple>
#include <vector>

namespace tl {

namespace {

struct ProgressCloser {
    Progress& progress;
    ~ProgressCloser() { progress.close(); }
};

ChartResult invalidDates() {
    return {QString(), QStringLiteral("日期无效！"), false};
}

// Sums one table's Num (or Price x Num) per month of the range into a column.
// Summed per day in SQL: a few hundred rows come back however many records.
void sumMonths(const Database& db, const QString& table, const TrendQuery& query,
               const MonthRange& range, std::vector<double>& months) {
    QString sql = QStringLiteral("SELECT Dat, SUM(%1) FROM %2 WHERE Dat >= ? AND Dat < ?")
                      .arg(query.amounts ? QStringLiteral("Price * Num") : QStringLiteral("Num"),
                           Database::ident(table));
    QVariantList binds{range.startBound(), range.endBound()};
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

// A sale or purchase as the costing needs it.
struct Record {
    int pid;
    int month;    // month index, -1 when the date is unreadable
    qint64 order; // the date and time as yyyymmddhhmmss (-1: unreadable)
    qint64 id;
    double num;
    double price;
};
using Sale = Record;
using Lot = Record;

// year, month, day, hour, minute, second of a stored date text.
qint64 dateOrder(const QString& text, int* month) {
    int fields[6] = {0, 0, 0, 0, 0, 0};
    int field = 0;
    bool inNumber = false;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            fields[field] = fields[field] * 10 + (c.unicode() - '0');
            inNumber = true;
            if (fields[field] > 99999)
                break;
        } else if (inNumber) {
            inNumber = false;
            if (++field == 6)
                break;
        }
    }
    if (fields[0] < 1 || fields[1] < 1 || fields[1] > 12) {
        *month = -1;
        return -1;
    }
    *month = fields[0] * 12 + fields[1] - 1;
    qint64 order = fields[0];
    for (int f = 1; f < 6; ++f)
        order = order * 100 + std::min(fields[f], 99);
    return order;
}

// Every record of a table up to the end of the range, each product's oldest
// first, records of one moment in the order they were entered. Sorting here
// costs a fraction of an ORDER BY over the whole table.
std::vector<Record> readRecords(const Database& db, const QString& table, const QString& endBound,
                                int productId) {
    QString sql = QStringLiteral("SELECT PID, Num, Price, Dat, ID FROM %1 WHERE Dat < ?")
                      .arg(Database::ident(table));
    QVariantList binds{endBound};
    if (productId > 0) {
        sql += QStringLiteral(" AND PID = ?");
        binds << productId;
    }
    std::vector<Record> records;
    QSqlQuery q = db.run(sql, binds);
    while (q.next()) {
        Record r;
        r.pid = q.value(0).toInt();
        r.num = q.value(1).toDouble();
        r.price = q.value(2).toDouble();
        r.order = dateOrder(q.value(3).toString(), &r.month);
        r.id = q.value(4).toLongLong();
        records.push_back(r);
    }
    std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
        return std::tie(a.pid, a.order, a.id) < std::tie(b.pid, b.order, b.id);
    });
    return records;
}

// One product's purchase lots, oldest first, as the costing takes them up.
class LotCursor {
public:
    LotCursor(const Lot* begin, const Lot* end) : m_lot(begin), m_end(end) {
        if (m_lot != m_end)
            m_left = roundHalfEven(m_lot->num);
    }
    bool empty() const { return m_lot == m_end; }

    // Units sold before the range use up the oldest lots. The lot that the
    // running sum reaches them with stays current with what is left of it.
    void consume(qint64 units) {
        if (units == 0 || empty())
            return;
        qint64 sum = 0;
        for (; m_lot != m_end; ++m_lot) {
            sum += roundHalfEven(m_lot->num);
            if (sum >= units)
                break;
        }
        if (m_lot == m_end)
            return;
        m_left = sum - units;
        if (m_left == 0)
            next();
    }

    // Prices the units of a month at the lots they take; returns the cost.
    double cost(qint64 units) {
        double cost = 0;
        while (!empty() && units >= 1) {
            if (m_left >= units) {
                cost += double(units) * m_lot->price;
                m_left -= units;
                units = 0;
            } else {
                cost += double(m_left) * m_lot->price;
                units -= m_left;
                next();
            }
        }
        return cost; // units beyond the last lot cost nothing
    }

private:
    void next() {
        ++m_lot;
        m_left = m_lot != m_end ? roundHalfEven(m_lot->num) : 0;
    }

    const Lot* m_lot;
    const Lot* m_end;
    qint64 m_left = 0;
};

// Costs one product's sales (oldest first) against its lots into the months.
void costProduct(const Sale* sale, const Sale* end, LotCursor lots, const MonthRange& range,
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
    progress.show(QStringLiteral("正在计算销售毛利……"), 3);
    setupChartTable(grid, {QStringLiteral("毛利额")}, range);
    const QString title = QStringLiteral("销售毛利情况变化示意图(") + range.labelText() +
                          QLatin1Char(')') + filterText(db, 0, query.productId);

    // Every sale and purchase up to the end of the range, each product's
    // oldest first (records of one day in the order they were entered).
    const std::vector<Sale> sales =
        readRecords(db, QStringLiteral("Sale"), range.endBound(), query.productId);
    progress.step(1);
    if (sales.empty())
        return {title, QStringLiteral("没有销售记录！"), false};
    const std::vector<Lot> lots =
        readRecords(db, QStringLiteral("Buy"), range.endBound(), query.productId);
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
        costProduct(readable.data(), readable.data() + readable.size(), LotCursor(lot, lotEnd),
                    range, months);
        lot = lotEnd;
        s = next;
    }
    writeColumn(grid, 1, months);
    progress.step(3);
    return {title, QString(), true};
}

} // namespace tl
