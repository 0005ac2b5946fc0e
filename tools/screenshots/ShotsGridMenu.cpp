#include "Shots.h"

#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "gui/importexport/GridMenu.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/widgets/GridView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTableView>

// The grid's pop-up menu over the sales list. A pop-up is a window of its
// own, so the picture is the main window with the menu painted where it opened.
SHOTS(35, "表格菜单") {
    tl::MainWindow window(ctx.session, tl::Database::open(ctx.db.path()));
    window.resize(1180, 720);
    window.show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    QWidget* viewport = window.gridView()->bodyView()->viewport();
    const QPoint at(240, 90);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &event);
    QMenu* menu = window.findChild<tl::GridMenu*>()->menu();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();

    QPixmap picture = window.grab();
    QPainter painter(&picture);
    painter.drawPixmap(viewport->mapTo(&window, at), menu->grab());
    painter.end();
    menu->hide();
    QLabel shown;
    shown.setPixmap(picture);
    shown.setContentsMargins(0, 0, 0, 0);
    ctx.save(&shown, QStringLiteral("主窗口-表格菜单"));
}
