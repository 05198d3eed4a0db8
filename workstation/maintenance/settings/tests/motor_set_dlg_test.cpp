// The motor settings dialog against the virtual reader: the coefficient and
// speed commands, their order, the messages, when the dialog closes and what
// init.ini remembers.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "motor_set_dlg.h"
#include "settings_test_support.h"

namespace {

using Commands = std::vector<std::string>;
using devicesettings::MotorSettings;

void choose(CMotorSetDlg& dlg, int speed, int forward, int reverse) {
    const std::pair<const char*, int> lists[] = {{"1011", speed}, {"1012", forward}, {"1015", reverse}};
    for (const auto& [id, value] : lists) {
        QComboBox* list = dlg.findChild<QComboBox*>(id);
        list->setCurrentIndex(list->findText(QString::number(value)));
        ASSERT_EQ(list->currentText(), QString::number(value)) << id;
    }
}
QStringList chosen(CMotorSetDlg& dlg) {
    QStringList texts;
    for (const char* id : {"1011", "1012", "1015"}) texts << dlg.findChild<QComboBox*>(id)->currentText();
    return texts;
}
void clickSet(CMotorSetDlg& dlg) {
    dlg.findChild<QPushButton*>("1")->click();
}

using MotorOpening = SettingsOffline;

TEST_F(MotorOpening, WithoutInitIniSpeedOneAndBothCoefficientsZero) {
    app->testRun = 1;
    CMotorSetDlg dlg(nullptr, initIni());
    EXPECT_EQ(app->testRun, 0);
    EXPECT_EQ(dlg.objectName(), "328");
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("电机参数设置"));
    EXPECT_EQ(chosen(dlg), (QStringList{"1", "0", "0"}));
    QComboBox* speed = dlg.findChild<QComboBox*>("1011");
    ASSERT_EQ(speed->count(), 8);
    EXPECT_EQ(speed->itemText(7), "8");
    for (const char* id : {"1012", "1015"}) {
        QComboBox* list = dlg.findChild<QComboBox*>(id);
        ASSERT_EQ(list->count(), 19) << id;
        EXPECT_EQ(list->itemText(0), "-9");
        EXPECT_EQ(list->itemText(18), "9");
    }
    EXPECT_EQ(dlg.findChild<QPushButton*>("1")->text(), QStringLiteral("设置"));
    EXPECT_EQ(dlg.findChild<QPushButton*>("2")->text(), QStringLiteral("取消"));
    EXPECT_EQ(stored(), "(none)");
}

TEST_F(MotorOpening, StoredValuesArePreselected) {
    put("[setparma]\nMotoRange=6\nForeTime=-4\nBehindTime=3\n");
    CMotorSetDlg dlg(nullptr, initIni());
    EXPECT_EQ(chosen(dlg), (QStringList{"6", "-4", "3"}));
}

TEST_F(MotorOpening, ShowsTheParameterNotes) {
    CMotorSetDlg dlg(nullptr, initIni());
    QStringList texts;
    for (QLabel* l : dlg.findChildren<QLabel*>()) texts << l->text();
    for (const char* t : {"走纸电机速度:", "正搓系数:", "反搓系数:", "1.走纸电机速度分为8级，由8到1速度依次增高。",
                          "2.搓纸电机有正搓系数和反搓系数设置。", "3.正搓和反搓系数的初始值为0，正值表示在初始值",
                          "的基础上增加若干值，负值表示在初始值的基础上减", "小若干值。"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(t))) << t;
}

// Nothing goes to the reader; the settings of the opening are written back
// as they were and the dialog stays open.
TEST_F(MotorOpening, SettingWithoutAReaderKeepsTheDialogOpen) {
    put("[setparma]\nMotoRange=2\nForeTime=1\nBehindTime=-1\n");
    CMotorSetDlg dlg(nullptr, initIni());
    dlg.show();
    choose(dlg, 8, 0, 0);
    clickSet(dlg);
    EXPECT_EQ(lastMessage(), QStringLiteral("VAZ尚未联机,请先执行联机操作!"));
    EXPECT_TRUE(commands().empty());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(stored(), "[setparma]\nMotoRange=2\nForeTime=1\nBehindTime=-1\n");
}

using MotorSetting = SettingsOnLink;
SETTINGS_ON_BOTH_LINKS(MotorSetting);

TEST_P(MotorSetting, SendsCoefficientsThenSpeedStoresThemAndCloses) {
    CMotorSetDlg dlg(nullptr, initIni());
    dlg.show();
    choose(dlg, 8, -9, 9);
    clickSet(dlg);
    EXPECT_EQ(commands(), (Commands{"m 01 19/", "M 8/"}));
    EXPECT_EQ(lastMessage(), QStringLiteral("操作成功"));
    EXPECT_EQ(boxes.records.back().title, QStringLiteral("提示:"));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(stored(), "[setparma]\nMotoRange=8\nForeTime=-9\nBehindTime=9\n");

    CMotorSetDlg again(nullptr, initIni());
    EXPECT_EQ(chosen(again), (QStringList{"8", "-9", "9"}));
    reader().clearTrace();
    choose(again, 1, 0, 0);
    clickSet(again);
    EXPECT_EQ(commands(), (Commands{"m 10 10/", "M 1/"}));
}

TEST_P(MotorSetting, RefusedCoefficientsSendNoSpeedAndKeepTheStoredSettings) {
    put("[setparma]\nMotoRange=3\nForeTime=2\nBehindTime=-2\n");
    CMotorSetDlg dlg(nullptr, initIni());
    dlg.show();
    choose(dlg, 8, -9, 9);
    refuse("m ");
    clickSet(dlg);
    EXPECT_EQ(commands(), Commands{"m 01 19/"});
    EXPECT_EQ(lastMessage(), QStringLiteral("操作失败"));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.current(), (MotorSettings{3, 2, -2}));
    EXPECT_EQ(stored(), "[setparma]\nMotoRange=3\nForeTime=2\nBehindTime=-2\n");
}

TEST_P(MotorSetting, RefusedSpeedKeepsTheStoredSettings) {
    put("[setparma]\nMotoRange=3\nForeTime=2\nBehindTime=-2\n");
    CMotorSetDlg dlg(nullptr, initIni());
    dlg.show();
    choose(dlg, 5, 1, 1);
    refuse("M ");
    clickSet(dlg);
    EXPECT_EQ(commands(), (Commands{"m 11 11/", "M 5/"}));
    EXPECT_EQ(lastMessage(), QStringLiteral("操作失败"));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(stored(), "[setparma]\nMotoRange=3\nForeTime=2\nBehindTime=-2\n");
    // A second try the reader accepts goes through and closes.
    clickSet(dlg);
    EXPECT_EQ(lastMessage(), QStringLiteral("操作成功"));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(stored(), "[setparma]\nMotoRange=5\nForeTime=1\nBehindTime=1\n");
}

TEST_P(MotorSetting, CancelSendsNothing) {
    CMotorSetDlg dlg(nullptr, initIni());
    dlg.show();
    choose(dlg, 8, -9, 9);
    dlg.findChild<QPushButton*>("2")->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(commands().empty());
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_EQ(stored(), "(none)");
}

}  // namespace
