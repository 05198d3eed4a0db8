// The gray test: the table a card fills, the head position verdict, the
// sync count, the failures, and the hand-over from the read-card test.
#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>

#include "form_gray.h"
#include "grid_ctrl.h"
#include "reader_form_test.h"
#include "string_table.h"
#include "vazsim/card_deck.h"

namespace {

// Line `line` (0 = the first read) of channel `channel` (0 = channel 1).
void setLevel(vazsim::Sheet& s, int line, int channel, int level) {
    s.gray[size_t(line)][size_t(channel)] = uint8_t(level);
}

// Levels g0..g3 on the lines that a card of `lines` lines shows in table
// columns `firstColumn` .. + 3, for `channel`.
void setColumns(vazsim::Sheet& s, int lines, int firstColumn, int channel, std::array<int, 4> g) {
    for (int k = 0; k < 4; ++k) setLevel(s, lines - (firstColumn + k), channel, g[size_t(k)]);
}

}  // namespace

class GrayForm : public ReaderFormTest {
protected:
    void SetUp() override {
        startWith();
        form = open<CFormGray>(CFormGray::kFormId);
        ASSERT_NE(form, nullptr);
    }
    void readCard(const vazsim::Sheet& sheet, const QString& syncCount) {
        reader().addCard(sheet);
        control<QLineEdit>(form, 1022)->setText(syncCount);
        click(form, 1005);
        pump();
    }
    QString cell(int row, int col) { return form->grid()->itemText(row, col); }
    CFormGray* form = nullptr;
};

TEST_F(GrayForm, TheTableStartsWith74ColumnsAndTheChannelsBottomUp) {
    CGridCtrl* grid = form->grid();
    ASSERT_EQ(grid->rowCount(), 49);
    ASSERT_EQ(grid->columnCount(), 74);
    EXPECT_EQ(grid->itemText(0, 0), "A");
    EXPECT_EQ(grid->itemText(0, 73), "73");
    EXPECT_EQ(grid->itemText(1, 0), "48");
    EXPECT_EQ(grid->itemText(48, 0), " 1");
    EXPECT_EQ(grid->itemBkColour(10, 10), QColor(182, 252, 182));
    EXPECT_EQ(control<QLineEdit>(form, 1021)->text(), "48");
    EXPECT_FALSE(control(form, 1000)->isVisible());
    EXPECT_EQ(form->headPosition().upDownVerdict(), 156);
    EXPECT_EQ(form->headPosition().leftRightVerdict(), 155);
}

TEST_F(GrayForm, ACardOf3650ValuesGives74ColumnsAndOneOf1000Gives21) {
    vazsim::Sheet full = vazsim::blankSheet(73, 0);
    setLevel(full, 0, 0, 9);    // first line read: rightmost column, channel 1: bottom row
    setLevel(full, 72, 47, 5);  // last line, channel 48: column 1, top row
    readCard(full, "73");
    ASSERT_EQ(form->grid()->columnCount(), 74);
    EXPECT_EQ(app->testData->lineCount, 73);
    EXPECT_EQ(app->testData->valuesPerLine, 48);
    EXPECT_EQ(cell(48, 73), QString::asprintf("%02X", app->testData->value(0, 0)));
    EXPECT_EQ(cell(1, 1), QString::asprintf("%02X", app->testData->value(72, 47)));
    EXPECT_GE(app->testData->value(0, 0), 8);
    EXPECT_EQ(form->grid()->itemText(0, 73), "73");

    readCard(vazsim::blankSheet(20, 3), "20");
    ASSERT_EQ(form->grid()->columnCount(), 21);
    EXPECT_EQ(app->testData->lineCount, 20);
    const int v = app->testData->value(19, 0);
    EXPECT_EQ(cell(48, 1), QString::asprintf("%02X", v));
    EXPECT_EQ(form->grid()->itemBkColour(48, 1), QColor(255, (15 - v) * 15, 255));
}

TEST_F(GrayForm, NewColumnsAreHeadedWithTheirIndexAnd18Wide) {
    readCard(vazsim::blankSheet(20, 0), "20");
    readCard(vazsim::blankSheet(30, 0), "30");
    ASSERT_EQ(form->grid()->columnCount(), 31);
    EXPECT_EQ(cell(0, 25), "25");
    EXPECT_EQ(form->grid()->columnWidth(25), 18);
    EXPECT_EQ(cell(0, 20), "20");
    EXPECT_EQ(form->grid()->columnWidth(20), 20);
}

