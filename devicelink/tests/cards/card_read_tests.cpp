// Reading cards: "R/", the stored "r A/" read and the block read of VazG
// with the "G/" supplement of a format that has an "f" line.
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "vaz_link_fixture.h"

using namespace vaztest;

namespace {

constexpr char kAnswer[] = "12345678ABCDABCD";

class CardRead : public ConnectedLink {
protected:
    // Feeds one sheet with "R/" after downloading `format`.
    void FeedSheet(const std::string& format, vazsim::Sheet sheet) {
        ASSERT_EQ(Download(format), 255);
        reader().addCard(sheet);
        ASSERT_EQ(Vaz().VazS("R/"), 1);
        sim_->ClearTrace();
    }
    // "r A 0001 2048/" and VazG into `buf`.
    int ReadBlock(std::vector<char>& buf) {
        EXPECT_EQ(Vaz().VazS("r A 0001 2048/"), 255);
        return Vaz().VazG(buf.data());
    }
};
INSTANTIATE_TEST_SUITE_P(Links, CardRead, BothLinks(), LinkName);

TEST_P(CardRead, BlockReadDeliversTheCardText) {
    FeedSheet("K 1/\n", SheetWith(kAnswer));
    std::vector<char> buf(3000, '\x55');
    EXPECT_EQ(ReadBlock(buf), static_cast<int>(strlen(kAnswer)) + 1);
    EXPECT_STREQ(buf.data(), kAnswer);
    EXPECT_EQ(commands(), (std::vector<std::string>{"r A 0001 2048/"}));
}

TEST_P(CardRead, StoredReadWaitsForVazGAndGivesFourCharacters) {
    FeedSheet("K 1/\n", SheetWith(kAnswer, 42));
    EXPECT_EQ(Vaz().VazS("r A/"), 255);
    EXPECT_TRUE(commands().empty());  // nothing sent until VazG
    char buf[16];
    memset(buf, 0x55, sizeof buf);
    EXPECT_EQ(Vaz().VazG(buf), 4);
    EXPECT_STREQ(buf, "0042");
    EXPECT_EQ(commands(), (std::vector<std::string>{"r A/"}));
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);  // the whole reply was read
}

TEST_P(CardRead, StoredReadRefusedKeepsTheReadersCode) {
    FeedSheet("K 1/\n", SheetWith(kAnswer));
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::Code;
    f.code = "14";
    reader().injectFault("r A/", f);
    EXPECT_EQ(Vaz().VazS("r A/"), 255);
    char buf[16] = {'x'};
    EXPECT_EQ(Vaz().VazG(buf), 4);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(ErrorCode(), "14");  // not replaced by a time-out's "18"
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);
}

TEST_P(CardRead, SupplementComesFirstWithoutTLine) {
    vazsim::Sheet sheet = SheetWith(kAnswer);
    sheet.extra = "SUPPLEMENT";
    FeedSheet("f 1 10 20 5 12/\n", sheet);
    std::vector<char> buf(3000, '\x55');
    const int n = ReadBlock(buf);
    EXPECT_EQ(n, 12 + static_cast<int>(strlen(kAnswer)));
    EXPECT_STREQ(buf.data(), (std::string("SUPPLEMENT00") + kAnswer).c_str());
    EXPECT_EQ(commands(), (std::vector<std::string>{"r A 0001 2048/", "G/"}));
}

TEST_P(CardRead, SupplementFollowsTheFirstCharacterWithTLine) {
    vazsim::Sheet sheet = SheetWith(kAnswer);
    sheet.extra = "XYZ";
    FeedSheet("T 020/\nf 1 10 20 5 3/\n", sheet);
    std::vector<char> buf(3000, '\x55');
    EXPECT_EQ(ReadBlock(buf), 3 + static_cast<int>(strlen(kAnswer)));
    EXPECT_STREQ(buf.data(), (std::string("1XYZ") + (kAnswer + 1)).c_str());
}

TEST_P(CardRead, OrdinaryLineAfterTheFLineEndsTheSupplement) {
    vazsim::Sheet sheet = SheetWith(kAnswer);
    sheet.extra = "XYZ";
    FeedSheet("f 1 10 20 5 3/\nK 1/\n", sheet);
    std::vector<char> buf(3000, '\x55');
    EXPECT_EQ(ReadBlock(buf), static_cast<int>(strlen(kAnswer)) + 1);
    EXPECT_STREQ(buf.data(), kAnswer);
    EXPECT_EQ(commands(), (std::vector<std::string>{"r A 0001 2048/"}));
}

