#include "data/Database.h"
#include "data/Passwords.h"
#include "data/Rights.h"
#include "data/Session.h"
#include "grid/Grid.h"
#include "masterdata/MasterList.h"
#include "masterdata/MasterRecord.h"
#include "masterdata/MasterRights.h"
#include "masterdata/RightsSheet.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QTest>

using namespace tl;
using Status = SaveOutcome::Status;

namespace {

MasterInput input(qint64 key, const QMap<int, QString>& boxes, const QString& combo = {}) {
    MasterInput in;
    in.key = key;
    in.boxes = boxes;
    in.comboText = combo;
    return in;
}

int count(const Database& db, const QString& table) {
    return db.value("SELECT COUNT(*) FROM " + Database::ident(table)).toInt();
}

QStringList column(const Grid& grid, int col) {
    QStringList out;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        out << grid.text(r, col);
    return out;
}

} // namespace

class TestMasterData : public QObject {
    Q_OBJECT
private slots:
    void simpleEditorsRefuseDuplicateNames();
    void contactEditorsShareNamesAndReportVanishedRecords();
    void operatorPasswordsAndRights();
    void productChecksClassBeforeName();
    void formClearsAfterChangeOnlyWithAddRight();
    void savingNeedsTheButtonsRight();
    void namesWithQuotes();
    void listsShowTheirTables();
    void rightsSheetMarksAndPropagates();
    void rightsSaveTakesEffectForOwnOperator();
};

void TestMasterData::simpleEditorsRefuseDuplicateNames() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const Session s = test::adminSession();
    struct Case {
        MasterTable table;
        QString tableName;
        bool renameChecked;
    };
    // The account editor checks renames too; the others only new names.
    const Case cases[] = {{MasterTable::Account, "Account", true},
                          {MasterTable::Storage, "Storage", false}};
    for (const Case& c : cases) {
        const int before = count(db, c.tableName);
        const SaveOutcome a =
            saveMasterRecord(db, s, c.table, input(0, {{0, "甲Alpha"}, {1, "m"}}));
        QVERIFY2(a.stored(), qPrintable(c.tableName));
        QVERIFY(a.clearForm);
        const SaveOutcome b = saveMasterRecord(db, s, c.table, input(0, {{0, "乙"}}));
        QVERIFY(b.stored());

        // Names compare without regard to case, as the operator types them.
        const SaveOutcome dup = saveMasterRecord(db, s, c.table, input(0, {{0, "甲ALPHA"}}));
        QCOMPARE(dup.status, Status::Refused);
        QVERIFY(!dup.clearForm);
        QCOMPARE(count(db, c.tableName), before + 2);

        // Keeping one's own name is always fine; taking another's only where checked.
        QVERIFY(
            saveMasterRecord(db, s, c.table, input(a.key, {{0, "甲Alpha"}, {1, "新"}})).stored());
        const SaveOutcome rename = saveMasterRecord(db, s, c.table, input(b.key, {{0, "甲Alpha"}}));
        QCOMPARE(rename.status, c.renameChecked ? Status::Refused : Status::Stored);

        // A record that vanished meanwhile: nothing stored, nothing said, back to adding.
        const SaveOutcome gone = saveMasterRecord(db, s, c.table, input(999, {{0, "丙"}}));
        QCOMPARE(gone.status, Status::Missing);
        QVERIFY(gone.message.isEmpty());
        QVERIFY(gone.clearForm);
        QCOMPARE(count(db, c.tableName), before + 2);
    }
    QCOMPARE(db.value("SELECT Memo FROM Storage WHERE Name='甲Alpha'").toString(), QString("新"));
}

void TestMasterData::contactEditorsShareNamesAndReportVanishedRecords() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const Session s = test::adminSession();
    db.exec("INSERT INTO Region (Region) VALUES ('华东')");
    const qint64 rid = db.lastInsertId();

    const SaveOutcome c1 =
        saveMasterRecord(db, s, MasterTable::Customer, input(0, {{0, "张三"}, {3, "123"}}, "7"));
    const SaveOutcome c2 =
        saveMasterRecord(db, s, MasterTable::Customer,
                         input(0, {{0, "张三"}, {6, "z@x.cn"}}, QString("%1‖华东").arg(rid)));
    QVERIFY(c1.stored() && c2.stored());
    // Without an item chosen (a text without "‖") no region is stored.
    QCOMPARE(db.value("SELECT RID FROM Customer WHERE CID=?", {c1.key}).toInt(), 0);
    QCOMPARE(db.value("SELECT RID FROM Customer WHERE CID=?", {c2.key}).toLongLong(), rid);
    QVERIFY(!loadMasterRecord(db, MasterTable::Customer, 999));

    for (MasterTable t : {MasterTable::Customer, MasterTable::Staff}) {
        const SaveOutcome out = saveMasterRecord(db, s, t, input(555, {{0, "王五"}}));
        QCOMPARE(out.status, Status::Missing);
        QVERIFY(!out.message.isEmpty());
        QVERIFY(!out.clearForm); // the typed texts stay for another try
    }
    QCOMPARE(count(db, "Customer"), 2);
}

