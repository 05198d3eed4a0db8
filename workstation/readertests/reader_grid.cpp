#include "reader_grid.h"

#include "grid_ctrl.h"

namespace readergrid {

bool setUp(CGridCtrl& grid, int rows, int columns) {
    grid.setDefaultFormat(kGridCentred);  // every cell made from here on
    if (!grid.setRowCount(rows) || !grid.setColumnCount(columns)) return false;
    if (!grid.setFixedRowCount(1) || !grid.setFixedColumnCount(1)) return false;
    grid.setEditable(false);
    grid.setBkColour(kBackground);
    return true;
}

void clearCell(CGridCtrl& grid, int row, int col) {
    grid.setItemText(row, col, QStringLiteral(" "));
    grid.setItemBkColour(row, col, kEmptyCell);
}

}  // namespace readergrid
