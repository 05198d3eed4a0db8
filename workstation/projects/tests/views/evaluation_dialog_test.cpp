// Cards compared with the answer key through the project dialog, as the
// technician runs them against the virtual reader: what the dialog shows
// and what the project record counts.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QFile>
#include <QTableWidget>

#include "ini_file.h"
#include "views_fixture.h"

namespace {

QString detailRow(QTableWidget* list, int row) {
    return list->item(row, 0)->text() + u':' + list->item(row, 1)->text();
}

}  // namespace

using Evaluation = ProjectWindows;

TEST_F(Evaluation, OneWrongPositionIsCountedAndShown) {
    CEvaDlg dlg;
    open(dlg);
    ASSERT_TRUE(dlg.formatLoaded());
    feed({"ABXD"});
    ASSERT_TRUE(compareRun(dlg));
    EXPECT_EQ(text(dlg, "1038"), "1");  // total errors
    EXPECT_EQ(text(dlg, "1039"), "1");  // total cards
    EXPECT_EQ(text(dlg, "1040"), "1");  // cards this run
    EXPECT_EQ(text(dlg, "1046"), QStringLiteral("2; \n"));
    EXPECT_EQ(dlg.record().errorPositions, QStringLiteral("2; \r\n"));
    auto* details = dlg.findChild<QTableWidget*>("1044");
    ASSERT_EQ(details->rowCount(), 3);
    EXPECT_EQ(detailRow(details, 0), "0:0");
    EXPECT_EQ(detailRow(details, 2), "2:1");
    EXPECT_EQ(dlg.record().errorCounts.at(2), 1);
    EXPECT_EQ(text(dlg, "1004"), QStringLiteral("读卡"));
    EXPECT_EQ(text(dlg, "1005"), QStringLiteral("录入答案"));
}

TEST_F(Evaluation, ShortCardMissesThePositionsItLacks) {
    CEvaDlg dlg;
    open(dlg);
    feed({"AB"});
    ASSERT_TRUE(compareRun(dlg));
    EXPECT_EQ(text(dlg, "1038"), "2");
    EXPECT_EQ(dlg.record().errorPositions, QStringLiteral("2; \r\n3; \r\n"));
    EXPECT_EQ(errorPositionsColumn(dlg.record().errorCounts), "2-1;3-1;");
}

TEST_F(Evaluation, LongCardIsComparedOverTheKeyOnly) {
    CEvaDlg dlg;
    open(dlg);
    feed({"ABCDXYZ", "ABCD"});
    ASSERT_TRUE(compareRun(dlg));
    EXPECT_EQ(text(dlg, "1038"), "0");
    EXPECT_EQ(text(dlg, "1039"), "2");
    EXPECT_EQ(text(dlg, "1046"), QStringLiteral("无错"));
    EXPECT_EQ(dlg.findChild<QTableWidget*>("1044")->rowCount(), 0);
}

TEST_F(Evaluation, StopOnErrorEndsTheRunAfterTheFirstWrongCard) {
    CEvaDlg dlg;
    open(dlg);
    click(dlg, "1043");
    ASSERT_TRUE(dlg.findChild<QAbstractButton*>("1043")->isChecked());
    feed({"ABCD", "XBCD", "ABCD", "ABCD"});
    ASSERT_TRUE(runAndWait(dlg, "1004"));  // ends by itself
    EXPECT_EQ(text(dlg, "1039"), "2");
    EXPECT_EQ(rig->reader.hopperSize(), 2u);
    EXPECT_EQ(text(dlg, "1041"), "0");  // an error stop is no reader failure
}

TEST_F(Evaluation, WithoutStopOnErrorTheRunGoesOn) {
    CEvaDlg dlg;
    open(dlg);
    feed({"ABCD", "XBCD", "AXCD", "ABCD"});
    ASSERT_TRUE(compareRun(dlg));
    EXPECT_EQ(text(dlg, "1039"), "4");
    EXPECT_EQ(errorPositionsColumn(dlg.record().errorCounts), "0-1;1-1;");
}

TEST_F(Evaluation, StopOnErrorKeepsItsStateToTheNextOpening) {
    CEvaDlg dlg;
    open(dlg);
    click(dlg, "1043");
    dlg.reject();
    open(dlg);
    EXPECT_TRUE(dlg.findChild<QAbstractButton*>("1043")->isChecked());
}

TEST_F(Evaluation, SpeedOfTheFirstCardIsZero) {
    CEvaDlg dlg;
    open(dlg);
    feed({"ABCD"});
    ASSERT_TRUE(compareRun(dlg));
    EXPECT_EQ(text(dlg, "1042"), "0");
}

