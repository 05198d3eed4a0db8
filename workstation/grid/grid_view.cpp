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

CGridHeader::CGridHeader(Qt::Orientation o, CGridView* view) : QHeaderView(o, view), m_view(view) {
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(1);
    setHighlightSections(false);
    setSectionsClickable(false);
}

QSize CGridHeader::sizeHint() const {
    // The thickness is what the fixed cells need; the length follows the sections.
    if (orientation() == Qt::Horizontal) return QSize(0, m_view->fixedRowsHeight());
    return QSize(m_view->fixedColumnsWidth(), 0);
}

void CGridHeader::paintSection(QPainter* p, const QRect& rect, int logicalIndex) const {
    const CGridModel* m = m_view->gridModel();
    if (orientation() == Qt::Horizontal) {
        int y = rect.top();
        for (int r = 0; r < m->fixedRows(); ++r) {
            const int h = m_view->fixedRowHeight(r);
            m_view->paintFixedCell(p, QRect(rect.left(), y, rect.width(), h), r,
                                   logicalIndex + m->fixedColumns());
            y += h;
        }
    } else {
        int x = rect.left();
        for (int c = 0; c < m->fixedColumns(); ++c) {
            const int w = m_view->fixedColumnWidth(c);
            m_view->paintFixedCell(p, QRect(x, rect.top(), w, rect.height()), logicalIndex + m->fixedRows(),
                                   c);
            x += w;
        }
    }
}

const CGridDelegate::ShortText* CGridDelegate::shortText(quint32 packed, const QString& text,
                                                         const QFont& font) const {
    if (font != m_cacheFont) {
        m_shortTexts.clear();
        m_cacheFont = font;
    }
    auto it = m_shortTexts.constFind(packed);
    if (it != m_shortTexts.constEnd()) return &*it;
    if (m_shortTexts.size() >= 8192) m_shortTexts.clear();  // bound the cache, not the grid
    ShortText st;
    st.text.setText(text);
    st.text.setTextFormat(Qt::PlainText);
    st.text.prepare(QTransform(), font);
    st.width = QFontMetrics(font).horizontalAdvance(text);
    return &*m_shortTexts.insert(packed, st);
}

void CGridDelegate::paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& index) const {
    const int row = index.row() + m_model->fixedRows();
    const int col = index.column() + m_model->fixedColumns();
    const CGridCells& cells = m_model->cells();
    QColor bg = m_model->defaultBackground();
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

CGridView::CGridView(CGridModel* model, QWidget* parent) : QTableView(parent), m_model(model) {
    setHorizontalHeader(new CGridHeader(Qt::Horizontal, this));
    setVerticalHeader(new CGridHeader(Qt::Vertical, this));
    setModel(model);
    setItemDelegate(new CGridDelegate(model, this));
    verticalHeader()->setDefaultSectionSize(m_defaultRowHeight);
    horizontalHeader()->setDefaultSectionSize(m_defaultColumnWidth);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setCornerButtonEnabled(false);
    // The top-left button of the table shows the cells where fixed rows and columns meet.
    for (auto* b : findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        m_corner = b;
        b->installEventFilter(this);
    }
    syncFixed();
}

int CGridView::fixedRowHeight(int fixedRow) const {
    if (fixedRow < 0 || fixedRow >= static_cast<int>(m_fixedRowHeights.size())) return 0;
    return m_fixedRowHeights[fixedRow];
}

int CGridView::fixedColumnWidth(int fixedCol) const {
    if (fixedCol < 0 || fixedCol >= static_cast<int>(m_fixedColumnWidths.size())) return 0;
    return m_fixedColumnWidths[fixedCol];
}

int CGridView::fixedRowsHeight() const {
    return std::accumulate(m_fixedRowHeights.begin(), m_fixedRowHeights.end(), 0);
}

int CGridView::fixedColumnsWidth() const {
    return std::accumulate(m_fixedColumnWidths.begin(), m_fixedColumnWidths.end(), 0);
}

void CGridView::setFixedRowHeight(int fixedRow, int h) {
    if (fixedRow < 0 || fixedRow >= static_cast<int>(m_fixedRowHeights.size())) return;
    m_fixedRowHeights[fixedRow] = h;
    syncFixed();
}

void CGridView::setFixedColumnWidth(int fixedCol, int w) {
    if (fixedCol < 0 || fixedCol >= static_cast<int>(m_fixedColumnWidths.size())) return;
    m_fixedColumnWidths[fixedCol] = w;
    syncFixed();
}

void CGridView::setDefaultRowHeight(int h) {
    m_defaultRowHeight = h;
    verticalHeader()->setDefaultSectionSize(h);
}

void CGridView::setDefaultColumnWidth(int w) {
    m_defaultColumnWidth = w;
    horizontalHeader()->setDefaultSectionSize(w);
}

void CGridView::syncFixed() {
    m_fixedRowHeights.resize(static_cast<std::size_t>(m_model->fixedRows()), m_defaultRowHeight);
    m_fixedColumnWidths.resize(static_cast<std::size_t>(m_model->fixedColumns()), m_defaultColumnWidth);
    horizontalHeader()->setVisible(m_model->fixedRows() > 0);
    verticalHeader()->setVisible(m_model->fixedColumns() > 0);
    horizontalHeader()->updateGeometry();
    verticalHeader()->updateGeometry();
    updateGeometries();
    horizontalHeader()->viewport()->update();
    verticalHeader()->viewport()->update();
    if (m_corner) m_corner->update();
}

void CGridView::paintFixedCell(QPainter* p, const QRect& rect, int row, int col) const {
    const CGridCells& cells = m_model->cells();
    const auto rgb = cells.background(row, col);
    p->fillRect(rect, rgb ? QColor(*rgb) : palette().button().color());
    p->setPen(palette().dark().color());
    p->drawLine(rect.topRight(), rect.bottomRight());
    p->drawLine(rect.bottomLeft(), rect.bottomRight());
    p->setPen(palette().buttonText().color());
    paintGridText(p, rect, cells.text(row, col), cells.format(row, col));
}

bool CGridView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_corner && event->type() == QEvent::Paint) {
        QPainter p(m_corner);
        p.fillRect(m_corner->rect(), palette().button().color());
        int y = 0;
        for (int r = 0; r < m_model->fixedRows(); ++r) {
            int x = 0;
            for (int c = 0; c < m_model->fixedColumns(); ++c) {
                paintFixedCell(&p, QRect(x, y, fixedColumnWidth(c), fixedRowHeight(r)), r, c);
                x += fixedColumnWidth(c);
            }
            y += fixedRowHeight(r);
        }
        return true;
    }
    return QTableView::eventFilter(watched, event);
}
