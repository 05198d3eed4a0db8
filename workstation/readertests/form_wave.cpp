#include "form_wave.h"

#include <algorithm>
#include <span>

#include "curve_wnd.h"
#include "form_controls.h"
#include "form_registry.h"
#include "main_frame.h"
#include "pendra_app.h"
#include "wave_sync.h"

namespace {

const bool registered =
    registerFormView(CFormWave::kFormId, [](QWidget* parent) { return new CFormWave(parent); });

int g_sampleCount = 1800;

const QColor kSyncGray(200, 200, 200);
const QColor kBlue(0, 0, 255);

// The largest curve the library can hand over: its block has a four-digit
// length field, so it never exceeds the reply size.
constexpr int kFetchBufferSize = VAZ_REPLY_SIZE;

}  // namespace

int CFormWave::sampleCount() {
    return g_sampleCount;
}

CFormWave::CFormWave(QWidget* parent)
    : CFormView(parent), channel_(wavesync::kCurveSamples, 0), sync_(wavesync::kCurveSamples, 0) {
    using namespace formcontrols;
    setObjectName(QString::number(kDialog));
    headLabel_ = label(this, kDialog, 1059);
    head_ = edit(this, kDialog, 1061);
    syncLabel_ = label(this, kDialog, 1060);
    syncCount_ = edit(this, kDialog, 1049);
    clear_ = button(this, kDialog, 1001);
    clear_->hide();
    readCard_ = button(this, kDialog, 1000);
    connect(readCard_, &QPushButton::clicked, this, &CFormWave::OnReadCard);
    connect(clear_, &QPushButton::clicked, this, &CFormWave::OnClear);
}

void CFormWave::OnInitialUpdate() {
    syncCount_->setText(QString::asprintf("%d", theApp()->testData->lineCount));
    head_->setText("1");
    curve_ = new CCurveWnd(this);
    curve_->createWindow(this, QRect());
    curve_->setScrollInfo({0, g_sampleCount, kScrollPage, 0});
    addSaveTarget(curve_, strings::text(140));
    curve_->viewport()->update();
}

void CFormWave::placeControls(int w, int h) {
    if (curve_) curve_->placeAt(QRect(10, h / 7, w - 100, h * 25 / 28 - h / 7));
    headLabel_->setGeometry(w - 75, h - 125, 35, 15);
    head_->setGeometry(w - 40, h - 127, 30, 20);
    syncLabel_->setGeometry(w - 75, h - 105, 35, 15);
    syncCount_->setGeometry(w - 40, h - 107, 30, 20);
    clear_->setGeometry(w - 60, h - 60, 50, 20);
    readCard_->setGeometry(w - 60, h - 30, 50, 20);
}

void CFormWave::OnReadCard() {
    CPendraApp& app = *theApp();
    if (!app.RequireConnection()) return;
    const int lines = formcontrols::editNumber(syncCount_);
    if (lines <= 0) {
        app.ShowMessage(149);
        return;
    }
    app.testData->lineCount = lines;
    // A head number that is no number, or below 1, asks for head 1 and
    // shows the sync track twice.
    const int head = std::max(0, formcontrols::editNumber(head_));
    const QByteArray select =
        QString::asprintf("I 5 %02d,%02d/", wavesync::readerHead(head), lines).toLatin1();
    if (app.device.send(select.constData()) <= 0) {
        app.ShowDeviceError(this);
        return;
    }
    const int e = fetchCurve(wavesync::channelCurveArgument(head), channel_);
    if (e == 0) return;
    g_sampleCount = e;
    const int f = fetchCurve(0, sync_);
    if (f != 0) g_sampleCount = f;
    if (!curve_) return;
    curve_->clear();
    draw();
}

int CFormWave::fetchCurve(int argument, std::vector<int>& buffer) {
    CPendraApp& app = *theApp();
    std::vector<int> fetched(kFetchBufferSize, 0);
    int delivered = 0;
    {
        DeviceLock::Hold hold(app.device.lock);  // the curve of this command, not another caller's
        const QByteArray command = QString::asprintf("I 6 %d/", argument).toLatin1();
        if (app.device.send(command.constData()) <= 0) return 0;
        delivered = app.device.getCurve('A', fetched.data());
    }
    if (delivered <= 0) {
        formcontrols::showOwnedMessage(app.mainFrame(), 120);
        return 0;
    }
    return wavesync::takeCurve(fetched, delivered, buffer);
}

void CFormWave::draw() {
    const int n = std::clamp(g_sampleCount, 0, wavesync::kCurveSamples);
    curve_->setMarkColour(kBlue);  // whichever read it is: the marks' colours are all blue
    curve_->setCurveColour(kSyncGray);
    curve_->drawCurve(n, sync_.data());
    curve_->setCurveColour(kBlue);
    curve_->drawCurve(n, channel_.data());

    // The channel buffer takes the squared sync track; its waveform is drawn.
    const std::span<const int> sync(sync_.data(), static_cast<size_t>(n));
    threshold_ = wavesync::syncThreshold(sync);
    wavesync::square(sync, threshold_, std::span<int>(channel_.data(), static_cast<size_t>(n)));
    marks_ = wavesync::markCentres(std::span<const int>(channel_.data(), static_cast<size_t>(n)));
    curve_->setCurveColour(kSyncGray);
    curve_->drawCurve(n, channel_.data());
    if (!marks_.empty()) curve_->drawMarks(marks_.data(), static_cast<int>(marks_.size()));

    PlotScrollInfo scroll = curve_->scrollInfo();
    scroll.min = 0;
    scroll.max = 2 * n;
    scroll.pos = wavesync::scrollPositionFor(marks_);
    curve_->setScrollInfo(scroll);
    curve_->viewport()->update();
}

void CFormWave::OnClear() {
    if (curve_) curve_->clear();
}
