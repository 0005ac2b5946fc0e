#include "data/SampleData.h"
#include "data/Session.h"
#include "login/StartWindow.h"
#include "widgets/AppStyle.h"
#include "widgets/QtDialogs.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Before anything asks for the program folder: the per-user fallback is named after it.
    QApplication::setApplicationName(QStringLiteral("TradeLedger"));
    tl::applyAppStyle(app);
    tl::QtDialogs dialogs;
    tl::Dialogs::install(&dialogs);

    // First start: a registry listing the sample account set.
    tl::SampleData::ensureFirstStart();

    tl::StartWindow start;
    QObject::connect(&start, &tl::StartWindow::loggedIn, &app, [&](const tl::Session&) {
        // MAIN WINDOW HOOKUP: open tl::MainWindow(session, start.takeDatabase()) here and
        // show it before the login window closes. Until it exists, a login ends the run.
        QApplication::quit();
    });
    start.show();
    const int rc = app.exec();
    tl::Dialogs::install(nullptr);
    return rc;
}
