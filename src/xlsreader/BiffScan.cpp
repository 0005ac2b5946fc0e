#include "BiffScan.h"

#include <cstring>
#include <unordered_map>

namespace tl::xls {

namespace {

constexpr std::uint32_t kEnd = 0xFFFFFFFE;

std::uint32_t u32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
unsigned u16(const unsigned char* p) {
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}

// The compound file around the workbook stream: its sectors and its FAT.
struct Container {
    const unsigned char* f = nullptr;
    std::size_t size = 0, sector = 0, sectors = 0;
    std::vector<std::uint32_t> fat;

    const unsigned char* at(std::uint32_t n) const {
        return n + 1 < sectors ? f + (std::size_t(n) + 1) * sector : nullptr;
    }

    // The header; false when the file is no compound file we read.
    bool readHeader(const std::string& file) {
        f = reinterpret_cast<const unsigned char*>(file.data());
        size = file.size();
        if (size < 512 || std::memcmp(f, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) != 0)
            return false;
        const unsigned shift = u16(f + 0x1E), miniShift = u16(f + 0x20);
        if ((shift != 9 && shift != 12) || miniShift != 6)
            return false;
        sector = std::size_t(1) << shift;
        sectors = size / sector; // the header counts as one
        return true;
    }

    // The FAT, from the header's sector list and the DIFAT chain after it.
    bool readFat() {
        std::vector<std::uint32_t> fatSectors;
        const std::uint32_t fats = u32(f + 0x2C);
        if (fats > sectors)
            return false;
        for (unsigned i = 0; i < 109 && fatSectors.size() < fats; ++i)
            fatSectors.push_back(u32(f + 0x4C + 4 * i));
        for (std::uint32_t d = u32(f + 0x44), hops = 0; fatSectors.size() < fats; ++hops) {
            const unsigned char* p = at(d);
            if (!p || hops > sectors)
                return false;
            for (std::size_t i = 0; i + 1 < sector / 4 && fatSectors.size() < fats; ++i)
                fatSectors.push_back(u32(p + 4 * i));
            d = u32(p + sector - 4);
        }
        fat.reserve(fatSectors.size() * sector / 4);
        for (std::uint32_t s : fatSectors) {
            const unsigned char* p = at(s);
            if (!p)
                return false;
            for (std::size_t i = 0; i < sector / 4; ++i)
                fat.push_back(u32(p + 4 * i));
        }
        return true;
    }

    // A chain of sectors; empty when it leaves the file or loops.
    static std::vector<std::uint32_t>
    chain(std::uint32_t start, const std::vector<std::uint32_t>& table, std::size_t limit) {
        std::vector<std::uint32_t> out;
        for (std::uint32_t s = start; s != kEnd; s = table[s]) {
            if (s >= table.size() || s >= limit || out.size() >= table.size())
                return std::vector<std::uint32_t>();
            out.push_back(s);
        }
        return out;
    }
    std::vector<std::uint32_t> chain(std::uint32_t start) const {
        return chain(start, fat, sectors - 1);
    }

