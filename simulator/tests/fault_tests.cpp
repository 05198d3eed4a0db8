// Faults the reader plays instead of its normal answers.
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

using namespace simtest;
using vazsim::Fault;

namespace {

Fault fault(Fault::Kind kind, int times = 1) {
    Fault f;
    f.kind = kind;
    f.times = times;
    return f;
}

}  // namespace

using Faults = SerialTest;

TEST_F(Faults, NoForSomeTimesThenNormal) {
    rig.reader.injectFault("ONLINE/", fault(Fault::Kind::No, 2));
    EXPECT_EQ(host.exchange("ONLINE/", 2), "NO");
    EXPECT_EQ(host.exchange("v/", 16), "R6KTM10034721/\r\nEN");  // other commands are not affected
    EXPECT_EQ(host.exchange("ONLINE/", 2), "NO");
    EXPECT_EQ(host.exchange("ONLINE/", 4), "ENEN");
}

TEST_F(Faults, NoUntilACardIsAdded) {
    Fault f = fault(Fault::Kind::No);
    f.untilCard = true;
    rig.reader.injectFault("H", f);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(host.exchange("H/", 2), "NO");
    rig.reader.addCard(vazsim::blankSheet());
    EXPECT_EQ(host.exchange("H/", 2), "EN");
}

TEST_F(Faults, CodeGarbledAndSilent) {
    Fault code = fault(Fault::Kind::Code);
    code.code = "05";
    rig.reader.injectFault("J", code);
    rig.reader.injectFault("K", fault(Fault::Kind::Garbled));
    Fault custom = fault(Fault::Kind::Garbled);
    custom.bytes = "\xFF";
    rig.reader.injectFault("Y", custom);
    rig.reader.injectFault("H", fault(Fault::Kind::Silent));
    EXPECT_EQ(host.exchange("J 09/", 2), "05");
    EXPECT_EQ(host.exchange("K 1/", 2), std::string("E\0", 2));
    EXPECT_EQ(host.exchange("Y/", 1), "\xFF");
    EXPECT_EQ(host.exchange("H/", 0), "");
    EXPECT_EQ(host.exchange("H/", 2), "EN");
}

TEST_F(Faults, StaleBytesComeBeforeTheAnswer) {
    Fault f = fault(Fault::Kind::Stale);
    f.bytes = "xy";
    rig.reader.injectFault("N/", f);
    EXPECT_EQ(host.exchange("N/", 8), std::string("xy\x10\x27\0\0EN", 8));
}

TEST_F(Faults, FirstMatchingFaultWinsAndUntilClearedLasts) {
    rig.reader.injectFault("", fault(Fault::Kind::No, -1));
    rig.reader.injectFault("H", fault(Fault::Kind::Silent));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(host.exchange("H/", 2), "NO");
    rig.reader.clearFaults();
    EXPECT_EQ(host.exchange("H/", 2), "EN");
}

TEST_F(Faults, LengthsThatLie) {
    Fault f = fault(Fault::Kind::LieLength);
    f.lengthDelta = 5;
    rig.reader.injectFault("I 4", f);
    std::string longer = host.exchange("I 4/", 108);
    ASSERT_EQ(longer.size(), 108u);
    EXPECT_EQ(longer.substr(2, 4), "0105");  // announces 105, sends 100
    EXPECT_EQ(longer.substr(106), "EN");
    f.lengthDelta = -30;
    rig.reader.injectFault("X 2", f);
    EXPECT_EQ(host.exchange("X 2/", 19), "0000NO 00001 SC 0EN");  // clamped at 0
}

// The faulted `command` on a first host connection (`first` checks what
// came), then a new connection, which the reader answers.
void ExpectHidClosedThenServedAgain(Rig& rig, const std::string& command, const std::function<void(HidHost&)>& first) {
    {
        HidHost host(rig.hid->path());
        host.send(command);
        first(host);
        EXPECT_EQ(host.receive(), "<eof>");
    }
    HidHost again(rig.hid->path());
    again.send("ONLINE/");
    EXPECT_EQ(again.receivePayloads(2).size(), 2u);
}

// The faulted "N/" hangs the pseudo-terminal up; the link then points to a
// fresh port that answers. Returns the new slave path.
std::string ExpectPtyReplaced(Rig& rig) {
    const std::string link = rig.pty->path();
    const std::string before = rig.pty->slavePath();
    std::string after;
    {
        // While the old port is held open its number stays taken, so the new one differs.
        SerialHost host(link);
        host.write("N/");
        EXPECT_TRUE(host.hungUp());
        for (int i = 0; i < 200 && (after = rig.pty->slavePath()) == before; ++i) usleep(10000);
    }
    EXPECT_NE(after, before);
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), after);
    SerialHost again(link);
    EXPECT_EQ(again.exchange("N/", 6), std::string("\x10\x27\0\0EN", 6));
    return after;
}

