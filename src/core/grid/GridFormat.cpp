#include "core/grid/GridFormat.h"

namespace tl {

QColor fixedCellColor() {
    return QColor(0xec, 0xee, 0xf1);
}

QColor colorFromBgr(quint32 bgr) {
    return QColor(static_cast<int>(bgr & 0xff), static_cast<int>((bgr >> 8) & 0xff),
                  static_cast<int>((bgr >> 16) & 0xff));
}

} // namespace tl
