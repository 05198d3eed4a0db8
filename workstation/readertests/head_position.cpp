#include "head_position.h"

#include <cstdint>

#include "grid_ctrl.h"

namespace {

constexpr int kBottomRow = 48;  // channel 1
constexpr int kRows = 41;       // channels 1 to 41
constexpr int kUpDownColumn = 12;
constexpr int kLeftRightColumn = 18;

int level(const CGridCtrl& grid, int row, int col) {
    bool ok = false;
    const qlonglong v = grid.itemText(row, col).trimmed().toLongLong(&ok, 16);
    return ok ? int(std::int8_t(v)) : 0;  // the table shows the signed byte
}

// One group's step for one row: d1 across the outer columns, d2 across the
// inner ones.
void addRow(const CGridCtrl& grid, int row, int firstColumn, int& rising, int& falling, int& sum) {
    const int g0 = level(grid, row, firstColumn), g1 = level(grid, row, firstColumn + 1);
    const int g2 = level(grid, row, firstColumn + 2), g3 = level(grid, row, firstColumn + 3);
    const int d1 = g3 - g0, d2 = g2 - g1;
    if (d1 > 2 && d2 > 2)
        ++rising;
    else if (d1 < -2 && d2 < -2)
        ++falling;
    sum += d1 + d2;
}

}  // namespace

HeadPosition analyseHeadPosition(const CGridCtrl& grid) {
    HeadPosition p;
    for (int row = kBottomRow; row > kBottomRow - kRows; --row) {
        addRow(grid, row, kUpDownColumn, p.up, p.down, p.upDownSum);
        addRow(grid, row, kLeftRightColumn, p.right, p.left, p.leftRightSum);
    }
    return p;
}

int HeadPosition::upDownVerdict() const {
    if (up - down >= 3 && upDownSum > 10) return 151;
    if (up - down <= -3 && upDownSum < -10) return 152;
    return 156;
}

int HeadPosition::leftRightVerdict() const {
    if (right - left >= 3 && leftRightSum > 10) return 154;
    if (right - left <= -3 && leftRightSum < -10) return 153;
    return 155;
}
