#pragma once

#include <QDateEdit>

namespace tl {

// A date picker that is one stop in the tab order: Tab leaves it instead of
// walking through year, month and day (the arrow keys still move between them).
class DateBox : public QDateEdit {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
};

} // namespace tl
