#include "support/XlsFile.h"

#include <QFile>
#include <QtEndian>
#include <cstring>

namespace tl::bench {

namespace {

constexpr quint16 kTextXf = 15; // the default cell format
constexpr quint16 kDateXf = 16; // dd/mm/yyyy
constexpr int kMaxRecord = 8224;

template <typename T> void put(QByteArray& out, T value) {
    const T le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

void record(QByteArray& out, quint16 type, const QByteArray& body) {
    put<quint16>(out, type);
    put<quint16>(out, quint16(body.size()));
    out += body;
}

QByteArray bof(quint16 kind) {
    QByteArray b;
    put<quint16>(b, 0x0600);
    put<quint16>(b, kind);
    put<quint16>(b, 0x0DBB);
    put<quint16>(b, 0x07CC);
    put<quint32>(b, 0);
    put<quint32>(b, 6);
    return b;
}

QByteArray utf16(const QString& s) {
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

QByteArray xf(quint16 format, bool style) {
    QByteArray b;
    put<quint16>(b, 0);                       // font
    put<quint16>(b, format);                  // number format
    put<quint16>(b, style ? 0xFFF5 : 0x0001); // locked; a style has no parent
    put<quint16>(b, 0x0020);                  // aligned bottom
    b += QByteArray(12, '\0');                // no borders, no fill
    return b;
}

// The compound file that holds one stream named "Workbook" (at least 4 KB,
// so that it lives in ordinary 512-byte sectors).
QByteArray compoundFile(QByteArray stream) {
    constexpr quint32 kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFat = 0xFFFFFFFD, kDifat = 0xFFFFFFFC;
    const quint32 size = quint32(stream.size());
    stream.resize((stream.size() + 511) / 512 * 512, '\0');
    const quint32 data = quint32(stream.size() / 512);
    // FAT sectors, and DIFAT sectors for the FAT sectors past the header's 109.
    quint32 fats = 1, difats = 0;
    for (;;) {
        const quint32 needFats = (data + 1 + fats + difats + 127) / 128;
        const quint32 needDifats = needFats > 109 ? (needFats - 109 + 126) / 127 : 0;
        if (needFats == fats && needDifats == difats)
            break;
        fats = needFats;
        difats = needDifats;
    }
    // Sectors: DIFAT, FAT, the directory, then the stream.
    const quint32 firstFat = difats, dir = difats + fats, first = dir + 1;
    std::vector<quint32> fat(size_t(fats) * 128, kFree);
    for (quint32 i = 0; i < difats; ++i)
        fat[i] = kDifat;
    for (quint32 i = 0; i < fats; ++i)
        fat[firstFat + i] = kFat;
    fat[dir] = kEnd;
    for (quint32 i = 0; i < data; ++i)
        fat[first + i] = i + 1 < data ? first + i + 1 : kEnd;

    QByteArray out;
    out += QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    out += QByteArray(16, '\0');
    put<quint16>(out, 0x003E);
    put<quint16>(out, 0x0003);
    put<quint16>(out, 0xFFFE);
    put<quint16>(out, 9); // 512-byte sectors
    put<quint16>(out, 6); // 64-byte mini sectors
    out += QByteArray(6, '\0');
    put<quint32>(out, 0);
    put<quint32>(out, fats);
    put<quint32>(out, dir);
    put<quint32>(out, 0);
    put<quint32>(out, 4096);
    put<quint32>(out, kEnd); // no mini FAT
    put<quint32>(out, 0);
    put<quint32>(out, difats ? 0 : kEnd);
    put<quint32>(out, difats);
    for (quint32 i = 0; i < 109; ++i)
        put<quint32>(out, i < fats ? firstFat + i : kFree);
    for (quint32 d = 0; d < difats; ++d) {
        for (quint32 i = 0; i < 127; ++i) {
            const quint32 f = 109 + d * 127 + i;
            put<quint32>(out, f < fats ? firstFat + f : kFree);
        }
        put<quint32>(out, d + 1 < difats ? d + 1 : kEnd);
    }
    for (quint32 v : fat)
        put<quint32>(out, v);
    auto entry = [&](const QString& name, quint8 type, quint32 child, quint32 start,
                     quint32 bytes) {
        QByteArray e = utf16(name + QChar(0));
        e.resize(64, '\0');
        put<quint16>(e, quint16((name.size() + 1) * 2));
        e += char(type);
        e += char(1); // black
        put<quint32>(e, kFree);
        put<quint32>(e, kFree);
        put<quint32>(e, child);
        e += QByteArray(16 + 4 + 16, '\0'); // class, state, times
        put<quint32>(e, start);
        put<quint32>(e, bytes);
        put<quint32>(e, 0);
        out += e;
    };
    entry(QStringLiteral("Root Entry"), 5, 1, kEnd, 0);
    entry(QStringLiteral("Workbook"), 2, kFree, first, size);
    out += QByteArray(2 * 128, '\0');
    out += stream;
    return out;
}

} // namespace

void XlsFile::addSheet(const QString& name) {
    m_sheets.push_back({name, {}, 0, 0});
}

void XlsFile::cell(quint16 type, int row, int col, quint16 xf, const QByteArray& value) {
    Sheet& s = m_sheets.back();
    QByteArray b;
    put<quint16>(b, quint16(row));
    put<quint16>(b, quint16(col));
    put<quint16>(b, xf);
    b += value;
    record(s.cells, type, b);
    s.rows = std::max(s.rows, row + 1);
    s.cols = std::max(s.cols, col + 1);
}

void XlsFile::text(int row, int col, const QString& text) {
    auto it = m_index.constFind(text);
    if (it == m_index.constEnd()) {
        it = m_index.insert(text, int(m_strings.size()));
        m_strings << text;
    }
    ++m_uses;
    QByteArray v;
    put<quint32>(v, quint32(*it));
    cell(0x00FD, row, col, kTextXf, v); // LABELSST
}

void XlsFile::number(int row, int col, double value) {
    QByteArray v;
    put<double>(v, value);
    cell(0x0203, row, col, kTextXf, v); // NUMBER
}

void XlsFile::date(int row, int col, double serial) {
    QByteArray v;
    put<double>(v, serial);
    cell(0x0203, row, col, kDateXf, v);
}

QByteArray XlsFile::bytes() const {
    QByteArray globals;
    record(globals, 0x0809, bof(0x0005));
    QByteArray b;
    put<quint16>(b, 1200); // texts in UTF-16
    record(globals, 0x0042, b);
    b.clear();
    put<quint16>(b, 0); // the 1900 date system
    record(globals, 0x0022, b);
    b.clear();
    const QByteArray code = "dd/mm/yyyy";
    put<quint16>(b, 164);
    put<quint16>(b, quint16(code.size()));
    b += char(0);
    b += code;
    record(globals, 0x041E, b); // FORMAT
    for (int i = 0; i < 15; ++i)
        record(globals, 0x00E0, xf(0, true));
    record(globals, 0x00E0, xf(0, false));
    record(globals, 0x00E0, xf(164, false));
    // Spare cell formats: the stream must fill at least 4 KB.
    while (globals.size() < 4096)
        record(globals, 0x00E0, xf(0, false));
    std::vector<qsizetype> positions;
    for (const Sheet& s : m_sheets) {
        b.clear();
        put<quint32>(b, 0); // the sheet's offset, set below
        b += char(0);
        b += char(0);
        b += char(s.name.size());
        b += char(1);
        b += utf16(s.name);
        positions.push_back(globals.size() + 4);
        record(globals, 0x0085, b); // BOUNDSHEET
    }
    // The shared strings: SST, then CONTINUE records; no string is split.
    QByteArray sst;
    put<quint32>(sst, quint32(m_uses));
    put<quint32>(sst, quint32(m_strings.size()));
    quint16 type = 0x00FC;
    for (const QString& s : m_strings) {
        QByteArray one;
        put<quint16>(one, quint16(s.size()));
        one += char(1);
        one += utf16(s);
        if (sst.size() + one.size() > kMaxRecord) {
            record(globals, type, sst);
            type = 0x003C;
            sst.clear();
        }
        sst += one;
    }
    record(globals, type, sst);
    record(globals, 0x000A, {});

    QByteArray stream = globals;
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        const Sheet& s = m_sheets[i];
        const quint32 at = qToLittleEndian(quint32(stream.size()));
        std::memcpy(stream.data() + positions[i], &at, 4);
        record(stream, 0x0809, bof(0x0010));
        b.clear();
        put<quint32>(b, 0);
        put<quint32>(b, quint32(s.rows));
        put<quint16>(b, 0);
        put<quint16>(b, quint16(s.cols));
        put<quint16>(b, 0);
        record(stream, 0x0200, b); // DIMENSIONS
        stream += s.cells;
        record(stream, 0x000A, {});
    }
    return compoundFile(stream);
}

bool XlsFile::save(const QString& path) const {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes()) >= 0 && f.flush();
}

} // namespace tl::bench
