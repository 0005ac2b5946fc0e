// Times the printed form of grids on the benchmark account set (550,000
// records): the sales list, cut to 25,000, 50,000 and 100,000 rows, written
// to a PDF (target 10 s for 100,000 rows), with how much the peak memory grew
// over the grid while writing (it should not grow with the rows); then the
// stock report's preview: every page laid out and painted as the preview
// window does before it opens (target 1 s). Each size runs in a process of its
// own, so that one size's peak is not another's.
// Usage: bench_print [folder for the account set] [rows] [--pg URL]
#include "core/grid/Grid.h"
#include "core/lists/RecordGrid.h"
#include "core/printing/GridDocument.h"
#include "core/printing/PdfFile.h"
#include "core/statistics/StockReport.h"
#include "core/support/Progress.h"
#include "support/BenchData.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace tl;
using namespace tl::bench;

namespace {

// The peak resident memory since the last reset, in MB (Linux: VmHWM).
long peakMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    return -1;
}

void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

PrintHeading heading(const QString& title) {
    return {title, {}, QStringLiteral("bench"), QStringLiteral("admin"), QDateTime()};
}

int salesToPdf(const Database& db, int rows, const QString& folder) {
    Grid grid;
    grid.setWidthTwips(1200 * 15);
    loadSaleGrid(grid, db);
    grid.setRows(std::min(grid.rows(), 2 + rows));
    resetPeak();
    const long gridMb = peakMb();
    GridDocument document(grid, heading(QStringLiteral("销 售")));
    const QString pdf = folder + QStringLiteral("/sales.pdf");
    QElapsedTimer t;
    t.start();
    const double cpu = cpuMs();
    if (!writePdf(document, pdf, PageSetup(), Progress::silent()).isOk())
        return 1;
    std::printf("%6d rows to PDF: %5.2f s wall %5.2f s cpu, %d pages, %lld MB; "
                "peak %ld MB, grid %ld MB, +%ld MB while writing\n",
                grid.rows() - 2, t.nsecsElapsed() / 1e9, (cpuMs() - cpu) / 1e3,
                document.pageCount(), QFileInfo(pdf).size() >> 20, peakMb(), gridMb,
                peakMb() - gridMb);
    return 0;
}

int stockPreview(const Database& db) {
    Grid grid;
    stockReport(db, grid);
    GridDocument document(grid, heading(QStringLiteral("盘点")));
    // What the preview window does before it shows: lay out and paint every
    // page into its page pictures, then draw the first on screen.
    time("stock report: preview of every page (target 1000)", 3, [&] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(PageSetup().layoutFor(document));
        QPrintPreviewWidget preview(&printer);
        QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, [&](QPrinter* target) {
            paintDocument(document, *target, Progress::silent());
        });
        preview.resize(1100, 800);
        preview.show();
        preview.updatePreview();
        QCoreApplication::processEvents();
        if (preview.pageCount() < 1)
            std::printf("no pages\n");
    });
    std::printf("  %d x %d cells on %d pages\n", grid.rows(), grid.cols(), document.pageCount());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const BenchArgs args(argc, argv);
    QTemporaryDir dir;
    const QString folder = args.value(0, dir.path());
    auto db = openBenchAccountSet(args.accountSet(folder));
    if (!db)
        return 1;
    if (!args.value(1).isEmpty())
        return salesToPdf(*db, args.value(1).toInt(), dir.path());
    for (int rows : {25000, 50000, 100000}) {
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(QCoreApplication::applicationFilePath(),
                  QStringList{folder, QString::number(rows)} + args.serverArgs());
        run.waitForFinished(-1);
    }
    return stockPreview(*db);
}
