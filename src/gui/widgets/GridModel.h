#pragma once

#include "core/grid/Grid.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QPointer>

namespace tl {

// Shows a Grid to Qt's item views. Reads the grid's cells directly, so a
// grid of any size costs nothing until it is painted. A structural change of
// the grid resets the model; changed cells announce themselves as changed data.
// Fixed cells are enabled but never selectable and carry the header colour.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(Grid* grid = nullptr, QObject* parent = nullptr);

    Grid* grid() const { return m_grid; }
    void setGrid(Grid* grid);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    bool isFixed(int row, int col) const;
    // The background of fixed cells that set none of their own.
    static QColor fixedBackground();

private:
    void gridReset();
    void gridCellsChanged(int firstRow, int firstCol, int lastRow, int lastCol);

    QPointer<Grid> m_grid;
    QFont m_bold;
};

} // namespace tl
