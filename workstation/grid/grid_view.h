#pragma once

#include <QHash>
#include <QHeaderView>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QTableView>
#include <vector>

#include "grid_model.h"

class QPainter;

// Draws a cell's text in its grid format; shared by cells, headers and the corner.
void paintGridText(QPainter* p, const QRect& cellRect, const QString& text, GridFormat format);

class CGridView;

// Header that draws the fixed cells: the horizontal one stacks the fixed rows above each
// column, the vertical one places the fixed columns side by side before each row.
class CGridHeader : public QHeaderView {
    Q_OBJECT
public:
    CGridHeader(Qt::Orientation o, CGridView* view);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* p, const QRect& rect, int logicalIndex) const override;

private:
    CGridView* view_;
};

// Paints a scrolling cell straight from the compact store. Short texts are laid out once and
// kept as static texts: a screenful of "%02X" cells then costs no text shaping at all.
class CGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CGridDelegate(CGridModel* model, QObject* parent) : QStyledItemDelegate(parent), model_(model) {}
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& index) const override;

private:
    struct ShortText {
        QStaticText text;
        int width = 0;
    };
    const ShortText* shortText(quint32 packed, const QString& text, const QFont& font) const;

    CGridModel* model_;
    mutable QHash<quint32, ShortText> shortTexts_;
    mutable QFont cacheFont_;
};

// The table view of the grid control. Row heights of the scrolling rows live in the vertical
// header (fixed resize mode, one default size, so appending rows never relays out the table);
// the sizes of the fixed rows and columns live here and give the headers their thickness.
class CGridView : public QTableView {
    Q_OBJECT
public:
    explicit CGridView(CGridModel* model, QWidget* parent = nullptr);

    CGridModel* gridModel() const { return model_; }

    int fixedRowHeight(int fixedRow) const;
    int fixedColumnWidth(int fixedCol) const;
    void setFixedRowHeight(int fixedRow, int h);
    void setFixedColumnWidth(int fixedCol, int w);
    int fixedRowsHeight() const;
    int fixedColumnsWidth() const;
    void setDefaultRowHeight(int h);
    int defaultRowHeight() const { return defaultRowHeight_; }
    void setDefaultColumnWidth(int w);
    int defaultColumnWidth() const { return defaultColumnWidth_; }

    // Brings the fixed-size tables in line with the model's fixed counts, shows or hides the
    // headers and relays out the header thickness.
    void syncFixed();
    void paintFixedCell(QPainter* p, const QRect& rect, int row, int col) const;
    // Scroll ranges follow row insertions only at the next layout; a scroll right after an
    // append needs them now or it stops one row short.
    void updateScrollRanges() { updateGeometries(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CGridModel* model_;
    QWidget* corner_ = nullptr;
    std::vector<int> fixedRowHeights_;
    std::vector<int> fixedColumnWidths_;
    int defaultRowHeight_ = 20;
    int defaultColumnWidth_ = 64;
};
