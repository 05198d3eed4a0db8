#include "plot_raster.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <vector>

namespace {

constexpr QRgb kInk = 0xff0000ff;

std::vector<QPoint> inked(const QImage& img) {
    std::vector<QPoint> pts;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == kInk) pts.emplace_back(x, y);
    return pts;
}

QImage blank() {
    QImage img(12, 12, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

TEST(PlotRaster, LinesIncludeTheirStartAndLeaveOutTheirEndInEveryDirection) {
    struct Case {
        QPoint from, to;
        std::vector<QPoint> want;
    };
    const Case cases[] = {
        {{2, 1}, {2, 4}, {{2, 1}, {2, 2}, {2, 3}}},
        {{2, 4}, {2, 1}, {{2, 2}, {2, 3}, {2, 4}}},  // upward: the top end is the one left out
        {{1, 2}, {4, 2}, {{1, 2}, {2, 2}, {3, 2}}},
        {{4, 2}, {1, 2}, {{2, 2}, {3, 2}, {4, 2}}},
        {{1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},
        {{4, 1}, {1, 4}, {{4, 1}, {3, 2}, {2, 3}}},
        {{5, 5}, {5, 5}, {}},
    };
    for (const Case& c : cases) {
        QImage img = blank();
        PlotRaster r(img);
        r.setPen(kInk);
        r.line(c.from, c.to);
        EXPECT_EQ(r.currentPoint(), c.to);
        auto got = inked(img);
        auto want = c.want;
        auto byPos = [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); };
        std::sort(want.begin(), want.end(), byPos);
        EXPECT_EQ(got, want) << c.from.x() << "," << c.from.y() << " -> " << c.to.x() << "," << c.to.y();
    }
}

TEST(PlotRaster, JoinedLinesLeaveNoGapAtCorners) {
    QImage img = blank();
    PlotRaster r(img);
    r.setPen(kInk);
    r.moveTo({1, 9});
    r.lineTo({1, 3});  // up
    r.lineTo({6, 3});  // right
    r.lineTo({6, 8});  // down
    EXPECT_EQ(inked(img).size(), 6u + 5u + 5u);
    EXPECT_EQ(img.pixel(1, 3), kInk);
    EXPECT_EQ(img.pixel(6, 3), kInk);
    EXPECT_NE(img.pixel(6, 8), kInk);
}

TEST(PlotRaster, DottedLinesAndClipping) {
    QImage img(40, 4, QImage::Format_RGB32);
    img.fill(Qt::white);
    PlotRaster r(img);
    r.setPen(kInk, PlotRaster::Style::Dotted);
    r.line({0, 1}, {30, 1});
    for (int x = 0; x < 30; ++x) EXPECT_EQ(img.pixel(x, 1) == kInk, x % 3 == 0) << x;

    // Coordinates far off the picture cost only the picture's size and draw only what is on it.
    QImage big(200, 200, QImage::Format_RGB32);
    big.fill(Qt::white);
    PlotRaster clip(big);
    clip.setPen(kInk);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 1000; ++i) clip.line({-2000000000, 100}, {2000000000, 100});
    clip.line({100, -2000000000}, {100, 2000000000});
    EXPECT_LT(t.elapsed(), 5000);  // a loose bound against iterating over four billion steps
    EXPECT_EQ(big.pixel(0, 100), kInk);
    EXPECT_EQ(big.pixel(199, 100), kInk);
    EXPECT_EQ(big.pixel(100, 0), kInk);
    EXPECT_EQ(inked(big).size(), 399u);
}

}  // namespace
