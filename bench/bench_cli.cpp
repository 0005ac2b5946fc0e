// Times tradeledger-cli against the core functions it calls: the tool's own
// start-up (open, log in, close) on the sample account set, and each command
// on the benchmark account set next to the same core function in-process.
// Usage: bench_cli [folder for the account sets]
#include "cli/CliSession.h"
#include "core/accounts/Rights.h"
#include "core/accounts/Session.h"
#include "core/charts/ChartPicture.h"
#include "core/charts/ChartQueries.h"
#include "core/data/Backup.h"
#include "core/data/Database.h"
#include "core/data/Integrity.h"
#include "core/data/Schema.h"
#include "core/grid/Grid.h"
#include "core/importexport/GridExport.h"
#include "core/importexport/Importer.h"
#include "core/lists/ListedTables.h"
#include "core/sample/SampleData.h"
#include "core/statistics/StockReport.h"
#include "core/statistics/TradeReports.h"
#include "core/transactions/StockCheck.h"
#include "core/transactions/StockLedger.h"
#include "support/BenchData.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace tl;
using namespace tl::bench;

namespace {

// The CSV the tool prints, kept in memory.
QByteArray csvBytes(const Grid& grid) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeCsv(grid, buffer, CsvEncoding::Utf8, Progress::silent());
    return buffer.data();
}

// Processor time of finished child processes, in ms.
double childCpuMs() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Runs the tool; best wall and processor time of some runs.
void timeTool(const char* what, int runs, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("TRADELEDGER_PASSWORD"), QStringLiteral("730281"));
    double wall = 1e9, cpu = 1e9;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setStandardOutputFile(QProcess::nullDevice());
        const double c = childCpuMs();
        QElapsedTimer timer;
        timer.start();
        p.start(QStringLiteral(TL_CLI_EXECUTABLE), args);
        p.waitForFinished(-1);
        wall = std::min(wall, timer.nsecsElapsed() / 1e6);
        cpu = std::min(cpu, childCpuMs() - c);
        if (p.exitCode() != 0)
            std::printf("  (exit %d: %s)\n", p.exitCode(), p.readAllStandardError().constData());
    }
    std::printf("%-40s %7.0f ms wall %7.0f ms cpu (best of %d)\n", what, wall, cpu, runs);
}

constexpr int kImportLines = 20000;

// Sales of the benchmark set's own products, customers and warehouses.
QString writeSalesCsv(const QString& path) {
    QString text =
        QStringLiteral("序号,产品,客户,仓库,账号,价格,数量,金额,成本,已付,日期,销售员,备注\r\n");
    for (int i = 1; i <= kImportLines; ++i)
        text += QStringLiteral("%1,产品%2,客户%3,仓库%4,账户%5,%6,%7,,,0,2009-06-%8,,导入\r\n")
                    .arg(i)
                    .arg(i % products)
                    .arg(i % customers)
                    .arg(i % warehouses)
                    .arg(i % 5)
                    .arg(1 + i % 300)
                    .arg(1 + i % 7)
                    .arg(1 + i % 28, 2, 10, QLatin1Char('0'));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(QStringEncoder("GB18030").encode(text));
    return path;
}

} // namespace

