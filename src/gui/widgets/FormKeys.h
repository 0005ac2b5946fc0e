#pragma once

class QDialog;
class QPushButton;

namespace tl {

// The keys of a form window: Enter moves to the next box, as users of such
// forms expect, and presses a button only when the button has the focus;
// Ctrl+Enter and Alt+S press the save button from anywhere. Without this a
// dialog's Enter presses its default button from any box and stores a half
// filled record.
void useFormKeys(QDialog* dialog, QPushButton* save);

} // namespace tl
