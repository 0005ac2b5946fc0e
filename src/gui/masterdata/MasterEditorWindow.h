#pragma once

#include "core/masterdata/MasterTable.h"

#include <QDialog>
#include <QMap>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tl {

class Database;
class Grid;
class GridView;
struct Session;
struct MasterInput;

// The editor of one master table (products, accounts, customers, suppliers,
// operators, classes, warehouses, regions), laid out from the table's
// description: the table's list above, the boxes below, the buttons at the
// bottom. The same window adds (no key) and modifies (a key loaded); every
// button follows the operator's rights for what it would do.
class MasterEditor : public QDialog {
    Q_OBJECT
public:
    MasterEditor(MasterTable table, Session& session, const Database& db,
                 QWidget* parent = nullptr);

    MasterTable table() const { return m_def.id; }
    const MasterTableDef& definition() const { return m_def; }

    // Writing a key into the key box: a key above 0 loads that record and
    // switches to modifying; 0 switches to adding and leaves the boxes alone.
    void setKey(qint64 key);
    qint64 key() const { return m_key; }
    // True once a record was stored or a nested editor may have changed data.
    bool changed() const { return m_changed; }

    QLineEdit* box(int index) const { return m_boxes.value(index); }
    QComboBox* combo() const { return m_combo; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* newButton() const { return m_new; }
    QPushButton* closeButton() const { return m_close; }
    QPushButton* nestedButton() const { return m_nested; } // null when the table has none
    Grid* listGrid() const { return m_grid; }
    GridView* listView() const { return m_view; }
    // The window's status line: what the last save did.
    QLabel* statusLine() const { return m_status; }

public slots:
    void save();
    // Escape, the close button and "退出": asks first when typing is unsaved.
    void reject() override;
    void clearForm();
    void openNested();
    // A row of the list was picked: with the right to modify that record, it is loaded.
    void pickRow(int row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildForm();
    void reloadList();
    void reloadCombo();
    void applyRights();
    MasterInput readInput() const;
    QWidget* firstBox() const;
    void showInput(const MasterInput& input);
    // What the boxes hold now counts as saved.
    void markSaved();

    const MasterTableDef& m_def;
    Session& m_session;
    const Database& m_db;
    qint64 m_key = 0;
    bool m_changed = false;
    bool m_shown = false;
    QMap<int, QLineEdit*> m_boxes;
    QComboBox* m_combo = nullptr;
    QWidget* m_firstBox = nullptr; // the top box of the form
    QPushButton* m_save = nullptr;
    QPushButton* m_new = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_nested = nullptr;
    Grid* m_grid = nullptr;
    GridView* m_view = nullptr;
    QLabel* m_status = nullptr;
    QString m_saved; // the boxes as last loaded or saved
};

} // namespace tl
