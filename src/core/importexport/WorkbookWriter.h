#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <optional>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace tl {

// Writes a formatted worksheet into a new .xlsx workbook (libxlsxwriter in
// constant-memory mode: each row goes to disk when the next one starts, so
// memory does not grow with the row count). Rows must come in order, and the
// cells of a row from left to right.
class WorkbookWriter {
public:
    // Header rows are bold on light orange (RGB 255, 192, 128); labels (the
    // frozen columns that name a row) are text but for whole numbers (keys,
    // serial numbers), so a month "2009.02" or a code "007" stays as shown;
    // values that read as numbers are stored as numbers, each as the
    // shortest decimal that reads back as it (64.74, not 64.73999999999999).
    // Every written cell has a thin border.
    enum class Cell { Header, Label, Value };

    // A cell text read as a number and the number format that shows it the
    // way the grid did: "1,234.50" is 1234.5 as "#,##0.00", "12.5%" is 0.125
    // as "0.0%", "￥35" is 35 as "￥"0. Texts that only look like numbers stay
    // text: codes with leading zeros ("007"), more than 15 digits (identity
    // and account numbers would lose digits), dates ("2009.02.04").
    struct Number {
        double value;
        QString format;
    };
    static std::optional<Number> readNumber(const QString& text);

    // The name as a worksheet may carry it: at most 31 characters, none of
    // []:*?/\ (replaced by "_"), no apostrophe at either end; "Sheet1" when
    // nothing is left.
    static QString sheetName(const QString& title);

    // Creates (or truncates) the workbook file at path with one worksheet. The
    // rows wait on disk in the file's folder, not in a /tmp that may be memory.
    WorkbookWriter(const QString& path, const QString& title);
    ~WorkbookWriter(); // closes the workbook if close() was not called
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // Width in characters (Excel's column width unit); call before the rows.
    void setColumnWidth(int col, double characters);
    // Writes one cell (row and col counted from 0); an empty text writes a
    // blank cell that only carries the format. False after any failure.
    bool write(int row, int col, const QString& text, Cell kind);
    // Assembles and writes the file. False when anything failed on the way.
    bool close();
    // What went wrong first, in the library's words (for logs and tools).
    // The library's own "[ERROR] ..." lines end up here, never on stderr.
    QString errorString() const { return m_error; }

private:
    void open(const QString& path, const QString& title);
    lxw_format* numberFormat(const QString& format);
    bool check(int error);
    class NumberTexts;

    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_header = nullptr;
    lxw_format* m_text = nullptr;
    QHash<QString, lxw_format*> m_numberFormats;
    std::unique_ptr<NumberTexts> m_numberTexts;
    QByteArray m_tmpDir;
    QString m_error;
};

} // namespace tl
