// Times tradeledger-cli against the core functions it calls: the tool's own
// start-up (open, log in, close) on the sample account set, and each command
// on the benchmark account set next to the same core function in-process.
// Usage: bench_cli [folder for the account sets]
#include "cli/CliSession.h"
#include "data/Database.h"
#include "data/Integrity.h"
#include "data/SampleData.h"
#include "data/Schema.h"
#include "support/BenchData.h"
#include "transactions/StockCheck.h"
#include "transactions/StockLedger.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace tl;
using namespace tl::bench;

namespace {

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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
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
        time("core: rebuildStock as of 2200-01-01", 3, [&] {
            StockLedger::rebuildStock(*db, StockLedger::allDates, QStringLiteral("T_Stock"));
            db->dropWorkTables();
        });
        time("core: integrity check + stock comparison", 3, [&] {
            integrityProblems(*db);
            compareStockWithRecords(*db);
        });
    }
    timeTool("tool: rebuild", 3, {QStringLiteral("--set"), path, QStringLiteral("rebuild")});
    timeTool("tool: verify", 3, {QStringLiteral("--set"), path, QStringLiteral("verify")});
    return 0;
}
