#include "grid_view.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPainter>
#include <numeric>

namespace {
// Narrow columns (20 px for two hex digits) leave no room for a wider margin.
constexpr int kTextMargin = 1;
}  // namespace

void paintGridText(QPainter* p, const QRect& cellRect, const QString& text, GridFormat format) {
    if (text.isEmpty()) return;
    const QRect r = cellRect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    if (r.width() <= 0 || r.height() <= 0) return;
    QString shown = text;
    int flags = static_cast<int>(gridAlignment(format));
    if (format.testFlag(GridFormatFlag::SingleLine)) {
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
        flags |= Qt::TextSingleLine;
    } else {
        flags |= Qt::TextWordWrap;
    }
    if (format.testFlag(GridFormatFlag::EndEllipsis) && format.testFlag(GridFormatFlag::SingleLine))
        shown = p->fontMetrics().elidedText(shown, Qt::ElideRight, r.width());
    p->drawText(r, flags, shown);
}

CGridHeader::CGridHeader(Qt::Orientation o, CGridView* view) : QHeaderView(o, view), view_(view) {
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(1);
    setHighlightSections(false);
    setSectionsClickable(false);
}

QSize CGridHeader::sizeHint() const {
    // The thickness is what the fixed cells need; the length follows the sections.
    if (orientation() == Qt::Horizontal) return QSize(0, view_->fixedRowsHeight());
    return QSize(view_->fixedColumnsWidth(), 0);
}

void CGridHeader::paintSection(QPainter* p, const QRect& rect, int logicalIndex) const {
    const CGridModel* m = view_->gridModel();
    if (orientation() == Qt::Horizontal) {
        int y = rect.top();
        for (int r = 0; r < m->fixedRows(); ++r) {
            const int h = view_->fixedRowHeight(r);
            view_->paintFixedCell(p, QRect(rect.left(), y, rect.width(), h), r,
                                  logicalIndex + m->fixedColumns());
            y += h;
        }
    } else {
        int x = rect.left();
        for (int c = 0; c < m->fixedColumns(); ++c) {
            const int w = view_->fixedColumnWidth(c);
            view_->paintFixedCell(p, QRect(x, rect.top(), w, rect.height()), logicalIndex + m->fixedRows(),
                                  c);
            x += w;
        }
    }
}

const CGridDelegate::ShortText* CGridDelegate::shortText(quint32 packed, const QString& text,
                                                         const QFont& font) const {
    if (font != cacheFont_) {
        shortTexts_.clear();
        cacheFont_ = font;
    }
    auto it = shortTexts_.constFind(packed);
    if (it != shortTexts_.constEnd()) return &*it;
    if (shortTexts_.size() >= 8192) shortTexts_.clear();  // bound the cache, not the grid
    ShortText st;
    st.text.setText(text);
    st.text.setTextFormat(Qt::PlainText);
    st.text.prepare(QTransform(), font);
    st.width = QFontMetrics(font).horizontalAdvance(text);
    return &*shortTexts_.insert(packed, st);
}

void CGridDelegate::paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& index) const {
    const int row = index.row() + model_->fixedRows();
    const int col = index.column() + model_->fixedColumns();
    const CGridCells& cells = model_->cells();
    QColor bg = model_->defaultBackground();
    if (auto rgb = cells.background(row, col)) bg = QColor(*rgb);
    const bool selected = opt.state & QStyle::State_Selected;
    p->fillRect(opt.rect, selected ? opt.palette.highlight().color() : bg);
    p->setPen(selected ? opt.palette.highlightedText().color() : opt.palette.text().color());
    const QString text = cells.text(row, col);
    if (text.isEmpty()) return;
    const GridFormat format = cells.format(row, col);
    quint32 packed;
    const QRect r = opt.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    if (cells.packedText(row, col, packed) && format.testFlag(GridFormatFlag::SingleLine)) {
        p->setFont(opt.font);
        const ShortText* st = shortText(packed, text, opt.font);
        if (st->width <= r.width()) {
            const QSizeF size = st->text.size();
            const Qt::Alignment a = gridAlignment(format);
            const qreal x = a & Qt::AlignRight     ? r.right() + 1 - st->width
                            : a & Qt::AlignHCenter ? r.left() + (r.width() - st->width) / 2.0
                                                   : r.left();
            const qreal y = a & Qt::AlignBottom    ? r.bottom() + 1 - size.height()
                            : a & Qt::AlignVCenter ? r.top() + (r.height() - size.height()) / 2.0
                                                   : r.top();
            p->save();
            p->setClipRect(opt.rect);
            p->drawStaticText(QPointF(x, y), st->text);
            p->restore();
            return;
        }
    }
    paintGridText(p, opt.rect, text, format);
}

