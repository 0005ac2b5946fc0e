#pragma once

#include <QWidget>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QDateEdit;

namespace tl {

struct Command;

// One page of the main window: a row of command buttons and pickers at the
// top, a keyword box at its right end, and below them the area where the
// shared grid sits while this page is current.
class CommandPage : public QWidget {
    Q_OBJECT
public:
    explicit CommandPage(QWidget* parent = nullptr);

    // A button carrying the command's caption, object name and right (in the
    // "right" property).
    QPushButton* addCommand(const Command& command);
    // "关键词：" and keyword box TXT(index), kept at the right end of the row.
    QLineEdit* addKeywordBox(int index);
    // A labelled pair of date pickers DTP3(first) and DTP3(first + 1).
    void addPeriod(int first);
    void addWidget(QWidget* widget);
    void addLabelled(const QString& label, QWidget* widget);
    void addSpacing();

    QWidget* gridArea() const { return m_gridArea; }

private:
    QHBoxLayout* m_row = nullptr;
    int m_insertAt = 0; // before the stretch that pushes the keyword box right
    QWidget* m_gridArea = nullptr;
};

} // namespace tl
