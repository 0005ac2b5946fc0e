#pragma once

#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QStackedWidget;

namespace tl {

// Registers a new account set: a name, and where its data lives: a file (a
// new copy of the template, or an existing account-set file), a new account
// set made in an empty database on a server, or one already on a server.
class NewDbWindow : public QDialog {
    Q_OBJECT
public:
    explicit NewDbWindow(QWidget* parent = nullptr);

    enum Where { InFile, NewOnServer, OnServer };

private:
    void browse();
    void add();
    void addOnServer(Where where);
    void showWhere();

    QLineEdit* m_name = nullptr;    // T0
    QLineEdit* m_file = nullptr;    // T1
    QLineEdit* m_address = nullptr; // the server's address instead of the file
    QLabel* m_placeLabel = nullptr;
    QStackedWidget* m_place = nullptr;
    QButtonGroup* m_where = nullptr;
};

} // namespace tl
