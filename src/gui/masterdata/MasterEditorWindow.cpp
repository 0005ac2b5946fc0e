#include "gui/masterdata/MasterEditorWindow.h"

#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/grid/GridFit.h"
#include "core/lists/MasterList.h"
#include "core/masterdata/MasterRecord.h"
#include "core/masterdata/MasterRights.h"
#include "gui/masterdata/RightsEditor.h"
#include "gui/transactions/PickList.h"
#include "gui/widgets/ComboFill.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FormKeys.h"
#include "gui/widgets/GridView.h"
#include "gui/widgets/Guard.h"
#include "gui/widgets/ReadOnlyNotice.h"
#include "gui/widgets/UnsavedTyping.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tl {
namespace {

constexpr int kRowsPerColumn = 5; // more boxes than this go into two columns

QPushButton* makeButton(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    b->setMinimumWidth(96);
    return b;
}

QFormLayout* makeForm() {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    return form;
}

} // namespace

MasterEditor::MasterEditor(MasterTable table, Session& session, const Database& db, QWidget* parent)
    : QDialog(parent), m_def(masterTableDef(table)), m_session(session), m_db(db) {
    setObjectName(m_def.editorName);
    setWindowTitle(m_def.caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_grid = new Grid(this);
    m_view = new GridView(m_grid, this);
    m_view->setObjectName(QStringLiteral("grid"));
    m_view->setMinimumHeight(180);
    connect(m_view, &GridView::cellClicked, this, [this](int row, int) { pickRow(row); });

    m_save = makeButton(addCaption(), "saveButton", this);
    m_save->setDefault(true);
    m_new = makeButton(m_def.newCaption, "newButton", this);
    m_close = makeButton(m_def.closeCaption, "closeButton", this);
    if (m_def.nested != NestedEditor::None)
        m_nested = makeButton(m_def.nestedCaption, "nestedButton", this);
    connect(m_save, &QPushButton::clicked, this, &MasterEditor::save);
    connect(m_new, &QPushButton::clicked, this, &MasterEditor::clearForm);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    if (m_nested)
        connect(m_nested, &QPushButton::clicked, this, &MasterEditor::openNested);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    buildForm();
    guarded([this] {
        reloadList();
        reloadCombo();
    });
    setKey(0);
    useFormKeys(this, m_save);
}

void MasterEditor::buildForm() {
    // The rows in the order shown: visible boxes with the drop-down among them.
    QList<QPair<QString, QWidget*>> rows;
    for (const MasterField& f : m_def.fields) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("box%1").arg(f.box));
        m_boxes.insert(f.box, edit);
        if (f.kind == MasterField::Kind::Hidden) {
            edit->hide();
            continue;
        }
        if (f.kind == MasterField::Kind::Password)
            edit->setEchoMode(QLineEdit::Password);
        rows.append({f.label, edit});
    }
    if (!m_def.comboField.isEmpty()) {
        // Chosen from the list only: typing cannot make up a region or class.
        m_combo = new PickList(this);
        m_combo->setObjectName(QStringLiteral("combo"));
        m_combo->setMinimumContentsLength(12);
        rows.insert(qMin(m_def.comboPosition, static_cast<int>(rows.size())),
                    {m_def.comboLabel, m_combo});
    }

    const int count = static_cast<int>(rows.size());
    const int firstColumn = count > kRowsPerColumn ? (count + 1) / 2 : count;
    auto* forms = new QHBoxLayout;
    QFormLayout* form = makeForm();
    forms->addLayout(form, 1);
    QWidget* previous = nullptr;
    m_firstBox = count > 0 ? rows[0].second : nullptr;
    for (int i = 0; i < count; ++i) {
        if (i == firstColumn) {
            forms->addSpacing(24);
            form = makeForm();
            forms->addLayout(form, 1);
        }
        form->addRow(rows[i].first, rows[i].second);
        if (previous)
            setTabOrder(previous, rows[i].second);
        previous = rows[i].second;
    }

    auto* buttons = new QHBoxLayout;
    if (m_nested)
        buttons->addWidget(m_nested);
    buttons->addStretch(1);
    buttons->addWidget(m_new);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    for (QWidget* w : {static_cast<QWidget*>(m_new), static_cast<QWidget*>(m_save),
                       static_cast<QWidget*>(m_close), static_cast<QWidget*>(m_nested)}) {
        if (w && previous) {
            setTabOrder(previous, w);
            previous = w;
        }
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addSpacing(4);
    layout->addLayout(forms);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    layout->addWidget(m_status);

    int listWidth = 0;
    for (const ListColumn& c : m_def.listColumns)
        listWidth += GridView::toPixels(c.width);
    if (m_def.listColumns.isEmpty())
        listWidth = 820; // the product list fits its columns to the texts
    const int width = qBound(560, listWidth + 40, 900);
    resize(width, 340 + firstColumn * 34);
}

void MasterEditor::reloadList() {
    loadMasterList(*m_grid, m_db, m_def.id, m_session);
}

void MasterEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A list that fits its columns to the texts was loaded before the view had
    // its width; fit it again now that the width is known.
    if (!m_shown && m_def.listColumns.isEmpty())
        autoFitColumns(*m_grid);
    if (!m_shown) {
        if (QWidget* first = firstBox())
            first->setFocus(Qt::OtherFocusReason);
    }
    m_shown = true;
}

