#include "data/Database.h"
#include "data/Rights.h"
#include "grid/Grid.h"
#include "importexport/ImportCommand.h"
#include "importexport/ImportMapDialog.h"
#include "importexport/SheetsDialog.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainTabs.h"
#include "mainwindow/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <xlsxwriter.h>

using namespace tl;

namespace {

// Runs a function on the next modal dialog that opens.
void onNextDialog(std::function<void(QDialog*)> fn) {
    QTimer::singleShot(0, [fn] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        fn(dialog);
    });
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

QString threeSheets(const QString& path) {
    lxw_workbook* wb = workbook_new(path.toUtf8().constData());
    workbook_add_worksheet(wb, "封面");
    lxw_worksheet* ws = workbook_add_worksheet(wb, "客户");
    workbook_add_worksheet(wb, "备用");
    worksheet_write_string(ws, 0, 2, "姓名", nullptr);
    worksheet_write_string(ws, 1, 1, "华东", nullptr);
    worksheet_write_string(ws, 1, 2, "王五", nullptr);
    worksheet_write_string(ws, 2, 2, "赵六", nullptr);
    workbook_close(wb);
    return path;
}

} // namespace

class TestImportDialogs : public QObject {
    Q_OBJECT
private slots:
    void mappingDialogFollowsTheTable();
    void lineBoxesTakeOnlyDigits();
    void previewMessagesShowOverTheDialog();
    void okImportsCsvAndWorksheets();
    void chooserMarksOneSheet();
    void importButtonsRunTheWholeCommand();

private:
    QTemporaryDir m_dir;
};

void TestImportDialogs::mappingDialogFollowsTheTable() {
    test::TestAccountSet set;
    const QString csv = writeFile(m_dir.filePath("a.csv"), "x\n");
    for (ImportTable t : allImportTables()) {
        const ImportTableDef& def = importTableDef(t);
        ImportMapDialog d(t, set.db(), csv, {}, Progress::silent());
        QCOMPARE(d.windowTitle(), QString("导入EXCEL表格（列对应设置）"));
        QStringList frames;
        for (QGroupBox* g : d.findChildren<QGroupBox*>())
            frames << g->title();
        QCOMPARE(frames, (QStringList{"数据项对应关系", "数据起止行"}));
        for (int i = 0; i < def.fieldSlots.size(); ++i) {
            QLineEdit* box = d.findChild<QLineEdit*>(QString("TT_%1").arg(i));
            QVERIFY(box && box == d.columnBox(i));
            QCOMPARE(box->text(), def.fieldSlots[i].column);
            bool labelled = false;
            for (QLabel* l : d.findChildren<QLabel*>())
                labelled |= l->buddy() == box && l->text() == def.fieldSlots[i].label + "：";
            QVERIFY2(labelled, qPrintable(def.fieldSlots[i].label));
        }
        QCOMPARE(d.firstLineBox()->objectName(), QString("TT_20"));
        QCOMPARE(d.firstLineBox()->text(), QString("2"));
        QCOMPARE(d.lastLineBox()->text(), QString("10"));
        QCOMPARE(d.okButton()->text(), QString("确  定"));
        QCOMPARE(d.cancelButton()->text(), QString("取  消"));
        QVERIFY(d.okButton()->isDefault());
        QCOMPARE(d.findChild<QLabel*>("Label1")->text(), QString("表格示例："));
    }
    // Ten sale boxes make two rows, three account boxes one.
    ImportMapDialog sale(ImportTable::Sales, set.db(), csv, {}, Progress::silent());
    sale.show();
    QApplication::processEvents();
    QVERIFY(sale.columnBox(9)->y() > sale.columnBox(0)->y());
    QCOMPARE(sale.columnBox(4)->y(), sale.columnBox(0)->y());
}

void TestImportDialogs::lineBoxesTakeOnlyDigits() {
    test::TestAccountSet set;
    ImportMapDialog d(ImportTable::Regions, set.db(), writeFile(m_dir.filePath("b.csv"), "x\n"), {},
                      Progress::silent());
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    QLineEdit* first = d.firstLineBox();
    first->clear();
    QTest::keyClicks(first, "a1b2-");
    QCOMPARE(first->text(), QString("12"));
    QTest::keyClick(first, Qt::Key_Backspace);
    QCOMPARE(first->text(), QString("1"));
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
}

void TestImportDialogs::previewMessagesShowOverTheDialog() {
    test::TestAccountSet set;
    test::ScriptedDialogs dialogs;
    const QString book = threeSheets(m_dir.filePath("three.xlsx"));
    {
        ImportMapDialog d(ImportTable::Customers, set.db(), book, "客户", Progress::silent());
        QCOMPARE(d.previewGrid()->text(2, 3), QString("王五"));
        d.show();
        QApplication::processEvents();
        QVERIFY(dialogs.messages.isEmpty());
    }
    {
        ImportMapDialog d(ImportTable::Customers, set.db(), book, "不存在", Progress::silent());
        d.show();
        QApplication::processEvents();
        QCOMPARE(dialogs.messages, QStringList{"输入表格名称有误，无法打开表格，请重新输入！"});
        // OK then imports nothing and says why again; the operator may cancel.
        d.okButton()->click();
        QVERIFY(d.isVisible());
        QCOMPARE(dialogs.lastMessage(), QString("输入表格名称有误，无法打开表格，请重新输入！"));
        QCOMPARE(set.db().value("SELECT COUNT(*) FROM Customer").toInt(), 0);
    }
    dialogs.clear();
    {
        const QString txt = writeFile(m_dir.filePath("c.txt"), "王五\n");
        ImportMapDialog d(ImportTable::Customers, set.db(), txt, {}, Progress::silent());
        d.show();
        QApplication::processEvents();
        QCOMPARE(dialogs.lastMessage(),
                 QString("您选择的文件格式不支持导入，请选择CSV或XLS文件！"));
        dialogs.clear();
        d.okButton()->click();
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(!d.isVisible());
    }
}

