// .xls workbooks (the binary format of older spreadsheet programs), read by
// FreeXL inside the helper program tradeledger-xls: FreeXL crashes and
// overreads on crafted files, so it never runs in this process. A helper that
// crashes, runs out of its time or memory, or says more than the limits allow
// is stopped and the file refused.
#include "core/importexport/WorkbookFormats.h"
#include "core/importexport/XlsProtocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cstring>

namespace tl::workbook {

namespace {

static_assert(xls::kCannotOpen == int(Workbook::Error::CannotOpen) &&
              xls::kNotAWorkbook == int(Workbook::Error::NotAWorkbook) &&
              xls::kOutOfRange == int(Workbook::Error::CellOutOfRange) &&
              xls::kDamaged == Workbook::kDamaged &&
              xls::kUnreadable == int(Workbook::Error::Unreadable));

// The helper beside the running program (where the build and an install put
// it), else one on the search path.
QString helperPath() {
    const QString name = QString::fromLatin1(xls::kHelperName);
    if (QCoreApplication::instance()) {
        const QFileInfo beside(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name);
        if (beside.isExecutable())
            return beside.filePath();
    }
    return QStandardPaths::findExecutable(name);
}

// Takes the helper's records apart as they arrive.
class Reader {
public:
    explicit Reader(SheetCells* cells) : m_cells(cells) {}

    QStringList names;
    int failure = 0;
    bool ended = false;

    // Takes the complete records at the front of data; 0, or why to stop.
    int take(QByteArray& data) {
        qsizetype at = 0;
        while (!ended && !failure) {
            const qsizetype used = record(data.constData() + at, data.size() - at);
            if (used == 0)
                break;
            if (used < 0)
                return int(Workbook::Error::Unreadable);
            at += used;
            if (m_cells && (m_cells->cellCount() > Workbook::kMaxCells ||
                            m_cells->textSize() > Workbook::kMaxTextChars))
                return int(Workbook::Error::TooLarge);
            if (names.size() > Workbook::kMaxSheets)
                return int(Workbook::Error::TooLarge);
        }
        data.remove(0, at);
        return 0;
    }

private:
    // The size of the record at p when it is complete, 0 when it is not yet,
    // -1 when it makes no sense.
    qsizetype record(const char* p, qsizetype n) {
        auto u32 = [p](qsizetype at) {
            quint32 v = 0;
            std::memcpy(&v, p + at, 4);
            return v;
        };
        // A text of length bytes at from, when it is all there.
        auto text = [&](qsizetype from, QString& out) -> qsizetype {
            if (n < from)
                return 0;
            const quint32 length = u32(from - 4);
            if (length > kMaxTextBytes)
                return -1;
            if (n < from + qsizetype(length))
                return 0;
            out = QString::fromUtf8(p + from, qsizetype(length));
            return from + length;
        };
        // Where a cell record puts its cell: rows and columns of the format.
        const bool cell = p[0] != xls::SheetName && p[0] != xls::SharedText &&
                          p[0] != xls::Failure && p[0] != xls::End;
        if (cell && (n < 9 || !m_cells))
            return n < 9 && m_cells ? 0 : -1;
        const int row = cell ? int(u32(1)) : 0, col = cell ? int(u32(5)) : 0;
        if (cell && (row < 1 || row > 65536 || col < 1 || col > 256))
            return -1;
        QString t;
        qsizetype size = 0;
        switch (p[0]) {
        case xls::SheetName:
            if ((size = text(5, t)) > 0)
                names << t;
            return size;
        case xls::SharedText:
            if (!m_cells || (n >= 5 && u32(1) != m_shared.size()))
                return -1;
            if ((size = text(9, t)) > 0)
                m_shared.push_back(m_cells->addText(t));
            return size;
        case xls::TextCell:
            if (n < 13)
                return 0;
            if (u32(9) >= m_shared.size())
                return -1;
            m_cells->setRef(row, col, m_shared[u32(9)]);
            return 13;
        case xls::LabelCell:
            if ((size = text(13, t)) > 0)
                m_cells->set(row, col, t);
            return size;
        case xls::IntCell:
        case xls::NumberCell:
        case xls::DateCell:
            return numberCell(p, n, row, col);
        case xls::Failure: {
            if (n < 5)
                return 0;
            const qint32 code = qint32(u32(1));
            failure = code != 0 ? code : Workbook::kDamaged;
            return 5;
        }
        case xls::End:
            ended = true;
            return 1;
        default:
            return -1;
        }
    }

