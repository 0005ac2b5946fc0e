#pragma once

#include "core/support/Outcome.h"

#include <QString>
#include <QStringList>

class QPrintPreviewDialog;
class QPrinter;

namespace tl {

// Every message, question and file dialog of the program goes through this
// interface. The windows install the Qt implementation; tests install a
// scripted one so that nothing ever blocks on a modal box.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // An information box with an OK button and the program title.
    virtual void info(const QString& text) = 0;
    // A failure: the text for the operator, with the technical detail kept
    // behind a "详细信息" button. Without a detail it is an information box.
    virtual void error(const QString& text, const QString& detail) {
        Q_UNUSED(detail);
        info(text);
    }
    // A Yes/No question; true for Yes.
    virtual bool question(const QString& text) = 0;
    // A question whose buttons say what they do ("导入" / "取消"); the second
    // is the default and Escape's. True for the first.
    virtual bool confirm(const QString& text, const QString& yes, const QString& no) {
        Q_UNUSED(yes);
        Q_UNUSED(no);
        return question(text);
    }
    // A masked password box under text; false when the operator cancelled.
    virtual bool askPassword(const QString& text, QString& password) {
        Q_UNUSED(text);
        Q_UNUSED(password);
        return false;
    }
    // File dialogs; an empty result means the operator cancelled.
    virtual QString openFileName(const QString& caption, const QString& filter) = 0;
    // The filter is a list of types joined by ";;"; when selectedFilter is
    // given it receives the type the operator chose. A suggested name is
    // filled in, in the documents folder.
    virtual QString saveFileName(const QString& caption, const QString& filter,
                                 QString* selectedFilter = nullptr,
                                 const QString& suggestedName = QString()) = 0;
    // The print dialog for printer (which printer, paper, orientation,
    // pages); false when the operator cancelled.
    virtual bool choosePrinter(QPrinter& printer) {
        Q_UNUSED(printer);
        return false;
    }
    // The preview window, until the operator closes it.
    virtual void showPreview(QPrintPreviewDialog& preview) { Q_UNUSED(preview); }

    // The process-wide instance. Until one is installed a silent one answers
    // No, cancels file dialogs and keeps the last messages for inspection.
    static Dialogs& instance();
    static void install(Dialogs* dialogs);
};

inline Dialogs& dialogs() {
    return Dialogs::instance();
}

// Shows what a core action said: nothing for a silent outcome, an
// information box for a message, an error box when there is a detail.
inline void showOutcome(const Outcome& outcome) {
    if (outcome.message.isEmpty())
        return;
    if (outcome.detail.isEmpty())
        dialogs().info(outcome.message);
    else
        dialogs().error(outcome.message, outcome.detail);
}

// Whether a save file the operator chose may be written: never an open
// account set or one of its companions (says why), and a file that exists
// only once the operator agrees to replace it (asks replaceQuestion).
bool mayWriteChosenFile(const QString& path, const QString& replaceQuestion =
                                                 QStringLiteral("该文件已存在，是否覆盖？"));

// The program's title, shown in the main window caption and every message box.
inline const QString& programTitle() {
    static const QString title = QStringLiteral("TradeLedger 商贸进销存");
    return title;
}

} // namespace tl
