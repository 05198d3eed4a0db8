#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include "grid_cells.h"

// Table model over the grid's cells. Grid coordinates count the fixed rows and columns; the
// model shows only the scrolling part (grid row r is model row r - fixed rows), and the fixed
// cells are offered as header data (the first fixed row and column) to the header views.
class CGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CGridModel(QObject* parent = nullptr);

    CGridCells& cells() { return cells_; }
    const CGridCells& cells() const { return cells_; }

    int fixedRows() const { return fixedRows_; }
    int fixedColumns() const { return fixedColumns_; }

    // Structure changes in grid coordinates, with the model signals the view needs.
    bool setGridSize(int rows, int columns);
    bool setFixed(int rows, int columns);
    bool insertGridRow(int at);
    bool removeGridRow(int at);
    bool insertGridColumn(int at);
    bool removeGridColumn(int at);
    // Tells the views that a cell changed (data or, for fixed cells, header
    // data; a corner cell is the view's own business, see CGridView::syncFixed).
    void cellChanged(int row, int col);

    void setEditable(bool on) { editable_ = on; }
    bool editable() const { return editable_; }
    void setDefaultBackground(QColor c) { defaultBackground_ = c; }
    QColor defaultBackground() const { return defaultBackground_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Model index of a scrolling grid cell; invalid for fixed cells and cells out of range.
    QModelIndex gridIndex(int row, int col) const;
    QVariant cellData(int row, int col, int role) const;

private:
    CGridCells cells_;
    int fixedRows_ = 0;
    int fixedColumns_ = 0;
    bool editable_ = true;
    QColor defaultBackground_ = Qt::white;
};
