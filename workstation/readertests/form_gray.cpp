#include "form_gray.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <cstdint>

#include "form_registry.h"
#include "gray_fetch.h"
#include "grid_ctrl.h"
#include "pendra_app.h"
#include "reader_grid.h"
#include "string_table.h"
#include "vaz.h"

namespace {

const bool registered = registerFormView(CFormGray::kFormId, [](QWidget* parent) { return new CFormGray(parent); });

constexpr int kBottomRow = 48;
constexpr int kChannels = 48;
const QColor kVerdictBlue(0, 0, 255);

// Level v on the table: pale at 0, full magenta at 15.
QColor levelColour(int v) {
    const int g = (((15 - v) * 15) % 256 + 256) % 256;
    return QColor(255, g, 255);
}

}  // namespace

CFormGray::CFormGray(QWidget* parent) : CFormView(parent) {
    setObjectName(QString::number(kDialog));
    auto button = [this](int id) {
        auto* b = new QPushButton(strings::dialogText(kDialog, id), this);
        b->setObjectName(QString::number(id));
        return b;
    };
    auto label = [this](int id) {
        auto* l = new QLabel(strings::dialogText(kDialog, id), this);
        l->setObjectName(QString::number(id));
        return l;
    };
    auto edit = [this](int id) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::number(id));
        return e;
    };
    readCard_ = button(1005);
    syncCount_ = edit(1022);
    syncLabel_ = label(1024);
    getSyncCount_ = button(1071);
    channels_ = edit(1021);
    channelsLabel_ = label(1023);
    lastCard_ = button(1000);
    dLabel_ = label(1064);
    dValue_ = edit(1065);
    sLabel_ = label(1063);
    sValue_ = edit(1049);
    for (QWidget* hidden : std::initializer_list<QWidget*>{channels_, channelsLabel_, lastCard_, dLabel_, dValue_,
                                                           sLabel_, sValue_})
        hidden->hide();
    connect(readCard_, &QPushButton::clicked, this, &CFormGray::OnReadCard);
    connect(getSyncCount_, &QPushButton::clicked, this, &CFormGray::OnGetSyncCount);
    connect(lastCard_, &QPushButton::clicked, this, &CFormGray::OnLastCardGray);
}

void CFormGray::OnInitialUpdate() {
    refreshView();
}

// Every activation and deactivation refreshes the view as its first
// showing did; this is where a card handed over by the read-card test is
// fetched.
void CFormGray::OnActivateView(bool) {
    if (initialUpdateDone()) refreshView();
}

void CFormGray::refreshView() {
    CPendraApp& app = *theApp();
    if (!grid_) createGrid();
    channels_->setText("48");
    syncCount_->setText(QString::number(app.testData->lineCount));
    dValue_->setReadOnly(true);
    sValue_->setReadOnly(true);
    if (app.grayFromCard) {
        app.grayFromCard = 0;
        OnLastCardGray();
    }
}

void CFormGray::createGrid() {
    grid_ = new CGridCtrl(this);
    grid_->setObjectName("grid");
    grid_->setDefaultRowHeight(20);
    grid_->setDefaultColumnWidth(20);
    if (!readergrid::setUp(*grid_, kRows, kInitialColumns)) return;
    for (int r = 0; r < kRows; ++r) grid_->setRowHeight(r, 20);
    for (int c = 0; c < kInitialColumns; ++c) grid_->setColumnWidth(c, 20);
    grid_->setItemText(0, 0, "A");
    for (int c = 1; c < kInitialColumns; ++c) grid_->setItemText(0, c, QString::asprintf("%2d", c));
    for (int r = 1; r < kRows; ++r) {
        grid_->setItemText(r, 0, QString::asprintf("%2d", kRows - r));
        for (int c = 1; c < kInitialColumns; ++c) readergrid::clearCell(*grid_, r, c);
    }
    grid_->show();
    addSaveTarget(grid_, strings::text(137));
    placeControls(width(), height());
}

int CFormGray::textHeight() const {
    return fontMetrics().boundingRect(strings::text(150)).height();
}

void CFormGray::placeControls(int w, int h) {
    const int t = textHeight();
    if (grid_) grid_->setGeometry(0, 0, w, h - 3 * t - 10);
    readCard_->setGeometry(w - 100, h - 30, 80, 20);
    syncCount_->setGeometry(w - 180, h - 30, 60, 20);
    syncLabel_->setGeometry(w - 240, h - 27, 60, 20);
    getSyncCount_->setGeometry(w - 270, h - 30, 80, 20);
    channels_->setGeometry(w - 340, h - 30, 80, 20);
    channelsLabel_->setGeometry(w - 380, h - 27, 40, 20);
    lastCard_->setGeometry(w - 400, h - 30, 120, 20);
    dLabel_->setGeometry(70, h - 30, 20, 20);
    dValue_->setGeometry(100, h - 30, 30, 20);
    sLabel_->setGeometry(160, h - 30, 20, 20);
    sValue_->setGeometry(190, h - 30, 30, 20);
}