void TestMasterData::operatorPasswordsAndRights() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const Session s = test::adminSession();
    const int before = count(db, "Staff");
    const SaveOutcome unequal = saveMasterRecord(db, s, MasterTable::Staff,
                                                 input(0, {{0, "小王"}, {10, "abc"}, {11, "abd"}}));
    QCOMPARE(unequal.status, Status::Refused);
    QCOMPARE(unequal.message, QString("两次输入密码不一致，请重新输入！"));
    // An empty password could never log in.
    QCOMPARE(saveMasterRecord(db, s, MasterTable::Staff, input(0, {{0, "小王"}})).message,
             QString("密码不能为空，请输入密码！"));
    QCOMPARE(count(db, "Staff"), before);

    // A new operator starts without rights, whatever the hidden box carries; the
    // password is stored as a hash that checks.
    const SaveOutcome added =
        saveMasterRecord(db, s, MasterTable::Staff,
                         input(0, {{0, "小王"}, {9, Rights::all()}, {10, "abc"}, {11, "abc"}}));
    QVERIFY(added.stored());
    const QString stored = db.value("SELECT PSD FROM Staff WHERE UID=?", {added.key}).toString();
    QVERIFY(stored.startsWith("$argon2id$"));
    QVERIFY(Passwords::matches(stored, "abc"));
    QCOMPARE(db.value("SELECT \"Right\" FROM Staff WHERE UID=?", {added.key}).toString(),
             QString());

    // The editor never shows the password; saving with both boxes empty keeps it, and the
    // rights stored meanwhile are kept too (an old copy is never written back).
    db.exec("UPDATE Staff SET \"Right\"=? WHERE UID=?", {QString("查看产品设置"), added.key});
    std::optional<MasterInput> loaded = loadMasterRecord(db, MasterTable::Staff, added.key);
    QVERIFY(loaded && loaded->box(10).isEmpty() && loaded->box(11).isEmpty());
    db.exec("UPDATE Staff SET \"Right\"=? WHERE UID=?", {QString("添加地区"), added.key});
    loaded->boxes[1] = "新地址";
    QVERIFY(saveMasterRecord(db, s, MasterTable::Staff, *loaded).stored());
    QCOMPARE(db.value("SELECT \"Right\" FROM Staff WHERE UID=?", {added.key}).toString(),
             QString("添加地区"));
    QCOMPARE(db.value("SELECT PSD FROM Staff WHERE UID=?", {added.key}).toString(), stored);
    loaded->boxes[10] = loaded->boxes[11] = "新密码";
    QVERIFY(saveMasterRecord(db, s, MasterTable::Staff, *loaded).stored());
    QVERIFY(Passwords::matches(
        db.value("SELECT PSD FROM Staff WHERE UID=?", {added.key}).toString(), "新密码"));

    // One operator per name, whatever the letter case, also when renaming.
    loaded->boxes[0] = "Admin";
    QCOMPARE(saveMasterRecord(db, s, MasterTable::Staff, *loaded).status, Status::Refused);
    QCOMPARE(count(db, "Staff"), before + 1);
}

