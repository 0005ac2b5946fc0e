#include "core/data/AccountSetFile.h"
#include "core/masterdata/RightsSheet.h"
#include "gui/masterdata/MasterEditorWindow.h"
#include "gui/masterdata/OpenMasterEditor.h"
#include "gui/masterdata/RightsEditor.h"
#include "gui/widgets/ComboFill.h"
#include "gui/widgets/GridView.h"
#include "support/MainWindowFixture.h"
#include "support/NextDialog.h"
#include "support/TestTools.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace tl;

namespace {
// A fresh account set, answered dialogs and the preset admin.
struct Fixture : test::MainWindowFixture {
    const Database& db = set.db();
    Session& s = session;
};

// The row of a right in the rights editor's sheet.
int rowOf(const QString& name) {
    return static_cast<int>(Rights::vocabulary().indexOf(name)) + 1;
}
} // namespace

class TestMasterEditors : public QObject {
    Q_OBJECT
private slots:
    void buttonsFollowRights();
    void savingClearsOnlyWithAddRightRefusalsKeepTheBoxes();
    void nestedRegionAndClassEditorsOfferNewEntries();
    void operatorEditorReloadsAfterRightsEditor();
    void entryPointReportsChanges();
    void rightsEditorListsTheChosenOperator();
    void rightsEditorClicksToggleOnlyTheMarkColumn();
};

void TestMasterEditors::buttonsFollowRights() {
    Fixture f;
    f.db.exec("INSERT INTO Account (Name) VALUES ('现金')");
    f.db.exec("INSERT INTO Staff (Name) VALUES ('小李')");

    Session none = test::sessionWith({});
    MasterEditor locked(MasterTable::Account, none, f.db);
    locked.show();
    QVERIFY(!locked.saveButton()->isEnabled());
    QVERIFY(!locked.newButton()->isEnabled());
    locked.setKey(1); // opened on a record all the same: still nothing to save
    QVERIFY(!locked.saveButton()->isEnabled());
    QTest::keyClick(locked.box(0), Qt::Key_Return);
    // A read-only account set: nothing can be saved, whatever the rights.
    auto readOnlyDb = Database::open(f.set.path(), Database::OpenMode::ReadOnly);
    MasterEditor looked(MasterTable::Account, f.s, *readOnlyDb);
    looked.setKey(1);
    QVERIFY(!looked.saveButton()->isEnabled() && !looked.newButton()->isEnabled());
    QCOMPARE(looked.saveButton()->toolTip(), AccountSetFile::readOnlyNotice());
    QCOMPARE(f.db.value("SELECT Name FROM Account").toString(), QString("现金"));

    Session modifyOnly = test::sessionWith({"修改账号设置"});
    MasterEditor modify(MasterTable::Account, modifyOnly, f.db);
    QVERIFY(!modify.saveButton()->isEnabled()); // adding needs the add right
    modify.setKey(1);
    QVERIFY(modify.saveButton()->isEnabled());

    // The operator's rights editor needs "修改人员权限" and a stored operator.
    Session rights = test::sessionWith({"修改人员权限", "修改人员设置"});
    MasterEditor staff(MasterTable::Staff, rights, f.db);
    QVERIFY(!staff.nestedButton()->isEnabled());
    staff.setKey(2);
    QVERIFY(staff.nestedButton()->isEnabled());

    // Without "查看人员设置" an operator may change his own record only.
    Session self = test::sessionWith({}, "2");
    MasterEditor own(MasterTable::Staff, self, f.db);
    own.setKey(2);
    QVERIFY(own.saveButton()->isEnabled());
    own.setKey(1);
    QVERIFY(!own.saveButton()->isEnabled());

    // Clicking a row opens its record only for an operator who may modify it.
    f.db.exec("INSERT INTO Storage (Name, Address) VALUES ('一号库', '东街')");
    Session modifier = test::sessionWith({"修改仓库信息"}), adder = test::sessionWith({"添加仓库"});
    MasterEditor storage(MasterTable::Storage, modifier, f.db);
    emit storage.listView()->cellClicked(1, 2);
    QCOMPARE(storage.key(), qint64(1));
    QCOMPARE(storage.box(3)->text(), QString("东街"));
    MasterEditor readOnly(MasterTable::Storage, adder, f.db);
    readOnly.pickRow(1);
    QVERIFY(readOnly.key() == 0 && readOnly.box(0)->text().isEmpty());
}

