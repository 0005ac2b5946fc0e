#include "core/accounts/Session.h"
#include "core/sample/SampleData.h"
#include "gui/login/StartWindow.h"
#include "gui/mainwindow/EntryOpeners.h"
#include "gui/mainwindow/FileCheck.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/transactions/OpenEntryWindow.h"
#include "gui/widgets/AppStyle.h"
#include "gui/widgets/QtDialogs.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Before anything asks for the program folder: the per-user fallback is named after it.
    QApplication::setApplicationName(QStringLiteral("TradeLedger"));
    // An installed program: the desktop names its windows after the desktop entry and
    // shows the icon installed with it (no icon in a build folder: the platform's default).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tradeledger.TradeLedger"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.tradeledger.TradeLedger")));
    tl::applyAppStyle(app);
    tl::QtDialogs dialogs;
    tl::Dialogs::install(&dialogs);

    // First start: a registry listing the sample account set.
    tl::Outcome firstStart;
    tl::SampleData::ensureFirstStart(firstStart);
    tl::showOutcome(firstStart);

    // The main window's add and modify buttons of the trade tabs open these.
    tl::EntryOpeners::install(tl::EntryKind::Sale, tl::openSaleEntry);
    tl::EntryOpeners::install(tl::EntryKind::Purchase, tl::openBuyEntry);
    tl::EntryOpeners::install(tl::EntryKind::Transfer, tl::openTransferEntry);

    tl::StartWindow start;
    std::unique_ptr<tl::MainWindow> mainWindow;
    QObject::connect(&start, &tl::StartWindow::loggedIn, &app, [&](const tl::Session& session) {
        mainWindow = std::make_unique<tl::MainWindow>(session, start.takeDatabase());
        mainWindow->show();
        if (start.fileCheckPending())
            QTimer::singleShot(0, mainWindow.get(), [w = mainWindow.get()] {
                tl::checkAccountSetFile(w->database(), w->progress());
            });
    });
    start.show();
    const int rc = app.exec();
    tl::Dialogs::install(nullptr);
    return rc;
}
