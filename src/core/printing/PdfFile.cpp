#include "core/printing/PdfFile.h"

#include "core/data/OpenDatabases.h"
#include "core/importexport/GridExport.h"
#include "core/importexport/ReplacingFile.h"
#include "core/support/Progress.h"

#include <QFileInfo>
#include <QPdfWriter>

namespace tl {

namespace {

// What went wrong with the file, in the export's words.
Outcome fileFailure(ReplacingFile& file, ReplacingFile::Result result) {
    if (result == ReplacingFile::Result::CannotReplace)
        return Outcome::refused(exportStatusMessage(ExportStatus::CannotReplace));
    return Outcome::failed(exportStatusMessage(ExportStatus::WriteFailed),
                           file.device().errorString());
}

} // namespace

bool isPdfName(const QString& fileName) {
    return QFileInfo(fileName).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

Outcome writePdf(PrintDocument& document, const QString& fileName, const PageSetup& setup,
                 Progress& progress) {
    if (OpenDatabases::holds(fileName))
        return Outcome::refused(exportStatusMessage(ExportStatus::OpenDatabase));
    ReplacingFile file(fileName);
    if (const ReplacingFile::Result opened = file.open(); opened != ReplacingFile::Result::Done)
        return fileFailure(file, opened);
    int pages = 0;
    {
        QPdfWriter pdf(&file.device());
        pdf.setTitle(document.title());
        pdf.setCreator(QStringLiteral("TradeLedger"));
        // Fine enough for hairlines, coarse enough to keep coordinates small.
        pdf.setResolution(600);
        pdf.setPageLayout(setup.layoutFor(document));
        pages = paintDocument(document, pdf, progress);
    }
    if (pages == 0)
        return progress.cancelled() ? Outcome::refused(QString())
                                    : fileFailure(file, ReplacingFile::Result::WriteFailed);
    if (const ReplacingFile::Result committed = file.commit();
        committed != ReplacingFile::Result::Done)
        return fileFailure(file, committed);
    return Outcome::ok();
}

} // namespace tl
