#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QWidget;

namespace tl {

class PrintDocument;
class Progress;

// "打印…", "打印预览…" and "导出PDF…" of a pop-up menu, for the document a
// source makes when one of them is chosen. The PDF's name is suggested from
// the document's title; where it was written goes to the status line.
class PrintActions : public QObject {
    Q_OBJECT
public:
    // Makes the document, or returns null (after saying why, if it has to).
    using Source = std::function<std::unique_ptr<PrintDocument>()>;

    // Where the work shows its progress, asked for when it starts.
    using ProgressOf = std::function<Progress&()>;

    // The actions are added to menu; their object names end in suffix
    // ("m_Print" + suffix, "m_Preview" + suffix, "m_Pdf" + suffix).
    PrintActions(QMenu* menu, const QString& suffix, ProgressOf progress, Source source);

    QList<QAction*> actions() const { return m_actions; }
    // Enables the three, or disables them with the reason as their tool tip.
    void setAllowed(bool allowed, const QString& reason = QString());

    void print();
    void preview();
    void exportPdf();

private:
    QWidget* m_parent;
    ProgressOf m_progress;
    Source m_source;
    QList<QAction*> m_actions;
};

// The suggested file name of a document titled title: the title, without
// the characters no file name may hold, and ".pdf".
QString pdfNameFor(const QString& title);

} // namespace tl
