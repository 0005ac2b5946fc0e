#pragma once

#include "gui/mainwindow/MainCommands.h"

#include <QHash>
#include <QMap>
#include <QTabWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace tl {

class CommandPage;

// The main tab strip (SST) with everything on its pages: the inner strips of
// the statistics (SST2), chart (SST3) and master-data (SST1) tabs, every
// command button, the keyword boxes, date pickers and chart lists.
class MainTabs : public QTabWidget {
    Q_OBJECT
public:
    explicit MainTabs(QWidget* parent = nullptr);

    QTabWidget* statisticsTabs() const { return m_sst2; }
    QTabWidget* chartTabs() const { return m_sst3; }
    QTabWidget* settingsTabs() const { return m_sst1; }
    // The inner tab of the current main tab (0 for the trade tabs).
    int currentSubTab() const;

    // The page where a tab (and inner tab) shows its buttons and the grid.
    CommandPage* page(int tab, int subTab = 0) const;
    QPushButton* button(Cmd id) const;
    QPushButton* button(CommandId id) const { return button(commandAt(id)); }
    const QMap<Cmd, QPushButton*>& buttons() const { return m_buttons; }
    QLineEdit* keywordBox(int index) const;
    QDateEdit* datePicker(int index) const;
    // Warehouse and product lists of the chart pages: CM4(0) warehouses and
    // CM4(1) products of the trend chart, CM4(2) products of the profit chart.
    QComboBox* chartList(int index) const;

private:
    CommandPage* addPage(QTabWidget* strip, const QString& title, int tab, int subTab);
    void addCommands(CommandPage* page, int tab, int subTab);
    void buildTradeTab(int tab, const QString& title);
    void buildStatistics();
    void buildCharts();
    void buildSettings();

    QTabWidget* m_sst1 = nullptr;
    QTabWidget* m_sst2 = nullptr;
    QTabWidget* m_sst3 = nullptr;
    QHash<int, CommandPage*> m_pages; // tab * 100 + subTab
    QMap<Cmd, QPushButton*> m_buttons;
    QList<QLineEdit*> m_keywords;
    QList<QDateEdit*> m_pickers;
    QList<QComboBox*> m_chartLists;
};

} // namespace tl
