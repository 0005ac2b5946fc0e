#include "importexport/GridMenu.h"

#include "grid/Grid.h"
#include "importexport/ExportCommand.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainTabs.h"
#include "mainwindow/MainWindow.h"
#include "widgets/GridView.h"
#include "widgets/StatusLine.h"

#include <QDir>
#include <QMenu>

namespace tl {

GridMenu::GridMenu(MainWindow* window) : QObject(window), m_window(window) {
    setObjectName(QStringLiteral("菜单"));
    m_menu = new QMenu(window);
    m_menu->setObjectName(QStringLiteral("mPOPMenu1"));
    m_export = m_menu->addAction(QStringLiteral("导出表格"), this, &GridMenu::exportAttached);
    m_export->setObjectName(QStringLiteral("m_OutputMSF"));
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

void GridMenu::popup(const QPoint& globalPos) {
    const MainTabs& tabs = *m_window->tabs();
    m_title = titleOf(tabs);
    m_table = listedTableOfTab(tabs.currentIndex(), tabs.currentSubTab());
    m_export->setEnabled(allowed());
    m_export->setToolTip(allowed() ? QString()
                                   : QStringLiteral("没有“%1”的权限").arg(exportRight(*m_table)));
    m_menu->popup(globalPos);
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
