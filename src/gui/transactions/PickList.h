#pragma once

#include <QComboBox>

namespace tl {

// A drop-down list of "key‖name" items from which a value can only be picked:
// typed characters are swallowed, so no text outside the list ever gets in.
// Empty (no item chosen) means key 0.
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

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};

} // namespace tl
