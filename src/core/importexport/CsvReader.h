#pragma once

#include "core/importexport/TextFile.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tl {

class Grid;

// Cuts one record into its fields. Runs of quote characters decide: a run of
// odd length opens or closes a quoted section (its first, respectively last,
// character is the delimiter), a run of even length never does; commas inside
// a quoted section belong to the field; after removing the delimiters every
// two quotes read as one. A field that is exactly "" reads as empty. No
// answer (nullopt) while a quoted section is still open, and for empty text.
std::optional<QStringList> splitCsvLine(const QString& record);

// Whether an import reads the file as CSV: its name ends in ".csv", in any case.
bool readsAsCsv(const QString& path);

// Reads a CSV file sequentially, in its detected or chosen encoding
// (TextFileReader). A physical line ends at CR LF, CR or LF; a record is one
// physical line, or several joined with CR LF while a quoted section is open.
// A field that begins with an apostrophe followed by "=", "@", "+" or "-"
// loses the apostrophe: the CSV export puts it there (csvField) so that
// spreadsheets do not run the text as a formula.
class CsvReader {
public:
    enum class Record {
        Fields,     // a record was read
        Empty,      // the line was empty: no record
        Unfinished, // the file ended inside a quoted section: the record is dropped
        End         // nothing left to read
    };

    bool open(const QString& path, EncodingChoice choice = EncodingChoice::Auto);
    TextEncoding encoding() const { return m_text.encoding(); }
    bool detected() const { return m_text.detected(); }
    bool isText() const { return m_text.isText(); }
    // One physical line without its terminator; false at the end of the file.
    bool readLine(QString& line);
    bool atEnd();
    // The next record, read from its first physical line on.
    Record readRecord(QStringList& fields);
    // A read failed part-way.
    bool failed() const { return m_text.failed(); }
    // How far the reading has come, in bytes of the file.
    qint64 position() const { return m_text.position(); }
    qint64 size() const { return m_text.size(); }

private:
    bool refill();

    TextFileReader m_text;
    QString m_buf;
    qsizetype m_pos = 0;
};

// Fills the data cells (rows 1.., columns 1..) of a preview grid with the
// first records of an open CSV file: grid row i shows record i counted from
// the start of the file (an empty line keeps its row empty), field j - 1 goes
// to column j. Cells without a field keep their text.
void csvToGrid(Grid& grid, CsvReader& reader);

} // namespace tl
