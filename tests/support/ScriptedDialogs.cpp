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

QString ScriptedDialogs::openFileName(const QString&, const QString&) {
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QString ScriptedDialogs::saveFileName(const QString&, const QString&) {
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

} // namespace tl::test
