#pragma once

#include <QColor>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "grid_format.h"

// Compact cell storage of the grid control: 8 bytes per cell.
//
// A cell packs its text into 32 bits when it is at most four 7-bit ASCII characters (the tables
// are full of "%02X" and "%2d" values) and otherwise refers to a slot of a string pool that is
// recycled when the text changes or the cell goes away. The background is kept as RGB plus a
// "set" bit beside the format bits, so no palette can overflow. Each row is its own exactly
// sized vector: appending a row costs one allocation, deleting one moves only row handles.
class CGridCells {
public:
    CGridCells() = default;
    CGridCells(const CGridCells&) = delete;
    CGridCells& operator=(const CGridCells&) = delete;

    int rowCount() const { return static_cast<int>(rows_.size()); }
    int columnCount() const { return columns_; }
    bool contains(int row, int col) const {
        return row >= 0 && row < rowCount() && col >= 0 && col < columns_;
    }

    // Structure. Positions out of range are refused (false) and change nothing.
    bool resize(int rows, int columns);
    bool insertRows(int at, int count);
    bool removeRows(int at, int count);
    bool insertColumn(int at);
    bool removeColumn(int at);

    // Cells. Setters refuse cells out of range; getters give the empty cell's values there.
    bool setText(int row, int col, const QString& text);
    QString text(int row, int col) const;
    bool setFormat(int row, int col, GridFormat format);
    GridFormat format(int row, int col) const;
    bool setBackground(int row, int col, QRgb rgb);
    bool clearBackground(int row, int col);
    std::optional<QRgb> background(int row, int col) const;

    // The cell's text in its packed form, for caches keyed by short texts; false when the text
    // is pooled (or the cell out of range).
    bool packedText(int row, int col, quint32& packed) const {
        if (!contains(row, col) || (rows_[row][col].text & kPoolBit)) return false;
        packed = rows_[row][col].text;
        return true;
    }

    // Format that new cells get.
    void setDefaultFormat(GridFormat f) { defaultFormat_ = static_cast<quint8>(f.toInt()) & kGridFormatMask; }
    GridFormat defaultFormat() const { return GridFormat::fromInt(defaultFormat_); }

    // Heap bytes held by the store (cells, row handles, pooled texts).
    std::size_t memoryUsage() const;
    // Texts currently held in the pool (for checks that slots are recycled).
    std::size_t pooledTexts() const { return pool_.size() - freeSlots_.size(); }

    static constexpr int kMaxDimension = 1 << 24;

private:
    struct Cell {
        quint32 text = 0;  // packed short text, or kPoolBit | slot
        quint8 red = 0, green = 0, blue = 0;
        quint8 flags = 0;  // format bits | kHasBackground
    };
    static_assert(sizeof(Cell) == 8);
    static constexpr quint32 kPoolBit = 0x80000000u;
    static constexpr quint8 kHasBackground = 0x80;

    Cell newCell() const { return Cell{0, 0, 0, 0, defaultFormat_}; }
    void releaseText(Cell& c);
    void releaseRow(std::vector<Cell>& row);
    static bool packText(const QString& text, quint32& packed);

    std::vector<std::vector<Cell>> rows_;
    int columns_ = 0;
    quint8 defaultFormat_ = 0x34;  // Left | VCenter | SingleLine | EndEllipsis
    std::vector<QString> pool_;
    std::vector<quint32> freeSlots_;
};
