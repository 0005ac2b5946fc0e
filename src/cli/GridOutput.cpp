#include "cli/GridOutput.h"

#include "cli/Args.h"
#include "cli/Console.h"
#include "core/importexport/GridExport.h"
#include "core/printing/GridDocument.h"
#include "core/printing/PdfFile.h"

#include <QFile>

namespace tl::cli {

void checkGridOutputName(const QString& out) {
    const QString lower = out.toLower();
    if (!lower.endsWith(QStringLiteral(".csv")) && !lower.endsWith(QStringLiteral(".xlsx")) &&
        !lower.endsWith(QStringLiteral(".xls")) && !isPdfName(out))
        throw UsageError(
            QStringLiteral("--out 的文件名须以 .csv、.xlsx、.xls 或 .pdf 结尾：%1").arg(out));
}

bool gridOutputPaints(const QString& out) {
    return isPdfName(out);
}

QString gridOutputHelp() {
    return QStringLiteral(
        "  --out 文件     写入文件：.csv 为 CSV 文件（GB18030 编码，兼容 GBK），.xlsx 或\n"
        "                 .xls 为 Excel 工作簿，与表格右击“导出表格”写出的相同；.pdf 为\n"
        "                 打印出的样子，与“导出PDF…”相同（A4 纸，表格宽时横放）。\n"
        "                 已有的同名文件被替换。\n"
        "                 不给时，可见的单元格以 UTF-8 CSV 输出到标准输出。\n");
}

int writeGridOutput(const Grid& grid, const PrintHeading& heading, const QString& out,
                    Progress& progress) {
    if (out.isEmpty()) {
        if (visibleRows(grid).empty() || visibleColumns(grid).empty()) {
            printError(exportStatusMessage(ExportStatus::Empty));
            return Failed;
        }
        // Written as it is built: a list of 300,000 sales never sits in memory twice.
        QFile stdOut;
        if (!stdOut.open(stdout, QIODevice::WriteOnly) ||
            !writeCsv(grid, stdOut, CsvEncoding::Utf8, progress) || !stdOut.flush()) {
            progress.close();
            printError(QStringLiteral("无法写入标准输出。"));
            return Failed;
        }
        progress.close();
        return Done;
    }
    if (isPdfName(out)) {
        GridDocument document(grid, heading);
        const Outcome written = writePdf(document, out, PageSetup(), progress);
        progress.close();
        printOutcome(written);
        return written.isOk() ? Done : Failed;
    }
    const ExportStatus status = writeGridFile(grid, out, heading.title, progress);
    progress.close();
    if (status == ExportStatus::Written)
        return Done;
    // A failed write names the file: the tool is often run from scripts.
    printError(exportStatusMessage(status) + (status == ExportStatus::WriteFailed
                                                  ? QStringLiteral("（%1）").arg(out)
                                                  : QString()));
    return Failed;
}

} // namespace tl::cli
