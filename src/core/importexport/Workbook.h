#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace tl {

// The cells of one worksheet as the spreadsheet shows them. Row and column
// numbers count from 1 (row 1 is the first line, column 1 is A). Only the
// cells that hold something are kept, their texts in one pool: a row with a
// single cell in the last column costs one cell, not sixteen thousand.
class SheetCells {
public:
    // Where a text sits in the pool; a reader stores a text used by many
    // cells (a shared string) once and points each cell at it.
    struct TextRef {
        int offset = 0;
        int length = 0;
    };

    // The last row that holds a cell; 0 for an empty sheet.
    int rowCount() const { return m_rowCount; }
    int cellCount() const { return int(m_cells.size()); }
    // The characters held in the pool.
    qsizetype textSize() const { return m_pool.size(); }
    // The shown text of a cell; empty for an empty cell or one outside the sheet.
    QString text(int row, int col) const;
    // Whether any cell of a row holds a text.
    bool hasRow(int row) const;
    // The texts of columns 1 to cols of a row (empty where a cell is empty).
    QStringList row(int row, int cols) const;

    // For the readers: a cell set again keeps its last text; empty texts are
    // not kept. The cells are in order once finish() ran.
    void set(int row, int col, QStringView text);
    TextRef addText(QStringView text);
    void setRef(int row, int col, TextRef ref);
    void finish();

private:
    struct Cell {
        int row;
        int col;
        TextRef text;
    };
    std::vector<Cell>::const_iterator find(int row, int col) const;

    std::vector<Cell> m_cells;
    QString m_pool;
    int m_rowCount = 0;
    bool m_sorted = true;
};

// A workbook file opened for reading: .xls (read by FreeXL inside the helper
// program tradeledger-xls, so that a damaged file cannot take this process
// down) or .xlsx (read through libzip and QXmlStreamReader). The kind is told
// by the file's content, not its name, so an .xlsx saved under a ".xls" name
// reads too. Numbers show in their general form (no thousands separators),
// cells formatted as dates or times as ISO text (yyyy-mm-dd, then hh:mm:ss
// when the value has a time; a time alone as hh:mm:ss), texts as they are.
class Workbook {
public:
    // What went wrong; the first numbers are the error codes shown to the operator.
    enum class Error {
        None = 0,
        CannotOpen = 5,        // the file is missing or cannot be read
        NoSuchSheet = 9,       // no worksheet has the name asked for
        NotAWorkbook = 438,    // the file is no workbook this program reads
        CellOutOfRange = 1004, // a cell reference the file cannot hold
        Unreadable = -1,       // the .xls reader failed, crashed, or ran out of time or memory
        TooLarge = -2,         // the workbook holds more than the limits below
        NoHelper = -3          // the .xls reader program is missing
    };
    // Any other failure (a damaged workbook) is reported with this code.
    static constexpr int kDamaged = 321;

    // What one workbook may hold; more is refused (TooLarge) rather than
    // read into memory. Cells count those that hold something.
    static constexpr int kMaxCells = 2'000'000;      // per worksheet
    static constexpr int kMaxTextChars = 16'000'000; // texts of a worksheet, of the shared strings
    static constexpr int kMaxSharedStrings = 2'000'000;
    static constexpr int kMaxSheets = 10'000;
    static constexpr int kMaxDepth = 64;               // nesting of XML elements
    static constexpr qint64 kMaxPartBytes = 256 << 20; // one unpacked XML part of an .xlsx
    static constexpr int kXlsSeconds = 10;             // one run of the .xls reader

    virtual ~Workbook() = default;

    // Opens a workbook; null with the reason in errorCode when it cannot be read.
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
