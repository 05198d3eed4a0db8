#include "grid_cells.h"

#include <algorithm>

bool CGridCells::packText(const QString& text, quint32& packed) {
    const qsizetype n = text.size();
    if (n > 4) return false;
    quint32 v = static_cast<quint32>(n) << 28;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch > 0x7f) return false;
        v |= static_cast<quint32>(ch) << (7 * i);
    }
    packed = v;
    return true;
}

void CGridCells::releaseText(Cell& c) {
    if (c.text & kPoolBit) {
        const quint32 slot = c.text & ~kPoolBit;
        pool_[slot] = QString();
        freeSlots_.push_back(slot);
    }
    c.text = 0;
}

void CGridCells::releaseRow(std::vector<Cell>& row) {
    for (Cell& c : row) releaseText(c);
}

bool CGridCells::resize(int rows, int columns) {
    if (rows < 0 || columns < 0 || rows > kMaxDimension || columns > kMaxDimension) return false;
    if (columns != columns_) {
        for (auto& row : rows_) {
            if (columns < columns_) {
                for (int c = columns; c < columns_; ++c) releaseText(row[c]);
                row.resize(columns);
                row.shrink_to_fit();
            } else {
                row.reserve(columns);
                row.resize(columns, newCell());
            }
        }
        columns_ = columns;
    }
    if (rows < rowCount()) {
        removeRows(rows, rowCount() - rows);
    } else if (rows > rowCount()) {
        insertRows(rowCount(), rows - rowCount());
    }
    return true;
}

bool CGridCells::insertRows(int at, int count) {
    if (at < 0 || at > rowCount() || count < 0 || count > kMaxDimension - rowCount()) return false;
    std::vector<std::vector<Cell>> fresh;
    fresh.reserve(count);
    for (int i = 0; i < count; ++i) fresh.emplace_back(static_cast<std::size_t>(columns_), newCell());
    rows_.insert(rows_.begin() + at, std::make_move_iterator(fresh.begin()),
                 std::make_move_iterator(fresh.end()));
    return true;
}

bool CGridCells::removeRows(int at, int count) {
    if (at < 0 || count < 0 || at > rowCount() || count > rowCount() - at) return false;
    for (int r = at; r < at + count; ++r) releaseRow(rows_[r]);
    rows_.erase(rows_.begin() + at, rows_.begin() + at + count);
    return true;
}

bool CGridCells::insertColumn(int at) {
    if (at < 0 || at > columns_ || columns_ >= kMaxDimension) return false;
    for (auto& row : rows_) {
        // Grow by exactly one cell: the default doubling would nearly double the store.
        if (row.capacity() == row.size()) row.reserve(row.size() + 1);
        row.insert(row.begin() + at, newCell());
    }
    ++columns_;
    return true;
}

bool CGridCells::removeColumn(int at) {
    if (at < 0 || at >= columns_) return false;
    for (auto& row : rows_) {
        releaseText(row[at]);
        row.erase(row.begin() + at);
    }
    --columns_;
    return true;
}

bool CGridCells::setText(int row, int col, const QString& text) {
    if (!contains(row, col)) return false;
    Cell& c = rows_[row][col];
    quint32 packed;
    if (packText(text, packed)) {
        releaseText(c);
        c.text = packed;
        return true;
    }
    if (c.text & kPoolBit) {  // reuse the cell's own slot
        pool_[c.text & ~kPoolBit] = text;
        return true;
    }
    quint32 slot;
    if (!freeSlots_.empty()) {
        slot = freeSlots_.back();
        freeSlots_.pop_back();
        pool_[slot] = text;
    } else {
        slot = static_cast<quint32>(pool_.size());
        pool_.push_back(text);
    }
    c.text = kPoolBit | slot;
    return true;
}

QString CGridCells::text(int row, int col) const {
    if (!contains(row, col)) return QString();
    const quint32 v = rows_[row][col].text;
    if (v & kPoolBit) return pool_[v & ~kPoolBit];
    const int n = static_cast<int>((v >> 28) & 0x7);
    QString s(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i) s[i] = QChar(static_cast<char16_t>((v >> (7 * i)) & 0x7f));
    return s;
}

bool CGridCells::setFormat(int row, int col, GridFormat format) {
    if (!contains(row, col)) return false;
    Cell& c = rows_[row][col];
    c.flags = static_cast<quint8>((c.flags & kHasBackground) | (format.toInt() & kGridFormatMask));
    return true;
}

GridFormat CGridCells::format(int row, int col) const {
    if (!contains(row, col)) return defaultFormat();
    return GridFormat::fromInt(rows_[row][col].flags & kGridFormatMask);
}

bool CGridCells::setBackground(int row, int col, QRgb rgb) {
    if (!contains(row, col)) return false;
    Cell& c = rows_[row][col];
    c.red = static_cast<quint8>(qRed(rgb));
    c.green = static_cast<quint8>(qGreen(rgb));
    c.blue = static_cast<quint8>(qBlue(rgb));
    c.flags |= kHasBackground;
    return true;
}

bool CGridCells::clearBackground(int row, int col) {
    if (!contains(row, col)) return false;
    rows_[row][col].flags &= static_cast<quint8>(~kHasBackground);
    return true;
}

std::optional<QRgb> CGridCells::background(int row, int col) const {
    if (!contains(row, col)) return std::nullopt;
    const Cell& c = rows_[row][col];
    if (!(c.flags & kHasBackground)) return std::nullopt;
    return qRgb(c.red, c.green, c.blue);
}

std::size_t CGridCells::memoryUsage() const {
    std::size_t bytes = rows_.capacity() * sizeof(std::vector<Cell>);
    for (const auto& row : rows_) bytes += row.capacity() * sizeof(Cell);
    bytes += pool_.capacity() * sizeof(QString) + freeSlots_.capacity() * sizeof(quint32);
    for (const QString& s : pool_) bytes += static_cast<std::size_t>(s.capacity()) * sizeof(QChar);
    return bytes;
}
