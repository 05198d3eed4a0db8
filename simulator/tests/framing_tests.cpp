// How commands are cut out of what the host writes, and how reply elements
// travel, on both links.
#include <gtest/gtest.h>

#include "test_support.h"

using namespace simtest;
using vazsim::Direction;

namespace {

const std::string kPrintInit("\x1B\x63\x00\x04", 4);

}  // namespace

TEST(SerialFraming, CommandsSplitAndJoinedAcrossWrites) {
    Rig rig;
    SerialHost host(rig.pty->path());
    host.write("ONL");
    EXPECT_EQ(host.drain(100), "");  // no "/" yet: nothing to answer
    host.write("INE/v/");
    EXPECT_EQ(host.read(4 + 14 + 2 + 2), "ENENR6KTM10034721/\r\nEN");
    EXPECT_EQ(rig.reader.commands(), (std::vector<std::string>{"ONLINE/", "v/"}));
}

TEST(SerialFraming, PrintModePiecesEndWithEot) {
    Rig rig;
    SerialHost host(rig.pty->path());
    EXPECT_EQ(host.exchange("t/", 2), "EN");
    EXPECT_TRUE(rig.reader.inPrintMode());
    // "/" is an ordinary byte now; 0x04 ends a piece. CR, LF, XON, XOFF pass unchanged.
    EXPECT_EQ(host.exchange(kPrintInit, 2), "EN");
    EXPECT_EQ(host.exchange(std::string("a/\r\n\x04", 5), 2), "EN");
    EXPECT_EQ(host.exchange(std::string("\x11\x13\x04", 3), 2), "EN");
    EXPECT_EQ(host.exchange("\n\x04", 2), "EN");
    EXPECT_EQ(host.exchange("\x18\x04", 2), "EN");
    EXPECT_FALSE(rig.reader.inPrintMode());
    EXPECT_EQ(host.exchange("L 1/", 2), "EN");
    std::vector<std::string> expected{
        "t/",       kPrintInit, std::string("a/\r\n\x04", 5), std::string("\x11\x13\x04", 3), "\n\x04",
        "\x18\x04", "L 1/"};
    EXPECT_EQ(rig.reader.commands(), expected);
}

TEST(SerialFraming, ControlBytesReachTheHostUnchanged) {
    Rig rig;
    rig.reader.setModel(std::string("R6KTM\r\n\x11\x13\xFF", 10));
    SerialHost host(rig.pty->path());
    EXPECT_EQ(host.exchange("v/", 15), std::string("R6KTM\r\n\x11\x13\xFF/\r\nEN", 15));
}

TEST(HidFraming, ShortCommandIsOneReportAndPaddingIsNoCommand) {
    Rig rig;
    HidHost host(rig.hid->path());
    host.send("L 1/");
    std::vector<std::string> p = host.receivePayloads(1);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0], "EN" + std::string(62, '\0'));
    EXPECT_TRUE(host.quiet());
    EXPECT_EQ(rig.reader.commands(), std::vector<std::string>{"L 1/"});
    std::vector<std::string> in = rig.reader.hidReports(Direction::HostToReader);
    ASSERT_EQ(in.size(), 1u);
    EXPECT_EQ(in[0], std::string("\0L 1/", 5) + std::string(60, '\0'));
}

TEST(HidFraming, LongCommandSpansReports) {
    Rig rig;
    HidHost host(rig.hid->path());
    EXPECT_EQ(host.receive(50), "");
    host.send("S a.txt/");
    ASSERT_EQ(host.receivePayloads(1).size(), 1u);
    std::string line = "Z " + std::string(127, 'x') + "/";  // 130 bytes: reports of 64, 64 and 2
    ASSERT_EQ(line.size(), 130u);
    host.send(line);
    std::vector<std::string> p = host.receivePayloads(1);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].substr(0, 2), "EN");
    EXPECT_EQ(rig.reader.hidReports(Direction::HostToReader).size(), 4u);
    EXPECT_EQ(rig.reader.commands().back(), line);
}

