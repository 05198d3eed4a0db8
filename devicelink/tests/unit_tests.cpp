// Units of the library linked from its objects: the pure protocol helpers,
// the USB report arithmetic against a bare socket, the serial port's
// time-outs against a bare pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "link_devices.h"
#include "vaz_device.h"

namespace {

TEST(Helpers, ExtractNumbers) {
    int n[5] = {};
    EXPECT_EQ(vazproto::ExtractNumbers("r A 0001 2048/", n, 2, 5), 2);
    EXPECT_EQ(n[0], 1);
    EXPECT_EQ(n[1], 2048);
    EXPECT_EQ(vazproto::ExtractNumbers("I 5 03,04/", n, 5, 5), 3);
    EXPECT_EQ(n[1], 3);
    EXPECT_EQ(n[2], 4);
    EXPECT_EQ(vazproto::ExtractNumbers("R/", n, 5, 5), 0);
    int m[2] = {-7, -7};
    EXPECT_EQ(vazproto::ExtractNumbers("1 2 3 4/", m, 2, 5), 4);  // counted beyond the room
    EXPECT_EQ(m[1], 2);
    int x[1] = {-7};
    EXPECT_EQ(vazproto::ExtractNumbers("X 0 123/", x, 1, 1), -1);  // stored before the long run
    EXPECT_EQ(x[0], 0);
    EXPECT_EQ(vazproto::ExtractNumbers("f 123456/", n, 5, 5), -1);
}

TEST(Helpers, DeviceTypeTable) {
    EXPECT_EQ(vazproto::DeviceTypeFromIdentification("R6KTM V1"), 0x11);
    EXPECT_EQ(vazproto::DeviceTypeFromIdentification("AR6KTM"), 0x51);
    EXPECT_EQ(vazproto::DeviceTypeFromIdentification("w82"), 0x25);
    EXPECT_EQ(vazproto::DeviceTypeFromIdentification("J12"), 9);
    EXPECT_EQ(vazproto::DeviceTypeFromIdentification("J3"), 9);
    EXPECT_EQ(vazproto::DeviceTypeFromIdentification("R6KT"), 9);  // five characters compared
    EXPECT_EQ(vazproto::DeviceTypeFromIdentification(""), 9);
    EXPECT_EQ(vazproto::DeviceTypeFromIdentification("A"), 0x49);
}

TEST(Helpers, UsbChunkArithmetic) {
    EXPECT_EQ(vazproto::UsbSendChunks(4), std::vector<int>({4}));
    EXPECT_EQ(vazproto::UsbSendChunks(64), std::vector<int>({64}));
    EXPECT_EQ(vazproto::UsbSendChunks(130), std::vector<int>({64, 64, 2}));
    EXPECT_TRUE(vazproto::UsbSendChunks(0).empty());
    EXPECT_EQ(vazproto::UsbReceiveReports(2), 1);
    EXPECT_EQ(vazproto::UsbReceiveReports(0), 1);
    EXPECT_EQ(vazproto::UsbReceiveReports(100), 2);
    EXPECT_EQ(vazproto::UsbReceiveReports(129), 3);
}

TEST(Helpers, LengthField) {
    EXPECT_EQ(vazproto::ParseLengthField("0120"), 120);
    EXPECT_EQ(vazproto::ParseLengthField("9999"), 9999);
    EXPECT_EQ(vazproto::ParseLengthField("EN\0\0"), -1);
    EXPECT_EQ(vazproto::ParseLengthField("12 4"), -1);
}

TEST(Helpers, ErrorState) {
    VazError e;
    char buf[64];
    e.CopyText(buf);
    EXPECT_STREQ(buf, "No error");
    e.SetCode("23");
    EXPECT_TRUE(e.IsPending());
    e.CopyText(buf);
    EXPECT_STREQ(buf, "Need to put into the machine to read card");
    EXPECT_FALSE(e.IsPending());
    e.SetCode("99");
    e.CopyText(buf);
    EXPECT_STREQ(buf, vazstr::kUndefinedError);
    EXPECT_TRUE(e.IsPending());
    e.CopyCode(buf);
    EXPECT_STREQ(buf, "99");
    EXPECT_FALSE(e.IsPending());
}

// A bare virtual HID device: accepts one connection and sends the given datagrams.
class BareHidDevice {
public:
    explicit BareHidDevice(std::vector<std::string> reports) {
        char tmpl[] = "/tmp/vazunit.XXXXXX";
        dir_ = mkdtemp(tmpl);
        path_ = dir_ + "/hid.sock";
        listener_ = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        strcpy(a.sun_path, path_.c_str());
        EXPECT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        EXPECT_EQ(listen(listener_, 1), 0);
        thread_ = std::thread([this, reports] {
            int c = accept(listener_, nullptr, nullptr);
            if (c < 0) return;
            for (const auto& r : reports) send(c, r.data(), r.size(), MSG_NOSIGNAL);
            char buf[128];
            while (recv(c, buf, sizeof buf, 0) > 0) {
            }
            close(c);
        });
    }
    ~BareHidDevice() {
        shutdown(listener_, SHUT_RDWR);
        thread_.join();
        close(listener_);
        unlink(path_.c_str());
        rmdir(dir_.c_str());
    }
    std::string path() const { return path_; }

private:
    std::string dir_, path_;
    int listener_ = -1;
    std::thread thread_;
};

std::string Report(char fill) {
    std::string r(65, fill);
    r[0] = 0;
    return r;
}

TEST(UsbReports, HundredByteReceiveReadsTwoReportsAndStopsAtHundred) {
    BareHidDevice dev({Report('a'), Report('b')});
    setenv("VAZ_HID_DEVICES", dev.path().c_str(), 1);
    CHidDevice hid;
    ASSERT_TRUE(hid.Open());
    unsigned char dest[130];
    memset(dest, 0x55, sizeof dest);
    EXPECT_EQ(hid.Receive(dest, 100), 65);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dest), 64), std::string(64, 'a'));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dest) + 64, 36), std::string(36, 'b'));
    EXPECT_EQ(dest[100], 0);
    for (int i = 101; i < 130; ++i) ASSERT_EQ(dest[i], 0x55) << i;  // nothing past the element
    hid.CloseHandle();
}

