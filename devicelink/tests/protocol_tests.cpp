// The transfer layer and exchange on both links: USB report framing, serial
// purge, the no-card retry and its two ends, garbled replies with the USB
// recovery, a vanished device, the error texts, print pieces.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "vaz_link_fixture.h"

using namespace vaztest;
using vazsim::Direction;
using vazsim::Fault;

namespace {

double SecondsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

int CountCommand(const vazsim::VirtualReader& r, const std::string& c) {
    int n = 0;
    for (const auto& x : r.commands()) n += x == c;
    return n;
}

std::string Report(const std::string& payload) {
    std::string r(65, '\0');
    r.replace(1, payload.size(), payload);
    return r;
}

// Both links, one connected reader per test.
using Link = ConnectedLink;
INSTANTIATE_TEST_SUITE_P(Links, Link, BothLinks(), LinkName);

TEST_P(Link, ErrorTextsOfEveryCode) {
    // clang-format off
    const char* texts[24] = {"No error", "No format", "Data overflow", "Double sheet", "Format sign error",
                             "Detecting dots and line error", "Command parameter error",
                             "Paperboard or synchronous signal error", "Offline",
                             "synchronous route's counting number out of range", "Communication error",
                             "A and B matching error", "Data overflow", "Format sign error", "Lost Data",
                             "Detecting dots and line error", "No sheet", "Paperboard or synchronous signal error",
                             "Communication error", "synchronous route's counting number out of range",
                             "Position of electronic eyes", "The gray level is invalid",
                             "Please load the scoring criteria, or close to print.",
                             "Need to put into the machine to read card"};
    // clang-format on
    for (int code = 1; code < 24; ++code) {
        char dd[3];
        snprintf(dd, sizeof dd, "%02d", code);
        Fault f;
        f.kind = Fault::Kind::Code;
        f.code = dd;
        reader().injectFault("K", f);
        EXPECT_EQ(Vaz().VazS("K 1/"), 0);
        EXPECT_EQ(ErrorText(), texts[code]) << dd;
        EXPECT_EQ(ErrorCode(), dd);
    }
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);
    EXPECT_EQ(ErrorCode(), "00");
    EXPECT_EQ(ErrorText(), "No error");

    Fault no;
    reader().injectFault("K", no);
    EXPECT_EQ(Vaz().VazS("K 1/"), 0);
    EXPECT_EQ(ErrorText(), "Need to put into the machine to read card");
    EXPECT_EQ(ErrorCode(), "23");
}

TEST_P(Link, UndefinedCodeKeepsThePendingMark) {
    Fault f;
    f.kind = Fault::Kind::Code;
    f.code = "31";
    reader().injectFault("K", f);
    EXPECT_EQ(Vaz().VazS("K 1/"), 0);
    EXPECT_EQ(ErrorText(), "\xce\xb4\xb6\xa8\xd2\xe5\xb5\xc4\xb4\xed\xce\xf3");  // GBK "未定义的错误"
    char buf[16] = {};
    EXPECT_EQ(Vaz().VazG(buf), 255);  // still pending
    EXPECT_STREQ(buf, "31");
    EXPECT_EQ(Vaz().VazG(buf), 0);  // cleared, nothing else pending
}

TEST_P(Link, GarbledStatusIsCode18AndRecoversOnUsb) {
    SetTiming(400, 600);
    Fault f;
    f.kind = Fault::Kind::Garbled;  // "E" and a zero byte
    reader().injectFault("K", f);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Vaz().VazS("K 1/"), 0);
    double s = SecondsSince(t0);
    EXPECT_EQ(ErrorCode(), "18");
    EXPECT_EQ(ErrorText(), "Communication error");
    if (usb())
        EXPECT_GE(s, 0.39);  // closed, paused, reopened
    else
        EXPECT_LT(s, 0.39);            // no recovery on the serial link
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);  // the link works (again)
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(Link, NoCardIsNotRetriedInReadMode0) {
    Fault f;
    f.times = -1;
    reader().injectFault("K", f);
    EXPECT_EQ(Vaz().VazS("K 1/"), 0);
    EXPECT_EQ(CountCommand(reader(), "K 1/"), 1);
    EXPECT_EQ(ErrorCode(), "23");
    reader().clearFaults();
    reader().injectFault("R", f);
    EXPECT_EQ(Vaz().VazS("R/"), 0);
    EXPECT_EQ(CountCommand(reader(), "R/"), 1);
}

TEST_P(Link, NoCardRetriedUntilTheLimitInReadMode1) {
    ASSERT_EQ(Vaz().VazSetReadMode(1), 0);
    SetTiming(100, 500);
    Fault f;
    f.times = -1;
    reader().injectFault("K", f);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Vaz().VazS("K 1/"), 0);
    double s = SecondsSince(t0);
    EXPECT_GE(s, 0.5);
    EXPECT_LT(s, 5.0);
    EXPECT_GT(CountCommand(reader(), "K 1/"), 1);
    EXPECT_EQ(ErrorCode(), "23");
}

