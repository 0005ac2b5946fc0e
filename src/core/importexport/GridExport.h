#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

class QIODevice;

namespace tl {

class Grid;
class Progress;

// Writing a grid as shown: its cell texts, not the database values, and only
// its visible rows and columns (a size of at least 1 twip; hidden ones are
// left out, frozen ones written like any other). These functions ask nothing
// and show nothing but the progress, so the command-line tool calls them as
// the window does; the window's exportGrid adds the dialog questions.

enum class ExportStatus {
    Written,
    Empty,         // no visible row or no visible column: nothing written
    WriteFailed,   // the file could not be written; an existing one is untouched
    CannotReplace, // the file exists and cannot be replaced; it is untouched
    OpenDatabase,  // the file is an open account set or one of its companions
};

// What the window and the command-line tool say about a status: "表格中没有数据！",
// "该文件无法覆盖，请确认该文件没被其他软件打开！", "文件保存出错！" or the
// refusal of an open account set; empty for Written.
QString exportStatusMessage(ExportStatus status);

enum class CsvEncoding {
    Gb18030, // files: byte for byte GBK for every GBK character, no byte-order mark
    Utf8,    // standard output and UTF-8 tools, no byte-order mark
};

// Column letters of a worksheet: 1 is A, 26 Z, 27 AA, 52 AZ, 53 BA, 702 ZZ,
// 703 AAA; empty below 1.
QString columnLetters(int n);

std::vector<int> visibleRows(const Grid& grid);
std::vector<int> visibleColumns(const Grid& grid);

// One cell as a CSV field: every quote doubled, and the whole between quotes
// when it holds a comma, a quote or a line break; otherwise as it is. A text
// a spreadsheet would run as a formula (one beginning with "=" or "@", or
// with "+" or "-" not followed by a number) gets a leading apostrophe.
QString csvField(const QString& text);

// The visible cells as CSV: one line per visible row, ended by CR LF, fields
// joined by commas. The progress shows "正在导出数据至CSV格式文件……".
// False when the device refuses a write (what was written stays written).
bool writeCsv(const Grid& grid, QIODevice& device, CsvEncoding encoding, Progress& progress);

// The file writers. The new file is written beside the old one and renamed
// over it only when complete, so a failure never costs an existing file.
// gridToCsv writes GB18030. gridToExcel writes an .xlsx workbook whatever the
// name's extension: one worksheet named after sheetName, the grid's visible
// row r and column c in cell (r, c), the frozen rows bold on light orange,
// thin borders on the used range, column widths from the grid (twips / 123),
// numbers stored as numbers (WorkbookWriter::readNumber). The progress shows
// "正在将数据导出到EXCEL文件 …".
ExportStatus gridToCsv(const Grid& grid, const QString& path, Progress& progress);
ExportStatus gridToExcel(const Grid& grid, const QString& path, const QString& sheetName,
                         Progress& progress);

// Writes by the name's extension: ".csv" (any case) as CSV, anything else
// (".xlsx", ".xls", ...) as an .xlsx workbook.
bool isCsvPath(const QString& path);
ExportStatus writeGridFile(const Grid& grid, const QString& path, const QString& sheetName,
                           Progress& progress);

} // namespace tl
