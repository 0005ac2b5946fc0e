#include "importexport/TextFile.h"

#include <QStringDecoder>
#include <QSysInfo>
#include <cerrno>
#include <iconv.h>

namespace tl {

namespace {
constexpr qint64 kChunk = 256 * 1024;

// Length of the UTF-8 sequence a lead byte starts; 0 for a byte that cannot lead.
int sequenceLength(unsigned char c) {
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return 2;
    if (c >= 0xE0 && c <= 0xEF)
        return 3;
    if (c >= 0xF0 && c <= 0xF4)
        return 4;
    return 0;
}

bool validSequence(const unsigned char* p, int n) {
    for (int i = 1; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return false;
    if (n == 3) {
        if (p[0] == 0xE0 && p[1] < 0xA0)
            return false; // overlong
        if (p[0] == 0xED && p[1] >= 0xA0)
            return false; // surrogate
    }
    if (n == 4) {
        if (p[0] == 0xF0 && p[1] < 0x90)
            return false;
        if (p[0] == 0xF4 && p[1] >= 0x90)
            return false;
    }
    return true;
}
} // namespace

bool isValidUtf8(const char* data, qsizetype size, QByteArray* carry) {
    QByteArray joined;
    if (carry && !carry->isEmpty()) {
        joined = *carry + QByteArray(data, size);
        data = joined.constData();
        size = joined.size();
        carry->clear();
    }
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    qsizetype i = 0;
    while (i < size) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int n = sequenceLength(p[i]);
        if (n == 0)
            return false;
        if (i + n > size) {
            // A sequence cut by the chunk boundary is judged with the next chunk.
            if (!carry)
                return false;
            *carry = QByteArray(data + i, size - i);
            return true;
        }
        if (!validSequence(p + i, n))
            return false;
        i += n;
    }
    return true;
}

TextEncoding detectEncoding(const QByteArray& head, bool wholeFileIsUtf8, int* bomLength) {
    int bom = 0;
    TextEncoding e = wholeFileIsUtf8 ? TextEncoding::Utf8 : TextEncoding::Gb18030;
    if (head.startsWith("\xEF\xBB\xBF")) {
        bom = 3;
        e = TextEncoding::Utf8;
    } else if (head.startsWith("\xFF\xFE")) {
        bom = 2;
        e = TextEncoding::Utf16LE;
    } else if (head.startsWith("\xFE\xFF")) {
        bom = 2;
        e = TextEncoding::Utf16BE;
    }
    if (bomLength)
        *bomLength = bom;
    return e;
}

// Decodes chunks in one encoding, keeping a sequence cut by a chunk boundary
// for the next chunk.
class TextFileReader::Decoder {
public:
    explicit Decoder(TextEncoding e) : m_encoding(e) {
        if (e == TextEncoding::Gb18030) {
            const bool little = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
            m_iconv = iconv_open(little ? "UTF-16LE" : "UTF-16BE", "GB18030");
        } else {
            m_qt = QStringDecoder(e == TextEncoding::Utf8      ? QStringConverter::Utf8
                                  : e == TextEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                               : QStringConverter::Utf16BE);
        }
    }
    ~Decoder() {
        if (m_iconv != iconv_t(-1))
            iconv_close(m_iconv);
    }
    bool valid() const {
        return m_encoding == TextEncoding::Gb18030 ? m_iconv != iconv_t(-1) : m_qt.isValid();
    }

    void decode(const QByteArray& chunk, bool last, QString& out) {
        if (m_encoding != TextEncoding::Gb18030) {
            out += m_qt.decode(chunk);
            return;
        }
        QByteArray in = m_pending + chunk;
        m_pending.clear();
        // One input byte never gives more than one UTF-16 unit.
        const qsizetype start = out.size();
        out.resize(start + in.size());
        char* inp = in.data();
        size_t inLeft = size_t(in.size());
        char* outp = reinterpret_cast<char*>(out.data() + start);
        size_t outLeft = size_t(in.size()) * 2;
        while (inLeft > 0) {
            if (iconv(m_iconv, &inp, &inLeft, &outp, &outLeft) != size_t(-1))
                break;
            if (errno == EINVAL && !last) {
                m_pending = QByteArray(inp, qsizetype(inLeft));
                break;
            }
            if (errno != EILSEQ && errno != EINVAL)
                break;
            // A byte that starts no valid character reads as U+FFFD.
            const char16_t replacement = 0xFFFD;
            memcpy(outp, &replacement, 2);
            outp += 2;
            outLeft -= 2;
            ++inp;
            --inLeft;
        }
        out.resize(start + (outp - reinterpret_cast<char*>(out.data() + start)) / 2);
    }

private:
    TextEncoding m_encoding;
    QStringDecoder m_qt;
    iconv_t m_iconv = iconv_t(-1);
    QByteArray m_pending;
};

TextFileReader::TextFileReader() = default;
TextFileReader::~TextFileReader() = default;

bool TextFileReader::open(const QString& path) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return false;
    m_size = m_file.size();
    const QByteArray head = m_file.peek(4);
    int bom = 0;
    bool utf8 = true;
    if (detectEncoding(head, true, &bom) == TextEncoding::Utf8 && bom == 0) {
        QByteArray carry;
        while (utf8 && !m_file.atEnd()) {
            const QByteArray chunk = m_file.read(kChunk);
            if (chunk.isEmpty() && m_file.error() != QFileDevice::NoError)
                return false;
            utf8 = isValidUtf8(chunk.constData(), chunk.size(), &carry);
        }
        utf8 = utf8 && carry.isEmpty();
        if (!m_file.seek(0))
            return false;
    }
    m_encoding = detectEncoding(head, utf8, &bom);
    if (bom > 0 && !m_file.seek(bom))
        return false;
    m_decoder = std::make_unique<Decoder>(m_encoding);
    return m_decoder->valid();
}

bool TextFileReader::atEnd() const {
    return m_done;
}

bool TextFileReader::readMore(QString& out) {
    if (m_done || !m_decoder)
        return false;
    const QByteArray chunk = m_file.read(kChunk);
    if (chunk.isEmpty() && m_file.error() != QFileDevice::NoError)
        m_failed = true;
    const bool last = m_file.atEnd() || chunk.isEmpty();
    m_decoder->decode(chunk, last, out);
    if (last)
        m_done = true;
    return !chunk.isEmpty();
}

} // namespace tl
