#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>

namespace tl {

// Whole days from first through last: a record counts from the first day up
// to before the day after the last, whatever its time of day (dates are ISO
// text that may carry a time). An invalid date leaves that end open, and so
// does a last day with no day after it in the text form (9999-12-31). A
// first day after the last selects nothing.
struct Period {
    QDate first;
    QDate last;

    // The ISO text of the first day; empty when that end is open.
    QString startBound() const;
    // The ISO text of the day after the last; empty when that end is open.
    QString endBound() const;
    // "Dat>=? AND Dat<?" for the ends that are not open (empty when none is),
    // with binds() giving their values in the same order.
    QString condition(const QString& column = QStringLiteral("Dat")) const;
    QVariantList binds() const;
};

} // namespace tl
