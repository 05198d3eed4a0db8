#include "plot_raster.h"

#include <algorithm>
#include <cstdlib>

namespace {
// floor(a / b) for b > 0
long long floorDiv(long long a, long long b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
}  // namespace

void PlotRaster::lineTo(QPoint to) {
    const QPoint from = m_at;
    m_at = to;
    const long long dx = static_cast<long long>(to.x()) - from.x();
    const long long dy = static_cast<long long>(to.y()) - from.y();
    const long long n = std::max(std::llabs(dx), std::llabs(dy));
    if (n == 0 || m_img.isNull()) return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long major0 = xMajor ? from.x() : from.y();
    const long long minor0 = xMajor ? from.y() : from.x();
    const long long dMajor = xMajor ? dx : dy;  // ±n
    const long long dMinor = xMajor ? dy : dx;
    const long long sMajor = dMajor > 0 ? 1 : -1;
    const long long limit = xMajor ? m_img.width() : m_img.height();
    // Steps t = 0 .. n - 1 whose major coordinate lies on the picture.
    long long t0 = 0, t1 = n - 1;
    if (sMajor > 0) {
        t0 = std::max(t0, -major0);
        t1 = std::min(t1, limit - 1 - major0);
    } else {
        t0 = std::max(t0, major0 - (limit - 1));
        t1 = std::min(t1, major0);
    }
    const int w = m_img.width(), h = m_img.height();
    for (long long t = t0; t <= t1; ++t) {
        if (m_style == Style::Dotted && t % 3 != 0) continue;
        const long long major = major0 + sMajor * t;
        const long long minor = minor0 + floorDiv(2 * t * dMinor + n, 2 * n);
        const long long x = xMajor ? major : minor, y = xMajor ? minor : major;
        if (x < 0 || y < 0 || x >= w || y >= h) continue;
        reinterpret_cast<QRgb*>(m_img.scanLine(static_cast<int>(y)))[x] = m_colour | 0xff000000;
    }
}
