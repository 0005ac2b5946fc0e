#include "grid/Grid.h"
#include "importexport/CsvReader.h"
#include "importexport/ImportPreview.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

class TestCsvReader : public QObject {
    Q_OBJECT
private slots:
    void splitsFieldsByQuoteRuns_data();
    void splitsFieldsByQuoteRuns();
    void everyLineEndEndsAPhysicalLine();
    void quotedFieldsJoinLinesWithCrLf();
    void fileEndingInsideAQuoteDropsOnlyThatRecord();
    void encodingIsDetected();
    void previewShowsRecordsAsTheImporterReadsThem();

private:
    QString write(const QByteArray& bytes, const QString& name = "f.csv") {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        f.write(bytes);
        return path;
    }
    // Every record of a file: fields joined by "|", "<empty>" for an empty line.
    QStringList records(const QString& path, CsvReader::Record* last = nullptr) {
        CsvReader r;
        if (!r.open(path))
            return {"<cannot open>"};
        QStringList out;
        QStringList fields;
        for (;;) {
            const CsvReader::Record k = r.readRecord(fields);
            if (last)
                *last = k;
            if (k == CsvReader::Record::End || k == CsvReader::Record::Unfinished)
                break;
            out << (k == CsvReader::Record::Empty ? QString("<empty>") : fields.join("|"));
        }
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

void TestCsvReader::everyLineEndEndsAPhysicalLine() {
    // LF, CR and CR LF each end a line; CR LF is one end, LF CR two; empty lines count.
    QCOMPARE(records(write("a,1\r\n\nb,2\n\rc,3")),
             (QStringList{"a|1", "<empty>", "b|2", "<empty>", "c|3"}));

    // A CR LF pair cut by the reader's chunk boundary is still one line end.
    QByteArray big;
    while (big.size() < 256 * 1024 - 6)
        big += "x,y\r\n";
    big.truncate(256 * 1024 - 1);
    big.chop(big.size() - big.lastIndexOf('\n') - 1);
    const int lines = big.count('\n');
    big += QByteArray(256 * 1024 - 1 - big.size(), 'z') + "\r\nlast,1\r\n";
    const QStringList all = records(write(big));
    QCOMPARE(all.size(), lines + 2);
    QCOMPARE(all.last(), QString("last|1"));
    QVERIFY(!all.contains("<empty>"));
}

void TestCsvReader::quotedFieldsJoinLinesWithCrLf() {
    // Three physical lines, each ended differently, make one field with two CR LF.
    QCOMPARE(records(write("\"a\nb\rc\",x\nnext,1\n")), (QStringList{"a\r\nb\r\nc|x", "next|1"}));
    // A quote inside a field opens a section that runs on into the next line.
    QCOMPARE(records(write("ab\"c,d\ne\"f,g\n")), (QStringList{"abc,d\r\nef|g"}));
}

void TestCsvReader::fileEndingInsideAQuoteDropsOnlyThatRecord() {
    CsvReader::Record last = CsvReader::Record::Fields;
    QCOMPARE(records(write("a,1\nb,2\n\"c,3\nd,4\ne,5"), &last), (QStringList{"a|1", "b|2"}));
    QCOMPARE(last, CsvReader::Record::Unfinished);
}

void TestCsvReader::encodingIsDetected() {
    const QString text = QStringLiteral("产品,客户\n铅笔,华联超市\n𠀀字,😀\n");
    const QStringList expected{"产品|客户", "铅笔|华联超市", "𠀀字|😀"};

    QStringEncoder gb("GB18030");
    const QByteArray gbBytes = gb.encode(text);
    CsvReader r;
    QVERIFY(r.open(write(gbBytes)));
    QCOMPARE(r.encoding(), TextEncoding::Gb18030);
    QCOMPARE(records(write(gbBytes)), expected);

    QCOMPARE(records(write(text.toUtf8())), expected);
    // The mark is honoured and not read as text.
    QCOMPARE(records(write("\xEF\xBB\xBF" + text.toUtf8())), expected);
    QStringEncoder utf16(QStringConverter::Utf16LE);
    QCOMPARE(records(write("\xFF\xFE" + QByteArray(utf16.encode(text)))), expected);

    // One GBK name deep in an otherwise plain file makes the whole file GBK,
    // and a character cut by the reader's chunk boundary still reads whole.
    const QByteArray mixed =
        QByteArray(256 * 1024 - 1, 'a') + gb.encode(QStringLiteral("张三,李四\n"));
    QVERIFY(records(write(mixed)).last().endsWith(QString("aa张三|李四")));
    // A short GBK text reads as GBK too.
    QCOMPARE(records(write(gb.encode(QStringLiteral("华联超市,北京")))),
             QStringList{"华联超市|北京"});
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

    // Not a CSV name: nothing read; an unknown type says so.
    csvToGrid(grid, write("a,b\n", "data.txt"));
    QCOMPARE(grid.text(1, 1), QString("h1"));
    QVERIFY(!fillImportPreview(grid, m_dir.filePath("data.txt"), QString()).isEmpty());
    QCOMPARE(grid.text(1, 1), QString());
}

QTEST_GUILESS_MAIN(TestCsvReader)
#include "TestCsvReader.moc"