TEST_P(Link, ReadModeTwoRetriesOnlyReadCommands) {
    EXPECT_EQ(Vaz().VazSetReadMode(2), 0);
    EXPECT_EQ(Vaz().VazSetReadMode(2), 2);
    EXPECT_EQ(Vaz().VazGetReadMode(), 2);
    Fault f;
    f.times = -1;
    reader().injectFault("K", f);
    EXPECT_EQ(Vaz().VazS("K 1/"), 0);
    EXPECT_EQ(CountCommand(reader(), "K 1/"), 1);
}

TEST_P(Link, ReadRetryEndedByStopFromAnotherThread) {
    ASSERT_EQ(Vaz().VazSetReadMode(1), 0);
    reader().setSecondStatusAfterRead(false);
    SetTiming(100, 200);  // the limit does not apply to "R"
    Fault f;
    f.times = -1;
    reader().injectFault("R", f);
    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        Vaz().VazSetStop();
    });
    auto t0 = std::chrono::steady_clock::now();
    int r = Vaz().VazS("R/");
    double s = SecondsSince(t0);
    stopper.join();
    EXPECT_EQ(r, 0);
    EXPECT_GE(s, 0.6);
    EXPECT_GT(CountCommand(reader(), "R/"), 2);
}

TEST_P(Link, NoCardUntilACardArrives) {
    // A format so that the reader reads cards: the download framing by hand.
    char buf[8] = {};
    Vaz().VazSG("S a.txt/", buf);
    Vaz().VazSG("EN/", buf);
    ASSERT_TRUE(reader().hasFormat());
    ASSERT_EQ(Vaz().VazSetReadMode(2), 0);
    Fault f;
    f.untilCard = true;
    reader().injectFault("R", f);
    std::thread feeder([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        reader().addCard(vazsim::blankSheet());
    });
    int r = Vaz().VazS("R/");
    feeder.join();
    EXPECT_EQ(r, 1);
    EXPECT_GT(CountCommand(reader(), "R/"), 1);
}

TEST_P(Link, ReadCommandsInEachReadMode) {
    char buf[8] = {};
    Vaz().VazSG("S a.txt/", buf);
    Vaz().VazSG("EN/", buf);
    for (int i = 0; i < 6; ++i) reader().addCard(vazsim::blankSheet());
    // Read mode 0: a second status ends the read.
    EXPECT_EQ(Vaz().VazS("R/"), 1);
    EXPECT_EQ(Vaz().VazS("/"), 1);
    vazsim::Sheet bad = vazsim::blankSheet();
    bad.fault = "03";
    reader().clearHopper();
    reader().addCard(bad);
    EXPECT_EQ(Vaz().VazS("R/"), 0);  // "EN" then "03"
    EXPECT_EQ(ErrorCode(), "03");
    // Read modes 1 and 2: one status.
    for (int mode : {1, 2}) {
        Vaz().VazSetReadMode(mode);
        reader().setSecondStatusAfterRead(false);
        reader().addCard(vazsim::blankSheet());
        EXPECT_EQ(Vaz().VazS("R/"), 1) << mode;
        EXPECT_EQ(Vaz().VazS("K 1/"), 1) << "no element left over in mode " << mode;
    }
}

TEST_P(Link, ReaderErrorOfReadWaitsForVazG) {
    Fault f;
    f.kind = Fault::Kind::Code;
    f.code = "05";
    reader().injectFault("R", f);
    EXPECT_EQ(Vaz().VazS("R/"), 0);
    char buf[8] = {};
    EXPECT_EQ(Vaz().VazG(buf), 255);
    EXPECT_STREQ(buf, "05");
    EXPECT_EQ(ErrorCode(), "05");  // the code stays after it was read
}

TEST_P(Link, PrintPiecesFiftyMillisecondsApart) {
    EXPECT_TRUE(Vaz().VazSetPrintMode(1));
    EXPECT_FALSE(Vaz().VazSetPrintMode(1));  // already on: nothing is sent
    auto commands = reader().commands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], "t/");
    EXPECT_EQ(commands[1], std::string("\x1B\x63\x00\x04", 4));
    reader().clearTrace();
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Vaz().VazS("ABCDEF"), 6);
    EXPECT_GE(SecondsSince(t0), 0.09);  // a pause after each of the two pieces
    commands = reader().commands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], "ABCD\x04");
    EXPECT_EQ(commands[1], "EF\x04");
    // Any text, whatever its first character, goes in pieces.
    EXPECT_EQ(Vaz().VazS("R/"), 2);
}

TEST_P(Link, TransfersWithoutStatusWhileLinkIsGone) {
    SetTiming(50, 200);
    sim_.reset();  // the reader vanishes
    EXPECT_EQ(Vaz().VazS("K 1/"), 0);
    EXPECT_EQ(ErrorCode(), "18");
    EXPECT_EQ(Vaz().VazS("K 1/"), 0);  // still no crash, still failing
}

