#include "gui/login/NewDbWindow.h"

#include "core/accounts/NewAccountSet.h"
#include "gui/widgets/DialogButtons.h"
#include "gui/widgets/Dialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tl {

NewDbWindow::NewDbWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NewDB"));
    setWindowTitle(QStringLiteral("建立新套帐"));
    setModal(true);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("T0"));
    m_name->setToolTip(QStringLiteral("套账名称：多个套账时，用于分辨各个套账的用途。"));
    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("T1"));
    m_file->setToolTip(QStringLiteral("用于保存套账数据的文件名及其目录路径。"));
    m_file->setMinimumWidth(300);
    auto* browse = new QPushButton(QStringLiteral("浏览"), this);
    browse->setObjectName(QStringLiteral("CM2"));
    browse->setToolTip(QStringLiteral("选择要保存套账的目录，并输入保存数据的文件名。"));
    browse->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->setVerticalSpacing(10);
    fields->addWidget(new QLabel(QStringLiteral("套帐名称："), this), 0, 0, Qt::AlignRight);
    fields->addWidget(m_name, 0, 1, 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("保存套帐的文件："), this), 1, 0, Qt::AlignRight);
    fields->addWidget(m_file, 1, 1);
    fields->addWidget(browse, 1, 2);
    fields->setColumnStretch(1, 1);

    const auto [add, cancel, buttons] = dialogButtons(this, QStringLiteral("添   加"),
                                                      QStringLiteral("CM0"), QStringLiteral("CM1"));

    layOutDialog(this, nullptr, fields, buttons, 16);

    connect(browse, &QPushButton::clicked, this, &NewDbWindow::browse);
    connect(add, &QPushButton::clicked, this, &NewDbWindow::add);
    setTabOrder(m_name, m_file);
    setTabOrder(m_file, browse);
    setTabOrder(browse, add);
    setTabOrder(add, cancel);
}

void NewDbWindow::browse() {
    const QString file =
        dialogs().saveFileName(QStringLiteral("保存套帐的文件"), QStringLiteral("所有文件 (*.*)"));
    if (!file.isEmpty()) // a cancelled dialog keeps what was typed
        m_file->setText(file);
}

void NewDbWindow::add() {
    const NewAccountSet creator;
    auto result = creator.create(m_name->text(), m_file->text());
    if (result.needsConfirmation) {
        if (!dialogs().question(NewAccountSet::useExistingQuestion()))
            return;
        result = creator.create(m_name->text(), m_file->text(), NewAccountSet::Existing::Use);
    }
    if (!result.notice.isEmpty())
        dialogs().info(result.notice);
    showOutcome(result.outcome);
    if (result.created)
        accept();
}

} // namespace tl
