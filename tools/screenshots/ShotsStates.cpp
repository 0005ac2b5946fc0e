// States worth seeing besides the plain windows: an entry window after a save
// (status line, selected history row, visible hints, a quantity above the
// stock) and while a save waits for another copy, the operator editor after
// a save, a main-window page without its right, the main window on a
// read-only account set, and question boxes with Qt's own buttons in Chinese.
#include "Shots.h"

#include "core/accounts/Rights.h"
#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/masterdata/MasterEditorWindow.h"
#include "gui/transactions/PickList.h"
#include "gui/transactions/SaleEntryWindow.h"
#include "gui/widgets/BusyNotice.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/SystemBoxes.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {

void pickFirst(tl::PickList* list) {
    if (list && list->count() > 0) {
        list->setCurrentIndex(0);
        emit list->activated(0);
    }
}

} // namespace

SHOTS(60, "states") {
    {
        // Saved inside a transaction that is rolled back: the sample stays as it was.
        tl::Transaction keep(ctx.db);
        tl::SaleEntryWindow sale(ctx.session, ctx.db);
        for (const char* name : {"product", "customer", "account", "storage"})
            pickFirst(sale.findChild<tl::PickList*>(name));
        sale.findChild<QLineEdit*>("price")->setText(QStringLiteral("35"));
        sale.findChild<QLineEdit*>("num")->setText(QStringLiteral("2"));
        sale.findChild<QPushButton*>("saveButton")->click();
        sale.findChild<QLineEdit*>("num")->setText(QStringLiteral("99999"));
        ctx.save(&sale, tl::SaleEntryWindow::caption + QStringLiteral("-已保存"));
        // The notice is shown in the active window.
        sale.show();
        QApplication::setActiveWindow(&sale);
        tl::busyNotice(true);
        ctx.save(&sale, tl::SaleEntryWindow::caption + QStringLiteral("-等待另一处保存"));
        tl::busyNotice(false);

        tl::MasterEditor staff(tl::MasterTable::Staff, ctx.session, ctx.db);
        staff.box(0)->setText(QStringLiteral("张三"));
        staff.box(10)->setText(QStringLiteral("1"));
        staff.box(11)->setText(QStringLiteral("1"));
        staff.saveButton()->click();
        ctx.save(&staff, staff.windowTitle() + QStringLiteral("-已保存"));
    }
    {
        auto readOnly = tl::Database::open(ctx.db.path(), tl::Database::OpenMode::ReadOnly);
        tl::MainWindow window(ctx.session, std::move(readOnly));
        ctx.save(&window, QStringLiteral("主窗口-只读套帐"));
    }
    {
        tl::Session limited = ctx.session;
        QStringList rights = tl::Rights::all().split(tl::Rights::separator);
        rights.removeAll(QStringLiteral("操作销售记录"));
        limited.rights = tl::Rights::join(rights);
        tl::MainWindow window(limited, tl::Database::open(ctx.db.path()));
        ctx.save(&window, QStringLiteral("主窗口-无查看权限"));
    }
    const auto box = tl::makeMessageBox(nullptr, QMessageBox::Question,
                                        QStringLiteral("确实要删除选定的 3 条记录吗？"),
                                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    ctx.save(box.get(), QStringLiteral("提问框"));
    const auto discard =
        tl::makeMessageBox(nullptr, QMessageBox::Question, QStringLiteral("放弃尚未保存的内容吗？"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    ctx.save(discard.get(), QStringLiteral("提问框-放弃未保存内容"));
}
