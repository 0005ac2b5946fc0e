#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>
#include <optional>

namespace tl {

// How the bytes of a text file are read.
enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Gb18030, Big5 };

// What the operator may choose; Auto detects the encoding from the bytes.
enum class EncodingChoice { Auto, Utf8, Gb18030, Big5, Utf16 };

// "UTF-8", "UTF-16LE", "UTF-16BE", "GB18030", "Big5".
QString encodingName(TextEncoding encoding);
// As the summary and the mapping dialog name it: "GB18030（自动识别）" when detected.
QString encodingText(TextEncoding encoding, bool detected);
// The choices in the order the mapping dialog lists them, with their names
// ("自动", "UTF-8", "GB18030", "Big5", "UTF-16").
const QList<EncodingChoice>& encodingChoices();
QString encodingChoiceName(EncodingChoice choice);
// A choice by the name the command-line tool takes: auto, utf-8, gb18030,
// big5, utf-16 (any case; utf8, gbk and utf16 too).
std::optional<EncodingChoice> encodingChoiceNamed(const QString& name);

// Reads a text file as characters, decoding it chunk by chunk; the whole file
// is never held in memory. Bytes that are not valid in the encoding read as
// U+FFFD.
//
// Detection: a UTF-8 or UTF-16 byte-order mark decides. Without one, zero
// bytes at only every other place mean UTF-16; text that is valid UTF-8 apart
// from a few stray bytes is UTF-8; otherwise uchardet judges the lines that
// hold bytes beyond ASCII (GB18030, Big5, UTF-8), and GB18030, which reads
// every GBK file, is taken when it cannot tell.
class TextFileReader {
public:
    TextFileReader();
    ~TextFileReader();
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    // Opens the file and settles its encoding (one quick pass over the bytes).
    // False when it cannot be opened or read.
    bool open(const QString& path, EncodingChoice choice = EncodingChoice::Auto);
    TextEncoding encoding() const { return m_encoding; }
    bool detected() const { return m_detected; }
    // False for a file holding a NUL character in its encoding: such a file
    // is not text.
    bool isText() const { return m_text; }
    // Appends the next decoded characters; false at the end of the file.
    bool readMore(QString& out);
    bool atEnd() const;
    // A read failed part-way (the file vanished or the disk failed).
    bool failed() const { return m_failed; }
    qint64 size() const { return m_size; } // as it was when opened
    qint64 position() const { return m_file.pos(); }

private:
    class Decoder;
    bool hasNulUnit(qint64 from);
    QFile m_file;
    TextEncoding m_encoding = TextEncoding::Utf8;
    bool m_detected = true;
    bool m_text = true;
    std::unique_ptr<Decoder> m_decoder;
    qint64 m_size = 0;
    bool m_failed = false;
    bool m_done = false;
};

} // namespace tl
