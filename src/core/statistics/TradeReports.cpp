#include "core/statistics/TradeReports.h"

#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/grid/GridFormat.h"
#include "core/values/Numbers.h"

#include <QHash>
#include <QSqlQuery>
#include <algorithm>
#include <vector>

namespace tl {

namespace {

const QString kDash = QStringLiteral("-");

struct UpdateBatch {
    Grid& grid;
    explicit UpdateBatch(Grid& g) : grid(g) { grid.beginUpdate(); }
    ~UpdateBatch() { grid.endUpdate(); }
};

// The records of a period; both days must be dates.
struct PeriodFilter {
    QString sql;
    QVariantList binds;
    explicit PeriodFilter(const Period& p) {
        if (!p.first.isValid() || !p.last.isValid())
            throw DbError::failed(QStringLiteral("无效的统计日期。"));
        sql = p.condition();
        binds = p.binds();
    }
};

QString tableOf(TradeSide side) {
    return side == TradeSide::Sales ? QStringLiteral("Sale") : QStringLiteral("Buy");
}

// Every name of a master table in one query.
QHash<int, QString> names(const Database& db, const QString& table, const QString& key) {
    QHash<int, QString> out;
    QSqlQuery q = db.run(QStringLiteral("SELECT %1, Name FROM %2")
                             .arg(Database::ident(key), Database::ident(table)));
    while (q.next())
        out.insert(q.value(0).toInt(), toText(q.value(1)));
    return out;
}

QColor lightGrey() {
    return colorFromBgr(0xE0E0E0);
}
QColor lightGreen() {
    return colorFromBgr(0xCCFFCC);
}

} // namespace

QString emptyPeriodMessage(TradeSide side) {
    return side == TradeSide::Sales ? QStringLiteral("您选择的时间段内没有销售记录！")
                                    : QStringLiteral("您选择的时间段内没有采购记录！");
}

bool tradeTotals(const Database& db, Grid& grid, TradeSide side, const Period& period,
                 Progress& progress) {
    ProgressCloser closer{progress};
    UpdateBatch batch(grid);
    grid.reset(2, 6, 1, 2);
    // Every query reads one snapshot, even while operators save; nothing is
    // written, so the transaction simply ends.
    Transaction snapshot(db, Transaction::Isolation::Snapshot);
    const bool sales = side == TradeSide::Sales;
    progress.show(sales ? QStringLiteral("正在统计销售量……") : QStringLiteral("正在统计采购量……"),
                  1);

    const PeriodFilter where(period);
    struct Line {
        int pid;
        double cash, num, pay;
    };
    std::vector<Line> lines;
    {
        QSqlQuery q = db.run(QStringLiteral("SELECT PID, SUM(Price * Num), SUM(Num), SUM(Pay) "
                                            "FROM %1 WHERE %2 GROUP BY PID ORDER BY PID")
                                 .arg(tableOf(side), where.sql),
                             where.binds);
        while (q.next())
            lines.push_back({q.value(0).toInt(), q.value(1).toDouble(), q.value(2).toDouble(),
                             q.value(3).toDouble()});
    }
    if (lines.empty())
        return false;
    const QHash<int, QString> products =
        names(db, QStringLiteral("Product"), QStringLiteral("PID"));

    const int n = int(lines.size());
    const int last = n + 1;
    grid.reset(n + 2, 6, 1, 2);
    const QStringList captions =
        sales ? QStringList{"序号", "产品名称", "销售数量", "销售总额", "已收货款", "应收款"}
              : QStringList{"序号", "产品名称", "采购数量", "采购总额", "已付货款", "应付款"};
    const int widths[] = {800, 3000, 1800, 1800, 1800, 1800};
    for (int c = 0; c < 6; ++c) {
        grid.setText(0, c, captions.at(c));
        grid.setColWidth(c, widths[c]);
        const Qt::Alignment across = c == 0   ? Qt::Alignment(Qt::AlignCenter)
                                     : c == 1 ? Qt::AlignLeft | Qt::AlignVCenter
                                              : Qt::AlignRight | Qt::AlignVCenter;
        grid.setColAlignment(c, across);
    }

    double num = 0, cash = 0, pay = 0, owed = 0;
    for (int i = 0; i < n; ++i) {
        const Line& l = lines[size_t(i)];
        const int r = i + 1;
        grid.cellRef(r, 0) = QString::number(r);
        grid.cellRef(r, 1) = products.value(l.pid); // a deleted product: no name
        grid.cellRef(r, 2) = sumText(l.num);
        grid.cellRef(r, 3) = sumMoneyText(l.cash);
        grid.cellRef(r, 4) = sumMoneyText(l.pay);
        grid.cellRef(r, 5) = sumMoneyText(roundSum(l.cash) - roundSum(l.pay));
        // The running quantity is kept in whole units, rounded at each step.
        num = roundHalfEven(roundSum(num + l.num));
        cash += l.cash;
        pay += l.pay;
        owed += cellNumber(grid.text(r, 5));
        grid.setBackColor(r, 3, lightGrey());
        grid.setBackColor(r, 5, lightGrey());
        grid.setTextColor(r, 5, colorFromBgr(0xFF));
    }
    grid.cellRef(last, 0) = QStringLiteral("总计");
    grid.cellRef(last, 1) = QStringLiteral("总计");
    grid.cellRef(last, 2) = sumText(num);
    grid.cellRef(last, 3) = sumMoneyText(cash);
    // The blank keeps an equal received total from joining the amount total.
    grid.cellRef(last, 4) = sumMoneyText(pay) + QStringLiteral(" ");
    grid.cellRef(last, 5) = sumMoneyText(owed);
    for (int c = 0; c < 6; ++c)
        grid.setBold(last, c, true);
    for (int c = 2; c < 6; ++c)
        grid.setBackColor(last, c, lightGreen());
    grid.setTextColor(last, 5, colorFromBgr(0xFF));
    grid.setMergeCells(true);
    grid.setMergeRow(last, true);
    return true;
}

namespace {

// What one partner still owes (or is owed) for one product.
struct Owed {
    int pid, partner;
    double lack;
};

std::vector<Owed> owedInPeriod(const Database& db, TradeSide side, const QString& partnerKey,
                               const Period& period) {
    const PeriodFilter where(period);
    std::vector<Owed> owed;
    QSqlQuery q = db.run(QStringLiteral("SELECT PID, %1, SUM(Price * Num - Pay) FROM %2 "
                                        "WHERE %3 GROUP BY PID, %1 ORDER BY PID, %1")
                             .arg(partnerKey, tableOf(side), where.sql),
                         where.binds);
    while (q.next())
        owed.push_back({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toDouble()});
    return owed;
}

// The distinct keys of one field of the amounts, in ascending order.
std::vector<int> sortedKeys(const std::vector<Owed>& owed, int Owed::*field) {
    std::vector<int> keys;
    keys.reserve(owed.size());
    for (const Owed& o : owed)
        keys.push_back(o.*field);
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

int indexOf(const std::vector<int>& keys, int key) {
    return int(std::lower_bound(keys.begin(), keys.end(), key) - keys.begin());
}

// The amounts in their cells and each product's total in the last column;
// a dash where nothing is owed.
void fillOwed(Grid& grid, const std::vector<Owed>& owed, const std::vector<int>& pids,
              const std::vector<int>& partners, Progress& progress) {
    const int lastCol = grid.cols() - 1;
    for (int i = 0; i < int(pids.size()); ++i)
        for (int j = 3; j < lastCol; ++j)
            grid.cellRef(2 + i, j) = kDash;
    std::vector<double> rowTotals(pids.size(), 0.0);
    for (const Owed& o : owed) {
        const int i = indexOf(pids, o.pid);
        const double lack = roundSum(o.lack);
        grid.cellRef(2 + i, 3 + indexOf(partners, o.partner)) =
            lack == 0 ? kDash : sumMoneyText(lack);
        rowTotals[size_t(i)] += o.lack;
    }
    for (int i = 0; i < int(pids.size()); ++i) {
        const double t = roundSum(rowTotals[size_t(i)]);
        grid.cellRef(2 + i, lastCol) = t == 0 ? kDash : sumMoneyText(t);
        progress.advance(1);
    }
}

// The totals row, the column widths and the colours. Column totals, the grand
// total among them, add up what is displayed.
void finishOutstanding(Grid& grid) {
    const int lastRow = grid.rows() - 1, lastCol = grid.cols() - 1;
    for (int j = 3; j <= lastCol; ++j) {
        double sum = 0;
        for (int r = 2; r < lastRow; ++r)
            sum += cellNumber(grid.text(r, j));
        sum = roundSum(sum);
        grid.cellRef(lastRow, j) = sum == 0 ? kDash : sumMoneyText(sum);
        grid.setColWidth(j, 1800);
        grid.setColAlignment(j, Qt::AlignRight | Qt::AlignVCenter);
        if (j % 2 == 0 && j < lastCol) {
            for (int r = 2; r < lastRow; ++r)
                grid.setBackColor(r, j, lightGrey());
        }
    }
    grid.setRowHeight(0, 0);
    grid.setColWidth(0, 0);
    grid.setColWidth(1, 800);
    grid.setColWidth(2, 2500);
    grid.setColAlignment(1, Qt::AlignCenter);
    grid.setText(1, 1, QStringLiteral("序号"));
    grid.setText(1, 2, QStringLiteral("产品名称"));
    grid.setText(1, lastCol, QStringLiteral("总计"));
    // The label fills the serial and name columns, shown as one cell; a span,
    // not merging, so that equal column totals side by side stay apart.
    grid.setText(lastRow, 1, QStringLiteral("总计"));
    grid.setText(lastRow, 2, QStringLiteral("总计"));
    grid.addSpan(lastRow, 1, 1, 2);
    for (int j = 3; j <= lastCol; ++j)
        grid.setBackColor(lastRow, j, lightGreen());
    for (int r = 2; r <= lastRow; ++r)
        grid.setBackColor(r, lastCol, lightGreen());
}

} // namespace

bool outstandingMatrix(const Database& db, Grid& grid, TradeSide side, const Period& period,
                       Progress& progress) {
    ProgressCloser closer{progress};
    UpdateBatch batch(grid);
    grid.reset(2, 6, 1, 2);
    progress.show(QStringLiteral("正在统计收付款情况……"), 1);
    // Every query reads one snapshot, even while operators save; nothing is
    // written, so the transaction simply ends.
    Transaction snapshot(db, Transaction::Isolation::Snapshot);

    const bool sales = side == TradeSide::Sales;
    const QString partnerKey = sales ? QStringLiteral("CID") : QStringLiteral("VID");
    const std::vector<Owed> owed = owedInPeriod(db, side, partnerKey, period);
    if (owed.empty())
        return false;

    // Partners across, products down, both in ascending key order.
    const std::vector<int> pids = sortedKeys(owed, &Owed::pid);
    const std::vector<int> partners = sortedKeys(owed, &Owed::partner);
    const int p = int(pids.size()), c = int(partners.size());
    progress.show(QStringLiteral("正在统计收付款情况……"), p);
    grid.reset(p + 3, c + 4, 2, 3);

    const QHash<int, QString> partnerNames =
        names(db, sales ? QStringLiteral("Customer") : QStringLiteral("Vender"), partnerKey);
    const QHash<int, QString> productNames =
        names(db, QStringLiteral("Product"), QStringLiteral("PID"));
    for (int j = 0; j < c; ++j) {
        grid.cellRef(0, 3 + j) = QString::number(partners[size_t(j)]);
        grid.cellRef(1, 3 + j) = partnerNames.value(partners[size_t(j)]);
    }
    for (int i = 0; i < p; ++i) {
        grid.cellRef(2 + i, 0) = QString::number(pids[size_t(i)]);
        grid.cellRef(2 + i, 1) = QString::number(i + 1);
        grid.cellRef(2 + i, 2) = productNames.value(pids[size_t(i)]);
    }
    fillOwed(grid, owed, pids, partners, progress);
    finishOutstanding(grid);
    return true;
}

} // namespace tl
