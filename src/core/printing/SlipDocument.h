#pragma once

#include "core/printing/PrintDocument.h"
#include "core/printing/Slip.h"

#include <QFont>
#include <QList>
#include <QStringList>
#include <functional>

namespace tl {

// A sale or purchase slip on paper: the shop's name large and centred, its
// address and telephone, the title, customer (supplier), date and number,
// a table of the lines, the totals in figures and in capitals, what was
// received (paid) and is still owed, the operator and a line for the
// signature. A long slip runs on over further pages, each repeating a short
// head and the table's header; the totals close the last page.
class SlipDocument : public PrintDocument {
public:
    explicit SlipDocument(Slip slip);

    const Slip& slip() const { return m_slip; }
    // The number printed, once taken.
    void setNumber(qint64 number) { m_slip.number = number; }

    QString title() const override;
    int paginate(const QSizeF& area, Progress& progress) override;
    void paintPage(QPainter& painter, int index) override;

    // The lines each page of the last layout carries, and whether the totals
    // close it.
    struct Page {
        int first = 0;
        int count = 0;
        bool totals = false;
    };
    const QList<Page>& pages() const { return m_pages; }

private:
    struct Row {
        QStringList product; // its lines, wrapped to the column
        QString cells[6];    // by column; the product's is empty
        double height = 0;
    };
    double paintHead(QPainter& painter, int index) const;
    double paintTableHeader(QPainter& painter, double y) const;
    double paintRow(QPainter& painter, double y, const Row& row) const;
    void paintTotals(QPainter& painter, double y) const;
    double headHeight(int index) const;
    double totalsHeight() const;

    Slip m_slip;
    QSizeF m_area;
    QList<double> m_columns; // widths: 序号, 产品, 单位, 数量, 单价, 金额
    QList<Row> m_rows;
    QList<Page> m_pages;
};

// Prints the slip under the next number of its kind: the number is taken
// before print runs, so that two computers printing at once get two numbers,
// and given back when print says nothing was printed (or throws). A file
// opened for reading only takes no number: refused with DbError.
bool printNumbered(const Database& db, SlipDocument& document, const std::function<bool()>& print);

} // namespace tl
