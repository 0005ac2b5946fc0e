#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace tl {

// The cells of one worksheet as the spreadsheet shows them, row by row.
// Row and column numbers count from 1 (row 1 is the first line, column 1 is A).
class SheetCells {
public:
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    // The shown text of a cell; empty for an empty cell or one outside the sheet.
    QString text(int row, int col) const;
    // The cells of one row from column A on; empty for an empty row.
    const QStringList& row(int row) const;

    // For the readers: sets a cell, growing the sheet as needed.
    void set(int row, int col, const QString& text);

private:
    std::vector<QStringList> m_rows;
};

// A workbook file opened for reading: .xls (read with FreeXL) or .xlsx (read
// through libzip and QXmlStreamReader). The kind is told by the file's
// content, not its name, so an .xlsx saved under a ".xls" name reads too.
// Numbers show in their general form (no thousands separators), dates and
// times in the cell's date form, texts as they are.
class Workbook {
public:
    // What went wrong; the number is the error code shown to the operator.
    enum class Error {
        None = 0,
        CannotOpen = 5,       // the file is missing or cannot be read
        NoSuchSheet = 9,      // no worksheet has the name asked for
        NotAWorkbook = 438,   // the file is no workbook this program reads
        CellOutOfRange = 1004 // a cell reference the file cannot hold
    };
    // Any other failure (a damaged workbook) is reported with this code.
    static constexpr int kDamaged = 321;

    virtual ~Workbook() = default;

    // Opens a workbook; null with the reason in error (CannotOpen,
    // NotAWorkbook, or errorCode kDamaged) when it cannot be read.
    static std::unique_ptr<Workbook> open(const QString& path, int* errorCode = nullptr);
    // Whether a path names a workbook: it ends in ".xls" or ".xlsx", in any case.
    static bool isWorkbookPath(const QString& path);

    // The worksheet names in the workbook's order.
    virtual QStringList sheetNames() const = 0;
    // Reads the shown text of a worksheet's rows 1 to maxRows (every row when
    // maxRows is negative) and columns 1 to maxCols (all when negative). False
    // with the error code (NoSuchSheet, kDamaged, ...) when it cannot.
    bool readSheet(const QString& name, SheetCells& cells, int* errorCode, int maxRows = -1,
                   int maxCols = -1);

protected:
    // Reads the worksheet at an index of sheetNames() into cells (emptied
    // first) within the limits of readSheet; 0, or the error code.
    virtual int readSheetAt(int index, SheetCells& cells, int maxRows, int maxCols) = 0;
};

// Shown text of a number as a spreadsheet's general format shows it: up to 15
// significant digits, no exponent for ordinary magnitudes, no trailing zeros.
QString generalNumberText(double value);

} // namespace tl