CGridView::CGridView(CGridModel* model, QWidget* parent) : QTableView(parent), model_(model) {
    setHorizontalHeader(new CGridHeader(Qt::Horizontal, this));
    setVerticalHeader(new CGridHeader(Qt::Vertical, this));
    setModel(model);
    setItemDelegate(new CGridDelegate(model, this));
    verticalHeader()->setDefaultSectionSize(defaultRowHeight_);
    horizontalHeader()->setDefaultSectionSize(defaultColumnWidth_);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setCornerButtonEnabled(false);
    // The top-left button of the table shows the cells where fixed rows and columns meet.
    for (auto* b : findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        corner_ = b;
        b->installEventFilter(this);
    }
    syncFixed();
}

int CGridView::fixedRowHeight(int fixedRow) const {
    if (fixedRow < 0 || fixedRow >= static_cast<int>(fixedRowHeights_.size())) return 0;
    return fixedRowHeights_[fixedRow];
}

int CGridView::fixedColumnWidth(int fixedCol) const {
    if (fixedCol < 0 || fixedCol >= static_cast<int>(fixedColumnWidths_.size())) return 0;
    return fixedColumnWidths_[fixedCol];
}

int CGridView::fixedRowsHeight() const {
    return std::accumulate(fixedRowHeights_.begin(), fixedRowHeights_.end(), 0);
}

int CGridView::fixedColumnsWidth() const {
    return std::accumulate(fixedColumnWidths_.begin(), fixedColumnWidths_.end(), 0);
}

void CGridView::setFixedRowHeight(int fixedRow, int h) {
    if (fixedRow < 0 || fixedRow >= static_cast<int>(fixedRowHeights_.size())) return;
    fixedRowHeights_[fixedRow] = h;
    syncFixed();
}

void CGridView::setFixedColumnWidth(int fixedCol, int w) {
    if (fixedCol < 0 || fixedCol >= static_cast<int>(fixedColumnWidths_.size())) return;
    fixedColumnWidths_[fixedCol] = w;
    syncFixed();
}

void CGridView::setDefaultRowHeight(int h) {
    defaultRowHeight_ = h;
    verticalHeader()->setDefaultSectionSize(h);
}

void CGridView::setDefaultColumnWidth(int w) {
    defaultColumnWidth_ = w;
    horizontalHeader()->setDefaultSectionSize(w);
}

void CGridView::syncFixed() {
    fixedRowHeights_.resize(static_cast<std::size_t>(model_->fixedRows()), defaultRowHeight_);
    fixedColumnWidths_.resize(static_cast<std::size_t>(model_->fixedColumns()), defaultColumnWidth_);
    horizontalHeader()->setVisible(model_->fixedRows() > 0);
    verticalHeader()->setVisible(model_->fixedColumns() > 0);
    horizontalHeader()->updateGeometry();
    verticalHeader()->updateGeometry();
    updateGeometries();
    horizontalHeader()->viewport()->update();
    verticalHeader()->viewport()->update();
    if (corner_) corner_->update();
}

void CGridView::paintFixedCell(QPainter* p, const QRect& rect, int row, int col) const {
    const CGridCells& cells = model_->cells();
    const auto rgb = cells.background(row, col);
    p->fillRect(rect, rgb ? QColor(*rgb) : palette().button().color());
    p->setPen(palette().dark().color());
    p->drawLine(rect.topRight(), rect.bottomRight());
    p->drawLine(rect.bottomLeft(), rect.bottomRight());
    p->setPen(palette().buttonText().color());
    paintGridText(p, rect, cells.text(row, col), cells.format(row, col));
}

bool CGridView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner_ && event->type() == QEvent::Paint) {
        QPainter p(corner_);
        p.fillRect(corner_->rect(), palette().button().color());
        int y = 0;
        for (int r = 0; r < model_->fixedRows(); ++r) {
            int x = 0;
            for (int c = 0; c < model_->fixedColumns(); ++c) {
                paintFixedCell(&p, QRect(x, y, fixedColumnWidth(c), fixedRowHeight(r)), r, c);
                x += fixedColumnWidth(c);
            }
            y += fixedRowHeight(r);
        }
        return true;
    }
    return QTableView::eventFilter(watched, event);
}
