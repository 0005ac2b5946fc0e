// tradeledger-xls: reads an .xls workbook with FreeXL and writes what it holds
// to standard output (importexport/XlsProtocol.h). The program runs it as a
// separate process, so a damaged file that makes FreeXL crash, loop or eat
// memory costs this process only.
//
//   tradeledger-xls FILE                          the worksheet names
//   tradeledger-xls FILE SHEET MAXROWS MAXCOLS    the cells of one worksheet
//                                                 (SHEET from 0; -1: no limit)
#include "BiffScan.h"
#include "core/importexport/XlsProtocol.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <freexl.h>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
#include <unordered_map>

namespace {

using namespace tl::xls;

void limit(int resource, rlim_t value) {
    const rlimit r{value, value};
    setrlimit(resource, &r);
}

void put(const void* data, std::size_t size) {
    std::fwrite(data, 1, size, stdout);
}
void putTag(Tag tag) {
    std::fputc(tag, stdout);
}
void putU32(std::uint32_t v) {
    put(&v, sizeof v);
}
void putText(const char* text) {
    const std::size_t n = text ? std::strlen(text) : 0;
    putU32(std::uint32_t(n));
    put(text, n);
}

int fail(std::int32_t code) {
    putTag(Failure);
    put(&code, sizeof code);
    putTag(End);
    return 0;
}

std::int32_t openFailure(int rc) {
    switch (rc) {
    case FREEXL_FILE_NOT_FOUND:
        return kCannotOpen;
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return kNotAWorkbook;
    default: // damaged, or too large for the memory limit
        return kUnreadable;
    }
}

bool readFile(const char* path, std::string& out) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    char chunk[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        out.append(chunk, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// A file in memory FreeXL can open by name; empty when there is none.
std::string memoryFile(const std::string& data) {
    const int fd = memfd_create("xls", 0);
    if (fd < 0)
        return {};
    for (std::size_t at = 0; at < data.size();) {
        const ssize_t n = write(fd, data.data() + at, data.size() - at);
        if (n <= 0) {
            close(fd);
            return {};
        }
        at += std::size_t(n);
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

// A date cell as ISO text: FreeXL writes "yyyy-mm-dd hh:mm:ss" for a date
// format with a time even at midnight, which shows as the date alone.
std::string dateText(const char* text) {
    std::string s = text ? text : "";
    if (s.size() == 19 && s.compare(10, 9, " 00:00:00") == 0)
        s.resize(10);
    return s;
}

int names(const void* handle) {
    // Every workbook holds a worksheet: FreeXL finds none when it stopped early.
    unsigned int count = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK || !count)
        return kUnreadable;
    for (unsigned int i = 0; i < count && i < 65535; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(handle, static_cast<unsigned short>(i), &name) != FREEXL_OK)
            name = nullptr;
        putTag(SheetName);
        putText(name);
    }
    return 0;
}

// A number the sheet shows as a date or time, as a date cell; false for any
// other cell.
bool putDateCell(const FreeXL_CellValue& v, const std::uint32_t (&at)[2],
                 const std::unordered_map<std::uint32_t, tl::numfmt::Shown>& dates,
                 bool system1904) {
    if (v.type != FREEXL_CELL_INT && v.type != FREEXL_CELL_DOUBLE)
        return false;
    const auto it = dates.find((at[0] - 1) << 16 | (at[1] - 1));
    if (it == dates.end())
        return false;
    const double serial = v.type == FREEXL_CELL_INT ? v.value.int_value : v.value.double_value;
    const unsigned char flags =
        (it->second == tl::numfmt::Shown::Time ? TimeOfDay : 0) | (system1904 ? System1904 : 0);
    putTag(DateCell);
    put(at, sizeof at);
    put(&serial, sizeof serial);
    put(&flags, 1);
    return true;
}

// Any other cell as FreeXL read it; an empty shared text is left out.
void putCell(const FreeXL_CellValue& v, const std::uint32_t (&at)[2],
             std::unordered_map<const char*, std::uint32_t>& shared) {
    switch (v.type) {
    case FREEXL_CELL_INT:
        putTag(IntCell);
        put(at, sizeof at);
        put(&v.value.int_value, sizeof(std::int32_t));
        break;
    case FREEXL_CELL_DOUBLE:
        putTag(NumberCell);
        put(at, sizeof at);
        put(&v.value.double_value, sizeof(double));
        break;
    case FREEXL_CELL_SST_TEXT: {
        if (!v.value.text_value || !*v.value.text_value)
            break;
        const auto [it, added] = shared.try_emplace(v.value.text_value, shared.size());
        if (added) {
            putTag(SharedText);
            putU32(it->second);
            putText(v.value.text_value);
        }
        putTag(TextCell);
        put(at, sizeof at);
        putU32(it->second);
        break;
    }
    case FREEXL_CELL_TEXT:
        putTag(LabelCell);
        put(at, sizeof at);
        putText(v.value.text_value);
        break;
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        putTag(LabelCell);
        put(at, sizeof at);
        putText(dateText(v.value.text_value).c_str());
        break;
    default:
        break;
    }
}

int cells(const void* handle, unsigned short sheet, long maxRows, long maxCols,
          const tl::xls::BiffScan* scan) {
    if (freexl_select_active_worksheet(handle, sheet) != FREEXL_OK)
        return kUnreadable;
    // The cells whose number shows as a date or time, by their formats.
    unsigned int count = 0;
    std::unordered_map<std::uint32_t, tl::numfmt::Shown> dates;
    if (scan && (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK ||
                 !scan->dateCells(sheet, count, dates)))
        scan = nullptr;
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK)
        return kUnreadable;
    if (maxRows >= 0 && rows > maxRows)
        rows = static_cast<unsigned int>(maxRows);
    if (maxCols >= 0 && cols > maxCols)
        cols = static_cast<unsigned short>(maxCols);
    // FreeXL hands out the same pointer for every use of a shared string.
    std::unordered_map<const char*, std::uint32_t> shared;
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v;
            const int rc = freexl_get_cell_value(handle, r, c, &v);
            if (rc == FREEXL_ILLEGAL_CELL_ROW_COL)
                return kOutOfRange;
            if (rc != FREEXL_OK)
                return kUnreadable;
            const std::uint32_t at[2] = {r + 1, std::uint32_t(c) + 1};
            if (!scan || !putDateCell(v, at, dates, scan->date1904()))
                putCell(v, at, shared);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 5) {
        std::fprintf(stderr, "usage: %s FILE [SHEET MAXROWS MAXCOLS]\n", argv[0]);
        return 2;
    }
    // Bounds for whatever the file makes FreeXL do; no core file.
    limit(RLIMIT_AS, kAddressSpace);
    limit(RLIMIT_CPU, 30);
    limit(RLIMIT_CORE, 0);
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);

