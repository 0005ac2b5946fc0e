#pragma once

#include "core/grid/GridFit.h"

#include <QStringList>

namespace tl {

class Database;
class Grid;

// A record grid: row 0 hidden, holding each column's column spec (see
// ColumnSpec); row 1 the captions; rows 0 and 1 fixed; column 0 the record
// key, column 1 the serial number, both fixed; data from row 2; the table
// name in the tag.
struct RecordLayout {
    QString table;
    QStringList specs;
    QStringList captions;
};

// The layouts of the four record lists.
const RecordLayout& productLayout();
const RecordLayout& saleLayout();
const RecordLayout& purchaseLayout();
const RecordLayout& transferLayout();

// Prepares the grid for a layout (nothing happens when the lists differ in
// length): the columns, the two fixed rows and columns, the column-spec and
// caption rows, left alignment, the table in the tag. Column widths stay.
void setupRecordGrid(Grid& grid, const QStringList& specs, const QStringList& captions,
                     const QString& table);
void setupRecordGrid(Grid& grid, const RecordLayout& layout);

// Fills a prepared grid with every record of its table in the order of its
// key (the order they were entered in): keys turned into names, dates as
// 2009.02.04, doubles as 1,234.50 and numbers right-aligned, the serial
// number in column 1; then fits the widths and
// shows the grid. Runs one query for the records and one per looked-up
// table, whatever the number of records. A statement that fails leaves its
// cells empty (a lookup table that is missing, say); nothing is reported.
void loadRecordGrid(Grid& grid, const Database& db, const TextMeasure& measure = {});

// Set up and load in one go.
void loadRecordGrid(Grid& grid, const Database& db, const RecordLayout& layout,
                    const TextMeasure& measure = {});
inline void loadProductGrid(Grid& grid, const Database& db, const TextMeasure& measure = {}) {
    loadRecordGrid(grid, db, productLayout(), measure);
}
inline void loadSaleGrid(Grid& grid, const Database& db, const TextMeasure& measure = {}) {
    loadRecordGrid(grid, db, saleLayout(), measure);
}
inline void loadPurchaseGrid(Grid& grid, const Database& db, const TextMeasure& measure = {}) {
    loadRecordGrid(grid, db, purchaseLayout(), measure);
}
inline void loadTransferGrid(Grid& grid, const Database& db, const TextMeasure& measure = {}) {
    loadRecordGrid(grid, db, transferLayout(), measure);
}

} // namespace tl
