#include "core/grid/Grid.h"
#include "core/importexport/CsvReader.h"
#include "core/importexport/ImportPreview.h"
#include "core/importexport/Workbook.h"
#include "support/TestTools.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zip.h>

using namespace tl;

Q_DECLARE_METATYPE(tl::EncodingChoice)
Q_DECLARE_METATYPE(tl::TextEncoding)

// Files read for importing: CSV text, workbooks, and their preview.
class TestImportFiles : public QObject {
    Q_OBJECT
private slots:
    void splitsFieldsByQuoteRuns_data();
    void splitsFieldsByQuoteRuns();
    void lineEndsAndQuotedLineBreaks();
    void encodingIsDetected_data();
    void encodingIsDetected();
    void previewShowsRecordsAsTheImporterReadsThem();
    void xlsxShowsCellsAsTheSheetDoes();
    void xlsShowsCellsAsTheSheetDoes();
    void failuresHaveTheirKinds();
    void hostileXlsxIsRefused();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString write(const QByteArray& bytes, const QString& name = "f.csv") {
        return test::writeFile(path(name), bytes);
    }
    // Every record of a file: fields joined by "|", "<empty>" for an empty
    // line, "<unfinished>" for a record the file ends in.
    QStringList records(const QString& path, EncodingChoice choice = EncodingChoice::Auto) {
        CsvReader r;
        if (!r.open(path, choice))
            return {"<cannot open>"};
        QStringList out;
        QStringList fields;
        for (CsvReader::Record k; (k = r.readRecord(fields)) != CsvReader::Record::End;)
            out << (k == CsvReader::Record::Empty        ? QString("<empty>")
                    : k == CsvReader::Record::Unfinished ? QString("<unfinished>")
                                                         : fields.join("|"));
        return out;
    }
    // A zip of the entries given, named and filled in turn.
    QString zip(const QString& name, const QList<QByteArray>& entries) {
        const QString file = path(name);
        int err = 0;
        zip_t* z = zip_open(file.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        // The entries outlive zip_close, which reads them.
        for (qsizetype i = 0; i + 1 < entries.size(); i += 2)
            zip_file_add(z, entries[i].constData(),
                         zip_source_buffer(z, entries[i + 1].constData(),
                                           zip_uint64_t(entries[i + 1].size()), 0),
                         0);
        return zip_close(z) == 0 ? file : QString();
    }
    // An .xlsx of one worksheet "S" made of the XML given.
    // Style 1 shows dates.
    QString xlsx(const QString& name, const QByteArray& sheet, const QByteArray& strings = {},
                 const QByteArray& bookPr = {}) {
        return zip(name,
                   {"xl/workbook.xml",
                    "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/"
                    "2006/relationships\">" +
                        bookPr + "<sheets><sheet name=\"S\" r:id=\"rId1\"/></sheets></workbook>",
                    "xl/_rels/workbook.xml.rels",
                    "<Relationships><Relationship Id=\"rId1\" Target=\"s.xml\"/>"
                    "</Relationships>",
                    "xl/s.xml", "<worksheet><sheetData>" + sheet + "</sheetData></worksheet>",
                    "xl/sharedStrings.xml", "<sst>" + strings + "</sst>", "xl/styles.xml",
                    "<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>"
                    "</cellXfs></styleSheet>"});
    }
    // Reads a workbook's worksheet "S"; the error code, 0 when it read.
    static int readS(const QString& file, SheetCells& cells) {
        int code = 0;
        std::unique_ptr<Workbook> book = Workbook::open(file, &code);
        return book && book->readSheet("S", cells, &code) ? 0 : code;
    }
    QTemporaryDir m_dir;
};

void TestImportFiles::xlsxShowsCellsAsTheSheetDoes() {
    const QString file = path("cells.xlsx");
    lxw_workbook* wb = workbook_new(file.toUtf8().constData());
    test::addSheet(wb, "一");
    // A shared string used twice; numbers read plain, for importing.
    lxw_worksheet* ws = test::addSheet(wb, "数据 2", "产品,,产品\n,3");
    test::addSheet(wb, "三");
    lxw_format* money = workbook_add_format(wb);
    format_set_num_format(money, "#,##0.00");
    worksheet_write_number(ws, 1, 0, 1234.5, money);
    worksheet_write_number(ws, 1, 2, 0.1 + 0.2, nullptr);
    worksheet_write_boolean(ws, 3, 0, 1, nullptr);
    worksheet_write_formula_num(ws, 3, 1, "=B2*2", nullptr, 6);
    worksheet_write_string(ws, 4, 27, "AB5", nullptr);
    worksheet_write_string(ws, 6, 0, "O'Brien, \"大\"", nullptr);
    // Any format that shows a date shows the day number as an ISO date,
    // whatever the order of its parts; letters quoted, escaped or in [...] do not count.
    const struct {
        const char* format; // empty: the built-in date format 14
        double value;
        const char* shown;
    } dates[] = {
        {"", 39880, "2009-03-08"},
        {"dd/mm/yyyy", 39880, "2009-03-08"},
        {"[Red]m-d-yy;@", 39880, "2009-03-08"},
        {"yyyy\"年\"m\"月\"d\"日\"", 39880, "2009-03-08"},
        {"yyyy", 39880, "2009-03-08"},
        {"dd/mm/yyyy hh:mm:ss", 40543.545243, "2010-12-31 13:05:09"},
        {"h:mm", 0.5, "12:00:00"},
        {"\"d\"0.00", 39880, "39880"},
        {"0.0\\y", 2.5, "2.5"},
        {"[$-804]#,##0", 12, "12"},
    };
    for (int i = 0; i < int(std::size(dates)); ++i) {
        lxw_format* f = workbook_add_format(wb);
        if (*dates[i].format)
            format_set_num_format(f, dates[i].format);
        else
            format_set_num_format_index(f, 14);
        worksheet_write_number(ws, 10 + i, 0, dates[i].value, f);
    }
    // A workbook written in constant memory holds inline strings.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* lean = workbook_new_opt(path("inline.xlsx").toUtf8().constData(), &options);
    worksheet_write_string(workbook_add_worksheet(lean, "S"), 2, 0, "名称2", nullptr);
    QCOMPARE(workbook_close(wb), LXW_NO_ERROR);
    QCOMPARE(workbook_close(lean), LXW_NO_ERROR);

    int code = 0;
    std::unique_ptr<Workbook> book = Workbook::open(file, &code);
    QVERIFY(book);
    QCOMPARE(book->sheetNames(), (QStringList{"一", "数据 2", "三"}));
    SheetCells cells;
    QVERIFY(book->readSheet("数据 2", cells, &code));
    QCOMPARE(cells.row(1, 4), (QStringList{"产品", "", "产品", ""}));
    QCOMPARE(cells.row(2, 3), (QStringList{"1234.5", "3", "0.3"}));
    QCOMPARE(cells.row(4, 3), (QStringList{"TRUE", "6", ""}));
    QCOMPARE(cells.text(5, 28), QString("AB5"));
    QCOMPARE(cells.text(7, 1), QString("O'Brien, \"大\""));
    QVERIFY(!cells.hasRow(6));
    for (int i = 0; i < int(std::size(dates)); ++i)
        QCOMPARE(cells.text(11 + i, 1), QString(dates[i].shown));
    QCOMPARE(cells.rowCount(), 10 + int(std::size(dates)));

    // Only the rows and columns asked for.
    QVERIFY(book->readSheet("数据 2", cells, &code, 4, 2));
    QCOMPARE(cells.rowCount(), 4);
    QCOMPARE(cells.text(2, 2), QString("3"));
    QCOMPARE(cells.text(2, 3), QString());

    QVERIFY(!book->readSheet("四", cells, &code));
    QCOMPARE(code, int(Workbook::Error::NoSuchSheet));

    QCOMPARE(readS(path("inline.xlsx"), cells), 0);
    QCOMPARE(cells.text(3, 1), QString("名称2"));
    // Day 1 of the 1904 date system.
    QCOMPARE(readS(xlsx("1904.xlsx", "<row r=\"1\"><c r=\"A1\" s=\"1\"><v>1</v></c></row>", {},
                        "<workbookPr date1904=\"1\"/>"),
                   cells),
             0);
    QCOMPARE(cells.text(1, 1), QString("1904-01-02"));

    // Numbers as the general format shows them: no binary noise, no exponent.
    QCOMPARE(generalNumberText(0.1 + 0.2), QString("0.3"));
    QCOMPARE(generalNumberText(1e-5), QString("0.00001"));
    QCOMPARE(generalNumberText(123456789012.25), QString("123456789012.25"));
}

void TestImportFiles::xlsShowsCellsAsTheSheetDoes() {
    const QString fixture = QStringLiteral(TL_TEST_DATA "/sales.xls");
    std::unique_ptr<Workbook> book = Workbook::open(fixture);
    QVERIFY(book);
    QCOMPARE(book->sheetNames(), (QStringList{"说明", "销售", "空表"}));
    SheetCells cells;
    QVERIFY(book->readSheet("销售", cells, nullptr));
    QCOMPARE(cells.rowCount(), 4);
    QCOMPARE(cells.text(3, 6), QString("0.8"));
    QCOMPARE(cells.text(2, 7), QString("100"));
    QCOMPARE(cells.text(4, 3), QString("O'Brien 文具"));
    QVERIFY(book->readSheet("空表", cells, nullptr));
    QCOMPARE(cells.rowCount(), 0);

    // The date column's format yyyy\-mm\-dd changed in a copy to formats of
    // the same length: dates by their letters, whatever FreeXL makes of them.
    const QByteArray original = test::readFile(fixture);
    const QByteArray format = "yyyy\\-mm\\-dd";
    QVERIFY(original.contains(format));
    const struct {
        const char* format;
        const char* shown;
    } formats[] = {{"yyyy\\-mm\\-dd", "2009-03-31"},
                   {"dd/mm/yyyy;@", "2009-03-31"},
                   {"yyyy;@\"abcd\"", "2009-03-31"},
                   {"0.00\\d\\m\\y;@", "39903"}};
    for (const auto& f : formats) {
        const QString copy =
            test::writeFile(path("formats.xls"), QByteArray(original).replace(format, f.format));
        book = Workbook::open(copy);
        QVERIFY(book && book->readSheet("销售", cells, nullptr));
        QCOMPARE(cells.text(4, 11), QString(f.shown));
    }
}

void TestImportFiles::failuresHaveTheirKinds() {
    int code = 0;
    QVERIFY(!Workbook::open(path("missing.xlsx"), &code));
    QCOMPARE(code, int(Workbook::Error::CannotOpen));

    QVERIFY(!Workbook::open(test::writeFile(path("notes.xls"), "just some text, not a workbook\n"),
                            &code));
    QCOMPARE(code, int(Workbook::Error::NotAWorkbook));

    // A zip that holds no workbook.
    QVERIFY(!Workbook::open(zip("other.xlsx", {"readme.txt", "hello"}), &code));
    QCOMPARE(code, int(Workbook::Error::NotAWorkbook));

    // Damaged copies of the .xls fixture: one whose 销售 sheet has a window
    // record retyped as a dimensions record (FreeXL crashes on it), one whose
    // sheet claims 65,536 x 256 cells (more than the reader's memory allows).
    // The helper gives up, the program goes on.
    const QByteArray fixture = test::readFile(QStringLiteral(TL_TEST_DATA "/sales.xls"));
    const QByteArray window("\x3e\x02\x12\x00", 4), dimensions("\x00\x02\x0e\x00", 4);
    QByteArray crash = fixture, huge = fixture;
    const qsizetype second = crash.indexOf(window, crash.indexOf(window) + 1);
    const qsizetype sales = huge.indexOf(dimensions, huge.indexOf(dimensions) + 1);
    QVERIFY(second > 0 && sales > 0);
    crash[second] = 0;
    huge.replace(sales + 4, 12, QByteArray("\0\0\0\0\0\0\1\0\0\0\0\1", 12));
    for (const QByteArray& damaged : {crash, huge}) {
        const QString copy = test::writeFile(path("damaged.xls"), damaged);
        std::unique_ptr<Workbook> book = Workbook::open(copy, &code);
        SheetCells cells;
        if (book)
            QVERIFY(!book->readSheet("销售", cells, &code));
        QCOMPARE(workbookErrorMessage(code), QString("无法读取该文件（文件可能已损坏）。"));
    }
    // Garbage after the right signature.
    const QByteArray bad =
        QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\x07');
    QVERIFY(!Workbook::open(test::writeFile(path("bad.xls"), bad), &code));
    QVERIFY(code != 0);
}

void TestImportFiles::hostileXlsxIsRefused() {
    // A cell in the last column of each of 5,000 rows is 5,000 cells: kept
    // densely they would need 2 GB, more than this process may take here.
    QByteArray rows;
    for (int r = 1; r <= 5000; ++r)
        rows += QByteArray("<row r=\"%1\"><c r=\"XFD%1\" t=\"s\"><v>0</v></c></row>")
                    .replace("%1", QByteArray::number(r));
    const QString wide = xlsx("wide.xlsx", rows, "<si><t>x</t></si>");
    rlimit saved{};
    getrlimit(RLIMIT_AS, &saved);
    rlimit capped = saved;
    const QByteArray statm = test::readFile("/proc/self/statm");
    capped.rlim_cur = rlim_t(statm.split(' ').first().toLongLong() * getpagesize()) + (512 << 20);
    setrlimit(RLIMIT_AS, &capped);
    SheetCells cells;
    const int code = readS(wide, cells);
    setrlimit(RLIMIT_AS, &saved);
    QCOMPARE(code, 0);
    QCOMPARE(cells.cellCount(), 5000);
    QCOMPARE(cells.row(5000, 16384).last(), QString("x"));

    // What holds more than a workbook may is refused, and says so.
    const struct {
        QByteArray sheet, strings;
    } hostile[] = {
        {{}, QByteArray("<si/>").repeated(Workbook::kMaxSharedStrings + 1)},
        {{},
         ("<si><t>" + QByteArray(30000, 'x') + "</t></si>")
             .repeated(Workbook::kMaxTextChars / 30000 + 1)},
        {QByteArray("<x>").repeated(Workbook::kMaxDepth), {}},
        {"<!--" + QByteArray(2 << 20, 'x') + "-->", {}},
    };
    for (const auto& h : hostile)
        QCOMPARE(readS(xlsx("hostile.xlsx", h.sheet, h.strings), cells),
                 int(Workbook::Error::TooLarge));
}

void TestImportFiles::splitsFieldsByQuoteRuns_data() {
    QTest::addColumn<QString>("record");
    QTest::addColumn<QStringList>("fields"); // empty list: incomplete
    QTest::newRow("comma in quotes") << R"("a,b",c)" << QStringList{"a,b", "c"};
    QTest::newRow("doubled quotes") << R"("say ""hi""",x)" << QStringList{R"(say "hi")", "x"};
    QTest::newRow("lone quote opens") << R"(ab"c,d)" << QStringList{};
    QTest::newRow("two quotes are an empty field") << R"("",x)" << QStringList{"", "x"};
    QTest::newRow("text after closing quote") << R"("ab"cd)" << QStringList{"abcd"};
    QTest::newRow("trailing comma") << "a," << QStringList{"a", ""};
    QTest::newRow("blanks kept") << " a , b " << QStringList{" a ", " b "};
    QTest::newRow("empty text") << "" << QStringList{};
}

void TestImportFiles::splitsFieldsByQuoteRuns() {
    QFETCH(QString, record);
    QFETCH(QStringList, fields);
    const std::optional<QStringList> got = splitCsvLine(record);
    if (fields.isEmpty())
        QVERIFY(!got);
    else
        QCOMPARE(got.value_or(QStringList{"<incomplete>"}), fields);
}

void TestImportFiles::lineEndsAndQuotedLineBreaks() {
    // LF, CR and CR LF each end a line; CR LF is one end, LF CR two; empty lines count.
    QCOMPARE(records(write("a,1\r\n\nb,2\n\rc,3")),
             (QStringList{"a|1", "<empty>", "b|2", "<empty>", "c|3"}));

    // A CR LF pair cut by the reader's chunk boundary is still one line end.
    const int chunk = 256 * 1024, lines = chunk / 5 - 1;
    QByteArray big = QByteArray("x,y\r\n").repeated(lines);
    big += QByteArray(chunk - 1 - big.size(), 'z') + "\r\nlast,1\r\n";
    const QStringList all = records(write(big));
    QCOMPARE(all.size(), lines + 2);
    QCOMPARE(all.last(), QString("last|1"));
    QVERIFY(!all.contains("<empty>"));

    // Three physical lines, each ended differently, make one field with two CR LF.
    QCOMPARE(records(write("\"a\nb\rc\",x\nnext,1\n")), (QStringList{"a\r\nb\r\nc|x", "next|1"}));
    // A quote inside a field opens a section that runs on into the next line.
    QCOMPARE(records(write("ab\"c,d\ne\"f,g\n")), (QStringList{"abc,d\r\nef|g"}));
    // A file ending inside a quote drops only that record.
    QCOMPARE(records(write("a,1\nb,2\n\"c,3\nd,4\ne,5")),
             (QStringList{"a|1", "b|2", "<unfinished>"}));
}

void TestImportFiles::encodingIsDetected_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<EncodingChoice>("choice");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QString>("last"); // how the last record ends, fields joined by "|"
    const QString text = QStringLiteral("产品,客户\n铅笔,华联超市\n𠀀字,😀\n");
    QStringEncoder gb("GB18030");
    const QByteArray gbBytes = gb.encode(text);
    const QByteArray utf16 = QStringEncoder(QStringConverter::Utf16LE).encode(text);
    QString traditional;
    for (int i = 0; i < 20; ++i)
        traditional += QStringLiteral("%1,產品%1,客戶,倉庫,備註\n").arg(i);
    const auto A = EncodingChoice::Auto;
    QTest::newRow("GBK") << gbBytes << A << TextEncoding::Gb18030 << "𠀀字|😀";
    QTest::newRow("UTF-8") << text.toUtf8() << A << TextEncoding::Utf8 << "𠀀字|😀";
    // The mark is honoured and not read as text.
    QTest::newRow("UTF-8 mark") << "\xEF\xBB\xBF" + text.toUtf8() << A << TextEncoding::Utf8
                                << "𠀀字|😀";
    QTest::newRow("UTF-16 mark") << "\xFF\xFE" + utf16 << A << TextEncoding::Utf16LE << "𠀀字|😀";
    QTest::newRow("UTF-16 chosen")
        << utf16 << EncodingChoice::Utf16 << TextEncoding::Utf16LE << "𠀀字|😀";
    QTest::newRow("Big5") << QByteArray(QStringEncoder("Big5").encode(traditional)) << A
                          << TextEncoding::Big5 << "19|產品19|客戶|倉庫|備註";
    // One stray Latin-1 byte leaves a UTF-8 file UTF-8.
    QTest::newRow("stray byte") << "Caf\xE9," + text.toUtf8() << A << TextEncoding::Utf8
                                << "𠀀字|😀";
    // GBK deep in an otherwise plain file, a character cut by the reader's
    // chunk boundary reading whole; and a short GBK text.
    QTest::newRow("GBK late") << QByteArray(256 * 1024 - 1, 'a') +
                                     gb.encode(QStringLiteral("张三,李四\n"))
                              << A << TextEncoding::Gb18030 << "a张三|李四";
    QTest::newRow("short GBK") << QByteArray(gb.encode(QStringLiteral("华联超市,北京"))) << A
                               << TextEncoding::Gb18030 << "华联超市|北京";
    // What follows an invalid sequence at the chunk boundary still reads.
    QTest::newRow("invalid at boundary")
        << "\xEF\xBB\xBF" + QByteArray(256 * 1024 - 1, 'a') + "\xE4" + QByteArray("中,x\n") << A
        << TextEncoding::Utf8 << "\uFFFD中|x";
}

void TestImportFiles::encodingIsDetected() {
    QFETCH(QByteArray, bytes);
    QFETCH(EncodingChoice, choice);
    QFETCH(TextEncoding, encoding);
    QFETCH(QString, last);
    const QString path = write(bytes);
    CsvReader r;
    QVERIFY(r.open(path, choice));
    QCOMPARE(r.encoding(), encoding);
    QVERIFY(r.isText());
    const QStringList all = records(path, choice);
    QVERIFY(!all.value(0).startsWith(QChar(0xFEFF))); // a byte-order mark is no text
    QCOMPARE(all.value(all.size() - 1).right(last.size()), last);
}

void TestImportFiles::previewShowsRecordsAsTheImporterReadsThem() {
    Grid grid;
    QByteArray bytes = "h1,h2\n";
    QStringList wide;
    for (int i = 1; i <= 25; ++i)
        wide << QString("f%1").arg(i);
    bytes += wide.join(",").toUtf8() + "\n";
    bytes += "\n";                  // an empty line keeps its row
    bytes += "\"multi\nline\",x\n"; // one record, one row
    for (int i = 5; i <= 12; ++i)   // rows 5..10 shown, the rest not read
        bytes += QString("r%1,v\n").arg(i).toUtf8();
    const QString path = write(bytes, "preview.CSV");
    QCOMPARE(fillImportPreview(grid, path, QString()), QString());
    // Ten rows of twenty columns.
    QCOMPARE(grid.rows(), 11);
    QCOMPARE(grid.cols(), 21);
    QCOMPARE(grid.text(2, 20), QString("f20"));
    QCOMPARE(grid.text(4, 1), QString("multi\r\nline"));
    QCOMPARE(grid.text(10, 1), QString("r10"));

    // An unknown type says so; a file holding a NUL is no text.
    QCOMPARE(fillImportPreview(grid, write("a,b\n", "data.txt"), QString()),
             QString("您选择的文件格式不支持导入，请选择CSV或XLS文件！"));
    QCOMPARE(grid.text(1, 1), QString());
    QString encoding;
    QCOMPARE(
        fillImportPreview(grid, write(QByteArray("a\0b", 3)), {}, EncodingChoice::Auto, &encoding),
        QString("文件不是文本文件，无法导入。"));
    QCOMPARE(encoding, QString("UTF-8（自动识别）"));

    // A workbook: the chosen sheet, its cells up to row 10 and column 20.
    const QString book = test::writeXlsx(m_dir.filePath("wide.xlsx"),
                                         {{"R", "r"}, {"S", QString(9, '\n') + wide.join(',')}});
    QCOMPARE(fillImportPreview(grid, book, "S"), QString());
    QCOMPARE(grid.text(10, 20), QString("f20"));
    QCOMPARE(fillImportPreview(grid, book, "T"),
             QString("输入表格名称有误，无法打开表格，请重新输入！"));
}

QTEST_GUILESS_MAIN(TestImportFiles)
#include "TestImportFiles.moc"
