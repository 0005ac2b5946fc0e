#include "core/importexport/WorkbookWriter.h"

#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <xlsxwriter.h>

namespace tl {

namespace {

constexpr QChar kYuan(0xFFE5);             // ￥, the full-width sign the money form uses
constexpr QChar kYen(0x00A5);              // ¥
constexpr int kMaxDigits = 15;             // what a double holds exactly
constexpr uint32_t kHeaderFill = 0xFFC080; // RGB 255, 192, 128

bool isDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// The library tells its failures twice: in its return codes and as
// "[ERROR] ..." lines on stderr. The lines belong in errorString(), not on
// the terminal of whoever runs the program, who gets the program's own
// message. While the library creates or assembles the file, the stdio
// stream stderr (not descriptor 2) writes into memory. Workbooks are written
// one at a time; a line another thread writes meanwhile lands there too.
class LibraryMessages {
public:
    LibraryMessages() : m_lock(mutex()) {
        m_buffer = open_memstream(&m_text, &m_size);
        if (!m_buffer)
            return;
        std::fflush(stderr);
        m_saved = stderr;
        stderr = m_buffer;
    }
    ~LibraryMessages() {
        restore();
        std::free(m_text);
    }
    LibraryMessages(const LibraryMessages&) = delete;
    LibraryMessages& operator=(const LibraryMessages&) = delete;

    // What the library wrote, one line per message.
    QString text() {
        restore();
        return m_text ? QString::fromLocal8Bit(m_text, qsizetype(m_size)).trimmed() : QString();
    }

private:
    static std::mutex& mutex() {
        static std::mutex m;
        return m;
    }
    void restore() {
        if (!m_buffer)
            return;
        stderr = m_saved;
        std::fclose(m_buffer);
        m_buffer = nullptr;
    }

    std::lock_guard<std::mutex> m_lock;
    FILE* m_buffer = nullptr;
    FILE* m_saved = nullptr;
    char* m_text = nullptr;
    size_t m_size = 0;
};

// The shortest decimal that reads back as the value, without an exponent
// (the values come from shown texts of at most 64 characters).
std::string shortestText(double value) {
    char buffer[128];
    std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (r.ec != std::errc())
        r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string();
}

} // namespace

// The library writes a number with 16 significant digits, so 64.74 lands in
// the sheet as 64.73999999999999. In constant-memory mode the rows pass
// through the worksheet's temporary file; this stream stands in for that file
// and puts the shortest text of each number into its <v> element on the way.
// Number cells come in the order they were written (rows in order, cells left
// to right) and are the only cells with a <v> (strings are inline); a text
// that does not read back as the value expected stops the replacing, so a
// value is never swapped for another.
class WorkbookWriter::NumberTexts {
public:
    // Takes the place of the sheet's row file; false when there is none.
    bool wrap(lxw_worksheet* sheet) {
        if (!sheet->optimize_tmpfile)
            return false;
        cookie_io_functions_t io{};
        io.read = [](void* self, char* buffer, size_t size) -> ssize_t {
            return ssize_t(std::fread(buffer, 1, size, static_cast<NumberTexts*>(self)->m_file));
        };
        io.write = [](void* self, const char* buffer, size_t size) -> ssize_t {
            return static_cast<NumberTexts*>(self)->write(buffer, size);
        };
        io.seek = [](void* self, off64_t* offset, int whence) {
            return static_cast<NumberTexts*>(self)->seek(offset, whence);
        };
        io.close = [](void* self) {
            auto* texts = static_cast<NumberTexts*>(self);
            const bool flushed = texts->flush(true);
            const int closed = std::fclose(texts->m_file);
            texts->m_file = nullptr;
            return flushed && closed == 0 ? 0 : EOF;
        };
        FILE* stream = fopencookie(this, "w+", io);
        if (!stream)
            return false;
        m_file = sheet->optimize_tmpfile;
        if (sheet->file == m_file)
            sheet->file = stream;
        sheet->optimize_tmpfile = stream;
        return true;
    }
    ~NumberTexts() {
        if (m_file) // the library never got to its file
            std::fclose(m_file);
    }

    void written(double value) { m_numbers.push_back({value, shortestText(value)}); }

private:
    struct Written {
        double value;
        std::string text;
    };

    ssize_t write(const char* buffer, size_t size) {
        m_pending.append(buffer, size);
        return flush(false) ? ssize_t(size) : -1;
    }

    int seek(off64_t* offset, int whence) {
        if (!flush(true) || std::fflush(m_file) != 0 || fseeko(m_file, *offset, whence) != 0)
            return -1;
        *offset = ftello(m_file);
        return 0;
    }

