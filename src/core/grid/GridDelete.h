#pragma once

#include <QString>

namespace tl {

class Database;
class Grid;

// Deletes the records of the selected grid rows after asking
// "您确定要删除第R1-1 - R2-1条记录？" (the serial numbers of a record grid,
// whose data begin at row 2). Keys come from column 0; a sale, purchase or
// transfer takes its stock movement back, all in one transaction. Nothing is
// asked when no selected row holds a record. The grid is left as it is:
// returns true when at least one record went, and the caller reloads.
bool deleteRows(const Grid& grid, const Database& db, const QString& table,
                const QString& keyColumn);

} // namespace tl
