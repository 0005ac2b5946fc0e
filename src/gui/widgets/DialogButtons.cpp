#include "gui/widgets/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

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

} // namespace tl
