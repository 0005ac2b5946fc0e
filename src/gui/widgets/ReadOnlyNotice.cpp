#include "widgets/ReadOnlyNotice.h"

#include "data/AccountSetFile.h"

#include <QWidget>

namespace tl {

void showReadOnly(QWidget* control) {
    if (!control)
        return;
    control->setEnabled(false);
    control->setToolTip(AccountSetFile::readOnlyNotice());
}

} // namespace tl
