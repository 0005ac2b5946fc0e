#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QLayout;
class QPushButton;
class QWidget;

namespace tl {

// The default button and "取   消" at the foot of a small dialog: right-aligned,
// at least 96 wide each; Enter presses the default button, never 取消, and
// 取消 rejects the dialog.
struct DialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
    QHBoxLayout* row;
};
DialogButtons dialogButtons(QDialog* dialog, const QString& okText, const QString& okName,
                            const QString& cancelName);

// The small dialog's column: an optional note on top, the fields, room to
// grow, and the button row at the foot, in the dialog's usual margins.
void layOutDialog(QDialog* dialog, QWidget* note, QLayout* fields, QLayout* buttons, int spacing);

} // namespace tl
