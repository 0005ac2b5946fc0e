#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

namespace tl {

class Database;
class Grid;
class GridView;
struct Session;

// "设置操作员权限": the rights of one operator as a list of marks. A click on
// the mark of a group marks or clears the whole group; saving stores the marked
// names and, for the logged-in operator, changes his rights at once.
class RightsEditor : public QDialog {
    Q_OBJECT
public:
    RightsEditor(Session& session, const Database& db, QWidget* parent = nullptr);

    // Chooses the operator and lists his rights.
    void selectOperator(qint64 uid, const QString& name);
    qint64 operatorId() const;
    bool saved() const { return m_saved; }
    // What a save did, for the opener's status line (the window closes on saving):
    // "已保存操作员“张三”的权限。"
    QString savedText() const;

    QComboBox* operatorCombo() const { return m_operators; }
    Grid* sheet() const { return m_sheet; }
    GridView* sheetView() const { return m_view; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }

public slots:
    void save();
    void toggle(int row, int col);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void operatorChosen();
    // Another operator was picked: asks first when marks are unsaved.
    void operatorSwitched(int index);

    Session& m_session;
    const Database& m_db;
    bool m_saved = false;
    int m_shownIndex = -1; // the operator whose rights are on the sheet
    QString m_shownRights; // as stored, to notice unsaved marks
    QComboBox* m_operators = nullptr;
    Grid* m_sheet = nullptr;
    GridView* m_view = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace tl
