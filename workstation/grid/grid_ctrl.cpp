#include "grid_ctrl.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QVBoxLayout>

#include "grid_model.h"
#include "grid_view.h"

namespace {
constexpr int kMaxSectionSize = 1 << 15;
}

CGridCtrl::CGridCtrl(QWidget* parent)
    : QWidget(parent), m_model(new CGridModel(this)), m_view(new CGridView(m_model, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

CGridCtrl::~CGridCtrl() = default;

bool CGridCtrl::setRowCount(int rows) {
    if (!m_model->setGridSize(rows, columnCount())) return false;
    m_view->syncFixed();
    return true;
}

bool CGridCtrl::setColumnCount(int columns) {
    if (!m_model->setGridSize(rowCount(), columns)) return false;
    m_view->syncFixed();
    return true;
}

bool CGridCtrl::setFixedRowCount(int rows) {
    if (!m_model->setFixed(rows, fixedColumnCount())) return false;
    m_view->syncFixed();
    return true;
}

bool CGridCtrl::setFixedColumnCount(int columns) {
    if (!m_model->setFixed(fixedRowCount(), columns)) return false;
    m_view->syncFixed();
    return true;
}

int CGridCtrl::rowCount() const {
    return m_model->cells().rowCount();
}
int CGridCtrl::columnCount() const {
    return m_model->cells().columnCount();
}
int CGridCtrl::fixedRowCount() const {
    return m_model->fixedRows();
}
int CGridCtrl::fixedColumnCount() const {
    return m_model->fixedColumns();
}

void CGridCtrl::setEditable(bool on) {
    m_model->setEditable(on);
    m_view->setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::AnyKeyPressed
                               : QAbstractItemView::NoEditTriggers);
}

bool CGridCtrl::isEditable() const {
    return m_model->editable();
}

void CGridCtrl::cellTouched(int row, int col) {
    m_model->cellChanged(row, col);
    if (row < fixedRowCount() && col < fixedColumnCount()) m_view->syncFixed();  // the corner
}

bool CGridCtrl::setItemText(int row, int col, const QString& text) {
    if (!m_model->cells().setText(row, col, text)) return false;
    cellTouched(row, col);
    return true;
}

QString CGridCtrl::itemText(int row, int col) const {
    return m_model->cells().text(row, col);
}

bool CGridCtrl::setItemFormat(int row, int col, GridFormat format) {
    if (!m_model->cells().setFormat(row, col, format)) return false;
    cellTouched(row, col);
    return true;
}

GridFormat CGridCtrl::itemFormat(int row, int col) const {
    return m_model->cells().format(row, col);
}

bool CGridCtrl::setItemBkColour(int row, int col, const QColor& colour) {
    CGridCells& cells = m_model->cells();
    const bool ok =
        colour.isValid() ? cells.setBackground(row, col, colour.rgb()) : cells.clearBackground(row, col);
    if (!ok) return false;
    cellTouched(row, col);
    return true;
}

QColor CGridCtrl::itemBkColour(int row, int col) const {
    if (auto rgb = m_model->cells().background(row, col)) return QColor(*rgb);
    return QColor();
}

bool CGridCtrl::setRowHeight(int row, int height) {
    if (row < 0 || row >= rowCount() || height < 0 || height > kMaxSectionSize) return false;
    if (row < fixedRowCount()) {
        m_view->setFixedRowHeight(row, height);
        return true;
    }
    QHeaderView* h = m_view->verticalHeader();
    // Only a real change touches the header, so rows added at the default size stay cheap.
    if (h->sectionSize(row - fixedRowCount()) != height) h->resizeSection(row - fixedRowCount(), height);
    return true;
}

int CGridCtrl::rowHeight(int row) const {
    if (row < 0 || row >= rowCount()) return -1;
    if (row < fixedRowCount()) return m_view->fixedRowHeight(row);
    return m_view->verticalHeader()->sectionSize(row - fixedRowCount());
}

bool CGridCtrl::setColumnWidth(int col, int width) {
    if (col < 0 || col >= columnCount() || width < 0 || width > kMaxSectionSize) return false;
    if (col < fixedColumnCount()) {
        m_view->setFixedColumnWidth(col, width);
        return true;
    }
    QHeaderView* h = m_view->horizontalHeader();
    if (h->sectionSize(col - fixedColumnCount()) != width) h->resizeSection(col - fixedColumnCount(), width);
    return true;
}

int CGridCtrl::columnWidth(int col) const {
    if (col < 0 || col >= columnCount()) return -1;
    if (col < fixedColumnCount()) return m_view->fixedColumnWidth(col);
    return m_view->horizontalHeader()->sectionSize(col - fixedColumnCount());
}

void CGridCtrl::setDefaultRowHeight(int height) {
    if (height >= 0 && height <= kMaxSectionSize) m_view->setDefaultRowHeight(height);
}

void CGridCtrl::setDefaultColumnWidth(int width) {
    if (width >= 0 && width <= kMaxSectionSize) m_view->setDefaultColumnWidth(width);
}

void CGridCtrl::setDefaultFormat(GridFormat format) {
    m_model->cells().setDefaultFormat(format);
}

void CGridCtrl::setBkColour(const QColor& colour) {
    QPalette pal = m_view->viewport()->palette();
    pal.setColor(QPalette::Base, colour);
    m_view->viewport()->setPalette(pal);
    m_view->viewport()->update();
}

QColor CGridCtrl::bkColour() const {
    return m_view->viewport()->palette().color(QPalette::Base);
}

int CGridCtrl::appendRow(const QString& heading) {
    return insertRow(heading, rowCount());
}

int CGridCtrl::insertRow(const QString& heading, int before) {
    if (columnCount() == 0) return -1;  // a row without cells could not hold its heading
    if (!m_model->insertGridRow(before)) return -1;
    m_model->cells().setText(before, 0, heading);
    if (before < fixedRowCount()) m_view->syncFixed();
    return before;
}

int CGridCtrl::insertColumn(const QString& heading, int after) {
    if (rowCount() == 0) return -1;
    const int at = after + 1;
    if (!m_model->insertGridColumn(at)) return -1;
    m_model->cells().setText(0, at, heading);
    if (at < fixedColumnCount()) m_view->syncFixed();
    return at;
}

bool CGridCtrl::deleteRow(int row) {
    const bool fixed = row < fixedRowCount();
    if (!m_model->removeGridRow(row)) return false;
    if (fixed) m_view->syncFixed();
    return true;
}

bool CGridCtrl::deleteColumn(int col) {
    const bool fixed = col < fixedColumnCount();
    if (!m_model->removeGridColumn(col)) return false;
    if (fixed) m_view->syncFixed();
    return true;
}

bool CGridCtrl::ensureCellVisible(int row, int col) {
    if (row < 0 || row >= rowCount() || col < -1 || col >= columnCount()) return false;
    const int fr = fixedRowCount(), fc = fixedColumnCount();
    if (m_model->rowCount() == 0 || m_model->columnCount() == 0) return true;
    // Fixed rows and columns never scroll away: keep that direction as it is.
    int mr = row - fr, mc = col - fc;
    if (row < fr) mr = std::max(0, m_view->rowAt(0));
    if (col < fc) mc = std::max(0, m_view->columnAt(0));
    const int keepX = m_view->horizontalScrollBar()->value();
    // A scroll moves the whole painted viewport in the backing store. Rows appended faster than
    // the screen is drawn would pay that copy each, so the move is skipped and the viewport is
    // simply repainted once with the next paint (re-enabling updates schedules it).
    QWidget* vp = m_view->viewport();
    const bool wasEnabled = vp->updatesEnabled();
    vp->setUpdatesEnabled(false);
    m_view->updateScrollRanges();
    m_view->scrollTo(m_model->index(mr, mc), QAbstractItemView::EnsureVisible);
    if (col < fc) m_view->horizontalScrollBar()->setValue(keepX);
    vp->setUpdatesEnabled(wasEnabled);
    return true;
}

void CGridCtrl::refresh() {
    m_view->viewport()->update();
    m_view->horizontalHeader()->viewport()->update();
    m_view->verticalHeader()->viewport()->update();
}

std::size_t CGridCtrl::cellMemory() const {
    return m_model->cells().memoryUsage();
}
