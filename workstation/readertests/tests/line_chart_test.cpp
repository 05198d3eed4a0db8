// The line chart: the bars it draws and what it reads when the record and
// the form disagree about the line count.
#include "line_chart.h"

#include <gtest/gtest.h>

#include <QImage>

#include "test_data_record.h"

namespace {

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
    EXPECT_EQ(picture.pixel(barRight(g, 0) - 4, top), blue);  // the bar's roof on grid line 16
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
