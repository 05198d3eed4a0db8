// The calibration and motor settings dialogs against the virtual reader:
// what they open with, the exact commands, the messages, and what init.ini
// keeps. (The settings logic itself is tested in maintenance/tests.)
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "dlg_adjust.h"
#include "motor_set_dlg.h"
#include "settings_test_support.h"

namespace {

using Commands = std::vector<std::string>;

void choose(QDialog& dlg, const char* list, const QString& value) {
    QComboBox* c = dlg.findChild<QComboBox*>(list);
    c->setCurrentIndex(c->findText(value));
    ASSERT_EQ(c->currentText(), value) << list;
}
QStringList entries(QDialog& dlg, const char* list) {
    QStringList texts;
    for (QComboBox* c = dlg.findChild<QComboBox*>(list); texts.size() < c->count();) texts << c->itemText(texts.size());
    return texts;
}
QString chosen(QDialog& dlg, const char* list) {
    return dlg.findChild<QComboBox*>(list)->currentText();
}
void click(QDialog& dlg, const char* button) {
    dlg.findChild<QPushButton*>(button)->click();
}
QStringList numbers(int low, int high) {
    QStringList n;
    for (int i = low; i <= high; ++i) n << QString::number(i);
    return n;
}

using Opening = SettingsOffline;

TEST_F(Opening, WithoutInitIniGrayTenSpeedOneCoefficientsZero) {
    app->testRun = 1;
    CDlgAdjust adjust(nullptr, initIni());
    EXPECT_EQ(app->testRun, 0);  // a value test sampling in the background stops
    EXPECT_EQ(adjust.windowTitle(), QStringLiteral("校准设置"));
    EXPECT_EQ(entries(adjust, "1011"), numbers(1, 15));
    EXPECT_EQ(chosen(adjust, "1011"), "10");
    EXPECT_TRUE(adjust.findChild<QLineEdit*>("1048")->isHidden());
    app->testRun = 1;
    CMotorSetDlg motor(nullptr, initIni());
    EXPECT_EQ(app->testRun, 0);
    EXPECT_EQ(motor.windowTitle(), QStringLiteral("电机参数设置"));
    EXPECT_EQ(entries(motor, "1011"), numbers(1, 8));
    EXPECT_EQ(entries(motor, "1012"), numbers(-9, 9));
    EXPECT_EQ(entries(motor, "1015"), numbers(-9, 9));
    EXPECT_EQ((QStringList{chosen(motor, "1011"), chosen(motor, "1012"), chosen(motor, "1015")}),
              (QStringList{"1", "0", "0"}));
    EXPECT_EQ(stored(), "(none)");  // opening writes nothing
}

TEST_F(Opening, StoredValuesArePreselected) {
    put("[makesign]\ngray=4\n[setparma]\nMotoRange=6\nForeTime=-4\nBehindTime=3\n");
    CDlgAdjust adjust(nullptr, initIni());
    EXPECT_EQ(chosen(adjust, "1011"), "4");
    CMotorSetDlg motor(nullptr, initIni());
    EXPECT_EQ((QStringList{chosen(motor, "1011"), chosen(motor, "1012"), chosen(motor, "1015")}),
              (QStringList{"6", "-4", "3"}));
}

// Nothing goes to the reader; the motor settings of the opening are written
// back as they were and the dialog stays open.
TEST_F(Opening, WithoutAReaderEveryActionAsksForTheConnection) {
    put("[setparma]\nMotoRange=2\nForeTime=1\nBehindTime=-1\n");
    CDlgAdjust adjust(nullptr, initIni());
    click(adjust, "1049");
    click(adjust, "1050");
    CMotorSetDlg motor(nullptr, initIni());
    motor.show();
    choose(motor, "1011", "8");
    click(motor, "1");
    ASSERT_EQ(boxes.records.size(), 3u);
    for (const ModalRecord& r : boxes.records) {
        EXPECT_EQ(r.text, QStringLiteral("VAZ尚未联机,请先执行联机操作!"));
        EXPECT_EQ(r.title, QStringLiteral("提示:"));
    }
    EXPECT_TRUE(commands().empty());
    EXPECT_TRUE(motor.isVisible());
    EXPECT_EQ(stored(), "[setparma]\nMotoRange=2\nForeTime=1\nBehindTime=-1\n");
}

using Calibration = SettingsOnLink;
SETTINGS_ON_BOTH_LINKS(Calibration);

TEST_P(Calibration, GrayLevelGoesInTwoDigitsAndIsRemembered) {
    CDlgAdjust dlg(nullptr, initIni());
    choose(dlg, "1011", "7");
    click(dlg, "1049");
    EXPECT_EQ(lastMessage(), QStringLiteral("标定成功"));
    choose(dlg, "1011", "12");
    click(dlg, "1049");
    EXPECT_EQ(commands(), (Commands{"J 07/", "J 12/"}));
    EXPECT_EQ(stored(), "[makesign]\ngray=12\n");
    CDlgAdjust again(nullptr, initIni());
    EXPECT_EQ(chosen(again, "1011"), "12");
}

TEST_P(Calibration, CardCalibrationWritesTheMarkerWhateverTheHiddenCountHolds) {
    CDlgAdjust dlg(nullptr, initIni());
    dlg.findChild<QLineEdit*>("1048")->setText("12");
    click(dlg, "1050");
    EXPECT_EQ(commands(), Commands{"J/"});
    EXPECT_EQ(lastMessage(), QStringLiteral("标定成功"));
    EXPECT_EQ(stored(), "[makesign]\nsync=73\n");
}

TEST_P(Calibration, RefusedCalibrationsShowTheFailureAndStoreNothing) {
    put("[makesign]\ngray=9\n");
    CDlgAdjust dlg(nullptr, initIni());
    choose(dlg, "1011", "3");
    refuse("J");
    click(dlg, "1049");
    EXPECT_EQ(lastMessage(), QStringLiteral("标定失败"));
    refuse("J");
    click(dlg, "1050");
    EXPECT_EQ(lastMessage(), QStringLiteral("标定失败"));
    EXPECT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(commands(), (Commands{"J 03/", "J/"}));
    EXPECT_EQ(stored(), "[makesign]\ngray=9\n");
}

using MotorSetting = SettingsOnLink;
SETTINGS_ON_BOTH_LINKS(MotorSetting);

TEST_P(MotorSetting, CoefficientsGoFirstThenSpeedAndTheDialogCloses) {
    CMotorSetDlg dlg(nullptr, initIni());
    dlg.show();
    choose(dlg, "1011", "8");
    choose(dlg, "1012", "-9");
    choose(dlg, "1015", "9");
    click(dlg, "1");
    EXPECT_EQ(commands(), (Commands{"m 01 19/", "M 8/"}));
    EXPECT_EQ(lastMessage(), QStringLiteral("操作成功"));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(stored(), "[setparma]\nMotoRange=8\nForeTime=-9\nBehindTime=9\n");

    CMotorSetDlg again(nullptr, initIni());
    reader().clearTrace();
    choose(again, "1011", "1");
    choose(again, "1012", "0");
    choose(again, "1015", "0");
    click(again, "1");
    EXPECT_EQ(commands(), (Commands{"m 10 10/", "M 1/"}));
}

// The dialog keeps the settings of its opening until the reader accepts
// both commands: a second try after a refusal still writes them back.
TEST_P(MotorSetting, RefusedCommandsKeepTheDialogOpenAndTheStoredSettings) {
    const QByteArray before = "[setparma]\nMotoRange=3\nForeTime=2\nBehindTime=-2\n";
    put(before);
    CMotorSetDlg dlg(nullptr, initIni());
    dlg.show();
    choose(dlg, "1011", "5");
    choose(dlg, "1012", "1");
    refuse("m ");
    click(dlg, "1");
    EXPECT_EQ(commands(), Commands{"m 11 08/"});  // no speed after refused coefficients
    EXPECT_EQ(lastMessage(), QStringLiteral("操作失败"));
    refuse("M ");
    click(dlg, "1");
    EXPECT_EQ(lastMessage(), QStringLiteral("操作失败"));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(stored(), before);
}

}  // namespace