void TestMasterData::productChecksClassBeforeName() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const Session s = test::adminSession();
    db.exec("INSERT INTO Class (Class) VALUES ('文具')");
    const QString cls = QString("%1‖文具").arg(db.lastInsertId());
    const QString noClass = "未设置产品类别，请选择产品类别。";
    const QString noName = "没有产品名称，请取填写产品名称。";
    const QString dup = "已经有同名的产品，请取新的产品名称，或修改原有的产品名称。";

    QCOMPARE(saveMasterRecord(db, s, MasterTable::Product, input(0, {{1, "铅笔"}})).message,
             noClass);
    QCOMPARE(saveMasterRecord(db, s, MasterTable::Product, input(0, {{1, "  "}}, cls)).message,
             noName);

    QVERIFY(saveMasterRecord(db, s, MasterTable::Product, input(0, {{1, "铅笔"}, {0, "P1"}}, cls))
                .stored());
    // The price is read as the entry windows read a box: its leading number.
    const SaveOutcome pen =
        saveMasterRecord(db, s, MasterTable::Product, input(0, {{1, "钢笔"}, {3, "12.5元"}}, cls));
    QCOMPARE(db.value("SELECT Price FROM Product WHERE PID=?", {pen.key}).toDouble(), 12.5);

    // Modifying checks the class first too, then the name against the other products.
    QCOMPARE(saveMasterRecord(db, s, MasterTable::Product, input(pen.key, {{1, "铅笔"}})).message,
             noClass);
    QCOMPARE(
        saveMasterRecord(db, s, MasterTable::Product, input(pen.key, {{1, "铅笔"}}, cls)).message,
        dup);
    QVERIFY(saveMasterRecord(db, s, MasterTable::Product,
                             input(pen.key, {{1, "钢笔"}, {3, "￥1,234.5"}}, cls))
                .stored());
    QCOMPARE(db.value("SELECT Price FROM Product WHERE PID=?", {pen.key}).toDouble(), 1234.5);
    QCOMPARE(saveMasterRecord(db, s, MasterTable::Product,
                              input(pen.key, {{1, "钢笔"}, {3, "1e999"}}, cls))
                 .message,
             QString("价格超出范围，请重新输入！"));
    QCOMPARE(db.value("SELECT Price FROM Product WHERE PID=?", {pen.key}).toDouble(), 1234.5);
    QCOMPARE(count(db, "Product"), 2);
}

void TestMasterData::formClearsAfterChangeOnlyWithAddRight() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const qint64 key =
        saveMasterRecord(db, test::adminSession(), MasterTable::Customer, input(0, {{0, "甲"}}))
            .key;
    const SaveOutcome withAdd =
        saveMasterRecord(db, test::sessionWith({"添加客户设置", "修改客户设置"}),
                         MasterTable::Customer, input(key, {{0, "乙"}}));
    QVERIFY(withAdd.stored());
    QVERIFY(withAdd.clearForm);
    const SaveOutcome modifyOnly = saveMasterRecord(db, test::sessionWith({"修改客户设置"}),
                                                    MasterTable::Customer, input(key, {{0, "丙"}}));
    QVERIFY(modifyOnly.stored());
    QVERIFY(!modifyOnly.clearForm);
    QCOMPARE(db.value("SELECT Name FROM Customer WHERE CID=?", {key}).toString(), QString("丙"));

    // The account, class, warehouse and region editors empty after every change.
    const qint64 k =
        saveMasterRecord(db, test::adminSession(), MasterTable::Class, input(0, {{0, "东"}})).key;
    const SaveOutcome changed = saveMasterRecord(db, test::sessionWith({"修改产品类别"}),
                                                 MasterTable::Class, input(k, {{0, "西"}}));
    QVERIFY(changed.stored());
    QVERIFY(changed.clearForm);
}

void TestMasterData::savingNeedsTheButtonsRight() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const qint64 region =
        saveMasterRecord(db, test::adminSession(), MasterTable::Region, input(0, {{0, "华北"}}))
            .key;

    const Session addOnly = test::sessionWith({"添加地区"});
    const SaveOutcome change =
        saveMasterRecord(db, addOnly, MasterTable::Region, input(region, {{0, "华南"}}));
    QCOMPARE(change.status, Status::Refused);
    QCOMPARE(change.message, noRightMessage());
    QCOMPARE(db.value("SELECT Region FROM Region").toString(), QString("华北"));
    const SaveOutcome add = saveMasterRecord(db, test::sessionWith({"修改地区记录"}),
                                             MasterTable::Region, input(0, {{0, "西北"}}));
    QCOMPARE(add.message, noRightMessage());
    QCOMPARE(count(db, "Region"), 1);

    // An operator who may not see the operator list may still change his own record, and
    // only his own; one who sees the list needs the modify right even for himself.
    const qint64 other = saveMasterRecord(db, test::adminSession(), MasterTable::Staff,
                                          input(0, {{0, "小李"}, {10, "p"}, {11, "p"}}))
                             .key;
    const Session self = test::sessionWith({"添加地区"}, "1");
    QVERIFY(mayModify(self, MasterTable::Staff, 1));
    QVERIFY(!mayModify(self, MasterTable::Staff, other));
    QVERIFY(!mayModify(self, MasterTable::Region, region));
    QVERIFY(saveMasterRecord(db, self, MasterTable::Staff, input(1, {{0, "admin"}, {1, "北京"}}))
                .stored());
    QCOMPARE(saveMasterRecord(db, self, MasterTable::Staff, input(other, {{0, "x"}})).message,
             noRightMessage());
    const Session seesList = test::sessionWith({"查看人员设置"}, "1");
    QVERIFY(!mayModify(seesList, MasterTable::Staff, 1));

    QVERIFY(mayOpenNested(test::sessionWith({}), MasterTable::Customer));
    QVERIFY(!mayOpenNested(test::sessionWith({}), MasterTable::Vender));
    QVERIFY(mayOpenNested(test::sessionWith({"添加地区"}), MasterTable::Vender));
    QVERIFY(!mayOpenNested(test::adminSession(), MasterTable::Region));
}

