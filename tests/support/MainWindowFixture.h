#pragma once

#include "core/accounts/Rights.h"
#include "core/data/Database.h"
#include "gui/mainwindow/MainTabs.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestAccountSet.h"
#include "support/TestTools.h"

#include <QDateEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

// For the window tests only (they link the window library).
namespace tl::test {

// The settings the program keeps, for a test that poses as the program: in
// a folder of the test, never the user's.
struct ProgramSettings {
    QTemporaryDir dir;
    ProgramSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QCoreApplication::setApplicationName(QStringLiteral("TradeLedger"));
    }
};

// A fresh account set, scripted dialogs, the preset admin's session on the
// set, and once opened the main window on it.
struct MainWindowFixture {
    TestAccountSet set;
    ScriptedDialogs dialogs;
    Session session{set.path(), QStringLiteral("admin"), QStringLiteral("1"), Rights::all()};
    std::unique_ptr<MainWindow> window;

    void open(const QString& rights = Rights::all(),
              Database::OpenMode mode = Database::OpenMode::Existing) {
        session.rights = rights;
        window = std::make_unique<MainWindow>(session, Database::open(set.path(), mode));
    }
    int count(const QString& table) { return rowCount(set.db(), table); }
    MainTabs& tabs() const { return *window->tabs(); }
    QPushButton* button(Bank bank, int index) const { return tabs().button({bank, index}); }
    // Sets the picker pair starting at `first` to the period from .. to.
    void setDates(int first, QDate from, QDate to) const {
        tabs().datePicker(first)->setDate(from);
        tabs().datePicker(first + 1)->setDate(to);
    }
    // `count` sales of 铅笔 and 橡皮 in turn, the i-th of quantity i + 1 and memo "备注i".
    void addSales(int count) {
        set.db().exec("INSERT INTO Product (Name) VALUES ('铅笔'), ('橡皮')");
        Transaction tx(set.db());
        for (int i = 0; i < count; ++i)
            set.db().exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat, Memo) "
                          "VALUES (?, 1, 1, 1, 1, 2, ?, 0, '2009-02-04', ?)",
                          {1 + i % 2, i + 1, QStringLiteral("备注%1").arg(i)});
        tx.commit();
    }
};

} // namespace tl::test