TEST_F(GrayForm, RowsReading2367SayTheHeadSitsTooHigh) {
    vazsim::Sheet s = vazsim::blankSheet(73, 0);
    for (int ch = 0; ch < 41; ++ch) setColumns(s, 73, 12, ch, {2, 3, 6, 7});
    readCard(s, "73");
    EXPECT_EQ(form->headPosition().up, 41);
    EXPECT_EQ(form->headPosition().upDownSum, 41 * 8);
    EXPECT_EQ(form->headPosition().upDownVerdict(), 151);
    EXPECT_EQ(form->headPosition().leftRightVerdict(), 155);
    EXPECT_TRUE(strings::text(151).contains(QStringLiteral("偏上")));
}

TEST_F(GrayForm, OneRowReading2367AddsOneUpAndEightToTheSum) {
    vazsim::Sheet s = vazsim::blankSheet(73, 0);
    setColumns(s, 73, 12, 0, {2, 3, 6, 7});
    readCard(s, "73");
    EXPECT_EQ(form->headPosition().up, 1);
    EXPECT_EQ(form->headPosition().down, 0);
    EXPECT_EQ(form->headPosition().upDownSum, 8);
    EXPECT_EQ(form->headPosition().upDownVerdict(), 156);
}

TEST_F(GrayForm, HexCellsEnterTheJudgementAsTheirLevels) {
    vazsim::Sheet s = vazsim::blankSheet(73, 0);
    setColumns(s, 73, 18, 1, {10, 11, 14, 15});  // shown as 0A .. 0F
    readCard(s, "73");
    EXPECT_EQ(form->headPosition().right, 1);
    EXPECT_GE(form->headPosition().leftRightSum, 7);
}

TEST_F(GrayForm, FallingLevelsSayTooLowAndTooFarLeft) {
    vazsim::Sheet s = vazsim::blankSheet(73, 0);
    for (int ch = 0; ch < 41; ++ch) {
        setColumns(s, 73, 12, ch, {9, 8, 3, 2});
        setColumns(s, 73, 18, ch, {9, 8, 3, 2});
    }
    readCard(s, "73");
    EXPECT_EQ(form->headPosition().upDownVerdict(), 152);
    EXPECT_EQ(form->headPosition().leftRightVerdict(), 153);
}

TEST_F(GrayForm, FewerThan12LinesKeepTheVerdictsNormal) {
    vazsim::Sheet s = vazsim::blankSheet(11, 0);
    for (int ch = 0; ch < 48; ++ch)
        for (int line = 0; line < 11; ++line) setLevel(s, line, ch, line);
    readCard(s, "11");
    ASSERT_EQ(form->grid()->columnCount(), 12);
    EXPECT_EQ(form->headPosition().up + form->headPosition().down, 0);
    EXPECT_EQ(form->headPosition().upDownVerdict(), 156);
    EXPECT_EQ(form->headPosition().leftRightVerdict(), 155);
}

TEST_F(GrayForm, ABadSyncCountAsksForAGoodOne) {
    for (const char* text : {"", "0", "abc"}) {
        control<QLineEdit>(form, 1022)->setText(text);
        click(form, 1005);
    }
    EXPECT_EQ(boxes.count(QStringLiteral("请输入正确的同步框数")), 3);
    EXPECT_EQ(received("I 2"), 0);
}

TEST_F(GrayForm, ARefusedReadShowsTheMessageAndKeepsTheTable) {
    readCard(vazsim::blankSheet(20, 4), "20");
    ASSERT_EQ(form->grid()->columnCount(), 21);
    const QString before = cell(30, 5);
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::Code;
    f.code = "03";
    reader().injectFault("I 2", f);
    readCard(vazsim::blankSheet(73, 9), "73");
    EXPECT_EQ(boxes.count(QStringLiteral("获取数据失败")), 1);
    EXPECT_EQ(form->grid()->columnCount(), 21);
    EXPECT_EQ(cell(30, 5), before);
    EXPECT_TRUE(app->testData->gray.empty());
}

