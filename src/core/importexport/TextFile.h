#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

namespace tl {

// How the bytes of a text file are read.
enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Gb18030 };

// The encoding of a file's bytes: a UTF-8 or UTF-16 byte-order mark decides;
// without one, text that is valid UTF-8 is UTF-8 and anything else GB18030
// (which reads every GBK file as GBK). bomLength receives the mark's size.
TextEncoding detectEncoding(const QByteArray& head, bool wholeFileIsUtf8, int* bomLength);
bool isValidUtf8(const char* data, qsizetype size, QByteArray* carry);

// Reads a text file as characters, decoding it chunk by chunk in its detected
// encoding; the whole file is never held in memory. Bytes that are not valid
// in the encoding read as U+FFFD.
class TextFileReader {
public:
    TextFileReader();
    ~TextFileReader();
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    // Opens the file and detects its encoding (one quick pass over the bytes
    // when there is no byte-order mark). False when it cannot be opened or read.
    bool open(const QString& path);
    TextEncoding encoding() const { return m_encoding; }
    // Appends the next decoded characters; false at the end of the file.
    bool readMore(QString& out);
    bool atEnd() const;
    // A read failed part-way (the file vanished or the disk failed).
    bool failed() const { return m_failed; }
    qint64 size() const { return m_size; } // as it was when opened
    qint64 position() const { return m_file.pos(); }

private:
    class Decoder;
    QFile m_file;
    TextEncoding m_encoding = TextEncoding::Utf8;
    std::unique_ptr<Decoder> m_decoder;
    qint64 m_size = 0;
    bool m_failed = false;
    bool m_done = false;
};

} // namespace tl
