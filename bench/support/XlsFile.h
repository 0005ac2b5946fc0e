#pragma once
// A small writer of .xls workbooks (BIFF8 records in a compound file), for
// benchmark data only: no library at hand writes the old binary format.
// Worksheets of texts (all shared strings) and numbers, dates as numbers in a
// date format; no fonts, no column widths.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace tl::bench {

class XlsFile {
public:
    // Starts a new worksheet; the cells below go to it. Rows count from 0
    // (at most 65,536), columns from 0 (at most 256), in any order.
    void addSheet(const QString& name);
    void text(int row, int col, const QString& text);
    void number(int row, int col, double value);
    // A day number (1900 system) shown with the format dd/mm/yyyy.
    void date(int row, int col, double serial);

    // The whole file.
    QByteArray bytes() const;
    bool save(const QString& path) const;

private:
    struct Sheet {
        QString name;
        QByteArray cells;
        int rows = 0;
        int cols = 0;
    };
    void cell(quint16 type, int row, int col, quint16 xf, const QByteArray& value);

    std::vector<Sheet> m_sheets;
    QStringList m_strings;
    QHash<QString, int> m_index;
    int m_uses = 0;
};

} // namespace tl::bench
