#include "widgets/QtDialogs.h"

#include "widgets/SystemBoxes.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace tl {

void QtDialogs::info(const QString& text) {
    showMessageBox(QApplication::activeWindow(), QMessageBox::Information, text, QMessageBox::Ok,
                   QMessageBox::Ok);
}

bool QtDialogs::question(const QString& text) {
    return showMessageBox(QApplication::activeWindow(), QMessageBox::Question, text,
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

QString QtDialogs::openFileName(const QString& caption, const QString& filter) {
    QFileDialog dialog(QApplication::activeWindow(), caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(dialog);
}

QString QtDialogs::saveFileName(const QString& caption, const QString& filter,
                                QString* selectedFilter) {
    QFileDialog dialog(QApplication::activeWindow(), caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString file = runFileDialog(dialog);
    if (!file.isEmpty() && selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    return file;
}

} // namespace tl
