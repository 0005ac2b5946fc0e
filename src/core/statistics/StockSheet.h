#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace tl {

class Database;
class Grid;

// The frame shared by the stock report and the stock change report: one
// block of rows per warehouse (in SID order) and one block of total rows;
// one column per product (in class order), a "小计" column after each class
// and a "总计" column at the end. Row 0 holds the product IDs and column 0
// the warehouse IDs, both hidden; rows 0-1 and columns 0-3 are fixed.
class StockSheet {
public:
    enum class Kind { Product, Subtotal, Total };
    struct Column {
        Kind kind;
        int pid;       // products only
        QString sname; // products only: the short name over the column
    };
    struct Storage {
        int sid;
        QString name;
    };
    // How a row's cells are written.
    enum class Form {
        Quantity,      // plain decimals
        Money,         // the money form
        PositiveMoney, // the money form above 0, plain decimals otherwise
    };
    static constexpr int kFirstCol = 4;

    // Reads the warehouses and the products (two queries).
    explicit StockSheet(const Database& db);
    bool empty() const { return m_storages.isEmpty() || m_columns.isEmpty(); }
    const QList<Storage>& storages() const { return m_storages; }
    // Grid columns from kFirstCol on.
    const QList<Column>& columns() const { return m_columns; }

    // Shapes the grid: captions, the warehouse columns 0 to 2 repeated over
    // each of a warehouse's rows (and "总计" over the total rows), labels[i]
    // in column 3 of each block's row i, widths, fixed colour and merges.
    void frame(Grid& grid, const QStringList& labels, const QString& labelHeading, int labelWidth);
    int rowOf(int storage, int line) const { return 2 + storage * m_lines + line; }
    int totalRow(int line) const { return 2 + int(m_storages.size()) * m_lines + line; }

    // Writes one row: each product cell from value (nothing: "-"), each
    // subtotal and the total from the texts written before it.
    void fillRow(Grid& grid, int row, const std::function<std::optional<double>(int pid)>& value,
                 Form form) const;
    // Writes one row as the difference of two rows already written.
    void fillDifference(Grid& grid, int row, int fromRow, int toRow, Form form) const;
    // Writes total row `line` from the warehouse rows of that line.
    void fillTotals(Grid& grid, int line, Form form) const;

    // Subtotal columns blue on grey, total rows and the total column green.
    void paintSubtotalsAndTotals(Grid& grid) const;

    static QString cellText(double value, Form form, bool dashForZero);

private:
    QList<Storage> m_storages;
    QList<Column> m_columns;
    int m_lines = 1; // rows per warehouse, set by frame()
};

// Reads a (PID, SID, Num) table into memory in one query: key (SID, PID).
QHash<quint64, double> readBalances(const Database& db, const QString& table);
inline quint64 balanceKey(int sid, int pid) {
    return (quint64(quint32(sid)) << 32) | quint32(pid);
}

namespace stockcolors {
inline QColor fixed() {
    return QColor(255, 198, 145);
}
inline QColor shaded() {
    return QColor(240, 240, 240);
}
inline QColor subtotalBack() {
    return QColor(208, 208, 208);
}
inline QColor subtotalText() {
    return QColor(0, 0, 255);
}
inline QColor totalBack() {
    return QColor(204, 255, 204);
}
} // namespace stockcolors

} // namespace tl
