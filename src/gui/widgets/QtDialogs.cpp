#include "gui/widgets/QtDialogs.h"

#include "gui/widgets/SystemBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChildEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTextEdit>

namespace tl {

void QtDialogs::info(const QString& text) {
    showMessageBox(QApplication::activeWindow(), QMessageBox::Information, text, QMessageBox::Ok,
                   QMessageBox::Ok);
}

std::unique_ptr<QMessageBox> QtDialogs::errorBox(const QString& text, const QString& detail,
                                                 QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, programTitle(), text,
                                             QMessageBox::Ok, parent);
    if (!detail.isEmpty()) {
        box->setDetailedText(detail);
        // Qt's own caption of the details button reads differently; ours is
        // "详细信息", and "隐藏详细信息" while the detail shows. Qt relabels the
        // button on each click, so ours follows once Qt is done.
        const QString qtShow = QMessageBox::tr("Show Details...");
        QMessageBox* owner = box.get();
        for (QPushButton* b : box->findChildren<QPushButton*>()) {
            if (b->text() != qtShow)
                continue;
            b->setText(QStringLiteral("详细信息"));
            QObject::connect(b, &QPushButton::clicked, b, [b, owner] {
                QMetaObject::invokeMethod(
                    b,
                    [b, owner] {
                        const QTextEdit* text = owner->findChild<QTextEdit*>();
                        b->setText(text && text->isVisibleTo(owner) ? QStringLiteral("隐藏详细信息")
                                                                    : QStringLiteral("详细信息"));
                    },
                    Qt::QueuedConnection);
            });
        }
    }
    return box;
}

void QtDialogs::error(const QString& text, const QString& detail) {
    errorBox(text, detail, QApplication::activeWindow())->exec();
}

bool QtDialogs::question(const QString& text) {
    return showMessageBox(QApplication::activeWindow(), QMessageBox::Question, text,
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

std::unique_ptr<QMessageBox> QtDialogs::confirmBox(const QString& text, const QString& yes,
                                                   const QString& no, QWidget* parent) {
    auto box = makeMessageBox(parent, QMessageBox::Question, text,
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    box->button(QMessageBox::Yes)->setText(yes);
    box->button(QMessageBox::No)->setText(no);
    box->setEscapeButton(QMessageBox::No);
    return box;
}

bool QtDialogs::confirm(const QString& text, const QString& yes, const QString& no) {
    return confirmBox(text, yes, no, QApplication::activeWindow())->exec() == QMessageBox::Yes;
}

bool QtDialogs::askPassword(const QString& text, QString& password) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(programTitle());
    dialog.setLabelText(text);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    password = dialog.textValue();
    return true;
}

QString QtDialogs::openFileName(const QString& caption, const QString& filter) {
    const std::unique_ptr<QFileDialog> dialog =
        makeFileDialog(QApplication::activeWindow(), caption, filter);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(*dialog);
}

QString QtDialogs::saveFileName(const QString& caption, const QString& filter,
                                QString* selectedFilter, const QString& suggestedName) {
    const std::unique_ptr<QFileDialog> dialog =
        makeFileDialog(QApplication::activeWindow(), caption, filter);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    if (!suggestedName.isEmpty())
        dialog->selectFile(suggestedName);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    const QString file = runFileDialog(*dialog);
    if (!file.isEmpty() && selectedFilter)
        *selectedFilter = dialog->selectedNameFilter();
    return file;
}

namespace {

// The print dialog's "print to file" browses with a file dialog of Qt's own,
// which reads files to tell their types and so may open an account set: its
// button asks ours instead.
void useOurFileDialog(QPrintDialog& dialog) {
    auto* browse = dialog.findChild<QAbstractButton*>(QStringLiteral("fileBrowser"));
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
    if (!browse || !name || browse->property("tlOwnDialog").toBool())
        return;
    browse->setProperty("tlOwnDialog", true);
    QObject::disconnect(browse, &QAbstractButton::clicked, nullptr, nullptr);
    QObject::connect(browse, &QAbstractButton::clicked, name, [name] {
        const QString chosen =
            dialogs().saveFileName(QStringLiteral("打印到文件"), QStringLiteral("PDF 文件 (*.pdf)"),
                                   nullptr, name->text());
        if (!chosen.isEmpty())
            name->setText(chosen);
    });
}

// The preview makes its print dialog when the operator first prints from it.
class PreviewPrintDialogs : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildPolished)
            if (auto* dialog =
                    qobject_cast<QPrintDialog*>(static_cast<QChildEvent*>(event)->child()))
                useOurFileDialog(*dialog);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

bool QtDialogs::choosePrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("打印"));
    useOurFileDialog(dialog);
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::showPreview(QPrintPreviewDialog& preview) {
    PreviewPrintDialogs watch;
    preview.installEventFilter(&watch);
    preview.exec();
    preview.removeEventFilter(&watch);
}

} // namespace tl
