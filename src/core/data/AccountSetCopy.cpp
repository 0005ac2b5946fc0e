#include "core/data/AccountSetCopy.h"

#include "core/data/Database.h"
#include "core/data/Schema.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStringDecoder>
#include <climits>
#include <cmath>

namespace tl {
namespace {

using T = ColumnType;

// Enough to act on; a file with more has one fault repeated.
constexpr int kMaxProblems = 1000;
// The statement of rows stays well below the engines' limit of bound values.
constexpr int kMaxBinds = 30000;

QString typeName(const QString& sqliteType) {
    if (sqliteType == QLatin1String("integer"))
        return QStringLiteral("整数");
    if (sqliteType == QLatin1String("real"))
        return QStringLiteral("带小数的数");
    if (sqliteType == QLatin1String("text"))
        return QStringLiteral("文字");
    return QStringLiteral("二进制数据");
}

// The stored types each declared column takes (SQLite's typeof names).
bool fits(T type, const QString& stored) {
    if (stored == QLatin1String("null"))
        return type != T::Counter;
    switch (type) {
    case T::Counter:
    case T::Long:
        return stored == QLatin1String("integer");
    case T::Double:
        return stored == QLatin1String("integer") || stored == QLatin1String("real");
    case T::Date:
    case T::Text:
        return stored == QLatin1String("text");
    }
    return false;
}

QString expected(T type) {
    switch (type) {
    case T::Counter:
    case T::Long:
        return QStringLiteral("整数");
    case T::Double:
        return QStringLiteral("数字");
    case T::Date:
        return QStringLiteral("日期");
    case T::Text:
        return QStringLiteral("文字");
    }
    return {};
}

QString shown(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    text.replace(QChar(0), QStringLiteral("\\0"));
    return text.size() > 40 ? text.left(40) + QStringLiteral("…") : text;
}

// ISO text, as the date columns keep it: a real day, the time only when one exists.
bool isIsoDate(const QString& text) {
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})( \\d{2}:\\d{2}:\\d{2})?$"));
    const QRegularExpressionMatch m = iso.match(text);
    return m.hasMatch() &&
           QDate::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd")).isValid() &&
           (m.captured(2).isEmpty() ||
            QTime::fromString(m.captured(2).mid(1), QStringLiteral("HH:mm:ss")).isValid());
}

QString textProblem(const QByteArray& bytes, bool isDate) {
    if (bytes.contains('\0'))
        return QStringLiteral("文字中含有空字符（NUL）");
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        return QStringLiteral("不是有效的 UTF-8 文字");
    if (isDate && !isIsoDate(text))
        return QStringLiteral("不是 YYYY-MM-DD 格式的日期");
    return {};
}

// Each value's stored type, and the bytes of every text, checked row by row.
void checkTable(const Database& db, const TableDef& def, QList<CopyProblem>& found) {
    const QString key = def.keyColumn();
    QStringList select{Database::ident(key)};
    QList<int> textColumns;
    for (qsizetype i = 0; i < def.columns.size(); ++i) {
        const ColumnDef& c = def.columns.at(i);
        select << QStringLiteral("typeof(%1)").arg(Database::ident(c.name));
        if (c.type == T::Text || c.type == T::Date) {
            select << QStringLiteral("CAST(%1 AS BLOB)").arg(Database::ident(c.name));
            textColumns << int(i);
        }
    }
    struct Misfit {
        qint64 key;
        int column;
        QString stored;
    };
    QList<Misfit> misfits;
    QSqlQuery q = db.run(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
            .arg(select.join(QLatin1Char(',')), Database::ident(def.name), Database::ident(key)));
    while (q.next() && found.size() + misfits.size() < kMaxProblems) {
        const qint64 id = q.value(0).toLongLong();
        int at = 1;
        for (qsizetype i = 0; i < def.columns.size(); ++i) {
            const ColumnDef& c = def.columns.at(i);
            const QString stored = q.value(at++).toString();
            if (!fits(c.type, stored))
                misfits.append({id, int(i), stored});
            if (!textColumns.contains(int(i)))
                continue;
            const QByteArray bytes = q.value(at++).toByteArray();
            if (stored != QLatin1String("text"))
                continue;
            const QString why = textProblem(bytes, c.type == T::Date);
            if (!why.isEmpty())
                found.append({def.name, id, c.name, shown(bytes), why});
        }
    }
    q.finish();
    // The values themselves, once the scan is done: one statement at a time.
    for (const Misfit& m : std::as_const(misfits)) {
        const ColumnDef& c = def.columns.at(m.column);
        const QByteArray bytes = db.value(QStringLiteral("SELECT CAST(%1 AS BLOB) FROM %2 WHERE "
                                                         "%3=?")
                                              .arg(Database::ident(c.name),
                                                   Database::ident(def.name), Database::ident(key)),
                                          {m.key})
                                     .toByteArray();
        found.append(
            {def.name, m.key, c.name, shown(bytes),
             QStringLiteral("应为%1，存的是%2").arg(expected(c.type), typeName(m.stored))});
    }
}

