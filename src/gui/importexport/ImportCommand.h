#pragma once

#include "importexport/ImportTables.h"

#include <optional>

class QWidget;

namespace tl {

class Database;
class Progress;

// The table an import button of the main window imports into: the trade tabs
// (sales 0, purchases 1, transfers 2) and the master pages of the settings
// tab (products 0 … regions 7).
std::optional<ImportTable> importTableOfTab(int tab, int subTab);

// An import command: the operator picks a file (a CSV file or a workbook and
// then one of its worksheets) and maps its columns; OK imports. Returns true
// once a file was chosen, so the caller reloads the table's view.
bool runImportCommand(QWidget* owner, const Database& db, ImportTable table, Progress& progress);

} // namespace tl
