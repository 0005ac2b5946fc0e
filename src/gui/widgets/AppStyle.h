#pragma once

class QApplication;

namespace tl {

// The look of every window: Fusion, a CJK-capable UI font, calm colours.
// main(), the screenshot tool and the GUI tests all call it.
void applyAppStyle(QApplication& app);

} // namespace tl
