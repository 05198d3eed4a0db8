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
    : QWidget(parent), model_(new CGridModel(this)), view_(new CGridView(model_, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
}

CGridCtrl::~CGridCtrl() = default;

bool CGridCtrl::setRowCount(int rows) {
    if (!model_->setGridSize(rows, columnCount())) return false;
    view_->syncFixed();
    return true;
}

bool CGridCtrl::setColumnCount(int columns) {
    if (!model_->setGridSize(rowCount(), columns)) return false;
    view_->syncFixed();
    return true;
}

bool CGridCtrl::setFixedRowCount(int rows) {
    if (!model_->setFixed(rows, fixedColumnCount())) return false;
    view_->syncFixed();
    return true;
}

bool CGridCtrl::setFixedColumnCount(int columns) {
    if (!model_->setFixed(fixedRowCount(), columns)) return false;
    view_->syncFixed();
    return true;
}

int CGridCtrl::rowCount() const {
    return model_->cells().rowCount();
}
int CGridCtrl::columnCount() const {
    return model_->cells().columnCount();
}
int CGridCtrl::fixedRowCount() const {
    return model_->fixedRows();
}
int CGridCtrl::fixedColumnCount() const {
    return model_->fixedColumns();
}

void CGridCtrl::setEditable(bool on) {
    model_->setEditable(on);
    view_->setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                    QAbstractItemView::AnyKeyPressed
                              : QAbstractItemView::NoEditTriggers);
}

bool CGridCtrl::isEditable() const {
    return model_->editable();
}

void CGridCtrl::cellTouched(int row, int col) {
    model_->cellChanged(row, col);
    if (row < fixedRowCount() && col < fixedColumnCount()) view_->syncFixed();  // the corner
}

bool CGridCtrl::setItemText(int row, int col, const QString& text) {
    if (!model_->cells().setText(row, col, text)) return false;
    cellTouched(row, col);
    return true;
}

QString CGridCtrl::itemText(int row, int col) const {
    return model_->cells().text(row, col);
}

bool CGridCtrl::setItemFormat(int row, int col, GridFormat format) {
    if (!model_->cells().setFormat(row, col, format)) return false;
    cellTouched(row, col);
    return true;
}

GridFormat CGridCtrl::itemFormat(int row, int col) const {
    return model_->cells().format(row, col);
}

bool CGridCtrl::setItemBkColour(int row, int col, const QColor& colour) {
    CGridCells& cells = model_->cells();
    const bool ok =
        colour.isValid() ? cells.setBackground(row, col, colour.rgb()) : cells.clearBackground(row, col);
    if (!ok) return false;
    cellTouched(row, col);
    return true;
}

QColor CGridCtrl::itemBkColour(int row, int col) const {
    if (auto rgb = model_->cells().background(row, col)) return QColor(*rgb);
    return QColor();
}

bool CGridCtrl::setRowHeight(int row, int height) {
    if (row < 0 || row >= rowCount() || height < 0 || height > kMaxSectionSize) return false;
    if (row < fixedRowCount()) {
        view_->setFixedRowHeight(row, height);
        return true;
    }
    QHeaderView* h = view_->verticalHeader();
    // Only a real change touches the header, so rows added at the default size stay cheap.
    if (h->sectionSize(row - fixedRowCount()) != height) h->resizeSection(row - fixedRowCount(), height);
    return true;
}

int CGridCtrl::rowHeight(int row) const {
    if (row < 0 || row >= rowCount()) return -1;
    if (row < fixedRowCount()) return view_->fixedRowHeight(row);
    return view_->verticalHeader()->sectionSize(row - fixedRowCount());
}

bool CGridCtrl::setColumnWidth(int col, int width) {
    if (col < 0 || col >= columnCount() || width < 0 || width > kMaxSectionSize) return false;
    if (col < fixedColumnCount()) {
        view_->setFixedColumnWidth(col, width);
        return true;
    }
    QHeaderView* h = view_->horizontalHeader();
    if (h->sectionSize(col - fixedColumnCount()) != width) h->resizeSection(col - fixedColumnCount(), width);
    return true;
}

