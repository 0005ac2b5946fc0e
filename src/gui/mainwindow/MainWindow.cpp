#include "gui/mainwindow/MainWindow.h"

#include "core/accounts/AppPaths.h"
#include "core/accounts/Rights.h"
#include "core/data/AccountSetFile.h"
#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/grid/Grid.h"
#include "core/grid/GridFit.h"
#include "core/masterdata/Lookups.h"
#include "core/printing/ShopSettings.h"
#include "core/support/Clock.h"
#include "core/values/Dates.h"
#include "gui/charts/ChartPages.h"
#include "gui/importexport/GridMenu.h"
#include "gui/mainwindow/BackupDialog.h"
#include "gui/mainwindow/CommandPage.h"
#include "gui/mainwindow/EntryOpeners.h"
#include "gui/mainwindow/MainTabs.h"
#include "gui/mainwindow/MainViews.h"
#include "gui/mainwindow/ShopSettingsDialog.h"
#include "gui/mainwindow/SlipCommand.h"
#include "gui/statistics/StatisticsCommands.h"
#include "gui/widgets/BusyNotice.h"
#include "gui/widgets/ComboFill.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/GridPlace.h"
#include "gui/widgets/GridView.h"
#include "gui/widgets/Guard.h"
#include "gui/widgets/ProgressWindow.h"
#include "gui/widgets/ReadOnlyNotice.h"
#include "gui/widgets/ResizeWatch.h"
#include "gui/widgets/StatusLine.h"
#include "gui/widgets/WindowPlace.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

