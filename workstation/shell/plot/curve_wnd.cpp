#include "curve_wnd.h"

#include <QPainter>

#include "plot_raster.h"
#include "plot_text.h"

CCurveWnd::CCurveWnd(QWidget* parent)
    : CPlotWnd(QSize(kWidth, kHeight), 50, QStringLiteral("VAZ Curve Wnd"), QStringLiteral("11111"), parent) {
}

void CCurveWnd::clientResized(int width, int height) {
    setRange(0, scrollInfo().page - width + kWidth);
    m_vScale = static_cast<float>(height - 40) / 250.0f;
}

void CCurveWnd::drawCurve(int count, const int* values) {
    if (!isCreated() || !values || count <= 0) return;
    PlotRaster r(m_picture);
    r.setPen(m_curveColour.rgb());
    r.moveTo(QPoint(kBaseX, kBaseY));
    for (int i = 0; i < count; ++i) {
        const int x = plotNear(static_cast<float>(i) * m_hScale) + kBaseX;
        r.lineTo(QPoint(x, kBaseY - plotNear(static_cast<float>(values[i]) * m_vScale)));
        if (x >= kWidth) break;  // everything further is off the picture
    }
}

void CCurveWnd::drawMarks(const int* positions, int count) {
    if (!isCreated() || !positions || count <= 0) return;
    PlotRaster r(m_picture);
    r.setPen(m_markColour.rgb());
    QPainter p(&m_picture);
    p.setFont(font());
    p.setPen(m_markColour);
    const char* format = count < 100 ? "%02d" : "%03d";
    for (int k = 0; k < count; ++k) {
        const int x = plotNear(static_cast<float>(positions[k]) * m_hScale) + kBaseX;
        if (x < -kWidth || x > 2 * kWidth) continue;  // far off the picture: nothing to see
        r.line(QPoint(x, kBaseY), QPoint(x, kBaseY + 5));
        drawPlotText(p, QPoint(x, kBaseY + 5), QString::asprintf(format, k + 1), Qt::AlignRight);
    }
}

void CCurveWnd::clear() {
    if (!isCreated()) return;
    fillPicture();
    viewport()->update();
}
