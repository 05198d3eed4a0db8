// Format download and card reading through the serial link.
#include <gtest/gtest.h>

#include "test_support.h"

using namespace simtest;

namespace {

vazsim::Sheet answerSheet(const std::string& text, const std::string& fault = "") {
    vazsim::Sheet s = vazsim::blankSheet(73);
    s.answers.emplace_back("", text);
    s.extra = "SUPPL";
    s.fault = fault;
    return s;
}

}  // namespace

using Cards = SerialTest;

TEST_F(Cards, DownloadAcceptedLineByLine) {
    EXPECT_EQ(downloadFormat(host, {"T 1 2/", "F 1 2 3 4 5 6 7 8 9 10 11/", "f 1 010 020 05 04/"}),
              "ENENENENEN");
    EXPECT_TRUE(rig.reader.hasFormat());
    EXPECT_EQ(rig.reader.formatCommands(),
              (std::vector<std::string>{"T 1 2/", "F 1 2 3 4 5 6 7 8 9 10 11/", "f 1 010 020 05 04/"}));
    // "L" inside a download is a format line, not a read mode.
    rig.reader.setSecondStatusAfterRead(false);
    EXPECT_EQ(host.exchange("s/", 2), "EN");
    EXPECT_EQ(host.exchange("L 0/", 2), "EN");
    EXPECT_EQ(host.exchange("EN/", 2), "EN");
    EXPECT_FALSE(rig.reader.secondStatusAfterRead());
    EXPECT_EQ(rig.reader.formatCommands(), std::vector<std::string>{"L 0/"});
}

TEST_F(Cards, RefusedLineByPrefixLeavesNoFormat) {
    rig.reader.refuseFormatCommand("f ", "06");
    EXPECT_EQ(downloadFormat(host, {"T 1/", "f 1 010 020 05 04/"}), "ENEN0606");
    EXPECT_FALSE(rig.reader.hasFormat());
    EXPECT_EQ(host.exchange("R/", 2), "01");
}

TEST_F(Cards, RefusedLineByIndex) {
    rig.reader.refuseFormatCommandAt(1, "13");
    EXPECT_EQ(downloadFormat(host, {"A/", "B/"}), "ENEN1313");
    rig.reader.clearFormatRefusals();
    EXPECT_EQ(downloadFormat(host, {"A/", "B/"}), "ENENENEN");
    EXPECT_TRUE(rig.reader.hasFormat());
}

TEST_F(Cards, HandshakeAbandonsAnUnfinishedDownload) {
    EXPECT_EQ(host.exchange("S a.txt/", 2), "EN");
    EXPECT_EQ(host.exchange("ONLINE/", 4), "ENEN");
    EXPECT_EQ(host.exchange("T 020/", 0), "");  // a step again, not a format line
    EXPECT_FALSE(rig.reader.hasFormat());
}

TEST_F(Cards, ReadStates) {
    EXPECT_EQ(host.exchange("R/", 2), "01");
    downloadFormat(host, {"T 1/"});
    EXPECT_EQ(host.exchange("R/", 2), "NO");
    rig.reader.setCardCounter(5);
    rig.reader.addCards(
        {answerSheet("ABCD"), answerSheet("", "03"), answerSheet("DCBA"), answerSheet("", "16")});
    EXPECT_EQ(host.exchange("R/", 4), "ENEN");
    EXPECT_EQ(host.exchange("R/", 4), "EN03");  // read mode 0: sheet taken, then the result
    EXPECT_EQ(host.exchange("L 1/", 2), "EN");
    EXPECT_EQ(host.exchange("/", 2), "EN");  // the standard answer card reads like R/
    EXPECT_EQ(host.exchange("R/", 2), "16");
    EXPECT_EQ(host.exchange("R/", 2), "NO");
    EXPECT_EQ(rig.reader.cardCounter(), 9u);
    EXPECT_EQ(rig.reader.hopperSize(), 0u);
    ASSERT_TRUE(rig.reader.lastCard());
    EXPECT_EQ(rig.reader.lastCard()->answers[0].second, "DCBA");  // faulty sheets leave no data
}

TEST_F(Cards, CountAndBlockRead) {
    downloadFormat(host, {"T 1/"});
    vazsim::Sheet s = answerSheet("12345678ABCDABCD");
    s.syncCount = 60;
    rig.reader.addCard(s);
    EXPECT_EQ(host.exchange("R/", 4), "ENEN");
    EXPECT_EQ(host.exchange("r A/", 8), "EN0060EN");
    EXPECT_EQ(host.exchange("r A 0001 2048/", 25), std::string("EN001612345678ABCDABCD\0EN", 25));
    EXPECT_EQ(host.exchange("r A 0009 0004/", 13), std::string("EN0004ABCD\0EN", 13));
    EXPECT_EQ(host.exchange("r A 0100 0004/", 9), std::string("EN0000\0EN", 9));
    EXPECT_EQ(rig.reader.lastCard()->gray.size(), 60u);
}

TEST_F(Cards, AnswerDependsOnTheFormat) {
    vazsim::Sheet s = answerSheet("default");
    s.answers.emplace_back("f 2", "second format");
    rig.reader.addCards({s, s});
    downloadFormat(host, {"f 2 010 020 05 04/"});
    host.exchange("R/", 4);
    EXPECT_EQ(host.exchange("r A 0001 2048/", 22), std::string("EN0013second format\0EN", 22));
    downloadFormat(host, {"f 1 010 020 05 04/"});
    host.exchange("R/", 4);
    EXPECT_EQ(host.exchange("r A 0001 2048/", 16), std::string("EN0007default\0EN", 16));
}

TEST_F(Cards, SupplementAfterAnFLine) {
    downloadFormat(host, {"f 1 010 020 05 08/"});
    EXPECT_EQ(host.exchange("G/", 8), "00000000");  // no card yet: padding only
    rig.reader.addCard(answerSheet("AB"));
    host.exchange("R/", 4);
    EXPECT_EQ(host.exchange("G/", 8), "SUPPL000");  // the sheet's bytes, padded to the count, no status
    downloadFormat(host, {"f 1 010 020 05 03/"});
    EXPECT_EQ(host.exchange("G/", 3), "SUP");
}

TEST_F(Cards, BlockReadWithLyingLength) {
    downloadFormat(host, {"T 1/"});
    rig.reader.addCard(answerSheet("ABCDEFGH"));
    host.exchange("R/", 4);
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::LieLength;
    f.lengthDelta = -3;
    rig.reader.injectFault("r A 0", f);
    EXPECT_EQ(host.exchange("r A 0001 2048/", 17), std::string("EN0005ABCDEFGH\0EN", 17));
}

TEST_F(Cards, AddingACardEndsTheNoFault) {
    downloadFormat(host, {"T 1/"});
    vazsim::Fault f;
    f.untilCard = true;
    rig.reader.injectFault("R/", f);
    rig.reader.setSecondStatusAfterRead(false);
    EXPECT_EQ(host.exchange("R/", 2), "NO");
    rig.reader.addCard(answerSheet("A"));
    EXPECT_EQ(host.exchange("R/", 2), "EN");
}
