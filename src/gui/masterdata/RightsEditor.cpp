#include "gui/masterdata/RightsEditor.h"

#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/masterdata/RightsSheet.h"
#include "core/values/ItemText.h"
#include "gui/transactions/PickList.h"
#include "gui/widgets/ComboFill.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/GridView.h"
#include "gui/widgets/Guard.h"
#include "gui/widgets/ReadOnlyNotice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace tl {

RightsEditor::RightsEditor(Session& session, const Database& db, QWidget* parent)
    : QDialog(parent), m_session(session), m_db(db) {
    setObjectName(QStringLiteral("EditRight"));
    setWindowTitle(QStringLiteral("设置操作员权限"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // Operators are chosen from the list only, never changed by a stray key.
    m_operators = new PickList(this);
    m_operators->setObjectName(QStringLiteral("operators"));
    m_operators->setMinimumContentsLength(16);
    auto* chooser = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("操作员："), this);
    label->setBuddy(m_operators);
    chooser->addWidget(label);
    chooser->addWidget(m_operators, 1);

    m_sheet = new Grid(this);
    RightsSheet::setup(*m_sheet);
    m_view = new GridView(m_sheet, this);
    m_view->setObjectName(QStringLiteral("sheet"));
    m_view->bodyView()->installEventFilter(this);
    connect(m_view, &GridView::cellClicked, this, &RightsEditor::toggle);

    m_save = new QPushButton(QStringLiteral("保   存"), this);
    m_save->setObjectName(QStringLiteral("saveButton"));
    m_save->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取   消"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAutoDefault(false);
    for (QPushButton* b : {m_save, m_cancel})
        b->setMinimumWidth(96);
    connect(m_save, &QPushButton::clicked, this, &RightsEditor::save);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(chooser);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
    resize(GridView::toPixels(500 + 600 + 4000) + 40, 620);

    guarded([this] {
        fillCombo(m_operators, m_db, QStringLiteral("Staff"), QStringLiteral("Name"),
                  QStringLiteral("UID"));
    });
    m_operators->setCurrentIndex(-1);
    connect(m_operators, &QComboBox::currentIndexChanged, this, &RightsEditor::operatorSwitched);
    m_save->setEnabled(false);
}

QString RightsEditor::savedText() const {
    return QStringLiteral("已保存操作员“%1”的权限。").arg(itemName(m_operators->currentText()));
}

qint64 RightsEditor::operatorId() const {
    return itemId(m_operators->currentText());
}

void RightsEditor::selectOperator(qint64 uid, const QString& name) {
    int index = -1;
    for (int i = 0; i < m_operators->count(); ++i) {
        if (itemId(m_operators->itemText(i)) == uid) {
            index = i;
            break;
        }
    }
    const bool blocked = m_operators->blockSignals(true);
    if (index >= 0)
        m_operators->setCurrentIndex(index);
    else
        setComboText(m_operators, itemText(name, uid));
    m_operators->blockSignals(blocked);
    operatorChosen();
}

void RightsEditor::operatorSwitched(int index) {
    if (m_shownIndex >= 0 && index != m_shownIndex &&
        RightsSheet::rights(*m_sheet) != m_shownRights &&
        !dialogs().question(QStringLiteral("“%1”的权限修改尚未保存，是否放弃这些修改？")
                                .arg(m_operators->itemText(m_shownIndex)))) {
        const bool blocked = m_operators->blockSignals(true);
        m_operators->setCurrentIndex(m_shownIndex);
        m_operators->blockSignals(blocked);
        return;
    }
    operatorChosen();
}

void RightsEditor::operatorChosen() {
    const qint64 uid = operatorId();
    QString rights;
    guarded([&] { rights = RightsSheet::storedRights(m_db, uid); });
    RightsSheet::fill(*m_sheet, rights);
    // What the sheet shows as stored: names outside the list are dropped by the sheet.
    m_shownRights = RightsSheet::rights(*m_sheet);
    m_shownIndex = m_operators->currentIndex();
    if (m_db.isReadOnly())
        showReadOnly(m_save);
    else
        m_save->setEnabled(uid > 0 && m_session.hasRight(RightsSheet::editRight()));
}

void RightsEditor::toggle(int row, int col) {
    RightsSheet::toggle(*m_sheet, row, col);
}

void RightsEditor::save() {
    if (!m_save->isEnabled())
        return;
    const QString rights = RightsSheet::rights(*m_sheet);
    bool stored = false;
    if (!guarded([&] { stored = RightsSheet::save(m_db, m_session, operatorId(), rights); }))
        return;
    m_saved = stored;
    accept();
}

bool RightsEditor::eventFilter(QObject* watched, QEvent* event) {
    // The space bar marks the current row, as a click on its mark does.
    if (watched == m_view->bodyView() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        toggle(m_sheet->row(), RightsSheet::kMarkCol);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tl
