#include "gui/mainwindow/ShopSettingsDialog.h"

#include "core/printing/ShopSettings.h"
#include "gui/widgets/DialogButtons.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/Guard.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tl {

ShopSettingsDialog::ShopSettingsDialog(const Database& db, const Session& session, QWidget* parent)
    : QDialog(parent), m_db(db), m_session(session) {
    setObjectName(QStringLiteral("ShopSettings"));
    setWindowTitle(QStringLiteral("单据设置"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto* note = new QLabel(
        QStringLiteral(
            "销售单和采购单的抬头印出下面的店名、地址和电话。套帐中的所有电脑都使用这些设置。"),
        this);
    note->setWordWrap(true);

    ShopSettings shop;
    guarded([&] { shop = ShopSettings::read(db); });
    auto box = [this](const QString& name, const QString& text, int limit) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(name);
        edit->setMaxLength(limit);
        edit->setMinimumWidth(360);
        return edit;
    };
    m_name = box(QStringLiteral("shopName"), shop.name, ShopSettings::nameLimit);
    m_address = box(QStringLiteral("shopAddress"), shop.address, ShopSettings::addressLimit);
    m_phone = box(QStringLiteral("shopPhone"), shop.phone, ShopSettings::phoneLimit);
    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight);
    fields->addRow(QStringLiteral("店名："), m_name);
    fields->addRow(QStringLiteral("地址："), m_address);
    fields->addRow(QStringLiteral("电话："), m_phone);

    const auto [ok, cancel, buttons] =
        dialogButtons(this, QStringLiteral("保   存"), QStringLiteral("saveButton"),
                      QStringLiteral("cancelButton"));

    layOutDialog(this, note, fields, buttons, 14);

    connect(ok, &QPushButton::clicked, this, [this] {
        if (save())
            accept();
    });
    setTabOrder(m_name, m_address);
    setTabOrder(m_address, m_phone);
    setTabOrder(m_phone, ok);
    setTabOrder(ok, cancel);
    m_name->setFocus();
}

bool ShopSettingsDialog::save() {
    Outcome outcome;
    if (!guarded([&] {
            outcome = ShopSettings::save(m_db, m_session,
                                         {m_name->text(), m_address->text(), m_phone->text()});
        }))
        return false;
    showOutcome(outcome);
    return outcome.isOk();
}

} // namespace tl
