#include "importexport/Workbook.h"

#include "importexport/WorkbookFormats.h"

#include <QFile>
#include <cmath>

namespace tl {

QString SheetCells::text(int row, int col) const {
    if (row < 1 || row > rowCount() || col < 1)
        return {};
    const QStringList& r = m_rows[row - 1];
    return col <= r.size() ? r[col - 1] : QString();
}

const QStringList& SheetCells::row(int row) const {
    static const QStringList none;
    return row >= 1 && row <= rowCount() ? m_rows[row - 1] : none;
}

void SheetCells::set(int row, int col, const QString& text) {
    if (row < 1 || col < 1 || text.isEmpty())
        return;
    if (row > rowCount())
        m_rows.resize(row);
    QStringList& r = m_rows[row - 1];
    while (r.size() < col)
        r.append(QString());
    r[col - 1] = text;
}

bool Workbook::readSheet(const QString& name, SheetCells& cells, int* errorCode, int maxRows,
                         int maxCols) {
    const qsizetype index = name.isEmpty() ? -1 : sheetNames().indexOf(name);
    const int code =
        index < 0 ? int(Error::NoSuchSheet) : readSheetAt(int(index), cells, maxRows, maxCols);
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

QDateTime serialDateTime(double serial, bool system1904) {
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466) // 9999-12-31
        return {};
    qint64 days = qint64(std::floor(serial));
    const qint64 ms = qint64(std::llround((serial - double(days)) * 86400000.0));
    QDate base;
    if (system1904) {
        base = QDate(1904, 1, 1);
    } else {
        base = QDate(1899, 12, 31);
        if (days >= 60) // the 1900 system counts a 29 February 1900 that never was
            --days;
    }
    return QDateTime(base.addDays(days), QTime(0, 0), Qt::UTC).addMSecs(ms);
}

} // namespace workbook

} // namespace tl