TEST(HidFraming, EveryReplyElementStartsAReport) {
    Rig rig;
    HidHost host(rig.hid->path());
    host.send("I 4/");  // status, length, 100 bytes (two reports), status
    std::vector<std::string> p = host.receivePayloads(5);
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[0].substr(0, 3), std::string("EN\0", 3));
    EXPECT_EQ(p[1].substr(0, 5), std::string("0100\0", 5));
    EXPECT_EQ(p[3].substr(36), std::string(28, '\0'));  // 100 - 64 = 36 bytes, then padding
    EXPECT_EQ(p[4].substr(0, 3), std::string("EN\0", 3));
    EXPECT_TRUE(host.quiet());
    for (const std::string& r : rig.reader.hidReports(Direction::ReaderToHost)) {
        EXPECT_EQ(r.size(), 65u);
        EXPECT_EQ(r[0], '\0');
    }
}

TEST(HidFraming, PrintModeSequenceWithZeroByte) {
    Rig rig;
    HidHost host(rig.hid->path());
    host.send("t/");
    ASSERT_EQ(host.receivePayloads(1).size(), 1u);
    host.send(kPrintInit);
    ASSERT_EQ(host.receivePayloads(1).size(), 1u);
    host.send("\x18\x04");
    ASSERT_EQ(host.receivePayloads(1).size(), 1u);
    EXPECT_EQ(rig.reader.commands(), (std::vector<std::string>{"t/", kPrintInit, "\x18\x04"}));
    EXPECT_FALSE(rig.reader.inPrintMode());
}

TEST(HidFraming, PieceEndingInEotGetsOneStatus) {
    // Leaving print mode sends the piece "\n\x04" with its own 0x04 appended:
    // one piece, one status, so the next piece's status is not shifted.
    Rig rig;
    HidHost host(rig.hid->path());
    host.send("t/");
    ASSERT_EQ(host.receivePayloads(1).size(), 1u);
    host.send(std::string("\n\x04\x04", 3));
    ASSERT_EQ(host.receivePayloads(1).size(), 1u);
    host.send(std::string("\x18\x04", 2));
    ASSERT_EQ(host.receivePayloads(1).size(), 1u);
    EXPECT_EQ(rig.reader.commands(), (std::vector<std::string>{"t/", "\n\x04", "\x18\x04"}));
    EXPECT_FALSE(rig.reader.inPrintMode());
    host.send("L 1/");
    auto reply = host.receivePayloads(1);
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].substr(0, 2), "EN");
    EXPECT_EQ(rig.reader.commands().size(), 4u);
}

TEST(HidFraming, EmptyBlockStillTakesAReport) {
    // "G/" with an f line whose count is 0: the host still reads one report.
    Rig rig;
    HidHost host(rig.hid->path());
    for (const char* c : {"S a.txt/", "f 1 010 020 05 00/", "EN/"}) {
        host.send(c);
        ASSERT_EQ(host.receivePayloads(1).size(), 1u) << c;
    }
    host.send("G/");
    std::vector<std::string> p = host.receivePayloads(1);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0], std::string(64, '\0'));
}

TEST(SerialFraming, LineNoiseWithoutTerminatorIsDropped) {
    Rig rig;
    SerialHost host(rig.pty->path());
    host.write(std::string(5000, 'x'));
    EXPECT_EQ(host.exchange("H/", 0), "");  // the end of the noise
    EXPECT_EQ(host.exchange("N/", 6), std::string("\x10\x27\0\0EN", 6));
    EXPECT_EQ(rig.reader.commands(), std::vector<std::string>{"N/"});
}

TEST(HidFraming, TwoCommandsInOneReportAreBothServed) {
    // The library never does this; a report is still read up to its padding.
    Rig rig;
    HidHost host(rig.hid->path());
    host.send(std::string("H/\0\0Y/", 6));
    EXPECT_EQ(host.receivePayloads(2).size(), 2u);
    EXPECT_EQ(rig.reader.commands(), (std::vector<std::string>{"H/", "Y/"}));
}
