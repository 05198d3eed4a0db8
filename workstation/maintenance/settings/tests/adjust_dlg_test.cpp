// The calibration dialog against the virtual reader: what it sends for each
// gray level, the messages, and what init.ini remembers.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dlg_adjust.h"
#include "main_frame.h"
#include "settings_test_support.h"

namespace {

using Commands = std::vector<std::string>;

void choose(CDlgAdjust& dlg, const QString& level) {
    QComboBox* list = dlg.findChild<QComboBox*>("1011");
    list->setCurrentIndex(list->findText(level));
    ASSERT_EQ(list->currentText(), level);
}
void click(QWidget& dlg, const char* id) {
    dlg.findChild<QPushButton*>(id)->click();
}

using AdjustOpening = SettingsOffline;

TEST_F(AdjustOpening, WithoutInitIniTheListOffersOneToFifteenAtTen) {
    app->testRun = 1;
    CDlgAdjust dlg(nullptr, initIni());
    EXPECT_EQ(app->testRun, 0);  // a value test sampling in the background stops
    EXPECT_EQ(dlg.objectName(), "329");
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("校准设置"));
    QComboBox* list = dlg.findChild<QComboBox*>("1011");
    ASSERT_EQ(list->count(), 15);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(list->itemText(i), QString::number(i + 1));
    EXPECT_EQ(list->currentText(), "10");
    EXPECT_EQ(dlg.findChild<QPushButton*>("1049")->text(), QStringLiteral("校准"));
    EXPECT_EQ(dlg.findChild<QPushButton*>("1050")->text(), QStringLiteral("校准"));
    EXPECT_TRUE(dlg.findChild<QLineEdit*>("1048")->isHidden());
    EXPECT_EQ(stored(), "(none)");  // opening writes nothing
}

TEST_F(AdjustOpening, TheStoredLevelIsPreselected) {
    put("[makesign]\ngray=4\nsync=73\n");
    CDlgAdjust dlg(nullptr, initIni());
    EXPECT_EQ(dlg.findChild<QComboBox*>("1011")->currentText(), "4");
}

TEST_F(AdjustOpening, ShowsTheExplanationsOfBothCalibrations) {
    CDlgAdjust dlg(nullptr, initIni());
    QStringList texts;
    for (QLabel* l : dlg.findChildren<QLabel*>()) texts << l->text();
    for (const char* t : {"1.此操作用来确定标准涂点识别结果的灰度级表示。", "2.标准涂点的灰度级别可以由1到15级来表示。",
                          "3.通常情况下将标准灰度值设置到9到12之间即可。", "标准灰度值:",
                          "1.此操作用来确定要读信息卡的双张厚度。用来保证正确",
                          "的双张检查，避免漏卡或不必要的双张报错。",
                          "2.请向纸仓中放一张要读的信息卡，点击校准按钮进行校", "准。"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(t))) << t;
}

TEST_F(AdjustOpening, CalibratingWithoutAReaderSendsNothing) {
    CDlgAdjust dlg(nullptr, initIni());
    click(dlg, "1049");
    click(dlg, "1050");
    ASSERT_EQ(boxes.records.size(), 2u);
    for (const ModalRecord& r : boxes.records) {
        EXPECT_EQ(r.text, QStringLiteral("VAZ尚未联机,请先执行联机操作!"));
        EXPECT_EQ(r.title, QStringLiteral("提示:"));
    }
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(stored(), "(none)");
}

using GrayCalibration = SettingsOnLink;
SETTINGS_ON_BOTH_LINKS(GrayCalibration);

TEST_P(GrayCalibration, SendsTheLevelInTwoDigitsAndRemembersIt) {
    CDlgAdjust dlg(nullptr, initIni());
    choose(dlg, "7");
    click(dlg, "1049");
    EXPECT_EQ(lastMessage(), QStringLiteral("标定成功"));
    EXPECT_EQ(stored(), "[makesign]\ngray=7\n");
    choose(dlg, "12");
    click(dlg, "1049");
    EXPECT_EQ(commands(), (Commands{"J 07/", "J 12/"}));
    EXPECT_EQ(stored(), "[makesign]\ngray=12\n");
    // The next opening starts at the level calibrated last.
    CDlgAdjust again(nullptr, initIni());
    EXPECT_EQ(again.findChild<QComboBox*>("1011")->currentText(), "12");
}

TEST_P(GrayCalibration, RefusedLevelShowsTheFailureAndKeepsTheOldOne) {
    put("; calibrated at the line\n[makesign]\ngray=9\n");
    CDlgAdjust dlg(nullptr, initIni());
    choose(dlg, "3");
    refuse("J");
    click(dlg, "1049");
    EXPECT_EQ(commands(), Commands{"J 03/"});
    EXPECT_EQ(lastMessage(), QStringLiteral("标定失败"));
    EXPECT_EQ(stored(), "; calibrated at the line\n[makesign]\ngray=9\n");
}

using CardCalibration = SettingsOnLink;
SETTINGS_ON_BOTH_LINKS(CardCalibration);

TEST_P(CardCalibration, WritesTheMarkerWhateverTheHiddenCountHolds) {
    CDlgAdjust dlg(nullptr, initIni());
    dlg.findChild<QLineEdit*>("1048")->setText("12");
    click(dlg, "1050");
    EXPECT_EQ(commands(), Commands{"J/"});
    EXPECT_EQ(lastMessage(), QStringLiteral("标定成功"));
    EXPECT_EQ(stored(), "[makesign]\nsync=73\n");
}

TEST_P(CardCalibration, RefusedCalibrationWritesNoMarker) {
    CDlgAdjust dlg(nullptr, initIni());
    refuse("J");
    click(dlg, "1050");
    EXPECT_EQ(commands(), Commands{"J/"});
    EXPECT_EQ(lastMessage(), QStringLiteral("标定失败"));
    EXPECT_EQ(stored(), "(none)");
}

}  // namespace
