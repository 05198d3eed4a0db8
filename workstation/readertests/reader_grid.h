// The tables of the reader tests share their look: one fixed row and column,
// not editable, every cell centred on one line with an ellipsis, on the
// dialog-gray background, data cells light green until they are filled.
#pragma once

#include <QColor>

class CGridCtrl;

namespace readergrid {

inline const QColor kBackground{212, 208, 200};
inline const QColor kEmptyCell{182, 252, 182};

// Sets the counts, the fixed row and column, the format and the colours.
// False when the grid refused (it is then left as it is).
bool setUp(CGridCtrl& grid, int rows, int columns);

// Makes (row, col) a data cell waiting for its value: a blank on green.
void clearCell(CGridCtrl& grid, int row, int col);

}  // namespace readergrid
