#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <vector>

namespace tl {

struct CellStyle {
    QColor back; // invalid: the view's default
    QColor fore; // invalid: the view's default
    bool bold = false;
    Qt::Alignment align{}; // empty: the column's alignment
};

// The table of the whole program: record lists, master lists, reports, chart
// tables and exports fill or read a Grid; a GridView shows one. Sizes are in
// twips (15 twips = 1 pixel at 96 dpi); a size of 0 hides a row or column.
// Rows 0..fixedRows-1 and columns 0..fixedCols-1 stay frozen in the view.
class Grid : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultRowHeight = 330; // twips
    static constexpr int kDefaultColWidth = 1200; // twips

    explicit Grid(QObject* parent = nullptr);

    int rows() const { return static_cast<int>(m_rows.size()); }
    int cols() const { return m_cols; }
    void setRows(int n);
    void setCols(int n);
    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setFixedRows(int n);
    void setFixedCols(int n);
    // Resets to an empty grid of the given shape: texts, styles, sizes, merges,
    // tag and selection all cleared.
    void reset(int rows, int cols, int fixedRows, int fixedCols);
    // Clears texts and styles, keeping the shape and sizes.
    void clear();
    int addRow(); // appends an empty row, returns its index

    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    // Unchecked fast access for loaders that own the grid (row and col must be valid).
    QString& cellRef(int row, int col) { return m_rows[row].cells[col]; }

    CellStyle style(int row, int col) const;
    void setBackColor(int row, int col, const QColor& color);
    void setTextColor(int row, int col, const QColor& color);
    void setBold(int row, int col, bool bold = true);
    void setCellAlignment(int row, int col, Qt::Alignment align);
    Qt::Alignment alignment(int row, int col) const; // the cell's, else the column's
    Qt::Alignment colAlignment(int col) const;
    void setColAlignment(int col, Qt::Alignment align);

    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    int colWidth(int col) const;
    void setColWidth(int col, int twips);

    // Cell merging: with merging on, neighbouring cells of a flagged row (or
    // column) that hold the same text show as one cell.
    bool mergeCells() const { return m_merge; }
    void setMergeCells(bool on);
    bool mergeRow(int row) const;
    void setMergeRow(int row, bool on);
    bool mergeCol(int col) const;
    void setMergeCol(int col, bool on);

    // Cells shown as one whatever their texts, apart from the merging above
    // (which leaves them alone): the area at (row, col) rowSpan rows high and
    // colSpan columns wide. reset() removes them.
    void addSpan(int row, int col, int rowSpan, int colSpan);
    const QList<QRect>& spans() const { return m_spans; }

    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    // Current cell and the other end of the selection.
    int row() const { return m_row; }
    int col() const { return m_col; }
    int rowSel() const { return m_rowSel; }
    int colSel() const { return m_colSel; }
    void setCurrent(int row, int col);                           // selection collapses to the cell
    void setSelection(int row, int col, int rowSel, int colSel); // current = (row, col)
    // No cell is current until one is set: the view shows no selection (a
    // report opens with its colours in view), while row() and col() keep
    // their values for code that reads them. reset() makes the first data
    // cell current again.
    bool hasCurrent() const { return m_hasCurrent; }
    void clearCurrent();

    // What the view shows: first scrollable row and column on screen, and the
    // width of the view in twips. The view keeps these up to date.
    int topRow() const { return m_topRow; }
    int leftCol() const { return m_leftCol; }
    void setTopRow(int row);
    // Records where the view stands after the operator scrolled, without
    // asking the view to scroll.
    void setViewPosition(int topRow, int leftCol) {
        m_topRow = topRow;
        m_leftCol = leftCol;
    }
    int widthTwips() const { return m_width; }
    void setWidthTwips(int twips) { m_width = twips; }

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);

    // Sorts the scrollable rows by one column: texts that read as numbers
    // compare as numbers (before texts), the rest as text. Whole rows move.
    void sortRows(int col, bool ascending);

    // Batch changes: signals are held back until the outermost endUpdate,
    // which announces one reset.
    void beginUpdate() { ++m_updating; }
    void endUpdate();

signals:
    void structureChanged(); // shape, sizes, merges or many cells changed
    void cellsChanged(int firstRow, int firstCol, int lastRow, int lastCol);
    void currentChanged();
    void scrollRequested(int topRow);
    void visibilityChanged(bool visible);

private:
    struct Row {
        std::vector<QString> cells;
        QHash<int, CellStyle> styles;
        int height = -1;
        bool merge = false;
    };
    bool valid(int row, int col) const {
        return row >= 0 && row < rows() && col >= 0 && col < m_cols;
    }
    void changedStructure();
    void changedCell(int row, int col);
    CellStyle& styleRef(int row, int col) { return m_rows[row].styles[col]; }

    std::vector<Row> m_rows;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    std::vector<int> m_colWidth;
    std::vector<Qt::Alignment> m_colAlign;
    std::vector<bool> m_colMerge;
    bool m_merge = false;
    QList<QRect> m_spans;
    QString m_tag;
    int m_row = 0, m_col = 0, m_rowSel = 0, m_colSel = 0;
    bool m_hasCurrent = true;
    int m_topRow = 0, m_leftCol = 0, m_width = 9000;
    bool m_visible = true;
    int m_updating = 0;
    bool m_pendingReset = false;
};

} // namespace tl
