#include "grid_model.h"

#include <QBrush>

CGridModel::CGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int CGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cells.rowCount() - m_fixedRows;
}

int CGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cells.columnCount() - m_fixedColumns;
}

QModelIndex CGridModel::gridIndex(int row, int col) const {
    if (row < m_fixedRows || col < m_fixedColumns || !m_cells.contains(row, col)) return {};
    return index(row - m_fixedRows, col - m_fixedColumns);
}

QVariant CGridModel::cellData(int row, int col, int role) const {
    if (!m_cells.contains(row, col)) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_cells.text(row, col);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(gridAlignment(m_cells.format(row, col)));
        case Qt::BackgroundRole:
            if (auto bg = m_cells.background(row, col)) return QBrush(QColor(*bg));
            return {};
        default:
            return {};
    }
}

QVariant CGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    return cellData(index.row() + m_fixedRows, index.column() + m_fixedColumns, role);
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (m_fixedRows == 0) return {};
        return cellData(0, section + m_fixedColumns, role);
    }
    if (m_fixedColumns == 0) return {};
    return cellData(section + m_fixedRows, 0, role);
}

Qt::ItemFlags CGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editable) f |= Qt::ItemIsEditable;
    return f;
}

bool CGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !m_editable || role != Qt::EditRole) return false;
    const int r = index.row() + m_fixedRows, c = index.column() + m_fixedColumns;
    if (!m_cells.setText(r, c, value.toString())) return false;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

void CGridModel::cellChanged(int row, int col) {
    if (!m_cells.contains(row, col)) return;
    if (row >= m_fixedRows && col >= m_fixedColumns) {
        const QModelIndex i = index(row - m_fixedRows, col - m_fixedColumns);
        emit dataChanged(i, i);
        return;
    }
    if (row < m_fixedRows && col >= m_fixedColumns) {
        const int s = col - m_fixedColumns;
        emit headerDataChanged(Qt::Horizontal, s, s);
    }
    if (col < m_fixedColumns && row >= m_fixedRows) {
        const int s = row - m_fixedRows;
        emit headerDataChanged(Qt::Vertical, s, s);
    }
    if (row < m_fixedRows && col < m_fixedColumns) {  // corner cell: no section of its own
        emit headerDataChanged(Qt::Horizontal, 0, -1);
    }
}

bool CGridModel::setGridSize(int rows, int columns) {
    if (rows < 0 || columns < 0 || rows > CGridCells::kMaxDimension || columns > CGridCells::kMaxDimension)
        return false;
    // The fixed part never exceeds the grid.
    if (rows < m_fixedRows || columns < m_fixedColumns) {
        beginResetModel();
        m_fixedRows = std::min(m_fixedRows, rows);
        m_fixedColumns = std::min(m_fixedColumns, columns);
        m_cells.resize(rows, columns);
        endResetModel();
        return true;
    }
    const int oldRows = m_cells.rowCount(), oldCols = m_cells.columnCount();
    if (columns < oldCols) {
        beginRemoveColumns({}, columns - m_fixedColumns, oldCols - m_fixedColumns - 1);
        m_cells.resize(oldRows, columns);
        endRemoveColumns();
    } else if (columns > oldCols) {
        beginInsertColumns({}, oldCols - m_fixedColumns, columns - m_fixedColumns - 1);
        m_cells.resize(oldRows, columns);
        endInsertColumns();
    }
    if (rows < oldRows) {
        beginRemoveRows({}, rows - m_fixedRows, oldRows - m_fixedRows - 1);
        m_cells.resize(rows, columns);
        endRemoveRows();
    } else if (rows > oldRows) {
        beginInsertRows({}, oldRows - m_fixedRows, rows - m_fixedRows - 1);
        m_cells.resize(rows, columns);
        endInsertRows();
    }
    return true;
}

bool CGridModel::setFixed(int rows, int columns) {
    if (rows < 0 || columns < 0 || rows > m_cells.rowCount() || columns > m_cells.columnCount()) return false;
    if (rows == m_fixedRows && columns == m_fixedColumns) return true;
    beginResetModel();
    m_fixedRows = rows;
    m_fixedColumns = columns;
    endResetModel();
    return true;
}

bool CGridModel::insertGridRow(int at) {
    if (at < 0 || at > m_cells.rowCount() || m_cells.rowCount() >= CGridCells::kMaxDimension) return false;
    if (at < m_fixedRows) {  // a new fixed row shifts the whole scrolling part
        beginResetModel();
        m_cells.insertRows(at, 1);
        ++m_fixedRows;
        endResetModel();
        return true;
    }
    beginInsertRows({}, at - m_fixedRows, at - m_fixedRows);
    m_cells.insertRows(at, 1);
    endInsertRows();
    return true;
}

bool CGridModel::removeGridRow(int at) {
    if (at < 0 || at >= m_cells.rowCount()) return false;
    if (at < m_fixedRows) {
        beginResetModel();
        m_cells.removeRows(at, 1);
        --m_fixedRows;
        endResetModel();
        return true;
    }
    beginRemoveRows({}, at - m_fixedRows, at - m_fixedRows);
    m_cells.removeRows(at, 1);
    endRemoveRows();
    return true;
}

bool CGridModel::insertGridColumn(int at) {
    if (at < 0 || at > m_cells.columnCount() || m_cells.columnCount() >= CGridCells::kMaxDimension)
        return false;
    if (at < m_fixedColumns) {
        beginResetModel();
        m_cells.insertColumn(at);
        ++m_fixedColumns;
        endResetModel();
        return true;
    }
    beginInsertColumns({}, at - m_fixedColumns, at - m_fixedColumns);
    m_cells.insertColumn(at);
    endInsertColumns();
    return true;
}

bool CGridModel::removeGridColumn(int at) {
    if (at < 0 || at >= m_cells.columnCount()) return false;
    if (at < m_fixedColumns) {
        beginResetModel();
        m_cells.removeColumn(at);
        --m_fixedColumns;
        endResetModel();
        return true;
    }
    beginRemoveColumns({}, at - m_fixedColumns, at - m_fixedColumns);
    m_cells.removeColumn(at);
    endRemoveColumns();
    return true;
}