void TestMasterEditors::savingClearsOnlyWithAddRightRefusalsKeepTheBoxes() {
    Fixture f;
    f.db.exec("INSERT INTO Region (Region) VALUES ('华东')");
    MasterEditor editor(MasterTable::Customer, f.s, f.db);
    editor.show();
    editor.box(0)->setText("O'Neil");
    editor.box(3)->setText("010-1");
    editor.combo()->setCurrentIndex(0);
    // Enter moves to the next box and stores nothing; Ctrl+Enter saves.
    editor.box(3)->setFocus();
    QTest::keyClick(editor.box(3), Qt::Key_Return);
    QVERIFY(editor.focusWidget() != editor.box(3));
    QCOMPARE(f.count("Customer"), 0);
    QTest::keyClick(editor.box(3), Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(f.db.value("SELECT Name FROM Customer").toString(), QString("O'Neil"));
    QCOMPARE(f.db.value("SELECT RID FROM Customer").toInt(), 1);
    QVERIFY(editor.box(0)->text().isEmpty());
    QCOMPARE(editor.listGrid()->text(1, 2), QString("O'Neil"));
    QVERIFY(editor.changed());

    Session modifyOnly = test::sessionWith({"修改客户设置"});
    MasterEditor keeper(MasterTable::Customer, modifyOnly, f.db);
    keeper.setKey(1);
    keeper.box(0)->setText("乙");
    keeper.saveButton()->click();
    QCOMPARE(f.db.value("SELECT Name FROM Customer").toString(), QString("乙"));
    QCOMPARE(keeper.box(0)->text(), QString("乙")); // may only modify: the record stays

    // Refusals keep the boxes and put the focus into the one at fault.
    MasterEditor customer(MasterTable::Customer, f.s, f.db);
    customer.setKey(1);
    f.db.exec("DELETE FROM Customer");
    customer.box(1)->setText("新地址");
    customer.saveButton()->click();
    QCOMPARE(f.dialogs.lastMessage(), QString("该客户不存在！"));
    QCOMPARE(customer.box(1)->text(), QString("新地址"));
    QCOMPARE(f.count("Customer"), 0);

    MasterEditor staff(MasterTable::Staff, f.s, f.db);
    staff.show();
    QCOMPARE(staff.box(10)->echoMode(), QLineEdit::Password); // passwords never show
    QVERIFY(staff.box(9)->isHidden());                        // nor the rights text
    staff.box(0)->setText("小王");
    staff.box(10)->setText("1");
    staff.box(11)->setText("2");
    staff.saveButton()->click();
    QCOMPARE(f.dialogs.lastMessage(), QString("两次输入密码不一致，请重新输入！"));
    QCOMPARE(staff.box(0)->text(), QString("小王"));
    QCOMPARE(staff.focusWidget(), staff.box(10)); // the focus goes to the box at fault
    QCOMPARE(f.count("Staff"), 1);

    MasterEditor region(MasterTable::Region, f.s, f.db);
    region.show();
    region.closeButton()->setFocus();
    region.box(0)->setText("华东");
    region.saveButton()->click();
    QCOMPARE(f.dialogs.lastMessage(), QString("该地区已经存在，请勿重复设置！"));
    QCOMPARE(region.focusWidget(), region.box(0));

    // The product editor starts in its top box, the class list, and comes back to it.
    MasterEditor product(MasterTable::Product, f.s, f.db);
    product.show();
    QCOMPARE(product.focusWidget(), product.combo());
    product.box(1)->setFocus();
    product.saveButton()->click();
    QCOMPARE(f.dialogs.lastMessage(), QString("未设置产品类别，请选择产品类别。"));
    QCOMPARE(product.focusWidget(), product.combo());
    QCOMPARE(f.count("Region"), 1);
}

void TestMasterEditors::nestedRegionAndClassEditorsOfferNewEntries() {
    Fixture f;
    MasterEditor vender(MasterTable::Vender, f.s, f.db);
    test::onNextDialog([](QDialog* d) {
        auto* region = qobject_cast<MasterEditor*>(d);
        region->box(0)->setText("西南");
        region->saveButton()->click();
        region->closeButton()->click();
    });
    vender.nestedButton()->click();
    QCOMPARE(vender.combo()->count(), 1);
    QVERIFY(vender.changed());

    MasterEditor product(MasterTable::Product, f.s, f.db);
    test::onNextDialog([](QDialog* d) {
        auto* cls = qobject_cast<MasterEditor*>(d);
        cls->box(0)->setText("文具");
        cls->saveButton()->click();
        cls->reject();
    });
    product.nestedButton()->click();
    QCOMPARE(product.combo()->count(), 1);
    product.combo()->setCurrentIndex(0);
    product.box(1)->setText("铅笔");
    product.box(3)->setText("1.5");
    product.saveButton()->click();
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(f.db.value("SELECT CID FROM Product WHERE Name='铅笔'").toInt(), 1);

    // The product list starts below its caption rows; picking the product loads it.
    product.pickRow(product.listGrid()->fixedRows());
    QCOMPARE(product.combo()->currentText(), QString("1‖文具"));
    // A price that cannot be read is refused, never stored as 0.
    product.box(3)->setText("abc");
    product.saveButton()->click();
    QCOMPARE(f.dialogs.lastMessage(), QString("价格不是有效的数字，请重新输入！"));
    QCOMPARE(f.db.value("SELECT Price FROM Product").toDouble(), 1.5);
    QCOMPARE(product.box(3)->text(), QString("abc"));
    QCOMPARE(product.focusWidget(), product.box(3));
}

void TestMasterEditors::operatorEditorReloadsAfterRightsEditor() {
    Fixture f;
    f.db.exec("INSERT INTO Staff (Name, PSD, \"Right\") VALUES ('小李', 'x', '')");
    MasterEditor staff(MasterTable::Staff, f.s, f.db);
    staff.setKey(2);
    staff.box(0)->setText("小李");
    test::onNextDialog([](QDialog* d) {
        auto* rights = qobject_cast<RightsEditor*>(d);
        QCOMPARE(rights->operatorCombo()->currentText(), QString("2‖小李"));
        rights->toggle(rowOf("操作图表分析"), RightsSheet::kMarkCol);
        rights->saveButton()->click();
    });
    staff.nestedButton()->click();
    const QString granted = "操作图表分析‖查看数量分析‖查看金额分析‖查看毛利分析";
    QCOMPARE(staff.box(9)->text(), granted);
    QCOMPARE(staff.statusLine()->text(), QString("已保存操作员“小李”的权限。"));
    // The next save of the operator keeps what the rights editor stored.
    staff.box(1)->setText("南街");
    staff.saveButton()->click();
    QCOMPARE(f.db.value("SELECT \"Right\" FROM Staff WHERE UID=2").toString(), granted);
    QCOMPARE(staff.statusLine()->text(), QString("已保存操作员“小李”。"));
}

void TestMasterEditors::entryPointReportsChanges() {
    Fixture f;
    f.db.exec("INSERT INTO Account (Name) VALUES ('现金')");
    QWidget owner;
    test::onNextDialog([&](QDialog* d) {
        auto* editor = qobject_cast<MasterEditor*>(d);
        QCOMPARE(editor->key(), qint64(1));
        // Typing not saved: Escape asks, and 否 keeps the window and the typing.
        editor->box(2)->setText("改");
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(f.dialogs.questions, QStringList{"放弃尚未保存的内容吗？"});
        QVERIFY(editor->isVisible() && editor->box(2)->text() == "改");
        f.dialogs.answer(true);
        QTest::keyClick(editor, Qt::Key_Escape);
    });
    QVERIFY(!openMasterEditor(&owner, MasterTable::Account, f.s, f.db, 1));
    test::onNextDialog([](QDialog* d) {
        auto* editor = qobject_cast<MasterEditor*>(d);
        QCOMPARE(editor->key(), qint64(0));
        editor->box(0)->setText("银行");
        editor->saveButton()->click();
        editor->reject();
    });
    QVERIFY(openMasterEditor(&owner, MasterTable::Account, f.s, f.db, std::nullopt));
    QCOMPARE(f.count("Account"), 2);
    QCOMPARE(f.dialogs.questions.size(), 2); // saved typing closes without asking

    // Filling a list keeps the chosen item, or the typed text.
    f.db.exec("INSERT INTO Region (Region) VALUES ('西北'), ('东北')");
    QComboBox list;
    fillCombo(&list, f.db, "Region", "Region", "RID");
    QCOMPARE(list.itemText(0), QString("2‖东北")); // ordered by name
    list.setCurrentIndex(1);
    f.db.exec("INSERT INTO Region (Region) VALUES ('A区')");
    fillCombo(&list, f.db, "Region", "Region", "RID");
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.currentText(), QString("1‖西北"));
    // Typing does not make up an item.
    QTest::keyClicks(&list, "xyz");
    QCOMPARE(list.currentText(), QString("1‖西北"));

    // A record pointing at a region that is gone still shows (and keeps) its key.
    setComboText(&list, "9‖");
    QCOMPARE(list.currentText(), QString("9‖"));
    setComboText(&list, QString());
    QCOMPARE(list.currentIndex(), -1);

    QComboBox editable;
    editable.setEditable(true);
    editable.setEditText("自由文字");
    fillCombo(&editable, f.db, "Region", "Region", "RID");
    QCOMPARE(editable.currentText(), QString("自由文字"));
}

