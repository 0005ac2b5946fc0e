#pragma once

#include "core/printing/ShopSettings.h"
#include "core/support/Outcome.h"

#include <QList>
#include <QString>
#include <QtGlobal>

namespace tl {

class Database;
struct Session;

// One line of a slip: one sale or purchase record.
struct SlipLine {
    QString product;
    QString unit;
    double quantity = 0;
    double price = 0;
    qint64 amount = 0; // cents: price × quantity, rounded half away from zero
};

// What a sale slip ("销售单") or purchase slip ("采购单") shows. Amounts are
// whole cents, and the total is the sum of the lines as printed, so the slip
// adds up on paper.
struct Slip {
    SlipKind kind = SlipKind::Sale;
    ShopSettings shop;
    QString party; // the customer, or the supplier
    QString date;  // "2024.03.05", or "2024.03.01 至 2024.03.05" when the records differ
    QList<SlipLine> lines;
    qint64 total = 0;
    qint64 paid = 0; // the records' amounts received (paid)
    QString operatorName;
    qint64 number = 0; // 0: none taken yet

    qint64 owed() const { return total - paid; }
    QString title() const;          // "销售单", "采购单"
    QString partyLabel() const;     // "客户", "供应商"
    QString paidLabel() const;      // "已收金额", "已付金额"
    QString owedLabel() const;      // "未收金额", "未付金额"
    QString signatureLabel() const; // "客户签字：", "供应商签字："
    QString numberText() const;     // "000123"; empty while none is taken
};

// Builds the slip of the given sale (purchase) records, the lines in date
// order. Refused, with the reason, when no record is given, a record does
// not exist, the records belong to more than one customer (supplier), or an
// amount is too large to be written. The slip takes no number here.
Outcome buildSlip(const Database& db, const Session& session, SlipKind kind,
                  const QList<qint64>& ids, Slip& slip);

// "1,234.56", "-8.00": cents as the slip writes figures.
QString centsText(qint64 cents);

} // namespace tl
