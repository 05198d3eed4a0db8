// The read-card test: the format file it writes and loads, the reading
// worker's log and its endings, and the hand-over to the gray test.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>

#include "form_gray.h"
#include "form_test.h"
#include "form_wave.h"
#include "grid_ctrl.h"
#include "reader_form_test.h"
#include "string_table.h"
#include "vazsim/card_deck.h"

namespace {

vazsim::Sheet answerSheet(const std::string& answer) {
    vazsim::Sheet s = vazsim::blankSheet(73, 0);
    s.answers = {{"", answer}};
    return s;
}

}  // namespace

class ReadCardForm : public ReaderFormTest {
protected:
    void SetUp() override { startWith(); }
    void openForm() {
        form = open<CFormTest>(CFormTest::kFormId);
        ASSERT_NE(form, nullptr);
    }
    // Writes `text` as a format file, opens it in the form and loads it.
    void loadFormat(const QByteArray& text) {
        const QString path = dir.filePath("format.txt");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        form->openFormatFile(path);
        click(form, 1004);
        pump();
    }
    void startReading() {
        click(form, 1005);
        pump();
    }
    QString log() { return control<QTextEdit>(form, 1001)->toPlainText(); }
    QString button() { return control<QPushButton>(form, 1005)->text(); }
    bool ended() {
        return pumpUntil([this] { return !form->reader().running(); });
    }

    QTemporaryDir dir;
    CFormTest* form = nullptr;
};

TEST_F(ReadCardForm, ThreeCardsAreListedNewestFirst) {
    openForm();
    loadFormat("L 0 073 048/\n");
    EXPECT_EQ(boxes.count(QStringLiteral("操作成功")), 1);
    reader().addCards({answerSheet("AAAA"), answerSheet("BBBB"), answerSheet("CCCC")});
    startReading();
    EXPECT_EQ(button(), QStringLiteral("停止"));
    ASSERT_TRUE(pumpUntil([this] { return log().count(QStringLiteral("本次走卡第")) == 3; }));
    // The hopper is empty now: the reader answers "NO" and the worker waits
    // for the next card until it is stopped.
    startReading();
    ASSERT_TRUE(ended());
    EXPECT_EQ(button(), QStringLiteral("读卡"));
    EXPECT_EQ(app->readingCard, 0);
    EXPECT_TRUE(
        log().startsWith(QStringLiteral("本次走卡第:3张:\n同步框数:73\n答案:CCCC\n\n"
                                        "本次走卡第:2张:\n同步框数:73\n答案:BBBB\n\n"
                                        "本次走卡第:1张:\n同步框数:73\n答案:AAAA\n\n")))
        << log().toStdString();
    EXPECT_EQ(boxes.records.size(), 1u);  // "操作成功" only
}

// On the serial link the reader's answer is one byte stream, so a single
// element can stand for the status, the count and the final status.
class ReadCardSerial : public ReadCardForm {
protected:
    void SetUp() override { startWith(ReaderRig::Via::Serial); }
};

TEST_F(ReadCardSerial, ASyncCountOfZeroEndsTheRunWithoutAMessage) {
    openForm();
    loadFormat("L 0 073 048/\n");
    boxes.records.clear();
    reader().addCards({answerSheet("AAAA"), answerSheet("BBBB")});
    // The reader reports "0000" sync marks for the first card.
    vazsim::Fault zero;
    zero.kind = vazsim::Fault::Kind::Garbled;
    zero.bytes = "EN0000EN";
    reader().injectFault("r A/", zero);
    startReading();
    ASSERT_TRUE(ended());
    EXPECT_EQ(boxes.records.size(), 0u);
    EXPECT_EQ(button(), QStringLiteral("读卡"));
    EXPECT_TRUE(log().isEmpty());
    EXPECT_EQ(reader().hopperSize(), 1u);
}

TEST_F(ReadCardForm, ADoubleSheetShowsTheReadersErrorAndEndsTheRun) {
    openForm();
    loadFormat("L 0 073 048/\n");
    boxes.records.clear();
    vazsim::Sheet twoAtOnce = answerSheet("AAAA");
    twoAtOnce.fault = "03";
    reader().addCards({answerSheet("AAAA"), twoAtOnce, answerSheet("CCCC")});
    startReading();
    ASSERT_TRUE(ended());
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].objectName, "deviceError");
    EXPECT_TRUE(boxes.records[0].text.startsWith("03: "));
    EXPECT_EQ(log().count(QStringLiteral("本次走卡第")), 1);
}

