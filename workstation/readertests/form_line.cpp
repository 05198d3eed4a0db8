#include "form_line.h"

#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "form_controls.h"
#include "form_registry.h"
#include "pendra_app.h"

namespace {
const bool registered =
    registerFormView(CFormLine::kFormId, [](QWidget* parent) { return new CFormLine(parent); });
}  // namespace

CLineChartFrame::CLineChartFrame(QWidget* parent) : QFrame(parent) {
    setObjectName("1057");
}

void CLineChartFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, picture_);
}

CFormLine::CFormLine(QWidget* parent) : CFormView(parent) {
    using namespace formcontrols;
    setObjectName(QString::number(kDialog));
    chart_ = new CLineChartFrame(this);
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setObjectName("1058");
    scroll_->setRange(0, 0);
    // The chart moves when the thumb is let go, not while it is dragged.
    scroll_->setTracking(false);
    scroll_->raise();  // it sits over the bottom of the plot frame
    headLabel_ = label(this, kDialog, 1023);
    head_ = edit(this, kDialog, 1056);
    linesLabel_ = label(this, kDialog, 1024);
    lines_ = edit(this, kDialog, 1049);
    lines_->setReadOnly(true);
    clear_ = button(this, kDialog, 1000);
    getValues_ = button(this, kDialog, 1001);
    connect(getValues_, &QPushButton::clicked, this, &CFormLine::OnGetValues);
    connect(clear_, &QPushButton::clicked, this, &CFormLine::OnClear);
    connect(scroll_, &QScrollBar::actionTriggered, this, &CFormLine::onScrollAction);
    connect(scroll_, &QScrollBar::sliderReleased, this, &CFormLine::onThumbReleased);
    addPictureTarget(chart_, strings::text(138));
}

void CFormLine::OnInitialUpdate() {
    const TestDataRecord& record = *theApp()->testData;
    lines_->setText(QString::asprintf("%d", record.lineCount));
    // The form keeps bars for at most kMaxLines lines, whatever was asked for.
    lineCount_ = std::clamp(record.lineCount, 0, linechart::kMaxLines);
    head_->setText("1");
}

void CFormLine::placeControls(int w, int h) {
    chart_->setGeometry(10, h / 7, w - 100, h * 3 / 4);
    scroll_->setGeometry(12, h * 25 / 28 - 20, w - 104, 18);
    headLabel_->setGeometry(w - 75, h - 125, 40, 15);
    head_->setGeometry(w - 40, h - 127, 30, 20);
    linesLabel_->setGeometry(w - 75, h - 105, 50, 15);
    lines_->setGeometry(w - 40, h - 107, 30, 20);
    clear_->setGeometry(w - 60, h - 60, 50, 20);
    getValues_->setGeometry(w - 60, h - 30, 50, 20);
    redraw();
}

void CFormLine::OnGetValues() {
    CPendraApp& app = *theApp();
    const TestDataRecord& record = *app.testData;
    if (record.gray.empty()) {
        formcontrols::showOwnedMessage(this, 117);
        return;
    }
    const int channel = linechart::channelFromHeadText(head_->text(), record.valuesPerLine);
    if (channel < 0) {
        app.ShowMessage(157);
        return;
    }
    linechart::fillLineValues(record, channel, values_);
    redraw();
}

void CFormLine::OnClear() {
    values_.fill(0);
    redraw();
    scroll_->update();
}

void CFormLine::redraw() {
    QImage& picture = chart_->picture();
    if (picture.size() != chart_->size()) picture = QImage(chart_->size(), QImage::Format_RGB32);
    if (picture.isNull()) return;
    const linechart::Geometry g = linechart::geometryFor(picture.rect());
    scrollMax_ = linechart::scrollMaximum(lineCount_, g.visibleColumns);
    // A wider chart may show lines the position scrolled past.
    firstLine_ = std::min(firstLine_, scrollMax_);
    linechart::draw(picture, values_, lineCount_, firstLine_);
    scroll_->setRange(0, scrollMax_);
    scroll_->setPageStep(std::max(1, g.visibleColumns));
    scroll_->setSliderPosition(firstLine_);
    chart_->update();
}

void CFormLine::onScrollAction(int action) {
    linechart::Scroll request = linechart::Scroll::Other;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            request = linechart::Scroll::LineLeft;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            request = linechart::Scroll::LineRight;
            break;
        case QAbstractSlider::SliderMove:
            return;  // the thumb follows the mouse; the chart waits for its release
        default:
            break;
    }
    firstLine_ = linechart::scrollTarget(request, firstLine_, scrollMax_, 0);
    // The bar has already moved its slider by its own rules; ours win.
    scroll_->setSliderPosition(firstLine_);
    redraw();
}

void CFormLine::onThumbReleased() {
    firstLine_ = linechart::scrollTarget(linechart::Scroll::ThumbPosition, firstLine_, scrollMax_,
                                         scroll_->sliderPosition());
    redraw();
}
