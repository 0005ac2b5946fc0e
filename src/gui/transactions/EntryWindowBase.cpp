#include "gui/transactions/EntryWindowBase.h"

#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/grid/GridFit.h"
#include "core/grid/GridHeader.h"
#include "core/support/Clock.h"
#include "gui/transactions/PickList.h"
#include "gui/widgets/DateBox.h"
#include "gui/widgets/FormKeys.h"
#include "gui/widgets/GridPlace.h"
#include "gui/widgets/GridView.h"
#include "gui/widgets/Guard.h"
#include "gui/widgets/ReadOnlyNotice.h"
#include "gui/widgets/UnsavedTyping.h"

#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace tl {

const QString EntryWindow::addCaption = QStringLiteral("添  加");
const QString EntryWindow::modifyCaption = QStringLiteral("修  改");

EntryWindow::EntryWindow(Session& session, const Database& db, const QString& addRight,
                         const QString& modifyRight, QWidget* parent)
    : QDialog(parent), m_session(session), m_db(db), m_addRight(addRight),
      m_modifyRight(modifyRight) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    m_idBox = new QLineEdit(this);
    m_idBox->setObjectName(QStringLiteral("idBox"));
    // Records are picked from the history grid (which checks the modify right) or
    // handed over by the opener; the box only shows which record is on screen.
    m_idBox->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_idBox->setMaximumWidth(90);
    showAsComputed(m_idBox);
    connect(m_idBox, &QLineEdit::textChanged, this, [this] { applyModeOfIdBox(); });

    m_date = new DateBox(this);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setDate(Clock::today());
    m_date->setMinimumWidth(m_date->sizeHint().width() + 16);

    m_newButton = new QPushButton(QStringLiteral("新记录"), this);
    m_newButton->setObjectName(QStringLiteral("newButton"));
    connect(m_newButton, &QPushButton::clicked, this, [this] { newRecord(); });
    m_saveButton = new QPushButton(addCaption, this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setToolTip(QStringLiteral("保存本记录（Ctrl+Enter 或 Alt+S）"));
    connect(m_saveButton, &QPushButton::clicked, this, [this] { save(); });
    m_quitButton = new QPushButton(QStringLiteral("退  出"), this);
    m_quitButton->setObjectName(QStringLiteral("quitButton"));
    connect(m_quitButton, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton* b : {m_newButton, m_saveButton, m_quitButton})
        b->setMinimumWidth(96);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_grid = new Grid(this);
    m_gridView = new GridView(this);
    m_gridView->setObjectName(QStringLiteral("history"));
    m_gridView->setGrid(m_grid);
    connect(m_gridView, &GridView::cellDoubleClicked, this,
            [this](int row, int) { pickHistoryRow(row); });
    // Caption clicks sort the history, clicks over the key columns fit the widths.
    connect(m_gridView, &GridView::headerPressed, this,
            [this](int x, int y) { gridHeaderClick(*m_grid, x, y); });
}

void EntryWindow::setRecordId(qint64 id) {
    m_idBox->setText(id == 0 ? QString() : QString::number(id));
}

qint64 EntryWindow::recordId() const {
    bool ok = false;
    const qint64 id = m_idBox->text().trimmed().toLongLong(&ok);
    return ok ? id : 0;
}

QLineEdit* EntryWindow::numberBox(const QString& name) {
    QLineEdit* box = textBox(name);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setMaximumWidth(160);
    return box;
}

void EntryWindow::showAsComputed(QLineEdit* box) {
    // Filled by the window, not typed: drawn on the window colour, skipped by Tab.
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    box->setPalette(p);
}

QLineEdit* EntryWindow::textBox(const QString& name) {
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    return box;
}

PickList* EntryWindow::pickList(const QString& name) {
    auto* list = new PickList(this);
    list->setObjectName(name);
    return list;
}

QLabel* EntryWindow::formLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, this);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(buddy);
    return label;
}

QLabel* EntryWindow::hintLabel(const QString& name) {
    auto* hint = new QLabel(this);
    hint->setObjectName(name);
    QFont small = hint->font();
    if (small.pointSizeF() > 0) {
        small.setPointSizeF(small.pointSizeF() * 0.9);
        hint->setFont(small);
    }
    markBeyondLimit(nullptr, hint, false);
    return hint;
}

void EntryWindow::markBeyondLimit(QLineEdit* box, QLabel* hint, bool beyond) {
    if (box) {
        QPalette p = box->palette();
        p.setColor(QPalette::Base, beyond ? QColor(0xff, 0xe8, 0xc8) : QColor(Qt::white));
        box->setPalette(p);
    }
    if (hint) {
        QPalette p = hint->palette();
        p.setColor(QPalette::WindowText,
                   beyond ? QColor(0xb3, 0x40, 0x00) : QColor(0x60, 0x66, 0x70));
        hint->setPalette(p);
    }
}

