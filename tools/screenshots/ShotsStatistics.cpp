#include "Shots.h"

#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "core/support/Clock.h"
#include "core/values/Dates.h"
#include "gui/mainwindow/MainTabs.h"
#include "gui/mainwindow/MainWindow.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>

// Every report of the "盘 点" tab filled from the sample account set.
SHOTS(31, "盘点") {
    tl::MainWindow window(ctx.session, tl::Database::open(ctx.db.path()));
    window.resize(1400, 800);
    window.show();
    tl::MainTabs* tabs = window.tabs();
    tabs->setCurrentIndex(tl::StatisticsTab);
    // The stock change over the last three months.
    tabs->datePicker(0)->setDate(tl::firstOfMonth(tl::Clock::today()).addMonths(-2));
    const struct {
        int page;
        int command;
        const char* name;
        bool hideEmpty;
    } shots[] = {
        {0, 12, "盘点-当前库存量", false},   {0, 12, "盘点-当前库存量-隐藏无数据行列", true},
        {0, 10, "盘点-库存数量变化", false}, {0, 11, "盘点-库存金额变化", false},
        {1, 13, "盘点-销售盘点", false},     {2, 14, "盘点-采购盘点", false},
        {3, 15, "盘点-应收款盘点", false},   {4, 16, "盘点-应付款盘点", false},
    };
    for (const auto& s : shots) {
        tabs->statisticsTabs()->setCurrentIndex(s.page);
        if (QCheckBox* box = window.findChild<QCheckBox*>(QStringLiteral("CHK3_0")))
            box->setChecked(s.hideEmpty);
        tabs->button({tl::Bank::Trade, s.command})->click();
        ctx.save(&window, QString::fromUtf8(s.name));
    }
}
