#include "gui/login/StartWindow.h"

#include "core/accounts/Login.h"
#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "gui/login/NewDbWindow.h"
#include "gui/login/ServerPassword.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/GridView.h"

#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace tl {

namespace {
// Column widths in twips; the path column takes whatever room is left.
constexpr int kWidths[] = {600, 2000, 1400, 4800};
const char* const kCaptions[] = {"序号", "套帐名", "建帐日期", "数据库路径"};
constexpr int kPathCol = 3;
} // namespace

StartWindow::StartWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Start"));
    setWindowTitle(QStringLiteral("登录"));
    buildUi();
    listAccountSets();
    m_path.clear();
    selectRow(1); // the newest account set, or nothing when the list is empty
}

StartWindow::~StartWindow() = default;

void StartWindow::buildUi() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(18, 16, 18, 16);
    root->setSpacing(10);

    root->addWidget(new QLabel(QStringLiteral("点击单元选择相应的套帐："), this));
    m_view = new GridView(&m_grid, this);
    m_view->setObjectName(QStringLiteral("MSF0"));
    m_view->bodyView()->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setMinimumHeight(170);
    m_view->installEventFilter(this);
    root->addWidget(m_view, 1);
    connect(&m_grid, &Grid::currentChanged, this, [this] { selectRow(m_grid.rowSel()); });

    root->addLayout(buildLoginRow());
    root->addLayout(buildButtonRow());

    connect(m_buttons[0], &QPushButton::clicked, this, &StartWindow::newAccountSet);
    connect(m_buttons[1], &QPushButton::clicked, this, &StartWindow::login);
    connect(m_buttons[2], &QPushButton::clicked, this, &QWidget::close);
    connect(m_buttons[3], &QPushButton::clicked, this, &StartWindow::checkAccountSets);
    connect(m_user, &QLineEdit::returnPressed, this, [this] {
        m_password->setFocus();
        m_password->selectAll();
    });
    connect(m_password, &QLineEdit::returnPressed, this, &StartWindow::login);

    setTabOrder(m_view->bodyView(), m_user);
    setTabOrder(m_user, m_password);
    setTabOrder(m_password, m_buttons[1]);
    setTabOrder(m_buttons[1], m_buttons[2]);
    setTabOrder(m_buttons[2], m_buttons[0]);
    setTabOrder(m_buttons[0], m_buttons[3]);
    setMinimumWidth(640);
}

// The chosen account set, operator and password, with the help beside them.
QLayout* StartWindow::buildLoginRow() {
    auto* middle = new QHBoxLayout;
    middle->setSpacing(18);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(8);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("T"));
    m_name->setReadOnly(true);
    m_name->setFocusPolicy(Qt::ClickFocus);
    m_user = new QLineEdit(Schema::presetOperator, this);
    m_user->setObjectName(QStringLiteral("User"));
    m_password = new QLineEdit(Schema::presetPassword, this);
    m_password->setObjectName(QStringLiteral("PSD"));
    m_password->setEchoMode(QLineEdit::Password);
    for (QLineEdit* e : {m_name, m_user, m_password})
        e->setMinimumWidth(220);
    form->addRow(QStringLiteral("当前套帐："), m_name);
    form->addRow(QStringLiteral("用 户："), m_user);
    form->addRow(QStringLiteral("密 码："), m_password);
    middle->addLayout(form, 1);

    auto* help = new QLabel(QStringLiteral("登录系统说明：\n\n用户可根据需要建立多个套账。\n"
                                           "新建套初始用户为：  admin\n"
                                           "       初始密码为：  ") +
                                Schema::presetPassword,
                            this);
    help->setObjectName(QStringLiteral("Help"));
    help->setFrameShape(QFrame::StyledPanel);
    help->setMargin(10);
    help->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    help->setAutoFillBackground(true);
    help->setBackgroundRole(QPalette::AlternateBase);
    middle->addWidget(help);
    return middle;
}

QLayout* StartWindow::buildButtonRow() {
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    // The account-set buttons carry their captions on two lines.
    const char* const captions[] = {"新 建\n套 帐", "登   录", "退   出", "检 测\n套 帐"};
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = new QPushButton(QString::fromUtf8(captions[i]), this);
        m_buttons[i]->setObjectName(QStringLiteral("CM%1").arg(i));
        m_buttons[i]->setMinimumWidth(96);
    }
    // One height for the whole row.
    for (int i = 0; i < 4; ++i)
        m_buttons[i]->setMinimumHeight(m_buttons[0]->sizeHint().height());
    m_buttons[1]->setDefault(true);
    buttons->addWidget(m_buttons[0]);
    buttons->addWidget(m_buttons[3]);
    buttons->addStretch(1);
    buttons->addWidget(m_buttons[1]);
    buttons->addWidget(m_buttons[2]);
    return buttons;
}

