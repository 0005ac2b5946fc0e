#include "support/ScriptedDialogs.h"

namespace tl::test {

ScriptedDialogs::ScriptedDialogs() {
    Dialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    Dialogs::install(nullptr);
}

void ScriptedDialogs::info(const QString& text) {
    messages << text;
}

bool ScriptedDialogs::question(const QString& text) {
    questions << text;
    return m_answers.isEmpty() ? false : m_answers.dequeue();
}

QString ScriptedDialogs::openFileName(const QString&, const QString& filter) {
    fileFilters << filter;
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QString ScriptedDialogs::saveFileName(const QString&, const QString& filter,
                                      QString* selectedFilter) {
    fileFilters << filter;
    const QString chosen =
        m_filters.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0) : m_filters.dequeue();
    if (selectedFilter)
        *selectedFilter = chosen;
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

} // namespace tl::test
