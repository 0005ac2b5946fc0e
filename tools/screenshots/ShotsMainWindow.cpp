#include "Shots.h"

#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "gui/mainwindow/EntryOpeners.h"
#include "gui/mainwindow/MainTabs.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/transactions/OpenEntryWindow.h"

#include <QTabWidget>

SHOTS(30, "主窗口") {
    tl::EntryOpeners::install(tl::EntryKind::Sale, tl::openSaleEntry);
    tl::EntryOpeners::install(tl::EntryKind::Purchase, tl::openBuyEntry);
    tl::EntryOpeners::install(tl::EntryKind::Transfer, tl::openTransferEntry);
    tl::MainWindow window(ctx.session, tl::Database::open(ctx.db.path()));
    window.show();
    tl::MainTabs* tabs = window.tabs();
    const struct {
        int tab;
        QTabWidget* inner;
    } pages[] = {{tl::SalesTab, nullptr},
                 {tl::PurchasesTab, nullptr},
                 {tl::TransfersTab, nullptr},
                 {tl::StatisticsTab, tabs->statisticsTabs()},
                 {tl::ChartsTab, tabs->chartTabs()},
                 {tl::SettingsTab, tabs->settingsTabs()}};
    for (const auto& page : pages) {
        tabs->setCurrentIndex(page.tab);
        const QString name = QStringLiteral("主窗口-") + tabs->tabText(page.tab).remove(' ');
        if (!page.inner) {
            ctx.save(&window, name);
            continue;
        }
        for (int i = 0; i < page.inner->count(); ++i) {
            page.inner->setCurrentIndex(i);
            ctx.save(&window, name + QStringLiteral("-") +
                                  page.inner->tabText(i).replace('/', QStringLiteral("与")));
        }
        page.inner->setCurrentIndex(0);
    }
}
