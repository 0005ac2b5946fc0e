#pragma once

#include <QColor>

namespace tl {

// A colour written the old way, &HBBGGRR: blue in the high byte, red low.
QColor colorFromBgr(quint32 bgr);

// The background of fixed cells that set none of their own, on screen and on paper.
QColor fixedCellColor();

} // namespace tl
