// The waveform test: the head the reader is asked for, the sync track's
// threshold and marks, and the failures.
#include <QLineEdit>

#include "curve_wnd.h"
#include "form_wave.h"
#include "reader_form_test.h"
#include "vazsim/card_deck.h"

class WaveForm : public ReaderFormTest {
protected:
    void SetUp() override {
        startWith();
        form = open<CFormWave>(CFormWave::kFormId);
        ASSERT_NE(form, nullptr);
    }
    // A card in the reader, read as the gray test would.
    void feed(const vazsim::Sheet& sheet) {
        reader().addCard(sheet);
        ASSERT_GT(app->device.send(QString::asprintf("I 2 %02d/", sheet.syncCount).toLatin1().constData()),
                  0);
    }
    void readCard(const QString& head, const QString& lines) {
        control<QLineEdit>(form, 1061)->setText(head);
        control<QLineEdit>(form, 1049)->setText(lines);
        click(form, 1000);
        pump();
    }
    CFormWave* form = nullptr;
};

TEST_F(WaveForm, HeadThirtyIsAskedForAsThirtyAndThirtyOneAsThirtyThree) {
    feed(vazsim::blankSheet(73, 0));
    readCard("30", "73");
    readCard("31", "73");
    readCard("48", "73");
    EXPECT_EQ(received("I 5 30 73/"), 1);
    EXPECT_EQ(received("I 5 33 73/"), 1);
    EXPECT_EQ(received("I 5 50 73/"), 1);
    EXPECT_EQ(received("I 6 1/"), 3);
    EXPECT_EQ(app->testData->lineCount, 73);
}

TEST_F(WaveForm, HeadZeroAsksForHeadOneAndFetchesTheSyncTrackTwice) {
    feed(vazsim::blankSheet(40, 0));
    readCard("0", "40");
    EXPECT_EQ(received("I 5 01 40/"), 1);
    EXPECT_EQ(received("I 6 0/"), 2);
    EXPECT_EQ(received("I 6 1/"), 0);
}

TEST_F(WaveForm, MarksAtFortyOnPaperAtTwoHundredGiveThresholdOneTwentyAndAMarkAtEveryCentre) {
    // Pitch 24: a mark fills samples 6..17 of its line's 24 and the two
    // samples beside it read half-way (120), which is not above the
    // threshold. Line L (1 = first) sits at 24 L .. 24 L + 23 of the 1800
    // samples; the form turns the curve round, so the last line comes first.
    feed(vazsim::blankSheet(73, 0));
    readCard("1", "73");
    EXPECT_EQ(CFormWave::sampleCount(), 75 * 24);
    EXPECT_EQ(form->syncThreshold(), 120);
    ASSERT_EQ(form->marks().size(), 73u);
    for (int i = 0; i < 73; ++i) EXPECT_EQ(form->marks()[size_t(i)], 36 + 24 * i) << i;
    const PlotScrollInfo scroll = form->curveWnd()->scrollInfo();
    EXPECT_EQ(scroll.max, 2 * 1800);
    EXPECT_EQ(scroll.page, CFormWave::kScrollPage);

    // The ticks under the marks, in blue.
    const QImage& picture = form->curveWnd()->picture();
    EXPECT_EQ(picture.pixel(CCurveWnd::kBaseX + 2 * 36, CCurveWnd::kBaseY + 2), 0xff0000ffu);
}

TEST_F(WaveForm, WithoutASyncCountNothingIsSent) {
    feed(vazsim::blankSheet(20, 0));
    reader().clearTrace();
    readCard("1", "0");
    readCard("1", "");
    EXPECT_EQ(boxes.count(QStringLiteral("请输入正确的同步框数")), 2);
    EXPECT_EQ(received("I 5"), 0);
}

TEST_F(WaveForm, ARefusedHeadShowsTheDevicesErrorAndDrawsNothing) {
    feed(vazsim::blankSheet(20, 0));
    vazsim::Fault refused;
    refused.kind = vazsim::Fault::Kind::Code;
    refused.code = "06";
    reader().injectFault("I 5", refused);
    readCard("1", "20");
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].objectName, "deviceError");
    EXPECT_TRUE(boxes.records[0].text.startsWith("06: "));
    EXPECT_EQ(received("I 6"), 0);
}

TEST_F(WaveForm, ACurveThatCannotBeFetchedSaysSo) {
    reader().clearHopper();  // no card read: the reader answers "16"
    readCard("1", "20");
    EXPECT_EQ(boxes.count(QStringLiteral("获取波形曲线失败")), 1);
    EXPECT_EQ(received("I 6 0/"), 0);  // the head's curve failed: the sync track is not asked for
}
