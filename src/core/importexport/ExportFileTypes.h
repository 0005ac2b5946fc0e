#pragma once

#include <QString>

namespace tl {

// The save dialog of the grid export (exportGrid in the window's
// ExportCommand.h) offers the types CSV, .xlsx and .xls.

// The types the save dialog offers, joined by ";;", CSV first.
QString exportFileFilter();
// The CSV type, the one chosen when the dialog opens.
QString csvExportType();
// The name with the extension of the chosen type appended when it has none.
QString withExportExtension(const QString& name, const QString& chosenFilter);

} // namespace tl
