#include "grid/Grid.h"
#include "importexport/CsvReader.h"
#include "importexport/ImportPreview.h"
#include "support/TestTools.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

Q_DECLARE_METATYPE(tl::EncodingChoice)
Q_DECLARE_METATYPE(tl::TextEncoding)

class TestCsvReader : public QObject {
    Q_OBJECT
private slots:
    void splitsFieldsByQuoteRuns_data();
    void splitsFieldsByQuoteRuns();
    void lineEndsAndQuotedLineBreaks();
    void encodingIsDetected_data();
    void encodingIsDetected();
    void previewShowsRecordsAsTheImporterReadsThem();

private:
    QString write(const QByteArray& bytes, const QString& name = "f.csv") {
        return test::writeFile(m_dir.filePath(name), bytes);
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
    QTemporaryDir m_dir;
};

void TestCsvReader::splitsFieldsByQuoteRuns_data() {
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

void TestCsvReader::splitsFieldsByQuoteRuns() {
    QFETCH(QString, record);
    QFETCH(QStringList, fields);
    const std::optional<QStringList> got = splitCsvLine(record);
    if (fields.isEmpty())
        QVERIFY(!got);
    else
        QCOMPARE(got.value_or(QStringList{"<incomplete>"}), fields);
}

void TestCsvReader::lineEndsAndQuotedLineBreaks() {
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

void TestCsvReader::encodingIsDetected_data() {
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

void TestCsvReader::encodingIsDetected() {
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
    QCOMPARE(all.value(all.size() - 1).right(last.size()), last);
}

void TestCsvReader::previewShowsRecordsAsTheImporterReadsThem() {
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
    QVERIFY(!fillImportPreview(grid, write("a,b\n", "data.txt"), QString()).isEmpty());
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

QTEST_GUILESS_MAIN(TestCsvReader)
#include "TestCsvReader.moc"
