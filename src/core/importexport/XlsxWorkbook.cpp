// .xlsx workbooks (zipped XML), read through libzip and QXmlStreamReader.
// A few kilobytes of zip can unpack to gigabytes of XML, so every part is
// read as it unpacks and everything kept is bounded by what the file really
// holds and by the limits of Workbook: more is refused, never allocated.
#include "core/importexport/NumberFormats.h"
#include "core/importexport/WorkbookFormats.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>
#include <zip.h>

namespace tl::workbook {

namespace {

using numfmt::Shown;

constexpr int kTooLarge = int(Workbook::Error::TooLarge);
constexpr qsizetype kMaxCellChars = 32767; // what a spreadsheet cell can hold
constexpr qint64 kMaxSmallPart = 32 << 20; // the workbook, its relations and styles
// Elements of one part: a worksheet of the most cells, or the most shared
// strings, holds fewer; parsing more would take long.
constexpr int kMaxElements = 10'000'000;

const QString kRelNs =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

// Watches the raw XML for what would make QXmlStreamReader hold much at once:
// one text, tag, comment, CDATA section or processing instruction of more
// than a megabyte, or a document type declaration (whose entities the format
// never uses). Feed it the bytes in order.
class MarkupGuard {
public:
    // 0, or the error code once the XML is refused.
    int feed(const char* p, qsizetype n) {
        for (qsizetype i = 0; i < n; ++i) {
            const char c = p[i];
            if (++m_run > kMaxRun)
                return kTooLarge;
            if (m_end) { // inside a comment, CDATA section or instruction
                m_tail = ((m_tail << 8) | uchar(c)) & 0xFFFFFF;
                if ((m_tail & m_endMask) == m_end)
                    m_end = 0;
            } else if (c == '<') {
                m_run = 0;
                m_head.clear();
                m_classifying = true;
            } else if (m_classifying) {
                m_head += c;
                if (m_head == "?") {
                    begin(0x3F3E, 0xFFFF); // "?>"
                } else if (m_head == "!--") {
                    begin(0x2D2D3E, 0xFFFFFF); // "-->"
                } else if (m_head == "![CDATA[") {
                    begin(0x5D5D3E, 0xFFFFFF); // "]]>"
                } else if (m_head[0] == '!') {
                    if (!QByteArrayLiteral("![CDATA[").startsWith(m_head) &&
                        !QByteArrayLiteral("!--").startsWith(m_head))
                        return Workbook::kDamaged; // <!DOCTYPE, <!ENTITY
                } else {
                    m_classifying = false; // a tag
                }
            }
        }
        return 0;
    }

private:
    static constexpr qint64 kMaxRun = 1 << 20;

    void begin(quint32 end, quint32 mask) {
        m_classifying = false;
        m_end = end;
        m_endMask = mask;
        m_tail = 0;
    }

    qint64 m_run = 0; // bytes since the last markup began
    QByteArray m_head;
    bool m_classifying = false;
    quint32 m_end = 0, m_endMask = 0, m_tail = 0;
};

// One entry of the package, unpacked as it is read, refused past a size.
class ZipEntry : public QIODevice {
public:
    ZipEntry(zip_t* zip, const char* name, qint64 maxBytes) : m_maxBytes(maxBytes) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(zip, name, 0, &st) == 0)
            m_file = zip_fopen_index(zip, st.index, 0);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~ZipEntry() override {
        if (m_file)
            zip_fclose(m_file);
    }
    bool isSequential() const override { return true; }
    bool exists() const { return m_file != nullptr; }
    int error() const { return m_error; }

protected:
    qint64 readData(char* data, qint64 max) override {
        if (!m_file || m_error)
            return -1;
        const zip_int64_t got = zip_fread(m_file, data, zip_uint64_t(max));
        if (got < 0)
            m_error = Workbook::kDamaged;
        else if ((m_bytes += got) > m_maxBytes)
            m_error = kTooLarge;
        else
            m_error = m_guard.feed(data, qsizetype(got));
        return m_error ? -1 : got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* m_file = nullptr;
    qint64 m_maxBytes;
    qint64 m_bytes = 0;
    MarkupGuard m_guard;
    int m_error = 0;
};

// One XML part of the package, parsed as it unpacks.
class XmlPart {
public:
    XmlPart(zip_t* zip, const char* name, qint64 maxBytes) : m_entry(zip, name, maxBytes) {
        x.setDevice(&m_entry);
    }

