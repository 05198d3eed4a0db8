// The instantaneous value test: the steadiness colours, the rows it
// appends, starting and stopping, the paper step, and its failures.
#include "form_value.h"
#include "grid_ctrl.h"
#include "reader_form_test.h"
#include "string_table.h"
#include "value_steadiness.h"
#include "vaz.h"

namespace {

const QColor kRed(255, 0, 0);

CValueSteadiness startingAt(int v) {
    CValueSteadiness::Sample s{};
    s.fill(v);
    return CValueSteadiness(s, s, s);
}

}  // namespace

// ---- colours -----------------------------------------------------------------

TEST(ValueSteadiness, SmallWobblesStayInThePinkShades) {
    CValueSteadiness head = startingAt(0x40);
    EXPECT_EQ(head.take(7, 0x40), QColor(255, 225, 255));
    EXPECT_EQ(head.take(7, 0x41), QColor(255, 207, 255));
    EXPECT_EQ(head.take(7, 0x40), QColor(255, 207, 255));
    EXPECT_EQ(head.take(7, 0x42), QColor(255, 189, 255));
}

TEST(ValueSteadiness, AJumpOfFourTurnsRedAndStaysRed) {
    CValueSteadiness head = startingAt(0x40);
    EXPECT_EQ(head.take(3, 0x44), kRed);
    EXPECT_EQ(head.take(3, 0x40), kRed);
    EXPECT_EQ(head.take(3, 0x44), kRed);
    EXPECT_EQ(head.take(3, 0x40), kRed);
    // The other heads are not affected.
    EXPECT_EQ(head.take(4, 0x40), QColor(255, 225, 255));
}

// ---- sampling against the virtual reader ---------------------------------------

class ValueForm : public ReaderFormTest {
protected:
    void SetUp() override {
        startWith();
        form = open<CFormValue>(CFormValue::kFormId);
        ASSERT_NE(form, nullptr);
        form->setSampleInterval(0);
    }
    QString caption() { return control<QAbstractButton>(form, 1000)->text(); }
    // Starts sampling and waits for `rows` rows below the prepared ones.
    void sampleRows(int rows) {
        click(form, 1000);
        ASSERT_TRUE(pumpUntil([&] { return form->grid()->rowCount() >= CFormValue::kPreparedRows + rows; }));
    }
    void stop() {
        click(form, 1000);
        ASSERT_TRUE(pumpUntil([&] { return !form->sampling(); }));
    }
    // The values "I 4/" gives now (the reader has no noise).
    std::vector<int> readerValues() {
        std::vector<int> v(VAZ_REPLY_SIZE);
        EXPECT_GT(app->device.send("I 4/"), 0);
        EXPECT_GT(app->device.getValue('A', v.data()), 0);
        return v;
    }
    CFormValue* form = nullptr;
};

TEST_F(ValueForm, TheFirstAppendedRowIsRow40AndShowsEveryHead) {
    CGridCtrl* grid = form->grid();
    ASSERT_EQ(grid->rowCount(), 40);
    ASSERT_EQ(grid->columnCount(), 51);
    EXPECT_EQ(grid->itemText(39, 0), "A");
    EXPECT_EQ(grid->itemText(39, 5), " ");
    sampleRows(1);
    stop();
    const std::vector<int> v = readerValues();
    EXPECT_EQ(grid->itemText(40, 0), "A");
    EXPECT_EQ(grid->rowHeight(40), 18);
    for (int col = 1; col < 51; ++col) {
        EXPECT_EQ(grid->itemText(40, col), QString::asprintf("%02X", v[size_t(col - 1)])) << col;
        EXPECT_EQ(grid->itemBkColour(40, col), QColor(255, 225, 255)) << col;
    }
    EXPECT_EQ(caption(), strings::text(158));
}

