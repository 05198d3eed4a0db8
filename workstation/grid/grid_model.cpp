#include "grid_model.h"

#include <QBrush>

CGridModel::CGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int CGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cells_.rowCount() - fixedRows_;
}

int CGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cells_.columnCount() - fixedColumns_;
}

QModelIndex CGridModel::gridIndex(int row, int col) const {
    if (row < fixedRows_ || col < fixedColumns_ || !cells_.contains(row, col)) return {};
    return index(row - fixedRows_, col - fixedColumns_);
}

QVariant CGridModel::cellData(int row, int col, int role) const {
    if (!cells_.contains(row, col)) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return cells_.text(row, col);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(gridAlignment(cells_.format(row, col)));
        case Qt::BackgroundRole:
            if (auto bg = cells_.background(row, col)) return QBrush(QColor(*bg));
            return {};
        default:
            return {};
    }
}

QVariant CGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    return cellData(index.row() + fixedRows_, index.column() + fixedColumns_, role);
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (fixedRows_ == 0) return {};
        return cellData(0, section + fixedColumns_, role);
    }
    if (fixedColumns_ == 0) return {};
    return cellData(section + fixedRows_, 0, role);
}

Qt::ItemFlags CGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable_) f |= Qt::ItemIsEditable;
    return f;
}

bool CGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !editable_ || role != Qt::EditRole) return false;
    const int r = index.row() + fixedRows_, c = index.column() + fixedColumns_;
    if (!cells_.setText(r, c, value.toString())) return false;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

void CGridModel::cellChanged(int row, int col) {
    if (!cells_.contains(row, col)) return;
    if (row >= fixedRows_ && col >= fixedColumns_) {
        const QModelIndex i = index(row - fixedRows_, col - fixedColumns_);
        emit dataChanged(i, i);
        return;
    }
    if (row < fixedRows_ && col >= fixedColumns_) {
        const int s = col - fixedColumns_;
        emit headerDataChanged(Qt::Horizontal, s, s);
    }
    if (col < fixedColumns_ && row >= fixedRows_) {
        const int s = row - fixedRows_;
        emit headerDataChanged(Qt::Vertical, s, s);
    }
    // A corner cell (fixed row and fixed column) belongs to no section: the
    // model has nothing to announce, the view repaints its corner itself.
}

bool CGridModel::setGridSize(int rows, int columns) {
    if (rows < 0 || columns < 0 || rows > CGridCells::kMaxDimension || columns > CGridCells::kMaxDimension)
        return false;
    // The fixed part never exceeds the grid.
    if (rows < fixedRows_ || columns < fixedColumns_) {
        beginResetModel();
        fixedRows_ = std::min(fixedRows_, rows);
        fixedColumns_ = std::min(fixedColumns_, columns);
        cells_.resize(rows, columns);
        endResetModel();
        return true;
    }
    const int oldRows = cells_.rowCount(), oldCols = cells_.columnCount();
    if (columns < oldCols) {
        beginRemoveColumns({}, columns - fixedColumns_, oldCols - fixedColumns_ - 1);
        cells_.resize(oldRows, columns);
        endRemoveColumns();
    } else if (columns > oldCols) {
        beginInsertColumns({}, oldCols - fixedColumns_, columns - fixedColumns_ - 1);
        cells_.resize(oldRows, columns);
        endInsertColumns();
    }
    if (rows < oldRows) {
        beginRemoveRows({}, rows - fixedRows_, oldRows - fixedRows_ - 1);
        cells_.resize(rows, columns);
        endRemoveRows();
    } else if (rows > oldRows) {
        beginInsertRows({}, oldRows - fixedRows_, rows - fixedRows_ - 1);
        cells_.resize(rows, columns);
        endInsertRows();
    }
    return true;
}

bool CGridModel::setFixed(int rows, int columns) {
    if (rows < 0 || columns < 0 || rows > cells_.rowCount() || columns > cells_.columnCount()) return false;
    if (rows == fixedRows_ && columns == fixedColumns_) return true;
    beginResetModel();
    fixedRows_ = rows;
    fixedColumns_ = columns;
    endResetModel();
    return true;
}

bool CGridModel::insertGridRow(int at) {
    if (at < 0 || at > cells_.rowCount() || cells_.rowCount() >= CGridCells::kMaxDimension) return false;
    if (at < fixedRows_) {  // a new fixed row shifts the whole scrolling part
        beginResetModel();
        cells_.insertRows(at, 1);
        ++fixedRows_;
        endResetModel();
        return true;
    }
    beginInsertRows({}, at - fixedRows_, at - fixedRows_);
    cells_.insertRows(at, 1);
    endInsertRows();
    return true;
}

bool CGridModel::removeGridRow(int at) {
    if (at < 0 || at >= cells_.rowCount()) return false;
    if (at < fixedRows_) {
        beginResetModel();
        cells_.removeRows(at, 1);
        --fixedRows_;
        endResetModel();
        return true;
    }
    beginRemoveRows({}, at - fixedRows_, at - fixedRows_);
    cells_.removeRows(at, 1);
    endRemoveRows();
    return true;
}

bool CGridModel::insertGridColumn(int at) {
    if (at < 0 || at > cells_.columnCount() || cells_.columnCount() >= CGridCells::kMaxDimension)
        return false;
    if (at < fixedColumns_) {
        beginResetModel();
        cells_.insertColumn(at);
        ++fixedColumns_;
        endResetModel();
        return true;
    }
    beginInsertColumns({}, at - fixedColumns_, at - fixedColumns_);
    cells_.insertColumn(at);
    endInsertColumns();
    return true;
}

bool CGridModel::removeGridColumn(int at) {
    if (at < 0 || at >= cells_.columnCount()) return false;
    if (at < fixedColumns_) {
        beginResetModel();
        cells_.removeColumn(at);
        --fixedColumns_;
        endResetModel();
        return true;
    }
    beginRemoveColumns({}, at - fixedColumns_, at - fixedColumns_);
    cells_.removeColumn(at);
    endRemoveColumns();
    return true;
}
