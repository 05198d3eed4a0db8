#include "line_chart.h"

#include <QPainter>
#include <algorithm>

#include "plot_raster.h"
#include "plot_text.h"
#include "test_data_record.h"

namespace linechart {
namespace {
constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kBlue = 0xff0000ff;
constexpr QRgb kGreen = 0xff00ff00;
const QColor kBackground(182, 252, 182);
const QColor kOutline(111, 111, 111);
constexpr int kValuesPerLineStride = 50;  // the record keeps 50 values a line, 48 of them channels
constexpr int kBarWidth = 8;
using Style = PlotRaster::Style;
}  // namespace

Geometry geometryFor(const QRect& client) {
    Geometry g{};
    g.left = client.left();
    g.top = client.top();
    g.right = client.left() + client.width();  // exclusive, as the window system counts
    g.bottom = client.top() + client.height();
    g.x0 = g.left + 20;
    g.yt = g.top + 10;
    g.xr = g.right - 10;
    g.yb = g.bottom - 42;
    g.visibleColumns = std::max(0, (g.xr - g.x0) / kColumnWidth);
    g.levelHeight = std::max(0, (g.yb - g.yt) / kLevels);
    return g;
}

int scrollMaximum(int lineCount, int visibleColumns) {
    return lineCount > visibleColumns ? lineCount - visibleColumns : 0;
}

int channelFromHeadText(const QString& text, int valuesPerLine) {
    bool ok = false;
    const int k = text.trimmed().toInt(&ok) - 1;
    if (!ok || k < 0 || k > valuesPerLine - 1) return -1;
    return k;
}

void fillLineValues(const TestDataRecord& record, int channel, LineValues& values) {
    const int held = static_cast<int>(record.gray.size() / kValuesPerLineStride);
    const int n = std::min({record.lineCount, held, kMaxLines});
    if (channel < 0 || channel >= kValuesPerLineStride) return;
    for (int line = 0; line < n; ++line)
        values[static_cast<size_t>(n - 1 - line)] =
            record.gray[static_cast<size_t>(kValuesPerLineStride * line + channel)];
}

int scrollTarget(Scroll request, int position, int maximum, int thumb) {
    switch (request) {
        case Scroll::LineLeft:
            return position - 1 > 0 ? position - 1 : 0;
        case Scroll::LineRight:
            return position + 1 < maximum ? position + 1 : maximum;
        case Scroll::ThumbPosition:
            return std::clamp(thumb, 0, std::max(0, maximum));
        case Scroll::Other:
            break;
    }
    return position;
}

void draw(QImage& picture, const LineValues& values, int lineCount, int firstLine) {
    const Geometry g = geometryFor(picture.rect());
    lineCount = std::clamp(lineCount, 0, kMaxLines);
    firstLine = std::max(firstLine, 0);

    picture.fill(kBackground);
    QPainter p(&picture);
    p.setPen(QPen(kOutline, 3));
    p.drawRect(QRect(g.left, g.top, g.right - g.left - 1, g.bottom - g.top - 1));
    p.setPen(QColor(kRed));

    PlotRaster r(picture);
    r.setPen(kRed);
    r.moveTo(QPoint(g.x0, g.yt));
    r.lineTo(QPoint(g.x0, g.yb));
    r.lineTo(QPoint(g.xr, g.yb));

    for (int j = 0; j <= g.visibleColumns; ++j) {
        const int x = g.x0 + kColumnWidth * j;
        r.setPen(kRed);
        if (j % 5 == 0) {
            r.line(QPoint(x, g.yb), QPoint(x, g.bottom - 35));
            drawPlotText(p, QPoint(x - 5, g.bottom - 35), QString::number(firstLine + j), Qt::AlignLeft);
        } else {
            r.line(QPoint(x, g.yb), QPoint(x, g.bottom - 37));
        }
        if (j > 0) {
            r.setPen(kGreen, Style::Dotted);
            r.line(QPoint(x, g.bottom - 47), QPoint(x, g.yt));
        }
    }

    r.setPen(kRed);
    r.moveTo(QPoint(g.xr - 5, g.bottom - 47));
    r.lineTo(QPoint(g.xr, g.yb));
    r.lineTo(QPoint(g.xr - 5, g.bottom - 37));
    r.moveTo(QPoint(g.x0 - 5, g.yt + 5));
    r.lineTo(QPoint(g.x0, g.yt));
    r.lineTo(QPoint(g.left + 25, g.yt + 5));

    for (int k = 0; k < kLevels; ++k) {
        const int y = g.yb - (k + 1) * g.levelHeight;
        r.setPen(kGreen, Style::Dotted);
        r.line(QPoint(g.left + 30, y), QPoint(g.xr, y));
        r.setPen(kRed);
        if (k % 2 == 1) {
            r.line(QPoint(g.x0, y), QPoint(g.x0 - 5, y));
        } else {
            r.line(QPoint(g.x0, y), QPoint(g.left + 13, y));
            drawPlotText(p, QPoint(k >= 10 ? g.left : g.left + 7, y - 7), QString::number(k), Qt::AlignLeft);
        }
    }

    // Each bar stands on the level-0 line; bars past the picture's right
    // edge would not show.
    const int base = g.yb - g.levelHeight;
    r.setPen(kBlue);
    r.moveTo(QPoint(g.x0, base));
    for (int i = 0; i <= lineCount && firstLine + i < lineCount; ++i) {
        const int x = g.x0 + kColumnWidth * (i + 1);
        if (x - kBarWidth >= g.right) break;
        const int v = values[static_cast<size_t>(firstLine + i)];
        const long long top = static_cast<long long>(g.yb) - static_cast<long long>(v + 1LL) * g.levelHeight;
        const int yv = static_cast<int>(std::clamp<long long>(top, -100000, 100000));
        r.lineTo(QPoint(x - kBarWidth, base));
        r.lineTo(QPoint(x - kBarWidth, yv));
        r.lineTo(QPoint(x, yv));
        r.lineTo(QPoint(x, base));
    }
}

}  // namespace linechart