TEST_F(ReadCardForm, TheLongestAnswerWithItsSupplementArrivesWhole) {
    // An "f" line asks for 4096 supplement bytes after every card's 2000
    // answer characters: more than the 5000 bytes an answer buffer was once
    // thought to need.
    openForm();
    loadFormat("L 0 073 048/\nf 1 010 020 05 4096/\n");
    const std::string answer(2000, 'D');
    vazsim::Sheet s = answerSheet(answer);
    s.extra = "EXTRA";
    reader().addCard(s);
    startReading();
    ASSERT_TRUE(pumpUntil([this] { return log().contains(QStringLiteral("本次走卡第:1张")); }));
    startReading();
    ASSERT_TRUE(ended());
    const QString expected = "答案:EXTRA" + QString(4096 - 5, '0') + QString::fromStdString(answer) + "\n";
    EXPECT_TRUE(log().contains(expected));
}

TEST_F(ReadCardForm, ClosingTheFormWhileItsWorkerWaitsForACardEndsTheWorkerFirst) {
    openForm();
    loadFormat("L 0 073 048/\n");
    boxes.records.clear();
    startReading();  // an empty hopper: the worker waits for a card
    ASSERT_TRUE(pumpUntil([this] { return received("R/") > 0; }));
    QMdiSubWindow* window = app->mainFrame()->mdiArea()->currentSubWindow();
    QPointer<CFormTest> watched = form;
    window->close();
    ASSERT_TRUE(pumpUntil([&] { return watched.isNull(); }));
    EXPECT_EQ(app->readingCard, 0);
    EXPECT_EQ(boxes.records.size(), 0u);  // waiting for a card is no error
    EXPECT_TRUE(app->mainFrame()->mdiArea()->subWindowList().isEmpty() ||
                !app->mainFrame()->mdiArea()->subWindowList().contains(window));
}

TEST_F(ReadCardForm, TheFormatFileIsWrittenInCodePage936BeforeItIsLoaded) {
    openForm();
    loadFormat("L 0 073 048/\n");
    control<QTextEdit>(form, 1002)
        ->setPlainText(QStringLiteral("; 学号\nL 0 073 048/\nQ 09 050 011 014 1/\n"));
    click(form, 1004);
    pump();
    QFile f(form->formatPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("; \xD1\xA7\xBA\xC5\nL 0 073 048/\nQ 09 050 011 014 1/\n"));
    const std::vector<std::string> format = reader().formatCommands();
    ASSERT_EQ(format.size(), 2u);
    EXPECT_EQ(format[1], "Q 09 050 011 014 1/");
}

TEST_F(ReadCardForm, AFormatFileThatCannotBeWrittenIsReportedAndNothingIsSent) {
    openForm();
    form->openFormatFile(dir.filePath("gone/format.txt"));  // its folder does not exist
    EXPECT_EQ(boxes.count(QStringLiteral("格式文件不存在")), 1);
    click(form, 1004);
    pump();
    EXPECT_EQ(boxes.count(QStringLiteral("格式文件不存在")), 2);
    EXPECT_EQ(received("S "), 0);
}

TEST_F(ReadCardForm, LoadingWithoutAPathAsksForOneAndACancelSendsNothing) {
    openForm();
    int asked = 0;
    boxes.setDialogHandler([&](QWidget* w) {
        ++asked;
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    });
    click(form, 1004);
    pump();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(received("S "), 0);
    EXPECT_TRUE(form->formatPath().isEmpty());
}

TEST_F(ReadCardForm, TheStandardLoadSendsTheLowerCaseCommandAndClearsTheFlag) {
    openForm();
    form->openFormatFile(dir.filePath("format.txt"));
    control<QTextEdit>(form, 1002)->setPlainText("L 0 073 048/\n");
    boxes.records.clear();
    form->OnLoadStandard();
    pump();
    EXPECT_EQ(received("s/"), 1);
    EXPECT_EQ(app->lowerCaseFormat, 0);
}