int main(int argc, char** argv) {
    // Charts need fonts: a GUI application on the offscreen platform, as in the tool.
    int appArgc = 3;
    char platform[] = "-platform";
    char offscreen[] = "offscreen";
    char* appArgv[] = {argv[0], platform, offscreen, nullptr};
    QGuiApplication app(appArgc, appArgv);
    QTemporaryDir dir;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path();

    // Start-up on the sample account set.
    const QString sample = folder + QStringLiteral("/sample.lbk");
    if (!QFileInfo::exists(sample)) {
        auto db = Database::open(sample, Database::OpenMode::CreateIfMissing);
        Schema::createAccountSet(*db);
        SampleData::fill(*db);
    }
    qputenv("TRADELEDGER_PASSWORD", "730281");
    time("start-up in-process (open, log in, close)", 20, [&] {
        if (!cli::logIn(sample, QStringLiteral("admin")))
            qFatal("login failed");
    });
    timeTool("tool: --help (process start only)", 10, {QStringLiteral("--help")});
    timeTool("tool: verify on the sample set", 10,
             {QStringLiteral("--set"), sample, QStringLiteral("verify")});

    // Commands on the benchmark account set.
    const QString path = folder + QStringLiteral("/bench.lbk");
    {
        auto db = openBenchAccountSet(path);
        if (!db)
            return 1;
        // Argon2id and the whole-file check every command starts with.
        time("start-up in-process on the benchmark set", 5, [&] {
            if (!cli::logIn(path, QStringLiteral("admin")))
                qFatal("login failed");
        });
        time("core: rebuildStock as of 2200-01-01", 3, [&] {
            StockLedger::rebuildStock(*db, StockLedger::allDates, QStringLiteral("T_Stock"));
            db->dropWorkTables();
        });
        time("core: integrity check + stock comparison", 3, [&] {
            integrityProblems(*db);
            compareStockWithRecords(*db);
        });
        Grid grid;
        time("core: trend chart, amounts, 3 years, PNG", 3, [&] {
            const ChartResult r =
                trendTable(*db, {firstDay, firstDay.addDays(days), 0, 0, true}, grid);
            saveChartPicture(grid, r.title, folder + QStringLiteral("/trend.png"), {1180, 720});
        });
        time("core: gross-profit chart, 3 years, PDF", 3, [&] {
            const ChartResult r = profitTable(*db, {firstDay, firstDay.addDays(days), 0}, grid);
            saveChartPicture(grid, r.title, folder + QStringLiteral("/profit.pdf"), {1180, 720});
        });
        const QDate lastYear = firstDay.addYears(2);
        time("core: stock report + CSV", 3, [&] {
            stockReport(*db, grid);
            csvBytes(grid);
        });
        time("core: sales totals, last year + CSV", 3, [&] {
            tradeTotals(*db, grid, TradeSide::Sales, {lastYear, lastYear.addYears(1).addDays(-1)});
            csvBytes(grid);
        });
        time("core: receivables, 3 years + .xlsx", 3, [&] {
            outstandingMatrix(*db, grid, TradeSide::Sales, {firstDay, firstDay.addDays(days)});
            gridToExcel(grid, folder + QStringLiteral("/r.xlsx"), QStringLiteral("应收款盘点"),
                        Progress::silent());
        });
        Session session;
        session.rights = Rights::all();
        time("core: sales list (300,000) + CSV", 3, [&] {
            loadListedTable(grid, *db, session, ListedTable::Sales);
            csvBytes(grid);
        });
        time("core: backup", 3,
             [&] { backupAccountSet(*db, folder + QStringLiteral("/backup.lbk")); });
        ImportRequest request;
        request.path = writeSalesCsv(folder + QStringLiteral("/sales.csv"));
        request.firstLine = 2;
        request.lastLine = kImportLines + 1;
        request.dryRun = true;
        time("core: import 20,000 sales, dry run", 3, [&] { importRecords(*db, request); });
    }
    const QString from = firstDay.toString(Qt::ISODate);
    const QString to = firstDay.addDays(days).toString(Qt::ISODate);
    const QString lastYear = firstDay.addYears(2).toString(Qt::ISODate);
    const QString lastDay = firstDay.addYears(3).addDays(-1).toString(Qt::ISODate);
    timeTool("tool: report stock", 3,
             {QStringLiteral("--set"), path, QStringLiteral("report"), QStringLiteral("stock")});
    timeTool("tool: report sales, last year", 3,
             {QStringLiteral("--set"), path, QStringLiteral("report"), QStringLiteral("sales"),
              QStringLiteral("--from"), lastYear, QStringLiteral("--to"), lastDay});
    timeTool("tool: report receivables, 3 years, .xlsx", 3,
             {QStringLiteral("--set"), path, QStringLiteral("report"),
              QStringLiteral("receivables"), QStringLiteral("--from"), from, QStringLiteral("--to"),
              to, QStringLiteral("--out"), folder + QStringLiteral("/r.xlsx")});
    timeTool("tool: export sales (300,000)", 3,
             {QStringLiteral("--set"), path, QStringLiteral("export"), QStringLiteral("sales")});
    timeTool("tool: backup", 3,
             {QStringLiteral("--set"), path, QStringLiteral("backup"),
              folder + QStringLiteral("/backup.lbk")});
    timeTool("tool: chart trend --amount, PNG", 3,
             {QStringLiteral("--set"), path, QStringLiteral("chart"), QStringLiteral("trend"),
              QStringLiteral("--from"), from, QStringLiteral("--to"), to,
              QStringLiteral("--amount"), QStringLiteral("--out"),
              folder + QStringLiteral("/trend.png")});
    timeTool("tool: chart profit, PDF", 3,
             {QStringLiteral("--set"), path, QStringLiteral("chart"), QStringLiteral("profit"),
              QStringLiteral("--from"), from, QStringLiteral("--to"), to, QStringLiteral("--out"),
              folder + QStringLiteral("/profit.pdf")});
    timeTool("tool: import 20,000 sales, dry run", 3,
             {QStringLiteral("--set"), path, QStringLiteral("import"), QStringLiteral("sales"),
              folder + QStringLiteral("/sales.csv"), QStringLiteral("--lines"),
              QStringLiteral("2-%1").arg(kImportLines + 1), QStringLiteral("--dry-run")});
    timeTool("tool: rebuild", 3, {QStringLiteral("--set"), path, QStringLiteral("rebuild")});
    timeTool("tool: verify", 3, {QStringLiteral("--set"), path, QStringLiteral("verify")});
    return 0;
}
