#include "gui/mainwindow/SlipCommand.h"

#include "core/grid/GridSelection.h"
#include "core/printing/SlipDocument.h"
#include "gui/mainwindow/MainTabs.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/Printing.h"
#include "gui/widgets/StatusLine.h"

#include <QMenu>
#include <QPushButton>

namespace tl {

void printSlip(MainWindow& window, SlipKind kind) {
    QList<qint64> ids;
    const Grid& grid = window.grid();
    if (const std::optional<RowSpan> rows = selectedDataRows(grid))
        for (int r = rows->first; r <= rows->last; ++r)
            if (const std::optional<qint64> key = rowKey(grid, r))
                ids << *key;
    Slip slip;
    const Outcome built = buildSlip(window.database(), window.session(), kind, ids, slip);
    if (!built) {
        showOutcome(built);
        return;
    }
    SlipDocument document(slip);
    if (!printNumbered(window.database(), document,
                       [&] { return printDocument(document, window.progress()); }))
        return;
    showStatusText(
        &window, QStringLiteral("%1 %2 已打印。").arg(slip.title(), document.slip().numberText()));
}

void addSlipAction(QMenu* menu, MainWindow& window) {
    QAction* separator = menu->addSeparator();
    QAction* action = menu->addAction(QString());
    action->setObjectName(QStringLiteral("mPrintSlip"));
    auto button = [&window]() -> QPushButton* {
        const int tab = window.tabs()->currentIndex();
        if (tab != SalesTab && tab != PurchasesTab)
            return nullptr;
        return window.tabs()->button(tab == SalesTab ? Cmd::SaleSlip : Cmd::PurchaseSlip);
    };
    QObject::connect(menu, &QMenu::aboutToShow, action, [separator, action, button] {
        QPushButton* b = button();
        separator->setVisible(b != nullptr);
        action->setVisible(b != nullptr);
        if (b) {
            action->setText(b->text());
            action->setEnabled(b->isEnabled());
        }
    });
    QObject::connect(action, &QAction::triggered, action, [button] {
        if (QPushButton* b = button(); b && b->isEnabled())
            b->click();
    });
}

} // namespace tl
