#pragma once

#include "core/importexport/ExportRights.h"

#include <QObject>
#include <QPoint>
#include <memory>
#include <optional>

class QAction;
class QMenu;

namespace tl {

class MainTabs;
class MainWindow;
class PrintActions;
class PrintDocument;

// The pop-up menu of the main window's grid: "导出表格", that writes the grid
// as shown to a CSV file or a workbook named after the view it shows, and
// "打印…", "打印预览…", "导出PDF…" of the grid as shown. A record or master
// list needs its table's export right for each; a report needs nothing
// beyond the rights that showed it. Ctrl+P prints the current view: the
// grid, or the chart on a chart page.
class GridMenu : public QObject {
    Q_OBJECT
public:
    explicit GridMenu(MainWindow* window);

    QMenu* menu() const { return m_menu; }
    QAction* exportAction() const { return m_export; }
    PrintActions* printing() const { return m_printing; }

    // The title the export's sheet carries: the main tab's caption ("销 售"),
    // on the statistics, chart and settings tabs the inner tab's ("客户设置").
    static QString titleOf(const MainTabs& tabs);

    // Takes the title and right of the current view and shows the menu there.
    void popup(const QPoint& globalPos);
    // The export command, for the view the menu was last opened on.
    void exportAttached();
    // Ctrl+P: prints the view on show.
    void printCurrent();

private:
    bool allowed() const;
    QString refusal() const;
    void attach(); // to the view on show: its title and rights
    std::unique_ptr<PrintDocument> document() const;

    MainWindow* m_window;
    QMenu* m_menu;
    QAction* m_export;
    PrintActions* m_printing;
    QString m_title;
    std::optional<ListedTable> m_table;
};

} // namespace tl