void TestImportDialogs::okImportsCsvAndWorksheets() {
    test::TestAccountSet set;
    test::ScriptedDialogs dialogs;
    const QString csv = writeFile(m_dir.filePath("customers.csv"),
                                  "序号,地区,姓名\n1,华北,张三\n2,华北,\n3,华南,李四\n");
    ImportMapDialog d(ImportTable::Customers, set.db(), csv, {}, Progress::silent());
    QCOMPARE(d.previewGrid()->text(2, 3), QString("张三"));
    d.show();
    d.okButton()->click();
    QCOMPARE(dialogs.lastMessage(), QString("导入完成：添加了 2 条客户记录，跳过 1 行。\n"
                                            "必填项为空（姓名）：1 行（第 3 行）"));
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result().added, 2);

    // A worksheet imports too: row n is line n.
    const QString book = threeSheets(m_dir.filePath("three.xlsx"));
    ImportMapDialog w(ImportTable::Customers, set.db(), book, "客户", Progress::silent());
    w.show();
    w.okButton()->click();
    QCOMPARE(dialogs.lastMessage(), QString("导入完成：添加了 2 条客户记录。"));
    QCOMPARE(set.db().value("SELECT COUNT(*) FROM Customer WHERE Name IN ('王五','赵六')").toInt(),
             2);

    // An empty box for a required field keeps the dialog open with a message.
    ImportMapDialog e(ImportTable::Customers, set.db(), csv, {}, Progress::silent());
    e.show();
    e.columnBox(1)->clear();
    e.okButton()->click();
    QCOMPARE(dialogs.lastMessage(), QString("请填写“姓名”对应的列号！"));
    QVERIFY(e.isVisible());
}

void TestImportDialogs::chooserMarksOneSheet() {
    SheetsDialog d({"一", "二", "三"});
    QCOMPARE(d.windowTitle(), QString("选择XLS表格"));
    QCOMPARE(d.findChild<QLabel*>("Label1")->text(), QString("请在要选择的表格名称所在行打上“√”"));
    QCOMPARE(d.okButton()->text(), QString("确   定"));
    QCOMPARE(d.cancelButton()->text(), QString("取   消"));
    Grid& g = *d.grid();
    QCOMPARE(g.rows(), 4);
    QCOMPARE(g.text(0, 0), QString("No."));
    QCOMPARE(g.text(0, 1), QString("选择"));
    QCOMPARE(g.text(0, 2), QString("工作表名称"));
    QCOMPARE(g.colWidth(2), 4400);
    QCOMPARE(g.text(3, 0), QString("3"));
    QCOMPARE(g.text(1, 1), QString("√"));
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
    test::TestAccountSet set;
    test::ScriptedDialogs dialogs;
    Session session{set.path(), "admin", "1", Rights::all()};
    MainWindow window(session, Database::open(set.path()));
    window.show();
    window.tabs()->setCurrentIndex(SettingsTab);
    window.tabs()->settingsTabs()->setCurrentIndex(CustomersPage);
    QPushButton* import = window.tabs()->button({Bank::Master, 42});
    QVERIFY(import && import->isVisible() && import->isEnabled());

    // A workbook: the chooser, then the mapping dialog, then the grid reloads.
    dialogs.nextFileName(threeSheets(m_dir.filePath("cmd.xlsx")));
    onNextDialog([](QDialog* chooser) {
        auto* sheets = qobject_cast<SheetsDialog*>(chooser);
        QVERIFY(sheets);
        sheets->toggleRow(2);
        onNextDialog([](QDialog* map) {
            auto* d = qobject_cast<ImportMapDialog*>(map);
            QVERIFY(d);
            QCOMPARE(d->previewGrid()->text(2, 3), QString("王五"));
            d->okButton()->click();
        });
        sheets->okButton()->click();
    });
    import->click();
    QCOMPARE(dialogs.lastMessage(), QString("导入完成：添加了 2 条客户记录。"));
    QVERIFY(dialogs.fileFilters.last().startsWith("CSV (逗号分隔)(*.csv)"));
    bool listed = false;
    for (int r = 1; r < window.grid().rows(); ++r)
        for (int c = 0; c < window.grid().cols(); ++c)
            listed |= window.grid().text(r, c) == "赵六";
    QVERIFY(listed);

    // A file that is no workbook: the chooser's message, then the preview's.
    dialogs.clear();
    dialogs.nextFileName(writeFile(m_dir.filePath("fake.xls"), "not a workbook"));
    onNextDialog([](QDialog* map) {
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
    QCOMPARE(importTableOfTab(SalesTab, 0), std::optional<ImportTable>(ImportTable::Sales));
    QCOMPARE(importTableOfTab(SettingsTab, RegionsPage),
             std::optional<ImportTable>(ImportTable::Regions));
    QCOMPARE(importTableOfTab(StatisticsTab, 0), std::optional<ImportTable>());
}

QTEST_MAIN(TestImportDialogs)
#include "TestImportDialogs.moc"
