#pragma once

#include "gui/widgets/PrintActions.h"

#include <QWidget>

class QMenu;

namespace tl {

class Grid;

// The chart drawing area of a chart page (Pic): keeps a copy of the chart
// table it shows and redraws it at its own size and the screen's pixel
// density. A right-click (or the menu key) opens the picture menu, whose
// "保存图片" saves the chart as it is shown, border included.
class ChartView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBorder = 1; // pixels of grey frame, part of the saved picture

    explicit ChartView(QWidget* parent = nullptr);

    void setChart(const Grid& table, const QString& title);
    void clearChart();
    bool hasChart() const { return m_hasChart; }
    const Grid& table() const { return *m_table; }
    QString title() const { return m_title; }

    // The picture menu (mPOPMenu2 with mSavePic), built on first use; its
    // commands are enabled while a chart is shown.
    QMenu* pictureMenu();
    // Adds "打印…", "打印预览…" and "导出PDF…" (m_PrintPic ...) to the picture
    // menu, printing the document source makes.
    void addPrintCommands(PrintActions::ProgressOf progress, PrintActions::Source source);
    PrintActions* printing() const { return m_printing; }
    // The save flow of "保存图片": file dialog (JPEG, PNG or PDF), ".jpg"
    // appended to a name without a picture extension, the overwrite question,
    // "保存图片出错！" when the file cannot be written.
    void savePicture();

protected:
    bool event(QEvent* event) override; // tool tip: the values of the month under the mouse
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    Grid* m_table = nullptr;
    QString m_title;
    bool m_hasChart = false;
    QMenu* m_menu = nullptr;
    PrintActions* m_printing = nullptr;
};

} // namespace tl
