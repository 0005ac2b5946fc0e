#pragma once

// The two workbook readers behind Workbook::open; not for other callers.

#include "importexport/Workbook.h"

#include <QDateTime>

namespace tl::workbook {

std::unique_ptr<Workbook> openXls(const QString& path, int* errorCode);
std::unique_ptr<Workbook> openXlsx(const QString& path, int* errorCode);

// A spreadsheet day number as a date and time (1900 system with its phantom
// 29 February 1900, or the 1904 system).
QDateTime serialDateTime(double serial, bool system1904);

} // namespace tl::workbook