TEST_F(Evaluation, RecordingAKeyReadsOneCardAndStoresItUnderTheCardType) {
    CEvaDlg dlg;
    open(dlg);
    boxes.records.clear();
    feed({"DCBA", "ABCD"});
    ASSERT_TRUE(runAndWait(dlg, "1005"));
    EXPECT_EQ(rig->reader.hopperSize(), 1u);
    EXPECT_EQ(boxes.count(QStringLiteral("答案录入成功")), 1);
    EXPECT_EQ(text(dlg, "1005"), QStringLiteral("录入答案"));
    EXPECT_TRUE(dlg.findChild<QAbstractButton*>("1005")->isEnabled());
    CIni ini(dir.filePath("config.ini"));
    EXPECT_EQ(ini.readString("T4", "answer"), "DCBA");
    // The next compare run uses the recorded key.
    ASSERT_TRUE(compareRun(dlg));
    EXPECT_EQ(errorPositionsColumn(dlg.record().errorCounts), "0-1;1-1;2-1;3-1;");
}

TEST_F(Evaluation, ClearErrorsKeepsTheCardCountsAndWhatWasTyped) {
    CEvaDlg dlg;
    open(dlg);
    feed({"XBCD", "AXCD"});
    ASSERT_TRUE(compareRun(dlg));
    dlg.findChild<QLineEdit*>("1034")->setText("P-77");
    click(dlg, "1000");
    EXPECT_EQ(text(dlg, "1038"), "0");
    EXPECT_EQ(text(dlg, "1039"), "2");
    EXPECT_EQ(text(dlg, "1046"), QStringLiteral("无错"));
    EXPECT_EQ(dlg.findChild<QTableWidget*>("1044")->rowCount(), 0);
    EXPECT_EQ(dlg.record().errorCounts.highest(), -1);
    EXPECT_EQ(text(dlg, "1034"), "P-77");
}

TEST_F(Evaluation, SerialNumbersTypedBeforeARunSurviveIt) {
    CEvaDlg dlg;
    open(dlg);
    dlg.findChild<QLineEdit*>("1035")->setText("MB-12");
    feed({"ABCD"});
    ASSERT_TRUE(compareRun(dlg));
    EXPECT_EQ(text(dlg, "1035"), "MB-12");
}

TEST_F(Evaluation, NoKeyForTheCardTypeSaysSoAndEndsTheRun) {
    writeKey("");
    CEvaDlg dlg;
    open(dlg);
    boxes.records.clear();
    feed({"ABCD", "ABCD"});
    ASSERT_TRUE(runAndWait(dlg, "1004"));
    EXPECT_EQ(boxes.count(QStringLiteral("没有该答题卡答案")), 1);
    EXPECT_EQ(text(dlg, "1039"), "1");  // the card is counted
}

TEST_F(Evaluation, OpeningAProjectSelectsItsTypesWithoutLoadingTheFormat) {
    ProjectRecord r;
    r.machineType = "r6ktm";  // a case-insensitive prefix selects
    r.cardType = "T4";
    CEvaDlg dlg;
    dlg.setLocations(locations);
    dlg.setProject(0, r);
    rig->reader.clearTrace();
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.findChild<QComboBox*>("1011")->currentText(), "R6KTM");
    EXPECT_EQ(dlg.findChild<QComboBox*>("1012")->currentText(), "T4");
    EXPECT_FALSE(dlg.formatLoaded());
    EXPECT_TRUE(rig->reader.commands().empty());
    // The lists are sorted.
    EXPECT_EQ(dlg.findChild<QComboBox*>("1011")->itemText(0), "R6KTM");
}

TEST_F(Evaluation, NotConnectedRefusesToRead) {
    app->device.init(-1);
    app->connected = 0;
    CEvaDlg dlg;
    dlg.setLocations(locations);
    dlg.OnInitDialog();
    boxes.records.clear();
    click(dlg, "1004");
    click(dlg, "1005");
    pump(100);
    EXPECT_EQ(boxes.count(QStringLiteral("VAZ尚未联机,请先执行联机操作!")), 2);
    EXPECT_FALSE(dlg.running());
}

namespace {

// The run starts at 0 and its first card is read at 0; every further card
// `stepMs` after the one before.
EvaReadLoop::Clock steppingClock(int stepMs) {
    auto readings = std::make_shared<std::int64_t>(0);
    return [readings, stepMs] { return std::max<std::int64_t>(0, (*readings)++ - 1) * stepMs; };
}

}  // namespace

TEST_F(Evaluation, SpeedIsTheCardsBeforeOverTheWholeSeconds) {
    CEvaDlg dlg;
    dlg.setRunClock(steppingClock(1000));  // one card a second
    open(dlg);
    feed({"ABCD", "ABCD", "ABCD"});
    ASSERT_TRUE(compareRun(dlg));
    EXPECT_EQ(text(dlg, "1042"), "1");  // 2 cards before the third over 2 s
}

TEST_F(Evaluation, SixthCardTenSecondsIntoTheRunGivesSpeedZero) {
    CEvaDlg dlg;
    dlg.setRunClock(steppingClock(2000));  // the sixth card 10 s into the run
    open(dlg);
    feed({"ABCD", "ABCD", "ABCD", "ABCD", "ABCD", "ABCD"});
    ASSERT_TRUE(compareRun(dlg));
    EXPECT_EQ(text(dlg, "1039"), "6");
    EXPECT_EQ(text(dlg, "1042"), "0");  // 5 cards before it over 10 s, truncated
}
