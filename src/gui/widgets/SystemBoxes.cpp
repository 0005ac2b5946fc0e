#include "gui/widgets/SystemBoxes.h"

#include "core/accounts/AppPaths.h"
#include "gui/widgets/Dialogs.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QMimeDatabase>
#include <QSpacerItem>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

namespace tl {

namespace {

// Room the window manager's title bar takes besides the title: icon and buttons.
constexpr int kTitleBarExtra = 160;

void fitColumns(QFileDialog& dialog) {
    for (QTreeView* tree : dialog.findChildren<QTreeView*>()) {
        // An empty folder would shrink every column to its title.
        if (!tree->model() || tree->model()->rowCount(tree->rootIndex()) == 0)
            continue;
        for (int c = 0; c < tree->header()->count(); ++c)
            tree->resizeColumnToContents(c);
    }
}

// Icons and type names from the file name: Qt's own provider reads the start
// of every listed file to guess its type.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override {
        if (info.isDir())
            return QStringLiteral("文件夹");
        const QList<QMimeType> byName = m_mime.mimeTypesForFileName(info.fileName());
        if (!byName.isEmpty() && !byName.first().comment().isEmpty())
            return byName.first().comment();
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? QStringLiteral("文件")
                                : suffix.toUpper() + QStringLiteral(" 文件");
    }

private:
    QMimeDatabase m_mime;
};

} // namespace

std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& caption,
                                            const QString& filter) {
    static NameOnlyIconProvider icons;
    // The dialog lists its first folder as it is made, before any provider
    // of ours could be set: that first folder is an empty one. Qt's own
    // widgets are used, as a desktop's native dialog may read files too.
    const QTemporaryDir empty;
    auto dialog = std::make_unique<QFileDialog>(parent, caption, empty.path(), filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setIconProvider(&icons);
    dialog->setDirectory(AppPaths::documentsFolder());
    dialog->setHistory({});
    dialog->resize(820, 520); // room for whole names, sizes and dates
    if (auto* splitter = dialog->findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({170, 650}); // the places list shows whole folder names
    return dialog;
}

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
