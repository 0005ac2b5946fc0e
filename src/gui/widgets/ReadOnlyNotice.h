#pragma once

class QWidget;

namespace tl {

// Greys out a control that would write to an account set open for reading
// only; its tooltip says why.
void showReadOnly(QWidget* control);

} // namespace tl
