#include "core/accounts/AppPaths.h"
#include "core/accounts/Login.h"
#include "core/accounts/Registry.h"
#include "core/accounts/Rights.h"
#include "core/data/Database.h"
#include "core/sample/SampleCatalog.h"
#include "core/sample/SampleData.h"
#include "core/support/Clock.h"
#include "support/TestTools.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

class TestSampleData : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Clock::setToday(QDate(2024, 3, 15)); }
    void cleanupTestCase() { Clock::setToday({}); }
    void firstStartRegistersTheSample();
    void recordsAreConsistent();

private:
    // A fresh copy of the template filled with the sample data.
    std::unique_ptr<Database> filledCopy(const QTemporaryDir& dir, const QString& name,
                                         quint32 seed = SampleData::kSeed) {
        const QString path = dir.path() + "/" + name;
        QFile::copy(qEnvironmentVariable("TL_TEMPLATE"), path);
        auto db = Database::open(path);
        SampleData::fill(*db, seed);
        return db;
    }
};

void TestSampleData::firstStartRegistersTheSample() {
    QTemporaryDir dir;
    AppPaths::setProgramFolder(dir.path());
    QFile::copy(qEnvironmentVariable("TL_TEMPLATE"), dir.path() + "/DB.lbk");
    Outcome outcome;
    QVERIFY(SampleData::ensureFirstStart(outcome));
    QVERIFY(outcome.isOk() && outcome.message.isEmpty());
    QVERIFY(!SampleData::ensureFirstStart(outcome)); // the registry exists now: nothing to do

    const auto list = Registry().list(outcome);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].storedPath, QString("./示例套帐.lbk")); // moves with the program folder

    auto login = Login::authenticate(list[0].path, "admin", "730281").login;
    QVERIFY(login && login->session.hasRight("备份套帐"));
    QVERIFY(login->db->value("SELECT count(*) FROM Sale").toInt() > 0);
    // The template itself stays empty.
    auto templ = Database::open(dir.path() + "/DB.lbk");
    QCOMPARE(templ->value("SELECT count(*) FROM Sale").toInt(), 0);

    // Each sample operator logs in with his own password and only his rights.
    for (const auto& op : SampleCatalog::operators()) {
        auto other = Login::authenticate(list[0].path, QString::fromUtf8(op.name),
                                         QString::fromUtf8(op.password))
                         .login;
        QVERIFY(other);
        QCOMPARE(other->session.rights.split(Rights::separator).size(),
                 qsizetype(op.rights.size()));
        QVERIFY(!other->session.hasRight("修改人员权限"));
    }
}

void TestSampleData::recordsAreConsistent() {
    QTemporaryDir dir;
    auto db = filledCopy(dir, "s.lbk");

    // Every key a record holds names an existing master row.
    const char* dangling[] = {
        "SELECT count(*) FROM Sale WHERE PID NOT IN (SELECT PID FROM Product) OR CID NOT IN "
        "(SELECT CID FROM Customer) OR SID NOT IN (SELECT SID FROM Storage) OR AID NOT IN "
        "(SELECT AID FROM Account) OR UID NOT IN (SELECT UID FROM Staff)",
        "SELECT count(*) FROM Buy WHERE PID NOT IN (SELECT PID FROM Product) OR VID NOT IN "
        "(SELECT VID FROM Vender) OR SID NOT IN (SELECT SID FROM Storage) OR AID NOT IN "
        "(SELECT AID FROM Account)",
        "SELECT count(*) FROM Adjust WHERE PID NOT IN (SELECT PID FROM Product) OR IID NOT IN "
        "(SELECT SID FROM Storage) OR OID NOT IN (SELECT SID FROM Storage) OR IID=OID",
        "SELECT count(*) FROM Product WHERE CID NOT IN (SELECT CID FROM Class)",
        "SELECT count(*) FROM Customer WHERE RID NOT IN (SELECT RID FROM Region)",
        "SELECT count(*) FROM Vender WHERE RID NOT IN (SELECT RID FROM Region)",
    };
    for (const char* sql : dangling)
        QCOMPARE(db->value(sql).toInt(), 0);

    // Dates: ISO text within the half year up to today.
    for (const QString t : {"Sale", "Buy", "Adjust"}) {
        QCOMPARE(db->value("SELECT min(Dat) FROM " + t).toString().left(8), QString("2023-10-"));
        QVERIFY(db->value("SELECT max(Dat) FROM " + t).toString() <= "2024-03-15");
        QCOMPARE(db->value("SELECT count(*) FROM " + t + " WHERE date(Dat) IS NOT Dat").toInt(), 0);
    }
    // Goods are bought before they are sold; some sales are not fully paid.
    QCOMPARE(db->value("SELECT count(*) FROM Sale s WHERE Dat < (SELECT min(Dat) FROM Buy b "
                       "WHERE b.PID=s.PID)")
                 .toInt(),
             0);
    QVERIFY(db->value("SELECT count(*) FROM Sale WHERE Pay < Price*Num").toInt() > 0);
    QVERIFY(db->value("SELECT count(*) FROM Buy WHERE Pay < Price*Num").toInt() > 0);
    QVERIFY(db->value("SELECT count(*) FROM Sale WHERE Pay > Price*Num + 0.001").toInt() == 0);

    // Stock holds the sums of the records.
    const QString sums = "SELECT SID, PID, sum(Num) AS Num FROM ("
                         "SELECT SID, PID, Num FROM Buy "
                         "UNION ALL SELECT IID, PID, Num FROM Adjust "
                         "UNION ALL SELECT SID, PID, -Num FROM Sale "
                         "UNION ALL SELECT OID, PID, -Num FROM Adjust) GROUP BY SID, PID";
    QCOMPARE(test::queryRows(*db, "SELECT SID, PID, Num FROM Stock ORDER BY SID, PID"),
             test::queryRows(*db, "SELECT SID, PID, Num FROM (" + sums + ") ORDER BY SID, PID"));
    QCOMPARE(db->value("SELECT count(*) FROM Stock WHERE Num < 0").toInt(), 0);
    QVERIFY(db->value("SELECT count(DISTINCT SID) FROM Stock WHERE Num > 0").toInt() == 3);

    // The same seed gives the same data, another seed other data.
    auto b = filledCopy(dir, "b.lbk");
    auto c = filledCopy(dir, "c.lbk", SampleData::kSeed + 1);
    const QString sql = "SELECT * FROM Sale ORDER BY ID";
    QCOMPARE(test::queryRows(*db, sql), test::queryRows(*b, sql));
    QVERIFY(test::queryRows(*db, sql) != test::queryRows(*c, sql));
}

QTEST_GUILESS_MAIN(TestSampleData)
#include "TestSampleData.moc"