void TestMasterEditors::rightsEditorListsTheChosenOperator() {
    Fixture f;
    f.db.exec("INSERT INTO Staff (Name, \"Right\") VALUES ('小李', ?)",
              {Rights::join({"查看产品设置", "添加销售记录"})});
    f.db.exec("INSERT INTO Staff (Name, \"Right\") VALUES ('小王', NULL)");
    RightsEditor editor(f.s, f.db);
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
    RightsEditor locked(limited, f.db);
    locked.selectOperator(2, "小李");
    QVERIFY(!locked.saveButton()->isEnabled());

    // Choosing another operator in the list shows his rights.
    editor.operatorCombo()->setCurrentIndex(editor.operatorCombo()->findText("3‖小王"));
    for (int r = 1; r < sheet.rows(); ++r)
        QCOMPARE(sheet.text(r, 1), QString());

    // With marks changed and not saved, switching asks first; No keeps both.
    editor.toggle(rowOf("操作销售记录"), 1);
    f.dialogs.answer(false);
    editor.operatorCombo()->setCurrentIndex(editor.operatorCombo()->findText("2‖小李"));
    QCOMPARE(f.dialogs.questions, QStringList{"“3‖小王”的权限修改尚未保存，是否放弃这些修改？"});
    QCOMPARE(editor.operatorCombo()->currentText(), QString("3‖小王"));
    QCOMPARE(sheet.text(rowOf("操作销售记录"), 1), QString("√"));
    f.dialogs.answer(true);
    editor.operatorCombo()->setCurrentIndex(editor.operatorCombo()->findText("2‖小李"));
    QCOMPARE(sheet.text(rowOf("→查看产品设置"), 1), QString("√"));
    QCOMPARE(sheet.text(rowOf("操作销售记录"), 1), QString());
    // Switching without changes asks nothing.
    editor.operatorCombo()->setCurrentIndex(editor.operatorCombo()->findText("3‖小王"));
    QCOMPARE(f.dialogs.questions.size(), 2);
}

void TestMasterEditors::rightsEditorClicksToggleOnlyTheMarkColumn() {
    Fixture f;
    RightsEditor editor(f.s, f.db);
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
    QCOMPARE(f.db.value("SELECT \"Right\" FROM Staff WHERE UID=1").toString(), Rights::all());
    QCOMPARE(f.s.rights, Rights::all());
}

QTEST_MAIN(TestMasterEditors)
#include "TestMasterEditors.moc"
