#include "printing/PdfFile.h"

#include "data/OpenDatabases.h"
#include "data/Progress.h"
#include "importexport/ReplacingFile.h"

#include <QFileInfo>
#include <QPdfWriter>

namespace tl {

bool isPdfName(const QString& fileName) {
    return QFileInfo(fileName).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

Outcome writePdf(PrintDocument& document, const QString& fileName, const PageSetup& setup,
                 Progress& progress) {
    const QString cannotReplace = QStringLiteral("该文件无法覆盖，请确认该文件没被其他软件打开！");
    if (OpenDatabases::holds(fileName))
        return Outcome::refused(OpenDatabases::refusal());
    ReplacingFile file(fileName);
    switch (file.open()) {
    case ReplacingFile::Result::Done:
        break;
    case ReplacingFile::Result::CannotReplace:
        return Outcome::refused(cannotReplace);
    case ReplacingFile::Result::WriteFailed:
        return Outcome::failed(QStringLiteral("文件保存出错！"), file.device().errorString());
    }
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
                                    : Outcome::failed(QStringLiteral("文件保存出错！"));
    switch (file.commit()) {
    case ReplacingFile::Result::Done:
        return Outcome::ok();
    case ReplacingFile::Result::CannotReplace:
        return Outcome::refused(cannotReplace);
    case ReplacingFile::Result::WriteFailed:
        break;
    }
    return Outcome::failed(QStringLiteral("文件保存出错！"), file.device().errorString());
}

} // namespace tl
