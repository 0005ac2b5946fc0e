#pragma once

#include <QDialog>
#include <QStringList>

class QPushButton;

namespace tl {

class Grid;
class GridView;

// The worksheet chooser: one row per worksheet of a workbook, the first one
// marked "√". A click on a row marks it (clearing every other mark) or, when
// it is marked, clears it; Space does the same for the current row.
class SheetsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SheetsDialog(const QStringList& sheets, QWidget* parent = nullptr);

    // Toggles the mark of a data row (1 = the first worksheet).
    void toggleRow(int row);
    // The name in the marked row; empty when no row is marked.
    QString markedSheet() const;
    // What OK chose; empty after Cancel.
    QString chosenSheet() const { return m_chosen; }

    Grid* grid() const { return m_grid; }
    GridView* view() const { return m_view; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    Grid* m_grid = nullptr;
    GridView* m_view = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QString m_chosen;
};

// Lets the operator pick a worksheet of the workbook at path. A workbook that
// cannot be read shows "无法打开XLS文件！" (one the .xls reader gave up on, or
// one over the workbook limits, its own message). Empty when nothing was chosen.
QString chooseSheet(QWidget* owner, const QString& path);

} // namespace tl
