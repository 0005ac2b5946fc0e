#include "core/printing/Slip.h"

#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "core/grid/GridText.h"
#include "core/printing/ChineseAmount.h"

#include <QSet>
#include <algorithm>

namespace tl {

namespace {

bool isSale(SlipKind kind) {
    return kind == SlipKind::Sale;
}

struct Record {
    qint64 id;
    QVariant party;
    QString partyName;
    QString date;
    SlipLine line;
    double pay;
};

// The records in chunks, so that any selection stays within the engine's
// limit on bound values.
QList<Record> readRecords(const Database& db, SlipKind kind, const QList<qint64>& ids) {
    const QString sql =
        isSale(kind)
            ? QStringLiteral("SELECT r.ID, r.CID, c.Name, p.Name, p.Unit, r.Price, r.Num, r.Pay, "
                             "r.Dat FROM Sale r LEFT JOIN Customer c ON c.CID=r.CID "
                             "LEFT JOIN Product p ON p.PID=r.PID WHERE r.ID IN (%1)")
            : QStringLiteral("SELECT r.ID, r.VID, c.Name, p.Name, p.Unit, r.Price, r.Num, r.Pay, "
                             "r.Dat FROM Buy r LEFT JOIN Vender c ON c.VID=r.VID "
                             "LEFT JOIN Product p ON p.PID=r.PID WHERE r.ID IN (%1)");
    constexpr qsizetype kChunk = 500;
    QList<Record> records;
    for (qsizetype from = 0; from < ids.size(); from += kChunk) {
        const QList<qint64> chunk = ids.mid(from, kChunk);
        QVariantList binds;
        for (qint64 id : chunk)
            binds << id;
        QStringList marks(chunk.size(), QStringLiteral("?"));
        QSqlQuery q = db.run(sql.arg(marks.join(QLatin1Char(','))), binds);
        while (q.next()) {
            Record r;
            r.id = q.value(0).toLongLong();
            r.party = q.value(1);
            r.partyName = q.value(2).toString();
            r.line.product = q.value(3).toString();
            r.line.unit = q.value(4).toString();
            r.line.price = q.value(5).toDouble();
            r.line.quantity = q.value(6).toDouble();
            r.pay = q.value(7).toDouble();
            r.date = q.value(8).toString().left(10);
            records << r;
        }
    }
    std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
        return a.date != b.date ? a.date < b.date : a.id < b.id;
    });
    return records;
}

QString idList(const QList<qint64>& ids) {
    QStringList texts;
    for (qint64 id : ids)
        texts << QString::number(id);
    return texts.join(QStringLiteral("、"));
}

} // namespace

QString Slip::title() const {
    return isSale(kind) ? QStringLiteral("销售单") : QStringLiteral("采购单");
}
QString Slip::partyLabel() const {
    return isSale(kind) ? QStringLiteral("客户") : QStringLiteral("供应商");
}
QString Slip::paidLabel() const {
    return isSale(kind) ? QStringLiteral("已收金额") : QStringLiteral("已付金额");
}
QString Slip::owedLabel() const {
    return isSale(kind) ? QStringLiteral("未收金额") : QStringLiteral("未付金额");
}
QString Slip::signatureLabel() const {
    return partyLabel() + QStringLiteral("签字：");
}
QString Slip::numberText() const {
    return number > 0 ? QStringLiteral("%1").arg(number, 6, 10, QLatin1Char('0')) : QString();
}

QString centsText(qint64 cents) {
    const qint64 whole = std::llabs(cents) / 100;
    QString digits = QString::number(whole);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return (cents < 0 ? QStringLiteral("-") : QString()) + digits +
           QStringLiteral(".%1").arg(std::llabs(cents) % 100, 2, 10, QLatin1Char('0'));
}

Outcome buildSlip(const Database& db, const Session& session, SlipKind kind,
                  const QList<qint64>& ids, Slip& slip) {
    const QString records = isSale(kind) ? QStringLiteral("销售记录") : QStringLiteral("采购记录");
    QList<qint64> wanted = ids;
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    if (wanted.isEmpty())
        return Outcome::refused(QStringLiteral("没有选择要打印的%1！").arg(records));

    const QList<Record> found = readRecords(db, kind, wanted);
    QSet<qint64> present;
    for (const Record& r : found)
        present.insert(r.id);
    QList<qint64> missing;
    for (qint64 id : wanted)
        if (!present.contains(id))
            missing << id;
    if (!missing.isEmpty())
        return Outcome::refused(QStringLiteral("记录号为 %1 的%2不存在（可能已被删除）。")
                                    .arg(idList(missing), records));

    Slip s;
    s.kind = kind;
    QStringList parties;
    QSet<QString> partyKeys;
    for (const Record& r : found) {
        const QString key = r.party.isNull() ? QString() : r.party.toString();
        if (!partyKeys.contains(key)) {
            partyKeys.insert(key);
            parties << (r.partyName.isEmpty() ? QStringLiteral("（无名）") : r.partyName);
        }
    }
    if (partyKeys.size() > 1) {
        // A few names say enough: "甲、乙、丙等 15 个客户".
        constexpr int kNamed = 3;
        QString named = parties.mid(0, kNamed).join(QStringLiteral("、"));
        if (parties.size() > kNamed)
            named += QStringLiteral("等 %1 个%2").arg(parties.size()).arg(s.partyLabel());
        return Outcome::refused(
            QStringLiteral("所选的%1属于不同的%2：%3。一张%4只能开给一个%2，请只选择同一%2的记录。")
                .arg(records, s.partyLabel(), named, s.title()));
    }

    for (const Record& r : found) {
        SlipLine line = r.line;
        const std::optional<qint64> amount = amountCents(line.price * line.quantity);
        const std::optional<qint64> pay = amountCents(r.pay);
        if (!amount || !pay)
            return Outcome::refused(
                QStringLiteral("记录号为 %1 的%2金额过大，无法开单。").arg(r.id).arg(records));
        line.amount = *amount;
        s.lines << line;
        s.total += *amount;
        s.paid += *pay;
    }
    s.party = found.first().partyName;
    const QString first = gridDate(found.first().date);
    const QString last = gridDate(found.last().date);
    s.date = first == last ? first : first + QStringLiteral(" 至 ") + last;
    s.shop = ShopSettings::read(db);
    s.operatorName = session.operatorName;
    slip = s;
    return Outcome::ok();
}

} // namespace tl