namespace tl {

namespace {
constexpr int kPageMargin = 14; // tab frame and page margins on each side
} // namespace

MainWindow::MainWindow(Session session, std::unique_ptr<Database> db, QWidget* parent)
    : QMainWindow(parent), m_session(std::move(session)), m_db(std::move(db)) {
    setObjectName(QStringLiteral("MF"));
    const QString setName = AppPaths::displayName(m_db->path());
    setWindowTitle(programTitle() + QStringLiteral(" - ") + setName + QStringLiteral("（操作员：") +
                   m_session.operatorName + QStringLiteral("）") +
                   (m_db->isReadOnly() ? QStringLiteral("（只读）") : QString()));

    m_grid = new Grid(this);
    m_tabs = new MainTabs(this);
    setCentralWidget(m_tabs);
    m_view = new GridView(m_grid, m_tabs->page(SalesTab));
    m_view->setObjectName(QStringLiteral("MSF0"));
    m_charts = new ChartPages(*this);
    m_noRight = new QLabel(QStringLiteral("没有查看此页的权限"), m_tabs->page(SalesTab));
    m_noRight->setObjectName(QStringLiteral("noRightNote"));
    m_noRight->setAlignment(Qt::AlignCenter);
    m_noRight->hide();

    m_status = new StatusLine(QStringLiteral("提示信息……"), this);
    m_status->setContentsMargins(6, 0, 6, 0);
    statusBar()->addWidget(m_status, 1);
    m_progress = std::make_unique<ProgressWindow>();
    m_progress->setStatusLabel(m_status);
    installBusyNotice();

    // Before the rights are applied: the upgrade may grant the operator new ones.
    guarded([this] { Schema::upgrade(*m_db, &m_session); });
    buildMenus();
    applyButtonRights();
    updateEntryButtons();
    presetDates();
    connectSignals();
    // The grid's pop-up menu, the slips at its end.
    addSlipAction((new GridMenu(this))->menu(), *this);
    restoreWindowPlace(this, QStringLiteral("main"), QSize(1180, 720));
    onWidthSettled(m_view, [this] { refitColumns(); });

    m_loading = false;
    m_tabs->setCurrentIndex(SalesTab);
    onMainTab(SalesTab);
}

MainWindow::~MainWindow() = default;

Progress& MainWindow::progress() {
    return *m_progress;
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件"));
    file->setObjectName(QStringLiteral("mFile"));
    m_backup = file->addAction(QStringLiteral("备份套帐…"), this, [this] {
        BackupDialog dialog(*m_db, progress(), this);
        dialog.exec();
    });
    m_backup->setObjectName(QStringLiteral("mBackup"));
    m_shopSettings = file->addAction(QStringLiteral("单据设置…"), this, [this] {
        ShopSettingsDialog dialog(*m_db, m_session, this);
        if (dialog.exec() == QDialog::Accepted)
            showStatusText(this, QStringLiteral("单据设置已保存。"));
    });
    m_shopSettings->setObjectName(QStringLiteral("mShopSettings"));
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("退出"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("mExit"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助"));
    help->setObjectName(QStringLiteral("mHelp"));
    QAction* about = help->addAction(QStringLiteral("关于"), this, [] {
        dialogs().info(programTitle() + QStringLiteral("\n版本 ") + QStringLiteral(TL_VERSION));
    });
    about->setObjectName(QStringLiteral("mAbout"));
}

void MainWindow::presetDates() {
    const QDate today = Clock::today();
    const QDate monthStart = firstOfMonth(today), monthEnd = lastOfMonth(today);
    const QDate yearStart(today.year(), 1, 1), yearEnd(today.year(), 12, 31);
    const QDate presets[14] = {monthStart, monthEnd,  monthStart, monthEnd,  monthStart,
                               monthEnd,   yearStart, monthEnd,   yearStart, monthEnd,
                               yearStart,  yearEnd,   yearStart,  yearEnd};
    for (int i = 0; i < 14; ++i)
        m_tabs->datePicker(i)->setDate(presets[i]);
}

void MainWindow::connectSignals() {
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::onMainTab);
    connect(m_tabs->statisticsTabs(), &QTabWidget::currentChanged, this,
            &MainWindow::onStatisticsTab);
    connect(m_tabs->chartTabs(), &QTabWidget::currentChanged, this, &MainWindow::onChartTab);
    connect(m_tabs->settingsTabs(), &QTabWidget::currentChanged, this, &MainWindow::onSettingsTab);
    // What the status line said was about the page left.
    for (QTabWidget* tabs : {static_cast<QTabWidget*>(m_tabs), m_tabs->statisticsTabs(),
                             m_tabs->chartTabs(), m_tabs->settingsTabs()})
        connect(tabs, &QTabWidget::currentChanged, this, [this] { clearStatusText(this); });
    for (auto it = m_tabs->buttons().begin(); it != m_tabs->buttons().end(); ++it) {
        const Cmd id = it.key();
        connect(it.value(), &QPushButton::clicked, this, [this, id] { runCommand(id); });
    }
    for (int box = 0; box < 7; ++box)
        connect(m_tabs->keywordBox(box), &QLineEdit::returnPressed, this,
                [this, box] { onKeywordEnter(box); });
    connect(m_view, &GridView::cellDoubleClicked, this, &MainWindow::onGridDoubleClicked);
    connect(m_view, &GridView::headerPressed, this,
            [this](int x, int y) { headerPressed(*m_grid, x, y); });
    connectStatistics(*this);
}

void MainWindow::applyButtonRights() {
    for (auto it = m_tabs->buttons().begin(); it != m_tabs->buttons().end(); ++it) {
        // A read-only account set is only looked at: what would write says why it cannot.
        if (commandWrites(*findCommand(it.key())) && m_db->isReadOnly())
            showReadOnly(it.value());
        else
            it.value()->setEnabled(commandAllowed(m_session, it.key()));
    }
    m_tabs->statisticsTabs()->setEnabled(m_session.hasRight(statisticsRight()));
    m_tabs->chartTabs()->setEnabled(m_session.hasRight(chartsRight()));
    m_backup->setEnabled(m_session.hasRight(Rights::backupRight()));
    m_shopSettings->setEnabled(m_session.hasRight(ShopSettings::right()) && !m_db->isReadOnly());
    m_shopSettings->setToolTip(m_db->isReadOnly() ? AccountSetFile::readOnlyNotice() : QString());
}

void MainWindow::updateEntryButtons() {
    const struct {
        EntryKind kind;
        Cmd add, modify;
    } entries[] = {{EntryKind::Sale, Cmd::SaleAdd, Cmd::SaleModify},
                   {EntryKind::Purchase, Cmd::PurchaseAdd, Cmd::PurchaseModify},
                   {EntryKind::Transfer, Cmd::TransferAdd, Cmd::TransferModify}};
    for (const auto& e : entries) {
        const bool present = EntryOpeners::has(e.kind);
        m_tabs->button(e.add)->setVisible(present);
        m_tabs->button(e.modify)->setVisible(present);
    }
}

void MainWindow::reloadView() {
    onMainTab(m_tabs->currentIndex());
}

void MainWindow::resetGrid() {
    m_grid->setVisible(false);
    m_grid->reset(2, 2, 1, 1);
    m_grid->setMergeCells(false);
}

void MainWindow::placeGrid(int tab, int subTab) {
    CommandPage* page = m_tabs->page(tab, subTab);
    if (!page)
        return;
    QWidget* area = page->gridArea();
    if (m_view->parentWidget() != area) {
        area->layout()->addWidget(m_view);
        area->layout()->addWidget(m_noRight);
        m_view->setVisible(m_grid->isVisible());
    }
    showNoRightNote(false);
    // The loaders fit the columns to the grid's width: give them the width the
    // grid will have, also before the window is first laid out.
    const int pixels = area->isVisible() ? area->width() : width() - 2 * kPageMargin;
    m_grid->setWidthTwips(std::max(pixels, 200) * 15);
}

void MainWindow::onMainTab(int tab) {
    if (m_loading)
        return;
    m_grid->setVisible(false);
    switch (tab) {
    case SalesTab:
    case PurchasesTab:
    case TransfersTab:
        placeGrid(tab, 0);
        resetGrid();
        if (m_session.hasRight(tradeViewRight(tab)))
            guarded([&] {
                loadTradeView(*m_grid, *m_db, tab);
                m_grid->setVisible(true);
            });
        else
            showNoRightNote(true);
        break;
    case StatisticsTab:
        m_tabs->statisticsTabs()->setEnabled(m_session.hasRight(statisticsRight()));
        onStatisticsTab(m_tabs->statisticsTabs()->currentIndex());
        break;
    case ChartsTab:
        m_tabs->chartTabs()->setEnabled(m_session.hasRight(chartsRight()));
        onChartTab(m_tabs->chartTabs()->currentIndex());
        break;
    case SettingsTab:
        onSettingsTab(m_tabs->settingsTabs()->currentIndex());
        break;
    default:
        break;
    }
}

void MainWindow::onStatisticsTab(int subTab) {
    if (m_loading)
        return;
    m_grid->setVisible(false);
    placeGrid(StatisticsTab, subTab);
    showNoRightNote(!m_session.hasRight(statisticsRight()));
    // One empty row of default height: the record grids hide row 0, a report
    // needs it.
    m_grid->reset(1, 2, 1, 1);
}

void MainWindow::onChartTab(int subTab) {
    if (m_loading)
        return;
    m_grid->setVisible(false);
    placeGrid(ChartsTab, subTab);
    m_charts->pageShown(subTab);
    showNoRightNote(!m_session.hasRight(chartsRight()));
    guarded([&] {
        // Keeps the operator's choice when it still exists, else "全部".
        auto fill = [](QComboBox* combo, const QStringList& items) {
            const QString previous = combo->currentText();
            combo->clear();
            combo->addItems(items);
            combo->addItem(QStringLiteral("全部")); // no key: all of them
            fitPopupToItems(combo);
            const int keep = combo->findText(previous);
            combo->setCurrentIndex(keep >= 0 ? keep : combo->count() - 1);
        };
        const QStringList products = comboItems(*m_db, QStringLiteral("Product"),
                                                QStringLiteral("Name"), QStringLiteral("PID"));
        if (subTab == 0) {
            fill(m_tabs->chartList(0), comboItems(*m_db, QStringLiteral("Storage"),
                                                  QStringLiteral("Name"), QStringLiteral("SID")));
            fill(m_tabs->chartList(1), products);
        } else {
            fill(m_tabs->chartList(2), products);
        }
    });
}

void MainWindow::onSettingsTab(int subTab) {
    if (m_loading)
        return;
    m_grid->setVisible(false);
    placeGrid(SettingsTab, subTab);
    resetGrid();
    const QString viewRight = masterViewRight(subTab);
    if (!viewRight.isEmpty() && !m_session.hasRight(viewRight)) {
        showNoRightNote(true); // its buttons are disabled by the rights rules
        return;
    }
    guarded([&] {
        loadMasterView(*m_grid, *m_db, m_session, subTab);
        m_grid->setVisible(true);
    });
}

void MainWindow::showNoRightNote(bool show) {
    m_noRight->setVisible(show);
}

void MainWindow::refitColumns() {
    // Record grids and the product list fit their columns to the texts and
    // the width; the other lists and the reports keep their own widths.
    const int tab = m_tabs->currentIndex();
    const bool fitted =
        tab <= TransfersTab || (tab == SettingsTab && m_tabs->currentSubTab() == ProductsPage);
    if (!fitted || !m_grid->isVisible() || m_grid->rows() <= m_grid->fixedRows())
        return;
    const GridPlace place = GridPlace::of(*m_grid);
    m_grid->setWidthTwips(m_view->width() * 15);
    autoFitColumns(*m_grid);
    place.restore(*m_grid, *m_view);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveWindowPlace(this, QStringLiteral("main"));
    guarded([this] { m_db->dropWorkTables(); });
    event->accept();
    QCoreApplication::quit();
}

} // namespace tl
