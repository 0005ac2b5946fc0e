#pragma once

#include <QMessageBox>
#include <QString>
#include <memory>

class QFileDialog;

namespace tl {

// The platform boxes as the program shows them: the program title on every
// message box, and a box wide enough for that title to show whole in the
// window manager's title bar.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton);
QMessageBox::StandardButton showMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton);

// Runs a file dialog whose list columns are fitted to their texts whenever
// a folder has been read; the chosen file, empty when cancelled.
// A file dialog that tells file types by their names alone and never opens
// a listed file (closing a descriptor of the open account set would drop
// SQLite's locks on it), starting in the user's documents folder.
std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& caption,
                                            const QString& filter);
QString runFileDialog(QFileDialog& dialog);

} // namespace tl