    // A cell holding a number: a whole one, any other, or a date's day number.
    qsizetype numberCell(const char* p, qsizetype n, int row, int col) {
        if (p[0] == xls::IntCell) {
            if (n < 13)
                return 0;
            qint32 i = 0;
            std::memcpy(&i, p + 9, 4);
            m_cells->set(row, col, QString::number(i));
            return 13;
        }
        if (n < (p[0] == xls::DateCell ? 18 : 17))
            return 0;
        double d = 0;
        std::memcpy(&d, p + 9, 8);
        if (p[0] == xls::NumberCell) {
            m_cells->set(row, col, generalNumberText(d));
            return 17;
        }
        const auto flags = uchar(p[17]);
        const QString date = serialDateText(d, flags & xls::System1904, flags & xls::TimeOfDay);
        m_cells->set(row, col, date.isEmpty() ? generalNumberText(d) : date);
        return 18;
    }

    // A cell of an .xls holds at most 32,767 characters.
    static constexpr quint32 kMaxTextBytes = 3 * 32767;

    SheetCells* m_cells;
    std::vector<SheetCells::TextRef> m_shared;
};

// Runs the helper with arguments and reads what it writes; 0, or the error code.
int runHelper(const QStringList& arguments, Reader& reader) {
    const QString program = helperPath();
    if (program.isEmpty())
        return int(Workbook::Error::NoHelper);
    QProcess helper;
    helper.setStandardErrorFile(QProcess::nullDevice());
    helper.setStandardInputFile(QProcess::nullDevice());
    helper.start(program, arguments, QIODevice::ReadOnly);
    QDeadlineTimer deadline(Workbook::kXlsSeconds * 1000);
    int code =
        helper.waitForStarted(int(deadline.remainingTime())) ? 0 : int(Workbook::Error::NoHelper);
    QByteArray data;
    while (code == 0) {
        const bool more = helper.waitForReadyRead(int(deadline.remainingTime()));
        data += helper.readAllStandardOutput();
        code = reader.take(data);
        if (!more) {
            if (helper.state() != QProcess::NotRunning)
                code = code ? code : int(Workbook::Error::Unreadable); // out of time
            break;
        }
    }
    if (helper.state() != QProcess::NotRunning) {
        helper.kill();
        helper.waitForFinished(-1);
    } else if (code == 0) {
        // Anything the helper wrote between the last read and its end.
        data += helper.readAllStandardOutput();
        code = reader.take(data);
    }
    if (code == 0 && (helper.exitStatus() != QProcess::NormalExit || helper.exitCode() != 0 ||
                      !reader.ended || !data.isEmpty()))
        code = int(Workbook::Error::Unreadable);
    return code ? code : reader.failure;
}

class XlsWorkbook : public Workbook {
public:
    XlsWorkbook(const QString& path, const QStringList& names) : m_path(path), m_names(names) {}

    QStringList sheetNames() const override { return m_names; }

protected:
    int readSheetAt(int index, SheetCells& cells, int maxRows, int maxCols) override {
        Reader reader(&cells);
        return runHelper(
            {m_path, QString::number(index), QString::number(maxRows), QString::number(maxCols)},
            reader);
    }

private:
    QString m_path;
    QStringList m_names;
};

} // namespace

std::unique_ptr<Workbook> openXls(const QString& path, int* errorCode) {
    Reader reader(nullptr);
    const int code = runHelper({path}, reader);
    if (code != 0) {
        if (errorCode)
            *errorCode = code;
        return nullptr;
    }
    return std::make_unique<XlsWorkbook>(path, reader.names);
}

} // namespace tl::workbook
