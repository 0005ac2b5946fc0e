#include "core/statistics/StockReport.h"

#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/statistics/StockSheet.h"
#include "core/transactions/StockLedger.h"

namespace tl {

namespace {

// Wide enough for two Chinese characters and for a date in the program's
// font, with the cell margins: narrower columns show "…" instead.
constexpr int kNarrowWidth = 600;
constexpr int kDateWidth = 1300;

// Finds a balance of one warehouse in a table read into memory.
auto lookupIn(const QHash<quint64, double>& table, int sid) {
    return [&table, sid](int pid) -> std::optional<double> {
        const auto it = table.constFind(balanceKey(sid, pid));
        if (it == table.cend())
            return std::nullopt;
        return *it;
    };
}

// Batches the grid's change signals and always ends the batch.
struct UpdateBatch {
    Grid& grid;
    explicit UpdateBatch(Grid& g) : grid(g) { grid.beginUpdate(); }
    ~UpdateBatch() { grid.endUpdate(); }
};

} // namespace

bool stockReport(const Database& db, Grid& grid, Progress& progress) {
    ProgressCloser closer{progress};
    UpdateBatch batch(grid);
    grid.reset(2, 4, 0, 0);
    progress.show(QStringLiteral("正在统计库存情况！"), 1);
    // Stock rebuilt and then read in one snapshot: the quantities and values
    // shown agree although operators save meanwhile (they wait for Stock).
    Transaction t(db, Transaction::Isolation::SnapshotWrite);
    db.lockTableForRewriting(QStringLiteral("Stock"));
    StockLedger::valueStock(db, StockLedger::allDates, QStringLiteral("T_ST1"), progress);

    StockSheet sheet(db);
    const QHash<quint64, double> quantities = readBalances(db, QStringLiteral("Stock"));
    const QHash<quint64, double> values = readBalances(db, QStringLiteral("T_ST1"));
    t.commit();
    if (sheet.empty())
        return false;
    const int storages = int(sheet.storages().size());
    progress.show(QStringLiteral("填写仓库信息……"), 1);
    sheet.frame(grid, {QStringLiteral("数量"), QStringLiteral("金额")}, QStringLiteral("类别"),
                kNarrowWidth);

    progress.show(QStringLiteral("填写产品数据……"), 1);

    progress.show(QStringLiteral("统计产品库存数据……"), storages);
    for (int k = 0; k < storages; ++k) {
        const int sid = sheet.storages().at(k).sid;
        sheet.fillRow(grid, sheet.rowOf(k, 0), lookupIn(quantities, sid),
                      StockSheet::Form::Quantity);
        sheet.fillRow(grid, sheet.rowOf(k, 1), lookupIn(values, sid), StockSheet::Form::Money);
        progress.advance(1);
    }

    progress.show(QStringLiteral("正在设置表格格式(行颜色及小计)……"), 1);
    sheet.fillTotals(grid, 0, StockSheet::Form::Quantity);
    sheet.fillTotals(grid, 1, StockSheet::Form::Money);
    for (int k = 0; k <= storages; ++k) {
        const int row = k < storages ? sheet.rowOf(k, 1) : sheet.totalRow(1);
        for (int c = 3; c < grid.cols(); ++c)
            grid.setBackColor(row, c, stockcolors::shaded());
    }
    progress.show(QStringLiteral("正在设置表格格式(列颜色及小计)……"), 1);
    progress.show(QStringLiteral("正在设置表格格式……"), 1);
    sheet.paintSubtotalsAndTotals(grid);
    return true;
}

bool stockChangeReport(const Database& db, Grid& grid, const QDate& first, const QDate& second,
                       StockMeasure measure, Progress& progress) {
    ProgressCloser closer{progress};
    UpdateBatch batch(grid);
    grid.reset(2, 4, 0, 0);
    const QString t1 = QStringLiteral("T_ST1"), t2 = QStringLiteral("T_ST2");
    {
        // Both dates counted from one snapshot of the records.
        Transaction t(db, Transaction::Isolation::Snapshot);
        if (measure == StockMeasure::Values) {
            StockLedger::valueStock(db, first, t1, progress);
            StockLedger::valueStock(db, second, t2, progress);
        } else {
            StockLedger::rebuildStock(db, first, t1, progress);
            StockLedger::rebuildStock(db, second, t2, progress);
        }
        t.commit();
    }
    StockSheet sheet(db);
    if (sheet.empty())
        return false;
    const int storages = int(sheet.storages().size());
    progress.show(QStringLiteral("填写仓库信息……"), 1);
    const QString dateForm = QStringLiteral("yyyy-MM-dd");
    sheet.frame(grid,
                {first.toString(dateForm), second.toString(dateForm), QStringLiteral("增减量")},
                QStringLiteral("截止日期"), kDateWidth);

    progress.show(QStringLiteral("填写产品数据……"), 1);
    const QHash<quint64, double> before = readBalances(db, t1);
    const QHash<quint64, double> after = readBalances(db, t2);
    // Values above 0 show in the money form; changes below 0 stay plain.
    const StockSheet::Form form = measure == StockMeasure::Values ? StockSheet::Form::PositiveMoney
                                                                  : StockSheet::Form::Quantity;

    progress.show(QStringLiteral("统计产品库存数据……"), storages);
    for (int k = 0; k < storages; ++k) {
        const int sid = sheet.storages().at(k).sid;
        sheet.fillRow(grid, sheet.rowOf(k, 0), lookupIn(before, sid), form);
        sheet.fillRow(grid, sheet.rowOf(k, 1), lookupIn(after, sid), form);
        sheet.fillDifference(grid, sheet.rowOf(k, 2), sheet.rowOf(k, 0), sheet.rowOf(k, 1), form);
        progress.advance(1);
    }
    progress.show(QStringLiteral("正在设置表格格式……"), 1);
    for (int line = 0; line < 3; ++line)
        sheet.fillTotals(grid, line, form);
    for (int k = 0; k < storages; ++k) {
        for (int c = 3; c < grid.cols(); ++c)
            grid.setBackColor(sheet.rowOf(k, 2), c, stockcolors::shaded());
    }
    sheet.paintSubtotalsAndTotals(grid);
    return true;
}

} // namespace tl
