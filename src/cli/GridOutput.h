#pragma once

#include <QString>

namespace tl {
class Grid;
class Progress;
} // namespace tl

namespace tl::cli {

// Where a report or a list goes: with --out, the file the grid export
// writes (".csv" the CSV of the export, ".xlsx" or ".xls" a workbook whose
// sheet is named after title); without it, the visible cells as UTF-8 CSV on
// standard output, quoted as the export quotes them. Returns an exit code
// after saying what went wrong.
int writeGridOutput(const Grid& grid, const QString& title, const QString& out, Progress& progress);

// Checks an --out name before anything runs: it must end in .csv, .xlsx or .xls.
void checkGridOutputName(const QString& out);

// The help lines of --out, shared by report and export.
QString gridOutputHelp();

} // namespace tl::cli
