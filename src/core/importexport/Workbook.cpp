#include "core/importexport/Workbook.h"

#include "core/importexport/WorkbookFormats.h"

#include <QDateTime>
#include <QFile>
#include <algorithm>
#include <cmath>

namespace tl {

auto SheetCells::find(int row, int col) const -> std::vector<Cell>::const_iterator {
    return std::lower_bound(
        m_cells.begin(), m_cells.end(), std::pair(row, col),
        [](const Cell& c, std::pair<int, int> at) { return std::pair(c.row, c.col) < at; });
}

QString SheetCells::text(int row, int col) const {
    const auto it = find(row, col);
    if (it == m_cells.end() || it->row != row || it->col != col)
        return {};
    return m_pool.mid(it->text.offset, it->text.length);
}

bool SheetCells::hasRow(int row) const {
    const auto it = find(row, 1);
    return it != m_cells.end() && it->row == row;
}

QStringList SheetCells::row(int row, int cols) const {
    QStringList texts;
    if (row < 1 || row > m_rowCount || cols < 1)
        return texts;
    texts.resize(cols);
    for (auto it = find(row, 1); it != m_cells.end() && it->row == row && it->col <= cols; ++it)
        texts[it->col - 1] = m_pool.mid(it->text.offset, it->text.length);
    return texts;
}

SheetCells::TextRef SheetCells::addText(QStringView text) {
    const TextRef ref{int(m_pool.size()), int(text.size())};
    m_pool += text;
    return ref;
}

void SheetCells::set(int row, int col, QStringView text) {
    if (!text.isEmpty())
        setRef(row, col, addText(text));
}

void SheetCells::setRef(int row, int col, TextRef ref) {
    if (row < 1 || col < 1 || ref.length <= 0)
        return;
    if (!m_cells.empty() &&
        std::pair(row, col) <= std::pair(m_cells.back().row, m_cells.back().col))
        m_sorted = false;
    m_cells.push_back({row, col, ref});
    m_rowCount = std::max(m_rowCount, row);
}

void SheetCells::finish() {
    if (m_sorted)
        return;
    auto at = [](const Cell& c) { return std::pair(c.row, c.col); };
    std::stable_sort(m_cells.begin(), m_cells.end(),
                     [&](const Cell& a, const Cell& b) { return at(a) < at(b); });
    // Of a cell set twice the last text counts, as in the file.
    auto keep = m_cells.begin();
    for (auto it = m_cells.begin(); it != m_cells.end(); ++it) {
        if (keep != m_cells.begin() && at(*(keep - 1)) == at(*it))
            *(keep - 1) = *it;
        else
            *keep++ = *it;
    }
    m_cells.erase(keep, m_cells.end());
    m_sorted = true;
}

bool Workbook::readSheet(const QString& name, SheetCells& cells, int* errorCode, int maxRows,
                         int maxCols) {
    const qsizetype index = name.isEmpty() ? -1 : sheetNames().indexOf(name);
    cells = SheetCells();
    const int code =
        index < 0 ? int(Error::NoSuchSheet) : readSheetAt(int(index), cells, maxRows, maxCols);
    cells.finish();
    if (errorCode)
        *errorCode = code;
    return code == 0;
}

bool Workbook::isWorkbookPath(const QString& path) {
    return path.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive) ||
           path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
}

std::unique_ptr<Workbook> Workbook::open(const QString& path, int* errorCode) {
    auto fail = [&](int code) -> std::unique_ptr<Workbook> {
        if (errorCode)
            *errorCode = code;
        return nullptr;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(int(Error::CannotOpen));
    const QByteArray head = file.read(8);
    file.close();
    if (head == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return workbook::openXls(path, errorCode);
    if (head.startsWith("PK\x03\x04"))
        return workbook::openXlsx(path, errorCode);
    return fail(int(Error::NotAWorkbook));
}

QString generalNumberText(double value) {
    if (!std::isfinite(value))
        return {};
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    QString text = QString::number(value, 'g', 15);
    if (text.contains(QLatin1Char('e')) && std::fabs(value) >= 1e-9 && std::fabs(value) < 1e15)
        text = QString::number(value, 'f', 15);
    if (text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

namespace workbook {

QString serialDateText(double serial, bool system1904, bool timeOnly) {
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return {};
    // Whole seconds, as the spreadsheet shows them; 23:59:59.7 is the next day.
    const qint64 seconds = std::llround(serial * 86400.0);
    qint64 days = seconds / 86400;
    if (days > 2958465) // 9999-12-31
        return {};
    const QTime time = QTime(0, 0).addSecs(int(seconds % 86400));
    if (timeOnly && days == 0)
        return time.toString(QStringLiteral("HH:mm:ss"));
    QDate base;
    if (system1904) {
        base = QDate(1904, 1, 1);
    } else {
        base = QDate(1899, 12, 31);
        if (days >= 60) // the 1900 system counts a 29 February 1900 that never was
            --days;
    }
    QString text = base.addDays(days).toString(Qt::ISODate);
    if (time != QTime(0, 0))
        text += QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
    return text;
}

} // namespace workbook

} // namespace tl
