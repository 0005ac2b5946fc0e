#pragma once
// The benchmark account set and timing helpers shared by the programs under bench/.

#include "core/data/Database.h"

#include <QDate>
#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <sys/resource.h>

namespace tl::bench {

// The size of the benchmark account set: 1,000 products in 20 classes,
// 20 warehouses, 500 customers, 100 suppliers, 5 accounts, 200,000 purchases,
// 300,000 sales and 50,000 transfers over three years from 2007-01-01.
constexpr int products = 1000;
constexpr int warehouses = 20;
constexpr int customers = 500;
constexpr int suppliers = 100;
constexpr int days = 3 * 365;
inline const QDate firstDay{2007, 1, 1};

// A program's arguments: "--pg URL" anywhere among them puts its account
// sets on that PostgreSQL server (postgresql://USER@HOST:PORT/DBNAME), each
// in a schema of its own; the other arguments keep their places.
class BenchArgs {
public:
    BenchArgs(int argc, char** argv);
    bool onServer() const { return !m_server.isEmpty(); }
    // The n-th argument that is not part of --pg URL, or fallback.
    QString value(int n, const QString& fallback = QString()) const;
    // Where an account set lives: name.lbk in folder, or on the server the
    // address of schema (lower-case letters, digits and _); one schema per
    // size of set. The defaults name the benchmark set of 550,000 records.
    QString accountSet(const QString& folder, const QString& name = QStringLiteral("bench"),
                       const QString& schema = QStringLiteral("bench_550k")) const;
    // "--pg URL" again for a child run, or nothing.
    QStringList serverArgs() const;

private:
    QString m_server;
    QStringList m_values;
};

// Fills an account set that has its schema with the records above (one
// transaction, a fixed random seed: every run builds the same set).
void buildAccountSet(const Database& db);

// Inserts rows rows into table, values(i) giving row i's columns in order:
// many rows per statement, in the caller's transaction.
void insertRows(const Database& db, const QString& table, const QStringList& columns, int rows,
                const std::function<QVariantList(int)>& values);

// Opens the account set at path (a file or a server schema's address). A file
// that exists, or a schema where isBuilt finds the records, is reused as it
// is; otherwise the set is created with the schema, filled by build in one
// transaction, and how long that took is printed.
std::unique_ptr<Database> openOrBuild(const QString& path,
                                      const std::function<bool(const Database&)>& isBuilt,
                                      const std::function<void(const Database&)>& build);

// The benchmark account set at path, built with buildAccountSet when missing
// (sales other benchmarks saved into it count as built).
std::unique_ptr<Database> openBenchAccountSet(const QString& path);

// A fresh copy of the set at from, at to (a file, or a schema on the same
// server), replacing what was there; to is opened and returned.
std::unique_ptr<Database> copyAccountSet(const QString& from, const QString& to);

// With a set on a server of this machine: the processor time of the server
// process serving db's connection counts in cpuMs() from now on, so that a
// figure on a server counts the work at both ends. Sets opened here do it.
void countServerProcess(const Database& db);
void stopCountingServer();
// That server process's processor time in ms; 0 without one.
double serverCpuMs();

inline double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3 + serverCpuMs();
}

// The best of some runs, wall clock and processor time (with a server's
// share, see countServerProcess): on a busy machine the wall clock also
// counts the time others had the processor.
template <typename F> void time(const char* what, int runs, F&& f) {
    double wall = 1e9, cpu = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double c = cpuMs();
        timer.start();
        f();
        wall = std::min(wall, timer.nsecsElapsed() / 1e6);
        cpu = std::min(cpu, cpuMs() - c);
    }
    std::printf("%-40s %7.0f ms wall %7.0f ms cpu (best of %d)\n", what, wall, cpu, runs);
}

} // namespace tl::bench
