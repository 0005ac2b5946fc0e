#pragma once

#include "core/importexport/TextFile.h"

#include <QString>

namespace tl {

class Grid;

// The preview of a file to import, as the column-mapping dialog shows it.

// Message for a workbook error code (Workbook::Error, Workbook::kDamaged).
QString workbookErrorMessage(int code);
// Shown for a file that is neither a CSV file nor a workbook.
QString unsupportedFileMessage(); // "您选择的文件格式不支持导入，请选择CSV或XLS文件！"
// Shown for a CSV file holding NUL characters.
QString notTextFileMessage(); // "文件不是文本文件，无法导入。"

// Resets the grid to the preview's shape: 11 rows and 21 columns with one
// fixed row and column, row headers 1..10 and column letters A..T.
void resetImportPreview(Grid& grid);
// Resets the grid and fills it with the first ten records of a CSV file,
// read in the chosen encoding, or the cells A1:T10 of a workbook's
// worksheet. Returns the message to show (empty when all went well); cells
// filled before a failure stay. For a CSV file that opens, encoding receives
// how it was read (encodingText).
QString fillImportPreview(Grid& grid, const QString& path, const QString& sheet,
                          EncodingChoice choice = EncodingChoice::Auto,
                          QString* encoding = nullptr);

} // namespace tl
