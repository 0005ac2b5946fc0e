#include "gui/widgets/Printing.h"

#include "core/data/OpenDatabases.h"
#include "core/printing/PdfFile.h"
#include "core/support/Progress.h"
#include "gui/widgets/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QSettings>

namespace tl {
namespace {

const QString kPaperWidth = QStringLiteral("print/paperWidth"); // points
const QString kPaperHeight = QStringLiteral("print/paperHeight");
const QString kOrientation = QStringLiteral("print/orientation"); // absent: the document's

// Sets the printer up as the next print starts and tells which orientation
// the document asked for, so that keep() can tell a choice from a default.
QPageLayout::Orientation setUp(QPrinter& printer, const PrintDocument& document) {
    const PageSetup setup = savedPageSetup();
    PageSetup asked = setup;
    asked.orientation.reset();
    printer.setDocName(document.title());
    printer.setPageLayout(setup.layoutFor(document));
    return asked.layoutFor(document).orientation();
}

// Remembers the paper and, when the operator picked one the document did
// not ask for, the orientation.
void keep(const QPrinter& printer, QPageLayout::Orientation asked) {
    const QPageLayout layout = printer.pageLayout();
    QSettings settings;
    const QSize points = layout.pageSize().sizePoints();
    settings.setValue(kPaperWidth, points.width());
    settings.setValue(kPaperHeight, points.height());
    if (layout.orientation() == asked)
        settings.remove(kOrientation);
    else
        settings.setValue(kOrientation, layout.orientation() == QPageLayout::Landscape
                                            ? QStringLiteral("landscape")
                                            : QStringLiteral("portrait"));
}

} // namespace

PageSetup savedPageSetup() {
    PageSetup setup;
    const QSettings settings;
    const QSize points(settings.value(kPaperWidth).toInt(), settings.value(kPaperHeight).toInt());
    if (points.width() > 0 && points.height() > 0)
        setup.paper = QPageSize(points, QString(), QPageSize::FuzzyMatch);
    const QString orientation = settings.value(kOrientation).toString();
    if (orientation == QStringLiteral("landscape"))
        setup.orientation = QPageLayout::Landscape;
    else if (orientation == QStringLiteral("portrait"))
        setup.orientation = QPageLayout::Portrait;
    return setup;
}

bool printDocument(PrintDocument& document, Progress& progress) {
    QPrinter printer(QPrinter::HighResolution);
    const QPageLayout::Orientation asked = setUp(printer, document);
    if (!dialogs().choosePrinter(printer))
        return false;
    keep(printer, asked);
    const bool range = printer.printRange() == QPrinter::PageRange;
    if (paintDocument(document, printer, progress, range ? printer.fromPage() : 0,
                      range ? printer.toPage() : 0) > 0)
        return true;
    if (!progress.cancelled())
        dialogs().info(QStringLiteral("打印没有完成，请检查打印机。"));
    return false;
}

void previewDocument(QWidget* parent, PrintDocument& document, Progress& progress) {
    QPrinter printer(QPrinter::HighResolution);
    const QPageLayout::Orientation asked = setUp(printer, document);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QStringLiteral("打印预览 - ") + document.title());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        preview.resize(screen->availableGeometry().size() * 0.8);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* target) {
                         const bool range = target->printRange() == QPrinter::PageRange;
                         paintDocument(document, *target, progress, range ? target->fromPage() : 0,
                                       range ? target->toPage() : 0);
                     });
    dialogs().showPreview(preview);
    keep(printer, asked);
}

QString exportPdf(PrintDocument& document, const QString& suggestedName, Progress& progress) {
    QString name = dialogs().saveFileName(
        QStringLiteral("导出PDF"), QStringLiteral("PDF 文件 (*.pdf)"), nullptr, suggestedName);
    if (name.trimmed().isEmpty())
        return {};
    if (!isPdfName(name))
        name += QStringLiteral(".pdf");
    if (!mayWriteChosenFile(name))
        return {};
    const Outcome written = writePdf(document, name, savedPageSetup(), progress);
    if (!written) {
        showOutcome(written);
        return {};
    }
    return QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath());
}

} // namespace tl
