#include "core/sample/SampleTrade.h"

#include "core/data/Database.h"
#include "core/sample/SampleCatalog.h"
#include "core/support/Clock.h"

#include <QDate>
#include <QRandomGenerator>
#include <cmath>
#include <map>

namespace tl {

namespace {

constexpr int kMain = 0;   // the main warehouse: purchases arrive here
constexpr int kShop = 2;   // the shop: cash sales
constexpr int kMonths = 6; // this month and the five before it

QString iso(const QDate& d) {
    return d.toString(Qt::ISODate);
}

double cents(double v) {
    return std::round(v * 100.0) / 100.0;
}

class Simulation {
public:
    Simulation(const Database& db, const SampleTrade::Keys& keys, quint32 seed)
        : m_db(db), m_keys(keys), m_rng(seed), m_products(SampleCatalog::products()) {}

    void run() {
        const QDate today = Clock::today();
        const QDate start = QDate(today.year(), today.month(), 1).addMonths(1 - kMonths);
        int day = 0;
        for (QDate d = start; d <= today; d = d.addDays(1), ++day) {
            if (day < 3) {
                openingPurchases(d, day);
                continue;
            }
            if (day < 6) {
                openingTransfers(d, day);
                continue;
            }
            const bool sunday = d.dayOfWeek() == 7;
            const int sales = sunday ? int(m_rng.bounded(3)) : 2 + int(m_rng.bounded(6));
            for (int i = 0; i < sales; ++i)
                sale(d);
            restock(d);
            if (!sunday && chance(70))
                transfer(d);
        }
        writeStock();
    }

private:
    // Typical purchase lot and sale quantity by how dear a product is.
    static int lot(double price) {
        if (price < 5)
            return 300;
        if (price < 20)
            return 100;
        if (price < 100)
            return 40;
        if (price < 400)
            return 12;
        return 6;
    }
    int saleQty(double price) {
        const int most = price < 5 ? 40 : price < 20 ? 15 : price < 100 ? 8 : price < 400 ? 3 : 2;
        return 1 + int(m_rng.bounded(most));
    }
    int pick(int n) { return int(m_rng.bounded(n)); }
    bool chance(int percent) { return int(m_rng.bounded(100)) < percent; }
    double percentOf(double price, int lowPercent, int highPercent) {
        return price * (lowPercent + pick(highPercent - lowPercent + 1)) / 100.0;
    }
    // Reading never creates a row: only pairs that moved end up in Stock.
    int stock(int storage, int product) const {
        const auto it = m_stock.find({storage, product});
        return it == m_stock.end() ? 0 : it->second;
    }
    void change(int storage, int product, int delta) { m_stock[{storage, product}] += delta; }

    void buy(const QDate& d, int product, int storage, int qty, const char* memo) {
        const auto& p = m_products[product];
        const double price = cents(percentOf(p.price, 68, 80));
        const double total = cents(price * qty);
        double pay = total;
        if (chance(20))
            pay = std::floor(total / 2);
        else if (chance(8))
            pay = 0;
        const int supplier = chance(85) ? p.supplierIndex : pick(int(m_keys.suppliers.size()));
        const int account = 1 + pick(int(m_keys.accounts.size()) - 1); // paid from a bank
        m_db.exec(QStringLiteral("INSERT INTO Buy (PID, VID, AID, SID, Price, Num, Pay, Dat, Memo) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                  {m_keys.products[product], m_keys.suppliers[supplier], m_keys.accounts[account],
                   m_keys.storages[storage], price, double(qty), pay, iso(d),
                   QString::fromUtf8(memo)});
        change(storage, product, qty);
    }

    void move(const QDate& d, int product, int from, int to, int qty, const char* memo) {
        m_db.exec(
            QStringLiteral(
                "INSERT INTO Adjust (IID, OID, PID, Num, Dat, Memo) VALUES (?, ?, ?, ?, ?, ?)"),
            {m_keys.storages[to], m_keys.storages[from], m_keys.products[product], double(qty),
             iso(d), QString::fromUtf8(memo)});
        change(from, product, -qty);
        change(to, product, qty);
    }

