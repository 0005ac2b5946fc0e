#include "gui/widgets/GridModel.h"

#include "core/grid/Grid.h"
#include "core/grid/GridFormat.h"
#include "gui/widgets/GridView.h"

#include <QFontMetrics>
#include <QGuiApplication>

namespace tl {

namespace {

constexpr int kTextMargins = 8; // pixels of a cell that its text does not get

} // namespace

GridModel::GridModel(Grid* grid, QObject* parent) : QAbstractTableModel(parent) {
    setGrid(grid);
}

void GridModel::setGrid(Grid* grid) {
    beginResetModel();
    if (m_grid)
        disconnect(m_grid, nullptr, this, nullptr);
    m_grid = grid;
    if (grid) {
        connect(grid, &Grid::structureChanged, this, &GridModel::gridReset);
        connect(grid, &Grid::cellsChanged, this, &GridModel::gridCellsChanged);
        connect(grid, &QObject::destroyed, this, &GridModel::gridReset);
    }
    endResetModel();
}

void GridModel::gridReset() {
    // The grid has already changed when it says so; the views only need to
    // drop what they know.
    beginResetModel();
    endResetModel();
}

void GridModel::gridCellsChanged(int firstRow, int firstCol, int lastRow, int lastCol) {
    if (!m_grid || firstRow < 0 || firstCol < 0 || lastRow >= rowCount() ||
        lastCol >= columnCount() || firstRow > lastRow || firstCol > lastCol)
        return;
    emit dataChanged(index(firstRow, firstCol), index(lastRow, lastCol));
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_grid ? 0 : m_grid->rows();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_grid ? 0 : m_grid->cols();
}

bool GridModel::isFixed(int row, int col) const {
    return m_grid && (row < m_grid->fixedRows() || col < m_grid->fixedCols());
}

QColor GridModel::fixedBackground() {
    return fixedCellColor();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!m_grid || !index.isValid() || index.row() >= m_grid->rows() ||
        index.column() >= m_grid->cols())
        return {};
    const int r = index.row();
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_grid->text(r, c);
    case Qt::BackgroundRole: {
        const QColor back = m_grid->style(r, c).back;
        if (back.isValid())
            return back;
        if (isFixed(r, c))
            return fixedBackground();
        return {};
    }
    case Qt::ForegroundRole: {
        const QColor fore = m_grid->style(r, c).fore;
        return fore.isValid() ? QVariant(fore) : QVariant();
    }
    case Qt::FontRole:
        if (m_grid->style(r, c).bold) {
            QFont f = QGuiApplication::font();
            f.setBold(true);
            return f;
        }
        return {};
    case Qt::ToolTipRole: {
        // A text cut off by its column (a long name in a header) shows whole.
        const QString text = m_grid->text(r, c);
        if (text.isEmpty())
            return {};
        QFont f = QGuiApplication::font();
        f.setBold(m_grid->style(r, c).bold);
        const int room = GridView::toPixels(m_grid->colWidth(c)) - kTextMargins;
        return QFontMetrics(f).horizontalAdvance(text) > room ? QVariant(text) : QVariant();
    }
    case Qt::TextAlignmentRole: {
        // Rows hold one line of text: the vertical part of a grid alignment
        // would only move it a pixel or two, so text always sits centred.
        Qt::Alignment a = m_grid->alignment(r, c) & Qt::AlignHorizontal_Mask;
        if (!a)
            a = Qt::AlignLeft;
        return (a | Qt::AlignVCenter).toInt();
    }
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!m_grid || !index.isValid() || index.row() >= m_grid->rows() ||
        index.column() >= m_grid->cols())
        return Qt::NoItemFlags;
    if (isFixed(index.row(), index.column()))
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // The grid's own fixed rows and columns are its headers; the views hide
    // Qt's. Numbers from 1 serve anyone who shows them anyway.
    if (role != Qt::DisplayRole || section < 0)
        return {};
    const int count = orientation == Qt::Horizontal ? columnCount() : rowCount();
    if (section >= count)
        return {};
    return section + 1;
}

} // namespace tl
