#include "core/accounts/Passwords.h"
#include "core/lists/MasterList.h"
#include "core/masterdata/MasterRecord.h"
#include "core/masterdata/MasterRights.h"
#include "core/masterdata/RightsSheet.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

using namespace tl;
using Status = SaveOutcome::Status;
using T = MasterTable;

namespace {

// A fresh account set; saves as the given operator (the preset admin by default).
struct Fixture {
    test::TestAccountSet set;
    const Database& db = set.db();
    SaveOutcome save(T t, qint64 key, const QMap<int, QString>& boxes, const QString& combo = {},
                     const Session& s = test::adminSession()) {
        MasterInput in;
        in.key = key;
        in.boxes = boxes;
        in.comboText = combo;
        return saveMasterRecord(db, s, t, in);
    }
    int count(const QString& table) {
        return db.value("SELECT COUNT(*) FROM " + Database::ident(table)).toInt();
    }
    QString staff(const char* field, qint64 uid) {
        return db.value(QString("SELECT \"%1\" FROM Staff WHERE UID=?").arg(field), {uid})
            .toString();
    }
};

} // namespace

class TestMasterData : public QObject {
    Q_OBJECT
private slots:
    void namesRefusedAndVanishedRecords() {
        Fixture f;
        // The account editor checks renames too; the storage editor only new names.
        for (auto [t, table, renameChecked] :
             {std::tuple{T::Account, "Account", true}, std::tuple{T::Storage, "Storage", false}}) {
            const int before = f.count(table);
            const SaveOutcome a = f.save(t, 0, {{0, "甲Alpha"}, {1, "m"}});
            QVERIFY(a.stored() && a.clearForm);
            const SaveOutcome b = f.save(t, 0, {{0, "乙"}});
            // Names compare without regard to case, as the operator types them.
            const SaveOutcome dup = f.save(t, 0, {{0, "甲ALPHA"}});
            QCOMPARE(dup.status, Status::Refused);
            QVERIFY(!dup.clearForm);
            // Keeping one's own name is always fine; taking another's only where checked.
            QVERIFY(f.save(t, a.key, {{0, "甲Alpha"}, {1, "新"}}).stored());
            QCOMPARE(f.save(t, b.key, {{0, "甲Alpha"}}).status,
                     renameChecked ? Status::Refused : Status::Stored);
            // A record that vanished meanwhile: nothing stored, nothing said, back to adding.
            const SaveOutcome gone = f.save(t, 999, {{0, "丙"}});
            QVERIFY(gone.status == Status::Missing && gone.message.isEmpty() && gone.clearForm);
            QCOMPARE(f.count(table), before + 2);
        }
        QCOMPARE(f.db.value("SELECT Memo FROM Storage WHERE Name='甲Alpha'").toString(),
                 QString("新"));

        // Customers may share names; a region is stored only when an item was chosen.
        f.db.exec("INSERT INTO Region (Region) VALUES ('华东')");
        const SaveOutcome c1 = f.save(T::Customer, 0, {{0, "张三"}, {3, "123"}}, "7");
        const SaveOutcome c2 = f.save(T::Customer, 0, {{0, "张三"}}, "1‖华东");
        QVERIFY(c1.stored() && c2.stored());
        QCOMPARE(f.db.value("SELECT RID FROM Customer WHERE CID=?", {c1.key}).toInt(), 0);
        QCOMPARE(f.db.value("SELECT RID FROM Customer WHERE CID=?", {c2.key}).toInt(), 1);
        QVERIFY(!loadMasterRecord(f.db, T::Customer, 999));
        // Contacts that vanished are reported and keep the typed texts for another try.
        for (T t : {T::Customer, T::Staff}) {
            const SaveOutcome out = f.save(t, 555, {{0, "王五"}});
            QVERIFY(out.status == Status::Missing && !out.message.isEmpty() && !out.clearForm);
        }
        QCOMPARE(f.count("Customer"), 2);
    }
    void operatorPasswordsAndRights() {
        Fixture f;
        const int before = f.count("Staff");
        const SaveOutcome unequal = f.save(T::Staff, 0, {{0, "小王"}, {10, "abc"}, {11, "abd"}});
        QCOMPARE(unequal.status, Status::Refused);
        QCOMPARE(unequal.message, QString("两次输入密码不一致，请重新输入！"));
        // An empty password could never log in.
        QCOMPARE(f.save(T::Staff, 0, {{0, "小王"}}).message, QString("密码不能为空，请输入密码！"));
        QCOMPARE(f.count("Staff"), before);

        // A new operator starts without rights, whatever the hidden box carries; the
        // password is stored as a hash that checks.
        const qint64 uid =
            f.save(T::Staff, 0, {{0, "小王"}, {9, Rights::all()}, {10, "abc"}, {11, "abc"}}).key;
        const QString hash = f.staff("PSD", uid);
        QVERIFY(hash.startsWith("$argon2id$") && Passwords::matches(hash, "abc"));
        QCOMPARE(f.staff("Right", uid), QString());

        // The editor never shows the password; saving with both boxes empty keeps it, and the
        // rights stored meanwhile are kept too (an old copy is never written back).
        std::optional<MasterInput> loaded = loadMasterRecord(f.db, T::Staff, uid);
        QVERIFY(loaded && loaded->box(10).isEmpty() && loaded->box(11).isEmpty());
        f.db.exec("UPDATE Staff SET \"Right\"='添加地区' WHERE UID=?", {uid});
        loaded->boxes[1] = "新地址";
        QVERIFY(saveMasterRecord(f.db, test::adminSession(), T::Staff, *loaded).stored());
        QCOMPARE(f.staff("Right", uid), QString("添加地区"));
        QCOMPARE(f.staff("PSD", uid), hash);
        loaded->boxes[10] = loaded->boxes[11] = "新密码";
        QVERIFY(saveMasterRecord(f.db, test::adminSession(), T::Staff, *loaded).stored());
        QVERIFY(Passwords::matches(f.staff("PSD", uid), "新密码"));

        // One operator per name, whatever the letter case, also when renaming.
        loaded->boxes[0] = "Admin";
        QCOMPARE(saveMasterRecord(f.db, test::adminSession(), T::Staff, *loaded).status,
                 Status::Refused);
        QCOMPARE(f.count("Staff"), before + 1);
    }
    void productChecksClassBeforeName() {
        Fixture f;
        f.db.exec("INSERT INTO Class (Class) VALUES ('文具')");
        const QString cls = "1‖文具", noClass = "未设置产品类别，请选择产品类别。";
        QCOMPARE(f.save(T::Product, 0, {{1, "铅笔"}}).message, noClass);
        QCOMPARE(f.save(T::Product, 0, {{1, "  "}}, cls).message,
                 QString("没有产品名称，请取填写产品名称。"));
        QVERIFY(f.save(T::Product, 0, {{1, "铅笔"}, {0, "P1"}}, cls).stored());
        // The price is read as the entry windows read a box: its leading number.
        const qint64 pen = f.save(T::Product, 0, {{1, "钢笔"}, {3, "12.5元"}}, cls).key;
        auto price = [&] {
            return f.db.value("SELECT Price FROM Product WHERE PID=?", {pen}).toDouble();
        };
        QCOMPARE(price(), 12.5);

        // Modifying checks the class first too, then the name against the other products.
        QCOMPARE(f.save(T::Product, pen, {{1, "铅笔"}}).message, noClass);
        QCOMPARE(f.save(T::Product, pen, {{1, "铅笔"}}, cls).message,
                 QString("已经有同名的产品，请取新的产品名称，或修改原有的产品名称。"));
        QVERIFY(f.save(T::Product, pen, {{1, "钢笔"}, {3, "￥1,234.5"}}, cls).stored());
        QCOMPARE(price(), 1234.5);
        QCOMPARE(f.save(T::Product, pen, {{1, "钢笔"}, {3, "1e999"}}, cls).message,
                 QString("价格超出范围，请重新输入！"));
        QCOMPARE(price(), 1234.5);
        QCOMPARE(f.count("Product"), 2);
    }
    void rightsDecideSavingAndClearing() {
        Fixture f;
        // After a change the contact editors empty only for an operator who may add.
        const qint64 key = f.save(T::Customer, 0, {{0, "甲"}}).key;
        const SaveOutcome withAdd = f.save(T::Customer, key, {{0, "乙"}}, {},
                                           test::sessionWith({"添加客户设置", "修改客户设置"}));
        QVERIFY(withAdd.stored() && withAdd.clearForm);
        const SaveOutcome modifyOnly =
            f.save(T::Customer, key, {{0, "丙"}}, {}, test::sessionWith({"修改客户设置"}));
        QVERIFY(modifyOnly.stored() && !modifyOnly.clearForm);
        QCOMPARE(f.db.value("SELECT Name FROM Customer").toString(), QString("丙"));
        // The account, class, warehouse and region editors empty after every change.
        const qint64 k = f.save(T::Class, 0, {{0, "东"}}).key;
        QVERIFY(
            f.save(T::Class, k, {{0, "西"}}, {}, test::sessionWith({"修改产品类别"})).clearForm);

        // Saving needs the right of the button.
        const qint64 region = f.save(T::Region, 0, {{0, "华北"}}).key;
        const SaveOutcome change =
            f.save(T::Region, region, {{0, "华南"}}, {}, test::sessionWith({"添加地区"}));
        QCOMPARE(change.status, Status::Refused);
        QCOMPARE(change.message, noRightMessage());
        QCOMPARE(
            f.save(T::Region, 0, {{0, "西北"}}, {}, test::sessionWith({"修改地区记录"})).message,
            noRightMessage());
        QCOMPARE(test::queryRows(f.db, "SELECT Region FROM Region"), QString("华北"));

        // An operator who may not see the operator list may still change his own record, and
        // only his own; one who sees the list needs the modify right even for himself.
        // (Saving asks mayModify: these saves and the refused region change above are its cases.)
        const qint64 other = f.save(T::Staff, 0, {{0, "小李"}, {10, "p"}, {11, "p"}}).key;
        const Session self = test::sessionWith({"添加地区"}, "1");
        QVERIFY(f.save(T::Staff, 1, {{0, "admin"}, {1, "北京"}}, {}, self).stored());
        QCOMPARE(f.save(T::Staff, other, {{0, "x"}}, {}, self).message, noRightMessage());
        QVERIFY(!mayModify(test::sessionWith({"查看人员设置"}, "1"), T::Staff, 1));

        QVERIFY(mayOpenNested(test::sessionWith({}), T::Customer));
        QVERIFY(!mayOpenNested(test::sessionWith({}), T::Vender));
        QVERIFY(mayOpenNested(test::sessionWith({"添加地区"}), T::Vender));
        QVERIFY(!mayOpenNested(test::adminSession(), T::Region));
    }
    void namesWithQuotes() {
        Fixture f;
        const QString name = "O'Brien \"A\" ; --";
        f.db.exec("INSERT INTO Class (Class) VALUES ('x')");
        for (T t : allMasterTables()) {
            const MasterTableDef& def = masterTableDef(t);
            int nameBox = 0;
            for (const MasterField& field : def.fields)
                if (field.field == def.nameField)
                    nameBox = field.box;
            // Boxes 10 and 11 are the operator's password; other editors have none.
            const QMap<int, QString> boxes{{nameBox, name}, {10, name}, {11, name}};
            const SaveOutcome out = f.save(t, 0, boxes, "1‖x");
            QVERIFY2(out.stored(), qPrintable(def.table));
            QCOMPARE(loadMasterRecord(f.db, t, out.key)->box(nameBox), name);
            if (!def.duplicateMessage.isEmpty())
                QCOMPARE(f.save(t, 0, boxes, "1‖x").message, def.duplicateMessage);
        }
        Grid grid;
        loadMasterList(grid, f.db, T::Region, test::adminSession());
        QCOMPARE(grid.text(1, 1), name);
    }
    void listsShowTheirTables() {
        Fixture f;
        const Database& db = f.db;
        const Session s = test::adminSession();
        Grid grid;
        // Ordered by name, without regard to case.
        db.exec("INSERT INTO Account (Name, Account) VALUES ('B工行', '6222'), ('a农行', '9559')");
        loadMasterList(grid, db, T::Account, s);
        QCOMPARE(test::columnTexts(grid, 1), QStringList({"a农行", "B工行"}));
        QCOMPARE(test::columnTexts(grid, 0), QStringList({"2", "1"}));

        db.exec("INSERT INTO Region (Region) VALUES ('华东'), ('华北')");
        db.exec("INSERT INTO Customer (Name, RID) VALUES ('乙', 2), ('甲', 1), ('丙', 9)");
        loadMasterList(grid, db, T::Customer, s);
        const QMap<QString, QString> regions{{"乙", "华北"}, {"甲", "华东"}};
        for (int r = 1; r < grid.rows(); ++r)
            QCOMPARE(grid.text(r, 1), regions.value(grid.text(r, 2)));

        // Suppliers come in the order they were entered.
        db.exec(
            "INSERT INTO Vender (Name, RID, LinkMan) VALUES ('Z厂', 1, '赵'), ('A厂', 2, '钱')");
        loadMasterList(grid, db, T::Vender, s);
        QCOMPARE(test::columnTexts(grid, 2), QStringList({"Z厂", "A厂"}));
        QCOMPARE(test::columnTexts(grid, 1), QStringList({"华东", "华北"}));
        db.exec("DELETE FROM Vender");
        loadMasterList(grid, db, T::Vender, s);
        QCOMPARE(grid.rows(), 2);

        db.exec("INSERT INTO Class (Class) VALUES ('文具')");
        db.exec("INSERT INTO Product (CID, Name, Price) VALUES (1, '铅笔', 1.5)");
        loadMasterList(grid, db, T::Product, s);
        QCOMPARE(grid.text(firstListRow(grid), 2), QString("文具"));

        // An operator who may not see the operator list sees his own row only.
        db.exec("INSERT INTO Staff (Name) VALUES ('aa'), ('bb')");
        loadMasterList(grid, db, T::Staff, s);
        QCOMPARE(test::columnTexts(grid, 1), QStringList({"aa", "admin", "bb"}));
        loadMasterList(grid, db, T::Staff, test::sessionWith({"修改人员设置"}, "3"));
        QCOMPARE(test::columnTexts(grid, 1), QStringList({"bb"}));
    }
    void rightsSheetMarksPropagatesAndSaves() {
        Grid grid;
        // Only whole names count: "查看产品设置" does not grant the group "产品设置".
        RightsSheet::fill(grid, Rights::join({"查看产品设置", "操作图表分析"}) + "‖不存在的权限");
        const int products = Rights::vocabulary().indexOf("产品设置") + 1;
        QCOMPARE(grid.text(products, 1), QString());
        QCOMPARE(grid.text(products + 1, 1), RightsSheet::mark());
        const QString before = RightsSheet::rights(grid);
        QCOMPARE(before, Rights::join({"查看产品设置", "操作图表分析"}));
        // Clicks outside the mark column of a data row change nothing.
        QVERIFY(!RightsSheet::toggle(grid, 0, 1));
        QVERIFY(!RightsSheet::toggle(grid, grid.rows(), 1));
        QCOMPARE(RightsSheet::rights(grid), before);

        // Ticking a group ticks its items up to the next group; clearing an item keeps the group.
        const int charts = Rights::vocabulary().indexOf("操作图表分析") + 1;
        RightsSheet::fill(grid, QString());
        // Items are stored in list order whatever order they were ticked in.
        for (int row : {charts, charts + 2, 2, 96})
            QVERIFY(RightsSheet::toggle(grid, row, 1));
        QCOMPARE(RightsSheet::rights(grid),
                 QString("添加销售记录‖操作图表分析‖查看数量分析‖查看毛利分析‖修改人员权限"));
        QVERIFY(RightsSheet::toggle(grid, charts, 1)); // clearing the group clears its items
        QCOMPARE(RightsSheet::rights(grid), QString("添加销售记录‖修改人员权限"));

        // Saving another operator's rights leaves ours alone; our own take effect.
        Fixture f;
        f.db.exec("INSERT INTO Staff (Name, \"Right\") VALUES ('bb', NULL)");
        QCOMPARE(RightsSheet::storedRights(f.db, 999), QString());
        Session s = test::adminSession();
        QVERIFY(RightsSheet::save(f.db, s, 2, "查看产品设置"));
        QCOMPARE(RightsSheet::storedRights(f.db, 2), QString("查看产品设置"));
        QCOMPARE(s.rights, Rights::all()); // another operator's rights leave ours alone

        const QString reduced = Rights::join({"修改人员权限", "添加销售记录"});
        QVERIFY(RightsSheet::save(f.db, s, 1, reduced));
        QCOMPARE(s.rights, reduced);

        QVERIFY(!RightsSheet::save(f.db, s, 999, "x")); // the operator is gone
        Session noRight = test::sessionWith({"添加销售记录"});
        QVERIFY(!RightsSheet::save(f.db, noRight, 2, Rights::all()));
        QCOMPARE(RightsSheet::storedRights(f.db, 2), QString("查看产品设置"));
    }
};

QTEST_GUILESS_MAIN(TestMasterData)
#include "TestMasterData.moc"
