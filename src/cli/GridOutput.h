#pragma once

#include <QString>

namespace tl {
class Grid;
class Progress;
struct PrintHeading;
} // namespace tl

namespace tl::cli {

// Where a report or a list goes: with --out, the file the grid export
// writes (".csv" the CSV of the export, ".xlsx" or ".xls" a workbook whose
// sheet is named after the heading's title) or, for ".pdf", its printed
// form on A4 under the heading; without it, the visible cells as UTF-8 CSV on
// standard output, quoted as the export quotes them. Returns an exit code
// after saying what went wrong.
int writeGridOutput(const Grid& grid, const PrintHeading& heading, const QString& out,
                    Progress& progress);

// Checks an --out name before anything runs: it must end in .csv, .xlsx, .xls or .pdf.
void checkGridOutputName(const QString& out);
// True when the output is painted (a PDF), which needs fonts.
bool gridOutputPaints(const QString& out);

// The help lines of --out, shared by report and export.
QString gridOutputHelp();

} // namespace tl::cli
