#include "curve_wnd.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QScrollBar>

#include "plot_test_util.h"
#include "plot_text.h"

namespace {

const QRgb kBackground = qRgb(182, 252, 182);
const QRgb kRed = qRgb(255, 0, 0) & 0xffffff;
const QRgb kBlue = qRgb(0, 0, 255) & 0xffffff;

struct CurveFixture : ::testing::Test {
    QWidget form;
    CCurveWnd wnd;
    void SetUp() override {
        form.resize(900, 500);
        form.show();
        ASSERT_TRUE(wnd.createWindow(&form, QRect(10, 10, 600, 330)));
        setClientSize(wnd, 600, 290);
    }
    QRgb px(int x, int y) const { return wnd.picture().pixel(x, y) & 0xffffff; }
};

TEST_F(CurveFixture, CreatedWithItsTextIdAndBackground) {
    EXPECT_EQ(wnd.objectName(), QStringLiteral("11111"));
    EXPECT_EQ(wnd.windowTitle(), QStringLiteral("VAZ Curve Wnd"));
    EXPECT_EQ(wnd.picture().size(), QSize(20000, 800));
    EXPECT_EQ(wnd.picture().format(), QImage::Format_RGB32);
    EXPECT_EQ(px(0, 0), kBackground & 0xffffff);
    EXPECT_EQ(px(19999, 799), kBackground & 0xffffff);
    EXPECT_EQ(wnd.parentWidget(), &form);
}

TEST_F(CurveFixture, ResizeSetsRangeAndVerticalScale) {
    EXPECT_FLOAT_EQ(wnd.verticalScale(), 1.0f);
    EXPECT_EQ(wnd.scrollInfo().max, 20000 - 600);
    wnd.setScrollInfo({0, 2400, 300, 0});
    setClientSize(wnd, 500, 540);
    EXPECT_FLOAT_EQ(wnd.verticalScale(), 2.0f);
    EXPECT_EQ(wnd.scrollInfo().max, 300 - 500 + 20000);
    EXPECT_EQ(wnd.horizontalScrollBar()->maximum(), 20000 - 500 + 1);
}

TEST_F(CurveFixture, CurveValue250SitsAtY530AndShowsAtTheWindowTop) {
    const int values[] = {0, 250, 250, 250};
    wnd.drawCurve(4, values);
    // Points (30,780) (30,780) (32,530) (34,530) (36,530); the last pixel is left out.
    EXPECT_EQ(px(33, 530), kRed);
    EXPECT_EQ(px(35, 530), kRed);
    EXPECT_EQ(px(36, 530), kBackground & 0xffffff);
    EXPECT_EQ(px(34, 529), kBackground & 0xffffff);
    EXPECT_EQ(px(34, 531), kBackground & 0xffffff);
    EXPECT_EQ(px(30, 780), kRed);
    // The picture's bottom is the window's bottom: y 530 of 800 is client row 20 of 290.
    const QImage client = grabClient(wnd);
    EXPECT_EQ(client.pixel(34, 20) & 0xffffff, kRed);
    EXPECT_EQ(client.pixel(34, 19) & 0xffffff, kBackground & 0xffffff);
}

TEST_F(CurveFixture, HugeValuesAndLongCurvesAreCutNotOverflowed) {
    std::vector<int> values(30000, 100);
    values[5] = std::numeric_limits<int>::max();
    values[6] = std::numeric_limits<int>::min();
    wnd.drawCurve(static_cast<int>(values.size()), values.data());
    EXPECT_EQ(px(19998, 680), kRed);  // sample 9984 at x 19998
    wnd.drawCurve(0, values.data());
    wnd.drawCurve(5, nullptr);
}

// The pixels of a label as drawMarks would draw it, on a clean background.
QImage referenceLabel(const QFont& font, int x, const QString& text, QRgb colour) {
    QImage img(x + 10, 800, QImage::Format_RGB32);
    img.fill(kBackground);
    QPainter p(&img);
    p.setFont(font);
    p.setPen(QColor(colour));
    drawPlotText(p, QPoint(x, 785), text, Qt::AlignRight);
    return img;
}

bool sameRegion(const QImage& a, const QImage& b, const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if ((a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff)) return false;
    return true;
}

TEST_F(CurveFixture, MarksCarryTicksAndThreeDigitNumbersFrom100On) {
    wnd.setMarkColour(QColor(kBlue));
    std::vector<int> positions(120);
    for (int k = 0; k < 120; ++k) positions[k] = 40 * (k + 1);  // x = 80 (k + 1) + 30
    wnd.drawMarks(positions.data(), 120);
    for (int k : {0, 6, 99, 119}) {
        const int x = 80 * (k + 1) + 30;
        for (int y = 780; y < 785; ++y) EXPECT_EQ(px(x, y), kBlue) << k << " " << y;
        EXPECT_NE(px(x, 779), kBlue);
        const QRect label(x - 60, 785, 60, 15);
        const QImage expected = referenceLabel(wnd.font(), x, QString::asprintf("%03d", k + 1), kBlue);
        const QImage twoDigits = referenceLabel(wnd.font(), x, QString::asprintf("%02d", k + 1), kBlue);
        const QImage picture = wnd.picture().copy(0, 0, x + 10, 800);
        EXPECT_TRUE(sameRegion(picture, expected, label)) << "label " << k + 1;
        if (k < 99) {
            EXPECT_FALSE(sameRegion(picture, twoDigits, label)) << "label " << k + 1;
        }
        EXPECT_GT(label.width() * label.height() - countColour(wnd.picture(), label, kBackground), 10);
        EXPECT_EQ(countColour(wnd.picture(), QRect(x + 1, 786, 20, 14), kBlue), 0) << "right-aligned";
    }
}

TEST_F(CurveFixture, MarksBelow100HaveTwoDigits) {
    std::vector<int> positions(99);
    for (int k = 0; k < 99; ++k) positions[k] = 40 * (k + 1);
    wnd.drawMarks(positions.data(), 99);
    for (int k : {0, 8, 98}) {
        const int x = 80 * (k + 1) + 30;
        const QRect label(x - 60, 785, 60, 15);
        const QImage picture = wnd.picture().copy(0, 0, x + 10, 800);
        const QRgb black = qRgb(0, 0, 0);
        EXPECT_TRUE(sameRegion(
            picture, referenceLabel(wnd.font(), x, QString::asprintf("%02d", k + 1), black), label));
        EXPECT_FALSE(sameRegion(
            picture, referenceLabel(wnd.font(), x, QString::asprintf("%03d", k + 1), black), label));
    }
}

TEST_F(CurveFixture, ScrollingStepsFiftyAndClamps) {
    wnd.setScrollInfo({0, 2400, 300, 0});
    QScrollBar* sb = wnd.horizontalScrollBar();
    sb->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(wnd.scrollInfo().pos, 0);
    sb->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(wnd.scrollInfo().pos, 50);
    EXPECT_EQ(sb->value(), 50);
    sb->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(wnd.scrollInfo().pos, 350);
    wnd.hScroll(PlotScrollRequest::ThumbTrack, 5000);
    EXPECT_EQ(wnd.scrollInfo().pos, 2101);
    EXPECT_EQ(sb->value(), 2101);
    sb->triggerAction(QAbstractSlider::SliderToMinimum);  // not a request the window acts on
    EXPECT_EQ(wnd.scrollInfo().pos, 2101);

    // The copy starts at the scroll position.
    const int values[] = {0, 100, 100};
    wnd.clear();
    wnd.drawCurve(3, values);  // (32,680) to (34,680)
    wnd.setScrollInfo({0, 2400, 300, 30});
    const QImage client = grabClient(wnd);
    EXPECT_EQ(client.pixel(3, 680 - 510) & 0xffffff, kRed);
    EXPECT_EQ(client.pixel(5, 680 - 510) & 0xffffff, kBackground & 0xffffff);
}

TEST(CurveWnd, NothingIsPaintedOrDrawnBeforeCreation) {
    CCurveWnd wnd;
    wnd.resize(300, 200);
    wnd.show();
    const int values[] = {10, 20, 30};
    wnd.drawCurve(3, values);
    wnd.drawMarks(values, 3);
    wnd.clear();
    EXPECT_FALSE(wnd.isCreated());
    EXPECT_TRUE(wnd.picture().isNull());
    const QImage client = grabClient(wnd);
    EXPECT_EQ(countColour(client, client.rect(), kBackground), 0);
    EXPECT_EQ(countColour(client, client.rect(), qRgb(255, 255, 255)), client.width() * client.height());
}

}  // namespace
