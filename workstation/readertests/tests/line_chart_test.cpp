// The line chart's scrolling and the bars it draws.
#include <gtest/gtest.h>

#include <QImage>

#include "line_chart.h"
#include "test_data_record.h"

namespace {

TEST(LineChartScroll, SeventyThreeLinesInFortyColumnsScrollThirtyThree) {
    const linechart::Geometry g = linechart::geometryFor(QRect(0, 0, 630, 300));
    EXPECT_EQ(g.visibleColumns, 40);
    EXPECT_EQ(linechart::scrollMaximum(73, g.visibleColumns), 33);
    EXPECT_EQ(linechart::scrollMaximum(40, g.visibleColumns), 0);
}

TEST(LineChartScroll, LineStepsStopAtBothEnds) {
    using linechart::Scroll;
    EXPECT_EQ(linechart::scrollTarget(Scroll::LineLeft, 0, 33, 0), 0);
    EXPECT_EQ(linechart::scrollTarget(Scroll::LineLeft, 1, 33, 0), 0);
    EXPECT_EQ(linechart::scrollTarget(Scroll::LineLeft, 5, 33, 0), 4);
    EXPECT_EQ(linechart::scrollTarget(Scroll::LineRight, 32, 33, 0), 33);
    EXPECT_EQ(linechart::scrollTarget(Scroll::LineRight, 33, 33, 0), 33);
    EXPECT_EQ(linechart::scrollTarget(Scroll::ThumbPosition, 3, 33, 10), 10);
    EXPECT_EQ(linechart::scrollTarget(Scroll::Other, 7, 33, 10), 7);
}

TEST(LineChartValues, FirstLineDeliveredGoesToTheRightEnd) {
    TestDataRecord record;
    record.lineCount = 3;
    record.gray.assign(3 * 50 + 1, 0);
    record.gray[0 * 50 + 4] = 9;  // line 0, head 5
    record.gray[2 * 50 + 4] = 2;
    linechart::LineValues values{};
    linechart::fillLineValues(record, 4, values);
    EXPECT_EQ(values[2], 9);
    EXPECT_EQ(values[0], 2);
}

TEST(LineChartValues, ALineCountBeyondTheBufferReadsOnlyWhatIsThere) {
    TestDataRecord record;
    record.lineCount = 5000;  // asked for, never delivered
    record.gray.assign(2 * 50 + 1, 7);
    linechart::LineValues values{};
    linechart::fillLineValues(record, 0, values);
    EXPECT_EQ(values[0], 7);
    EXPECT_EQ(values[1], 7);
    EXPECT_EQ(values[2], 0);
}

// Column of the bar of visible position i, its left edge, in picture x.
int barRight(const linechart::Geometry& g, int i) {
    return g.x0 + 15 * (i + 1);
}

TEST(LineChartBars, LevelFifteenReachesTheTopGridLineAndZeroStaysFlat) {
    QImage picture(630, 300, QImage::Format_RGB32);
    linechart::LineValues values{};
    values[0] = 15;
    values[1] = 0;
    linechart::draw(picture, values, 2, 0);
    const linechart::Geometry g = linechart::geometryFor(picture.rect());
    const QRgb blue = 0xff0000ff;
    const int top = g.yb - 16 * g.levelHeight;
    EXPECT_EQ(picture.pixel(barRight(g, 0) - 4, top), blue);       // the bar's roof on grid line 16
    EXPECT_NE(picture.pixel(barRight(g, 0) - 4, top - 1), blue);
    EXPECT_EQ(picture.pixel(barRight(g, 1) - 4, g.yb - g.levelHeight), blue);  // flat on level 0
    EXPECT_NE(picture.pixel(barRight(g, 1) - 8, g.yb - 2 * g.levelHeight), blue);
}

TEST(LineChartBars, AFormLineCountBeyondTheValuesIsHeldToThem) {
    QImage picture(630, 300, QImage::Format_RGB32);
    linechart::LineValues values{};
    values.back() = 3;
    // Reading past the 1024 values would be caught by the sanitizers.
    linechart::draw(picture, values, 5000, 1000);
    const linechart::Geometry g = linechart::geometryFor(picture.rect());
    EXPECT_EQ(picture.pixel(barRight(g, 23) - 4, g.yb - 4 * g.levelHeight), 0xff0000ffu);
}

}  // namespace