void TestMasterData::namesWithQuotes() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const Session s = test::adminSession();
    const QString name = "O'Brien \"A\" ; --";
    db.exec("INSERT INTO Class (Class) VALUES ('x')");
    const QString cls = QString("%1‖x").arg(db.lastInsertId());
    for (MasterTable t : allMasterTables()) {
        const MasterTableDef& def = masterTableDef(t);
        int nameBox = 0;
        for (const MasterField& f : def.fields) {
            if (f.field == def.nameField)
                nameBox = f.box;
        }
        // Boxes 10 and 11 are the operator's password; other editors have none.
        const SaveOutcome out =
            saveMasterRecord(db, s, t, input(0, {{nameBox, name}, {10, name}, {11, name}}, cls));
        QVERIFY2(out.stored(), qPrintable(def.table));
        QCOMPARE(loadMasterRecord(db, t, out.key)->box(nameBox), name);
        if (!def.duplicateMessage.isEmpty())
            QCOMPARE(
                saveMasterRecord(db, s, t, input(0, {{nameBox, name}, {10, name}, {11, name}}, cls))
                    .message,
                def.duplicateMessage);
    }
    Grid grid;
    loadMasterList(grid, db, MasterTable::Region, s);
    QCOMPARE(grid.text(1, 1), name);
}

void TestMasterData::listsShowTheirTables() {
    test::TestAccountSet set;
    const Database& db = set.db();
    const Session s = test::adminSession();
    Grid grid;
    // Ordered by name, without regard to case.
    db.exec("INSERT INTO Account (Name, Account) VALUES ('B工行', '6222'), ('a农行', '9559')");
    loadMasterList(grid, db, MasterTable::Account, s);
    QCOMPARE(column(grid, 1), QStringList({"a农行", "B工行"}));
    QCOMPARE(column(grid, 0), QStringList({"2", "1"}));

    db.exec("INSERT INTO Region (Region) VALUES ('华东'), ('华北')");
    db.exec("INSERT INTO Customer (Name, RID) VALUES ('乙', 2), ('甲', 1), ('丙', 9)");
    loadMasterList(grid, db, MasterTable::Customer, s);
    for (int r = 1; r < grid.rows(); ++r) {
        const QString expected = grid.text(r, 2) == "乙"   ? "华北"
                                 : grid.text(r, 2) == "甲" ? "华东"
                                                           : "";
        QCOMPARE(grid.text(r, 1), expected);
    }

    // Suppliers come in the order they were entered, through the work table.
    db.exec("INSERT INTO Vender (Name, RID, LinkMan) VALUES ('Z厂', 1, '赵'), ('A厂', 2, '钱')");
    loadMasterList(grid, db, MasterTable::Vender, s);
    QVERIFY(db.tableExists("T_Vender1"));
    QCOMPARE(column(grid, 2), QStringList({"Z厂", "A厂"}));
    QCOMPARE(column(grid, 1), QStringList({"华东", "华北"}));
    db.exec("DELETE FROM Vender");
    loadMasterList(grid, db, MasterTable::Vender, s);
    QCOMPARE(grid.rows(), 2);

    // Products use the record-grid layout: key in column 0, data from row 2.
    db.exec("INSERT INTO Class (Class) VALUES ('文具')");
    db.exec("INSERT INTO Product (CID, Name, Price) VALUES (1, '铅笔', 1.5)");
    loadMasterList(grid, db, MasterTable::Product, s);
    QCOMPARE(firstListRow(grid), 2);
    QCOMPARE(grid.text(2, 2), QString("文具"));
    QCOMPARE(grid.text(2, 4), QString("铅笔"));

    // An operator who may not see the operator list sees his own row only.
    db.exec("INSERT INTO Staff (Name) VALUES ('aa'), ('bb')");
    loadMasterList(grid, db, MasterTable::Staff, s);
    QCOMPARE(column(grid, 1), QStringList({"aa", "admin", "bb"}));
    loadMasterList(grid, db, MasterTable::Staff, test::sessionWith({"修改人员设置"}, "3"));
    QCOMPARE(column(grid, 1), QStringList({"bb"}));
}

