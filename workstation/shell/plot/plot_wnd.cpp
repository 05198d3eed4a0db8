#include "plot_wnd.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr float kCoordLimit = 1.0e6f;
float held(float v) {
    return v != v ? 0.0f : (v < -kCoordLimit ? -kCoordLimit : (v > kCoordLimit ? kCoordLimit : v));
}
}  // namespace

int plotNear(float v) {
    return static_cast<int>(held(v + 0.5f));
}
int plotTruncate(float v) {
    return static_cast<int>(held(v));
}

CPlotWnd::CPlotWnd(QSize pictureSize, int lineStep, const QString& text, const QString& id, QWidget* parent)
    : QAbstractScrollArea(parent), m_pictureSize(pictureSize), m_lineStep(lineStep) {
    setObjectName(id);
    setWindowTitle(text);
    setAccessibleName(text);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, Qt::white);  // shows wherever the picture does not reach
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::ArrowCursor);
    horizontalScrollBar()->setSingleStep(lineStep);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, &CPlotWnd::onScrollAction);
    syncScrollBar();
}

bool CPlotWnd::createWindow(QWidget* parent, const QRect& rect) {
    if (parent && parentWidget() != parent) setParent(parent);
    if (!m_created) {
        m_picture = QImage(m_pictureSize, QImage::Format_RGB32);
        m_created = !m_picture.isNull();
        if (m_created) fillPicture();
    }
    setGeometry(rect);
    show();
    return m_created;
}

void CPlotWnd::placeAt(const QRect& rect) {
    const QSize before = viewport()->size();
    setGeometry(rect);
    if (viewport()->size() == before) clientResized(before.width(), before.height());
}

void CPlotWnd::fillPicture() {
    if (m_created) m_picture.fill(m_background);
}

void CPlotWnd::setRange(int min, int max) {
    m_scroll.min = min;
    m_scroll.max = max < min ? min : max;
    m_scroll.pos = m_scroll.clamp(m_scroll.pos);
    syncScrollBar();
}

void CPlotWnd::setScrollInfo(const PlotScrollInfo& info) {
    m_scroll = info;
    if (m_scroll.max < m_scroll.min) m_scroll.max = m_scroll.min;
    if (m_scroll.page < 0) m_scroll.page = 0;
    m_scroll.pos = m_scroll.clamp(m_scroll.pos);
    syncScrollBar();
    viewport()->update();
}

void CPlotWnd::hScroll(PlotScrollRequest request, int trackPos) {
    m_scroll.pos = plotScrollTarget(m_scroll, request, trackPos, m_lineStep);
    syncScrollBar();
    viewport()->update();
}

void CPlotWnd::syncScrollBar() {
    QScrollBar* sb = horizontalScrollBar();
    m_syncing = true;
    sb->setRange(m_scroll.min, m_scroll.lastPos());
    sb->setPageStep(m_scroll.page);
    sb->setValue(m_scroll.pos);
    m_syncing = false;
}

void CPlotWnd::onScrollAction(int action) {
    QScrollBar* sb = horizontalScrollBar();
    PlotScrollRequest req = PlotScrollRequest::Other;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            req = PlotScrollRequest::LineLeft;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            req = PlotScrollRequest::LineRight;
            break;
        case QAbstractSlider::SliderPageStepSub:
            req = PlotScrollRequest::PageLeft;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            req = PlotScrollRequest::PageRight;
            break;
        case QAbstractSlider::SliderMove:
            req = PlotScrollRequest::ThumbTrack;
            break;
        default:
            break;
    }
    m_scroll.pos = plotScrollTarget(m_scroll, req, sb->sliderPosition(), m_lineStep);
    // The bar has already moved its slider by its own rules; ours win.
    sb->setSliderPosition(m_scroll.pos);
    viewport()->update();
}

void CPlotWnd::scrollContentsBy(int, int) {
    if (!m_syncing) m_scroll.pos = m_scroll.clamp(horizontalScrollBar()->value());
    viewport()->update();  // repaint without erasing: the copy covers the whole client area
}

void CPlotWnd::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    clientResized(viewport()->width(), viewport()->height());
}

void CPlotWnd::paintEvent(QPaintEvent* event) {
    if (!m_created) return;
    const int w = viewport()->width(), h = viewport()->height();
    const QRect source(m_scroll.pos, pictureHeight() - h, w, h);
    const QRect shown = source & m_picture.rect();
    if (shown.isEmpty()) return;
    QPainter p(viewport());
    p.setClipRegion(event->region());
    p.drawImage(shown.topLeft() - source.topLeft(), m_picture, shown);
}
