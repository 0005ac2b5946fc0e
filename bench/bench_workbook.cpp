// Reading workbooks: a 10 MB .xls of sales rows through the helper program
// (target: opened and read within 1 s), then hostile .xlsx files, each read
// in a process of its own so that its peak memory shows alone (target: none
// makes the program use more than 300 MB, none takes 10 s to refuse).
// Usage: bench_workbook [rows of the .xls, 50,000 unless given] [where to keep the .xls]
#include "core/grid/Grid.h"
#include "core/importexport/ImportPreview.h"
#include "core/importexport/Workbook.h"
#include "support/BenchData.h"
#include "support/XlsFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <zip.h>

using namespace tl;

namespace {

// The peak resident memory of this process. Not getrusage's: on Linux a new
// process starts from the peak of the one it was forked from.
long peakMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

void writeSalesXls(const QString& path, int rows) {
    bench::XlsFile xls;
    xls.addSheet(QStringLiteral("说明"));
    xls.text(0, 0, QStringLiteral("销售记录"));
    xls.addSheet(QStringLiteral("销售"));
    const QStringList head{"序号", "产品", "客户", "仓库", "账号", "价格",
                           "数量", "金额", "备注", "已付", "日期", "销售员"};
    for (int c = 0; c < head.size(); ++c)
        xls.text(0, c, head[c]);
    for (int r = 1; r <= rows; ++r) {
        xls.number(r, 0, r);
        xls.text(r, 1, QStringLiteral("产品%1").arg(r % bench::products));
        xls.text(r, 2, QStringLiteral("客户%1").arg(r % bench::customers));
        xls.text(r, 3, QStringLiteral("仓库%1").arg(r % bench::warehouses));
        xls.text(r, 4, QStringLiteral("账户%1").arg(r % 5));
        xls.number(r, 5, 1.5 + r % 100);
        xls.number(r, 6, 1 + r % 17);
        xls.number(r, 7, (1.5 + r % 100) * (1 + r % 17));
        xls.text(r, 8, QStringLiteral("备注 %1").arg(r)); // each one its own string
        xls.number(r, 9, r % 3 == 0 ? 0 : 10);
        xls.date(r, 10, 39083 + r % bench::days);
        xls.text(r, 11, QStringLiteral("销售员%1").arg(r % 7));
    }
    xls.save(path);
}

// An .xlsx of one worksheet "S" from the XML parts given (names under xl/).
void writeXlsx(const QString& path, const QByteArray& sheet, const QByteArray& strings = {}) {
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    auto add = [z](const char* name, const QByteArray& data) {
        char* copy = static_cast<char*>(malloc(size_t(data.size())));
        memcpy(copy, data.constData(), size_t(data.size()));
        zip_file_add(z, name, zip_source_buffer(z, copy, zip_uint64_t(data.size()), 1),
                     ZIP_FL_OVERWRITE);
    };
    add("xl/workbook.xml",
        "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships\"><sheets><sheet name=\"S\" r:id=\"rId1\"/></sheets></workbook>");
    add("xl/_rels/workbook.xml.rels",
        "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/>"
        "</Relationships>");
    add("xl/worksheets/sheet1.xml", sheet);
    if (!strings.isEmpty())
        add("xl/sharedStrings.xml", strings);
    zip_close(z);
}

QByteArray repeated(const QByteArray& head, const QByteArray& piece, int times,
                    const QByteArray& tail) {
    QByteArray out = head;
    out.reserve(head.size() + piece.size() * times + tail.size());
    for (int i = 0; i < times; ++i)
        out += piece;
    return out + tail;
}

struct Hostile {
    const char* name;
    std::function<void(const QString&)> write;
};

const QByteArray kSheetHead = "<worksheet><sheetData>";
const QByteArray kSheetTail = "</sheetData></worksheet>";

const std::vector<Hostile>& hostileCases() {
    static const std::vector<Hostile> cases{
        {"one cell in column XFD on each of 1,000,000 rows",
         [](const QString& p) {
             QByteArray xml = kSheetHead;
             for (int r = 1; r <= 1000000; ++r)
                 xml += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"XFD" +
                        QByteArray::number(r) + "\" t=\"s\"><v>0</v></c></row>";
             writeXlsx(p, xml + kSheetTail, "<sst><si><t>x</t></si></sst>");
         }},
        {"2,000,001 shared strings",
         [](const QString& p) {
             writeXlsx(
                 p, kSheetHead + kSheetTail,
                 repeated("<sst>", "<si><t>x</t></si>", Workbook::kMaxSharedStrings + 1, "</sst>"));
         }},
        {"shared strings of 20,000,000 characters",
         [](const QString& p) {
             const QByteArray text(30000, 'x');
             writeXlsx(
                 p, kSheetHead + kSheetTail,
                 repeated("<sst>", "<si><t>" + text + "</t></si>", 20000000 / 30000 + 1, "</sst>"));
         }},
        {"elements nested 1,000,000 deep",
         [](const QString& p) { writeXlsx(p, repeated(kSheetHead, "<x>", 1000000, kSheetTail)); }},
        {"a comment of 200 MB",
         [](const QString& p) {
             writeXlsx(p, kSheetHead + "<!--" + QByteArray(200 << 20, 'x') + "-->" + kSheetTail);
         }},
        {"300 MB of empty elements",
         [](const QString& p) {
             writeXlsx(p, repeated(kSheetHead, "<x/>", (300 << 20) / 4, kSheetTail));
         }},
        {"2,000,001 numbers",
         [](const QString& p) {
             const QByteArray row = repeated("<row>", "<c><v>1</v></c>", 10, "</row>");
             writeXlsx(p, repeated(kSheetHead, row, Workbook::kMaxCells / 10,
                                   "<row><c><v>1</v></c></row>" + kSheetTail));
         }},
    };
    return cases;
}

// Runs in a process of its own: reads a workbook's sheet "S" and prints the
// outcome with this process's peak memory.
int readHostile(const QString& path, const char* name) {
    QElapsedTimer timer;
    timer.start();
    const double cpu = bench::cpuMs();
    int code = 0;
    std::unique_ptr<Workbook> book = Workbook::open(path, &code);
    SheetCells cells;
    if (book && !book->readSheet(QStringLiteral("S"), cells, &code))
        book.reset();
    std::printf("%-50s %6lld KB %6lld ms wall %6.0f ms cpu, peak %4ld MB\n    %s\n", name,
                QFileInfo(path).size() / 1024, timer.elapsed(), bench::cpuMs() - cpu, peakMb(),
                book ? qPrintable(QStringLiteral("read: %1 cells").arg(cells.cellCount()))
                     : qPrintable(workbookErrorMessage(code)));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 3 && QByteArray(argv[1]) == "--read")
        return readHostile(QString::fromLocal8Bit(argv[2]), argv[3]);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 50000;

