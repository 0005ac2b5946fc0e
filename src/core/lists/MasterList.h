#pragma once

#include "core/masterdata/MasterTable.h"

namespace tl {

class Grid;
class Database;
struct Session;

// Rebuilds a grid with the list of a master table: one fixed caption row, the
// first two columns fixed, the table's widths, left-aligned cells, one row per
// record (an empty table leaves one empty row under the captions). A column
// whose texts need more room than its set width grows to fit them (up to
// 6000 twips). Column 0 holds the record key. Products use the record-grid product layout (key in
// column 0, data from row 2). The operator list shows only the logged-in
// operator's own row unless he may see the operator list.
void loadMasterList(Grid& grid, const Database& db, MasterTable table, const Session& session);

// The first data row of a list filled by loadMasterList.
int firstListRow(const Grid& grid);

} // namespace tl