    // Writes what is complete of the pending text (all of it when final),
    // each number's text replaced.
    bool flush(bool final) {
        static constexpr std::string_view open = "<v>", close = "</v>";
        std::string& out = m_out; // kept between calls, so its room is kept too
        out.clear();
        size_t done = 0; // written up to here
        size_t keep = m_pending.size();
        for (size_t from = 0;;) {
            const size_t v = m_pending.find(open, from);
            if (v == std::string::npos)
                break;
            const size_t first = v + open.size();
            const size_t end = m_pending.find(close, first);
            if (end == std::string::npos) {
                keep = v; // the number is still to come
                break;
            }
            out.append(m_pending, done, first - done);
            replace(std::string_view(m_pending).substr(first, end - first), out);
            done = end;
            from = end + close.size();
        }
        // A tail that may still grow into "<v>" waits for the rest.
        if (keep == m_pending.size()) {
            const std::string_view pending(m_pending);
            if (pending.ends_with("<v"))
                keep -= 2;
            else if (pending.ends_with('<'))
                keep -= 1;
        }
        if (final)
            keep = m_pending.size();
        keep = std::max(keep, done);
        out.append(m_pending, done, keep - done);
        m_pending.erase(0, keep);
        return std::fwrite(out.data(), 1, out.size(), m_file) == out.size();
    }

    // Appends the text to stand in the <v> element that holds `text`.
    void replace(std::string_view text, std::string& out) {
        if (m_lost || m_numbers.empty()) {
            m_lost = true;
            out += text;
            return;
        }
        const Written number = std::move(m_numbers.front());
        m_numbers.pop_front();
        if (text == number.text) { // most numbers: the library's text is already the shortest
            out += text;
            return;
        }
        double read = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), read);
        const double v = number.value;
        if (ec != std::errc() || end != text.data() + text.size() || number.text.empty() ||
            (read != v && read != std::nextafter(v, HUGE_VAL) &&
             read != std::nextafter(v, -HUGE_VAL))) {
            m_lost = true;
            out += text;
            return;
        }
        out += number.text;
    }

    FILE* m_file = nullptr;
    std::string m_pending;
    std::string m_out;
    std::deque<Written> m_numbers;
    bool m_lost = false;
};

namespace {

// The format that shows a number the way its text did.
QString numberFormatOf(bool grouped, int decimals, bool percent, bool currency) {
    QString format = grouped ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (decimals > 0)
        format += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    if (percent)
        format += QLatin1Char('%');
    if (currency)
        format = QStringLiteral("\"") + kYuan + QStringLiteral("\"") + format;
    return format;
}

} // namespace

std::optional<WorkbookWriter::Number> WorkbookWriter::readNumber(const QString& text) {
    qsizetype i = 0, end = text.size();
    while (i < end && text[i].isSpace())
        ++i;
    while (end > i && text[end - 1].isSpace())
        --end;
    if (i == end || end - i > 64)
        return std::nullopt;

    bool negative = false, currency = false, percent = false;
    auto takeSign = [&] {
        if (i < end && text[i] == u'-' && !negative) {
            negative = true;
            ++i;
        }
    };
    takeSign();
    if (i < end && (text[i] == kYuan || text[i] == kYen)) {
        currency = true;
        ++i;
        takeSign();
    }
    if (end > i && text[end - 1] == u'%' && !currency) {
        percent = true;
        --end;
    }

    char digits[80];
    int n = 0;
    if (negative)
        digits[n++] = '-';
    // Whole part: plain digits, or groups of three after a first group of one to three.
    int wholeDigits = 0, group = 0, significant = 0;
    bool grouped = false;
    for (; i < end && (isDigit(text[i]) || text[i] == u','); ++i) {
        if (text[i] == u',') {
            if ((grouped && group != 3) || (!grouped && (group < 1 || group > 3)))
                return std::nullopt;
            grouped = true;
            group = 0;
            continue;
        }
        if (wholeDigits == 1 && digits[n - 1] == '0')
            return std::nullopt; // a code such as "007" keeps its zeros as text
        digits[n++] = static_cast<char>(text[i].unicode());
        ++wholeDigits;
        ++group;
        if (significant || text[i] != u'0')
            ++significant;
    }
    if (wholeDigits == 0 || (grouped && group != 3))
        return std::nullopt;
    int decimals = 0;
    if (i < end && text[i] == u'.') {
        digits[n++] = '.';
        for (++i; i < end && isDigit(text[i]); ++i) {
            digits[n++] = static_cast<char>(text[i].unicode());
            ++decimals;
            if (significant || text[i] != u'0')
                ++significant;
        }
        if (decimals == 0)
            return std::nullopt;
    }
    if (i != end || significant > kMaxDigits)
        return std::nullopt;

    double value = 0;
    if (std::from_chars(digits, digits + n, value).ec != std::errc())
        return std::nullopt;
    if (percent)
        value /= 100;
    return Number{value, numberFormatOf(grouped, decimals, percent, currency)};
}

