// The dispatcher behind VazS and the reply fetch behind VazG, branch by
// branch, and the small settings exports that go through it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "vaz_link_fixture.h"

using namespace vaztest;
using vazsim::Fault;

namespace {

double SecondsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

using Dispatch = ConnectedLink;
INSTANTIATE_TEST_SUITE_P(Links, Dispatch, BothLinks(), LinkName);

TEST_P(Dispatch, DashCommandResetsTheErrorAfterwards) {
    Fault f;
    f.kind = Fault::Kind::Code;
    f.code = "06";
    reader().injectFault("-", f);
    EXPECT_EQ(Vaz().VazS("-9/"), 0);
    char buf[8] = {};
    EXPECT_EQ(Vaz().VazG(buf), 0);  // no error pending, nothing pending
    EXPECT_EQ(ErrorCode(), "00");
    EXPECT_EQ(Vaz().VazS("-9/"), 1);
}

TEST_P(Dispatch, WordAndByteReadsWaitForVazG) {
    EXPECT_EQ(Vaz().VazS("I 1/"), 1);
    char buf[8];
    memset(buf, 0x55, sizeof buf);
    EXPECT_EQ(Vaz().VazG(buf), 1);  // 2 bytes, no terminator added
    EXPECT_EQ(buf[2], 0x55);
    EXPECT_EQ(Vaz().VazS("I 3/"), 1);
    EXPECT_EQ(Vaz().VazG(buf), 1);  // 1 byte and a zero
    EXPECT_EQ(buf[1], 0);
    EXPECT_EQ(Vaz().VazG(buf), 0);
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);  // every element was read
}

TEST_P(Dispatch, RefusedI5KeepsTheReadersCode) {
    Fault f;
    f.kind = Fault::Kind::Code;
    f.code = "06";
    reader().injectFault("I 5", f);
    EXPECT_EQ(Vaz().VazS("I 5 1 2/"), 0);
    // No second status was waited for: no time-out's "18", no USB recovery.
    EXPECT_EQ(ErrorCode(), "06");
    EXPECT_EQ(commands(), (std::vector<std::string>{"I 5 01 02/"}));
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);
}

TEST_P(Dispatch, RefusedWordAndByteReadsLeaveNothingForVazG) {
    for (const char* command : {"I 1/", "I 3/"}) {
        Fault f;
        f.kind = Fault::Kind::Code;
        f.code = "06";
        reader().injectFault("I ", f);
        EXPECT_EQ(Vaz().VazS(command), 0) << command;
        char buf[8] = {};
        EXPECT_EQ(Vaz().VazG(buf), 255) << command;  // the code first
        EXPECT_STREQ(buf, "06");
        EXPECT_EQ(Vaz().VazG(buf), 0) << command;  // then nothing: no wait for data that never comes
        EXPECT_EQ(ErrorCode(), "06") << command;
    }
}

TEST_P(Dispatch, I5CommaBecomesBlank) {
    EXPECT_EQ(Vaz().VazS("I 5 03,04/"), 1);
    EXPECT_EQ(commands().back(), "I 5 03 04/");
    EXPECT_EQ(Vaz().VazS("I 5 7,12/"), 1);
    EXPECT_EQ(commands().back(), "I 5 07 12/");
}

TEST_P(Dispatch, X0WithLongDigitRunsIsSentAsWritten) {
    const char* command = "X 0 NO 000123 SC 45678/";
    EXPECT_EQ(Vaz().VazS(command), 1);
    EXPECT_EQ(commands().back(), command);
    EXPECT_EQ(reader().printSettings(), "NO 000123 SC 45678");
}

TEST_P(Dispatch, X1IsSentAsTheLiteral) {
    EXPECT_EQ(Vaz().VazS("X 1 00042 7/"), 1);
    EXPECT_EQ(commands().back(), "X 1/");
}

TEST_P(Dispatch, X2DataIsHandedOutOnce) {
    ASSERT_EQ(Vaz().VazS("X 0 AB 12 CD 3/"), 1);
    EXPECT_EQ(Vaz().VazS("X 2/"), 1);
    char buf[128];
    memset(buf, 0x55, sizeof buf);
    EXPECT_EQ(Vaz().VazG(buf), 10);
    EXPECT_STREQ(buf, "AB 12 CD 3");
    EXPECT_EQ(Vaz().VazG(buf), 0);
}

TEST_P(Dispatch, XWithoutDigitsIsNotSent) {
    EXPECT_EQ(Vaz().VazS("X/"), 0);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(Vaz().VazS("X 5/"), 1);  // another first number: an ordinary command
    EXPECT_EQ(commands().back(), "X 5/");
    EXPECT_EQ(Vaz().VazS("X 12/"), 1);  // no single digit first: an ordinary command
    EXPECT_EQ(commands().back(), "X 12/");
}

