#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tl {

// Registers a new account set: a name, and the file that holds its data
// (a new copy of the template, or an existing account-set file).
class NewDbWindow : public QDialog {
    Q_OBJECT
public:
    explicit NewDbWindow(QWidget* parent = nullptr);

private:
    void browse();
    void add();

    QLineEdit* m_name = nullptr; // T0
    QLineEdit* m_file = nullptr; // T1
};

} // namespace tl
