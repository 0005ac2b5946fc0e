#include "core/accounts/Commands.h"
#include "core/accounts/Login.h"
#include "core/accounts/Passwords.h"
#include "core/masterdata/RightsSheet.h"
#include "core/transactions/RecordDeletion.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

using namespace tl;

class TestOperators : public QObject {
    Q_OBJECT
private slots:
    void passwordsAndLastOperators();
    void commandsNeedTheirRights();
};

void TestOperators::passwordsAndLastOperators() {
    test::TestAccountSet set;
    const Database& db = set.db();
    auto stored = [&] { return db.value("SELECT PSD FROM Staff WHERE UID=1").toString(); };
    QCOMPARE(stored(), QString("730281")); // as the template keeps it

    QVERIFY(Login::authenticate(set.path(), "admin", "730281").login);
    const QString hash = stored();
    QVERIFY(Passwords::isHash(hash));
    QVERIFY(!hash.contains("730281"));
    // The hash logs in from now on, the name still without regard to case.
    QVERIFY(Login::authenticate(set.path(), "ADMIN", "730281").login);
    QVERIFY(!Login::authenticate(set.path(), "admin", hash).login); // the hash is no password
    QCOMPARE(stored(), hash);
    QVERIFY(!Passwords::matches(QString(), QString()));

    auto operators = [&] { return db.value("SELECT count(*) FROM Staff").toInt(); };
    auto refusal = [&](const QList<qint64>& uids) {
        try {
            deleteRecords(db, "Staff", "UID", uids);
        } catch (const DbError& e) {
            return e.kind() == DbError::Kind::Refused ? e.userText() : QString("other");
        }
        return QString();
    };
    QCOMPARE(refusal({1}),
             QString("不能删除最后一个操作员，否则再也无法登录。本次没有删除任何记录。"));
    db.exec("INSERT INTO Staff (Name, \"Right\") VALUES ('小王', ?)",
            {Rights::join({"人员设置", "修改人员设置"})});
    db.exec("INSERT INTO Staff (Name, \"Right\") VALUES ('小李', '')");
    const QString lastGrantor = "不能删除最后一个拥有“修改人员权限”的操作员，否则再也无法设置权限。"
                                "本次没有删除任何记录。";
    QCOMPARE(refusal({1}), lastGrantor);
    QCOMPARE(refusal({3, 1}), lastGrantor); // nothing goes, not even 小李
    QCOMPARE(operators(), 3);
    QCOMPARE(deleteRecords(db, "Staff", "UID", {3}), 1);

    db.exec("UPDATE Staff SET \"Right\"=? WHERE UID=2", {Rights::join({"修改人员权限"})});
    QCOMPARE(deleteRecords(db, "Staff", "UID", {1}), 1);
    QCOMPARE(refusal({2}),
             QString("不能删除最后一个操作员，否则再也无法登录。本次没有删除任何记录。"));
    QCOMPARE(operators(), 1);

    // Nor can the rights editor take the right away from its last holder.
    Session self;
    self.operatorId = "2";
    self.rights = Rights::join({"修改人员权限"});
    QVERIFY_THROWS_EXCEPTION(DbError, RightsSheet::save(db, self, 2, QString()));
    QCOMPARE(RightsSheet::storedRights(db, 2), self.rights);
}

void TestOperators::commandsNeedTheirRights() {
    for (Cmd cmd : allCommands())
        QVERIFY(commandAllowed(test::adminSession(), cmd));
    const QStringList noStaffList{"查看人员设置", "修改人员设置"};
    const struct {
        Cmd cmd;
        QStringList missing;
        std::optional<qint64> key;
        bool allowed;
    } cases[] = {
        {Cmd::SaleAdd, {"添加销售记录"}, {}, false},
        {Cmd::SaleAdd, {"操作销售记录"}, {}, true}, // the records' buttons keep their own rights
        {Cmd::CurrentStock, {"操作盘点统计"}, {}, false},
        {Cmd::ProfitChart, {"操作图表分析"}, {}, false},
        // A list's buttons need the list; imports set apart from them do not.
        {Cmd::CustomerAdd, {"查看客户设置"}, {}, false},
        {Cmd::AccountAdd, {"查看客户设置"}, {}, true},
        {Cmd::CustomerImport, {"查看客户设置"}, {}, true},
        {Cmd::ClassImport, {"查看产品类别"}, {}, false},
        // Without the operator list the operator still changes his own row, nothing else.
        {Cmd::StaffModify, {"修改人员设置"}, {}, false},
        {Cmd::StaffModify, {"修改人员设置"}, 1, false},
        {Cmd::StaffModify, noStaffList, {}, true},
        {Cmd::StaffModify, noStaffList, 1, true},
        {Cmd::StaffModify, noStaffList, 2, false},
        {Cmd::StaffAdd, noStaffList, {}, true},
    };
    for (const auto& c : cases) {
        Session session = test::sessionWith({}, "1");
        session.rights = test::allRightsBut(c.missing);
        QVERIFY2(commandAllowed(session, c.cmd, c.key) == c.allowed,
                 qPrintable(commandRight(c.cmd) + " " + QString::number(c.key.value_or(0))));
    }
}

QTEST_GUILESS_MAIN(TestOperators)
#include "TestOperators.moc"
