#include "core/grid/Grid.h"

#include <QLocale>
#include <algorithm>
#include <numeric>

namespace tl {

Grid::Grid(QObject* parent) : QObject(parent) {}

void Grid::changedStructure() {
    if (m_updating) {
        m_pendingReset = true;
        return;
    }
    emit structureChanged();
}

void Grid::changedCell(int row, int col) {
    if (m_updating) {
        m_pendingReset = true;
        return;
    }
    emit cellsChanged(row, col, row, col);
}

void Grid::endUpdate() {
    if (m_updating > 0 && --m_updating == 0 && m_pendingReset) {
        m_pendingReset = false;
        emit structureChanged();
    }
}

void Grid::setRows(int n) {
    n = std::max(0, n);
    const size_t old = m_rows.size();
    m_rows.resize(static_cast<size_t>(n));
    for (size_t r = old; r < m_rows.size(); ++r)
        m_rows[r].cells.resize(static_cast<size_t>(m_cols));
    m_row = std::min(m_row, std::max(0, n - 1));
    m_rowSel = std::min(m_rowSel, std::max(0, n - 1));
    changedStructure();
}

void Grid::setCols(int n) {
    n = std::max(0, n);
    m_cols = n;
    for (Row& r : m_rows)
        r.cells.resize(static_cast<size_t>(n));
    m_colWidth.resize(static_cast<size_t>(n), -1);
    m_colAlign.resize(static_cast<size_t>(n), Qt::AlignLeft | Qt::AlignVCenter);
    m_colMerge.resize(static_cast<size_t>(n), false);
    m_col = std::min(m_col, std::max(0, n - 1));
    m_colSel = std::min(m_colSel, std::max(0, n - 1));
    changedStructure();
}

void Grid::setFixedRows(int n) {
    m_fixedRows = std::clamp(n, 0, rows());
    changedStructure();
}

void Grid::setFixedCols(int n) {
    m_fixedCols = std::clamp(n, 0, m_cols);
    changedStructure();
}

void Grid::reset(int rows, int cols, int fixedRows, int fixedCols) {
    beginUpdate();
    m_rows.clear();
    m_cols = 0;
    m_colWidth.clear();
    m_colAlign.clear();
    m_colMerge.clear();
    setCols(cols);
    setRows(rows);
    m_fixedRows = std::clamp(fixedRows, 0, rows);
    m_fixedCols = std::clamp(fixedCols, 0, cols);
    m_merge = false;
    m_spans.clear();
    m_tag.clear();
    m_hasCurrent = true;
    m_row = m_rowSel = std::min(m_fixedRows, std::max(0, rows - 1));
    m_col = m_colSel = std::min(m_fixedCols, std::max(0, cols - 1));
    m_topRow = m_fixedRows;
    m_leftCol = m_fixedCols;
    m_pendingReset = true;
    endUpdate();
}

void Grid::clear() {
    for (Row& r : m_rows) {
        std::fill(r.cells.begin(), r.cells.end(), QString());
        r.styles.clear();
    }
    changedStructure();
}

int Grid::addRow() {
    Row r;
    r.cells.resize(static_cast<size_t>(m_cols));
    m_rows.push_back(std::move(r));
    changedStructure();
    return rows() - 1;
}

QString Grid::text(int row, int col) const {
    return valid(row, col) ? m_rows[row].cells[col] : QString();
}

void Grid::setText(int row, int col, const QString& text) {
    if (!valid(row, col))
        return;
    m_rows[row].cells[col] = text;
    changedCell(row, col);
}

CellStyle Grid::style(int row, int col) const {
    if (!valid(row, col))
        return {};
    return m_rows[row].styles.value(col);
}

void Grid::setBackColor(int row, int col, const QColor& color) {
    if (!valid(row, col))
        return;
    styleRef(row, col).back = color;
    changedCell(row, col);
}

void Grid::setTextColor(int row, int col, const QColor& color) {
    if (!valid(row, col))
        return;
    styleRef(row, col).fore = color;
    changedCell(row, col);
}

void Grid::setBold(int row, int col, bool bold) {
    if (!valid(row, col))
        return;
    styleRef(row, col).bold = bold;
    changedCell(row, col);
}

void Grid::setCellAlignment(int row, int col, Qt::Alignment align) {
    if (!valid(row, col))
        return;
    styleRef(row, col).align = align;
    changedCell(row, col);
}

Qt::Alignment Grid::alignment(int row, int col) const {
    const CellStyle s = style(row, col);
    return s.align ? s.align : colAlignment(col);
}

Qt::Alignment Grid::colAlignment(int col) const {
    return col >= 0 && col < m_cols ? m_colAlign[col] : (Qt::AlignLeft | Qt::AlignVCenter);
}

void Grid::setColAlignment(int col, Qt::Alignment align) {
    if (col < 0 || col >= m_cols)
        return;
    m_colAlign[col] = align;
    changedStructure();
}

int Grid::rowHeight(int row) const {
    if (row < 0 || row >= rows())
        return 0;
    return m_rows[row].height < 0 ? kDefaultRowHeight : m_rows[row].height;
}

void Grid::setRowHeight(int row, int twips) {
    if (row < 0 || row >= rows())
        return;
    m_rows[row].height = std::max(-1, twips);
    changedStructure();
}

int Grid::colWidth(int col) const {
    if (col < 0 || col >= m_cols)
        return 0;
    return m_colWidth[col] < 0 ? kDefaultColWidth : m_colWidth[col];
}

void Grid::setColWidth(int col, int twips) {
    if (col < 0 || col >= m_cols)
        return;
    m_colWidth[col] = std::max(-1, twips);
    changedStructure();
}

void Grid::setMergeCells(bool on) {
    m_merge = on;
    changedStructure();
}

bool Grid::mergeRow(int row) const {
    return row >= 0 && row < rows() && m_rows[row].merge;
}

void Grid::setMergeRow(int row, bool on) {
    if (row < 0 || row >= rows())
        return;
    m_rows[row].merge = on;
    changedStructure();
}

bool Grid::mergeCol(int col) const {
    return col >= 0 && col < m_cols && m_colMerge[col];
}

void Grid::setMergeCol(int col, bool on) {
    if (col < 0 || col >= m_cols)
        return;
    m_colMerge[col] = on;
    changedStructure();
}

void Grid::addSpan(int row, int col, int rowSpan, int colSpan) {
    if (!valid(row, col) || rowSpan < 1 || colSpan < 1 || (rowSpan == 1 && colSpan == 1))
        return;
    m_spans.append(
        QRect(col, row, std::min(colSpan, m_cols - col), std::min(rowSpan, rows() - row)));
    changedStructure();
}

void Grid::clearCurrent() {
    m_hasCurrent = false;
    if (!m_updating)
        emit currentChanged();
}

void Grid::setCurrent(int row, int col) {
    setSelection(row, col, row, col);
}

void Grid::setSelection(int row, int col, int rowSel, int colSel) {
    auto clampRow = [this](int r) { return std::clamp(r, 0, std::max(0, rows() - 1)); };
    auto clampCol = [this](int c) { return std::clamp(c, 0, std::max(0, m_cols - 1)); };
    m_row = clampRow(row);
    m_col = clampCol(col);
    m_rowSel = clampRow(rowSel);
    m_colSel = clampCol(colSel);
    m_hasCurrent = true;
    if (!m_updating)
        emit currentChanged();
}

void Grid::setTopRow(int row) {
    m_topRow = row;
    if (!m_updating)
        emit scrollRequested(row);
}

void Grid::setVisible(bool visible) {
    if (m_visible == visible)
        return;
    m_visible = visible;
    emit visibilityChanged(visible);
}

namespace {

// A cell that reads as a number: optional sign, digits with "," between
// thousands (ignored), an optional fraction and exponent, blanks around.
bool readNumber(const QString& text, double* out) {
    const QStringView t = QStringView(text).trimmed();
    if (t.isEmpty() || t.size() > 64)
        return false;
    char buf[72];
    int n = 0;
    for (const QChar ch : t) {
        const char16_t u = ch.unicode();
        if (u == u',')
            continue;
        if (!((u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == u'+' || u == u'e' ||
              u == u'E'))
            return false;
        buf[n++] = static_cast<char>(u);
    }
    buf[n] = 0;
    bool ok = false;
    *out = QLocale::c().toDouble(QLatin1StringView(buf, n), &ok);
    return ok;
}

} // namespace

void Grid::sortRows(int col, bool ascending) {
    if (col < 0 || col >= m_cols || rows() - m_fixedRows < 2)
        return;
    const int first = m_fixedRows;
    const int n = rows() - first;
    // Read every key once; "1,234.50" reads as a number as the money form
    // does. Texts compare case-folded, folded once here rather than in every
    // comparison.
    struct Key {
        bool numeric;
        double number;
        QString text;
    };
    std::vector<Key> keys(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const QString& t = m_rows[first + i].cells[col];
        Key& k = keys[i];
        k.numeric = readNumber(t, &k.number);
        if (!k.numeric)
            k.text = t.toCaseFolded();
    }
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    auto less = [&keys](int a, int b) {
        const Key& x = keys[a];
        const Key& y = keys[b];
        if (x.numeric != y.numeric)
            return x.numeric;
        if (x.numeric)
            return x.number < y.number;
        return x.text < y.text;
    };
    if (ascending)
        std::stable_sort(order.begin(), order.end(), less);
    else
        std::stable_sort(order.begin(), order.end(), [&less](int a, int b) { return less(b, a); });
    std::vector<Row> sorted;
    sorted.reserve(static_cast<size_t>(n));
    for (int i : order)
        sorted.push_back(std::move(m_rows[first + i]));
    std::move(sorted.begin(), sorted.end(), m_rows.begin() + first);
    changedStructure();
}

} // namespace tl
