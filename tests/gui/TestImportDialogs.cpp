#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "gui/importexport/ImportCommand.h"
#include "gui/importexport/ImportMapDialog.h"
#include "gui/importexport/SheetsDialog.h"
#include "gui/mainwindow/MainCommands.h"
#include "support/MainWindowFixture.h"
#include "support/NextDialog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tl;

class TestImportDialogs : public QObject {
    Q_OBJECT
private slots:
    void lineBoxesTakeOnlyDigits();
    void headerLinesAndTheMappingKept();
    void okImportsOrSaysWhyNot();
    void chooserMarksOneSheet();
    void importButtonsRunTheWholeCommand();

private:
    QString threeSheets(const QString& name) {
        return test::writeXlsx(m_dir.filePath(name),
                               {{"封面"}, {"客户", ",,姓名\n,华东,王五\n,,赵六"}, {"备用"}});
    }
    QTemporaryDir m_dir;
    test::ProgramSettings m_settings;
};

void TestImportDialogs::lineBoxesTakeOnlyDigits() {
    test::TestAccountSet set;
    ImportMapDialog d(ListedTable::Regions, set.db(),
                      test::writeFile(m_dir.filePath("b.csv"), "x\n"), {}, Progress::silent());
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    QLineEdit* first = d.firstLineBox();
    first->clear();
    QTest::keyClicks(first, "a1b2-");
    QCOMPARE(first->text(), QString("12"));
    QTest::keyClick(first, Qt::Key_Backspace);
    // Column boxes take any text; the first has the focus, so typing replaces it.
    QTest::keyClicks(d.columnBox(0), "ab");
    QCOMPARE(d.request().columns.first(), QString("ab"));
    d.lastLineBox()->clear();
    QCOMPARE(d.request().lastLine, 0);
    QCOMPARE(d.request().firstLine, 1);
    // Focus selects the whole box, so typing replaces it.
    QTest::mouseClick(d.columnBox(1), Qt::LeftButton);
    QApplication::processEvents();
    QTest::keyClicks(d.columnBox(1), "D");
    QCOMPARE(d.columnBox(1)->text(), QString("D"));
    QVERIFY(!d.headerButton()->isVisible()); // "x" is no header
}

void TestImportDialogs::headerLinesAndTheMappingKept() {
    test::TestAccountSet set;
    test::ScriptedDialogs dialogs;
    QString text = "说明,序号,地区\n";
    for (int i = 2; i <= 12; ++i)
        text += QString(",%1,区%1\n").arg(i);
    const QString csv = test::writeFile(m_dir.filePath("regions.csv"), text.toUtf8());
    {
        ImportMapDialog d(ListedTable::Regions, set.db(), csv, {}, Progress::silent());
        d.show();
        QCOMPARE(d.lineCountLabel()->text(), QString("文件共 12 行"));
        d.toLastLineButton()->click();
        QCOMPARE(d.lastLineBox()->text(), QString("12"));
        QVERIFY(d.headerButton()->isVisible());
        d.firstLineBox()->setText("1");
        d.headerButton()->click();
        QCOMPARE(d.request().columns, QStringList({"C", "A"}));
        QCOMPARE(d.request().firstLine, 2); // past the header
        QCOMPARE(d.headerLabel()->text(), QString("各项都已按表头对应。"));
        d.defaultsButton()->click();
        QCOMPARE(d.request().columns, QStringList({"B", "C"}));
        d.headerButton()->click();
        d.encodingBox()->setCurrentText("GB18030");
        d.encodingBox()->setCurrentText("UTF-8");
        dialogs.answer(true);
        d.okButton()->click();
        QCOMPARE(test::rowCount(set.db(), "Region"), 11);
    }
    // The next import of the table starts from the mapping stored last.
    ImportMapDialog next(ListedTable::Regions, set.db(), csv, {}, Progress::silent());
    const ImportRequest r = next.request();
    QCOMPARE(r.columns, QStringList({"C", "A"}));
    QCOMPARE(QList<int>({r.firstLine, r.lastLine}), QList<int>({2, 12}));
    QCOMPARE(next.encodingBox()->currentText(), QString("UTF-8"));
    QCOMPARE(ImportMapDialog(ListedTable::Classes, set.db(), csv, {}, Progress::silent())
                 .request()
                 .lastLine,
             10);
}

