#pragma once

#include "gui/widgets/Dialogs.h"

#include <QPageLayout>
#include <QQueue>
#include <QStringList>

namespace tl::test {

// Records every message and answers questions and file dialogs from queues,
// so no test ever blocks on a modal box. Installs itself while it lives.
class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void info(const QString& text) override;
    // Recorded among the messages; its detail goes to details.
    void error(const QString& text, const QString& detail) override;
    bool question(const QString& text) override;
    // Answers from nextPassword(); cancels when none is queued.
    bool askPassword(const QString& text, QString& password) override;
    QString openFileName(const QString& caption, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& filter,
                         QString* selectedFilter = nullptr,
                         const QString& suggestedName = QString()) override;
    // Prints into the next PDF file queued by printTo(), or cancels.
    bool choosePrinter(QPrinter& printer) override;
    // Renders the preview and records its page count.
    void showPreview(QPrintPreviewDialog& preview) override;

    // Answers for the next questions (default when the queue is empty: No).
    void answer(bool yes) { m_answers.enqueue(yes); }
    void nextFileName(const QString& name) { m_files.enqueue(name); }
    void nextPassword(const QString& password) { m_passwords.enqueue(password); }
    QStringList passwordPrompts; // the text of every password box in order
    // The type a save dialog reports as chosen (default: the first of its filter).
    void nextFilter(const QString& filter) { m_filters.enqueue(filter); }
    QStringList fileFilters;    // the filter of every file dialog in order
    QStringList suggestedNames; // the name every save dialog suggested
    // The operator may also pick paper and orientation (no size: as offered).
    void printTo(const QString& pdf, const QPageLayout& layout = {}) {
        m_printers.enqueue({pdf, layout});
    }
    QList<int> previewPages; // the pages of every preview shown

    QStringList messages;  // info texts in order
    QStringList questions; // question texts in order
    QStringList details;   // the detail of every error() in order
    QString lastMessage() const { return messages.isEmpty() ? QString() : messages.last(); }
    void clear() {
        messages.clear();
        questions.clear();
    }

private:
    QQueue<bool> m_answers;
    QQueue<QString> m_files;
    QQueue<QString> m_passwords;
    QQueue<QString> m_filters;
    QQueue<std::pair<QString, QPageLayout>> m_printers;
};

} // namespace tl::test
