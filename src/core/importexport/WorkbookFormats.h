#pragma once

// The two workbook readers behind Workbook::open; not for other callers.

#include "core/importexport/Workbook.h"

namespace tl::workbook {

std::unique_ptr<Workbook> openXls(const QString& path, int* errorCode);
std::unique_ptr<Workbook> openXlsx(const QString& path, int* errorCode);

// A spreadsheet day number shown as ISO text: yyyy-mm-dd, then hh:mm:ss when
// it has a time (1900 system with its phantom 29 February 1900, or the 1904
// system). A time alone (timeOnly and less than a day) shows as hh:mm:ss.
// Empty for a number no date can show.
QString serialDateText(double serial, bool system1904, bool timeOnly);

} // namespace tl::workbook