QPushButton* EntryWindow::rightButton(const QString& caption, const QString& right,
                                      const QString& name) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    m_gated.append({button, right});
    return button;
}

void EntryWindow::assemble(QLayout* form, const QString& historyCaption) {
    m_gated.prepend({m_newButton, m_addRight});
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(16, 14, 16, 14);
    root->setSpacing(10);
    root->addLayout(form);

    m_buttonRow = new QHBoxLayout;
    m_buttonRow->setSpacing(8);
    m_buttonRow->addStretch(1);
    m_buttonRow->addWidget(m_newButton);
    m_buttonRow->addWidget(m_saveButton);
    m_buttonRow->addWidget(m_quitButton);
    root->addLayout(m_buttonRow);

    auto* caption = new QLabel(historyCaption, this);
    caption->setObjectName(QStringLiteral("historyCaption"));
    caption->setBuddy(m_gridView);
    root->addWidget(caption);
    root->addWidget(m_gridView, 1);
    root->addWidget(m_status);
}

void EntryWindow::addToButtonRow(QWidget* widget) {
    m_buttonRow->insertWidget(0, widget);
}

void EntryWindow::start() {
    reloadHistory();
    applyRights();
    applyModeOfIdBox();
    useFormKeys(this, m_saveButton);
}

void EntryWindow::reloadHistory() {
    guarded([this] { loadHistory(*m_grid); });
}

void EntryWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The history was fitted before the window had its size; fit it to the real one.
    if (!m_fitted) {
        m_fitted = true;
        autoFitColumns(*m_grid);
        // The history opens on the record being modified, else on the newest.
        if (recordId() != 0)
            showInHistory(recordId());
        else
            m_gridView->bodyView()->scrollToBottom();
        if (QWidget* first = firstBox())
            first->setFocus(Qt::OtherFocusReason);
    }
}

bool EntryWindow::event(QEvent* event) {
    // Rights may have changed in a master editor opened from here (an operator
    // editing his own rights), so they are applied on every activation.
    if (event->type() == QEvent::WindowActivate) {
        applyRights();
        guarded([this] { refreshHints(); });
    }
    return QDialog::event(event);
}

void EntryWindow::applyRights() {
    if (m_db.isReadOnly()) {
        // Only looked at: nothing here could be saved.
        for (const Gated& g : m_gated)
            showReadOnly(g.button);
        showReadOnly(m_saveButton);
        return;
    }
    for (const Gated& g : m_gated)
        g.button->setEnabled(g.right.isEmpty() || m_session.hasRight(g.right));
}

void EntryWindow::markSaved() {
    m_saved = formContents(this);
}

void EntryWindow::reject() {
    if (mayDiscardTyping(this, m_saved))
        QDialog::reject();
}

void EntryWindow::applyModeOfIdBox() {
    const qint64 id = recordId();
    m_saveButton->setText(id != 0 ? modifyCaption : addCaption);
    guarded([&] {
        if (id != 0)
            loadRecord(id);
        else
            clearForm();
        refreshHints();
    });
    if (id != 0) {
        m_status->clear(); // it told of another record
        showInHistory(id);
    }
    markSaved();
}

void EntryWindow::newRecord() {
    // In add mode the ID box is already empty: clear the form all the same.
    if (m_idBox->text().isEmpty())
        applyModeOfIdBox();
    else
        m_idBox->clear();
    if (QWidget* first = firstBox())
        first->setFocus(Qt::OtherFocusReason);
}

void EntryWindow::save() {
    const qint64 id = recordId();
    qint64 saved = 0;
    guarded([&] { saved = saveRecord(id); });
    if (saved == 0) {
        if (QWidget* fault = boxAtFault())
            fault->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_lastSaved = saved;
    markChanged();
    reloadHistory();
    showInHistory(saved);
    m_status->setText(
        QStringLiteral("已%1（记录号 %2）").arg(id == 0 ? m_addRight : m_modifyRight).arg(saved));
    // An operator who may add goes on with a fresh entry; one who may only
    // modify stays on the record he just changed.
    if (m_session.hasRight(m_addRight))
        m_idBox->clear();
    guarded([this] { refreshHints(); });
    markSaved(); // the values left in place for the next entry are stored
    if (QWidget* first = firstBox())
        first->setFocus(Qt::OtherFocusReason);
}

void EntryWindow::showInHistory(qint64 id) {
    showRecord(*m_grid, *m_gridView, id);
}

void EntryWindow::pickHistoryRow(int row) {
    if (!m_session.hasRight(m_modifyRight))
        return;
    if (row < m_grid->fixedRows() || row >= m_grid->rows())
        return;
    const QString key = m_grid->text(row, 0).trimmed();
    if (!key.isEmpty())
        m_idBox->setText(key);
}

} // namespace tl
