#pragma once

#include "core/grid/Grid.h"

#include <QFrame>
#include <QPointer>
#include <vector>

class QTableView;
class QScrollBar;

namespace tl {

class GridModel;

// Shows a Grid: the fixed rows and columns stay put while the rest scrolls
// (four table views share one model: corner, frozen rows, frozen columns and
// the scrollable body, with the body's scroll bars drawn outside them all).
// Sizes come from the grid in twips, a size of 0 hides a row or column, merged
// cells become spans. Mouse and keyboard select whole data rows; the grid's
// current row, selection end, top row, left column and width follow the view.
class GridView : public QFrame {
    Q_OBJECT
public:
    // A view of its own, empty grid.
    explicit GridView(QWidget* parent = nullptr);
    // A view of a grid that the caller keeps alive (or that is a QObject child
    // of something that outlives the view; a destroyed grid shows as empty).
    explicit GridView(Grid* grid, QWidget* parent = nullptr);
    ~GridView() override;

    Grid* grid() const;
    void setGrid(Grid* grid);
    GridModel* model() const { return m_model; }

    // The four parts, for tests and for callers that want focus or a picture.
    QTableView* bodyView() const { return m_body; }
    QTableView* topView() const { return m_top; }
    QTableView* leftView() const { return m_left; }
    QTableView* cornerView() const { return m_corner; }

    // 15 twips to the pixel, rounded; any positive size shows at least 1 pixel.
    static int toPixels(int twips);
    // The position of a point of this widget in grid twips, measured from the
    // grid's top-left corner including the frozen part, the way the header
    // logic expects it (scrolled columns count from the left column).
    QPoint twipsAt(const QPoint& pos) const;

signals:
    // A data cell (row at or below the fixed rows) was clicked / double-clicked;
    // the column may be a fixed one when the click was in the frozen columns.
    void cellClicked(int row, int col);
    void cellDoubleClicked(int row, int col);
    // The left button went down in the fixed rows, at this grid position.
    void headerPressed(int xTwips, int yTwips);
    // The context menu was asked for (right button or menu key).
    void rightClicked(const QPoint& globalPos);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QTableView* makePart(bool body);
    void connectScrolling();
    void connectModel();
    void applyLayout();
    int commonRowHeight(int fallback) const;
    void layoutPart(int part, QTableView* view, int commonHeight);
    void sizeFrozenParts();
    void applySpans();
    void syncToGrid();
    void syncFromGrid();
    void scrollToRow(int row);
    void noteViewPosition();
    void pressInFrozenColumns(const QPoint& viewportPos, Qt::KeyboardModifiers modifiers);
    int axisTwips(bool horizontal, bool frozen, int pos) const;

    QPointer<Grid> m_grid;
    Grid* m_ownGrid = nullptr;
    GridModel* m_model = nullptr;
    QTableView* m_body = nullptr;
    QTableView* m_top = nullptr;
    QTableView* m_left = nullptr;
    QTableView* m_corner = nullptr;
    QScrollBar* m_vbar = nullptr;
    QScrollBar* m_hbar = nullptr;
    QWidget* m_filler = nullptr;
    bool m_syncing = false;
    // Rows given a size or hidden by the last layout, per view, so the next
    // layout can undo them without visiting every row.
    std::vector<int> m_specialRows[4];
};

} // namespace tl
