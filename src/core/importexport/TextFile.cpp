#include "core/importexport/TextFile.h"

#include <QStringDecoder>
#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <uchardet.h>

namespace tl {

namespace {
constexpr qint64 kChunk = 256 * 1024;
constexpr qsizetype kSample = 64 * 1024;

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

bool isUtf16(TextEncoding e) {
    return e == TextEncoding::Utf16LE || e == TextEncoding::Utf16BE;
}

std::optional<TextEncoding> byteOrderMark(const QByteArray& head, int* length) {
    *length = head.startsWith("\xEF\xBB\xBF") ? 3 : 2;
    if (head.startsWith("\xEF\xBB\xBF"))
        return TextEncoding::Utf8;
    if (head.startsWith("\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (head.startsWith("\xFE\xFF"))
        return TextEncoding::Utf16BE;
    *length = 0;
    return std::nullopt;
}

// What one pass over a file's bytes tells about its encoding.
class ByteSurvey {
public:
    void add(const char* data, qsizetype size);
    void finish() { invalid += !m_carry.isEmpty(); }

    bool nulBytes = false;
    qint64 valid = 0;   // multi-byte UTF-8 sequences
    qint64 invalid = 0; // bytes beyond ASCII that start no valid UTF-8 sequence
    // Zero bytes at even and odd places of the first chunk, how many of them
    // stand beside a control character other than a tab or line break (which
    // UTF-16 text does not hold), and the chunk's size.
    qint64 zeros[2] = {0, 0};
    qint64 controls[2] = {0, 0};
    qint64 headSize = -1;
    QByteArray sample; // lines holding bytes beyond ASCII, for uchardet

private:
    void sampleLine(const char* data, qsizetype size, qsizetype at);
    QByteArray m_carry; // a sequence cut by the end of the last chunk
    qsizetype m_sampled = 0;
};

void ByteSurvey::add(const char* data, qsizetype size) {
    if (!nulBytes && memchr(data, 0, size_t(size)))
        nulBytes = true;
    if (headSize < 0) {
        headSize = size;
        for (qsizetype i = 0; nulBytes && i + 1 < size; i += 2) {
            for (int side = 0; side < 2; ++side) {
                if (data[i + side] != 0)
                    continue;
                const char beside = data[i + 1 - side];
                ++zeros[side];
                controls[side] +=
                    uchar(beside) < 0x20 && beside != '\t' && beside != '\n' && beside != '\r';
            }
        }
    }
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    qsizetype i = 0;
    if (!m_carry.isEmpty()) {
        const int n = sequenceLength(uchar(m_carry[0]));
        const qsizetype need = n - m_carry.size();
        if (size < need) {
            m_carry.append(data, size);
            return;
        }
        const QByteArray joined = m_carry + QByteArray(data, need);
        m_carry.clear();
        if (validSequence(reinterpret_cast<const unsigned char*>(joined.constData()), n)) {
            ++valid;
            i = need;
        } else {
            ++invalid;
        }
    }
    m_sampled = 0;
    while (i < size) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        if (i >= m_sampled && sample.size() < kSample)
            sampleLine(data, size, i);
        const int n = sequenceLength(p[i]);
        if (n > 0 && i + n > size) {
            m_carry = QByteArray(data + i, size - i);
            break;
        }
        if (n > 0 && validSequence(p + i, n)) {
            ++valid;
            i += n;
        } else {
            ++invalid;
            ++i;
        }
    }
}

// Adds the line around data[at] to the sample.
void ByteSurvey::sampleLine(const char* data, qsizetype size, qsizetype at) {
    qsizetype start = at;
    while (start > m_sampled && data[start - 1] != '\n')
        --start;
    const void* lf = memchr(data + at, '\n', size_t(size - at));
    const qsizetype end = lf ? static_cast<const char*>(lf) - data + 1 : size;
    sample.append(data + start, end - start);
    m_sampled = end;
}

// Text in UTF-16 has a zero byte in every ASCII character, always on the same
// side, and most of these files are commas, digits and line breaks.
std::optional<TextEncoding> utf16ByZeros(const ByteSurvey& s) {
    const qint64 units = s.headSize / 2;
    for (int side = 0; side < 2; ++side) {
        if (s.zeros[1 - side] == 0 && s.controls[side] == 0 && s.zeros[side] >= 8 &&
            s.zeros[side] * 3 >= units)
            return side == 0 ? TextEncoding::Utf16BE : TextEncoding::Utf16LE;
    }
    return std::nullopt;
}

std::optional<TextEncoding> judgedByUchardet(const QByteArray& sample) {
    const std::unique_ptr<uchardet, void (*)(uchardet_t)> ud(uchardet_new(), uchardet_delete);
    if (!ud || uchardet_handle_data(ud.get(), sample.constData(), size_t(sample.size())) != 0)
        return std::nullopt;
    uchardet_data_end(ud.get());
    const QByteArray name = QByteArray(uchardet_get_charset(ud.get())).toUpper();
    if (name == "UTF-8")
        return TextEncoding::Utf8;
    if (name.startsWith("GB"))
        return TextEncoding::Gb18030;
    if (name == "BIG5")
        return TextEncoding::Big5;
    return std::nullopt;
}

TextEncoding detect(const ByteSurvey& s) {
    if (const std::optional<TextEncoding> wide = utf16ByZeros(s))
        return *wide;
    // A few stray bytes (a Latin-1 "é" pasted into a name) do not make a UTF-8
    // file anything else; legacy Chinese text breaks UTF-8 several times for
    // every sequence that happens to be valid.
    if (s.invalid * 4 <= s.valid)
        return TextEncoding::Utf8;
    return judgedByUchardet(s.sample).value_or(TextEncoding::Gb18030);
}

// How many bytes at the end of the text begin a character that the next
// chunk completes.
qsizetype unfinishedTail(const QByteArray& text, TextEncoding e) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.constData());
    const qsizetype n = text.size();
    if (e == TextEncoding::Utf8) {
        for (qsizetype k = n - 1; k >= 0 && k >= n - 4; --k) {
            if ((p[k] & 0xC0) != 0x80)
                return sequenceLength(p[k]) > n - k ? n - k : 0;
        }
        return 0;
    }
    qsizetype keep = n % 2;
    if (n - keep >= 2) {
        const unsigned char* u = p + n - keep - 2;
        const int high = e == TextEncoding::Utf16BE ? u[0] : u[1];
        if (high >= 0xD8 && high <= 0xDB)
            keep += 2; // a high surrogate waits for its low half
    }
    return keep;
}
} // namespace