    void openingPurchases(const QDate& d, int day) {
        for (int p = day; p < int(m_products.size()); p += 3) {
            const int qty = lot(m_products[p].price) * (2 + pick(2)) / 2;
            buy(d, p, kMain, qty, "首批进货");
        }
    }

    void openingTransfers(const QDate& d, int day) {
        for (int p = day - 3; p < int(m_products.size()); p += 3) {
            for (int to : {1, 2}) {
                const int qty = stock(kMain, p) / 4;
                if (qty > 0 && chance(70))
                    move(d, p, kMain, to, qty, to == kShop ? "门市备货" : "分仓备货");
            }
        }
    }

    void sale(const QDate& d) {
        const int r = pick(100);
        const int storage = r < 45 ? 0 : r < 75 ? 1 : 2;
        int product = -1;
        for (int tries = 0; tries < 6 && product < 0; ++tries) {
            const int p = pick(int(m_products.size()));
            if (stock(storage, p) > 0)
                product = p;
        }
        if (product < 0)
            return;
        const auto& p = m_products[product];
        const int qty = std::min(saleQty(p.price), stock(storage, product));
        const double price = p.price < 10 ? cents(percentOf(p.price, 95, 110))
                                          : std::round(percentOf(p.price, 95, 108) * 10) / 10;
        const double total = cents(price * qty);
        double pay = total;
        QString memo;
        int account = 0;
        if (storage != kShop) {
            account = chance(30) ? 0 : 1 + pick(int(m_keys.accounts.size()) - 1);
            if (chance(15)) {
                pay = std::floor(total / 2);
                memo = QStringLiteral("余款月结");
            } else if (chance(8)) {
                pay = 0;
                memo = QStringLiteral("赊销");
            } else if (chance(10)) {
                memo = QStringLiteral("送货上门");
            }
        }
        const int customer = pick(int(m_keys.customers.size()));
        const int seller = chance(70) && m_keys.sellers.size() > 1 ? 1 : 0;
        m_db.exec(QStringLiteral("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat, "
                                 "Memo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                  {m_keys.products[product], m_keys.customers[customer], m_keys.storages[storage],
                   m_keys.accounts[account], m_keys.sellers[seller], price, double(qty), pay,
                   iso(d), memo});
        change(storage, product, -qty);
    }

    void restock(const QDate& d) {
        for (int p = 0; p < int(m_products.size()); ++p) {
            const int reorder = lot(m_products[p].price) / 2;
            if (stock(kMain, p) < reorder && chance(50))
                buy(d, p, kMain, lot(m_products[p].price), "补货");
        }
    }

    void transfer(const QDate& d) {
        const int to = 1 + pick(2);
        for (int tries = 0; tries < 8; ++tries) {
            const int p = pick(int(m_products.size()));
            const int want = lot(m_products[p].price) / 3;
            if (stock(to, p) < want && stock(kMain, p) > want) {
                move(d, p, kMain, to, want, to == kShop ? "门市补货" : "分仓补货");
                return;
            }
        }
    }

    void writeStock() {
        for (const auto& [key, qty] : m_stock) {
            m_db.exec(QStringLiteral("INSERT INTO Stock (SID, PID, Num) VALUES (?, ?, ?)"),
                      {m_keys.storages[key.first], m_keys.products[key.second], double(qty)});
        }
    }

    const Database& m_db;
    const SampleTrade::Keys& m_keys;
    QRandomGenerator m_rng;
    std::span<const SampleCatalog::Product> m_products;
    std::map<std::pair<int, int>, int> m_stock; // (warehouse, product) indexes
};

} // namespace

void SampleTrade::generate(const Database& db, const Keys& keys, quint32 seed) {
    Simulation(db, keys, seed).run();
}

} // namespace tl