TEST_P(Link, ReaderThatReadsLateStillGetsTheStepCommandBeforeTheReset) {
    reader().setInputDelay(300);
    EXPECT_EQ(Vaz().VazS("T 020/"), usb() ? 0 : 1);
    // The technician's next click comes while the reader has not read the
    // step command yet.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(Vaz().VazReset());
    EXPECT_EQ(commands(), (std::vector<std::string>{"T 020/", "Y/"}));
    EXPECT_EQ(ErrorCode(), "00");
}

TEST_P(Link, CounterBytesArriveWholeWhateverZerosTheyHold) {
    for (uint32_t counter : {256u, 65536u, 65537u}) {
        reader().setCardCounter(counter);
        char buf[16];
        memset(buf, 0x55, sizeof buf);
        ASSERT_EQ(Vaz().VazSG("N/", buf), 4) << counter;
        const unsigned char expected[5] = {static_cast<unsigned char>(counter), static_cast<unsigned char>(counter >> 8),
                                           static_cast<unsigned char>(counter >> 16),
                                           static_cast<unsigned char>(counter >> 24), 0};
        EXPECT_EQ(memcmp(buf, expected, 5), 0) << counter;
        char text[VAZ_DEV_INFO_SIZE] = {};
        EXPECT_TRUE(Vaz().VazGetDevInfo(VAZ_DEV_INFO_COUNTER, text));
        EXPECT_EQ(std::string(text), std::to_string(counter));
    }
}

TEST_P(Link, StepCommandToAVanishedReaderIsTheDocumentedFailure) {
    SetTiming(50, 200);
    sim_.reset();
    EXPECT_EQ(Vaz().VazS("T 020/"), -1);
    EXPECT_EQ(Vaz().VazS("T 020/"), -1);
}

// ---- USB only ----------------------------------------------------------------

class Usb : public Link {};
INSTANTIATE_TEST_SUITE_P(Hid, Usb, ::testing::Values(int(Sim::kHid)));

TEST_P(Usb, ShortCommandIsOneZeroPaddedReport) {
    ASSERT_EQ(Vaz().VazSetReadMode(2), 0);  // "L 1/"
    auto reports = reader().hidReports(Direction::HostToReader);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], Report("L 1/"));
    reports = reader().hidReports(Direction::ReaderToHost);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], Report("EN"));
}

TEST_P(Usb, LongCommandIsCutIntoReportsOf64) {
    std::string command = "Z " + std::string(127, 'a') + "/";  // 130 bytes
    ASSERT_EQ(command.size(), 130u);
    EXPECT_EQ(Vaz().VazS(command.c_str()), 1);
    auto reports = reader().hidReports(Direction::HostToReader);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0], Report(command.substr(0, 64)));
    EXPECT_EQ(reports[1], Report(command.substr(64, 64)));
    EXPECT_EQ(reports[2], Report(command.substr(128, 2)));
    EXPECT_EQ(reader().commands().back(), command);
}

TEST_P(Usb, VanishedDeviceWithFailedRecoveryReportsInvalidHandle) {
    SetTiming(50, 200);
    sim_.reset();
    EXPECT_EQ(Vaz().VazS("K 1/"), 0);  // gone: garbled status, recovery finds nothing
    ClearBoxes();
    EXPECT_EQ(Vaz().VazS("K 1/"), 0);
    EXPECT_EQ(CountBoxes("the handle of device is invalidate"), 1);
    EXPECT_EQ(CountBoxes("the handle of device is invalide\r\n"), 1);
    EXPECT_EQ(Boxes()[0].caption, "Vaz");
}

// ---- serial only -----------------------------------------------------------------

class Serial : public Link {};
INSTANTIATE_TEST_SUITE_P(Pty, Serial, ::testing::Values(int(Sim::kSerial)));

TEST_P(Serial, StaleBytesArePurgedBeforeEachCommand) {
    Fault f;
    f.kind = Fault::Kind::Stale;
    f.bytes = "99";
    reader().injectFault("T", f);  // "T" reads no reply: the "99" stays unread
    EXPECT_EQ(Vaz().VazS("T 020/"), 1);
    ASSERT_TRUE(WaitForCommand(reader(), "T 020/"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);
    EXPECT_EQ(ErrorCode(), "00");
}

TEST_P(Serial, BytesOfAStreamArriveUnchanged) {
    // Every byte that a cooked terminal would translate, inside one command.
    std::string command = "Z \x0D\x0A\x11\x13\x7F\x03\x1C/";
    EXPECT_EQ(Vaz().VazS(command.c_str()), 1);
    EXPECT_EQ(reader().commands().back(), command);
    EXPECT_EQ(reader().serialBytes(Direction::HostToReader), command);
}

}  // namespace
