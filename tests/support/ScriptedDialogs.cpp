#include "support/ScriptedDialogs.h"

#include "core/accounts/Passwords.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

namespace tl::test {

ScriptedDialogs::ScriptedDialogs() {
    // Tests log in and save operators hundreds of times: cheap hashes.
    Passwords::useMinimumCostForTests();
    Dialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    Dialogs::install(nullptr);
}

void ScriptedDialogs::info(const QString& text) {
    messages << text;
}

void ScriptedDialogs::error(const QString& text, const QString& detail) {
    messages << text;
    details << detail;
}

bool ScriptedDialogs::question(const QString& text) {
    questions << text;
    return m_answers.isEmpty() ? false : m_answers.dequeue();
}

bool ScriptedDialogs::askPassword(const QString& text, QString& password) {
    passwordPrompts << text;
    if (m_passwords.isEmpty())
        return false;
    password = m_passwords.dequeue();
    return true;
}

QString ScriptedDialogs::openFileName(const QString&, const QString& filter) {
    fileFilters << filter;
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QString ScriptedDialogs::saveFileName(const QString&, const QString& filter,
                                      QString* selectedFilter, const QString& suggestedName) {
    fileFilters << filter;
    suggestedNames << suggestedName;
    const QString chosen =
        m_filters.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0) : m_filters.dequeue();
    // As Qt's dialog reports the chosen type: its blanks collapsed.
    if (selectedFilter)
        *selectedFilter = chosen.simplified();
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

bool ScriptedDialogs::choosePrinter(QPrinter& printer) {
    if (m_printers.isEmpty())
        return false;
    const auto [pdf, layout] = m_printers.dequeue();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    if (layout.isValid())
        printer.setPageLayout(layout);
    return true;
}

void ScriptedDialogs::showPreview(QPrintPreviewDialog& preview) {
    auto* pages = preview.findChild<QPrintPreviewWidget*>();
    pages->updatePreview();
    previewPages << pages->pageCount();
}

} // namespace tl::test