void checkStockPairs(const Database& db, QList<CopyProblem>& found) {
    QSqlQuery q = db.run(QStringLiteral(
        "SELECT s.ID, s.SID, s.PID, d.n FROM Stock s JOIN (SELECT SID, PID, count(*) AS n FROM "
        "Stock GROUP BY SID, PID HAVING count(*) > 1) d ON d.SID = s.SID AND d.PID = s.PID "
        "ORDER BY s.SID, s.PID, s.ID"));
    while (q.next() && found.size() < kMaxProblems)
        found.append(
            {QStringLiteral("Stock"), q.value(0).toLongLong(), QStringLiteral("SID, PID"),
             QStringLiteral("仓库 %1，产品 %2").arg(q.value(1).toString(), q.value(2).toString()),
             QStringLiteral("同一仓库和产品有 %1 行，请先运行 rebuild 命令重建库存")
                 .arg(q.value(3).toInt())});
}

// Both engines fold ASCII letters only when they compare names.
QString foldedAscii(const QString& name) {
    QString folded = name;
    for (QChar& ch : folded) {
        if (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z'))
            ch = QChar(ch.unicode() + 32);
    }
    return folded;
}

void checkOperatorNames(const Database& db, QList<CopyProblem>& found) {
    QHash<QString, std::pair<qint64, QString>> first;
    QSqlQuery q =
        db.run(QStringLiteral("SELECT UID, Name FROM Staff WHERE Name IS NOT NULL ORDER BY UID"));
    while (q.next() && found.size() < kMaxProblems) {
        const QString name = q.value(1).toString();
        const auto it = first.constFind(foldedAscii(name));
        if (it == first.cend())
            first.insert(foldedAscii(name), {q.value(0).toLongLong(), name});
        else
            found.append({QStringLiteral("Staff"), q.value(0).toLongLong(), QStringLiteral("Name"),
                          name,
                          QStringLiteral("与记录 %1 的操作员“%2”只差大小写，请先改名")
                              .arg(it->first)
                              .arg(it->second)});
    }
}

// The key the table's counter gave out last: its greatest key, or more when
// rows at the end were deleted.
qint64 keyHighWater(const Database& db, const TableDef& def) {
    const QString key = def.keyColumn();
    qint64 high = db.value(QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2")
                               .arg(Database::ident(key), Database::ident(def.name)))
                      .toLongLong();
    const QVariant counter =
        db.isServer()
            ? db.value(QStringLiteral("SELECT pg_sequence_last_value(pg_get_serial_sequence(?, "
                                      "?)::regclass)"),
                       {def.name.toLower(), key.toLower()})
            : db.value(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ? COLLATE "
                                      "NOCASE"),
                       {def.name});
    return std::max(high, counter.toLongLong());
}

void setKeyHighWater(const Database& db, const TableDef& def, qint64 high) {
    if (high <= 0)
        return;
    if (db.isServer()) {
        db.value(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), ?)"),
                 {def.name.toLower(), def.keyColumn().toLower(), high});
        return;
    }
    if (db.exec(QStringLiteral("UPDATE sqlite_sequence SET seq = ? WHERE name = ?"),
                {high, def.name}) == 0)
        db.exec(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"),
                {def.name, high});
}

QString columnList(const TableDef& def) {
    QStringList names;
    for (const ColumnDef& c : def.columns)
        names << Database::ident(c.name);
    return names.join(QLatin1Char(','));
}

void copyRows(const Database& source, const Database& target, const TableDef& def,
              Progress& progress) {
    if (!source.tableExists(def.name, Qt::CaseInsensitive))
        return;
    const int width = int(def.columns.size());
    const int perStatement = std::min(AccountSetCopy::rowsPerStatement, kMaxBinds / width);
    const QString row =
        QLatin1Char('(') + QStringLiteral("?,").repeated(width - 1) + QStringLiteral("?)");
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                               .arg(Database::ident(def.name), columnList(def));
    auto write = [&](const QVariantList& binds) {
        const int rows = int(binds.size()) / width;
        QStringList rowTexts(rows, row);
        target.exec(insert + rowTexts.join(QLatin1Char(',')), binds);
        progress.advance(rows);
    };
    QSqlQuery q = source.run(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
            .arg(columnList(def), Database::ident(def.name), Database::ident(def.keyColumn())));
    QVariantList binds;
    if (!target.isServer()) {
        // A file takes one prepared row at a time fastest: its parser slows
        // down with thousands of values in one statement.
        Statement one(target, insert + row);
        for (int n = 1; q.next(); ++n) {
            binds.clear();
            for (int i = 0; i < width; ++i)
                binds << q.value(i);
            one.exec(binds);
            if (n % AccountSetCopy::rowsPerStatement == 0)
                progress.advance(AccountSetCopy::rowsPerStatement);
        }
        return;
    }
    binds.reserve(perStatement * width);
    while (q.next()) {
        for (int i = 0; i < width; ++i)
            binds << q.value(i);
        if (binds.size() == perStatement * width) {
            write(binds);
            binds.clear();
        }
    }
    if (!binds.isEmpty())
        write(binds);
}

