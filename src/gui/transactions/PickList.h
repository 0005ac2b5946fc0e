#pragma once

#include <QComboBox>
#include <QElapsedTimer>

namespace tl {

// A drop-down list of "key‖name" items from which a value can only be picked:
// no typed text ever becomes its value. Typing opens the list at the first item
// whose name starts with (else contains) what was typed, and the operator
// confirms it with Enter; arrow keys and the wheel open the list instead of
// changing a closed one behind the operator's back. Empty (no item chosen)
// means key 0.
class PickList : public QComboBox {
    Q_OBJECT
public:
    explicit PickList(QWidget* parent = nullptr);

    // The chosen item's key; 0 when nothing is chosen.
    int id() const;

    // Chooses the item of a key (0: nothing). A key missing from the list (a
    // record that refers to a deleted master row) is added as the given text,
    // so that saving the record again keeps the key instead of writing 0.
    void choose(int key, const QString& text);
    void clearChoice() { setCurrentIndex(-1); }

    // The row of the first item matching typed text: names that start with it
    // come first, then names holding it, then keys that start with it; -1 for none.
    int findTyped(const QString& typed) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Adds typed text to what was typed lately and shows the match in the open list.
    void typeAhead(const QString& text);

    QString m_typed;
    QElapsedTimer m_lastKey;
};

} // namespace tl