void TestMasterData::rightsSheetMarksAndPropagates() {
    Grid grid;
    // Only whole names count: "查看产品设置" does not grant the group "产品设置".
    RightsSheet::fill(grid, Rights::join({"查看产品设置", "操作图表分析"}) + "‖不存在的权限");
    const int products = Rights::vocabulary().indexOf("产品设置") + 1;
    QCOMPARE(grid.text(products, 1), QString());
    QCOMPARE(grid.text(products + 1, 1), RightsSheet::mark());
    QCOMPARE(RightsSheet::rights(grid), Rights::join({"查看产品设置", "操作图表分析"}));

    // Clicks outside the mark column of a data row change nothing.
    const QString before = RightsSheet::rights(grid);
    QVERIFY(!RightsSheet::toggle(grid, 0, 1));
    QVERIFY(!RightsSheet::toggle(grid, products, 2));
    QVERIFY(!RightsSheet::toggle(grid, grid.rows(), 1));
    QCOMPARE(RightsSheet::rights(grid), before);

    // Ticking a group ticks its items up to the next group; clearing an item keeps the group.
    const int charts = Rights::vocabulary().indexOf("操作图表分析") + 1;
    RightsSheet::fill(grid, QString());
    QVERIFY(RightsSheet::toggle(grid, charts, 1));
    QCOMPARE(RightsSheet::rights(grid),
             QString("操作图表分析‖查看数量分析‖查看金额分析‖查看毛利分析"));
    QCOMPARE(grid.text(charts + 4, 1), QString()); // the next group stays as it was
    QVERIFY(RightsSheet::toggle(grid, charts + 2, 1));
    QCOMPARE(RightsSheet::rights(grid), QString("操作图表分析‖查看数量分析‖查看毛利分析"));
    // Items are stored in list order whatever order they were ticked in.
    QVERIFY(RightsSheet::toggle(grid, 2, 1));
    QVERIFY(RightsSheet::toggle(grid, 96, 1));
    QCOMPARE(RightsSheet::rights(grid),
             QString("添加销售记录‖操作图表分析‖查看数量分析‖查看毛利分析‖修改人员权限"));
    QVERIFY(RightsSheet::toggle(grid, charts, 1)); // clearing the group clears its items
    QCOMPARE(RightsSheet::rights(grid), QString("添加销售记录‖修改人员权限"));
}

void TestMasterData::rightsSaveTakesEffectForOwnOperator() {
    test::TestAccountSet set;
    const Database& db = set.db();
    db.exec("INSERT INTO Staff (Name, \"Right\") VALUES ('bb', NULL)");
    const qint64 other = db.lastInsertId();
    QCOMPARE(RightsSheet::storedRights(db, 999), QString());

    Session s = test::adminSession();
    QVERIFY(RightsSheet::save(db, s, other, "查看产品设置"));
    QCOMPARE(RightsSheet::storedRights(db, other), QString("查看产品设置"));
    QCOMPARE(s.rights, Rights::all()); // another operator's rights leave ours alone

    const QString reduced = Rights::join({"修改人员权限", "添加销售记录"});
    QVERIFY(RightsSheet::save(db, s, 1, reduced));
    QCOMPARE(s.rights, reduced);
    QVERIFY(!s.hasRight("添加产品设置"));

    QVERIFY(!RightsSheet::save(db, s, 999, "x")); // the operator is gone
    Session noRight = test::sessionWith({"添加销售记录"});
    QVERIFY(!RightsSheet::save(db, noRight, other, Rights::all()));
    QCOMPARE(RightsSheet::storedRights(db, other), QString("查看产品设置"));
}

QTEST_GUILESS_MAIN(TestMasterData)
#include "TestMasterData.moc"