int CGridCtrl::columnWidth(int col) const {
    if (col < 0 || col >= columnCount()) return -1;
    if (col < fixedColumnCount()) return view_->fixedColumnWidth(col);
    return view_->horizontalHeader()->sectionSize(col - fixedColumnCount());
}

void CGridCtrl::setDefaultRowHeight(int height) {
    if (height >= 0 && height <= kMaxSectionSize) view_->setDefaultRowHeight(height);
}

void CGridCtrl::setDefaultColumnWidth(int width) {
    if (width >= 0 && width <= kMaxSectionSize) view_->setDefaultColumnWidth(width);
}

void CGridCtrl::setDefaultFormat(GridFormat format) {
    model_->cells().setDefaultFormat(format);
}

void CGridCtrl::setBkColour(const QColor& colour) {
    QPalette pal = view_->viewport()->palette();
    pal.setColor(QPalette::Base, colour);
    view_->viewport()->setPalette(pal);
    view_->viewport()->update();
}

QColor CGridCtrl::bkColour() const {
    return view_->viewport()->palette().color(QPalette::Base);
}

int CGridCtrl::appendRow(const QString& heading) {
    return insertRow(heading, rowCount());
}

int CGridCtrl::insertRow(const QString& heading, int before) {
    if (columnCount() == 0) return -1;  // a row without cells could not hold its heading
    if (!model_->insertGridRow(before)) return -1;
    model_->cells().setText(before, 0, heading);
    if (before < fixedRowCount()) view_->syncFixed();
    return before;
}

int CGridCtrl::insertColumn(const QString& heading, int after) {
    if (rowCount() == 0) return -1;
    const int at = after + 1;
    if (!model_->insertGridColumn(at)) return -1;
    model_->cells().setText(0, at, heading);
    if (at < fixedColumnCount()) view_->syncFixed();
    return at;
}

bool CGridCtrl::deleteRow(int row) {
    const bool fixed = row < fixedRowCount();
    if (!model_->removeGridRow(row)) return false;
    if (fixed) view_->syncFixed();
    return true;
}

bool CGridCtrl::deleteColumn(int col) {
    const bool fixed = col < fixedColumnCount();
    if (!model_->removeGridColumn(col)) return false;
    if (fixed) view_->syncFixed();
    return true;
}

bool CGridCtrl::ensureCellVisible(int row, int col) {
    if (row < 0 || row >= rowCount() || col < -1 || col >= columnCount()) return false;
    const int fr = fixedRowCount(), fc = fixedColumnCount();
    if (model_->rowCount() == 0 || model_->columnCount() == 0) return true;
    // Fixed rows and columns never scroll away: keep that direction as it is.
    int mr = row - fr, mc = col - fc;
    if (row < fr) mr = std::max(0, view_->rowAt(0));
    if (col < fc) mc = std::max(0, view_->columnAt(0));
    const int keepX = view_->horizontalScrollBar()->value();
    // A scroll moves the whole painted viewport in the backing store. Rows appended faster than
    // the screen is drawn would pay that copy each, so the move is skipped and the viewport is
    // simply repainted once with the next paint (re-enabling updates schedules it).
    QWidget* vp = view_->viewport();
    const bool wasEnabled = vp->updatesEnabled();
    vp->setUpdatesEnabled(false);
    view_->updateScrollRanges();
    view_->scrollTo(model_->index(mr, mc), QAbstractItemView::EnsureVisible);
    if (col < fc) view_->horizontalScrollBar()->setValue(keepX);
    vp->setUpdatesEnabled(wasEnabled);
    return true;
}

void CGridCtrl::refresh() {
    view_->viewport()->update();
    view_->horizontalHeader()->viewport()->update();
    view_->verticalHeader()->viewport()->update();
}

std::size_t CGridCtrl::cellMemory() const {
    return model_->cells().memoryUsage();
}
