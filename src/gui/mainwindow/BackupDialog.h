#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tl {

class Database;
class Progress;

// "备份套帐": writes a consistent copy of the open account set to a file the
// operator names (a dated name beside the account set is proposed), through
// backupAccountSet. An existing file is replaced only after a Yes.
class BackupDialog : public QDialog {
    Q_OBJECT
public:
    BackupDialog(const Database& db, Progress& progress, QWidget* parent = nullptr);

    QLineEdit* pathBox() const { return m_path; }
    // The 备份 button: true when the copy was written (the dialog then closes).
    bool backup();

private:
    void browse();

    const Database& m_db;
    Progress& m_progress;
    QLineEdit* m_path = nullptr;
};

} // namespace tl
