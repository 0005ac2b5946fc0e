#pragma once

#include "core/importexport/ImportTables.h"
#include "core/importexport/TextFile.h"
#include "core/support/Progress.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <limits>

namespace tl {

class Database;
struct ImportResult;

// What to import: a table, a file (a CSV file, or a worksheet of an .xls /
// .xlsx workbook) and which column feeds which field.
struct ImportRequest {
    ListedTable table = ListedTable::Sales;
    QString path;
    QString sheet; // the worksheet of a workbook (empty: the first); unused for CSV
    EncodingChoice encoding = EncodingChoice::Auto; // how a CSV file is read
    QStringList columns; // column letters per slot of the table; missing ones take the defaults
    // Lines are records counted from 1 as the preview shows them (an empty
    // line counts; a quoted field spanning several physical lines is one
    // record; in a worksheet row n is line n). A first line of 0 counts the
    // first record as line 0. A last line below the first reads nothing.
    int firstLine = 2;
    int lastLine = std::numeric_limits<int>::max();
    // Read, check and write everything in the one transaction, then roll it
    // back: the result says what a real import would do (names it would create
    // included) and nothing is stored. The window asks its question from it.
    bool dryRun = false;
};

enum class SkipReason {
    MissingRequired, // a required column is empty
    NotANumber,      // a number field holds text that does not begin with a number
    BadDate,         // a date field holds text that is no date
    Refused,         // a value the entry window refuses (the store's check)
    Exists,          // a record of that name is already there
    NotStored,       // the database refused the record
    Unfinished       // the file ended inside a quoted field
};

struct ImportResult {
    struct Skip {
        int line;
        SkipReason reason;
        QString detail; // NotANumber: the field's label; Refused: the store's message
    };

    bool ok = false; // false: nothing was imported, error says why
    QString error;
    QString encoding; // how a CSV file was read (encodingText); empty for a worksheet
    bool dryRun = false;
    int added = 0;
    QList<Skip> skipped;
    // Lines of the file after the last line, which were not read (0: none).
    int unreadFrom = 0;
    int unreadTo = 0;
    // The masters created for the records, per table the import can create
    // them in (in slot order), names in the order of creation.
    struct Created {
        Master master;
        QStringList names;
    };
    QList<Created> created;

    bool storesAnything() const; // records to add or names to create
    // "将添加 21 条销售记录；将新建客户 1 个（…）、产品 0 个；将跳过 2 行
    // （第 3、7 行）。是否导入？" and below it the skipped lines by reason and
    // the lines after the last line.
    QString question(ListedTable table) const;
    // What the operator is told at the end: the records added, the lines
    // skipped by reason with the first line numbers and the encoding of a
    // CSV file, or why nothing was imported.
    QString summary(ListedTable table) const;
};

// Imports the lines firstLine..lastLine of the file into the table, as one
// transaction: names are resolved to keys (missing masters created, empty
// ones by the table's placeholders), master tables skip names that exist,
// sales, purchases and transfers move stock as their entry windows do. Text
// and names keep no control characters but tabs (a line break reads as a
// blank). A line is skipped and counted when a number or date cannot be read,
// when its values fail the checks the entry windows make before saving
// (RecordStore, TransferStore; done before any name of the line is created)
// or when the database refuses it; a CSV file holding NUL characters is no
// text and imports nothing, as does any other failure (the file, the
// database). Never shows a window; progress reports as it reads. The file is
// only read.
ImportResult importRecords(const Database& db, const ImportRequest& request,
                           Progress& progress = Progress::silent());

// What the dialog and the tool need to know of a file before importing: the
// cells of line 1 and the number of lines, counted as importRecords counts
// them. Empty when the file cannot be read.
struct ImportFileLines {
    QStringList first;
    int count = 0;
};
ImportFileLines scanImportFile(const QString& path, const QString& sheet,
                               EncodingChoice encoding = EncodingChoice::Auto);

} // namespace tl
