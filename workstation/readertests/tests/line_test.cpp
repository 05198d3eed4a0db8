// The line test: which heads it takes, the bars of one head along the card,
// and scrolling over a card longer than the chart.
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include "form_line.h"
#include "gray_fetch.h"
#include "reader_form_test.h"
#include "vazsim/card_deck.h"

namespace {

// A card on which channel `channel` reads level (line mod 16).
vazsim::Sheet rampSheet(int lines, int channel) {
    vazsim::Sheet s = vazsim::blankSheet(lines, 0);
    for (int l = 0; l < lines; ++l) s.gray[size_t(l)][size_t(channel)] = uint8_t(l % 16);
    return s;
}

}  // namespace

class LineForm : public ReaderFormTest {
protected:
    void SetUp() override { startWith(); }
    // Reads `sheet` through the gray test's fetch, then opens the line test.
    void readAndOpen(const vazsim::Sheet& sheet) { readThenOpen(sheet, form); }
    void getValues(const QString& head) {
        control<QLineEdit>(form, 1056)->setText(head);
        click(form, 1001);
        pump();
    }
    // Sizes the form so that its chart has room for `columns` bars.
    void fitColumns(int columns) {
        form->resize(100 + 30 + 15 * columns, 500);
        pump();
        ASSERT_EQ(linechart::geometryFor(form->chart()->rect()).visibleColumns, columns);
    }
    QScrollBar* scrollBar() { return control<QScrollBar>(form, 1058); }

    CFormLine* form = nullptr;
};

TEST_F(LineForm, HeadFortyEightIsTakenFortyNineAndZeroAreRefused) {
    readAndOpen(rampSheet(20, 47));
    getValues("48");
    EXPECT_EQ(boxes.records.size(), 0u);
    // The first line delivered is the rightmost bar.
    const TestDataRecord& record = *app->testData;
    ASSERT_NE(record.value(0, 47), record.value(19, 47));
    EXPECT_EQ(form->lineValues()[19], record.value(0, 47));
    EXPECT_EQ(form->lineValues()[0], record.value(19, 47));
    EXPECT_EQ(form->lineValues()[10], record.value(9, 47));

    getValues("49");
    getValues("0");
    getValues("x");
    EXPECT_EQ(boxes.count(QStringLiteral("请输入正确的光电头路数。")), 3);
    EXPECT_EQ(form->lineValues()[10], record.value(9, 47));
}

TEST_F(LineForm, SeventyThreeLinesInFortyColumnsScrollThirtyThreeAndTheThumbPicksTheFirstLine) {
    readAndOpen(rampSheet(73, 0));
    EXPECT_EQ(control<QLineEdit>(form, 1049)->text(), "73");
    fitColumns(40);
    getValues("1");
    EXPECT_EQ(form->scrollMaximum(), 33);
    EXPECT_EQ(scrollBar()->maximum(), 33);

    scrollBar()->setSliderDown(true);
    scrollBar()->setSliderPosition(10);
    EXPECT_EQ(form->firstLine(), 0);  // dragging alone moves nothing
    scrollBar()->setSliderDown(false);
    pump();
    EXPECT_EQ(form->firstLine(), 10);

    // The leftmost bar is now line 10's: its roof at the level it reads.
    const linechart::Geometry g = linechart::geometryFor(form->chart()->rect());
    const int v = form->lineValues()[10];
    const QImage& picture = form->chart()->picture();
    EXPECT_EQ(picture.pixel(g.x0 + 15 - 4, g.yb - (v + 1) * g.levelHeight), 0xff0000ffu);

    scrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(form->firstLine(), 9);
    scrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(form->firstLine(), 9);
    EXPECT_EQ(scrollBar()->value(), 9);
    for (int i = 0; i < 40; ++i) scrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(form->firstLine(), 33);
}

TEST_F(LineForm, WithoutAGrayReadItAsksForOne) {
    form = open<CFormLine>(CFormLine::kFormId);
    ASSERT_NE(form, nullptr);
    click(form, 1001);
    pump();
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("请先执行读灰度操作"));
    EXPECT_EQ(boxes.records[0].title, QStringLiteral("提示:"));
}

TEST_F(LineForm, ClearFlattensEveryBar) {
    readAndOpen(rampSheet(20, 0));
    getValues("1");
    click(form, 1000);
    for (int v : form->lineValues()) ASSERT_EQ(v, 0);
}

TEST_F(LineForm, TheChartIsSavedAsItShows) {
    readAndOpen(rampSheet(20, 0));
    getValues("1");
    QTemporaryDir dir;
    boxes.setDialogHandler([&](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(fd, nullptr);
        fd->selectFile(dir.filePath("line.png"));
        static_cast<QDialog*>(fd)->accept();
    });
    ASSERT_TRUE(form->saveCurrent());
    const QImage png(dir.filePath("line.png"));
    const QImage& shown = form->chart()->picture();
    ASSERT_EQ(png.size(), shown.size());
    const linechart::Geometry g = linechart::geometryFor(shown.rect());
    const QPoint roof(g.x0 + 15 * 20 - 4, g.yb - (form->lineValues()[19] + 1) * g.levelHeight);
    EXPECT_EQ(png.pixel(roof), shown.pixel(roof));
    EXPECT_EQ(png.pixel(roof), 0xff0000ffu);
}

TEST_F(LineForm, ControlsSitWhereTheyBelongAfterAResize) {
    form = open<CFormLine>(CFormLine::kFormId);
    ASSERT_NE(form, nullptr);
    form->resize(700, 560);
    pump();
    EXPECT_EQ(control(form, 1057)->geometry(), QRect(10, 80, 600, 420));
    EXPECT_EQ(control(form, 1058)->geometry(), QRect(12, 480, 596, 18));
    EXPECT_EQ(control(form, 1056)->geometry(), QRect(660, 433, 30, 20));
    EXPECT_EQ(control(form, 1049)->geometry(), QRect(660, 453, 30, 20));
    EXPECT_EQ(control(form, 1000)->geometry(), QRect(640, 500, 50, 20));
    EXPECT_EQ(control(form, 1001)->geometry(), QRect(640, 530, 50, 20));
    EXPECT_EQ(control<QPushButton>(form, 1001)->text(), QStringLiteral("取值"));
    EXPECT_EQ(control<QLabel>(form, 1023)->text(), QStringLiteral("路数"));
}
