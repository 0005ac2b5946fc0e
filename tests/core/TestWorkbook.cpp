#include "grid/Grid.h"
#include "importexport/ImportPreview.h"
#include "importexport/Workbook.h"
#include "support/TestTools.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <xlsxwriter.h>
#include <zip.h>

using namespace tl;

class TestWorkbook : public QObject {
    Q_OBJECT
private slots:
    void xlsxShowsCellsAsTheSheetDoes();
    void constantMemoryWorkbooksUseInlineStrings();
    void xlsFixtureReads();
    void failuresHaveTheirKinds();
    void previewShowsTheChosenSheet();
    void generalNumbers();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestWorkbook::xlsxShowsCellsAsTheSheetDoes() {
    const QString file = path("cells.xlsx");
    lxw_workbook* wb = workbook_new(file.toUtf8().constData());
    workbook_add_worksheet(wb, "一");
    lxw_worksheet* ws = workbook_add_worksheet(wb, "数据 2");
    workbook_add_worksheet(wb, "三");
    lxw_format* iso = workbook_add_format(wb);
    format_set_num_format(iso, "yyyy-mm-dd");
    lxw_format* builtin = workbook_add_format(wb);
    format_set_num_format_index(builtin, 14);
    lxw_format* chinese = workbook_add_format(wb);
    format_set_num_format(chinese, "yyyy\"年\"m\"月\"d\"日\"");
    lxw_format* stamp = workbook_add_format(wb);
    format_set_num_format(stamp, "yyyy/mm/dd hh:mm:ss");
    lxw_format* money = workbook_add_format(wb);
    format_set_num_format(money, "#,##0.00");
    lxw_datetime day{2009, 3, 8, 0, 0, 0};
    lxw_datetime moment{2010, 12, 31, 13, 5, 9};
    worksheet_write_string(ws, 0, 0, "产品", nullptr);
    worksheet_write_string(ws, 0, 2, "产品", nullptr); // a shared string used twice
    worksheet_write_number(ws, 1, 0, 1234.5, money);   // numbers read plain, for importing
    worksheet_write_number(ws, 1, 1, 3, nullptr);
    worksheet_write_number(ws, 1, 2, 0.1 + 0.2, nullptr);
    worksheet_write_datetime(ws, 2, 0, &day, iso);
    worksheet_write_datetime(ws, 2, 1, &day, builtin);
    worksheet_write_datetime(ws, 2, 2, &day, chinese);
    worksheet_write_datetime(ws, 2, 3, &moment, stamp);
    worksheet_write_boolean(ws, 3, 0, 1, nullptr);
    worksheet_write_formula_num(ws, 3, 1, "=B2*2", nullptr, 6);
    worksheet_write_string(ws, 4, 27, "AB5", nullptr);
    worksheet_write_string(ws, 6, 0, "O'Brien, \"大\"", nullptr);
    QCOMPARE(workbook_close(wb), LXW_NO_ERROR);

    int code = 0;
    std::unique_ptr<Workbook> book = Workbook::open(file, &code);
    QVERIFY(book);
    QCOMPARE(book->sheetNames(), (QStringList{"一", "数据 2", "三"}));
    SheetCells cells;
    QVERIFY(book->readSheet("数据 2", cells, &code));
    auto row = [&cells](int r) {
        QStringList texts;
        for (int c = 1; c <= 4; ++c)
            texts << cells.text(r, c);
        return texts.join('|');
    };
    QCOMPARE(row(1), QString("产品||产品|"));
    QCOMPARE(row(2), QString("1234.5|3|0.3|"));
    QCOMPARE(row(3), QString("2009-03-08|2009/3/8|2009年3月8日|2010/12/31 13:05:09"));
    QCOMPARE(row(4), QString("TRUE|6||"));
    QCOMPARE(cells.text(5, 28), QString("AB5"));
    QCOMPARE(cells.text(7, 1), QString("O'Brien, \"大\""));
    QCOMPARE(cells.rowCount(), 7);

    // Only the rows and columns asked for.
    QVERIFY(book->readSheet("数据 2", cells, &code, 3, 2));
    QCOMPARE(cells.rowCount(), 3);
    QCOMPARE(cells.text(3, 2), QString("2009/3/8"));

    QVERIFY(!book->readSheet("四", cells, &code));
    QCOMPARE(code, int(Workbook::Error::NoSuchSheet));
}

void TestWorkbook::constantMemoryWorkbooksUseInlineStrings() {
    const QString file = path("inline.xlsx");
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(file.toUtf8().constData(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Sheet1");
    for (int r = 0; r < 3; ++r) {
        worksheet_write_string(ws, r, 0, QString("名称%1").arg(r).toUtf8().constData(), nullptr);
        worksheet_write_number(ws, r, 1, r * 1.25, nullptr);
    }
    QCOMPARE(workbook_close(wb), LXW_NO_ERROR);
    std::unique_ptr<Workbook> book = Workbook::open(file);
    QVERIFY(book);
    SheetCells cells;
    QVERIFY(book->readSheet("Sheet1", cells, nullptr));
    QCOMPARE(cells.text(3, 1), QString("名称2"));
    QCOMPARE(cells.text(3, 2), QString("2.5"));
}

void TestWorkbook::xlsFixtureReads() {
    const QString file = QStringLiteral(TL_TEST_DATA "/sales.xls");
    std::unique_ptr<Workbook> book = Workbook::open(file);
    QVERIFY(book);
    QCOMPARE(book->sheetNames(), (QStringList{"说明", "销售", "空表"}));
    SheetCells cells;
    QVERIFY(book->readSheet("销售", cells, nullptr));
    QCOMPARE(cells.rowCount(), 4);
    QCOMPARE(cells.text(3, 6), QString("0.8"));
    QCOMPARE(cells.text(2, 7), QString("100"));
    QCOMPARE(cells.text(4, 11), QString("2009-03-31"));
    QCOMPARE(cells.text(4, 3), QString("O'Brien 文具"));
    QVERIFY(book->readSheet("空表", cells, nullptr));
    QCOMPARE(cells.rowCount(), 0);
}

void TestWorkbook::failuresHaveTheirKinds() {
    int code = 0;
    QVERIFY(!Workbook::open(path("missing.xlsx"), &code));
    QCOMPARE(code, int(Workbook::Error::CannotOpen));

    QVERIFY(!Workbook::open(test::writeFile(path("notes.xls"), "just some text, not a workbook\n"),
                            &code));
    QCOMPARE(code, int(Workbook::Error::NotAWorkbook));

    // A zip that holds no workbook.
    const QString zipPath = path("other.xlsx");
    int err = 0;
    zip_t* z = zip_open(zipPath.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    QVERIFY(z);
    const char body[] = "hello";
    zip_source_t* src = zip_source_buffer(z, body, sizeof body - 1, 0);
    QVERIFY(zip_file_add(z, "readme.txt", src, ZIP_FL_OVERWRITE) >= 0);
    QVERIFY(zip_close(z) == 0);
    QVERIFY(!Workbook::open(zipPath, &code));
    QCOMPARE(code, int(Workbook::Error::NotAWorkbook));

    // A damaged .xls: the right signature, then garbage.
    const QByteArray bad =
        QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\x07');
    QVERIFY(!Workbook::open(test::writeFile(path("bad.xls"), bad), &code));
    QVERIFY(code != 0);
}

void TestWorkbook::previewShowsTheChosenSheet() {
    const QString file = path("wide.xlsx");
    lxw_workbook* wb = workbook_new(file.toUtf8().constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, "S");
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 22; ++c)
            worksheet_write_number(ws, r, c, r * 100 + c, nullptr);
    QCOMPARE(workbook_close(wb), LXW_NO_ERROR);
    Grid grid;
    QCOMPARE(fillImportPreview(grid, file, "S"), QString());
    QCOMPARE(grid.text(10, 20), QString("919"));
    QCOMPARE(grid.cols(), 21);
    QVERIFY(!fillImportPreview(grid, file, "T").isEmpty());
    QCOMPARE(grid.text(1, 1), QString());
}

void TestWorkbook::generalNumbers() {
    QCOMPARE(generalNumberText(0.1 + 0.2), QString("0.3"));
    QCOMPARE(generalNumberText(1e-5), QString("0.00001"));
    QCOMPARE(generalNumberText(123456789012.25), QString("123456789012.25"));
}

QTEST_GUILESS_MAIN(TestWorkbook)
#include "TestWorkbook.moc"