QWidget* MasterEditor::firstBox() const {
    return m_firstBox;
}

void MasterEditor::reloadCombo() {
    if (m_combo)
        fillCombo(m_combo, m_db, m_def.comboTable, m_def.comboNameField, m_def.comboKeyField);
}

void MasterEditor::applyRights() {
    if (m_db.isReadOnly()) {
        // Only looked at: nothing here could be saved.
        for (QPushButton* b : {m_new, m_save, m_nested})
            showReadOnly(b);
        return;
    }
    m_new->setEnabled(mayAdd(m_session, m_def.id));
    m_save->setEnabled(m_key > 0 ? mayModify(m_session, m_def.id, m_key)
                                 : mayAdd(m_session, m_def.id));
    if (m_nested) {
        // The rights of an operator can be set once he is stored.
        const bool needsRecord = m_def.nested == NestedEditor::Rights;
        m_nested->setEnabled(mayOpenNested(m_session, m_def.id) && (!needsRecord || m_key > 0));
    }
}

void MasterEditor::setKey(qint64 key) {
    m_key = key > 0 ? key : 0;
    if (m_key > 0) {
        std::optional<MasterInput> record;
        guarded([&] { record = loadMasterRecord(m_db, m_def.id, m_key); });
        if (record)
            showInput(*record);
    }
    m_save->setText(m_key > 0 ? modifyCaption() : addCaption());
    // A stored password is never shown; empty boxes keep it.
    for (const MasterField& f : m_def.fields) {
        if (f.kind == MasterField::Kind::Password)
            m_boxes.value(f.box)->setPlaceholderText(m_key > 0 ? QStringLiteral("不修改请留空")
                                                               : QString());
    }
    applyRights();
    markSaved();
}

void MasterEditor::markSaved() {
    m_saved = formContents(this);
}

void MasterEditor::reject() {
    if (mayDiscardTyping(this, m_saved))
        QDialog::reject();
}

MasterInput MasterEditor::readInput() const {
    MasterInput in;
    in.key = m_key;
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        in.boxes.insert(it.key(), it.value()->text());
    if (m_combo)
        in.comboText = m_combo->currentText();
    return in;
}

void MasterEditor::showInput(const MasterInput& input) {
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        it.value()->setText(input.box(it.key()));
    if (m_combo)
        setComboText(m_combo, input.comboText);
}

void MasterEditor::save() {
    if (!m_save->isEnabled())
        return;
    SaveOutcome out;
    const MasterInput input = readInput();
    if (!guarded([&] { out = saveMasterRecord(m_db, m_session, m_def.id, input); }))
        return;
    if (!out.message.isEmpty())
        dialogs().info(out.message);
    if (out.status == SaveOutcome::Status::Refused) {
        // The box the refusal is about; the first box when it names none.
        QWidget* fault = out.faultBox == SaveOutcome::comboAtFault ? static_cast<QWidget*>(m_combo)
                                                                   : m_boxes.value(out.faultBox);
        if (!fault)
            fault = firstBox();
        if (fault)
            fault->setFocus(Qt::OtherFocusReason);
    }
    if (out.stored()) {
        m_changed = true;
        const MasterField* name = m_def.namedBy();
        m_status->setText(QStringLiteral("已保存%1“%2”。")
                              .arg(m_def.noun, name ? input.box(name->box) : QString()));
    }
    if (out.status != SaveOutcome::Status::Refused)
        guarded([this] { reloadList(); });
    if (out.clearForm)
        clearForm();
    else if (out.stored())
        markSaved(); // the record stays on screen as stored
}

void MasterEditor::clearForm() {
    for (QLineEdit* edit : std::as_const(m_boxes))
        edit->clear();
    if (m_combo)
        m_combo->setCurrentIndex(-1);
    setKey(0);
    if (m_firstBox)
        m_firstBox->setFocus();
}

void MasterEditor::pickRow(int row) {
    if (row < m_grid->fixedRows() || row >= m_grid->rows())
        return;
    const qint64 key = m_grid->text(row, 0).trimmed().toLongLong();
    if (!mayModify(m_session, m_def.id, key))
        return;
    m_status->clear(); // it told of another record
    setKey(key);
}

void MasterEditor::openNested() {
    if (!m_nested || !m_nested->isEnabled())
        return;
    if (m_def.nested == NestedEditor::Rights) {
        RightsEditor editor(m_session, m_db, this);
        editor.selectOperator(m_key, m_boxes.value(0)->text());
        editor.exec();
        m_changed = true;
        if (editor.saved())
            m_status->setText(editor.savedText());
        // The rights may have changed meanwhile: show (and later save) what is stored now.
        // The operator's own rights may have changed too, and with them what he may see.
        guarded([this] { reloadList(); });
        setKey(m_key);
        return;
    }
    const MasterTable nestedTable =
        m_def.nested == NestedEditor::Region ? MasterTable::Region : MasterTable::Class;
    MasterEditor editor(nestedTable, m_session, m_db, this);
    editor.exec();
    if (editor.changed()) {
        m_changed = true;
        guarded([this] {
            reloadCombo();
            reloadList();
        });
    }
    applyRights();
}

} // namespace tl
