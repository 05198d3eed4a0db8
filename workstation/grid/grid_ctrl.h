#pragma once

#include <QColor>
#include <QWidget>

#include "grid_format.h"

class CGridModel;
class CGridView;

// Grid control of the workstation's test forms: rows and columns with fixed header rows and
// columns, per-cell text, format and background, row heights and column widths.
//
// All coordinates are grid coordinates: row 0 is the first fixed row when there is one. Every
// call that names a cell, row or column out of range is refused (false, -1 or an empty value)
// and changes nothing. Call it from the GUI thread only.
class CGridCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // Changing the fixed counts rebuilds the view's rows and columns: scrolling rows and
    // columns return to the default size, so set the counts before the sizes.
    bool setRowCount(int rows);
    bool setColumnCount(int columns);
    bool setFixedRowCount(int rows);
    bool setFixedColumnCount(int columns);
    int rowCount() const;
    int columnCount() const;
    int fixedRowCount() const;
    int fixedColumnCount() const;

    void setEditable(bool on);
    bool isEditable() const;

    bool setItemText(int row, int col, const QString& text);
    QString itemText(int row, int col) const;
    bool setItemFormat(int row, int col, GridFormat format);
    GridFormat itemFormat(int row, int col) const;
    bool setItemBkColour(int row, int col, const QColor& colour);
    // Invalid colour when the cell has none of its own.
    QColor itemBkColour(int row, int col) const;

    bool setRowHeight(int row, int height);
    int rowHeight(int row) const;  // -1 out of range
    bool setColumnWidth(int col, int width);
    int columnWidth(int col) const;  // -1 out of range
    // Size of rows and columns that are added later; existing ones keep theirs.
    void setDefaultRowHeight(int height);
    void setDefaultColumnWidth(int width);
    // Format of cells that are added later.
    void setDefaultFormat(GridFormat format);

    // Fill of the area outside the cells.
    void setBkColour(const QColor& colour);
    QColor bkColour() const;

    // New row at the bottom, its first cell holding the heading; returns its index or -1.
    int appendRow(const QString& heading);
    // New row before `before` (rowCount() appends); returns its index or -1.
    int insertRow(const QString& heading, int before);
    // New column right of `after` (-1 puts it first), its cell in row 0 holding the heading;
    // returns its index or -1. Cells right of it move one column to the right.
    int insertColumn(const QString& heading, int after);
    bool deleteRow(int row);
    bool deleteColumn(int col);

    // Scrolls so that the cell is visible (fixed cells always are; col -1 keeps the horizontal
    // position).
    bool ensureCellVisible(int row, int col = -1);
    void refresh();

    CGridView* view() const { return view_; }
    CGridModel* model() const { return model_; }
    // Bytes the cell store holds on the heap.
    std::size_t cellMemory() const;

private:
    void cellTouched(int row, int col);

    CGridModel* model_;
    CGridView* view_;
};
