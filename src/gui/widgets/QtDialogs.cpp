#include "widgets/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace tl {

void QtDialogs::info(const QString& text) {
    QMessageBox::information(QApplication::activeWindow(), programTitle(), text);
}

bool QtDialogs::question(const QString& text) {
    return QMessageBox::question(QApplication::activeWindow(), programTitle(), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString QtDialogs::openFileName(const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, QString(), filter);
}

QString QtDialogs::saveFileName(const QString& caption, const QString& filter,
                                QString* selectedFilter) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, QString(), filter,
                                        selectedFilter, QFileDialog::DontConfirmOverwrite);
}

} // namespace tl
