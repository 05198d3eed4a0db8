// Exact reply bytes of the reader's commands (serial link unless stated).
#include <gtest/gtest.h>

#include "test_support.h"

using namespace simtest;

using Protocol = SerialTest;

TEST_F(Protocol, HandshakeIdentificationAndCounter) {
    rig.reader.setModel("R6KTM V1.00");
    rig.reader.setCardCounter(0x01020304);
    EXPECT_EQ(host.exchange("ONLINE/", 4), "ENEN");
    // The serial host reads the text up to "/", skips two bytes, then the status.
    EXPECT_EQ(host.exchange("v/", 16), "R6KTM V1.00/\r\nEN");
    EXPECT_EQ(host.exchange("N/", 6), std::string("\x04\x03\x02\x01", 4) + "EN");
}

TEST_F(Protocol, HidIdentificationHasNoSkippedBytes) {
    HidHost hid(rig.hid->path());
    hid.send("v/");
    std::vector<std::string> p = hid.receivePayloads(2);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].substr(0, 15), std::string("R6KTM10034721/\0", 15));
    EXPECT_EQ(p[1].substr(0, 2), "EN");
    EXPECT_TRUE(hid.quiet());
}

TEST_F(Protocol, SettingsCommands) {
    EXPECT_EQ(host.exchange("K 1/", 2), "EN");
    EXPECT_EQ(host.exchange("K 0/", 2), "EN");
    EXPECT_EQ(host.exchange("H/", 2), "EN");
    EXPECT_EQ(host.exchange("Y/", 2), "EN");
    EXPECT_EQ(host.exchange("-anything/", 2), "EN");
    EXPECT_EQ(host.exchange("Q 7/", 2), "EN");  // unknown commands are acknowledged
    EXPECT_EQ(host.exchange("L 1/", 2), "EN");
    EXPECT_FALSE(rig.reader.secondStatusAfterRead());
    EXPECT_EQ(host.exchange("L 0/", 2), "EN");
    EXPECT_TRUE(rig.reader.secondStatusAfterRead());
    EXPECT_EQ(host.exchange("L 5/", 2), "06");
}

TEST_F(Protocol, CalibrationAndMotorGetTwoStatuses) {
    EXPECT_EQ(host.exchange("J 09/", 4), "ENEN");
    EXPECT_EQ(host.exchange("J/", 4), "ENEN");
    EXPECT_EQ(host.exchange("m 10 10/", 4), "ENEN");
    EXPECT_EQ(host.exchange("M 8/", 4), "ENEN");
    // Out of range: refused at once, no second status.
    EXPECT_EQ(host.exchange("J 16/", 2), "06");
    EXPECT_EQ(host.exchange("m 00 10/", 2), "06");
    EXPECT_EQ(host.exchange("M 9/", 2), "06");
}

TEST_F(Protocol, StepCommandIsNotAnswered) {
    EXPECT_EQ(host.exchange("T 020/", 0), "");
    EXPECT_EQ(host.exchange("H/", 2), "EN");
}

TEST_F(Protocol, PrintSettingsRoundTrip) {
    EXPECT_EQ(host.exchange("X 2/", 19), "0013NO 00001 SC 0EN");
    EXPECT_EQ(host.exchange("X 0 AB 00042 PT 3/", 2), "EN");
    EXPECT_EQ(host.exchange("X 2/", 19), "0013AB 00042 PT 3EN");
    EXPECT_EQ(host.exchange("X 0 0 0 0 3/", 2), "EN");
    EXPECT_EQ(rig.reader.printSettings(), "0 0 0 3");
    EXPECT_EQ(host.exchange("X 1/", 2), "EN");
    // The host reads the text into 65 bytes: longer settings are refused.
    EXPECT_EQ(host.exchange("X 0 " + std::string(61, 'a') + " 1 2 3/", 2), "06");
    EXPECT_EQ(rig.reader.printSettings(), "0 0 0 3");
}

TEST_F(Protocol, TestModeAndWordAndByteReads) {
    EXPECT_EQ(host.exchange("I 0 005 03/", 6), "EN\xFC\xFC\xFF\xFF");
    std::string w = host.exchange("I 1 0/", 6);
    ASSERT_EQ(w.size(), 6u);
    EXPECT_EQ(w.substr(0, 2), "EN");
    EXPECT_EQ(w.substr(4), "EN");
    EXPECT_EQ(host.exchange("I 3/", 5), std::string("EN\0EN", 5));  // no card read yet
    EXPECT_EQ(host.exchange("I 5 03 73/", 4), "ENEN");
    EXPECT_EQ(host.exchange("I 5 51 73/", 2), "06");
    EXPECT_EQ(host.exchange("I/", 2), "EN");
}

TEST_F(Protocol, PrintModeEnterAndLeave) {
    EXPECT_EQ(host.exchange("t/", 2), "EN");
    EXPECT_EQ(host.exchange(std::string("\x1B\x63\x00\x04", 4), 2), "EN");
    EXPECT_EQ(host.exchange("ABCD\x04", 2), "EN");
    EXPECT_EQ(host.exchange("\n\x04", 2), "EN");
    EXPECT_EQ(host.exchange("\x18\x04", 2), "EN");
    EXPECT_FALSE(rig.reader.inPrintMode());
    EXPECT_EQ(rig.reader.printedText(), "ABCD\n");
}

TEST_F(Protocol, CardCommandsWithoutFormatOrCard) {
    EXPECT_EQ(host.exchange("R/", 2), "01");
    EXPECT_EQ(host.exchange("/", 2), "01");
    EXPECT_EQ(host.exchange("r A/", 8), "EN0000EN");
    EXPECT_EQ(host.exchange("r A 0001 2048/", 2), "01");
    EXPECT_EQ(host.exchange("I 7/", 2), "16");
    EXPECT_EQ(host.exchange("I 6 1/", 2), "16");
    EXPECT_EQ(host.exchange("I 2 73/", 2), "NO");
    EXPECT_EQ(host.exchange("G/", 2), "06");
}