TEST_P(CardRead, FailedBlockReadThenVazGGivesTheCode) {
    FeedSheet("K 1/\n", SheetWith(kAnswer));
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::Code;
    f.code = "14";
    reader().injectFault("r A 0001", f);
    std::vector<char> buf(3000, '\x55');
    EXPECT_EQ(ReadBlock(buf), 0);
    EXPECT_STREQ(buf.data(), "");
    char code[8] = {};
    EXPECT_EQ(Vaz().VazG(code), 255);
    EXPECT_STREQ(code, "14");
    EXPECT_EQ(Vaz().VazG(code), 0);  // delivered once
}

TEST_P(CardRead, FailedBlockReadInTheSupplementCaseGivesTheSupplementOnly) {
    vazsim::Sheet sheet = SheetWith(kAnswer);
    sheet.extra = "ABCDE";
    FeedSheet("f 1 10 20 5 5/\n", sheet);
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::Code;
    f.code = "14";
    reader().injectFault("r A 0001", f);
    std::vector<char> buf(3000, '\x55');
    EXPECT_EQ(ReadBlock(buf), 5);
    EXPECT_STREQ(buf.data(), "ABCDE");
}

// The reader falls silent 1000 bytes into a 2048-byte block: VazG fails with
// a communication error (within the bound vaz.h states; the time is recorded
// as the property "seconds"), the supplement is not asked for, and the next
// command works.
TEST_P(CardRead, ReaderStoppingInsideABlockFailsTheReadAndTheNextCommandWorks) {
    vazsim::Sheet sheet = SheetWith(std::string(2047, 'Q'));
    sheet.extra = "XYZ";
    FeedSheet("f 1 10 20 5 3/\n", sheet);
    vazsim::Fault stop;
    stop.kind = vazsim::Fault::Kind::Stop;
    stop.stopAfter = 2 + 4 + 1000;  // status, length field, 1000 data bytes
    reader().injectFault("r A 0001", stop);
    std::vector<char> buf(VAZ_REPLY_SIZE, '\x55');
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadBlock(buf), 0);
    EXPECT_STREQ(buf.data(), "");
    RecordProperty("seconds",
                   std::to_string(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count()));
    EXPECT_EQ(ErrorCode(), "18");
    EXPECT_EQ(commands(), (std::vector<std::string>{"r A 0001 2048/"}));
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);
    reader().addCard(sheet);
    ASSERT_EQ(Vaz().VazS("R/"), 1);
    EXPECT_EQ(ReadBlock(buf), 3 + 2047);  // the next card whole, supplement first
    EXPECT_EQ(std::string(buf.data(), 4), "XYZQ");
}

TEST_P(CardRead, BlockLongerThanTheReadBufferIsRefused) {
    // The reader announces 5001 bytes; the library's buffer holds 4991.
    FeedSheet("K 1/\n", SheetWith(std::string(4991, 'Q')));
    vazsim::Fault lie;
    lie.kind = vazsim::Fault::Kind::LieLength;
    lie.lengthDelta = 10;
    reader().injectFault("r A 0001", lie);
    std::vector<char> buf(6000, '\x55');
    EXPECT_EQ(Vaz().VazS("r A 0001 4991/"), 255);
    EXPECT_EQ(Vaz().VazG(buf.data()), 0);
    EXPECT_STREQ(buf.data(), "");
    EXPECT_EQ(buf[1], '\x55');  // nothing written after the empty text
    EXPECT_EQ(ErrorCode(), "18");
}

TEST_P(CardRead, LongestBlockFits) {
    const std::string answer(4991, 'Q');
    FeedSheet("K 1/\n", SheetWith(answer));
    std::vector<char> buf(6000, '\x55');
    EXPECT_EQ(Vaz().VazS("r A 0001 4991/"), 255);
    EXPECT_EQ(Vaz().VazG(buf.data()), 4992);
    EXPECT_EQ(std::string(buf.data()), answer);
}

TEST_P(CardRead, ReaderErrorsOfASheetArriveAsCodes) {
    ASSERT_EQ(Download("K 1/\n"), 255);
    vazsim::Sheet doubleSheet = SheetWith(kAnswer);
    doubleSheet.fault = "03";
    reader().addCard(doubleSheet);
    EXPECT_EQ(Vaz().VazS("R/"), 0);
    EXPECT_EQ(ErrorCode(), "03");
    EXPECT_EQ(Vaz().VazS("R/"), 0);  // empty hopper: "NO"
    EXPECT_EQ(ErrorCode(), "23");
}

TEST_P(CardRead, ReadWithoutFormatIsNoFormat) {
    reader().addCard(SheetWith(kAnswer));
    EXPECT_EQ(Vaz().VazS("R/"), 0);
    EXPECT_EQ(ErrorCode(), "01");
}

}  // namespace
