#include "gray_wnd.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <array>

#include "plot_test_util.h"

namespace {

const QRgb kBackground = qRgb(182, 252, 182) & 0xffffff;
const QRgb kRed = qRgb(255, 0, 0) & 0xffffff;
const QRgb kGreen = qRgb(0, 255, 0) & 0xffffff;
const QRgb kBlue = qRgb(0, 0, 255) & 0xffffff;

struct GrayFixture : ::testing::Test {
    QWidget form;
    CGrayWnd wnd;
    void SetUp() override {
        form.resize(900, 700);
        form.show();
        ASSERT_TRUE(wnd.createWindow(&form, QRect(10, 80, 700, 420)));
        // The consistency form's sizing: picture 720 wide and as high as the plot rectangle.
        wnd.setPictureSize(720, 400);
        setClientSize(wnd, 600, 380);
    }
    QRgb px(int x, int y) const { return wnd.picture().pixel(x, y) & 0xffffff; }
};

TEST_F(GrayFixture, AxesTicksLabelsAndGrid) {
    EXPECT_EQ(wnd.objectName(), QStringLiteral("22222"));
    EXPECT_EQ(wnd.windowTitle(), QStringLiteral("VAZ Gray Wnd"));
    const int yb = 375, xr = 710;
    ASSERT_EQ(wnd.baseLine(), yb);
    EXPECT_FLOAT_EQ(wnd.verticalScale(), 350.0f / 16.0f);
    EXPECT_FLOAT_EQ(wnd.horizontalStep(), 15.0f);
    // Vertical axis from the top, horizontal axis to just before the right end.
    EXPECT_EQ(px(20, 25), kRed);
    EXPECT_EQ(px(20, 200), kRed);
    EXPECT_EQ(px(400, yb), kRed);
    EXPECT_EQ(px(xr - 1, yb), kRed);
    // Arrow heads.
    EXPECT_EQ(px(xr - 5, yb - 5), kRed);
    EXPECT_EQ(px(xr - 4, yb + 4), kRed);
    EXPECT_NE(px(xr - 5, yb + 5), kRed);  // the end of the head is left out
    EXPECT_EQ(px(15, 30), kRed);
    EXPECT_EQ(px(24, 29), kRed);
    // Ticks: long ones (7 px) under every fifth channel, short ones (5 px) between.
    for (int i : {0, 5, 10, 60}) EXPECT_EQ(px(20 + 15 * i, yb + 6), kRed) << i;
    for (int i : {1, 4, 64}) {
        EXPECT_EQ(px(20 + 15 * i, yb + 4), kRed) << i;
        EXPECT_NE(px(20 + 15 * i, yb + 6), kRed) << i;
    }
    // Number labels below the long ticks only.
    auto ink = [&](const QRect& r) {
        return wnd.picture().rect().contains(r)
                   ? r.width() * r.height() - countColour(wnd.picture(), r, kBackground)
                   : -1;
    };
    EXPECT_GT(ink(QRect(20 + 15 * 5 - 5, yb + 8, 12, 12)), 3);
    EXPECT_EQ(ink(QRect(20 + 15 * 6 - 4, yb + 8, 10, 12)), 0);
    // Dotted vertical grid line: some pixels green, some background, none above the top.
    const int gx = 20 + 15 * 3;
    const int onLine = countColour(wnd.picture(), QRect(gx, 30, 1, yb - 40), kGreen);
    EXPECT_GT(onLine, (yb - 40) / 4);
    EXPECT_LT(onLine, (yb - 40) * 3 / 4);
    EXPECT_EQ(px(gx, 20), kBackground);
    // Horizontal grid lines and level ticks at yb - truncate(k * scale).
    for (int k = 1; k <= 16; ++k) {
        const int y = yb - static_cast<int>(k * (350.0f / 16.0f));
        const int green = countColour(wnd.picture(), QRect(30, y, xr - 30, 1), kGreen);
        EXPECT_GT(green, 50) << k;
        EXPECT_EQ(px(18, y), kRed) << k;
        EXPECT_EQ(px(16, y) == kRed, k % 2 == 1) << k;  // long ticks on odd lines
    }
    // Level labels: "0" right of x 7 on grid line 1, "10" from x 0 on grid line 11.
    const int y1 = yb - static_cast<int>(350.0f / 16.0f);
    EXPECT_GT(ink(QRect(7, y1 - 7, 8, 12)), 3);
    EXPECT_EQ(ink(QRect(0, y1 - 7, 6, 5)), 0);
    const int y11 = yb - static_cast<int>(11 * (350.0f / 16.0f));
    EXPECT_GT(ink(QRect(0, y11 - 7, 6, 12)), 3);
}

TEST_F(GrayFixture, ProfileIsAStaircase) {
    wnd.setProfileColour(QColor(0, 0, 255));
    std::array<int, 50> values{};
    for (int i = 0; i < 48; ++i) values[i] = 1 + (i * 7) % 16;
    values[48] = values[49] = 16;  // beyond the 48 channels: not drawn
    wnd.drawProfile(values);
    const int yb = wnd.baseLine();
    const float scale = wnd.verticalScale();
    int prevY = yb;
    for (int i = 0; i < 48; ++i) {
        const int x = 20 + 15 * i;
        const int y = static_cast<int>(static_cast<float>(yb) - values[i] * scale);
        for (int dx = 1; dx < 15; ++dx) EXPECT_EQ(px(x + dx, y), kBlue) << i << " " << dx;
        // The riser joins the previous step's height to this one at the step's left edge.
        const int lo = std::min(prevY, y), hi = std::max(prevY, y);
        for (int yy = lo + 1; yy < hi; ++yy) ASSERT_EQ(px(x, yy), kBlue) << i << " " << yy;
        prevY = y;
    }
    EXPECT_NE(px(20 + 15 * 48 + 2, yb - static_cast<int>(16 * scale)), kBlue);
}

TEST_F(GrayFixture, ResizeErasesTheProfileAndRedrawsTheAxes) {
    wnd.setProfileColour(QColor(0, 0, 255));
    std::array<int, 48> values;
    values.fill(5);
    wnd.drawProfile(values);
    const int y = static_cast<int>(wnd.baseLine() - 5 * wnd.verticalScale());
    ASSERT_EQ(px(100, y), kBlue);
    setClientSize(wnd, 500, 380);
    EXPECT_EQ(countColour(wnd.picture(), wnd.picture().rect(), kBlue), 0);
    EXPECT_EQ(px(20, 200), kRed);
    EXPECT_EQ(px(400, wnd.baseLine()), kRed);
    EXPECT_EQ(wnd.scrollInfo().max, 720 - 500);
    // A smaller picture moves the base line with it once the window is placed again.
    wnd.setPictureSize(720, 300);
    wnd.placeAt(wnd.geometry());
    EXPECT_EQ(wnd.baseLine(), 275);
    EXPECT_EQ(px(400, 275), kRed);
    EXPECT_NE(px(400, 375), kRed);
}

TEST_F(GrayFixture, PaintShowsTheBottomOfThePictureAndScrollsByFive) {
    const QImage client = grabClient(wnd);
    // Client 380 high over a picture 400 high: picture row y is client row y - 20.
    EXPECT_EQ(client.pixel(20, 200 - 20) & 0xffffff, kRed);
    EXPECT_EQ(client.pixel(400, wnd.baseLine() - 20) & 0xffffff, kRed);
    QScrollBar* sb = wnd.horizontalScrollBar();
    sb->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(wnd.scrollInfo().pos, 0);
    sb->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    sb->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(wnd.scrollInfo().pos, 10);
    const QImage scrolled = grabClient(wnd);
    EXPECT_EQ(scrolled.pixel(10, 200 - 20) & 0xffffff, kRed);  // the vertical axis moved left by 10
    EXPECT_NE(scrolled.pixel(20, 200 - 20) & 0xffffff, kRed);
    wnd.hScroll(PlotScrollRequest::ThumbTrack, 100000);
    EXPECT_EQ(wnd.scrollInfo().pos, wnd.scrollInfo().lastPos());
}

TEST(GrayWnd, NothingIsPaintedOrDrawnBeforeCreation) {
    CGrayWnd wnd;
    wnd.resize(300, 200);
    wnd.show();
    std::array<int, 48> values;
    values.fill(3);
    wnd.drawAxes();
    wnd.drawProfile(values);
    wnd.clear();
    EXPECT_TRUE(wnd.picture().isNull());
    const QImage client = grabClient(wnd);
    EXPECT_EQ(countColour(client, client.rect(), kBackground), 0);
    EXPECT_EQ(countColour(client, client.rect(), kRed), 0);
}

TEST(GrayWnd, PictureSizeIsHeldToTheBitmap) {
    CGrayWnd wnd;
    wnd.setPictureSize(5000, -3);
    EXPECT_EQ(wnd.pictureWidth(), 2000);
    EXPECT_EQ(wnd.pictureHeightUsed(), 1);
}

}  // namespace