    bool exists() const { return m_entry.exists(); }
    // Moves to the next start element, end element or text; false at the end
    // of the part or when it is refused (see error()).
    bool next() {
        while (exists() && !m_error) {
            const QXmlStreamReader::TokenType token = x.readNext();
            if (x.hasError()) {
                m_error = m_entry.error() ? m_entry.error() : Workbook::kDamaged;
                return false;
            }
            switch (token) {
            case QXmlStreamReader::StartElement:
                if (++m_depth > Workbook::kMaxDepth || ++m_elements > kMaxElements) {
                    m_error = kTooLarge;
                    return false;
                }
                return true;
            case QXmlStreamReader::EndElement:
                --m_depth;
                return true;
            case QXmlStreamReader::Characters:
                return true;
            case QXmlStreamReader::EndDocument:
                return false;
            default:
                continue;
            }
        }
        return false;
    }
    // Whether the current token starts or ends an element of that name.
    bool starts(QLatin1String name) const { return x.isStartElement() && x.name() == name; }
    bool ends(QLatin1String name) const { return x.isEndElement() && x.name() == name; }
    int depth() const { return m_depth; }
    // 0 when the part was read to its end; kDamaged or TooLarge when refused.
    int error() const { return m_error; }
    void refuse(int code) { m_error = code; }

    // The texts of an element's <t> pieces (phonetic runs left out), from its
    // start to its end, appended to out: a shared or inline string.
    bool richText(QString& out, qsizetype maxSize) {
        const int depth = m_depth;
        int phonetic = 0, inText = 0;
        const qsizetype start = out.size();
        while (next() && m_depth >= depth) {
            if (x.isStartElement()) {
                phonetic += x.name() == QLatin1String("rPh");
                inText += x.name() == QLatin1String("t");
            } else if (x.isEndElement()) {
                phonetic -= x.name() == QLatin1String("rPh");
                inText -= x.name() == QLatin1String("t");
            } else if (inText > 0 && phonetic == 0) {
                out += x.text();
                if (out.size() - start > kMaxCellChars || out.size() > maxSize)
                    refuse(kTooLarge);
            }
        }
        return !m_error;
    }
    // The text of the current element up to its end.
    QString elementText() {
        const int depth = m_depth;
        QString text;
        while (next() && m_depth >= depth) {
            if (x.isCharacters())
                text += x.text();
            if (text.size() > kMaxCellChars)
                refuse(kTooLarge);
        }
        return text;
    }

    QXmlStreamReader x;

private:
    ZipEntry m_entry;
    int m_depth = 0;
    int m_elements = 0;
    int m_error = 0;
};

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

class XlsxWorkbook : public Workbook {
public:
    explicit XlsxWorkbook(zip_t* zip) : m_zip(zip) {}
    ~XlsxWorkbook() override { zip_discard(m_zip); }

    // Reads the workbook's sheet list, shared strings and styles.
    int load() {
        QHash<QString, QString> targets;
        XmlPart rels(m_zip, "xl/_rels/workbook.xml.rels", kMaxSmallPart);
        while (rels.next()) {
            if (rels.starts(QLatin1String("Relationship")) && targets.size() <= kMaxSheets * 4) {
                const QXmlStreamAttributes a = rels.x.attributes();
                QString target = a.value(QStringLiteral("Target")).toString();
                target = target.startsWith(QLatin1Char('/')) ? target.mid(1)
                                                             : QStringLiteral("xl/") + target;
                targets.insert(a.value(QStringLiteral("Id")).toString(), target);
            }
        }
        if (rels.error())
            return rels.error();
        XmlPart book(m_zip, "xl/workbook.xml", kMaxSmallPart);
        if (!book.exists())
            return int(Error::NotAWorkbook);
        while (book.next()) {
            if (book.starts(QLatin1String("workbookPr"))) {
                const QStringView v = book.x.attributes().value(QStringLiteral("date1904"));
                m_1904 = v == QLatin1String("1") || v == QLatin1String("true");
            } else if (book.starts(QLatin1String("sheet"))) {
                if (m_names.size() == kMaxSheets)
                    return kTooLarge;
                m_names << book.x.attributes().value(QStringLiteral("name")).toString();
                m_parts << targets.value(relationId(book.x.attributes()));
            }
        }
        if (book.error())
            return book.error();
        if (const int e = loadStrings())
            return e;
        return loadStyles();
    }