void CFormGray::OnLastCardGray() {
    CPendraApp& app = *theApp();
    if (!app.RequireConnection()) return;
    app.testData->lineCount = 73;
    if (grid_) grid_->refresh();
    fillTable(int(GrayFetch::LastCard));
    update();
}

void CFormGray::OnReadCard() {
    CPendraApp& app = *theApp();
    if (!app.RequireConnection()) return;
    bool ok = false;
    const int lines = syncCount_->text().trimmed().toInt(&ok);
    if (!ok || lines == 0) {
        app.ShowMessage(149);
        return;
    }
    app.testData->lineCount = lines;
    if (grid_) grid_->refresh();
    fillTable(int(GrayFetch::ReadNow));
    // The judgement reads the table, which shows the last good card after a
    // failed read.
    if (grid_) position_ = analyseHeadPosition(*grid_);
    update();
}

void CFormGray::OnGetSyncCount() {
    CPendraApp& app = *theApp();
    if (!app.RequireConnection()) return;
    // The reply buffer holds anything VazG may deliver; the count is its
    // first byte.
    QByteArray reply(VAZ_REPLY_SIZE, '\0');
    bool accepted = false;
    {
        DeviceLock::Hold hold(app.device.lock);
        accepted = app.device.send("I 3/") > 0;
        if (accepted) app.device.get(reply.data());
    }
    if (!accepted) {
        app.ShowMessage(118);
        return;
    }
    syncCount_->setText(QString::number(std::uint8_t(reply[0])));
}

bool CFormGray::fillTable(int mode) {
    CPendraApp& app = *theApp();
    const int result = FetchGrayData(app, GrayFetch(mode));
    if (result <= 0) {
        QMessageBox box(QMessageBox::NoIcon, strings::text(103), strings::text(114), QMessageBox::Ok, this);
        box.setObjectName("message");
        box.exec();
        return false;
    }
    TestDataRecord& record = *app.testData;
    record.valuesPerLine = kChannels;
    const int n = result / TestDataRecord::kLineStride;
    record.lineCount = n;
    if (!grid_) return true;
    resizeColumns(n + 1);
    for (int line = 0; line < n; ++line) {
        for (int j = 0; j < kChannels; ++j) {
            const int v = std::int8_t(record.value(line, j));
            const int row = kBottomRow - j, col = n - line;
            grid_->setItemText(row, col, QString::asprintf("%02X", v));
            grid_->setItemBkColour(row, col, levelColour(v));
        }
    }
    grid_->ensureCellVisible(kBottomRow);
    grid_->refresh();
    return true;
}

// New columns come one by one at the right, 18 wide, headed with their own
// index; surplus ones go from the right.
void CFormGray::resizeColumns(int columns) {
    while (grid_->columnCount() > columns && grid_->columnCount() > 1) grid_->deleteColumn(grid_->columnCount() - 1);
    while (grid_->columnCount() < columns) {
        const int c = grid_->insertColumn(QString::asprintf("%02d", grid_->columnCount()), grid_->columnCount() - 1);
        if (c < 0) return;
        grid_->setColumnWidth(c, 18);
        for (int r = 1; r < grid_->rowCount(); ++r) readergrid::clearCell(*grid_, r, c);
    }
}

void CFormGray::paintEvent(QPaintEvent* e) {
    CFormView::paintEvent(e);
    if (!grid_) return;
    const int t = textHeight();
    const QRect g = grid_->geometry();
    const int bottom = g.y() + g.height();
    QPainter p(this);
    p.setPen(QPen(kVerdictBlue, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(g.x(), bottom + 5), QPoint(g.x() + g.width() - 1, bottom + 3 * t + 9)));
    auto text = [&](int x, int y, const QString& s) {
        p.drawText(QRect(x, y, g.width(), t), Qt::AlignLeft | Qt::AlignTop, s);
    };
    text(g.x() + 20, bottom + 5, strings::text(150));
    text(g.x() + 90, bottom + t + 5, strings::text(position_.upDownVerdict()));
    text(g.x() + 90, bottom + 2 * t + 5, strings::text(position_.leftRightVerdict()));
}