struct Figures {
    qint64 rows = 0;
    qint64 maxKey = 0;
    QList<double> sums; // of the number columns, in declared order
};

Figures figures(const Database& db, const TableDef& def, const QStringList& numbers) {
    QStringList select{
        QStringLiteral("count(*)"),
        QStringLiteral("COALESCE(MAX(%1), 0)").arg(Database::ident(def.keyColumn()))};
    for (const QString& n : numbers)
        select << QStringLiteral("COALESCE(SUM(%1), 0)").arg(Database::ident(n));
    Figures f;
    if (!db.tableExists(def.name, Qt::CaseInsensitive)) {
        f.sums = QList<double>(numbers.size(), 0.0);
        return f;
    }
    QSqlQuery q = db.run(QStringLiteral("SELECT %1 FROM %2")
                             .arg(select.join(QLatin1Char(',')), Database::ident(def.name)));
    q.next();
    f.rows = q.value(0).toLongLong();
    f.maxKey = q.value(1).toLongLong();
    for (int i = 0; i < numbers.size(); ++i)
        f.sums << q.value(2 + i).toDouble();
    return f;
}

bool nearlyEqual(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(std::fabs(a), std::fabs(b));
}

} // namespace

QList<CopyProblem> AccountSetCopy::problems(const Database& source) {
    QList<CopyProblem> found;
    if (source.isServer())
        return found;
    for (const TableDef& def : Schema::accountSetTables()) {
        if (source.tableExists(def.name, Qt::CaseInsensitive))
            checkTable(source, def, found);
    }
    checkStockPairs(source, found);
    checkOperatorNames(source, found);
    return found.mid(0, kMaxProblems);
}

bool AccountSetCopy::isEmpty(const Database& db) {
    return db.tableNames().isEmpty();
}

void AccountSetCopy::copy(const Database& source, const Database& target, Progress& progress) {
    const QList<TableDef>& tables = Schema::accountSetTables();
    qint64 total = 0;
    for (const TableDef& def : tables) {
        if (source.tableExists(def.name, Qt::CaseInsensitive))
            total +=
                source.value(QStringLiteral("SELECT count(*) FROM ") + Database::ident(def.name))
                    .toLongLong();
    }
    ProgressCloser closer{progress};
    progress.show(QStringLiteral("正在复制套帐……"), int(std::min<qint64>(total, INT_MAX)));
    Transaction t(target);
    for (const TableDef& def : tables)
        target.exec(Schema::createSql(def, target.isServer()));
    for (const TableDef& def : tables)
        copyRows(source, target, def, progress);
    // The key of Stock is checked once, over the loaded rows.
    for (const QString& sql : Schema::indexSql())
        target.exec(sql);
    for (const TableDef& def : tables) {
        if (source.tableExists(def.name, Qt::CaseInsensitive))
            setKeyHighWater(target, def, keyHighWater(source, def));
    }
    Schema::writeVersion(target);
    t.commit();
    // The planner learns the sizes of the new tables now, not at the first report.
    if (target.isServer()) {
        for (const TableDef& def : tables)
            target.exec(QStringLiteral("ANALYZE ") + Database::ident(def.name));
    }
}

QStringList AccountSetCopy::differences(const Database& source, const Database& target) {
    QStringList lines;
    for (const TableDef& def : Schema::accountSetTables()) {
        QStringList numbers;
        for (const ColumnDef& c : def.columns) {
            if (c.type == T::Long || c.type == T::Double)
                numbers << c.name;
        }
        const Figures a = figures(source, def, numbers);
        const Figures b = figures(target, def, numbers);
        auto differ = [&](const QString& what, const QString& from, const QString& to) {
            lines << QStringLiteral("表 %1 的%2：原套帐为 %3，副本为 %4")
                         .arg(def.name, what, from, to);
        };
        if (a.rows != b.rows)
            differ(QStringLiteral("行数"), QString::number(a.rows), QString::number(b.rows));
        if (a.maxKey != b.maxKey)
            differ(QStringLiteral("最大编号"), QString::number(a.maxKey),
                   QString::number(b.maxKey));
        for (int i = 0; i < numbers.size(); ++i) {
            if (!nearlyEqual(a.sums.at(i), b.sums.at(i)))
                differ(QStringLiteral("列 %1 的合计").arg(numbers.at(i)),
                       QString::number(a.sums.at(i), 'g', 17),
                       QString::number(b.sums.at(i), 'g', 17));
        }
    }
    return lines;
}

} // namespace tl
