#include "masterdata/RightsEditor.h"
#include "masterdata/RightsSheet.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"
#include "widgets/GridView.h"

#include <QComboBox>
#include <QPushButton>
#include <QTableView>

using namespace tl;

namespace {

int rowOf(const QString& name) {
    return static_cast<int>(Rights::vocabulary().indexOf(name)) + 1;
}

QString stored(const Database& db, int uid) {
    return db.value("SELECT \"Right\" FROM Staff WHERE UID=?", {uid}).toString();
}

} // namespace

class TestRightsEditor : public QObject {
    Q_OBJECT
private slots:
    void listsTheChosenOperator();
    void clicksToggleOnlyTheMarkColumn();
};

void TestRightsEditor::listsTheChosenOperator() {
    test::TestAccountSet set;
    const Database& db = set.db();
    db.exec("INSERT INTO Staff (Name, \"Right\") VALUES ('小李', ?)",
            {Rights::join({"查看产品设置", "添加销售记录"})});
    db.exec("INSERT INTO Staff (Name, \"Right\") VALUES ('小王', NULL)");
    Session s = test::adminSession();
    RightsEditor editor(s, db);
    QCOMPARE(editor.operatorCombo()->count(), 3);
    QVERIFY(!editor.saveButton()->isEnabled()); // nobody chosen yet

    editor.selectOperator(2, "小李");
    QCOMPARE(editor.operatorCombo()->currentText(), QString("2‖小李"));
    const Grid& sheet = *editor.sheet();
    QCOMPARE(sheet.text(rowOf("→查看产品设置"), 1), QString("√"));
    QCOMPARE(sheet.text(rowOf("→添加销售记录"), 1), QString("√"));
    QVERIFY(editor.saveButton()->isEnabled());
    // Without the right to set rights nothing can be saved.
    Session limited = test::sessionWith({"查看人员设置"});
    RightsEditor locked(limited, db);
    locked.selectOperator(2, "小李");
    QVERIFY(!locked.saveButton()->isEnabled());

    // Choosing another operator in the list shows his rights.
    editor.operatorCombo()->setCurrentIndex(editor.operatorCombo()->findText("3‖小王"));
    for (int r = 1; r < sheet.rows(); ++r)
        QCOMPARE(sheet.text(r, 1), QString());

    // With marks changed and not saved, switching asks first; No keeps both.
    test::ScriptedDialogs dialogs;
    editor.toggle(rowOf("操作销售记录"), 1);
    dialogs.answer(false);
    editor.operatorCombo()->setCurrentIndex(editor.operatorCombo()->findText("2‖小李"));
    QCOMPARE(dialogs.questions, QStringList{"“3‖小王”的权限修改尚未保存，是否放弃这些修改？"});
    QCOMPARE(editor.operatorCombo()->currentText(), QString("3‖小王"));
    QCOMPARE(sheet.text(rowOf("操作销售记录"), 1), QString("√"));
    dialogs.answer(true);
    editor.operatorCombo()->setCurrentIndex(editor.operatorCombo()->findText("2‖小李"));
    QCOMPARE(sheet.text(rowOf("→查看产品设置"), 1), QString("√"));
    QCOMPARE(sheet.text(rowOf("操作销售记录"), 1), QString());
    // Switching without changes asks nothing.
    editor.operatorCombo()->setCurrentIndex(editor.operatorCombo()->findText("3‖小王"));
    QCOMPARE(dialogs.questions.size(), 2);
}

void TestRightsEditor::clicksToggleOnlyTheMarkColumn() {
    test::TestAccountSet set;
    Session s = test::adminSession();
    RightsEditor editor(s, set.db());
    editor.selectOperator(1, "admin");
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const QString before = RightsSheet::rights(*editor.sheet());
    QCOMPARE(before, Rights::all());

    // The number and the name columns change nothing.
    const int sales = rowOf("操作销售记录");
    emit editor.sheetView()->cellClicked(sales, 0);
    emit editor.sheetView()->cellClicked(sales, 2);
    QCOMPARE(RightsSheet::rights(*editor.sheet()), before);

    // A real click on a group's mark clears the whole group.
    QTableView* body = editor.sheetView()->bodyView();
    const QModelIndex index = body->model()->index(sales, RightsSheet::kMarkCol);
    body->scrollTo(index);
    QTest::mouseClick(body->viewport(), Qt::LeftButton, {}, body->visualRect(index).center());
    for (int r = sales; r < rowOf("操作采购记录"); ++r)
        QCOMPARE(editor.sheet()->text(r, 1), QString());
    QCOMPARE(editor.sheet()->text(rowOf("操作采购记录"), 1), QString("√"));

    // The space bar marks the current row.
    editor.sheet()->setCurrent(sales + 1, RightsSheet::kMarkCol);
    QTest::keyClick(body, Qt::Key_Space);
    QCOMPARE(editor.sheet()->text(sales + 1, 1), QString("√"));

    // Escape leaves without writing anything.
    QTest::keyClick(&editor, Qt::Key_Escape);
    QVERIFY(!editor.saved());
    QCOMPARE(stored(set.db(), 1), Rights::all());
    QCOMPARE(s.rights, Rights::all());
}

QTEST_MAIN(TestRightsEditor)
#include "TestRightsEditor.moc"
