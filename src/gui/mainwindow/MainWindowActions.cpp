// The command buttons, keyword boxes and grid double-click of the main window.
#include "gui/mainwindow/MainWindow.h"

#include "core/grid/Grid.h"
#include "core/grid/GridDelete.h"
#include "core/grid/GridFind.h"
#include "core/grid/GridSelection.h"
#include "core/transactions/RecordDeletion.h"
#include "gui/charts/ChartPages.h"
#include "gui/importexport/ImportCommand.h"
#include "gui/mainwindow/EntryOpeners.h"
#include "gui/mainwindow/MainTabs.h"
#include "gui/mainwindow/MainViews.h"
#include "gui/mainwindow/SlipCommand.h"
#include "gui/masterdata/OpenMasterEditor.h"
#include "gui/statistics/StatisticsCommands.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/GridPlace.h"
#include "gui/widgets/GridView.h"
#include "gui/widgets/Guard.h"
#include "gui/widgets/StatusLine.h"

#include <QLineEdit>
#include <QPushButton>

namespace tl {

namespace {

EntryKind entryKindOf(int tab) {
    return tab == SalesTab ? EntryKind::Sale
                           : (tab == PurchasesTab ? EntryKind::Purchase : EntryKind::Transfer);
}

} // namespace

void MainWindow::runCommand(Cmd id) {
    const Command* command = findCommand(id);
    if (!command)
        return;
    guarded([&] {
        switch (command->action) {
        case Action::Add:
            addRecord(*command);
            break;
        case Action::Modify:
            modifyRecord(*command);
            break;
        case Action::Delete:
            deleteRecords(*command);
            break;
        case Action::Find:
            findRecord(*command);
            break;
        case Action::Rights:
            editRights();
            break;
        case Action::Report:
            runStatistic(*this, id);
            break;
        case Action::Chart:
            m_charts->run(id);
            break;
        case Action::Slip:
            printSlip(*this, command->tab == SalesTab ? SlipKind::Sale : SlipKind::Purchase);
            break;
        case Action::Import:
            if (const auto table = listedTableOfTab(command->tab, command->subTab);
                table && runImportCommand(this, *m_db, *table, progress()))
                reloadView();
            break;
        default:
            break;
        }
    });
}

void MainWindow::reloadViewInPlace() {
    const GridPlace place = GridPlace::of(*m_grid);
    reloadView();
    place.restore(*m_grid, *m_view);
}

void MainWindow::addRecord(const Command& command) {
    const qint64 newest = largestKey(*m_grid);
    if (!openEditor(command, std::nullopt))
        return;
    reloadViewInPlace();
    // Shows what was added: the newest record, when there is a new one.
    if (const qint64 added = largestKey(*m_grid); added > newest)
        showRecord(*m_grid, *m_view, added);
}

void MainWindow::modifyRecord(const Command& command) {
    if (!hasRecords(*m_grid)) {
        dialogs().info(QStringLiteral("没有选择要修改的记录！"));
        return;
    }
    const std::optional<qint64> key = rowKey(*m_grid, m_grid->row());
    if (key && openEditor(command, key))
        reloadViewInPlace();
}

bool MainWindow::openEditor(const Command& command, std::optional<qint64> key) {
    if (command.tab != SettingsTab) {
        const EntryOpener& open = EntryOpeners::opener(entryKindOf(command.tab));
        return open && open(this, m_session, *m_db, key);
    }
    const bool changed = openMasterPageEditor(this, command.subTab, m_session, *m_db, key);
    applyButtonRights(); // the operator editor can change the operator's own rights
    return changed;
}

void MainWindow::deleteRecords(const Command& command) {
    const std::optional<TableKey> table = tableOf(command.tab, command.subTab);
    if (!table)
        return;
    const std::optional<RowDeletion> rows = selectedRecords(*m_grid);
    if (rows && dialogs().question(rows->question) &&
        tl::deleteRecords(*m_db, table->table, table->keyColumn, rows->keys) > 0)
        reloadViewInPlace();
}

void MainWindow::findRecord(const Command& command) {
    const int box = keywordBoxOf(command.tab, command.subTab);
    if (box < 0)
        return;
    const Outcome found = findInGrid(*m_grid, m_tabs->keywordBox(box)->text());
    if (!found.message.isEmpty())
        dialogs().info(found.message);
}

void MainWindow::editRights() {
    const std::optional<qint64> uid = rowKey(*m_grid, m_grid->row());
    if (!uid || m_grid->cols() < 2)
        return;
    const QString saved =
        openRightsEditor(this, m_session, *m_db, *uid, m_grid->text(m_grid->row(), 1));
    applyButtonRights();
    reloadViewInPlace();
    if (!saved.isEmpty())
        showStatusText(this, saved);
}

void MainWindow::onGridDoubleClicked() {
    // Only what the modify button itself would allow.
    const std::optional<Cmd> target =
        doubleClickCommand(m_tabs->currentIndex(), m_tabs->currentSubTab());
    QPushButton* button = target ? m_tabs->button(*target) : nullptr;
    if (button && button->isEnabled() && !button->isHidden())
        button->click();
}

void MainWindow::onKeywordEnter(int box) {
    const std::optional<Cmd> find = keywordFindCommand(box);
    QPushButton* button = find ? m_tabs->button(*find) : nullptr;
    if (button && button->isEnabled())
        button->click();
}

} // namespace tl
