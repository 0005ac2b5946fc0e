#pragma once

#include "core/importexport/ImportTables.h"

class QWidget;

namespace tl {

class Database;
class Progress;

// An import command: the operator picks a file (a CSV file or a workbook and
// then one of its worksheets) and maps its columns; OK imports. Returns true
// once a file was chosen, so the caller reloads the table's view.
bool runImportCommand(QWidget* owner, const Database& db, ListedTable table, Progress& progress);

} // namespace tl
