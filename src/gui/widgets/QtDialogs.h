#pragma once

#include "gui/widgets/Dialogs.h"

#include <memory>

class QMessageBox;
class QWidget;

namespace tl {

// The real boxes: QMessageBox and QFileDialog with the program title, parented
// to the active window.
class QtDialogs : public Dialogs {
public:
    void info(const QString& text) override;
    void error(const QString& text, const QString& detail) override;
    // The box error() shows (the screenshot tool shows it unblocked).
    static std::unique_ptr<QMessageBox> errorBox(const QString& text, const QString& detail,
                                                 QWidget* parent);
    bool question(const QString& text) override;
    bool confirm(const QString& text, const QString& yes, const QString& no) override;
    // The box confirm() shows (the screenshot tool shows it unblocked).
    static std::unique_ptr<QMessageBox> confirmBox(const QString& text, const QString& yes,
                                                   const QString& no, QWidget* parent);
    bool askPassword(const QString& text, QString& password) override;
    QString openFileName(const QString& caption, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& filter,
                         QString* selectedFilter = nullptr,
                         const QString& suggestedName = QString()) override;
    bool choosePrinter(QPrinter& printer) override;
    void showPreview(QPrintPreviewDialog& preview) override;
};

} // namespace tl
