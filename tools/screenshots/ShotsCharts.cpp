#include "Shots.h"

#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/support/Clock.h"
#include "gui/mainwindow/MainTabs.h"
#include "gui/mainwindow/MainWindow.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTabWidget>

// Both chart pages drawn from the sample account set, at the window's first
// size and at full HD; and a three-year trend, to see the month labels thinned.
SHOTS(35, "图表") {
    tl::MainWindow window(ctx.session, tl::Database::open(ctx.db.path()));
    window.resize(1180, 720);
    window.show();
    tl::MainTabs* tabs = window.tabs();
    tabs->setCurrentIndex(tl::ChartsTab);
    auto press = [&](int index) { tabs->button({tl::Bank::Trade, index})->click(); };
    auto page = [&](int subTab) { tabs->chartTabs()->setCurrentIndex(subTab); };

    for (const QSize size : {QSize(1180, 720), QSize(1920, 1080)}) {
        const QString suffix = QStringLiteral("-%1x%2").arg(size.width()).arg(size.height());
        window.resize(size);
        page(0);
        press(23);
        ctx.save(&window, QStringLiteral("图表-数量分析") + suffix);
        press(24);
        ctx.save(&window, QStringLiteral("图表-金额分析") + suffix);
        page(1);
        press(28);
        ctx.save(&window, QStringLiteral("图表-毛利分析") + suffix);
    }
    window.resize(1180, 720);
    page(0);
    const QDate today = tl::Clock::today();
    tabs->datePicker(10)->setDate(QDate(today.year() - 2, 1, 1));
    tabs->datePicker(11)->setDate(QDate(today.year(), 12, 31));
    press(24);
    ctx.save(&window, QStringLiteral("图表-金额分析-36个月-1180x720"));

    // One warehouse and the product with the longest name: the title names
    // both, and the open product list shows whole names.
    QComboBox* products = tabs->chartList(1);
    int longest = 0;
    for (int i = 0; i < products->count(); ++i)
        if (products->itemText(i).size() > products->itemText(longest).size())
            longest = i;
    tabs->chartList(0)->setCurrentIndex(0);
    products->setCurrentIndex(longest);
    press(24);
    ctx.save(&window, QStringLiteral("图表-金额分析-一个仓库一个产品-1180x720"));
    products->showPopup();
    ctx.save(products->view()->window(), QStringLiteral("图表-产品列表-展开"));
    products->hidePopup();

    // The receivables report: "总计" across the serial and name columns.
    tabs->setCurrentIndex(tl::StatisticsTab);
    tabs->statisticsTabs()->setCurrentIndex(3);
    press(15);
    window.grid().setTopRow(window.grid().rows() - 1); // down to the total row
    ctx.save(&window, QStringLiteral("盘点-应收款盘点-总计一格-1180x720"));
}
