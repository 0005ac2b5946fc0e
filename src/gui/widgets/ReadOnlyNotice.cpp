#include "gui/widgets/ReadOnlyNotice.h"

#include "core/data/AccountSetFile.h"

#include <QWidget>

namespace tl {

void showReadOnly(QWidget* control) {
    if (!control)
        return;
    control->setEnabled(false);
    control->setToolTip(AccountSetFile::readOnlyNotice());
}

} // namespace tl
