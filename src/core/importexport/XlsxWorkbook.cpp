// .xlsx workbooks (zipped XML), read through libzip and QXmlStreamReader.
#include "importexport/WorkbookFormats.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QXmlStreamReader>
#include <zip.h>

namespace tl::workbook {

namespace {

constexpr zip_uint64_t kMaxEntry = zip_uint64_t(1) << 29; // refuses zip bombs

const QString kRelNs =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

// The r:id attribute, whichever relationships namespace the file uses.
QString relationId(const QXmlStreamAttributes& attrs) {
    const QString id = attrs.value(kRelNs, QStringLiteral("id")).toString();
    if (!id.isEmpty())
        return id;
    for (const QXmlStreamAttribute& a : attrs)
        if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty())
            return a.value().toString();
    return {};
}

// Column number (A = 1) and row number of a reference such as "AB12".
bool parseReference(QStringView ref, int* row, int* col) {
    qsizetype i = 0;
    int c = 0;
    while (i < ref.size() && ref[i].isLetter() && i < 3) {
        c = c * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        ++i;
    }
    bool ok = false;
    const int r = ref.mid(i).toInt(&ok);
    if (c < 1 || !ok || r < 1)
        return false;
    *row = r;
    *col = c;
    return true;
}

bool isBuiltinDate(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

QString builtinDateCode(int id) {
    switch (id) {
    case 14:
    case 30:
        return QStringLiteral("yyyy/m/d");
    case 15:
        return QStringLiteral("d-mmm-yy");
    case 16:
        return QStringLiteral("d-mmm");
    case 17:
        return QStringLiteral("mmm-yy");
    case 18:
        return QStringLiteral("h:mm AM/PM");
    case 19:
        return QStringLiteral("h:mm:ss AM/PM");
    case 20:
        return QStringLiteral("h:mm");
    case 21:
        return QStringLiteral("h:mm:ss");
    case 22:
        return QStringLiteral("yyyy/m/d h:mm");
    case 31:
        return QStringLiteral("yyyy\"年\"m\"月\"d\"日\"");
    case 32:
    case 34:
        return QStringLiteral("h\"时\"mm\"分\"");
    case 33:
    case 35:
        return QStringLiteral("h\"时\"mm\"分\"ss\"秒\"");
    case 45:
        return QStringLiteral("mm:ss");
    case 46:
        return QStringLiteral("h:mm:ss");
    case 47:
        return QStringLiteral("mm:ss");
    case 58:
        return QStringLiteral("m\"月\"d\"日\"");
    default:
        return QStringLiteral("yyyy\"年\"m\"月\"");
    }
}

// Whether a custom number format shows a date or time: it has a date or time
// letter outside quoted text, escapes and [...] sections.
bool isDateCode(const QString& code) {
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = code.indexOf(QLatin1Char(']'), i);
            if (end < 0)
                return false;
            i = end;
        } else if (c == QLatin1Char(';')) {
            return false; // only the first section counts
        } else {
            const QChar l = c.toLower();
            if (l == QLatin1Char('y') || l == QLatin1Char('m') || l == QLatin1Char('d') ||
                l == QLatin1Char('h') || l == QLatin1Char('s'))
                return true;
        }
    }
    return false;
}

