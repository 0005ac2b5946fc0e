#include "gui/charts/ChartPages.h"

#include "core/charts/ChartQueries.h"
#include "core/grid/Grid.h"
#include "core/printing/ChartDocument.h"
#include "core/values/ItemText.h"
#include "gui/charts/ChartView.h"
#include "gui/mainwindow/CommandPage.h"
#include "gui/mainwindow/MainTabs.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/GridView.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLayout>
#include <QSplitter>

namespace tl {

ChartPages::ChartPages(MainWindow& window) : QObject(&window), m_window(window) {
    for (int page = 0; page < 2; ++page) {
        CommandPage* commandPage = window.tabs()->page(ChartsTab, page);
        auto* splitter = new QSplitter(Qt::Horizontal, commandPage->gridArea());
        splitter->setObjectName(QStringLiteral("chartSplitter%1").arg(page));
        splitter->setChildrenCollapsible(false);
        auto* view = new ChartView(splitter);
        auto* tableSide = new QWidget(splitter);
        tableSide->setObjectName(QStringLiteral("chartTable%1").arg(page));
        tableSide->setMinimumWidth(200);
        tableSide->hide();
        auto* layout = new QVBoxLayout(tableSide);
        layout->setContentsMargins(0, 0, 0, 0);
        splitter->addWidget(view);
        splitter->addWidget(tableSide);
        splitter->setStretchFactor(0, 1);
        splitter->setStretchFactor(1, 0);
        splitter->setSizes({900, 280});
        commandPage->gridArea()->layout()->addWidget(splitter);
        m_views[page] = view;
        m_splitters[page] = splitter;
        // The window's progress display is made after the pages.
        view->addPrintCommands([&window]() -> Progress& { return window.progress(); },
                               [this, page] { return document(page); });
    }
}

std::unique_ptr<PrintDocument> ChartPages::document(int subTab) const {
    const ChartView* view = chartView(subTab);
    if (!view || !view->hasChart())
        return nullptr;
    return std::make_unique<ChartDocument>(
        view->table(), view->title(),
        PrintHeading::now(m_window.tabs()->chartTabs()->tabText(subTab), m_periods[subTab],
                          m_window.database().path(), m_window.session().operatorName));
}

ChartView* ChartPages::chartView(int subTab) const {
    return subTab == 0 || subTab == 1 ? m_views[subTab] : nullptr;
}

QSplitter* ChartPages::splitter(int subTab) const {
    return subTab == 0 || subTab == 1 ? m_splitters[subTab] : nullptr;
}

void ChartPages::pageShown(int subTab) {
    ChartView* view = chartView(subTab);
    if (!view)
        return;
    Grid& grid = m_window.grid();
    grid.setVisible(false);
    m_splitters[subTab]->widget(1)->layout()->addWidget(m_window.gridView());
    if (view->hasChart()) {
        copyChartTable(view->table(), grid);
        grid.clearCurrent(); // as a report: no row drawn selected
        grid.setVisible(true);
    }
    showTable(subTab);
}

void ChartPages::showTable(int subTab) {
    // The table side is there only while it has a table to show.
    const bool shown = m_window.grid().isVisible();
    m_window.gridView()->setVisible(shown); // moving the view may have hidden it
    m_splitters[subTab]->widget(1)->setVisible(shown);
}

void ChartPages::run(Cmd command) {
    MainTabs* tabs = m_window.tabs();
    Grid& grid = m_window.grid();
    const int page = command == Cmd::ProfitChart ? 1 : 0;
    grid.setVisible(false);
    ChartResult result;
    if (page == 0) {
        TrendQuery query;
        query.from = tabs->datePicker(10)->date();
        query.to = tabs->datePicker(11)->date();
        query.warehouseId = itemId(tabs->chartList(0)->currentText());
        query.productId = itemId(tabs->chartList(1)->currentText());
        query.amounts = command == Cmd::AmountChart;
        m_periods[page] = PrintHeading::periodText(query.from, query.to);
        result = trendTable(m_window.database(), query, grid, m_window.progress());
    } else {
        ProfitQuery query;
        query.from = tabs->datePicker(12)->date();
        query.to = tabs->datePicker(13)->date();
        query.productId = itemId(tabs->chartList(2)->currentText());
        m_periods[page] = PrintHeading::periodText(query.from, query.to);
        result = profitTable(m_window.database(), query, grid, m_window.progress());
    }
    if (result.drawable)
        m_views[page]->setChart(grid, result.title);
    else
        m_views[page]->clearChart();
    grid.clearCurrent(); // as a report: no row drawn selected
    grid.setVisible(grid.rows() > 1);
    showTable(page);
    if (!result.message.isEmpty())
        dialogs().info(result.message);
}

} // namespace tl
