#include "gui/mainwindow/MainTabs.h"

#include "core/lists/ListedTables.h"
#include "core/statistics/StatisticsPages.h"
#include "gui/mainwindow/CommandPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

namespace tl {

namespace {

QTabWidget* innerStrip(const QString& name, QWidget* parent) {
    auto* strip = new QTabWidget(parent);
    strip->setObjectName(name);
    strip->setDocumentMode(true);
    return strip;
}

} // namespace

MainTabs::MainTabs(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("SST"));
    buildTradeTab(SalesTab, listedTableTitle(ListedTable::Sales));
    buildTradeTab(PurchasesTab, listedTableTitle(ListedTable::Purchases));
    buildTradeTab(TransfersTab, listedTableTitle(ListedTable::Transfers));
    buildStatistics();
    buildCharts();
    buildSettings();
}

int MainTabs::currentSubTab() const {
    switch (currentIndex()) {
    case StatisticsTab:
        return m_sst2->currentIndex();
    case ChartsTab:
        return m_sst3->currentIndex();
    case SettingsTab:
        return m_sst1->currentIndex();
    default:
        return 0;
    }
}

CommandPage* MainTabs::page(int tab, int subTab) const {
    return m_pages.value(tab * 100 + subTab);
}

QPushButton* MainTabs::button(Cmd id) const {
    return m_buttons.value(id);
}

QLineEdit* MainTabs::keywordBox(int index) const {
    return m_keywords.value(index);
}

QDateEdit* MainTabs::datePicker(int index) const {
    return m_pickers.value(index);
}

QComboBox* MainTabs::chartList(int index) const {
    return m_chartLists.value(index);
}

CommandPage* MainTabs::addPage(QTabWidget* strip, const QString& title, int tab, int subTab) {
    auto* page = new CommandPage(strip);
    strip->addTab(page, title);
    m_pages.insert(tab * 100 + subTab, page);
    return page;
}

void MainTabs::addCommands(CommandPage* page, int tab, int subTab) {
    for (const Command& c : commands())
        if (c.tab == tab && c.subTab == subTab)
            m_buttons.insert(c.id, page->addCommand(c));
}

void MainTabs::buildTradeTab(int tab, const QString& title) {
    CommandPage* page = addPage(this, title, tab, 0);
    addCommands(page, tab, 0);
    m_keywords.append(page->addKeywordBox(tab));
}

void MainTabs::buildStatistics() {
    m_sst2 = innerStrip(QStringLiteral("SST2"), this);
    addTab(m_sst2, QStringLiteral("盘 点"));
    for (int s = 0; s < 5; ++s) {
        CommandPage* page =
            addPage(m_sst2, statisticsPageTitle(static_cast<StatisticsPage>(s)), StatisticsTab, s);
        page->addPeriod(s * 2);
        addCommands(page, StatisticsTab, s);
        if (s == 0) {
            // Hiding empty rows and columns belongs to the stock reports.
            auto* box = new QCheckBox(QStringLiteral("隐藏无数据行列"), page);
            box->setObjectName(QStringLiteral("CHK3_0"));
            box->setToolTip(QStringLiteral("指示是否隐藏无数据的行/列。"));
            page->addSpacing();
            page->addWidget(box);
        }
    }
    for (int i = 0; i < 10; ++i)
        m_pickers.append(findChild<QDateEdit*>(QStringLiteral("DTP3_%1").arg(i)));
}

void MainTabs::buildCharts() {
    m_sst3 = innerStrip(QStringLiteral("SST3"), this);
    addTab(m_sst3, QStringLiteral("分 析"));
    auto list = [this](CommandPage* page, const QString& label) {
        auto* combo = new QComboBox(page);
        combo->setObjectName(QStringLiteral("CM4_%1").arg(m_chartLists.size()));
        // Sized for a typical name, not the longest one, so that the row
        // still fits a small screen; the open list shows whole names.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(6);
        page->addLabelled(label, combo);
        m_chartLists.append(combo);
    };
    CommandPage* trend = addPage(m_sst3, QStringLiteral("销售/采购"), ChartsTab, 0);
    trend->addPeriod(10);
    list(trend, QStringLiteral("仓库："));
    list(trend, QStringLiteral("产品："));
    trend->addSpacing();
    addCommands(trend, ChartsTab, 0);
    CommandPage* profit = addPage(m_sst3, QStringLiteral("毛利分析"), ChartsTab, 1);
    profit->addPeriod(12);
    list(profit, QStringLiteral("产品："));
    profit->addSpacing();
    addCommands(profit, ChartsTab, 1);
    for (int i = 10; i < 14; ++i)
        m_pickers.append(findChild<QDateEdit*>(QStringLiteral("DTP3_%1").arg(i)));
}

void MainTabs::buildSettings() {
    m_sst1 = innerStrip(QStringLiteral("SST1"), this);
    addTab(m_sst1, QStringLiteral("设 置"));
    for (int m = 0; m < 8; ++m) {
        CommandPage* page =
            addPage(m_sst1, listedTableTitle(*listedTableOfTab(SettingsTab, m)), SettingsTab, m);
        addCommands(page, SettingsTab, m);
        if (keywordBoxOf(SettingsTab, m) >= 0)
            m_keywords.append(page->addKeywordBox(keywordBoxOf(SettingsTab, m)));
    }
}

} // namespace tl