void StartWindow::listAccountSets() {
    Outcome outcome;
    m_entries = Registry().list(outcome);
    showOutcome(outcome);
    m_grid.beginUpdate();
    m_grid.reset(2, 4, 1, 1);
    for (int c = 0; c < 4; ++c) {
        m_grid.setColWidth(c, kWidths[c]);
        m_grid.setText(0, c, QString::fromUtf8(kCaptions[c]));
    }
    m_grid.setColAlignment(0, Qt::AlignCenter);
    if (!m_entries.isEmpty())
        m_grid.setRows(int(m_entries.size()) + 1);
    int chosen = 0;
    for (int i = 0; i < m_entries.size(); ++i) {
        const RegistryEntry& e = m_entries[i];
        m_grid.setText(i + 1, 0, QString::number(i + 1));
        m_grid.setText(i + 1, 1, e.name);
        m_grid.setText(i + 1, 2, e.date);
        m_grid.setText(i + 1, kPathCol, e.path);
        if (e.id == m_chosenId)
            chosen = i + 1;
    }
    m_grid.endUpdate();
    fitPathColumn();
    selectRow(chosen);
}

void StartWindow::selectRow(int row) {
    if (row < 1 || row > m_entries.size()) {
        m_chosenId = 0;
        m_name->clear();
        m_path.clear();
        return;
    }
    const RegistryEntry& e = m_entries[row - 1];
    m_chosenId = e.id;
    m_name->setText(e.name);
    m_path = e.path;
    if (m_grid.rowSel() != row || m_grid.row() != row)
        m_grid.setCurrent(row, 1);
}

void StartWindow::fitPathColumn() {
    int others = 0;
    for (int c = 0; c < kPathCol; ++c)
        others += m_grid.colWidth(c);
    // Leave room for the vertical scroll bar only when the rows need one.
    int rowsHeight = 0;
    for (int r = 0; r < m_grid.rows(); ++r)
        rowsHeight += GridView::toPixels(m_grid.rowHeight(r));
    const int frame = 2 * m_view->frameWidth() + 2;
    const int scrollBar = rowsHeight + frame > m_view->height()
                              ? m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                              : 0;
    const int room = (m_view->width() - frame - scrollBar) * 15 - others;
    m_grid.setColWidth(kPathCol, std::max(kWidths[kPathCol], room));
}

bool StartWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::Resize)
        fitPathColumn();
    return QWidget::eventFilter(watched, event);
}

void StartWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    m_password->setFocus();
    m_password->selectAll();
}

void StartWindow::login() {
    // A large file is checked once the main window is up, so the operator
    // does not wait for it here.
    // An account set on a server may first want the server's own password.
    auto asked = withServerPassword(m_path, [this] {
        return Login::authenticate(m_path, m_user->text(), m_password->text(),
                                   AccountSetFile::Check::WhenSmall);
    });
    if (!asked)
        return;
    LoginAttempt& attempt = *asked;
    showOutcome(attempt.outcome);
    auto& result = attempt.login;
    if (!result)
        return;
    m_db = std::move(result->db);
    m_fileCheckPending = !result->integrityChecked;
    emit loggedIn(result->session);
    close();
}

std::unique_ptr<Database> StartWindow::takeDatabase() {
    return std::move(m_db);
}

void StartWindow::newAccountSet() {
    auto* window = new NewDbWindow(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QDialog::finished, this, [this](int result) {
        if (result == QDialog::Accepted)
            m_chosenId = 0; // the new account set, listed first, becomes the choice
        listAccountSets();
        if (m_chosenId == 0)
            selectRow(1);
        // Back to the password, so Enter logs in without reaching for the
        // mouse (a window manager may leave no window active here).
        activateWindow();
        m_password->setFocus();
        m_password->selectAll();
    });
    window->open();
}

void StartWindow::checkAccountSets() {
    const Registry registry;
    Outcome outcome;
    const QList<RegistryEntry> missing = registry.missingFiles(outcome);
    showOutcome(outcome);
    QList<int> forget;
    for (const RegistryEntry& e : missing) {
        if (dialogs().question(Registry::forgetQuestion(e.name)))
            forget << e.id;
    }
    showOutcome(registry.forget(forget));
    listAccountSets();
    selectRow(1);
    dialogs().info(Registry::checkReport(int(missing.size())));
}

} // namespace tl
