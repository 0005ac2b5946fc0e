#include "core/importexport/GridExport.h"

#include "core/data/OpenDatabases.h"
#include "core/grid/Grid.h"
#include "core/importexport/ReplacingFile.h"
#include "core/importexport/WorkbookWriter.h"
#include "core/support/Progress.h"

#include <QFileInfo>
#include <QStringEncoder>
#include <algorithm>

namespace tl {

namespace {

constexpr qsizetype kFlushBytes = 1 << 20;
constexpr int kTwipsPerCharacter = 123;

// Shows the caption for the grid's rows and moves the bar about two hundred
// times in all: every step lets the window repaint, which would cost more
// than the writing if done for each of 100,000 rows. Closes on every way out.
class RowProgress {
public:
    RowProgress(Progress& progress, const QString& caption, int rows)
        : m_progress(progress), m_every(std::max(1, rows / 200)) {
        m_progress.show(caption, rows);
    }
    ~RowProgress() { m_progress.close(); }
    void done(int row) {
        if ((row + 1) % m_every == 0)
            m_progress.step(row + 1);
    }

private:
    Progress& m_progress;
    int m_every;
};

// Whether a spreadsheet would take the text for a formula: it begins with
// "=" or "@", or with "+" or "-" followed by anything but a number such as
// "92.20", "1,971.00" or "12.5%". A lone "-" is the reports' empty cell.
bool readsAsFormula(const QString& text) {
    if (text.isEmpty())
        return false;
    if (text[0] == u'=' || text[0] == u'@')
        return true;
    if ((text[0] != u'+' && text[0] != u'-') || text.size() == 1)
        return false;
    const qsizetype end = text.endsWith(u'%') ? text.size() - 1 : text.size();
    bool digit = false;
    for (qsizetype i = 1; i < end; ++i) {
        if (text[i] >= u'0' && text[i] <= u'9')
            digit = true;
        else if (text[i] != u',' && text[i] != u'.')
            return true;
    }
    return !digit;
}

void appendField(QString& line, const QString& text) {
    const bool quote = std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == u',' || c == u'"' || c == u'\n' || c == u'\r';
    });
    // The apostrophe keeps it text; the importer (CsvReader) takes it off again.
    const bool guard = readsAsFormula(text);
    if (!quote) {
        if (guard)
            line += u'\'';
        line += text;
        return;
    }
    line += u'"';
    if (guard)
        line += u'\'';
    for (QChar c : text) {
        if (c == u'"')
            line += u'"';
        line += c;
    }
    line += u'"';
}

ExportStatus statusOf(ReplacingFile::Result result) {
    switch (result) {
    case ReplacingFile::Result::Done:
        return ExportStatus::Written;
    case ReplacingFile::Result::CannotReplace:
        return ExportStatus::CannotReplace;
    case ReplacingFile::Result::WriteFailed:
        break;
    }
    return ExportStatus::WriteFailed;
}

bool isEmpty(const Grid& grid) {
    return visibleRows(grid).empty() || visibleColumns(grid).empty();
}

} // namespace

QString columnLetters(int n) {
    QString letters;
    while (n > 0) {
        const int m = (n - 1) % 26;
        letters.prepend(QChar(u'A' + m));
        n = (n - 1) / 26;
    }
    return letters;
}

std::vector<int> visibleRows(const Grid& grid) {
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(grid.rows()));
    for (int r = 0; r < grid.rows(); ++r)
        if (grid.rowHeight(r) >= 1)
            rows.push_back(r);
    return rows;
}

std::vector<int> visibleColumns(const Grid& grid) {
    std::vector<int> cols;
    for (int c = 0; c < grid.cols(); ++c)
        if (grid.colWidth(c) >= 1)
            cols.push_back(c);
    return cols;
}

QString csvField(const QString& text) {
    QString field;
    appendField(field, text);
    return field;
}