void TestImportDialogs::okImportsOrSaysWhyNot() {
    test::TestAccountSet set;
    test::ScriptedDialogs dialogs;
    // Preview messages show over the dialog.
    {
        ImportMapDialog d(ListedTable::Customers, set.db(), threeSheets("three.xlsx"), "不存在",
                          Progress::silent());
        d.show();
        QApplication::processEvents();
        const QStringList wrongSheet{"输入表格名称有误，无法打开表格，请重新输入！"};
        QCOMPARE(dialogs.messages, wrongSheet);
        // OK then imports nothing and says why again; the operator may cancel.
        d.okButton()->click();
        QVERIFY(d.isVisible());
        QCOMPARE(dialogs.messages, wrongSheet + wrongSheet);
        QCOMPARE(test::rowCount(set.db(), "Customer"), 0);
    }
    dialogs.clear();
    {
        const QString txt = test::writeFile(m_dir.filePath("c.txt"), "王五\n");
        ImportMapDialog d(ListedTable::Customers, set.db(), txt, {}, Progress::silent());
        d.show();
        QApplication::processEvents();
        QCOMPARE(dialogs.lastMessage(),
                 QString("您选择的文件格式不支持导入，请选择CSV或XLS文件！"));
        dialogs.clear();
        d.okButton()->click();
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(!d.isVisible());
    }

    // A readable file: OK imports and shows the summary.
    dialogs.clear();
    const QString csv = test::writeFile(m_dir.filePath("customers.csv"),
                                        "序号,地区,姓名\n1,华北,张三\n2,华北,\n3,华南,李四\n");
    ImportMapDialog d(ListedTable::Customers, set.db(), csv, {}, Progress::silent());
    d.show();
    // The encoding read is shown; another choice reads the preview again.
    QCOMPARE(d.encodingLabel()->text(), QString("UTF-8（自动识别）"));
    d.encodingBox()->setCurrentText("GB18030");
    QCOMPARE(d.encodingLabel()->text(), QString("GB18030"));
    QVERIFY(d.previewGrid()->text(2, 3) != "张三");
    d.encodingBox()->setCurrentText("自动");
    QCOMPARE(d.previewGrid()->text(2, 3), QString("张三"));
    // OK asks first; No stores nothing and goes back to the mapping.
    d.okButton()->click();
    QCOMPARE(
        dialogs.questions,
        QStringList("将添加 2 条客户记录；将新建地区 2 个（华北、华南）；将跳过 1 行（第 3 行）"
                    "。是否导入？\n必填项为空（姓名）：1 行（第 3 行）"));
    QVERIFY(d.isVisible() && dialogs.messages.isEmpty());
    QCOMPARE(test::rowCount(set.db(), "Customer") +
                 test::rowCount(set.db(), "Region WHERE Region='华南'"),
             0);
    dialogs.answer(true);
    d.okButton()->click();
    QCOMPARE(dialogs.lastMessage(), QString("导入完成：添加了 2 条客户记录，跳过 1 行。\n"
                                            "新建地区 2 个（华北、华南）。\n"
                                            "必填项为空（姓名）：1 行（第 3 行）\n"
                                            "文件编码：UTF-8（自动识别）"));
    QVERIFY(!d.isVisible());

    // An empty box for a required field keeps the dialog open with a message.
    ImportMapDialog e(ListedTable::Customers, set.db(), csv, {}, Progress::silent());
    e.show();
    e.columnBox(1)->clear();
    e.okButton()->click();
    QCOMPARE(dialogs.lastMessage(), QString("请填写“姓名”对应的列号！"));
    QVERIFY(e.isVisible());
}

void TestImportDialogs::chooserMarksOneSheet() {
    SheetsDialog d({"一", "二", "三"});
    Grid& g = *d.grid();
    QCOMPARE(g.text(1, 1), QString("√")); // the first sheet is marked to begin with
    d.toggleRow(3);
    QCOMPARE(g.text(1, 1), QString());
    QCOMPARE(g.text(3, 1), QString("√"));
    d.toggleRow(3);
    QCOMPARE(d.markedSheet(), QString());
    d.toggleRow(2);
    d.toggleRow(0); // the header toggles nothing
    QCOMPARE(d.markedSheet(), QString("二"));
    d.okButton()->click();
    QCOMPARE(d.chosenSheet(), QString("二"));

    SheetsDialog c({"一", "二"});
    c.toggleRow(2);
    c.cancelButton()->click();
    QCOMPARE(c.chosenSheet(), QString());
}

void TestImportDialogs::importButtonsRunTheWholeCommand() {
    test::MainWindowFixture f;
    f.open();
    f.window->show();
    f.tabs().setCurrentIndex(SettingsTab);
    f.tabs().settingsTabs()->setCurrentIndex(CustomersPage);
    QPushButton* import = f.button(Bank::Master, 42);
    test::ScriptedDialogs& dialogs = f.dialogs;
    QVERIFY(import && import->isVisible() && import->isEnabled());

    // A workbook: the chooser, then the mapping dialog, then the grid reloads.
    // No message but the summary: the chosen sheet's preview opened.
    dialogs.nextFileName(threeSheets("cmd.xlsx"));
    test::onNextDialog([](QDialog* chooser) {
        auto* sheets = qobject_cast<SheetsDialog*>(chooser);
        QVERIFY(sheets);
        sheets->toggleRow(2);
        test::onNextDialog([](QDialog* map) {
            auto* d = qobject_cast<ImportMapDialog*>(map);
            QVERIFY(d);
            QCOMPARE(d->previewGrid()->text(2, 3), QString("王五"));
            d->okButton()->click();
        });
        sheets->okButton()->click();
    });
    dialogs.answer(true);
    import->click();
    QCOMPARE(dialogs.messages,
             QStringList{"导入完成：添加了 2 条客户记录。\n新建地区 2 个（华东、未知区域）。"});
    QStringList cells;
    for (int r = 1; r < f.window->grid().rows(); ++r)
        cells += test::rowText(f.window->grid(), r).split('|');
    QVERIFY(cells.contains("赵六"));

    // A file that is no workbook: the chooser's message, then the preview's.
    dialogs.clear();
    dialogs.nextFileName(test::writeFile(m_dir.filePath("fake.xls"), "not a workbook"));
    test::onNextDialog([](QDialog* map) {
        QVERIFY(qobject_cast<ImportMapDialog*>(map));
        QTimer::singleShot(0, map, &QDialog::reject);
    });
    import->click();
    QCOMPARE(dialogs.messages,
             (QStringList{"无法打开XLS文件！", "文件类型不对，请选择Excel文档！"}));

    // Cancelling the file choice does nothing.
    dialogs.clear();
    import->click();
    QVERIFY(dialogs.messages.isEmpty());
}

QTEST_MAIN(TestImportDialogs)
#include "TestImportDialogs.moc"
