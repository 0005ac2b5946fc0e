#include "gui/widgets/PrintActions.h"

#include "core/printing/PrintDocument.h"
#include "gui/widgets/Printing.h"
#include "gui/widgets/StatusLine.h"

#include <QDir>
#include <QMenu>
#include <QRegularExpression>

namespace tl {

PrintActions::PrintActions(QMenu* menu, const QString& suffix, ProgressOf progress, Source source)
    : QObject(menu), m_parent(menu->parentWidget()), m_progress(std::move(progress)),
      m_source(std::move(source)) {
    const struct {
        const char* text;
        const char* name;
        void (PrintActions::*run)();
    } commands[] = {{"打印…", "m_Print", &PrintActions::print},
                    {"打印预览…", "m_Preview", &PrintActions::preview},
                    {"导出PDF…", "m_Pdf", &PrintActions::exportPdf}};
    for (const auto& c : commands) {
        QAction* a = menu->addAction(QString::fromUtf8(c.text), this, c.run);
        a->setObjectName(QLatin1String(c.name) + suffix);
        m_actions.append(a);
    }
}

void PrintActions::setAllowed(bool allowed, const QString& reason) {
    for (QAction* a : m_actions) {
        a->setEnabled(allowed);
        a->setToolTip(allowed ? QString() : reason);
    }
}

void PrintActions::print() {
    if (const auto document = m_source())
        if (printDocument(*document, m_progress()))
            showStatusText(m_parent, QStringLiteral("“%1”已打印。").arg(document->title()));
}

void PrintActions::preview() {
    if (const auto document = m_source())
        previewDocument(m_parent, *document, m_progress());
}

void PrintActions::exportPdf() {
    const auto document = m_source();
    if (!document)
        return;
    const QString written = tl::exportPdf(*document, pdfNameFor(document->title()), m_progress());
    if (!written.isEmpty())
        showStatusText(m_parent,
                       QStringLiteral("PDF已导出到：") + QDir::toNativeSeparators(written));
}

QString pdfNameFor(const QString& title) {
    static const QRegularExpression unfit(QStringLiteral("[\\\\/:*?\"<>|]"));
    QString name = title;
    name.replace(unfit, QStringLiteral("_"));
    return (name.trimmed().isEmpty() ? QStringLiteral("表格") : name) + QStringLiteral(".pdf");
}

} // namespace tl
