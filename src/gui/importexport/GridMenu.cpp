#include "gui/importexport/GridMenu.h"

#include "core/grid/Grid.h"
#include "core/importexport/GridExport.h"
#include "core/printing/GridDocument.h"
#include "gui/charts/ChartPages.h"
#include "gui/charts/ChartView.h"
#include "gui/importexport/ExportCommand.h"
#include "gui/mainwindow/MainCommands.h"
#include "gui/mainwindow/MainTabs.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/statistics/StatisticsCommands.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/GridView.h"
#include "gui/widgets/PrintActions.h"
#include "gui/widgets/StatusLine.h"

#include <QDir>
#include <QMenu>

namespace tl {

GridMenu::GridMenu(MainWindow* window) : QObject(window), m_window(window) {
    setObjectName(QStringLiteral("菜单"));
    m_menu = new QMenu(window);
    m_menu->setObjectName(QStringLiteral("mPOPMenu1"));
    m_export = m_menu->addAction(QStringLiteral("导出表格"), this, &GridMenu::exportAttached);
    m_export->setObjectName(QStringLiteral("m_OutputMSF"));
    m_printing = new PrintActions(
        m_menu, QStringLiteral("MSF"), [window]() -> Progress& { return window->progress(); },
        [this] { return document(); });
    auto* print = new QAction(QStringLiteral("打印…"), window);
    print->setShortcut(QKeySequence::Print);
    window->addAction(print);
    connect(print, &QAction::triggered, this, &GridMenu::printCurrent);
    m_menu->setToolTipsVisible(true);
    connect(window->gridView(), &GridView::rightClicked, this, &GridMenu::popup);
}

QString GridMenu::titleOf(const MainTabs& tabs) {
    const int tab = tabs.currentIndex();
    const QTabWidget* inner = nullptr;
    switch (tab) {
    case StatisticsTab:
        inner = tabs.statisticsTabs();
        break;
    case ChartsTab:
        inner = tabs.chartTabs();
        break;
    case SettingsTab:
        inner = tabs.settingsTabs();
        break;
    default:
        break;
    }
    return inner ? inner->tabText(inner->currentIndex()) : tabs.tabText(tab);
}

bool GridMenu::allowed() const {
    return !m_table || mayExport(m_window->session().rights, *m_table);
}

QString GridMenu::refusal() const {
    return allowed() ? QString() : QStringLiteral("没有“%1”的权限").arg(exportRight(*m_table));
}

void GridMenu::attach() {
    const MainTabs& tabs = *m_window->tabs();
    m_title = titleOf(tabs);
    m_table = listedTableOfTab(tabs.currentIndex(), tabs.currentSubTab());
    m_export->setEnabled(allowed());
    m_export->setToolTip(refusal());
    m_printing->setAllowed(allowed(), refusal());
}

void GridMenu::popup(const QPoint& globalPos) {
    attach();
    m_menu->popup(globalPos);
}

void GridMenu::printCurrent() {
    const MainTabs& tabs = *m_window->tabs();
    if (tabs.currentIndex() == ChartsTab) {
        if (ChartView* chart = m_window->charts()->chartView(tabs.currentSubTab());
            chart && chart->hasChart() && chart->printing())
            chart->printing()->print();
        return;
    }
    attach();
    if (!allowed())
        dialogs().info(refusal());
    else
        m_printing->print();
}

std::unique_ptr<PrintDocument> GridMenu::document() const {
    const Grid& grid = m_window->grid();
    if (!allowed() || !grid.isVisible())
        return nullptr;
    if (visibleRows(grid).empty() || visibleColumns(grid).empty()) {
        dialogs().info(exportStatusMessage(ExportStatus::Empty));
        return nullptr;
    }
    const bool report = m_window->tabs()->currentIndex() == StatisticsTab;
    return std::make_unique<GridDocument>(
        grid, PrintHeading::now(m_title, report ? shownReportPeriod(*m_window) : QString(),
                                m_window->database().path(), m_window->session().operatorName));
}

void GridMenu::exportAttached() {
    if (!allowed() || !m_window->grid().isVisible())
        return;
    QString written;
    if (exportGrid(m_window->grid(), m_title, m_window->progress(), &written))
        showStatusText(m_window,
                       QStringLiteral("表格已导出到：") + QDir::toNativeSeparators(written));
}

} // namespace tl
