#pragma once

#include "core/printing/ShopSettings.h"

class QMenu;

namespace tl {

class MainWindow;

// "打印销售单" / "打印采购单": the slip of the records selected in the grid,
// on the printer the operator chooses in the print dialog (which also
// prints to a PDF file). The slip takes its number when the operator
// prints; a cancelled print gives it back. A selection of several customers
// (suppliers), or none, is refused with the reason.
void printSlip(MainWindow& window, SlipKind kind);

// The same command in the grid's pop-up menu, shown on the sales and
// purchases tabs and enabled as their buttons are.
void addSlipAction(QMenu* menu, MainWindow& window);

} // namespace tl
