// The USB update dialog without a transfer: the reader list, the attributes,
// opening a reader, the version write and read, the console and service mode.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "shell_test_support.h"
#include "update_online_usb_dlg.h"
#include "usb_rig.h"

namespace {

bool received(const vazsim::VirtualReader& reader, const std::string& command) {
    const auto c = reader.commands();
    return std::find(c.begin(), c.end(), command) != c.end();
}

TEST(UsbReaderList, ShowsReadersByProductStringWithTheirAttributes) {
    UsbReaderRig rig;
    ModalAnswerer boxes;
    CUpdateOnlineUsbDlg dlg(false);
    click(dlg, "1003");
    auto* list = dlg.findChild<QListWidget*>("1004");
    ASSERT_EQ(list->count(), 1);  // the other HID device is no reader
    EXPECT_EQ(list->item(0)->text(), "VAZ Reader");
    list->setCurrentRow(0);
    EXPECT_EQ(dlg.findChild<QLineEdit*>("1007")->text(), "6816");
    EXPECT_EQ(dlg.findChild<QLineEdit*>("1008")->text(), "2001");
    EXPECT_EQ(dlg.findChild<QLineEdit*>("1009")->text(), "100");
    EXPECT_FALSE(dlg.deviceConnected());  // selecting opens nothing
    EXPECT_TRUE(boxes.records.empty());
}

TEST(UsbReaderList, OpeningAReaderEnablesTheVersionCommands) {
    UsbReaderRig rig;
    ModalAnswerer boxes;
    CUpdateOnlineUsbDlg dlg(true);
    EXPECT_FALSE(dlg.findChild<QPushButton*>("1001")->isEnabled());
    EXPECT_FALSE(dlg.findChild<QPushButton*>("1002")->isEnabled());
    EXPECT_FALSE(dlg.findChild<QPushButton*>("1017")->isEnabled());
    EXPECT_TRUE(dlg.findChild<QLineEdit*>("1025")->isReadOnly());
    ASSERT_TRUE(openFirstReader(dlg));
    EXPECT_TRUE(dlg.findChild<QPushButton*>("1001")->isEnabled());
    EXPECT_TRUE(dlg.findChild<QPushButton*>("1002")->isEnabled());
    EXPECT_FALSE(dlg.findChild<QPushButton*>("1017")->isEnabled());  // no file chosen yet
    EXPECT_FALSE(dlg.findChild<QLineEdit*>("1025")->isReadOnly());
    EXPECT_EQ(receiveArea(dlg), QStringLiteral("设备已连接！\n"));
}

TEST(UsbServiceMode, ConsoleAndTransferAreHiddenOutsideIt) {
    UsbReaderRig rig;
    ModalAnswerer boxes;
    CUpdateOnlineUsbDlg plain(false);
    CUpdateOnlineUsbDlg service(true);
    for (const char* id : {"1010", "1011", "1013", "1014", "1015", "1016", "1017", "1018", "1019"}) {
        EXPECT_FALSE(plain.findChild<QWidget*>(id)->isVisibleTo(&plain)) << id;
        EXPECT_TRUE(service.findChild<QWidget*>(id)->isVisibleTo(&service)) << id;
    }
    EXPECT_TRUE(plain.findChild<QWidget*>("1001")->isVisibleTo(&plain));
    plain.setServiceMode(true);
    EXPECT_TRUE(plain.findChild<QWidget*>("1017")->isVisibleTo(&plain));
}

TEST(UsbVersion, WrittenVersionIsReadBack) {
    UsbReaderRig rig;
    ModalAnswerer boxes;
    CUpdateOnlineUsbDlg dlg(false);
    ASSERT_TRUE(openFirstReader(dlg));
    type(dlg, "1025", "V2.13-0417");
    click(dlg, "1001");
    EXPECT_TRUE(received(rig.reader, "V V2.13-0417/"));
    click(dlg, "1002");
    EXPECT_EQ(dlg.findChild<QLineEdit*>("1027")->text(), "V2.13-0417");
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("版本号写入成功!"));
}

TEST(UsbVersion, RefusedWriteAndMissingReplyAreReported) {
    UsbReaderRig rig;
    ModalAnswerer boxes;
    CUpdateOnlineUsbDlg dlg(false);
    ASSERT_TRUE(openFirstReader(dlg));
    vazsim::Fault refused;
    refused.kind = vazsim::Fault::Kind::Code;
    refused.code = "06";
    rig.reader.injectFault("V ", refused);
    type(dlg, "1025", "V2.14");
    click(dlg, "1001");
    vazsim::Fault silent;
    silent.kind = vazsim::Fault::Kind::Silent;
    rig.reader.injectFault("v/", silent);
    click(dlg, "1002");
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("版本号写入失败!"));
    EXPECT_EQ(boxes.records[1].text, QStringLiteral("读取版本失败!"));
    EXPECT_TRUE(dlg.findChild<QLineEdit*>("1027")->text().isEmpty());
}

TEST(UsbConsole, CommandGoesOutAndTheReplyIsShown) {
    UsbReaderRig rig;
    ModalAnswerer boxes;
    CUpdateOnlineUsbDlg dlg(true);
    ASSERT_TRUE(openFirstReader(dlg));
    type(dlg, "1011", "IAP/");
    click(dlg, "1015");
    EXPECT_TRUE(waitUntil([&] { return receiveArea(dlg).endsWith("C\n"); }));
    EXPECT_TRUE(rig.reader.inUpdateMode());
    type(dlg, "1011", "");
    click(dlg, "1015");
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("请输入命令!"));
    click(dlg, "1014");
    EXPECT_TRUE(receiveArea(dlg).isEmpty());
}

}  // namespace