TEST_P(Dispatch, ReadCommandsAreDeferredToVazG) {
    EXPECT_EQ(Vaz().VazS("r A/"), 255);
    EXPECT_TRUE(commands().empty());  // nothing was transferred
    char buf[16] = {};
    EXPECT_EQ(Vaz().VazG(buf), 4);  // the stored command goes out now
    EXPECT_EQ(commands(), std::vector<std::string>{"r A/"});
    EXPECT_STREQ(buf, "0000");
    EXPECT_EQ(Vaz().VazS("r A 0001 2048/"), 255);
    EXPECT_EQ(commands().size(), 1u);
}

TEST_P(Dispatch, DigitCommandIsSentAndSetsTheBlockRead) {
    EXPECT_EQ(Vaz().VazS("1 2/"), 1);
    EXPECT_EQ(commands().back(), "1 2/");
}

TEST_P(Dispatch, TCommandReadsNoReply) {
    int expected = GetParam() == Sim::kHid ? 0 : 1;  // the transfer result
    EXPECT_EQ(Vaz().VazS("T 020/"), expected);
    EXPECT_TRUE(WaitForCommand(reader(), "T 020/"));
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);
}

TEST_P(Dispatch, CalibrationAndMotorWaitForTheSecondStatus) {
    for (const char* command : {"J 05/", "J/", "m 05 06/", "M 3/"}) {
        auto t0 = std::chrono::steady_clock::now();
        EXPECT_EQ(Vaz().VazS(command), 1) << command;
        EXPECT_GE(SecondsSince(t0), 0.39) << command;
    }
    char buf[8] = {};
    EXPECT_EQ(Vaz().VazG(buf), 0);  // after "EN" nothing is pending
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Vaz().VazS("M 9/"), 0);  // refused: no wait, no second status
    EXPECT_LT(SecondsSince(t0), 0.39);
    EXPECT_EQ(Vaz().VazG(buf), 255);
    EXPECT_STREQ(buf, "06");
}

TEST_P(Dispatch, SettingsExports) {
    EXPECT_TRUE(Vaz().VazPotentiometerUP(1));
    EXPECT_TRUE(Vaz().VazPotentiometerUP(0));
    EXPECT_TRUE(Vaz().VazBackUp());
    EXPECT_TRUE(Vaz().VazReset());
    EXPECT_EQ(Vaz().VazSetPaint(1), 1);
    EXPECT_EQ(Vaz().VazSetPaint(0), 1);
    std::vector<std::string> expected = {"K 1/", "K 0/", "H/", "Y/", "X 0 0 0 0 3/", "X 0 0 0 0 0/"};
    EXPECT_EQ(commands(), expected);
    Fault f;
    f.kind = Fault::Kind::Code;
    f.code = "06";
    reader().injectFault("L", f);
    EXPECT_EQ(Vaz().VazSetReadMode(2), -1);
    EXPECT_EQ(Vaz().VazGetReadMode(), 0);
    EXPECT_EQ(Vaz().VazSetReadMode(7), 0);  // accepted: "L 0/", behaves like mode 1
    EXPECT_EQ(commands().back(), "L 0/");
    EXPECT_EQ(Vaz().VazGetReadMode(), 7);
}

TEST_P(Dispatch, LeavingPrintModeSendsTheTwoExitPieces) {
    ASSERT_TRUE(Vaz().VazSetPrintMode(1));
    reader().clearTrace();
    EXPECT_TRUE(Vaz().VazSetPrintMode(0));
    EXPECT_FALSE(reader().inPrintMode());
    EXPECT_FALSE(Vaz().VazSetPrintMode(0));
    // The pieces on the wire: 0x0A 0x04 0x04, then 0x18 0x04; the reader takes
    // the first as one piece and answers each piece once.
    std::string expected("\x0A\x04\x04\x18\x04");
    std::string wire;
    for (const auto& entry : reader().trace()) {
        if (entry.direction != vazsim::Direction::HostToReader) continue;
        std::string bytes = entry.link == vazsim::Link::Hid ? entry.bytes.substr(1) : entry.bytes;
        if (entry.link == vazsim::Link::Hid) bytes.erase(bytes.find_last_not_of('\0') + 1);
        wire += bytes;
    }
    EXPECT_EQ(wire, expected);
    EXPECT_EQ(commands(), (std::vector<std::string>{"\n\x04", "\x18\x04"}));
}

}  // namespace
