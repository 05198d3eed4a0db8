// A reader unplugged and plugged back while the USB update dialog is open.
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "firmware_rig.h"
#include "shell_test_support.h"
#include "update_online_usb_dlg.h"
#include "usb_rig.h"

namespace {

bool versionButtonsEnabled(const CUpdateOnlineUsbDlg& dlg) {
    return dlg.findChild<QPushButton*>("1001")->isEnabled() && dlg.findChild<QPushButton*>("1002")->isEnabled();
}

TEST(UsbHotPlug, UnpluggedReaderIsReportedAndReconnectedWhenItComesBack) {
    UsbReaderRig rig;
    ModalAnswerer boxes;
    CUpdateOnlineUsbDlg dlg(true);
    ASSERT_TRUE(openFirstReader(dlg));
    rig.unplug();
    ASSERT_TRUE(waitUntil([&] { return receiveArea(dlg).endsWith(QStringLiteral("当前设备断开连接\n")); }));
    EXPECT_FALSE(dlg.deviceConnected());
    EXPECT_FALSE(dlg.findChild<QPushButton*>("1001")->isEnabled());
    EXPECT_FALSE(dlg.findChild<QPushButton*>("1002")->isEnabled());
    EXPECT_TRUE(waitUntil([&] { return dlg.findChild<QListWidget*>("1004")->count() == 0; }));

    rig.reader.setModel("R6KTM20260417");
    rig.plug();
    ASSERT_TRUE(waitUntil([&] { return receiveArea(dlg).endsWith(QStringLiteral("当前设备重新建立连接\n")); }));
    EXPECT_TRUE(dlg.deviceConnected());
    EXPECT_TRUE(versionButtonsEnabled(dlg));
    EXPECT_EQ(dlg.findChild<QListWidget*>("1004")->count(), 1);
    // The reader that came back answers.
    dlg.findChild<QPushButton*>("1002")->click();
    EXPECT_EQ(dlg.findChild<QLineEdit*>("1027")->text(), "R6KTM20260417");
    // Each change is told once.
    EXPECT_EQ(receiveArea(dlg).count(QStringLiteral("当前设备断开连接")), 1);
    EXPECT_EQ(receiveArea(dlg).count(QStringLiteral("当前设备重新建立连接")), 1);
    EXPECT_TRUE(boxes.records.empty());
}

TEST(UsbHotPlug, UnplugDuringATransferEndsIt) {
    UsbReaderRig rig;
    ModalAnswerer boxes;
    const std::string file = fwtest::WriteFile("gone.bin", fwtest::RandomBytes(100 * 1024, 31));
    CUpdateOnlineUsbDlg dlg(true);
    ASSERT_TRUE(openFirstReader(dlg));
    type(dlg, "1011", "IAP/");
    click(dlg, "1015");
    ASSERT_TRUE(waitUntil([&] { return receiveArea(dlg).endsWith("C\n"); }));
    dlg.chooseFirmwareFile(QString::fromStdString(file));
    click(dlg, "1017");
    auto* progress = dlg.findChild<QProgressBar*>("1019");
    ASSERT_TRUE(waitUntil([&] { return progress->value() >= 2; }));
    rig.unplug();
    ASSERT_TRUE(waitUntil([&] { return !dlg.sending(); }));
    EXPECT_FALSE(dlg.deviceConnected());
    EXPECT_EQ(progress->value(), 0);
    EXPECT_FALSE(fwtest::HoldsFile(file));
    QStringList shown;
    for (const ModalRecord& r : boxes.records)
        if (r.objectName == "message") shown << r.text;
    EXPECT_EQ(shown, QStringList{QStringLiteral("当前设备断开连接")});
    EXPECT_EQ(receiveArea(dlg).count(QStringLiteral("当前设备断开连接")), 1);
}

}  // namespace
