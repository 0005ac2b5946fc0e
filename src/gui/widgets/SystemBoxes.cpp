#include "widgets/SystemBoxes.h"

#include "data/Dialogs.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QSpacerItem>
#include <QTimer>
#include <QTreeView>

namespace tl {

namespace {

// Room the window manager's title bar takes besides the title: icon and buttons.
constexpr int kTitleBarExtra = 160;

void fitColumns(QFileDialog& dialog) {
    for (QTreeView* tree : dialog.findChildren<QTreeView*>()) {
        for (int c = 0; c < tree->header()->count(); ++c)
            tree->resizeColumnToContents(c);
    }
}

} // namespace

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) {
    auto box = std::make_unique<QMessageBox>(icon, programTitle(), text, buttons, parent);
    box->setDefaultButton(defaultButton);
    // QMessageBox sizes itself to its text; a spacer across its grid keeps it
    // at least as wide as the title needs.
    const int titleWidth = box->fontMetrics().horizontalAdvance(programTitle()) + kTitleBarExtra;
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

QMessageBox::StandardButton showMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) {
    const std::unique_ptr<QMessageBox> box =
        makeMessageBox(parent, icon, text, buttons, defaultButton);
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

QString runFileDialog(QFileDialog& dialog) {
    for (QFileSystemModel* model : dialog.findChildren<QFileSystemModel*>()) {
        QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog, [&dialog] {
            QTimer::singleShot(0, &dialog, [&dialog] { fitColumns(dialog); });
        });
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace tl