bool writeCsv(const Grid& grid, QIODevice& device, CsvEncoding encoding, Progress& progress) {
    QStringEncoder encoder(encoding == CsvEncoding::Gb18030 ? "GB18030" : "UTF-8");
    if (!encoder.isValid())
        return false;
    const std::vector<int> cols = visibleColumns(grid);
    RowProgress rowProgress(progress, QStringLiteral("正在导出数据至CSV格式文件……"), grid.rows());
    QString line;
    QByteArray out;
    out.reserve(kFlushBytes + 4096);
    for (int r = 0; r < grid.rows(); ++r) {
        if (grid.rowHeight(r) >= 1) {
            line.clear();
            for (size_t i = 0; i < cols.size(); ++i) {
                if (i > 0)
                    line += u',';
                appendField(line, grid.text(r, cols[i]));
            }
            line += QLatin1String("\r\n");
            out += encoder.encode(line);
            if (out.size() >= kFlushBytes) {
                if (device.write(out) != out.size())
                    return false;
                out.clear();
            }
        }
        rowProgress.done(r);
    }
    return device.write(out) == out.size();
}

ExportStatus gridToCsv(const Grid& grid, const QString& path, Progress& progress) {
    if (isEmpty(grid))
        return ExportStatus::Empty;
    ReplacingFile file(path);
    if (const auto opened = file.open(); opened != ReplacingFile::Result::Done)
        return statusOf(opened);
    if (!writeCsv(grid, file.device(), CsvEncoding::Gb18030, progress))
        return ExportStatus::WriteFailed;
    return statusOf(file.commit());
}

ExportStatus gridToExcel(const Grid& grid, const QString& path, const QString& sheetName,
                         Progress& progress) {
    if (isEmpty(grid))
        return ExportStatus::Empty;
    ReplacingFile file(path);
    if (const auto opened = file.open(); opened != ReplacingFile::Result::Done)
        return statusOf(opened);
    file.closeDevice();

    const std::vector<int> cols = visibleColumns(grid);
    RowProgress rowProgress(progress, QStringLiteral("正在将数据导出到EXCEL文件 …"), grid.rows());
    WorkbookWriter book(file.tempPath(), sheetName);
    for (size_t c = 0; c < cols.size(); ++c)
        book.setColumnWidth(static_cast<int>(c),
                            std::max(1, grid.colWidth(cols[c]) / kTwipsPerCharacter));
    int out = 0;
    for (int r = 0; r < grid.rows(); ++r) {
        if (grid.rowHeight(r) >= 1) {
            const bool header = r < grid.fixedRows();
            for (size_t c = 0; c < cols.size(); ++c) {
                const WorkbookWriter::Cell kind =
                    header ? WorkbookWriter::Cell::Header
                           : (cols[c] < grid.fixedCols() ? WorkbookWriter::Cell::Label
                                                         : WorkbookWriter::Cell::Value);
                if (!book.write(out, static_cast<int>(c), grid.text(r, cols[c]), kind))
                    return ExportStatus::WriteFailed;
            }
            ++out;
        }
        rowProgress.done(r);
    }
    if (!book.close())
        return ExportStatus::WriteFailed;
    return statusOf(file.commit());
}

bool isCsvPath(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
}

QString exportStatusMessage(ExportStatus status) {
    switch (status) {
    case ExportStatus::Written:
        break;
    case ExportStatus::Empty:
        return QStringLiteral("表格中没有数据！");
    case ExportStatus::CannotReplace:
        return QStringLiteral("该文件无法覆盖，请确认该文件没被其他软件打开！");
    case ExportStatus::WriteFailed:
        return QStringLiteral("文件保存出错！");
    case ExportStatus::OpenDatabase:
        return OpenDatabases::refusal();
    }
    return QString();
}

ExportStatus writeGridFile(const Grid& grid, const QString& path, const QString& sheetName,
                           Progress& progress) {
    // Renaming a new file over an open account set would leave this process
    // writing into a deleted file.
    if (OpenDatabases::holds(path))
        return ExportStatus::OpenDatabase;
    return isCsvPath(path) ? gridToCsv(grid, path, progress)
                           : gridToExcel(grid, path, sheetName, progress);
}

} // namespace tl
