// The consistency test: the line a number picks, the colours of successive
// profiles, and the picture's width on a narrow form.
#include "form_consist.h"
#include "gray_fetch.h"
#include "gray_wnd.h"
#include "reader_form_test.h"
#include "vazsim/card_deck.h"

class ConsistForm : public ReaderFormTest {
protected:
    void SetUp() override { startWith(); }
    void readAndOpen(const vazsim::Sheet& sheet) { readThenOpen(sheet, form); }
    void getValues(const QString& line) {
        control<QLineEdit>(form, 1052)->setText(line);
        click(form, 1001);
        pump();
    }
    int pixelsOf(QRgb colour) {
        const QImage& p = form->grayWnd()->picture();
        int n = 0;
        for (int y = 0; y < form->grayWnd()->pictureHeightUsed(); ++y)
            for (int x = 0; x < form->grayWnd()->pictureWidth(); ++x)
                n += p.pixel(x, y) == (colour | 0xff000000);
        return n;
    }
    CFormConsist* form = nullptr;
};

TEST_F(ConsistForm, LineSeventyThreeIsTheFirstLineDeliveredAndLineOneTheLast) {
    vazsim::Sheet s = vazsim::blankSheet(73, 0);
    s.gray[0][4] = 9;
    s.gray[72][4] = 3;
    readAndOpen(s);
    const TestDataRecord& record = *app->testData;
    getValues("73");
    EXPECT_EQ(form->profile()[4], 1 + record.value(0, 4));
    getValues("1");
    EXPECT_EQ(form->profile()[4], 1 + record.value(72, 4));
    ASSERT_NE(record.value(0, 4), record.value(72, 4));
}

TEST_F(ConsistForm, FivePressesDrawBlueMagentaBrownOrangeBlackAndTheSixthBlueAgain) {
    readAndOpen(vazsim::blankSheet(73, 5));
    const QColor expected[] = {{0, 0, 255},   {255, 0, 255}, {128, 64, 0},
                               {255, 128, 0}, {0, 0, 0},     {0, 0, 255}};
    int press = 0;
    for (const QColor& colour : expected) {
        click(form, 1000);  // a clear picture each time, so the new profile is the only one
        getValues("1");
        EXPECT_EQ(form->grayWnd()->profileColour(), colour) << "press " << press;
        EXPECT_GT(pixelsOf(colour.rgb()), 48 * 15) << "press " << press;
        ++press;
    }
}

TEST_F(ConsistForm, ALineNumberOutsideTheCardDrawsNothing) {
    readAndOpen(vazsim::blankSheet(20, 5));
    for (const char* line : {"0", "21", "-3", "x"}) getValues(line);
    EXPECT_EQ(pixelsOf(0xff0000ff), 0);
    getValues("20");
    EXPECT_GT(pixelsOf(0xff0000ff), 0);  // the first profile is blue
}

TEST_F(ConsistForm, ANarrowFormStillGetsAPictureSevenHundredTwentyWide) {
    form = open<CFormConsist>(CFormConsist::kFormId);
    ASSERT_NE(form, nullptr);
    form->resize(600, 420);
    pump();
    CGrayWnd* gray = form->grayWnd();
    EXPECT_EQ(gray->pictureWidth(), 720);
    EXPECT_EQ(gray->pictureHeightUsed(), 420 * 25 / 28 - 420 / 7);
    EXPECT_EQ(gray->geometry(), QRect(QPoint(10, 60), QPoint(509, 374)));
    EXPECT_GT(gray->scrollInfo().lastPos(), 0);
    form->resize(1000, 420);
    pump();
    EXPECT_EQ(gray->pictureWidth(), 900);
}

TEST_F(ConsistForm, WithoutAGrayReadItAsksForOne) {
    form = open<CFormConsist>(CFormConsist::kFormId);
    ASSERT_NE(form, nullptr);
    click(form, 1001);
    pump();
    EXPECT_EQ(boxes.count(QStringLiteral("请先执行读灰度操作")), 1);
}