TEST_F(ValueForm, AnUnsteadyHeadTurnsItsColumnRed) {
    reader().setSeed(7);
    reader().setUnsteadyHead(5, 12);  // channel 4: column 6
    sampleRows(12);
    stop();
    CGridCtrl* grid = form->grid();
    int red = 0;
    for (int r = 40; r < grid->rowCount(); ++r) {
        red += grid->itemBkColour(r, 6) == kRed;
        EXPECT_NE(grid->itemBkColour(r, 5), kRed) << r;
        EXPECT_NE(grid->itemBkColour(r, 7), kRed) << r;
    }
    EXPECT_GT(red, 0);
}

TEST_F(ValueForm, TheButtonTogglesBetweenItsTwoCaptions) {
    EXPECT_EQ(caption(), QStringLiteral("取值"));
    click(form, 1000);
    EXPECT_EQ(caption(), QStringLiteral("停止"));
    EXPECT_EQ(app->testRun, 1);
    click(form, 1000);
    EXPECT_EQ(caption(), QStringLiteral("取值"));
    EXPECT_EQ(app->testRun, 0);
    ASSERT_TRUE(pumpUntil([&] { return !form->sampling(); }));
    EXPECT_EQ(caption(), QStringLiteral("取值"));
}

TEST_F(ValueForm, StepPaperStopsTheSamplerThenSteps) {
    sampleRows(2);
    click(form, 1001);
    // The click returns once the sampler has ended and the step was sent.
    EXPECT_FALSE(form->sampling());
    EXPECT_EQ(app->testRun, 0);
    EXPECT_EQ(caption(), QStringLiteral("取值"));
    // "T" has no answer: the reader may parse it after the call returned.
    ASSERT_TRUE(pumpUntil([&] { return received("T 020/") == 1; }));
    const int rows = form->grid()->rowCount();
    pump(100);
    const std::vector<std::string> commands = reader().commands();
    EXPECT_EQ(commands.back(), "T 020/");
    EXPECT_EQ(form->grid()->rowCount(), rows);
}

// The library accepts "I 4/" and reports the reader's refusal through the
// copy of the values: the run ends without a message.
TEST_F(ValueForm, ARefusedSampleEndsTheRunAndLeavesItsRowBlank) {
    sampleRows(1);
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::Code;
    f.code = "06";
    reader().injectFault("I 4", f);
    ASSERT_TRUE(pumpUntil([&] { return !form->sampling(); }));
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_EQ(caption(), QStringLiteral("取值"));
    // The row of the refused sample was appended and stays blank.
    CGridCtrl* grid = form->grid();
    EXPECT_EQ(grid->itemText(grid->rowCount() - 1, 0), "A");
    EXPECT_TRUE(grid->itemText(grid->rowCount() - 1, 3).isEmpty());
}

TEST_F(ValueForm, ActivatingAnotherFormEndsTheSampling) {
    sampleRows(1);
    ASSERT_NE(app->mainFrame()->ShowForm(0), nullptr);
    EXPECT_EQ(app->testRun, 0);
    ASSERT_TRUE(pumpUntil([&] { return !form->sampling(); }));
    EXPECT_EQ(caption(), QStringLiteral("取值"));
}

TEST_F(ValueForm, ClosingTheFormWhileItSamplesEndsTheWorkerFirst) {
    sampleRows(1);
    QPointer<QWidget> frame = form->parentWidget();
    frame->close();
    ASSERT_TRUE(pumpUntil([&] { return frame.isNull(); }));
    EXPECT_FALSE(CFormWorker::anyRunning());
}

using ValueFormOffline = ReaderFormTest;

TEST_F(ValueFormOffline, NotConnectedShowsMessage101AndKeepsTheCaption) {
    startWith(ReaderRig::Via::Nothing);
    auto* form = open<CFormValue>(CFormValue::kFormId);
    ASSERT_NE(form, nullptr);
    click(form, 1000);
    EXPECT_EQ(boxes.count(QStringLiteral("VAZ尚未联机,请先执行联机操作!")), 1);
    EXPECT_EQ(control<QAbstractButton>(form, 1000)->text(), QStringLiteral("取值"));
    EXPECT_FALSE(form->sampling());
}
