#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace tl {

class Grid;

// The records of the selected grid rows, for the window to confirm and then
// hand to deleteRecords (RecordDeletion.h): their keys from column 0, the
// last row first, and the question to ask, "您确定要删除第R1-1 - R2-1条记录？"
// (the serial numbers of a record grid, whose data begin at row 2; a master
// list with one caption row numbers from row 1). Nothing when no selected row
// holds a record, and then nothing is asked.
struct RowDeletion {
    QList<qint64> keys;
    QString question;
};
std::optional<RowDeletion> selectedRecords(const Grid& grid);

} // namespace tl
