// Times importing a 100,000-line sales CSV file (GBK, as older spreadsheet
// programs save it) with 1,000 distinct products and 1,000 distinct customers
// into the benchmark account set: half of the names exist already, half are
// created by the import. Usage: bench_import [folder for the account set] [--pg URL]
#include "core/data/Database.h"
#include "core/importexport/CsvReader.h"
#include "core/importexport/Importer.h"
#include "support/BenchData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <cstdio>

using namespace tl;
using namespace tl::bench;

namespace {

constexpr int kLines = 100000;

QString writeSalesCsv(const QString& path) {
    QRandomGenerator random(11);
    QString text =
        QStringLiteral("序号,产品,客户,仓库,账号,价格,数量,金额,成本,已付,日期,销售员,备注\r\n");
    for (int i = 1; i <= kLines; ++i) {
        const int product = int(random.bounded(1000)) + 500; // 产品500..产品1499
        const int customer = int(random.bounded(1000)) + 250;
        const double price = 1 + random.bounded(50000) / 100.0;
        const int num = int(random.bounded(20)) + 1;
        const QDate day = firstDay.addDays(random.bounded(days));
        text +=
            QStringLiteral("%1,产品%2,客户%3,仓库%4,账户%5,%6,%7,%8,,%9,%10,销售员%11,第%1行\r\n")
                .arg(i)
                .arg(product)
                .arg(customer)
                .arg(random.bounded(warehouses) + 1)
                .arg(random.bounded(5) + 1)
                .arg(price, 0, 'f', 2)
                .arg(num)
                .arg(price * num, 0, 'f', 2)
                .arg(price * num, 0, 'f', 2)
                .arg(day.toString(QStringLiteral("yyyy/M/d")))
                .arg(random.bounded(10) + 1);
    }
    QStringEncoder gbk("GB18030");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    f.write(gbk.encode(text));
    return path;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const BenchArgs args(argc, argv);
    QTemporaryDir dir;
    const QString folder = args.value(0, dir.path());
    const QString setPath = args.accountSet(folder);
    if (!openBenchAccountSet(setPath))
        return 1;
    const QString csv = writeSalesCsv(dir.path() + QStringLiteral("/sales.csv"));
    std::printf("sales.csv: %d lines, %.1f MB (GBK)\n", kLines, QFile(csv).size() / 1e6);

    time("reading and splitting the file", 3, [&] {
        CsvReader reader;
        reader.open(csv);
        QStringList fields;
        int n = 0;
        while (reader.readRecord(fields) != CsvReader::Record::End)
            ++n;
        if (n != kLines + 1)
            std::printf("  read %d records!\n", n);
    });

    ImportRequest request;
    request.table = ListedTable::Sales;
    request.path = csv;
    request.firstLine = 2;
    request.dryRun = true;
    {
        auto db = Database::open(setPath);
        if (db->isServer())
            countServerProcess(*db);
        time("dry run (everything but the commit)", 3, [&] {
            const ImportResult r = importRecords(*db, request);
            if (r.added != kLines)
                std::printf("  %s\n", qPrintable(r.summary(request.table)));
        });
    }
    // The mapping dialog runs the dry run above, asks, then this import.
    request.dryRun = false;
    // Each run imports into a fresh copy of the set; only the import is timed.
    const QString copy = args.accountSet(folder, QStringLiteral("bench-import"),
                                         QStringLiteral("bench_550k_import"));
    double wall = 1e9, cpu = 1e9;
    for (int run = 0; run < 3; ++run) {
        auto db = copyAccountSet(setPath, copy);
        if (!db)
            return 1;
        QElapsedTimer timer;
        const double c = cpuMs();
        timer.start();
        const ImportResult r = importRecords(*db, request);
        wall = std::min(wall, timer.nsecsElapsed() / 1e6);
        cpu = std::min(cpu, cpuMs() - c);
        if (run == 0)
            std::printf("  %s\n", qPrintable(r.summary(request.table)));
    }
    std::printf("%-40s %7.0f ms wall %7.0f ms cpu (best of 3)\n",
                "importing 100,000 sales, committed", wall, cpu);
    if (!args.onServer())
        QFile::remove(copy);
    return 0;
}
