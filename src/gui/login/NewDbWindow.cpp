#include "gui/login/NewDbWindow.h"

#include "core/accounts/NewAccountSet.h"
#include "gui/login/ServerPassword.h"
#include "gui/widgets/DialogButtons.h"
#include "gui/widgets/Dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

namespace tl {

NewDbWindow::NewDbWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NewDB"));
    setWindowTitle(QStringLiteral("建立新套帐"));
    setModal(true);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("T0"));
    m_name->setToolTip(QStringLiteral("套账名称：多个套账时，用于分辨各个套账的用途。"));

    // Where the data lives: one row of choices; arrow keys move between them.
    auto* whereRow = new QHBoxLayout;
    whereRow->setSpacing(16);
    m_where = new QButtonGroup(this);
    const struct {
        Where where;
        const char* name;
        const char* text;
    } choices[] = {{InFile, "whereFile", "本机文件"},
                   {NewOnServer, "whereNewOnServer", "在服务器上新建"},
                   {OnServer, "whereOnServer", "登记服务器上的套帐"}};
    for (const auto& c : choices) {
        auto* radio = new QRadioButton(QString::fromUtf8(c.text), this);
        radio->setObjectName(QString::fromLatin1(c.name));
        m_where->addButton(radio, c.where);
        whereRow->addWidget(radio);
    }
    whereRow->addStretch(1);
    m_where->button(InFile)->setChecked(true);

    // The file box and its browse button, or the server's address, in one place.
    auto* filePage = new QWidget(this);
    m_file = new QLineEdit(filePage);
    m_file->setObjectName(QStringLiteral("T1"));
    m_file->setToolTip(QStringLiteral("用于保存套账数据的文件名及其目录路径。"));
    m_file->setMinimumWidth(300);
    auto* browse = new QPushButton(QStringLiteral("浏览"), filePage);
    browse->setObjectName(QStringLiteral("CM2"));
    browse->setToolTip(QStringLiteral("选择要保存套账的目录，并输入保存数据的文件名。"));
    browse->setAutoDefault(false);
    auto* fileRow = new QHBoxLayout(filePage);
    fileRow->setContentsMargins(0, 0, 0, 0);
    fileRow->setSpacing(8);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browse);
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("address"));
    m_address->setPlaceholderText(QStringLiteral("postgresql://用户名@服务器:5432/数据库名"));
    m_address->setToolTip(QStringLiteral("数据库服务器上保存套帐的数据库。地址里不要写密码，"
                                         "需要时程序会询问。"));
    m_place = new QStackedWidget(this);
    m_place->addWidget(filePage);
    m_place->addWidget(m_address);
    m_place->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->setVerticalSpacing(10);
    fields->addWidget(new QLabel(QStringLiteral("套帐名称："), this), 0, 0, Qt::AlignRight);
    fields->addWidget(m_name, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("保存位置："), this), 1, 0, Qt::AlignRight);
    fields->addLayout(whereRow, 1, 1);
    // As wide as its longer text, so the boxes stay put when the choice changes.
    m_placeLabel = new QLabel(QStringLiteral("保存套帐的文件："), this);
    m_placeLabel->setMinimumWidth(m_placeLabel->sizeHint().width());
    m_placeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addWidget(m_placeLabel, 2, 0, Qt::AlignRight);
    fields->addWidget(m_place, 2, 1);
    fields->setColumnStretch(1, 1);

    const auto [add, cancel, buttons] = dialogButtons(this, QStringLiteral("添   加"),
                                                      QStringLiteral("CM0"), QStringLiteral("CM1"));

    layOutDialog(this, nullptr, fields, buttons, 16);

    connect(browse, &QPushButton::clicked, this, &NewDbWindow::browse);
    connect(add, &QPushButton::clicked, this, &NewDbWindow::add);
    connect(m_where, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            showWhere();
    });
    setTabOrder(m_name, m_where->button(InFile));
    setTabOrder(m_where->button(InFile), m_where->button(NewOnServer));
    setTabOrder(m_where->button(NewOnServer), m_where->button(OnServer));
    setTabOrder(m_where->button(OnServer), m_file);
    setTabOrder(m_file, browse);
    setTabOrder(browse, m_address);
    setTabOrder(m_address, add);
    setTabOrder(add, cancel);
    showWhere();
}

void NewDbWindow::showWhere() {
    const bool file = m_where->checkedId() == InFile;
    m_placeLabel->setText(file ? QStringLiteral("保存套帐的文件：")
                               : QStringLiteral("服务器地址："));
    m_place->setCurrentIndex(file ? 0 : 1);
}

void NewDbWindow::browse() {
    const QString file =
        dialogs().saveFileName(QStringLiteral("保存套帐的文件"), QStringLiteral("所有文件 (*.*)"));
    if (!file.isEmpty()) // a cancelled dialog keeps what was typed
        m_file->setText(file);
}

void NewDbWindow::add() {
    if (const auto where = Where(m_where->checkedId()); where != InFile)
        return addOnServer(where);
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

void NewDbWindow::addOnServer(Where where) {
    const NewAccountSet creator;
    const QString name = m_name->text();
    const QString address = m_address->text().trimmed();
    const auto result = withServerPassword(address, [&] {
        return where == NewOnServer ? creator.createOnServer(name, address)
                                    : creator.registerOnServer(name, address);
    });
    if (!result)
        return;
    showOutcome(result->outcome);
    if (result->created)
        accept();
}

} // namespace tl