QString encodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16BE");
    case TextEncoding::Gb18030:
        return QStringLiteral("GB18030");
    case TextEncoding::Big5:
        return QStringLiteral("Big5");
    }
    return {};
}

QString encodingText(TextEncoding encoding, bool detected) {
    return encodingName(encoding) + (detected ? QStringLiteral("（自动识别）") : QString());
}

const QList<EncodingChoice>& encodingChoices() {
    static const QList<EncodingChoice> list{EncodingChoice::Auto, EncodingChoice::Utf8,
                                            EncodingChoice::Gb18030, EncodingChoice::Big5,
                                            EncodingChoice::Utf16};
    return list;
}

QString encodingChoiceName(EncodingChoice choice) {
    switch (choice) {
    case EncodingChoice::Auto:
        return QStringLiteral("自动");
    case EncodingChoice::Utf8:
        return QStringLiteral("UTF-8");
    case EncodingChoice::Gb18030:
        return QStringLiteral("GB18030");
    case EncodingChoice::Big5:
        return QStringLiteral("Big5");
    case EncodingChoice::Utf16:
        return QStringLiteral("UTF-16");
    }
    return {};
}

std::optional<EncodingChoice> encodingChoiceNamed(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("auto"))
        return EncodingChoice::Auto;
    if (n == QLatin1String("utf-8") || n == QLatin1String("utf8"))
        return EncodingChoice::Utf8;
    if (n == QLatin1String("gb18030") || n == QLatin1String("gbk"))
        return EncodingChoice::Gb18030;
    if (n == QLatin1String("big5"))
        return EncodingChoice::Big5;
    if (n == QLatin1String("utf-16") || n == QLatin1String("utf16"))
        return EncodingChoice::Utf16;
    return std::nullopt;
}

