#include "gui/widgets/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tl {

DialogButtons dialogButtons(QDialog* dialog, const QString& okText, const QString& okName,
                            const QString& cancelName) {
    auto* ok = new QPushButton(okText, dialog);
    ok->setObjectName(okName);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取   消"), dialog);
    cancel->setObjectName(cancelName);
    cancel->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* b : {ok, cancel}) {
        b->setMinimumWidth(96);
        row->addWidget(b);
    }
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {ok, cancel, row};
}

void layOutDialog(QDialog* dialog, QWidget* note, QLayout* fields, QLayout* buttons, int spacing) {
    auto* root = new QVBoxLayout(dialog);
    root->setContentsMargins(18, 18, 18, 16);
    root->setSpacing(spacing);
    if (note)
        root->addWidget(note);
    root->addLayout(fields);
    root->addStretch(1);
    root->addLayout(buttons);
}

} // namespace tl
