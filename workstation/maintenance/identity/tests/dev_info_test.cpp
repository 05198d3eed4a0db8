// The device information: the code, then the counter and the identification.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dev_info_dlg.h"
#include "service_codes.h"
#include "shell_test_support.h"

namespace {

using DeviceInformation = ShellTest;

void enter(CDlgDevInfo& dlg, const QString& code) {
    dlg.findChild<QLineEdit*>("1016")->setText(code);
    dlg.findChild<QPushButton*>("1000")->click();
}

TEST_F(DeviceInformation, ShowsTheCounter10000AndTheMachineNumberAfterTheCode) {
    ReaderRig rig(ReaderRig::Via::Hid);
    rig.reader.setCardCounter(10000);  // "N/": 0x10 0x27 0x00 0x00
    rig.reader.setModel("R6KTM10034721");
    ASSERT_TRUE(start());
    CDlgDevInfo dlg;
    auto* counter = dlg.findChild<QLabel*>("1070");
    EXPECT_TRUE(counter->isHidden());
    EXPECT_FALSE(counter->isEnabled());
    enter(dlg, servicecode::kDeviceInfo);
    EXPECT_FALSE(counter->isHidden());
    EXPECT_TRUE(counter->isEnabled());
    EXPECT_EQ(counter->text(), QStringLiteral("当前设备走卡张数:10000"));
    EXPECT_EQ(dlg.findChild<QLabel*>("1068")->text(), QStringLiteral("当前设备的机器号:R6KTM10034721"));
    EXPECT_TRUE(dlg.findChild<QLineEdit*>("1016")->isHidden());
    EXPECT_TRUE(dlg.findChild<QPushButton*>("1000")->isHidden());
    EXPECT_EQ(counter->pos(), QPoint(10, 35));  // where the code entry was
}

TEST_F(DeviceInformation, WrongCodeShowsTheRedTextAndAsksTheReaderNothing) {
    ReaderRig rig(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    rig.reader.clearTrace();
    CDlgDevInfo dlg;
    enter(dlg, QString::fromLatin1(servicecode::kDeviceInfo).chopped(1));
    EXPECT_FALSE(dlg.findChild<QLabel*>("1069")->isHidden());
    EXPECT_FALSE(dlg.findChild<QLineEdit*>("1016")->isHidden());
    EXPECT_EQ(dlg.findChild<QLabel*>("1068")->text(), QStringLiteral("如需查看设备信息,请输入密码"));
    EXPECT_TRUE(rig.reader.commands().empty());
}

TEST_F(DeviceInformation, WithoutAReaderThePromptSaysSo) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    ASSERT_TRUE(start());
    boxes.records.clear();  // the library's own "not found"
    CDlgDevInfo dlg;
    enter(dlg, servicecode::kDeviceInfo);
    EXPECT_EQ(dlg.findChild<QLabel*>("1068")->text(), QStringLiteral("VAZ尚未联机,请先执行联机操作!"));
    EXPECT_TRUE(dlg.findChild<QLabel*>("1070")->isHidden());
    EXPECT_TRUE(boxes.records.empty());
}

}  // namespace
