#pragma once

#include "gui/widgets/Dialogs.h"

#include <QDialog>
#include <QList>
#include <QString>

class QBoxLayout;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tl {

class Database;
class Grid;
class GridView;
class PickList;
struct Session;

// What the sale, purchase and transfer windows share: the ID box whose value
// chooses between adding and modifying, the save caption that follows it, the
// date picker, the row of buttons with their rights, the history grid whose
// double click picks a record, and what happens after a save.
class EntryWindow : public QDialog {
    Q_OBJECT
public:
    // addRight gates the "新记录" button and, after a save, empties the ID box
    // for the next entry; modifyRight is needed to pick a history row.
    EntryWindow(Session& session, const Database& db, const QString& addRight,
                const QString& modifyRight, QWidget* parent);

    // Puts a record key into the ID box: a key loads that record for modifying,
    // 0 (or nothing) returns to adding.
    void setRecordId(qint64 id);
    // The ID box's numeric value; 0 in add mode.
    qint64 recordId() const;
    // True once a save went through or a master editor may have changed lists.
    bool mayHaveChanged() const { return m_changed; }
    // The record of the last save; 0 before the first.
    qint64 lastSavedId() const { return m_lastSaved; }
    // The window's status line: what the last save did.
    QLabel* statusLine() const { return m_status; }

    // Escape, the close button and "退  出": asks first when typing is unsaved.
    void reject() override;

    static const QString addCaption;    // "添  加"
    static const QString modifyCaption; // "修  改"

protected:
    // Building blocks for the subclasses' constructors.
    QLineEdit* numberBox(const QString& name);
    QLineEdit* textBox(const QString& name);
    static void showAsComputed(QLineEdit* box);
    PickList* pickList(const QString& name);
    // A right-aligned form label that focuses its box on its mnemonic.
    QLabel* formLabel(const QString& text, QWidget* buddy);
    // A small text beside a box that shows its hint without hovering.
    QLabel* hintLabel(const QString& name);
    // Colours a quantity box and its hint when the quantity lies beyond the
    // stock (a warning only: nothing is refused).
    static void markBeyondLimit(QLineEdit* box, QLabel* hint, bool beyond);
    // A button that needs a right; disabled while the operator lacks it.
    QPushButton* rightButton(const QString& caption, const QString& right, const QString& name);
    // Lays out the form above the button row and the history grid below.
    void assemble(QLayout* form, const QString& historyCaption);
    void addToButtonRow(QWidget* widget);

    // The mode switch: load the record of the ID box, or clear the form.
    virtual void loadRecord(qint64 id) = 0;
    virtual void clearForm() = 0;
    // Checks the boxes and saves through the core; shows any message itself.
    // Returns the key of the stored record, 0 when nothing was stored.
    virtual qint64 saveRecord(qint64 id) = 0;
    // The box the form starts in, and the box to fix after a refusal.
    virtual QWidget* firstBox() const = 0;
    virtual QWidget* boxAtFault() const = 0;
    virtual void refreshHints() = 0;
    virtual void loadHistory(Grid& grid) = 0;

    // Fills the history, applies the rights and the mode of the ID box; the
    // final window classes call it at the end of their constructors.
    void start();

    // The save every entry window makes: the store's checks first (the first
    // failure shown, nothing written), then add (id 0) or modify, which reports
    // a record that has gone.
    template <class Store, class Input> qint64 saveThrough(qint64 id, const Input& input) {
        if (const QString problem = Store::check(input); !problem.isEmpty()) {
            dialogs().info(problem);
            return 0;
        }
        if (id == 0)
            return Store::add(m_db, input);
        QString message;
        if (!Store::modify(m_db, id, input, &message)) {
            dialogs().info(message);
            return 0;
        }
        return id;
    }

    void markChanged() { m_changed = true; }
    void reloadHistory();

    Session& m_session;
    const Database& m_db;
    QLineEdit* m_idBox = nullptr;
    QDateEdit* m_date = nullptr;
    QPushButton* m_newButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_quitButton = nullptr;

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applyModeOfIdBox();
    void newRecord();
    void save();
    // Selects a record's row in the history and scrolls it into view.
    void showInHistory(qint64 id);
    void pickHistoryRow(int row);
    void applyRights();
    // What the form holds now counts as saved.
    void markSaved();

    struct Gated {
        QPushButton* button;
        QString right;
    };
    QList<Gated> m_gated;
    QString m_addRight;
    QString m_modifyRight;
    QBoxLayout* m_buttonRow = nullptr;
    Grid* m_grid = nullptr;
    GridView* m_gridView = nullptr;
    QLabel* m_status = nullptr;
    QString m_saved; // the form as last loaded, cleared or saved
    qint64 m_lastSaved = 0;
    bool m_changed = false;
    bool m_fitted = false;
};

} // namespace tl