TEST(FaultDrop, HidConnectionClosedAndReconnectWorks) {
    Rig rig;
    rig.reader.injectFault("v/", fault(Fault::Kind::Drop));
    ExpectHidClosedThenServedAgain(rig, "v/", [](HidHost&) {});
}

TEST(FaultDrop, PtyHangsUpAndTheLinkPointsToAFreshPort) {
    Rig rig(true);
    ASSERT_EQ(std::filesystem::read_symlink(rig.pty->path()).string(), rig.pty->slavePath());
    rig.reader.injectFault("N/", fault(Fault::Kind::Drop));
    ExpectPtyReplaced(rig);
}

TEST(FaultUnplug, HidSendsTheStartOfTheAnswerThenCloses) {
    Rig rig;
    Fault f = fault(Fault::Kind::Unplug);
    f.stopAfter = 3;  // three of the four counter bytes
    rig.reader.injectFault("N/", f);
    ExpectHidClosedThenServedAgain(rig, "N/", [](HidHost& host) {
        const auto payloads = host.receivePayloads(1);
        ASSERT_EQ(payloads.size(), 1u);
        EXPECT_EQ(payloads[0].substr(0, 4), std::string("\x10\x27\0\0", 4));
    });
}

TEST(FaultUnplug, PtyHangsUpAfterTheStartOfTheAnswer) {
    Rig rig(true);
    Fault f = fault(Fault::Kind::Unplug);
    f.stopAfter = 1;
    rig.reader.injectFault("N/", f);
    ExpectPtyReplaced(rig);
    // What got out before the hang-up: one byte, then the fresh port's exchange.
    const auto trace = rig.reader.trace();
    int oneByte = 0;
    for (const auto& e : trace) oneByte += e.direction == vazsim::Direction::ReaderToHost && e.bytes == "\x10";
    EXPECT_EQ(oneByte, 1);
}

// A reader that reads its input late: what the host purges from its output
// meanwhile never reaches the reader; a purge of the host's input alone
// loses nothing.
TEST_F(Faults, LateReaderLosesWhatTheHostPurgesFromItsOutput) {
    rig.reader.setInputDelay(300);
    host.write("K 1/");
    usleep(50000);
    ASSERT_EQ(tcflush(host.fd(), TCOFLUSH), 0);
    EXPECT_EQ(host.exchange("K 2/", 2), "EN");
    EXPECT_EQ(rig.reader.commands(), (std::vector<std::string>{"K 2/"}));
    rig.reader.clearTrace();
    host.write("K 3/");
    usleep(50000);
    ASSERT_EQ(tcflush(host.fd(), TCIFLUSH), 0);
    EXPECT_EQ(host.read(2), "EN");
    EXPECT_EQ(host.exchange("K 4/", 2), "EN");
    EXPECT_EQ(rig.reader.commands(), (std::vector<std::string>{"K 3/", "K 4/"}));
}

TEST(FaultLateInput, HidReportsAreReadLateButAllArrive) {
    Rig rig;
    rig.reader.setInputDelay(200);
    HidHost host(rig.hid->path());
    host.send("K 1/");
    host.send("K 2/");
    EXPECT_EQ(host.receivePayloads(2, 3000).size(), 2u);
    EXPECT_EQ(rig.reader.commands(), (std::vector<std::string>{"K 1/", "K 2/"}));
}

TEST_F(Faults, StopEndsTheAnswerInsideAnElement) {
    Fault f = fault(Fault::Kind::Stop);
    f.stopAfter = 3;
    rig.reader.injectFault("N/", f);
    EXPECT_EQ(host.exchange("N/", 3), std::string("\x10\x27\0", 3));
    EXPECT_TRUE(host.drain().empty());  // nothing more follows
    EXPECT_EQ(host.exchange("N/", 6), std::string("\x10\x27\0\0EN", 6));
}

TEST(FaultStop, HidReportOfTheCutElementIsPadded) {
    Rig rig;
    Fault f;
    f.kind = Fault::Kind::Stop;
    f.stopAfter = 2 + 2;  // the status and half the second element
    rig.reader.injectFault("I 1", f);
    HidHost host(rig.hid->path());
    host.send("I 1/");
    const auto payloads = host.receivePayloads(2);
    ASSERT_EQ(payloads.size(), 2u);
    EXPECT_EQ(payloads[0].substr(0, 3), std::string("EN\0", 3));
    EXPECT_EQ(payloads[1].size(), 64u);
    EXPECT_TRUE(host.quiet());  // no status after the cut
}
