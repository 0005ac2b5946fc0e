#include "core/transfer/Migration.h"

#include "core/accounts/Login.h"
#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/transactions/StockCheck.h"

#include <cmath>

namespace tl {
namespace {

QString stockLine(const StockDifference& d) {
    return QStringLiteral("仓库 %1 产品 %2：库存表 %3，按记录 %4")
        .arg(d.sid)
        .arg(d.pid)
        .arg(d.stored, 0, 'g', 15)
        .arg(d.rebuilt, 0, 'g', 15);
}

// The stock check finds the same on both sides when the copy is whole.
QStringList stockDifferences(const StockComparison& source, const StockComparison& copy) {
    QStringList lines;
    QStringList a;
    QStringList b;
    for (const StockDifference& d : source.differences)
        a << stockLine(d);
    for (const StockDifference& d : copy.differences)
        b << stockLine(d);
    for (const QString& line : std::as_const(a)) {
        if (!b.contains(line))
            lines << QStringLiteral("库存核对：原套帐有而副本没有的不一致：") + line;
    }
    for (const QString& line : std::as_const(b)) {
        if (!a.contains(line))
            lines << QStringLiteral("库存核对：副本有而原套帐没有的不一致：") + line;
    }
    if (source.roundedPairs != copy.roundedPairs)
        lines << QStringLiteral("库存核对：只差取整的处数，原套帐为 %1，副本为 %2")
                     .arg(source.roundedPairs)
                     .arg(copy.roundedPairs);
    return lines;
}

void removeCopy(const Database& target) {
    try {
        Transaction t(target);
        for (const TableDef& def : Schema::accountSetTables())
            target.dropTable(def.name);
        target.dropTable(QStringLiteral("tl_meta"));
        t.commit();
    } catch (const DbError&) {
        // The refusal says the copy is unusable either way.
    }
}

[[noreturn]] void refuseCopy(const Database& target, const QStringList& lines) {
    removeCopy(target);
    throw DbError::refused(QStringLiteral("迁移后的核对发现服务器上的副本与套帐文件不符，"
                                          "副本已从服务器上删除，套帐文件没有改动：\n") +
                           lines.join(QLatin1Char('\n')));
}

} // namespace

MigrationResult migrateAccountSet(const Database& source, const QString& address,
                                  const QString& operatorName, const QString& password,
                                  Progress& progress) {
    if (source.isServer())
        throw DbError::refused(QStringLiteral("只能把套帐文件迁移到服务器上。"));
    if (Schema::needsUpgrade(source))
        throw DbError::refused(QStringLiteral(
            "这个套帐文件由较早版本的本程序建立，请先用本程序登录一次（使它升级），再迁移。"));
    Database::Connected c = Database::connectServer(address);
    if (!c.db)
        throw DbError::refused(c.message);
    const Database& target = *c.db;
    if (!AccountSetCopy::isEmpty(target))
        throw DbError::refused(QStringLiteral("服务器上的这个数据库中已经有表，只能迁移到空的数据库"
                                              "。请新建一个数据库再迁移。"));

    MigrationResult result;
    // One moment of the file, though others may be saving into it meanwhile.
    Transaction read(source, Transaction::Isolation::Snapshot);
    result.problems = AccountSetCopy::problems(source);
    if (!result.problems.isEmpty())
        return result;
    AccountSetCopy::copy(source, target, progress);

    QStringList lines;
    try {
        lines = AccountSetCopy::differences(source, target);
        if (lines.isEmpty()) {
            const StockComparison before = compareStockWithRecords(source, progress);
            const StockComparison after = compareStockWithRecords(target, progress);
            lines = stockDifferences(before, after);
        }
        if (lines.isEmpty() && !Login::authenticate(address, operatorName, password).login)
            lines << QStringLiteral("操作员“%1”不能登录副本。").arg(operatorName);
    } catch (const DbError&) {
        removeCopy(target); // a copy not checked is not handed over
        throw;
    }
    if (!lines.isEmpty())
        refuseCopy(target, lines);
    for (const TableDef& def : Schema::accountSetTables())
        result.copied.append(
            {def.name,
             target.value(QStringLiteral("SELECT count(*) FROM ") + Database::ident(def.name))
                 .toLongLong()});
    return result;
}

} // namespace tl