TEST_F(GrayForm, TheSyncCountComesFromTheLastCard) {
    readCard(vazsim::blankSheet(57, 0), "57");
    control<QLineEdit>(form, 1022)->setText("1");
    click(form, 1071);
    EXPECT_EQ(control<QLineEdit>(form, 1022)->text(), "57");
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::Code;
    f.code = "06";
    reader().injectFault("I 3", f);
    click(form, 1071);
    EXPECT_EQ(boxes.count(QStringLiteral("操作失败")), 1);
}

TEST_F(GrayForm, ALastCardLongerThan73LinesIsShownWhole) {
    // "I 7/" sends the whole card; the record asks for 73 lines.
    vazsim::Sheet s = vazsim::blankSheet(199, 0);
    setLevel(s, 198, 0, 12);
    reader().addCard(s);
    ASSERT_GT(app->device.send("I 2 199/"), 0);
    click(form, 1000);
    ASSERT_EQ(form->grid()->columnCount(), 200);
    EXPECT_EQ(app->testData->lineCount, 199);
    EXPECT_EQ(cell(48, 1), QString::asprintf("%02X", app->testData->value(198, 0)));
    EXPECT_GE(app->testData->value(198, 0), 11);
}

// ---- the hand-over from the read-card test ---------------------------------

using GrayHandOver = ReaderFormTest;

TEST_F(GrayHandOver, Message1025WithTheFlagSetFillsTheTableFromTheLastCard) {
    startWith();
    reader().addCard(vazsim::blankSheet(73, 6));
    ASSERT_GT(app->device.send("I 2 73/"), 0);
    ASSERT_NE(app->mainFrame()->ShowForm(0), nullptr);
    app->grayFromCard = 1;
    QCoreApplication::postEvent(app->mainFrame(), new QEvent(kShowGrayTestEvent));
    pump(200);
    auto* form = qobject_cast<CFormGray*>(app->mainFrame()->mdiArea()->currentSubWindow()->widget());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(app->grayFromCard, 0);
    EXPECT_EQ(received("I 7/"), 1);
    EXPECT_EQ(form->grid()->columnCount(), 74);
    EXPECT_EQ(form->grid()->itemText(48, 73), QString::asprintf("%02X", app->testData->value(0, 0)));
    EXPECT_EQ(control<QLineEdit>(form, 1022)->text(), "73");

    // Again into the open window: activating it fetches once more.
    ASSERT_NE(app->mainFrame()->ShowForm(0), nullptr);
    app->grayFromCard = 1;
    QCoreApplication::postEvent(app->mainFrame(), new QEvent(kShowGrayTestEvent));
    pump(200);
    EXPECT_EQ(received("I 7/"), 2);
}

TEST_F(GrayHandOver, AMessageBoxOnTheGrayTestFetchesNothing) {
    startWith();
    auto* form = open<CFormGray>(CFormGray::kFormId);
    ASSERT_NE(form, nullptr);
    app->grayFromCard = 1;
    app->ShowMessage(119);
    pump();
    EXPECT_EQ(app->grayFromCard, 1);
    EXPECT_EQ(received("I 7/"), 0);
}

TEST_F(GrayHandOver, NotConnectedEveryButtonShowsMessage101) {
    startWith(ReaderRig::Via::Nothing);
    auto* form = open<CFormGray>(CFormGray::kFormId);
    ASSERT_NE(form, nullptr);
    control<QLineEdit>(form, 1022)->setText("73");
    for (int id : {1005, 1071, 1000}) click(form, id);
    EXPECT_EQ(boxes.count(QStringLiteral("VAZ尚未联机,请先执行联机操作!")), 3);
}

// ---- the sample decks --------------------------------------------------------

TEST_F(GrayForm, TheHeadTooHighDeckIsJudgedTooHigh) {
    reader().loadDeck(vazsim::loadDeckFile(SIMULATOR_DECKS "/head_high.ini"));
    control<QLineEdit>(form, 1022)->setText("73");
    click(form, 1005);
    EXPECT_EQ(form->headPosition().upDownVerdict(), 151);
    EXPECT_EQ(form->headPosition().leftRightVerdict(), 155);
}