QString WorkbookWriter::sheetName(const QString& title) {
    QString name = title;
    for (QChar& c : name)
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = u'_';
    name = name.left(31);
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    if (name.trimmed().isEmpty())
        return QStringLiteral("Sheet1");
    return name;
}

WorkbookWriter::WorkbookWriter(const QString& path, const QString& title) {
    LibraryMessages messages;
    open(path, title);
    if (const QString said = messages.text(); !said.isEmpty())
        m_error = said;
}

void WorkbookWriter::open(const QString& path, const QString& title) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_FALSE;
    m_tmpDir = QFile::encodeName(QFileInfo(path).absolutePath());
    options.tmpdir = m_tmpDir.data();
    m_book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!m_book) {
        m_error = QStringLiteral("cannot create the workbook");
        return;
    }
    m_sheet = workbook_add_worksheet(m_book, sheetName(title).toUtf8().constData());
    if (!m_sheet) {
        m_error = QStringLiteral("cannot add the worksheet");
        return;
    }
    m_numberTexts = std::make_unique<NumberTexts>();
    if (!m_numberTexts->wrap(m_sheet))
        m_numberTexts.reset(); // numbers as the library writes them
    m_text = workbook_add_format(m_book);
    format_set_border(m_text, LXW_BORDER_THIN);
    m_header = workbook_add_format(m_book);
    format_set_border(m_header, LXW_BORDER_THIN);
    format_set_bold(m_header);
    format_set_pattern(m_header, LXW_PATTERN_SOLID);
    format_set_bg_color(m_header, kHeaderFill);
}

WorkbookWriter::~WorkbookWriter() {
    if (m_book) {
        LibraryMessages quiet;
        workbook_close(m_book);
    }
}

bool WorkbookWriter::check(int error) {
    if (error != LXW_NO_ERROR && m_error.isEmpty())
        m_error = QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(error)));
    return error == LXW_NO_ERROR;
}

lxw_format* WorkbookWriter::numberFormat(const QString& format) {
    auto it = m_numberFormats.constFind(format);
    if (it != m_numberFormats.constEnd())
        return it.value();
    lxw_format* f = workbook_add_format(m_book);
    format_set_border(f, LXW_BORDER_THIN);
    format_set_num_format(f, format.toUtf8().constData());
    m_numberFormats.insert(format, f);
    return f;
}

void WorkbookWriter::setColumnWidth(int col, double characters) {
    if (m_sheet)
        check(worksheet_set_column(m_sheet, static_cast<lxw_col_t>(col),
                                   static_cast<lxw_col_t>(col), characters, nullptr));
}

bool WorkbookWriter::write(int row, int col, const QString& text, Cell kind) {
    if (!m_sheet || !m_error.isEmpty())
        return false;
    const auto r = static_cast<lxw_row_t>(row);
    const auto c = static_cast<lxw_col_t>(col);
    lxw_format* format = kind == Cell::Header ? m_header : m_text;
    if (text.isEmpty())
        return check(worksheet_write_blank(m_sheet, r, c, format));
    if (kind != Cell::Header) {
        const std::optional<Number> number = readNumber(text);
        if (number && (kind == Cell::Value || number->format == QLatin1String("0"))) {
            if (!check(worksheet_write_number(m_sheet, r, c, number->value,
                                              numberFormat(number->format))))
                return false;
            if (m_numberTexts)
                m_numberTexts->written(number->value);
            return true;
        }
    }
    if (text.contains(u'\r')) {
        // A line break in a cell is LF alone; a CR would show as a stray mark.
        QString lines = text;
        lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
        return check(worksheet_write_string(m_sheet, r, c, lines.toUtf8().constData(), format));
    }
    return check(worksheet_write_string(m_sheet, r, c, text.toUtf8().constData(), format));
}

bool WorkbookWriter::close() {
    if (!m_book)
        return false;
    LibraryMessages messages;
    const int error = workbook_close(m_book);
    m_book = nullptr;
    m_sheet = nullptr;
    if (const QString said = messages.text(); !said.isEmpty() && m_error.isEmpty())
        m_error = said;
    return check(error) && m_error.isEmpty();
}

} // namespace tl
