#pragma once

class QApplication;

namespace tl {

// The look of every window: Fusion, a CJK-capable UI font, calm colours.
// main(), the screenshot tool and the GUI tests all call it.
void applyAppStyle(QApplication& app);
// Loads Qt's Chinese translations (part of applyAppStyle); false when they
// are not installed, in which case Qt's texts stay English.
bool installQtTranslations(QApplication& app);

} // namespace tl