    QStringList sheetNames() const override { return m_names; }

protected:
    int readSheetAt(int index, SheetCells& cells, int maxRows, int maxCols) override {
        XmlPart x(m_zip, m_parts[index].toUtf8().constData(), kMaxPartBytes);
        if (!x.exists())
            return kDamaged;
        // The sheet's place of each shared string it uses, stored once.
        std::vector<SheetCells::TextRef> used(m_shared.size(), SheetCells::TextRef{0, -1});
        int row = 0, col = 0;
        while (x.next()) {
            if (x.starts(QLatin1String("row"))) {
                bool ok = false;
                const int r = x.x.attributes().value(QStringLiteral("r")).toInt(&ok);
                row = ok && r > 0 ? r : row + 1;
                col = 0;
                if (row > 1048576)
                    return int(Error::CellOutOfRange);
                if (maxRows >= 0 && row > maxRows)
                    break;
            } else if (x.starts(QLatin1String("c"))) {
                const QXmlStreamAttributes a = x.x.attributes();
                int r = row, c = col + 1;
                if (!parseReference(a.value(QStringLiteral("r")), &r, &c)) {
                    r = row;
                    c = col + 1;
                }
                col = c;
                if (r > 1048576 || c > 16384)
                    return int(Error::CellOutOfRange);
                const QString type = a.value(QStringLiteral("t")).toString();
                const int style = a.value(QStringLiteral("s")).toInt();
                QString value;
                const int shared = cellValue(x, type, style, value);
                if (x.error())
                    return x.error();
                if ((maxRows >= 0 && r > maxRows) || (maxCols >= 0 && c > maxCols))
                    continue;
                if (shared < 0) {
                    cells.set(r, c, value);
                } else {
                    SheetCells::TextRef& ref = used[shared];
                    if (ref.length < 0)
                        ref = cells.addText(sharedText(shared));
                    cells.setRef(r, c, ref);
                }
                if (cells.cellCount() > kMaxCells || cells.textSize() > kMaxTextChars)
                    return kTooLarge;
            }
        }
        return x.error();
    }

private:
    QStringView sharedText(int i) const {
        return QStringView(m_sharedText).mid(m_shared[i].offset, m_shared[i].length);
    }

    int loadStrings() {
        XmlPart x(m_zip, "xl/sharedStrings.xml", kMaxPartBytes);
        while (x.next()) {
            if (!x.starts(QLatin1String("si")))
                continue;
            if (m_shared.size() == size_t(kMaxSharedStrings))
                return kTooLarge;
            const qsizetype start = m_sharedText.size();
            if (!x.richText(m_sharedText, kMaxTextChars))
                break;
            m_shared.push_back({int(start), int(m_sharedText.size() - start)});
        }
        m_sharedText.squeeze();
        return x.error();
    }

    int loadStyles() {
        QHash<int, Shown> custom;
        XmlPart x(m_zip, "xl/styles.xml", kMaxSmallPart);
        bool inXfs = false;
        while (x.next()) {
            if (x.starts(QLatin1String("numFmt"))) {
                if (custom.size() > 65536)
                    return kTooLarge;
                const QXmlStreamAttributes a = x.x.attributes();
                const QStringView code = a.value(QStringLiteral("formatCode"));
                custom.insert(a.value(QStringLiteral("numFmtId")).toInt(),
                              numfmt::custom({reinterpret_cast<const char16_t*>(code.utf16()),
                                              size_t(code.size())}));
            } else if (x.starts(QLatin1String("cellXfs"))) {
                inXfs = true;
            } else if (x.ends(QLatin1String("cellXfs"))) {
                inXfs = false;
            } else if (inXfs && x.starts(QLatin1String("xf"))) {
                if (m_styles.size() > 65536)
                    return kTooLarge;
                const int id = x.x.attributes().value(QStringLiteral("numFmtId")).toInt();
                const auto it = custom.constFind(id);
                m_styles.push_back(it != custom.constEnd() ? *it : numfmt::builtin(id));
            }
        }
        return x.error();
    }

    // Reads a cell's content up to its end: the index of its shared string,
    // or -1 with its shown text in value.
    int cellValue(XmlPart& x, const QString& type, int style, QString& value) const {
        const int depth = x.depth();
        QString inlineText;
        while (x.next() && x.depth() >= depth) {
            if (x.starts(QLatin1String("v")))
                value = x.elementText();
            else if (x.starts(QLatin1String("is")))
                x.richText(inlineText, kMaxCellChars);
        }
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int i = value.toInt(&ok);
            value.clear();
            return ok && i >= 0 && size_t(i) < m_shared.size() ? i : -1;
        }
        if (type == QLatin1String("inlineStr")) {
            value = inlineText;
        } else if (type == QLatin1String("b")) {
            value = value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        } else if (type == QLatin1String("d")) {
            const QDateTime dt = QDateTime::fromString(value, Qt::ISODate);
            if (dt.isValid())
                value = dt.time() == QTime(0, 0)
                            ? dt.date().toString(Qt::ISODate)
                            : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        } else if (type != QLatin1String("str") && type != QLatin1String("e") && !value.isEmpty()) {
            bool ok = false;
            const double number = value.toDouble(&ok);
            if (ok) {
                const Shown shown =
                    style >= 0 && size_t(style) < m_styles.size() ? m_styles[style] : Shown::Number;
                QString date;
                if (shown != Shown::Number)
                    date = serialDateText(number, m_1904, shown == Shown::Time);
                value = date.isEmpty() ? generalNumberText(number) : date;
            }
        }
        return -1;
    }

    zip_t* m_zip;
    bool m_1904 = false;
    QStringList m_names;
    QStringList m_parts;
    QString m_sharedText; // every shared string, one after the other
    std::vector<SheetCells::TextRef> m_shared;
    std::vector<Shown> m_styles; // per cell style
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