// A date and time shown in a number format's date form.
QString formatDate(const QDateTime& dt, const QString& code) {
    static const QLocale zh(QLocale::Chinese, QLocale::China);
    const QDate d = dt.date();
    const QTime t = dt.time();
    const bool twelve = code.contains(QStringLiteral("AM/PM"), Qt::CaseInsensitive) ||
                        code.contains(QStringLiteral("A/P"), Qt::CaseInsensitive);
    QString out;
    bool afterHour = false;
    auto run = [&](qsizetype i, QChar c) {
        qsizetype j = i;
        while (j < code.size() && code[j].toLower() == c)
            ++j;
        return j - i;
    };
    auto nextIsSecond = [&](qsizetype from) {
        for (qsizetype k = from; k < code.size(); ++k) {
            const QChar l = code[k].toLower();
            if (l == QLatin1Char('s'))
                return true;
            if (l == QLatin1Char('y') || l == QLatin1Char('d') || l == QLatin1Char('h') ||
                l == QLatin1Char('m'))
                return false;
        }
        return false;
    };
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    for (qsizetype i = 0; i < code.size();) {
        const QChar c = code[i];
        const QChar l = c.toLower();
        if (c == QLatin1Char(';'))
            break;
        if (c == QLatin1Char('"')) {
            const qsizetype end = code.indexOf(QLatin1Char('"'), i + 1);
            out += code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1);
            i = end < 0 ? code.size() : end + 1;
        } else if (c == QLatin1Char('\\')) {
            if (i + 1 < code.size())
                out += code[i + 1];
            i += 2;
        } else if (c == QLatin1Char('_')) {
            out += QLatin1Char(' ');
            i += 2;
        } else if (c == QLatin1Char('*')) {
            i += 2;
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = code.indexOf(QLatin1Char(']'), i);
            i = end < 0 ? code.size() : end + 1;
        } else if (code.mid(i, 5).compare(QStringLiteral("AM/PM"), Qt::CaseInsensitive) == 0) {
            out += t.hour() < 12 ? QStringLiteral("上午") : QStringLiteral("下午");
            i += 5;
        } else if (code.mid(i, 3).compare(QStringLiteral("A/P"), Qt::CaseInsensitive) == 0) {
            out += t.hour() < 12 ? QStringLiteral("上午") : QStringLiteral("下午");
            i += 3;
        } else if (l == QLatin1Char('y')) {
            const qsizetype n = run(i, l);
            out += n <= 2 ? two(d.year() % 100) : QString::number(d.year());
            i += n;
        } else if (l == QLatin1Char('m')) {
            const qsizetype n = run(i, l);
            if (n <= 2 && (afterHour || nextIsSecond(i + n)))
                out += n == 2 ? two(t.minute()) : QString::number(t.minute());
            else if (n >= 3)
                out += zh.monthName(d.month(), n == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            else
                out += n == 2 ? two(d.month()) : QString::number(d.month());
            afterHour = false;
            i += n;
        } else if (l == QLatin1Char('d')) {
            const qsizetype n = run(i, l);
            if (n >= 3)
                out +=
                    zh.dayName(d.dayOfWeek(), n == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            else
                out += n == 2 ? two(d.day()) : QString::number(d.day());
            i += n;
        } else if (l == QLatin1Char('h')) {
            const qsizetype n = run(i, l);
            int h = t.hour();
            if (twelve)
                h = h % 12 == 0 ? 12 : h % 12;
            out += n >= 2 ? two(h) : QString::number(h);
            afterHour = true;
            i += n;
        } else if (l == QLatin1Char('s')) {
            const qsizetype n = run(i, l);
            out += n >= 2 ? two(t.second()) : QString::number(t.second());
            i += n;
        } else if (c == QLatin1Char('.') && i + 1 < code.size() &&
                   code[i + 1] == QLatin1Char('0')) {
            i += run(i + 1, QLatin1Char('0')) + 1; // fractions of a second are not shown
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

class XlsxWorkbook : public Workbook {
public:
    XlsxWorkbook(zip_t* zip) : m_zip(zip) {}
    ~XlsxWorkbook() override { zip_discard(m_zip); }

    // Reads the workbook's sheet list, shared strings and styles.
    int load() {
        QByteArray data;
        if (!entry("xl/workbook.xml", data))
            return int(Error::NotAWorkbook);
        QHash<QString, QString> targets;
        QByteArray rels;
        if (entry("xl/_rels/workbook.xml.rels", rels)) {
            QXmlStreamReader x(rels);
            while (!x.atEnd()) {
                x.readNext();
                if (x.isStartElement() && x.name() == QLatin1String("Relationship")) {
                    QString target = x.attributes().value(QStringLiteral("Target")).toString();
                    target = target.startsWith(QLatin1Char('/')) ? target.mid(1)
                                                                 : QStringLiteral("xl/") + target;
                    targets.insert(x.attributes().value(QStringLiteral("Id")).toString(), target);
                }
            }
        }
        QXmlStreamReader x(data);
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement())
                continue;
            if (x.name() == QLatin1String("workbookPr")) {
                const QStringView v = x.attributes().value(QStringLiteral("date1904"));
                m_1904 = v == QLatin1String("1") || v == QLatin1String("true");
            } else if (x.name() == QLatin1String("sheet")) {
                m_names << x.attributes().value(QStringLiteral("name")).toString();
                m_parts << targets.value(relationId(x.attributes()));
            }
        }
        if (x.hasError())
            return kDamaged;
        if (entry("xl/sharedStrings.xml", data) && !loadStrings(data))
            return kDamaged;
        if (entry("xl/styles.xml", data))
            loadStyles(data);
        return 0;
    }

    QStringList sheetNames() const override { return m_names; }

protected:
    int readSheetAt(int index, SheetCells& cells, int maxRows, int maxCols) override {
        QByteArray data;
        if (!entry(m_parts[index].toUtf8().constData(), data))
            return kDamaged;
        cells = SheetCells();
        QXmlStreamReader x(data);
        int row = 0, col = 0;
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement())
                continue;
            if (x.name() == QLatin1String("row")) {
                bool ok = false;
                const int r = x.attributes().value(QStringLiteral("r")).toInt(&ok);
                row = ok && r > 0 ? r : row + 1;
                col = 0;
                if (maxRows >= 0 && row > maxRows)
                    break;
            } else if (x.name() == QLatin1String("c")) {
                const QXmlStreamAttributes a = x.attributes();
                int r = row, c = col + 1;
                if (!parseReference(a.value(QStringLiteral("r")), &r, &c)) {
                    r = row;
                    c = col + 1;
                }
                col = c;
                const QString type = a.value(QStringLiteral("t")).toString();
                const int style = a.value(QStringLiteral("s")).toInt();
                const QString text = cellText(x, type, style);
                if (r > 1048576 || c > 16384)
                    return int(Error::CellOutOfRange);
                if ((maxRows < 0 || r <= maxRows) && (maxCols < 0 || c <= maxCols))
                    cells.set(r, c, text);
            }
        }
        if (x.hasError())
            return kDamaged;
        return 0;
    }

private:
    bool entry(const char* name, QByteArray& out) const {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(m_zip, name, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) ||
            st.size > kMaxEntry)
            return false;
        zip_file_t* f = zip_fopen(m_zip, name, 0);
        if (!f)
            return false;
        out.resize(qsizetype(st.size));
        const zip_int64_t got = st.size ? zip_fread(f, out.data(), st.size) : 0;
        zip_fclose(f);
        return got == zip_int64_t(st.size);
    }

    // The text of an <si> or <is> element: its <t> pieces, phonetic runs left out.
    static QString richText(QXmlStreamReader& x) {
        QString text;
        const QString end = x.name().toString();
        int phonetic = 0;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                if (x.name() == QLatin1String("rPh"))
                    ++phonetic;
                else if (x.name() == QLatin1String("t") && phonetic == 0)
                    text += x.readElementText(QXmlStreamReader::IncludeChildElements);
            } else if (x.isEndElement()) {
                if (x.name() == QLatin1String("rPh"))
                    --phonetic;
                else if (x.name() == end)
                    break;
            }
        }
        return text;
    }

    bool loadStrings(const QByteArray& data) {
        QXmlStreamReader x(data);
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("si"))
                m_strings << richText(x);
        }
        return !x.hasError();
    }

    void loadStyles(const QByteArray& data) {
        QHash<int, QString> codes;
        QXmlStreamReader x(data);
        bool inXfs = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                if (x.name() == QLatin1String("numFmt")) {
                    codes.insert(x.attributes().value(QStringLiteral("numFmtId")).toInt(),
                                 x.attributes().value(QStringLiteral("formatCode")).toString());
                } else if (x.name() == QLatin1String("cellXfs")) {
                    inXfs = true;
                } else if (inXfs && x.name() == QLatin1String("xf")) {
                    const int id = x.attributes().value(QStringLiteral("numFmtId")).toInt();
                    QString dateCode;
                    if (codes.contains(id)) {
                        if (isDateCode(codes.value(id)))
                            dateCode = codes.value(id);
                    } else if (isBuiltinDate(id)) {
                        dateCode = builtinDateCode(id);
                    }
                    m_dateCodes << dateCode;
                }
            } else if (x.isEndElement() && x.name() == QLatin1String("cellXfs")) {
                inXfs = false;
            }
        }
    }

    QString cellText(QXmlStreamReader& x, const QString& type, int style) const {
        QString value;
        QString inlineText;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                if (x.name() == QLatin1String("v"))
                    value = x.readElementText();
                else if (x.name() == QLatin1String("is"))
                    inlineText = richText(x);
                else if (x.name() == QLatin1String("f"))
                    x.skipCurrentElement();
            } else if (x.isEndElement() && x.name() == QLatin1String("c")) {
                break;
            }
        }
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int i = value.toInt(&ok);
            return ok && i >= 0 && i < m_strings.size() ? m_strings[i] : QString();
        }
        if (type == QLatin1String("inlineStr"))
            return inlineText;
        if (type == QLatin1String("str") || type == QLatin1String("e"))
            return value;
        if (type == QLatin1String("b"))
            return value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        if (type == QLatin1String("d")) {
            const QDateTime dt = QDateTime::fromString(value, Qt::ISODate);
            return dt.isValid() && dt.time() == QTime(0, 0) ? dt.date().toString(Qt::ISODate)
                                                            : value;
        }
        if (value.isEmpty())
            return {};
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            return value;
        if (style >= 0 && style < m_dateCodes.size() && !m_dateCodes[style].isEmpty()) {
            const QDateTime dt = serialDateTime(number, m_1904);
            if (dt.isValid())
                return formatDate(dt, m_dateCodes[style]);
        }
        return generalNumberText(number);
    }

    zip_t* m_zip;
    bool m_1904 = false;
    QStringList m_names;
    QStringList m_parts;
    QStringList m_strings;
    QStringList m_dateCodes; // per cell style: the date form, empty when no date
};

} // namespace

std::unique_ptr<Workbook> openXlsx(const QString& path, int* errorCode) {
    int err = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!zip) {
        if (errorCode)
            *errorCode = err == ZIP_ER_OPEN || err == ZIP_ER_NOENT || err == ZIP_ER_READ
                             ? int(Workbook::Error::CannotOpen)
                         : err == ZIP_ER_NOZIP ? int(Workbook::Error::NotAWorkbook)
                                               : Workbook::kDamaged;
        return nullptr;
    }
    auto book = std::make_unique<XlsxWorkbook>(zip);
    const int rc = book->load();
    if (rc != 0) {
        if (errorCode)
            *errorCode = rc;
        return nullptr;
    }
    return book;
}

} // namespace tl::workbook
