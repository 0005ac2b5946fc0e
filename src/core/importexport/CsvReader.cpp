#include "core/importexport/CsvReader.h"

#include "core/grid/Grid.h"

namespace tl {

namespace {
const QChar kQuote = QLatin1Char('"');

// Whether a quoted section is open after the text, given the state before it.
// A join inserts CR LF, which is no quote, so runs never span two lines.
bool insideAfter(const QString& text, bool inside) {
    const QChar* d = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        if (d[i] != kQuote) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < n && d[j] == kQuote)
            ++j;
        if ((j - i) & 1)
            inside = !inside;
        i = j;
    }
    return inside;
}
} // namespace

std::optional<QStringList> splitCsvLine(const QString& s) {
    if (s.isEmpty())
        return std::nullopt;
    QStringList fields;
    QString field;
    bool inside = false;
    qsizetype fieldStart = 0;
    const QChar* d = s.constData();
    const qsizetype n = s.size();
    auto finish = [&](qsizetype end) {
        if (end - fieldStart == 2 && d[fieldStart] == kQuote && d[fieldStart + 1] == kQuote)
            field.clear(); // "" is how quoting programs write an empty field
        fields << field;
        field.clear();
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = d[i];
        if (c == kQuote) {
            qsizetype j = i;
            while (j < n && d[j] == kQuote)
                ++j;
            const qsizetype run = j - i;
            field.append(QString(run / 2, kQuote));
            if (run & 1)
                inside = !inside;
            i = j;
        } else if (c == QLatin1Char(',') && !inside) {
            finish(i);
            fieldStart = ++i;
        } else {
            qsizetype j = i + 1;
            while (j < n && d[j] != kQuote && (inside || d[j] != QLatin1Char(',')))
                ++j;
            field.append(d + i, j - i);
            i = j;
        }
    }
    if (inside)
        return std::nullopt;
    finish(n);
    return fields;
}

bool readsAsCsv(const QString& path) {
    return path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
}

bool CsvReader::open(const QString& path, EncodingChoice choice) {
    m_buf.clear();
    m_pos = 0;
    return m_text.open(path, choice);
}

bool CsvReader::refill() {
    if (m_text.atEnd())
        return false;
    m_buf.remove(0, m_pos);
    m_pos = 0;
    const qsizetype before = m_buf.size();
    while (m_buf.size() == before && !m_text.atEnd())
        m_text.readMore(m_buf);
    return m_buf.size() > before;
}

bool CsvReader::atEnd() {
    while (m_pos >= m_buf.size()) {
        if (!refill())
            return true;
    }
    return false;
}

bool CsvReader::readLine(QString& line) {
    if (atEnd())
        return false;
    qsizetype scanned = m_pos;
    for (;;) {
        const QChar* d = m_buf.constData();
        const qsizetype n = m_buf.size();
        qsizetype i = scanned;
        while (i < n && d[i] != QLatin1Char('\r') && d[i] != QLatin1Char('\n'))
            ++i;
        // A CR at the end of what is decoded may be the first half of CR LF.
        if (i < n && !(d[i] == QLatin1Char('\r') && i + 1 == n && !m_text.atEnd())) {
            line = m_buf.mid(m_pos, i - m_pos);
            m_pos = i + 1;
            if (d[i] == QLatin1Char('\r') && m_pos < n && d[m_pos] == QLatin1Char('\n'))
                ++m_pos;
            return true;
        }
        const qsizetype consumed = m_pos;
        scanned = i - consumed; // refill moves the unread text to the front
        if (!refill()) {
            // The last line needs no terminator.
            line = m_buf.mid(m_pos);
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            m_pos = m_buf.size();
            return true;
        }
    }
}

CsvReader::Record CsvReader::readRecord(QStringList& fields) {
    QString line;
    if (!readLine(line))
        return Record::End;
    if (line.isEmpty())
        return Record::Empty;
    bool inside = insideAfter(line, false);
    QString next;
    while (inside) {
        if (!readLine(next))
            return Record::Unfinished;
        line += QStringLiteral("\r\n");
        line += next;
        inside = insideAfter(next, inside);
    }
    std::optional<QStringList> split = splitCsvLine(line);
    if (!split)
        return Record::Unfinished; // cannot happen: the quotes are balanced
    fields = std::move(*split);
    for (QString& f : fields) {
        if (f.size() > 1 && f[0] == u'\'' &&
            (f[1] == u'=' || f[1] == u'@' || f[1] == u'+' || f[1] == u'-'))
            f.remove(0, 1);
    }
    return Record::Fields;
}

void csvToGrid(Grid& grid, CsvReader& reader) {
    grid.beginUpdate();
    QStringList fields;
    for (int i = 1; i < grid.rows(); ++i) {
        const CsvReader::Record r = reader.readRecord(fields);
        if (r == CsvReader::Record::End || r == CsvReader::Record::Unfinished)
            break;
        if (r == CsvReader::Record::Empty)
            continue;
        for (int j = 1; j < grid.cols() && j - 1 < fields.size(); ++j)
            grid.setText(i, j, fields[j - 1]);
    }
    grid.endUpdate();
}

} // namespace tl
