#pragma once
// The benchmark account set and timing helpers shared by the programs under bench/.

#include "core/data/Database.h"

#include <QDate>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
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

// Fills an account set that has its schema with the records above (one
// transaction, a fixed random seed: every run builds the same set).
void buildAccountSet(const Database& db);

// Opens the account set file at path; when there is none yet, creates it with
// the schema and the benchmark records and prints how long building took.
// Passing the same path again reuses a set built before.
std::unique_ptr<Database> openBenchAccountSet(const QString& path);

inline double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// The best of some runs, wall clock and processor time: on a busy machine the
// wall clock also counts the time others had the processor.
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