    const bool namesOnly = argc == 2;
    const void* handle = nullptr;
    int rc = FREEXL_OK;
    if (namesOnly) {
        // The names need no cells; a workbook that shows none this way is
        // opened whole below, to tell what is wrong with it.
        rc = freexl_open_info(argv[1], &handle);
        unsigned int count = 0;
        if (rc == FREEXL_OK &&
            (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK || !count)) {
            freexl_close(handle);
            handle = nullptr;
        }
    }
    // For the cells, FreeXL reads a copy with its formats made plain.
    tl::xls::BiffScan scan;
    bool scanned = false;
    if (!handle && rc == FREEXL_OK) {
        std::string path = argv[1], file;
        if (readFile(argv[1], file) && scan.scan(file)) {
            const std::string copy = memoryFile(scan.plainCopy(file));
            scanned = !copy.empty();
            if (scanned)
                path = copy;
        }
        limit(RLIMIT_FSIZE, 0); // no files written from here on
        rc = freexl_open(path.c_str(), &handle);
    }
    if (rc != FREEXL_OK)
        return fail(openFailure(rc));
    unsigned int password = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED)
        return fail(kDamaged);
    const int code = namesOnly
                         ? names(handle)
                         : cells(handle, static_cast<unsigned short>(std::atoi(argv[2])),
                                 std::atol(argv[3]), std::atol(argv[4]), scanned ? &scan : nullptr);
    if (code != 0)
        return fail(code);
    // The handle is left to the process's end: freeing a large grid costs time.
    putTag(End);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
