#pragma once

#include "core/accounts/Commands.h"

#include <QObject>
#include <QString>
#include <memory>

class QSplitter;

namespace tl {

class ChartView;
class MainWindow;
class PrintDocument;

// The two chart pages of the main window ("销售/采购" and "毛利分析"): on
// each, the chart (Pic) beside the shared grid, which shows the chart's table.
// Runs the chart commands: quantities and amounts of the trend chart, the
// gross-profit chart.
class ChartPages : public QObject {
    Q_OBJECT
public:
    explicit ChartPages(MainWindow& window);

    // A chart page became current: the shared grid moves beside its chart
    // and shows the table of the chart drawn there last, if any.
    void pageShown(int subTab);
    // Reads the page's dates and lists, computes the chart table into the
    // shared grid and draws it.
    void run(Cmd command);

    ChartView* chartView(int subTab) const;
    QSplitter* splitter(int subTab) const;

private:
    void showTable(int subTab);
    // The chart of a page as printed; null while it shows none.
    std::unique_ptr<PrintDocument> document(int subTab) const;

    MainWindow& m_window;
    ChartView* m_views[2] = {};
    QSplitter* m_splitters[2] = {};
    QString m_periods[2]; // of the charts drawn, as their printouts head them
};

} // namespace tl