TEST_F(ReadCardForm, GrayOfCardFillsTheGrayTestWithTheLastCard) {
    openForm();
    loadFormat("L 0 073 048/\n");
    vazsim::Sheet s = answerSheet("AAAA");
    s.gray[0][0] = 9;  // the first line, channel 1: the table's bottom right cell
    reader().addCard(s);
    startReading();
    ASSERT_TRUE(pumpUntil([this] { return log().contains(QStringLiteral("本次走卡第:1张")); }));
    startReading();
    ASSERT_TRUE(ended());
    click(form, 1000);
    pump(200);
    auto* gray = qobject_cast<CFormGray*>(app->mainFrame()->mdiArea()->currentSubWindow()->widget());
    ASSERT_NE(gray, nullptr);
    EXPECT_EQ(app->grayFromCard, 0);
    EXPECT_EQ(received("I 7/"), 1);
    EXPECT_EQ(gray->grid()->columnCount(), 74);
    EXPECT_EQ(gray->grid()->itemText(48, 73), QString::asprintf("%02X", app->testData->value(0, 0)));
    EXPECT_NE(app->testData->value(0, 0), app->testData->value(1, 0));
}

TEST_F(ReadCardForm, TheLogIsSavedAsTextAndTheOpenDialogStartsInItsFolder) {
    openForm();
    loadFormat("L 0 073 048/\n");
    reader().addCard(answerSheet("ABCD"));
    startReading();
    ASSERT_TRUE(pumpUntil([this] { return log().contains(QStringLiteral("本次走卡第:1张")); }));
    startReading();
    ASSERT_TRUE(ended());

    QTemporaryDir logs;
    QStringList startFolders;
    QString choose = logs.filePath("run.txt");
    boxes.setDialogHandler([&](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(fd, nullptr);
        startFolders << fd->directory().absolutePath();
        fd->selectFile(choose);
        static_cast<QDialog*>(fd)->accept();
    });
    control(form, 1001)->setFocus();
    ASSERT_TRUE(form->saveCurrent());
    QFile saved(logs.filePath("run.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), log());

    // Opening a format file starts where the log went.
    choose = dir.filePath("format.txt");
    click(form, 1003);
    pump();
    ASSERT_EQ(startFolders.size(), 2);
    EXPECT_EQ(startFolders[1], QDir(logs.path()).absolutePath());
    EXPECT_EQ(form->formatPath(), choose);
    EXPECT_EQ(control<QTextEdit>(form, 1002)->toPlainText(), "L 0 073 048/\n");
}

TEST_F(ReadCardForm, ControlsSitWhereTheyBelongAfterAResize) {
    openForm();
    form->resize(900, 600);
    pump();
    EXPECT_EQ(control(form, 1001)->geometry(), QRect(50, 50, 800, 230));
    EXPECT_EQ(control(form, 1002)->geometry(), QRect(50, 300, 600, 250));
    EXPECT_EQ(control(form, 1003)->geometry(), QRect(700, 300, 100, 40));
    EXPECT_EQ(control(form, 1000)->geometry(), QRect(700, 450, 100, 40));
    EXPECT_FALSE(control(form, 1072)->isVisible());
    EXPECT_FALSE(control(form, 1073)->isVisible());
    EXPECT_EQ(control<QTextEdit>(form, 1001)->palette().color(QPalette::Base), QColor(199, 237, 204));
    EXPECT_TRUE(control<QTextEdit>(form, 1001)->isReadOnly());
}

using OfflineForms = ReaderFormTest;

TEST_F(OfflineForms, EveryReaderActionOfTheWaveformAndReadCardTestsShowsMessage101) {
    startWith(ReaderRig::Via::Nothing);
    QTemporaryDir dir;
    auto* test = open<CFormTest>(CFormTest::kFormId);
    ASSERT_NE(test, nullptr);
    test->openFormatFile(dir.filePath("format.txt"));
    boxes.records.clear();
    click(test, 1005);
    click(test, 1004);
    test->OnReadStandardCard();
    auto* wave = open<CFormWave>(CFormWave::kFormId);
    ASSERT_NE(wave, nullptr);
    control<QLineEdit>(wave, 1049)->setText("40");
    click(wave, 1000);
    pump();
    EXPECT_EQ(boxes.count(QStringLiteral("VAZ尚未联机,请先执行联机操作!")), 4);
    EXPECT_FALSE(test->reader().running());
    EXPECT_EQ(control<QPushButton>(test, 1005)->text(), QStringLiteral("读卡"));
}
