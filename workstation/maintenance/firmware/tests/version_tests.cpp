// Discovery, the version write and read, and the console's command against
// the virtual reader.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <chrono>
#include <mutex>
#include <thread>

#include "firmware_rig.h"
#include "update_texts.h"
#include "version_commands.h"

using firmware::CommandResult;
using namespace fwtest;

TEST(Discovery, OnlyTheReadersIdsCount) {
    setenv("VAZ_HID_DEVICES", (TempPath("a.sock") + ",pid=2002;" + TempPath("b.sock") + ",vid=6817").c_str(),
           1);
    EXPECT_TRUE(firmware::FindReaders().empty());
    // A socket bound but not listening: there, yet nobody answers.
    const std::string bound = TempPath("c.sock");
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", bound.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    setenv("VAZ_HID_DEVICES",
           (TempPath("absent.sock") + ";" + bound + ",release=0203,product=VAZ Reader").c_str(), 1);
    const std::vector<firmware::HidDeviceInfo> found = firmware::FindReaders();
    ASSERT_EQ(found.size(), 1u);  // a reader whose socket is not there is not present
    EXPECT_TRUE(found[0].isVirtual);
    EXPECT_EQ(found[0].vendor, 0x6816);
    EXPECT_EQ(found[0].product, 0x2001);
    EXPECT_EQ(found[0].release, 0x0203);
    EXPECT_EQ(found[0].productText, "VAZ Reader");
    int error = 0;
    EXPECT_FALSE(firmware::UsbLink::Open(found[0], &error));  // nobody listens there
    EXPECT_NE(error, 0);
    close(fd);
}

TEST(Version, WriteThenRead) {
    Rig rig;
    EXPECT_EQ(firmware::WriteVersion(rig.link.get(), u"R6KTM20240001"), CommandResult::Done);
    EXPECT_EQ(rig.reader.model(), "R6KTM20240001");
    std::string version;
    EXPECT_EQ(firmware::ReadVersion(rig.link.get(), &version), CommandResult::Done);
    EXPECT_EQ(version, "R6KTM20240001");  // without the reader's final "/"
    EXPECT_EQ(firmware::texts::WriteVersionMessage(CommandResult::Done), "版本号写入成功!");
}

TEST(Version, TextsThatAreNotSent) {
    Rig rig;
    EXPECT_EQ(firmware::WriteVersion(rig.link.get(), u"A/B"), CommandResult::BadText);
    EXPECT_EQ(firmware::WriteVersion(rig.link.get(), u"版本1"), CommandResult::BadText);
    // "V " + 62 characters + "/" is one byte more than a report carries.
    EXPECT_EQ(firmware::WriteVersion(rig.link.get(), std::u16string(62, u'7')), CommandResult::TooLong);
    EXPECT_TRUE(rig.reader.hidReports(vazsim::Direction::HostToReader).empty());
    // Characters up to 0xFF travel as their own byte.
    EXPECT_EQ(firmware::EightBitText(u"\u00e9A"), std::string("\xE9"
                                                              "A"));
    EXPECT_EQ(firmware::WriteVersion(nullptr, u"X"), CommandResult::NotOpen);
    EXPECT_EQ(firmware::texts::WriteVersionMessage(CommandResult::NotOpen), "该设备没有正确打开");
}

TEST(Version, RefusedOrUnansweredWithinTheBound) {
    Rig rig;
    // The reader refuses an empty version.
    EXPECT_EQ(firmware::WriteVersion(rig.link.get(), u""), CommandResult::NotConfirmed);
    EXPECT_EQ(firmware::texts::WriteVersionMessage(CommandResult::NotConfirmed), "版本号写入失败!");

    // A stray report ahead of the reply: the second report is then not "E...".
    vazsim::Fault stale;
    stale.kind = vazsim::Fault::Kind::Stale;
    stale.bytes = "XX";
    rig.reader.injectFault("v/", stale);
    std::string version = "unchanged";
    EXPECT_EQ(firmware::ReadVersion(rig.link.get(), &version), CommandResult::NotConfirmed);
    EXPECT_EQ(version, "unchanged");

    vazsim::Fault silent;
    silent.kind = vazsim::Fault::Kind::Silent;
    silent.times = -1;
    rig.reader.injectFault("v/", silent);
    rig.reader.injectFault("V ", silent);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(firmware::ReadVersion(rig.link.get(), &version), CommandResult::NoReply);
    EXPECT_EQ(firmware::WriteVersion(rig.link.get(), u"R6KTM1"), CommandResult::NoReply);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(took, 2 * firmware::kReplyTimeoutMs / 1000.0 + 1.0);
    EXPECT_EQ(firmware::texts::ReadVersionMessage(CommandResult::NoReply), "读取版本失败!");
}

TEST(Console, CommandsAndTheReceiveArea) {
    Rig rig;
    std::mutex mutex;
    std::vector<std::string> shown;
    rig.link->SetReportListener([&](const std::string& text) {
        std::lock_guard lock(mutex);
        shown.push_back(text);
    });
    EXPECT_EQ(firmware::SendConsoleCommand(rig.link.get(), u""), CommandResult::Empty);
    EXPECT_EQ(firmware::texts::ConsoleMessage(CommandResult::Empty), "请输入命令!");
    EXPECT_EQ(firmware::SendConsoleCommand(rig.link.get(), std::u16string(65, u'x')), CommandResult::TooLong);
    rig.link->ClearReplies();
    EXPECT_EQ(firmware::SendConsoleCommand(rig.link.get(), u"N/"), CommandResult::Done);
    EXPECT_TRUE(rig.link->NextReply(2000));
    EXPECT_EQ(rig.link->NextReply(2000), "EN");
    // The listener runs on the receive thread, just after the reply was queued.
    for (int i = 0; i < 100; ++i) {
        {
            std::lock_guard lock(mutex);
            if (shown.size() >= 2) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::lock_guard lock(mutex);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], std::string("\x10\x27"));  // the counter 10000, cut at its first zero byte as text is
    EXPECT_EQ(shown[1], "EN");
}

TEST(Console, UnpluggedReaderIsReportedOnce) {
    Rig rig;
    std::atomic<int> gone{0};
    rig.link->SetGoneListener([&] { ++gone; });
    rig.transport.reset();
    for (int i = 0; i < 100 && !rig.link->IsGone(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(rig.link->IsGone());
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(firmware::SendConsoleCommand(rig.link.get(), u"N/"), CommandResult::SendFailed);
    EXPECT_EQ(firmware::texts::ConsoleMessage(CommandResult::SendFailed), "命令发送失败，\n请重新发送！");
}