TEST(UsbReports, TwoByteReceiveKeepsTheFirstTwoPayloadBytes) {
    std::string r = Report(0);
    r.replace(1, 5, "EN123");
    BareHidDevice dev({r});
    setenv("VAZ_HID_DEVICES", dev.path().c_str(), 1);
    CHidDevice hid;
    ASSERT_TRUE(hid.Open());
    unsigned char dest[8];
    memset(dest, 0x55, sizeof dest);
    EXPECT_EQ(hid.Receive(dest, 2), 65);
    EXPECT_EQ(memcmp(dest, "EN\0", 3), 0);
    EXPECT_EQ(dest[3], 0x55);
    hid.CloseHandle();
}

TEST(UsbReports, SilentDeviceDeliversZerosAfterTheWait) {
    BareHidDevice dev({});
    setenv("VAZ_HID_DEVICES", dev.path().c_str(), 1);
    CHidDevice hid;
    ASSERT_TRUE(hid.Open());
    unsigned char dest[4] = {1, 1, 1, 1};
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(hid.ReadReport(dest, 2), 65);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1900));
    EXPECT_EQ(dest[0], 0);
    EXPECT_EQ(dest[1], 0);
    hid.CloseHandle();
}

TEST(UsbReports, ReceiveOfManyReportsEndsAtTheFirstThatDoesNotCome) {
    // Two of the 33 reports of a 2049-byte element come, then nothing.
    BareHidDevice dev({Report('a'), Report('b')});
    setenv("VAZ_HID_DEVICES", dev.path().c_str(), 1);
    CHidDevice hid;
    ASSERT_TRUE(hid.Open());
    std::vector<unsigned char> dest(2050, 0x55);
    hid.Receive(dest.data(), 2049);
    EXPECT_TRUE(hid.lastReceiveSilent());
    EXPECT_EQ(dest[0], 'a');
    EXPECT_EQ(dest[127], 'b');
    EXPECT_EQ(std::count(dest.begin() + 128, dest.end(), 0), 2050 - 128);  // the rest zero, the terminator too
    hid.CloseHandle();
}

TEST(UsbReports, OtherProductIsSkipped) {
    BareHidDevice dev({});
    std::string entry = dev.path() + ",pid=2002";
    setenv("VAZ_HID_DEVICES", entry.c_str(), 1);
    CHidDevice hid;
    EXPECT_FALSE(hid.Open());
}

TEST(SerialPort, FourByteReceiveOfWhichTwoArrive) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    setenv("VAZ_SERIAL_PORTS", ptsname(master), 1);
    CSerialPort port;
    ASSERT_TRUE(port.Open(1));
    ASSERT_EQ(write(master, "EN", 2), 2);
    unsigned char dest[5];
    memset(dest, 0, sizeof dest);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Read(dest, 4), 2);
    auto waited = std::chrono::steady_clock::now() - t0;
    EXPECT_GE(waited, std::chrono::milliseconds(900));  // the interval time-out after the last byte
    EXPECT_LT(waited, std::chrono::milliseconds(4000));
    EXPECT_EQ(memcmp(dest, "EN\0\0", 4), 0);
    // Stale input is purged before a write.
    ASSERT_EQ(write(master, "99", 2), 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    port.writeBuffer.assign({'K', '/'});
    port.bytesToWrite = 2;
    port.Write();
    ASSERT_EQ(write(master, "EN", 2), 2);
    memset(dest, 0, sizeof dest);
    EXPECT_EQ(port.Read(dest, 2), 2);
    EXPECT_EQ(memcmp(dest, "EN", 2), 0);
    close(master);
    unsetenv("VAZ_SERIAL_PORTS");
}

}  // namespace
