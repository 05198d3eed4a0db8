#include "gray_wnd.h"

#include <QPainter>
#include <algorithm>

#include "plot_raster.h"
#include "plot_text.h"

namespace {
constexpr QRgb kAxisColour = 0xffff0000;
constexpr QRgb kGridColour = 0xff00ff00;
const QColor kLabelColour(0, 0, 0);
using Style = PlotRaster::Style;
}  // namespace

CGrayWnd::CGrayWnd(QWidget* parent)
    : CPlotWnd(QSize(kSize, kSize), 5, QStringLiteral("VAZ Gray Wnd"), QStringLiteral("22222"), parent) {}

void CGrayWnd::setPictureSize(int width, int height) {
    m_width = std::clamp(width, 1, kSize);
    m_height = std::clamp(height, 1, kSize);
}

void CGrayWnd::clientResized(int width, int) {
    setRange(0, m_width + scrollInfo().page - width);
    clear();
    if (isCreated()) {
        drawAxes();  // whatever profile was drawn is gone with the old picture
        viewport()->update();
    }
}

void CGrayWnd::clear() {
    if (isCreated()) fillPicture();
}

void CGrayWnd::drawAxes() {
    if (!isCreated()) return;
    const int yb = baseLine(), xr = rightEnd();
    m_hStep = 15.0f;
    PlotRaster r(m_picture);
    QPainter p(&m_picture);
    p.setFont(font());
    p.setPen(kLabelColour);

    r.setPen(kAxisColour);
    r.moveTo(QPoint(kOriginX, kTop));
    r.lineTo(QPoint(kOriginX, yb));
    r.lineTo(QPoint(xr, yb));

    for (int i = 0; i <= 64; ++i) {
        const int x = kOriginX + 15 * i;
        r.setPen(kAxisColour);
        if (i % 5 == 0) {
            r.line(QPoint(x, yb), QPoint(x, yb + 7));
            drawPlotText(p, QPoint(x - 5, yb + 7), QString::number(i), Qt::AlignLeft);
        } else {
            r.line(QPoint(x, yb), QPoint(x, yb + 5));
        }
        if (i > 0) {
            r.setPen(kGridColour, Style::Dotted);
            r.line(QPoint(x, yb - 5), QPoint(x, kTop));
        }
    }

    r.setPen(kAxisColour);
    r.moveTo(QPoint(xr - 5, yb - 5));
    r.lineTo(QPoint(xr, yb));
    r.lineTo(QPoint(xr - 5, yb + 5));
    r.moveTo(QPoint(15, 30));
    r.lineTo(QPoint(20, 25));
    r.lineTo(QPoint(25, 30));

    m_vScale = static_cast<float>(yb - 25) / 16.0f;
    for (int k = 1; k <= 16; ++k) {
        const int y = yb - plotTruncate(static_cast<float>(k) * m_vScale);
        r.setPen(kGridColour, Style::Dotted);
        r.line(QPoint(30, y), QPoint(xr, y));
        r.setPen(kAxisColour);
        if (k % 2 == 1) {
            r.line(QPoint(kOriginX, y), QPoint(13, y));
            drawPlotText(p, QPoint(k - 1 > 9 ? 0 : 7, y - 7), QString::number(k - 1), Qt::AlignLeft);
        } else {
            r.line(QPoint(kOriginX, y), QPoint(17, y));
        }
    }
}

void CGrayWnd::drawProfile(std::span<const int> values) {
    if (!isCreated() || values.empty()) return;
    const int yb = baseLine();
    const int n = static_cast<int>(std::min<std::size_t>(values.size(), kChannels));
    PlotRaster r(m_picture);
    r.setPen(m_profileColour.rgb());
    r.moveTo(QPoint(kOriginX, yb));
    for (int i = 0; i < n; ++i) {
        const int x = kOriginX + i * 15;
        const int y = plotTruncate(static_cast<float>(yb) - static_cast<float>(values[i]) * m_vScale);
        r.lineTo(QPoint(x, y));
        r.lineTo(QPoint(x + 15, y));
    }
}
