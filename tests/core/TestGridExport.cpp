#include "core/accounts/Rights.h"
#include "core/grid/Grid.h"
#include "core/importexport/CsvReader.h"
#include "core/importexport/ExportRights.h"
#include "core/importexport/GridExport.h"
#include "core/importexport/Workbook.h"
#include "core/importexport/WorkbookWriter.h"
#include "core/support/Progress.h"
#include "support/TestTools.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <stdexcept>
#include <unistd.h>
#include <zip.h>

using namespace tl;

class TestGridExport : public QObject {
    Q_OBJECT
private slots:
    void csvQuotingEncodingsAndHiddenCells();
    void csvReadBackByOurReader();
    void numbersReadFromCellTexts();
    void workbookCellsAndFormats();
    void replacingNeverLosesTheOldFile();
    void exportRightsOfTheTables();
};

namespace {

// A small list as the main window shows one: a caption row, a hidden row,
// a frozen serial column and a hidden key column.
void fillList(Grid& g) {
    g.reset(5, 5, 1, 1);
    const QStringList rows[] = {
        {"序号", "名称", "金额", "键", "日期"},
        {"x", "hidden row", "0", "0", "0"},
        {"1", "铅笔,红", "1,234.50", "17", "2009.02.04"},
        {"2", "say \"hi\"", "", "18", "2009.02.05"},
        {"3", "两行\r\n备注", "-3", "19", ""},
    };
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            g.setText(r, c, rows[r][c]);
    g.setRowHeight(1, 0);
    g.setColWidth(3, 0);
}

// A worksheet read back from the zip: cells by reference, with their type,
// number format, border and stored value text; the column widths as written.
struct Cell {
    QString type, numberFormat, value;
    bool border = false;
};
struct Sheet : QHash<QString, Cell> {
    QStringList widths;
};

QByteArray zipEntry(zip_t* archive, const char* name) {
    zip_file_t* f = zip_fopen(archive, name, 0);
    if (!f)
        return {};
    QByteArray data;
    char buffer[65536];
    zip_int64_t n;
    while ((n = zip_fread(f, buffer, sizeof buffer)) > 0)
        data.append(buffer, static_cast<qsizetype>(n));
    zip_fclose(f);
    return data;
}

Sheet readSheet(const QString& path) {
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return {};
    const QString styles = zipEntry(archive, "xl/styles.xml");
    const QString xml = zipEntry(archive, "xl/worksheets/sheet1.xml");
    zip_close(archive);
    // The writer's own XML: attributes always in the same order.
    QHash<QString, QString> formats{{"0", "General"}}; // number formats by id
    for (const auto& m : QRegularExpression(R"re(<numFmt numFmtId="(\d+)" formatCode="([^"]*)")re")
                             .globalMatch(styles))
        formats.insert(m.captured(1), m.captured(2));
    QStringList xfs; // the number format of each cell format
    QList<bool> borders;
    for (const auto& m :
         QRegularExpression(
             R"re(<xf numFmtId="(\d+)" fontId="\d+" fillId="\d+" borderId="(\d+)")re")
             .globalMatch(styles.mid(styles.indexOf("<cellXfs")))) {
        xfs << formats.value(m.captured(1), m.captured(1));
        borders << (m.captured(2) != "0");
    }
    Sheet sheet;
    const QRegularExpression cell(
        R"re(<c r="(\w+)"(?: s="(\d+)")?(?: t="(\w+)")?/?>(?:<v>([^<]*))?)re");
    for (const auto& m : cell.globalMatch(xml)) {
        const int xf = m.captured(2).toInt();
        sheet.insert(m.captured(1),
                     {m.captured(3), xfs.value(xf), m.captured(4), borders.value(xf)});
    }
    for (const auto& m :
         QRegularExpression(R"re(<col min="\d+" max="\d+" width="([^"]*)")re").globalMatch(xml))
        sheet.widths << m.captured(1);
    return sheet;
}

// Fails part-way through a write, as a full disk or a crash would.
class FailingProgress : public Progress {
public:
    void show(const QString&, int) override {}
    void step(int) override { throw std::runtime_error("injected"); }
    void advance(int) override { throw std::runtime_error("injected"); }
    void close() override {}
};

} // namespace

void TestGridExport::csvQuotingEncodingsAndHiddenCells() {
    Grid g;
    fillList(g);
    // Hidden rows and columns are left out, empty cells are nothing between
    // commas, every line ends with CR LF.
    QCOMPARE(QString::fromUtf8(test::csvBytes(g, CsvEncoding::Utf8)),
             QString("序号,名称,金额,日期\r\n"
                     "1,\"铅笔,红\",\"1,234.50\",2009.02.04\r\n"
                     "2,\"say \"\"hi\"\"\",,2009.02.05\r\n"
                     "3,\"两行\r\n备注\",-3,\r\n"));
    // A bare LF inside a cell is quoted too, so the record reads back whole.
    QCOMPARE(csvField("a\nb"), QString("\"a\nb\""));
    // What a spreadsheet would run as a formula gets an apostrophe; numbers
    // and the reports' empty cell "-" stay as they are.
    for (const QString text : {"=1+1", "@A1", "+A1", "-A1", "--1"})
        QCOMPARE(csvField(text), "'" + text);
    for (const QString text : {"-92.20", "+1", "-", "-12.5%"})
        QCOMPARE(csvField(text), text);

    // No visible row or no visible column: nothing to write.
    QTemporaryDir dir;
    Grid none;
    none.reset(2, 2, 1, 0);
    none.setColWidth(0, 0);
    none.setColWidth(1, 0);
    QCOMPARE(gridToCsv(none, dir.filePath("none.csv"), Progress::silent()), ExportStatus::Empty);
    QVERIFY(!QFile::exists(dir.filePath("none.csv")));

    // Encodings: names GBK lacks survive GB18030, GBK characters are GBK
    // bytes; no byte-order mark in front.
    g.reset(1, 3, 0, 0);
    g.setText(0, 0, "中文");
    g.setText(0, 1, "䶮𠮷"); // names GBK lacks
    g.setText(0, 2, "😀");
    const QString line = "中文,䶮𠮷,😀\r\n";
    QCOMPARE(test::csvBytes(g, CsvEncoding::Gb18030), QByteArray(QStringEncoder("GB18030")(line)));
    QCOMPARE(test::csvBytes(g, CsvEncoding::Utf8), line.toUtf8());
}

void TestGridExport::csvReadBackByOurReader() {
    Grid g;
    fillList(g);
    g.setText(4, 4, "😀 \"");
    g.setText(3, 1, "=HYPERLINK(\"http://x\",\"点\")"); // the apostrophe comes off again
    QTemporaryDir dir;
    const QString path = dir.filePath("back.csv");
    QCOMPARE(writeGridFile(g, path, QString(), Progress::silent()), ExportStatus::Written);
    CsvReader reader;
    QVERIFY(reader.open(path));
    QStringList fields;
    for (int r : visibleRows(g)) {
        QCOMPARE(reader.readRecord(fields), CsvReader::Record::Fields);
        QStringList cells;
        for (int c : visibleColumns(g))
            cells << g.text(r, c);
        QCOMPARE(fields, cells);
    }
    QCOMPARE(reader.readRecord(fields), CsvReader::Record::End);
}

void TestGridExport::numbersReadFromCellTexts() {
    const struct {
        const char* text;
        double value;
        const char* format;
    } numbers[] = {
        {"1,234.50", 1234.5, "#,##0.00"}, {"-3", -3, "0"}, {"1,000,000", 1e6, "#,##0"},
        {"12.5%", 0.125, "0.0%"},         {" 7 ", 7, "0"}, {"￥1,200.50", 1200.5, "\"￥\"#,##0.00"},
    };
    for (const auto& c : numbers) {
        const auto n = WorkbookWriter::readNumber(QString::fromUtf8(c.text));
        QVERIFY2(n, c.text);
        QCOMPARE(n->value, c.value);
        QCOMPARE(n->format, QString::fromUtf8(c.format));
    }
    // Texts that only look like numbers stay text.
    for (const char* text : {"007", "2009.02.04", "1,23", "12,3456", ",123", "1.", "+5", "1e5",
                             "1234567890123456", "13-5", "--1", "", "-", "12 34", "0,123"})
        QVERIFY2(!WorkbookWriter::readNumber(QString::fromUtf8(text)), text);

    QCOMPARE(WorkbookWriter::sheetName("a/b:c[1]?"), QString("a_b_c_1__"));
    QCOMPARE(WorkbookWriter::sheetName("'x'"), QString("x"));
    QCOMPARE(WorkbookWriter::sheetName(""), QString("Sheet1"));
    QCOMPARE(WorkbookWriter::sheetName(QString(40, 'z')).size(), 31);

    // Column letters: the carries at Z and ZZ, and the last column a worksheet has.
    QStringList letters;
    for (int n : {1, 26, 27, 52, 53, 702, 703, 16384, 0})
        letters << columnLetters(n);
    QCOMPARE(letters.join(','), QString("A,Z,AA,AZ,BA,ZZ,AAA,XFD,"));
}

void TestGridExport::workbookCellsAndFormats() {
    Grid g;
    fillList(g);
    g.setText(3, 2, "64.74");
    g.setText(4, 0, "2009.02"); // a month labelling its row
    g.setText(0, 2, "2009");
    g.setColWidth(1, 1230);
    QTemporaryDir dir;
    const QString path = dir.filePath("back.xls"); // an .xlsx under the old name
    QCOMPARE(writeGridFile(g, path, "销 售", Progress::silent()), ExportStatus::Written);
    // Amounts are numbers with the format they were shown in, stored as the
    // shortest text that reads back as them; serial numbers in the frozen
    // column are numbers too, a month there and dates stay as shown.
    const Sheet sheet = readSheet(path);
    const Cell amount = sheet.value("C2");
    QVERIFY(amount.type.isEmpty() || amount.type == "n");
    QCOMPARE(amount.numberFormat, QString("#,##0.00"));
    QCOMPARE(amount.value, QString("1234.5"));
    QCOMPARE(sheet.value("C3").value, QString("64.74"));
    QVERIFY(sheet.value("A2").type.isEmpty() && sheet.value("A2").value == "1");
    QVERIFY(!sheet.value("A4").type.isEmpty());
    QVERIFY(!sheet.value("D2").type.isEmpty());
    QCOMPARE(sheet.value("C1").type, QString("inlineStr")); // a caption stays text

    int error = 0;
    const std::unique_ptr<Workbook> book = Workbook::open(path, &error);
    QVERIFY2(book, qPrintable(QString::number(error)));
    QCOMPARE(book->sheetNames(), QStringList{"销 售"});
    SheetCells cells;
    QVERIFY(book->readSheet("销 售", cells, &error));
    // Every visible cell where the grid shows it; numbers in their general form.
    QCOMPARE(cells.rowCount(), 4);
    QCOMPARE(cells.row(2, 4), (QStringList{"1", "铅笔,红", "1234.5", "2009.02.04"}));
    QCOMPARE(cells.row(3, 4), (QStringList{"2", "say \"hi\"", "64.74", "2009.02.05"}));
    QCOMPARE(cells.row(4, 4), (QStringList{"2009.02", "两行\n备注", "-3", ""}));

    // 1230 twips are 10 characters, as a column set to 10 is written.
    const QString ten = dir.filePath("ten.xlsx");
    WorkbookWriter reference(ten, "x");
    reference.setColumnWidth(0, 10);
    QVERIFY(reference.close());
    QCOMPARE(sheet.widths.size(), 4);
    QCOMPARE(sheet.widths[1], readSheet(ten).widths.value(0));

    // Every cell has its border, empty ones too, out to the 30th column AD.
    g.reset(2, 30, 1, 0);
    g.setText(1, 0, "1");
    QCOMPARE(writeGridFile(g, path, "宽", Progress::silent()), ExportStatus::Written);
    const Sheet wide = readSheet(path);
    QVERIFY(wide.value("A2").border && wide.value("AD1").border && wide.value("AD2").border);
    QVERIFY(!wide.contains("AE1"));

    // Thousands of rows pass the writer in pieces: every number keeps its text.
    g.reset(3000, 2, 0, 1);
    for (int r = 0; r < g.rows(); ++r) {
        g.setText(r, 0, QString::number(r + 1));
        g.setText(r, 1, QString::number(r) + ".07");
    }
    QCOMPARE(writeGridFile(g, path, "多", Progress::silent()), ExportStatus::Written);
    const Sheet many = readSheet(path);
    for (int r = 0; r < g.rows(); ++r) {
        QCOMPARE(many.value(QString("A%1").arg(r + 1)).value, g.text(r, 0));
        QCOMPARE(many.value(QString("B%1").arg(r + 1)).value, g.text(r, 1));
    }
}

void TestGridExport::replacingNeverLosesTheOldFile() {
    Grid g;
    fillList(g);
    QTemporaryDir dir;
    const QString csv = dir.filePath("old.csv"), xlsx = dir.filePath("old.xlsx");
    // Read-only files: replaced as any other, their mode kept (it once came back writable).
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup;
    const auto userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser; // not mode bits
    for (const QString& path : {csv, xlsx}) {
        test::writeFile(path, "old contents");
        QFile::setPermissions(path, readOnly);
        // A failure part-way keeps the old file whole and leaves no temporary one.
        FailingProgress failing;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, writeGridFile(g, path, "x", failing));
        QCOMPARE(test::readFile(path), QByteArray("old contents"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 path == csv ? 1 : 2);
        // A complete write replaces it and keeps its permissions.
        QCOMPARE(writeGridFile(g, path, "x", Progress::silent()), ExportStatus::Written);
        QVERIFY(test::readFile(path) != "old contents");
        QCOMPARE(QFile::permissions(path) & ~userBits, readOnly);
    }
    QCOMPARE(test::readFile(csv), test::csvBytes(g, CsvEncoding::Gb18030));
    QVERIFY(test::readFile(xlsx).startsWith("PK"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);

    // The library's own "[ERROR] ..." lines never reach the terminal; a
    // folder that is not there makes it fail.
    QTemporaryFile err;
    QVERIFY(err.open());
    const int terminal = ::dup(2);
    ::dup2(err.handle(), 2);
    WorkbookWriter lost(dir.filePath("nowhere/x.xlsx"), "x");
    const bool closed = lost.close();
    ::dup2(terminal, 2);
    ::close(terminal);
    QCOMPARE(test::readFile(err.fileName()), QByteArray());
    QVERIFY(!closed && lost.errorString().contains("[ERROR]"));
}

void TestGridExport::exportRightsOfTheTables() {
    const QStringList names = {"sales",    "purchases",  "transfers", "products",
                               "accounts", "customers",  "suppliers", "staff",
                               "classes",  "warehouses", "regions"};
    QStringList items;
    for (const QString& entry : Rights::vocabulary())
        if (Rights::isItem(entry))
            items << Rights::bare(entry);
    QSet<QString> rights;
    for (const QString& name : names) {
        const auto table = listedTableNamed(name.toUpper());
        QVERIFY2(table && listedTableName(*table) == name, qPrintable(name));
        // Every export right is one the rights editor offers, and each table has its own.
        QVERIFY2(items.contains(exportRight(*table)), qPrintable(exportRight(*table)));
        rights.insert(exportRight(*table));
        QVERIFY(mayExport(Rights::all(), *table));
        QVERIFY(!mayExport(test::allRightsBut({exportRight(*table)}), *table));
    }
    QCOMPARE(rights.size(), names.size());
}

QTEST_GUILESS_MAIN(TestGridExport)
#include "TestGridExport.moc"