    // The directory: the root entry (0) holds the mini stream.
    std::string directory() const {
        std::string dir;
        for (std::uint32_t s : chain(u32(f + 0x30)))
            dir.append(reinterpret_cast<const char*>(at(s)), sector);
        return dir;
    }
};

// The directory entry of the workbook stream, or null.
const unsigned char* bookEntry(const std::string& dir) {
    const auto* d = reinterpret_cast<const unsigned char*>(dir.data());
    for (std::size_t e = 0; e + 128 <= dir.size(); e += 128) {
        const unsigned char* entry = d + e;
        if (entry[66] != 2)
            continue;
        std::u16string name;
        for (unsigned i = 0; i + 2 < 64 && u16(entry + i); i += 2)
            name += char16_t(u16(entry + i));
        if (name == u"Workbook" || name == u"Book")
            return entry;
    }
    return nullptr;
}

} // namespace

bool BiffScan::readStream(const std::string& file) {
    Container c;
    if (!c.readHeader(file) || !c.readFat())
        return false;
    const std::string dir = c.directory();
    const unsigned char* book = bookEntry(dir);
    if (dir.size() < 128 || !book)
        return false;
    const auto* d = reinterpret_cast<const unsigned char*>(dir.data());
    const std::uint32_t start = u32(book + 116), length = u32(book + 120);
    if (length > c.size)
        return false;
    if (length >= u32(c.f + 0x38)) { // in ordinary sectors
        m_unit = unsigned(c.sector);
        for (std::uint32_t s : c.chain(start))
            m_unitAt.push_back((std::uint64_t(s) + 1) * c.sector);
    } else { // in mini sectors inside the root entry's stream
        std::vector<std::uint32_t> miniFat;
        for (std::uint32_t s : c.chain(u32(c.f + 0x3C)))
            for (std::size_t i = 0; i < c.sector / 4; ++i)
                miniFat.push_back(u32(c.at(s) + 4 * i));
        const std::vector<std::uint32_t> root = c.chain(u32(d + 116));
        m_unit = 64;
        for (std::uint32_t m : Container::chain(start, miniFat, root.size() * c.sector / 64))
            m_unitAt.push_back((std::uint64_t(root[m * 64 / c.sector]) + 1) * c.sector +
                               m * 64 % c.sector);
    }
    if (std::uint64_t(m_unitAt.size()) * m_unit < length)
        return false;
    m_stream.reserve(length);
    for (std::size_t i = 0; m_stream.size() < length; ++i)
        m_stream.append(file, m_unitAt[i], std::min<std::size_t>(m_unit, length - m_stream.size()));
    return true;
}

bool BiffScan::record(std::size_t pos, unsigned& type, const unsigned char*& body,
                      unsigned& length) const {
    if (pos + 4 > m_stream.size())
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(m_stream.data()) + pos;
    type = u16(p);
    length = u16(p + 2);
    body = p + 4;
    return pos + 4 + length <= m_stream.size();
}

bool BiffScan::scan(const std::string& file) {
    if (!readStream(file))
        return false;
    unsigned type = 0, length = 0;
    const unsigned char* b = nullptr;
    if (!record(0, type, b, length) || type != 0x0809 || length < 4)
        return false;
    const bool biff8 = u16(b) == 0x0600;
    if (!biff8 && u16(b) != 0x0500)
        return false;
    std::unordered_map<unsigned, numfmt::Shown> formats;
    std::vector<unsigned> xfFormats;
    for (std::size_t pos = 0; record(pos, type, b, length); pos += 4 + length) {
        if (type == 0x000A) // the end of the global records
            break;
        if (type == 0x0022 && length >= 2) { // DATEMODE
            m_1904 = u16(b) == 1;
        } else if (type == 0x041E && length >= 3) { // FORMAT
            std::u16string code;
            if (biff8 && length >= 5) {
                const unsigned count = u16(b + 2), flags = b[4];
                std::size_t at = 5 + (flags & 0x08 ? 2 : 0) + (flags & 0x04 ? 4 : 0);
                const std::size_t wide = flags & 1 ? 2 : 1;
                for (unsigned i = 0; i < count && at + wide <= length; ++i, at += wide)
                    code += char16_t(wide == 2 ? u16(b + at) : b[at]);
            } else if (!biff8) {
                for (unsigned i = 0; i < b[2] && 3u + i < length; ++i)
                    code += char16_t(b[3 + i]);
            }
            formats[u16(b)] = numfmt::custom(code);
        } else if (type == 0x00E0 && length >= 4) { // XF
            xfFormats.push_back(u16(b + 2));
            m_xfFormatAt.push_back(pos + 4 + 2);
        } else if (type == 0x0085 && length >= 6) { // BOUNDSHEET
            m_sheets.push_back({u32(b), b[5]});
        }
    }
    for (unsigned id : xfFormats) {
        const auto it = formats.find(id);
        m_xfShown.push_back(it != formats.end() ? it->second : numfmt::builtin(int(id)));
    }
    return true;
}

std::string BiffScan::plainCopy(const std::string& file) const {
    std::string copy = file;
    // Every format, for FreeXL also takes some that show no date for dates.
    for (std::size_t formatAt : m_xfFormatAt) {
        for (std::size_t k = 0; k < 2; ++k) {
            const std::size_t at = formatAt + k;
            copy[m_unitAt[at / m_unit] + at % m_unit] = '\0';
        }
    }
    return copy;
}

bool BiffScan::dateCells(unsigned sheet, unsigned sheetCount,
                         std::unordered_map<std::uint32_t, numfmt::Shown>& cells) const {
    // FreeXL counts the worksheets only, when the workbook holds charts too.
    std::vector<Sheet> sheets = m_sheets;
    if (sheets.size() != sheetCount)
        std::erase_if(sheets, [](const Sheet& s) { return s.kind != 0; });
    if (sheets.size() != sheetCount || sheet >= sheets.size())
        return false;
    auto note = [&](unsigned row, unsigned col, unsigned xf) {
        if (xf < m_xfShown.size() && m_xfShown[xf] != numfmt::Shown::Number)
            cells[std::uint32_t(row) << 16 | col] = m_xfShown[xf];
    };
    unsigned type = 0, length = 0, depth = 0;
    const unsigned char* b = nullptr;
    for (std::size_t pos = sheets[sheet].offset; record(pos, type, b, length); pos += 4 + length) {
        if (type == 0x0809) {
            ++depth;
        } else if (type == 0x000A && depth > 0) {
            if (--depth == 0)
                break;
        } else if (depth == 1 && length >= 6 &&
                   (type == 0x0203 || type == 0x027E || type == 0x0006)) { // NUMBER, RK, FORMULA
            note(u16(b), u16(b + 2), u16(b + 4));
        } else if (depth == 1 && type == 0x00BD && length >= 6) { // MULRK
            const unsigned row = u16(b), first = u16(b + 2);
            for (unsigned i = 0; 4 + 6 * i + 6 <= length; ++i)
                note(row, first + i, u16(b + 4 + 6 * i));
        }
        if (depth == 0)
            return false; // the offset led to no worksheet
    }
    return true;
}

} // namespace tl::xls
