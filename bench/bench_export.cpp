// Exports the sales list of the benchmark account set, cut to a number of rows
// (100,000 unless given), to an .xlsx workbook and to a CSV file and prints the
// times and how much the peak memory grew while writing: the workbook goes
// through libxlsxwriter's constant-memory mode, so only the grid itself should
// count. Targets: .xlsx within 4 s, CSV within 1 s.
// Usage: bench_export [rows] [account set file to write or reuse] [--pg URL]
#include "core/grid/Grid.h"
#include "core/importexport/GridExport.h"
#include "core/lists/RecordGrid.h"
#include "core/support/Progress.h"
#include "support/BenchData.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

using namespace tl;

namespace {

long maxRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bench::BenchArgs args(argc, argv);
    const int rows = args.value(0, "100000").toInt();
    QTemporaryDir dir;
    const QString setPath =
        args.onServer() ? args.accountSet({}) : args.value(1, dir.filePath("bench.lbk"));
    auto db = bench::openBenchAccountSet(setPath);
    if (!db)
        return 1;

    Grid grid;
    grid.setWidthTwips(1200 * 15);
    loadSaleGrid(grid, *db);
    grid.setRows(std::min(grid.rows(), 2 + rows));
    const long gridRss = maxRssMb();
    std::printf("sales grid: %d rows x %d columns, max RSS %ld MB\n", grid.rows() - 2, grid.cols(),
                gridRss);

    const QString xlsx = dir.filePath("sales.xlsx"), csv = dir.filePath("sales.csv");
    bench::time("gridToExcel (.xlsx, constant memory)", 3, [&] {
        if (writeGridFile(grid, xlsx, QStringLiteral("销 售"), Progress::silent()) !=
            ExportStatus::Written)
            std::printf("xlsx export failed\n");
    });
    const long xlsxRss = maxRssMb();
    std::printf("  %lld KB written, max RSS %ld MB (+%ld MB over the grid)\n",
                QFileInfo(xlsx).size() / 1024, xlsxRss, xlsxRss - gridRss);

    bench::time("gridToCsv (GB18030)", 3, [&] {
        if (writeGridFile(grid, csv, QString(), Progress::silent()) != ExportStatus::Written)
            std::printf("csv export failed\n");
    });
    const long csvRss = maxRssMb();
    std::printf("  %lld KB written, max RSS %ld MB (+%ld MB)\n", QFileInfo(csv).size() / 1024,
                csvRss, csvRss - xlsxRss);
    return 0;
}
