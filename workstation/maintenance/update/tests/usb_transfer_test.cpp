// The firmware transfer through the USB dialog against the virtual reader in
// its update mode: the image that arrives, the progress, and the ends of a
// transfer that does not complete.
#include <QLineEdit>
#include <QProgressBar>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "firmware_rig.h"
#include "shell_test_support.h"
#include "update_online_usb_dlg.h"
#include "usb_rig.h"

namespace {

class UsbTransfer : public ::testing::Test {
protected:
    // Opens the reader, switches it into its update mode from the console and takes `bytes` as
    // the firmware file.
    void prepare(CUpdateOnlineUsbDlg& dlg, const std::string& bytes) {
        ASSERT_TRUE(openFirstReader(dlg));
        type(dlg, "1011", "IAP/");
        click(dlg, "1015");
        ASSERT_TRUE(waitUntil([&] { return receiveArea(dlg).endsWith("C\n"); }));
        file_ = fwtest::WriteFile("firmware.bin", bytes);
        dlg.chooseFirmwareFile(QString::fromStdString(file_));  // what "浏览文件" does with its choice
        ASSERT_EQ(dlg.findChild<QLineEdit*>("1018")->text().toStdString(), file_);
    }
    // Starts the transfer and waits for its end.
    void send(CUpdateOnlineUsbDlg& dlg) {
        click(dlg, "1017");
        ASSERT_TRUE(dlg.sending());
        ASSERT_TRUE(waitUntil([&] { return !dlg.sending(); }));
    }
    long headersOf(const UsbReaderRig& rig, int block) {
        const auto reports = rig.reader.hidReports(vazsim::Direction::HostToReader);
        return std::count(reports.begin(), reports.end(), '\0' + fwtest::HeaderPayload(block));
    }
    std::vector<QString> texts() const {
        std::vector<QString> t;
        for (const ModalRecord& r : boxes.records)
            if (r.objectName == "message") t.push_back(r.text);
        return t;
    }

    UsbReaderRig rig;
    ModalAnswerer boxes;
    std::string file_;
};

vazsim::UpdateFault fault(vazsim::UpdateFault::Kind kind, int block) {
    vazsim::UpdateFault f;
    f.kind = kind;
    f.block = block;
    return f;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(UsbTransfer, ImageWithOneRejectedPacketArrivesByteIdentical) {
    const std::string out = fwtest::TempPath("image.bin");
    rig.reader.setFirmwareOut(out);
    rig.reader.injectUpdateFault(fault(vazsim::UpdateFault::Kind::Nak, 3));
    CUpdateOnlineUsbDlg dlg(true);
    const std::string image = fwtest::RandomBytes(6 * 1024, 21);
    prepare(dlg, image);
    auto* progress = dlg.findChild<QProgressBar*>("1019");
    send(dlg);
    ASSERT_TRUE(waitUntil([&] { return rig.reader.firmwareImage().has_value(); }));
    EXPECT_EQ(readAll(out), image);
    EXPECT_EQ(headersOf(rig, 3), 2);  // rejected once, sent again from its header
    EXPECT_EQ(headersOf(rig, 4), 1);
    EXPECT_TRUE(texts().empty());
    EXPECT_TRUE(receiveArea(dlg).endsWith(QStringLiteral("文件传输中，请稍后...\n文件传输完成。\n")))
        << receiveArea(dlg).toStdString();
    EXPECT_EQ(progress->maximum(), 6);
    EXPECT_EQ(progress->value(), 0);
    EXPECT_FALSE(fwtest::HoldsFile(file_));
}

TEST_F(UsbTransfer, SilentReaderEndsTheTransferWithAMessage) {
    rig.reader.injectUpdateFault(fault(vazsim::UpdateFault::Kind::Silent, 2));
    CUpdateOnlineUsbDlg dlg(true);
    prepare(dlg, fwtest::RandomBytes(5000, 22));
    send(dlg);
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_EQ(texts()[0], QStringLiteral("下位机没有应答，文件传输已中止，请重新发送'IAP/'命令!"));
    EXPECT_EQ(dlg.findChild<QProgressBar*>("1019")->value(), 0);
    EXPECT_FALSE(fwtest::HoldsFile(file_));
    EXPECT_FALSE(rig.reader.firmwareImage());
    EXPECT_TRUE(dlg.deviceConnected());  // a silent reader is still there
}

TEST_F(UsbTransfer, SecondStartWhileOneRunsIsRefused) {
    CUpdateOnlineUsbDlg dlg(true);
    prepare(dlg, fwtest::RandomBytes(40 * 1024, 23));
    click(dlg, "1017");
    click(dlg, "1017");
    ASSERT_TRUE(waitUntil([&] { return !dlg.sending(); }));
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_EQ(texts()[0], QStringLiteral("正在发送中，请稍后！"));
    EXPECT_TRUE(waitUntil([&] { return rig.reader.firmwareImage().has_value(); }));
}

TEST_F(UsbTransfer, ReaderNotInUpdateModeIsNotReady) {
    CUpdateOnlineUsbDlg dlg(true);
    ASSERT_TRUE(openFirstReader(dlg));
    file_ = fwtest::WriteFile("firmware.bin", fwtest::RandomBytes(2048, 24));
    dlg.chooseFirmwareFile(QString::fromStdString(file_));
    send(dlg);
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_EQ(texts()[0], QStringLiteral("下位机还未准备好，请重新发送'IAP/'命令!"));
    EXPECT_FALSE(fwtest::HoldsFile(file_));
}

TEST_F(UsbTransfer, ClosingTheDialogEndsTheTransferFirst) {
    auto dlg = std::make_unique<CUpdateOnlineUsbDlg>(true);
    prepare(*dlg, fwtest::RandomBytes(200 * 1024, 25));
    click(*dlg, "1017");
    ASSERT_TRUE(waitUntil([&] { return dlg->findChild<QProgressBar*>("1019")->value() >= 2; }));
    dlg->reject();
    EXPECT_FALSE(dlg->sending());
    EXPECT_FALSE(fwtest::HoldsFile(file_));
    dlg.reset();
    EXPECT_FALSE(rig.reader.firmwareImage());  // never declared complete
}

}  // namespace
