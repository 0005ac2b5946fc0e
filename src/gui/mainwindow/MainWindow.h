#pragma once

#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "gui/mainwindow/MainCommands.h"

#include <QMainWindow>
#include <memory>
#include <optional>

class QAction;
class QLabel;

namespace tl {

class ChartPages;
class CommandPage;
class Grid;
class GridView;
class MainTabs;
class Progress;
class ProgressWindow;

// The window after login: six tabs select what the one shared grid shows,
// each tab with its row of command buttons. Every button is gated by the
// operator's rights; closing the window drops the work tables and ends the run.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Session session, std::unique_ptr<Database> db, QWidget* parent = nullptr);
    ~MainWindow() override;

    Session& session() { return m_session; }
    const Database& database() const { return *m_db; }
    Grid& grid() const { return *m_grid; }
    GridView* gridView() const { return m_view; }
    MainTabs* tabs() const { return m_tabs; }
    ChartPages* charts() const { return m_charts; }
    // The progress display of long work, mirrored in the status line.
    Progress& progress();

    // Enables every button whose right the operator holds and disables the
    // rest; runs again whenever the operator may have changed his own rights.
    void applyButtonRights();
    // Shows the add and modify buttons of the trade tabs whose entry window
    // is registered (EntryOpeners).
    void updateEntryButtons();
    // Rebuilds the view of the current tab.
    void reloadView();
    // What pressing the button does (the button's enabled state is the gate).
    void runCommand(Cmd id);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void presetDates();
    void connectSignals();
    void onMainTab(int tab);
    void onStatisticsTab(int subTab);
    void onChartTab(int subTab);
    void onSettingsTab(int subTab);
    void placeGrid(int tab, int subTab);
    void resetGrid();
    void onGridDoubleClicked();
    void onKeywordEnter(int box);
    void addRecord(const Command& command);
    void modifyRecord(const Command& command);
    bool openEditor(const Command& command, std::optional<qint64> key);
    void deleteRecords(const Command& command);
    void findRecord(const Command& command);
    void editRights();
    // Reloads the view after an editor closed, keeping the operator's place.
    void reloadViewInPlace();
    // Says in the grid's place that the operator may not see this page.
    void showNoRightNote(bool show);
    // Fits the columns of a record grid to the view's new width.
    void refitColumns();

    Session m_session;
    std::unique_ptr<Database> m_db;
    Grid* m_grid = nullptr;
    GridView* m_view = nullptr;
    MainTabs* m_tabs = nullptr;
    ChartPages* m_charts = nullptr;
    QLabel* m_status = nullptr;
    QAction* m_backup = nullptr; // needs the backup right
    QAction* m_shopSettings = nullptr;
    QLabel* m_noRight = nullptr;
    std::unique_ptr<ProgressWindow> m_progress;
    bool m_loading = true;
};

} // namespace tl
