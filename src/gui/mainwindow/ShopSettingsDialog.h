#pragma once

#include <QDialog>

class QLineEdit;

namespace tl {

class Database;
struct Session;

// "单据设置": the shop's name, address and telephone that the sale and
// purchase slips print. Enter saves, Escape cancels.
class ShopSettingsDialog : public QDialog {
    Q_OBJECT
public:
    ShopSettingsDialog(const Database& db, const Session& session, QWidget* parent = nullptr);

    QLineEdit* nameBox() const { return m_name; }
    QLineEdit* addressBox() const { return m_address; }
    QLineEdit* phoneBox() const { return m_phone; }
    // The 保存 button: true when saved (the dialog then closes); a refusal
    // is shown and the dialog stays.
    bool save();

private:
    const Database& m_db;
    const Session& m_session;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_phone = nullptr;
};

} // namespace tl
