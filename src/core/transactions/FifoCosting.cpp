#include "core/transactions/FifoCosting.h"

#include "core/data/Database.h"
#include "core/values/Numbers.h"

#include <QSqlQuery>
#include <algorithm>
#include <tuple>

namespace tl {

namespace {

// year, month, day, hour, minute, second of a stored date text.
qint64 dateOrder(const QString& text, int* month) {
    int fields[6] = {0, 0, 0, 0, 0, 0};
    int field = 0;
    bool inNumber = false;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            fields[field] = fields[field] * 10 + (c.unicode() - '0');
            inNumber = true;
            if (fields[field] > 99999)
                break;
        } else if (inNumber) {
            inNumber = false;
            if (++field == 6)
                break;
        }
    }
    if (fields[0] < 1 || fields[1] < 1 || fields[1] > 12) {
        *month = -1;
        return -1;
    }
    *month = fields[0] * 12 + fields[1] - 1;
    qint64 order = fields[0];
    for (int f = 1; f < 6; ++f)
        order = order * 100 + std::min(fields[f], 99);
    return order;
}

} // namespace

std::vector<CostRecord> readCostRecords(const Database& db, const QString& table,
                                        const Period& period, int productId) {
    QStringList where;
    QVariantList binds = period.binds();
    if (const QString dates = period.condition(); !dates.isEmpty())
        where << dates;
    if (productId > 0) {
        where << QStringLiteral("PID=?");
        binds << productId;
    }
    QString sql =
        QStringLiteral("SELECT PID, Num, Price, Dat, ID FROM %1").arg(Database::ident(table));
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    std::vector<CostRecord> records;
    QSqlQuery q = db.run(sql, binds);
    while (q.next()) {
        CostRecord r;
        r.pid = q.value(0).toInt();
        r.num = q.value(1).toDouble();
        r.price = q.value(2).toDouble();
        r.order = dateOrder(q.value(3).toString(), &r.month);
        r.id = q.value(4).toLongLong();
        records.push_back(r);
    }
    std::sort(records.begin(), records.end(), [](const CostRecord& a, const CostRecord& b) {
        return std::tie(a.pid, a.order, a.id) < std::tie(b.pid, b.order, b.id);
    });
    return records;
}

FifoLots::FifoLots(const CostRecord* begin, const CostRecord* end) : m_lot(begin), m_end(end) {
    if (m_lot != m_end)
        m_left = roundHalfEven(m_lot->num);
}

void FifoLots::next() {
    ++m_lot;
    m_taken = false;
    m_left = m_lot != m_end ? roundHalfEven(m_lot->num) : 0;
}

void FifoLots::consume(qint64 units) {
    if (units < 0 && m_lot != m_end) {
        // More came back than went out: the oldest lot holds the extra units.
        m_left -= units;
        m_taken = true;
        return;
    }
    // The running sum of the lots reaches the units in one lot, which stays
    // current with what is left of it.
    qint64 sum = 0;
    while (units > 0 && m_lot != m_end) {
        if (sum + m_left > units) {
            m_left = sum + m_left - units;
            m_taken = true;
            return;
        }
        sum += m_left;
        next();
        if (sum == units)
            return;
    }
}

double FifoLots::cost(qint64 units) {
    double cost = 0;
    while (m_lot != m_end && units >= 1) {
        if (m_left >= units) {
            cost += double(units) * m_lot->price;
            m_left -= units;
            m_taken = true;
            return cost;
        }
        cost += double(m_left) * m_lot->price;
        units -= m_left;
        next();
    }
    return cost; // units beyond the last lot cost nothing
}

double FifoLots::remainingValue() const {
    if (m_lot == m_end)
        return 0;
    // A lot nothing was taken from counts whole, at the quantity bought.
    double value = m_taken ? double(m_left) * m_lot->price : m_lot->num * m_lot->price;
    for (const CostRecord* lot = m_lot + 1; lot != m_end; ++lot)
        value += lot->num * lot->price;
    return value;
}

} // namespace tl
