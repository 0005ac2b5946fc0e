#include "core/statistics/StockSheet.h"

#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/grid/Grid.h"
#include "core/values/Numbers.h"

#include <QSqlQuery>

namespace tl {

namespace {
const QString kDash = QStringLiteral("-");
} // namespace

StockSheet::StockSheet(const Database& db) {
    QSqlQuery s = db.run(QStringLiteral("SELECT SID, Name FROM Storage ORDER BY SID"));
    while (s.next())
        m_storages.append({s.value(0).toInt(), toText(s.value(1))});
    // Within a class, products keep the order they were entered in.
    QSqlQuery p = db.run(QStringLiteral("SELECT PID, CID, SName FROM Product ORDER BY CID, PID"));
    bool first = true;
    QVariant cls;
    while (p.next()) {
        const QVariant c = p.value(1);
        if (!first && c != cls)
            m_columns.append({Kind::Subtotal, 0, {}});
        first = false;
        cls = c;
        m_columns.append({Kind::Product, p.value(0).toInt(), toText(p.value(2))});
    }
    if (!m_columns.isEmpty())
        m_columns << Column{Kind::Subtotal, 0, {}} << Column{Kind::Total, 0, {}};
}

void StockSheet::frame(Grid& grid, const QStringList& labels, const QString& labelHeading,
                       int labelWidth) {
    m_lines = int(labels.size());
    const int rows = 2 + (int(m_storages.size()) + 1) * m_lines;
    const int cols = kFirstCol + int(m_columns.size());
    grid.reset(rows, cols, 2, kFirstCol);

    grid.setText(1, 1, QStringLiteral("序号"));
    grid.setText(1, 2, QStringLiteral("所在仓库"));
    grid.setText(1, 3, labelHeading);
    for (int k = 0; k < m_storages.size(); ++k) {
        const Storage& s = m_storages.at(k);
        for (int line = 0; line < m_lines; ++line) {
            const int r = rowOf(k, line);
            grid.cellRef(r, 0) = QString::number(s.sid);
            grid.cellRef(r, 1) = QString::number(k + 1);
            grid.cellRef(r, 2) = s.name;
            grid.cellRef(r, 3) = labels.at(line);
        }
    }
    for (int line = 0; line < m_lines; ++line) {
        const int r = totalRow(line);
        grid.cellRef(r, 1) = QStringLiteral(" ");
        grid.cellRef(r, 2) = QStringLiteral("总计");
        grid.cellRef(r, 3) = labels.at(line);
    }
    for (int i = 0; i < m_columns.size(); ++i) {
        const Column& c = m_columns.at(i);
        const int col = kFirstCol + i;
        switch (c.kind) {
        case Kind::Product:
            grid.cellRef(0, col) = QString::number(c.pid);
            grid.cellRef(1, col) = c.sname;
            break;
        case Kind::Subtotal:
            grid.cellRef(1, col) = QStringLiteral("小计");
            break;
        case Kind::Total:
            grid.cellRef(1, col) = QStringLiteral("总计");
            break;
        }
        grid.setColWidth(col, 1300);
        grid.setColAlignment(col, Qt::AlignRight | Qt::AlignVCenter);
    }

    grid.setRowHeight(0, 0);
    grid.setColWidth(0, 0);
    grid.setColWidth(1, 600); // "序号" legible in the program's font
    grid.setColWidth(2, 1200);
    grid.setColWidth(3, labelWidth);
    grid.setColAlignment(1, Qt::AlignCenter);
    grid.setColAlignment(3, Qt::AlignCenter);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < (r < 2 ? cols : kFirstCol); ++c)
            grid.setBackColor(r, c, stockcolors::fixed());
    }
    // Each warehouse shows one number and one name over its rows.
    grid.setMergeCells(true);
    for (int c = 0; c < 3; ++c)
        grid.setMergeCol(c, true);
}

QString StockSheet::cellText(double value, Form form, bool dashForZero) {
    value = roundSum(value);
    if (value == 0 && dashForZero)
        return kDash;
    if (form == Form::Money || (form == Form::PositiveMoney && value > 0))
        return sumMoneyText(value);
    return sumText(value);
}

void StockSheet::fillRow(Grid& grid, int row,
                         const std::function<std::optional<double>(int pid)>& value,
                         Form form) const {
    double subtotal = 0, total = 0;
    for (int i = 0; i < m_columns.size(); ++i) {
        const Column& c = m_columns.at(i);
        QString& cell = grid.cellRef(row, kFirstCol + i);
        switch (c.kind) {
        case Kind::Product: {
            const std::optional<double> v = value(c.pid);
            // A balance of 0 that exists still reads 0; no row at all reads "-".
            cell = v ? cellText(*v, form, false) : kDash;
            subtotal += cellNumber(cell);
            break;
        }
        case Kind::Subtotal:
            cell = cellText(subtotal, form, true);
            total += cellNumber(cell);
            subtotal = 0;
            break;
        case Kind::Total:
            cell = cellText(total, form, true);
            break;
        }
    }
}

void StockSheet::fillDifference(Grid& grid, int row, int fromRow, int toRow, Form form) const {
    for (int i = 0; i < m_columns.size(); ++i) {
        const int col = kFirstCol + i;
        const double d = cellNumber(grid.text(toRow, col)) - cellNumber(grid.text(fromRow, col));
        grid.cellRef(row, col) = cellText(d, form, true);
    }
}

void StockSheet::fillTotals(Grid& grid, int line, Form form) const {
    const int row = totalRow(line);
    for (int i = 0; i < m_columns.size(); ++i) {
        const int col = kFirstCol + i;
        double sum = 0;
        for (int k = 0; k < m_storages.size(); ++k)
            sum += cellNumber(grid.text(rowOf(k, line), col));
        grid.cellRef(row, col) = cellText(sum, form, true);
    }
}

void StockSheet::paintSubtotalsAndTotals(Grid& grid) const {
    const int last = grid.rows() - 1;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).kind != Kind::Subtotal)
            continue;
        const int col = kFirstCol + i;
        grid.setTextColor(1, col, stockcolors::subtotalText());
        for (int r = 2; r <= last; ++r) {
            grid.setBackColor(r, col, stockcolors::subtotalBack());
            grid.setTextColor(r, col, stockcolors::subtotalText());
        }
    }
    for (int line = 0; line < m_lines; ++line) {
        const int row = totalRow(line);
        for (int c = 1; c < grid.cols(); ++c)
            grid.setBackColor(row, c, stockcolors::totalBack());
    }
    const int totalCol = grid.cols() - 1;
    for (int r = 2; r <= last; ++r)
        grid.setBackColor(r, totalCol, stockcolors::totalBack());
}

QHash<quint64, double> readBalances(const Database& db, const QString& table) {
    QHash<quint64, double> out;
    // Rows of a pair come in the order of the table's key, when it has one.
    QString order = QStringLiteral("SID, PID");
    if (const TableDef* def = Schema::accountSetTable(table);
        def && db.fieldExists(table, def->keyColumn()))
        order += QStringLiteral(", ") + Database::ident(def->keyColumn());
    QSqlQuery q = db.run(QStringLiteral("SELECT SID, PID, Num FROM %1 ORDER BY %2")
                             .arg(Database::ident(table), order));
    while (q.next()) {
        // The first row of a pair counts, as the ledger reads it.
        const quint64 key = balanceKey(q.value(0).toInt(), q.value(1).toInt());
        if (!out.contains(key))
            out.insert(key, q.value(2).toDouble());
    }
    return out;
}

} // namespace tl