    QTemporaryDir dir;
    const QString xls = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath("sales.xls");
    writeSalesXls(xls, rows);
    std::printf(".xls of %d sales rows: %lld KB, peak memory %ld MB after writing it\n", rows,
                QFileInfo(xls).size() / 1024, peakMb());
    int cellCount = 0;
    bench::time("open + read the sales sheet (helper)", 3, [&] {
        int code = 0;
        std::unique_ptr<Workbook> book = Workbook::open(xls, &code);
        SheetCells cells;
        if (!book || !book->readSheet(QStringLiteral("销售"), cells, &code))
            std::printf("failed: %s\n", qPrintable(workbookErrorMessage(code)));
        cellCount = cells.cellCount();
    });
    std::printf("  %d cells; peak memory %ld MB\n", cellCount, peakMb());
    bench::time("import preview (A1:T10)", 3, [&] {
        Grid grid;
        fillImportPreview(grid, xls, QStringLiteral("销售"));
    });

    std::printf("\nhostile .xlsx files, each read in a process of its own:\n");
    std::fflush(stdout);
    for (size_t i = 0; i < hostileCases().size(); ++i) {
        const QString path = dir.filePath(QStringLiteral("hostile%1.xlsx").arg(i));
        hostileCases()[i].write(path);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--read"), path, QString::fromUtf8(hostileCases()[i].name)});
        child.waitForFinished(-1);
    }
    return 0;
}
