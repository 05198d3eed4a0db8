// The About box and the connection dialog against the virtual reader.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "about_dlg.h"
#include "connect_dlg.h"
#include "main_frame.h"
#include "reader_identity.h"
#include "shell_test_support.h"

using AboutBox = ShellTest;

TEST_F(AboutBox, ShowsCardCounterAndMachineNumberOfTheReader) {
    ReaderRig rig(ReaderRig::Via::Hid);
    rig.reader.setCardCounter(123456);
    rig.reader.setModel("R6KTM10034721");
    ASSERT_TRUE(start());
    ASSERT_TRUE(app->connected);
    app->testRun = 1;
    CAboutDlg dlg;
    EXPECT_EQ(app->testRun, 0);
    EXPECT_EQ(dlg.findChild<QLabel*>("1009")->text(), QStringLiteral("当前设备走卡张数:123456"));
    // The reply "R6KTM10034721/" without its last character.
    EXPECT_EQ(dlg.findChild<QLabel*>("1010")->text(), QStringLiteral("当前设备的机器号:R6KTM10034721"));
    auto* init = dlg.findChild<QPushButton*>("1000");
    ASSERT_NE(init, nullptr);
    EXPECT_FALSE(init->isEnabled());
    EXPECT_TRUE(init->isHidden());
}

TEST_F(AboutBox, SendsNothingWhileNotConnected) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    ASSERT_TRUE(start());
    ASSERT_FALSE(app->connected);
    CAboutDlg dlg;
    EXPECT_TRUE(dlg.findChild<QLabel*>("1009")->text().isEmpty());
    EXPECT_TRUE(dlg.findChild<QLabel*>("1010")->text().isEmpty());
    EXPECT_TRUE(rig.reader.commands().empty());
}

TEST_F(AboutBox, TwoCounterBytesAreLittleEndian) {
    setenv("FAKE_VAZ_INIT", "1", 1);
    ASSERT_TRUE(start(PARTIAL_VAZ_LIBRARY));
    CAboutDlg dlg;  // the stand-in answers "N/" with 0x10 0x27
    EXPECT_EQ(dlg.findChild<QLabel*>("1009")->text(), QStringLiteral("当前设备走卡张数:10000"));
    EXPECT_EQ(dlg.findChild<QLabel*>("1010")->text(), QStringLiteral("当前设备的机器号:R6KTM1234"));
    const char four[] = {char(0xFF), char(0xFF), char(0xFF), char(0xFF), 0x01};
    EXPECT_EQ(readerinfo::cardCounter(four, 4), 4294967295u);
    EXPECT_EQ(readerinfo::cardCounter(four, 5), 4294967295u);  // a fifth byte drops out of 32 bits
    EXPECT_EQ(readerinfo::cardCounter(four, 0), 0u);
}

TEST_F(AboutBox, TakesTheLongestReplyTheLibraryCanDeliver) {
    // 9999 bytes and the terminator: the buffer must hold them (ASan checks).
    setenv("FAKE_VAZ_INIT", "1", 1);
    setenv("FAKE_VAZ_LONG_REPLY", "1", 1);
    ASSERT_TRUE(start(PARTIAL_VAZ_LIBRARY));
    CAboutDlg dlg;
    unsetenv("FAKE_VAZ_LONG_REPLY");
    const QString text = dlg.findChild<QLabel*>("1010")->text();
    EXPECT_EQ(text.size(), QStringLiteral("当前设备的机器号:").size() + 9998);
    EXPECT_TRUE(text.endsWith('X'));
}

using ConnectDialog = ShellTest;

TEST_F(ConnectDialog, PreselectsAutomaticWhateverWasUsedBefore) {
    ReaderRig rig(ReaderRig::Via::Serial);
    ASSERT_TRUE(start());
    {
        CConnectDlg dlg;
        QComboBox* list = dlg.findChild<QComboBox*>("1062");
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->itemText(0), QStringLiteral("自动连接"));
        EXPECT_EQ(list->itemText(1), QStringLiteral("USB口连接"));
        EXPECT_EQ(list->itemText(2), QStringLiteral("串口连接"));
        EXPECT_EQ(list->currentIndex(), 0);
        // The list is wide enough for its longest text.
        EXPECT_GE(list->width(), list->fontMetrics().horizontalAdvance(list->itemText(1)));
        list->setCurrentIndex(2);
        app->device.init(-1);  // so the library does not ask whether to reconnect
        dlg.findChild<QPushButton*>("1000")->click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    EXPECT_EQ(statusText(), QStringLiteral("已联机__串口连接"));
    CConnectDlg again;
    EXPECT_EQ(again.findChild<QComboBox*>("1062")->currentIndex(), 0);
}

TEST_F(ConnectDialog, FailedAttemptReplacesAWorkingConnection) {
    auto rig = std::make_unique<ReaderRig>(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    ASSERT_EQ(statusText(), QStringLiteral("已联机__USB口连接"));
    app->device.init(-1);
    rig = std::make_unique<ReaderRig>(ReaderRig::Via::Nothing);
    CConnectDlg dlg;
    dlg.findChild<QComboBox*>("1062")->setCurrentIndex(1);
    dlg.findChild<QPushButton*>("1000")->click();
    // The library answers with the type byte of the last identification and
    // no link: that is no connection.
    EXPECT_EQ(app->linkKind(), 0);
    EXPECT_EQ(app->connected, 0);
    EXPECT_EQ(statusText(), QStringLiteral("未连接"));
    EXPECT_EQ(boxes.count(QStringLiteral("Not find Vaz device,make sure Vaz device has been connected!")), 1);
    // Every device action now refuses.
    EXPECT_FALSE(app->SendFormatFile("a.txt"));
    EXPECT_EQ(boxes.records.back().text, QStringLiteral("VAZ尚未联机,请先执行联机操作!"));
}

TEST_F(ConnectDialog, ClosingWithoutConnectingKeepsTheState) {
    ReaderRig rig(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    const int mode = app->connectionMode;
    CConnectDlg dlg;
    dlg.findChild<QComboBox*>("1062")->setCurrentIndex(2);
    dlg.reject();
    EXPECT_EQ(app->connectionMode, mode);
    EXPECT_EQ(statusText(), QStringLiteral("已联机__USB口连接"));
}

TEST_F(ConnectDialog, ReconnectingWhileOnlineAsksTheLibraryQuestion) {
    ReaderRig rig(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    boxes.setButton(QMessageBox::No);
    CConnectDlg dlg;
    dlg.findChild<QPushButton*>("1000")->click();
    ASSERT_EQ(boxes.count(QStringLiteral("Vaz device has connected,whether or not to connect?")), 1);
    // "No" keeps the connection: the library returns the bare link kind.
    EXPECT_EQ(app->connectionMode, 1);
    EXPECT_EQ(statusText(), QStringLiteral("已联机__USB口连接"));
}

using StatusPane = ShellTest;

TEST_F(StatusPane, DeviceGoneDoesNotChangeTheStatusText) {
    ReaderRig rig(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    rig.dropHid();
    pump(200);
    EXPECT_EQ(statusText(), QStringLiteral("已联机__USB口连接"));
}