// Decodes chunks in one encoding. A character cut by a chunk boundary waits
// for the next chunk whole, so that what follows an invalid sequence at the
// boundary still reads.
class TextFileReader::Decoder {
public:
    explicit Decoder(TextEncoding e) : m_encoding(e) {
        if (e == TextEncoding::Gb18030 || e == TextEncoding::Big5) {
            const bool little = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
            m_iconv = iconv_open(little ? "UTF-16LE" : "UTF-16BE",
                                 e == TextEncoding::Gb18030 ? "GB18030" : "CP950");
        } else {
            // Each piece handed over is whole; a mark inside the text is a character.
            m_qt = QStringDecoder(e == TextEncoding::Utf8      ? QStringConverter::Utf8
                                  : e == TextEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                               : QStringConverter::Utf16BE,
                                  QStringConverter::Flag::Stateless |
                                      QStringConverter::Flag::ConvertInitialBom);
        }
    }
    ~Decoder() {
        if (m_iconv != iconv_t(-1))
            iconv_close(m_iconv);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    bool valid() const { return m_qt.isValid() || m_iconv != iconv_t(-1); }

    void decode(const QByteArray& chunk, bool last, QString& out) {
        QByteArray in = m_pending.isEmpty() ? chunk : m_pending + chunk;
        m_pending.clear();
        if (m_iconv == iconv_t(-1)) {
            if (!last) {
                const qsizetype keep = unfinishedTail(in, m_encoding);
                m_pending = in.right(keep);
                in.chop(keep);
            }
            out += m_qt.decode(in);
            return;
        }
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

bool TextFileReader::open(const QString& path, EncodingChoice choice) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return false;
    m_size = m_file.size();
    int markLength = 0;
    const std::optional<TextEncoding> marked = byteOrderMark(m_file.peek(4), &markLength);
    ByteSurvey survey;
    while (!m_file.atEnd()) {
        const QByteArray chunk = m_file.read(kChunk);
        if (chunk.isEmpty()) {
            if (m_file.error() != QFileDevice::NoError)
                return false;
            break;
        }
        survey.add(chunk.constData(), chunk.size());
    }
    survey.finish();

    m_detected = choice == EncodingChoice::Auto;
    switch (choice) {
    case EncodingChoice::Auto:
        m_encoding = marked ? *marked : detect(survey);
        break;
    case EncodingChoice::Utf8:
        m_encoding = TextEncoding::Utf8;
        break;
    case EncodingChoice::Gb18030:
        m_encoding = TextEncoding::Gb18030;
        break;
    case EncodingChoice::Big5:
        m_encoding = TextEncoding::Big5;
        break;
    case EncodingChoice::Utf16:
        m_encoding = marked && isUtf16(*marked)
                         ? *marked
                         : utf16ByZeros(survey).value_or(TextEncoding::Utf16LE);
        break;
    }
    const int skip = marked == m_encoding ? markLength : 0;
    // A NUL is no character of any text. Every other byte of UTF-16 text is
    // zero, so there only a zero unit counts.
    m_text = !survey.nulBytes || (isUtf16(m_encoding) && !hasNulUnit(skip));
    if (!m_file.seek(skip))
        return false;
    m_decoder = std::make_unique<Decoder>(m_encoding);
    return m_decoder->valid();
}

bool TextFileReader::hasNulUnit(qint64 from) {
    if (!m_file.seek(from))
        return true;
    while (!m_file.atEnd()) {
        const QByteArray chunk = m_file.read(kChunk); // even, so units stay aligned
        if (chunk.isEmpty())
            return m_file.error() != QFileDevice::NoError;
        for (qsizetype i = 0; i + 1 < chunk.size(); i += 2)
            if (chunk[i] == 0 && chunk[i + 1] == 0)
                return true;
    }
    return false;
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
