#pragma once

#include <QDateEdit>

namespace tl {

// A date picker that is one stop in the tab order: Tab leaves it instead of
// walking through year, month and day (the arrow keys still move between them).
// Digits typed with no section selected fill the date from the year on, so
// 20240315 typed wherever the cursor stands gives 2024-03-15.
class DateBox : public QDateEdit {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_typed = 0; // digits of the date being typed, 0 when none
};

} // namespace tl
