#pragma once

#include "core/accounts/Registry.h"
#include "core/accounts/Session.h"
#include "core/grid/Grid.h"

#include <QWidget>
#include <memory>

class QLayout;
class QLineEdit;
class QPushButton;

namespace tl {

class Database;
class GridView;

// The login window: lists the registered account sets, lets the operator pick
// one and log in, create a new one or check that every file is still there.
class StartWindow : public QWidget {
    Q_OBJECT
public:
    explicit StartWindow(QWidget* parent = nullptr);
    ~StartWindow() override;

    // Refills the list from the registry (newest first); an empty registry
    // leaves one empty row. Keeps the chosen account set when it is still listed.
    void listAccountSets();
    // Chooses the account set of a list row (1 = the first).
    void selectRow(int row);
    QString currentPath() const { return m_path; }
    Grid& grid() { return m_grid; }

    // After loggedIn: the opened account set, for the main window to keep.
    std::unique_ptr<Database> takeDatabase();
    // After loggedIn: the whole-file check of a large account set is still to
    // run (checkAccountSetFile, once the main window is up).
    bool fileCheckPending() const { return m_fileCheckPending; }

signals:
    // Emitted once, after a successful login, just before the window closes.
    void loggedIn(const tl::Session& session);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    QLayout* buildLoginRow();
    QLayout* buildButtonRow();
    void fitPathColumn();
    void login();
    void newAccountSet();
    void checkAccountSets();

    Grid m_grid;
    GridView* m_view = nullptr;
    QLineEdit* m_name = nullptr;     // T
    QLineEdit* m_user = nullptr;     // User
    QLineEdit* m_password = nullptr; // PSD
    QPushButton* m_buttons[4] = {};  // CM0..CM3
    QList<RegistryEntry> m_entries;
    int m_chosenId = 0;
    QString m_path;
    bool m_centred = false;
    std::unique_ptr<Database> m_db;
    bool m_fileCheckPending = false;
};

} // namespace tl
