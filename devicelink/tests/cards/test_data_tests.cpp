// Test-mode data: VazSetTest, the value read (I 4), the area reads (I 2 with
// its size limit, I 7 without), the curve read (I 6) and the copy-outs.
#include <cstring>
#include <string>
#include <vector>

#include "vaz_link_fixture.h"

using namespace vaztest;
using vazsim::Fault;

namespace {

Fault CodeFault(const std::string& code) {
    Fault f;
    f.kind = Fault::Kind::Code;
    f.code = code;
    return f;
}

// A reply of our own choosing in place of the reader's (serial link only: the
// bytes travel as one element).
Fault ScriptedReply(const std::string& bytes) {
    Fault f;
    f.kind = Fault::Kind::Garbled;
    f.bytes = bytes;
    return f;
}

// A sheet whose gray level of channel c on line l is (l + c) % 16.
vazsim::Sheet PatternSheet(int lines, int pitch = 24) {
    vazsim::Sheet s = vazsim::blankSheet(lines);
    for (int l = 0; l < lines; ++l)
        for (int c = 0; c < vazsim::kChannels; ++c) s.gray[l][c] = static_cast<uint8_t>((l + c) % 16);
    s.pitch = pitch;
    return s;
}

class TestData : public ConnectedLink {};
INSTANTIATE_TEST_SUITE_P(Links, TestData, BothLinks(), LinkName);

TEST_P(TestData, SetTestSendsTheNumbersAndConfirms) {
    EXPECT_EQ(Vaz().VazSetTest(5, 3), 1);
    EXPECT_EQ(commands(), (std::vector<std::string>{"I 0 005 03/"}));
    EXPECT_EQ(vaztest::Boxes().size(), 0u);
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);  // FC FC and FF FF were both read
}

TEST_P(TestData, SetTestRefusedShowsTheMessage) {
    reader().injectFault("I 0", CodeFault("06"));
    EXPECT_EQ(Vaz().VazSetTest(5, 3), 0);
    EXPECT_EQ(ErrorCode(), "06");
    EXPECT_EQ(CountBoxes("Test cmd sent error."), 1);
}

TEST_P(TestData, SetTestNeedsTheLibraryOnline) {
    Vaz().VazInit(-1);
    EXPECT_EQ(Vaz().VazSetTest(5, 3), -1);
    EXPECT_TRUE(commands().empty());
}

TEST_P(TestData, ValueBlockOfBothSidesFromTheReader) {
    EXPECT_EQ(Vaz().VazS("I 4/"), 255);
    std::vector<int> a(200, -1), b(200, -1);
    EXPECT_EQ(Vaz().VazGetValue('A', a.data()), 100);
    EXPECT_EQ(Vaz().VazGetValue('B', b.data()), 100);
    EXPECT_EQ(a[50], -1);  // 50 values per side, no more
    EXPECT_EQ(b[50], -1);
    // Blank paper under the data heads of both sides, the D head near 128.
    for (int i = 2; i < 50; ++i) {
        EXPECT_NEAR(a[i], 200, 8) << i;
        EXPECT_NEAR(b[i], 200, 8) << i;
    }
    EXPECT_NEAR(a[0], 128, 8);
    EXPECT_EQ(Vaz().VazGetValue('C', a.data()), 100);  // count only
}

TEST_P(TestData, RefusedValueReadLeavesNoOldValues) {
    EXPECT_EQ(Vaz().VazS("I 4/"), 255);
    reader().injectFault("I 4", CodeFault("10"));
    EXPECT_EQ(Vaz().VazS("I 4/"), 255);
    std::vector<int> a(200, -1);
    EXPECT_EQ(Vaz().VazGetValue('A', a.data()), 0);
    EXPECT_EQ(a[0], -1);
    EXPECT_EQ(ErrorCode(), "10");
}

TEST_P(TestData, AreaReadOfAWholeCardMatchesTheDeck) {
    // On USB each 3650-byte block spans 58 reports.
    reader().addCard(PatternSheet(73));
    EXPECT_EQ(Vaz().VazS("I 2 73/"), 1);
    std::vector<int> raw(5000, -1), gray(5000, -1);
    EXPECT_EQ(Vaz().VazGetOriOrGray('A', raw.data()), 3650);
    EXPECT_EQ(Vaz().VazGetOriOrGray('B', gray.data()), 3650);
    EXPECT_EQ(gray[3650], -1);
    for (int l = 0; l < 73; ++l) {
        for (int c = 0; c < 48; ++c) {
            ASSERT_EQ(gray[l * 50 + c], (l + c) % 16) << l << "," << c;
            ASSERT_NEAR(raw[l * 50 + c], (l + c) % 16, 1) << l << "," << c;
        }
        EXPECT_EQ(gray[l * 50 + 49], l + 1);  // line number
    }
    if (usb()) {
        EXPECT_GE(reader().hidReports(vazsim::Direction::ReaderToHost).size(), 2u * 58);
    }
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);
}

TEST_P(TestData, AreaBlockOverTheLimitFailsAndI7AcceptsIt) {
    reader().addCard(PatternSheet(12));   // 600-byte blocks
    EXPECT_EQ(Vaz().VazS("I 2 10/"), 0);  // limit 500
    std::vector<int> v(1000, -1);
    EXPECT_EQ(Vaz().VazGetOriOrGray('A', v.data()), 0);  // refused while the error waits
    EXPECT_EQ(ErrorCode(), "18");
    EXPECT_EQ(Vaz().VazGetOriOrGray('A', v.data()), 0);  // nothing kept of the refused block
    EXPECT_EQ(v[0], -1);
    EXPECT_EQ(Vaz().VazS("I 7/"), 1);
    EXPECT_EQ(Vaz().VazGetOriOrGray('A', v.data()), 600);
    EXPECT_EQ(Vaz().VazGetOriOrGray('B', v.data()), 600);
    EXPECT_EQ(v[50 * 11 + 49], 12);
}

// An area read that fails after an earlier good one leaves no levels of the
// earlier card, whichever step failed.
TEST_P(TestData, FailedAreaReadAfterAGoodOneLeavesNoLevels) {
    vazsim::Sheet bad = PatternSheet(10);
    bad.fault = "03";
    Fault stop;
    stop.kind = Fault::Kind::Stop;
    stop.stopAfter = 2 + 2 + 4 + 200;  // inside the raw block
    for (int step = 0; step < 3; ++step) {
        reader().addCard(PatternSheet(10));
        ASSERT_EQ(Vaz().VazS("I 2 10/"), 1) << step;
        if (step == 0) reader().addCard(bad);          // refused after the first status
        if (step == 1) reader().clearHopper();         // "NO"
        if (step == 2) {                               // falls silent inside the block
            reader().addCard(PatternSheet(10));
            reader().injectFault("I 2", stop);
        }
        EXPECT_EQ(Vaz().VazS("I 2 10/"), 0) << step;
        char code[8];
        Vaz().VazGetError(code);
        std::vector<int> v(600, -1);
        EXPECT_EQ(Vaz().VazGetOriOrGray('A', v.data()), 0) << step;
        EXPECT_EQ(Vaz().VazGetOriOrGray('B', v.data()), 0) << step;
        EXPECT_EQ(v[0], -1) << step;
        EXPECT_EQ(Vaz().VazS("K 1/"), 1) << step;
    }
}

TEST_P(TestData, AreaReadOfASheetFaultFails) {
    vazsim::Sheet s = PatternSheet(10);
    s.fault = "03";
    reader().addCard(s);
    EXPECT_EQ(Vaz().VazS("I 2 10/"), 0);
    EXPECT_EQ(ErrorCode(), "03");
    EXPECT_EQ(Vaz().VazS("I 2 10/"), 0);  // empty hopper
    EXPECT_EQ(ErrorCode(), "23");
}

TEST_P(TestData, GrayCopyRefusedWhileAnErrorIsPending) {
    reader().addCard(PatternSheet(10));
    ASSERT_EQ(Vaz().VazS("I 2 10/"), 1);
    reader().injectFault("K", CodeFault("06"));
    EXPECT_EQ(Vaz().VazS("K 1/"), 0);
    std::vector<int> v(600, -1);
    EXPECT_EQ(Vaz().VazGetOriOrGray('B', v.data()), 0);
    EXPECT_EQ(v[0], -1);
    char code[8];
    Vaz().VazGetError(code);  // the host reads the error: the data is there again
    EXPECT_EQ(Vaz().VazGetOriOrGray('B', v.data()), 500);
    EXPECT_EQ(Vaz().VazGetOriOrGray('X', v.data()), 0);
}

TEST_P(TestData, CurveOf260BytesGives256Values) {
    reader().addCard(PatternSheet(30, 8));  // (30 + 2) x 8 samples + 4 bytes
    ASSERT_EQ(Vaz().VazS("I 2 30/"), 1);
    ASSERT_EQ(Vaz().VazS("I 5 01,30/"), 1);
    EXPECT_EQ(Vaz().VazS("I 6 1/"), 255);
    std::vector<int> v(400, -1);
    EXPECT_EQ(Vaz().VazGetCurve('A', v.data()), 256);
    EXPECT_EQ(v[256], -1);
    EXPECT_NEAR(v[0], 200, 10);  // paper before the first line
}

TEST_P(TestData, SyncCurveShowsTheMarksWhereTheDeckPutsThem) {
    reader().addCard(PatternSheet(20, 16));
    ASSERT_EQ(Vaz().VazS("I 2 20/"), 1);
    sim_->ClearTrace();
    EXPECT_EQ(Vaz().VazS("I 6 0/"), 255);
    EXPECT_EQ(commands(), (std::vector<std::string>{"I 6 0/"}));
    std::vector<int> v(1000, -1);
    ASSERT_EQ(Vaz().VazGetCurve('A', v.data()), 22 * 16);
    for (int line = 1; line <= 20; ++line) EXPECT_LT(v[line * 16 + 8], 120) << line;  // mark centres
    EXPECT_GT(v[4], 150);                                                             // paper
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);  // the 4 extra bytes of k = 0 were read
}

TEST_P(TestData, CurveHostTextIsRebuilt) {
    reader().addCard(PatternSheet(10));
    ASSERT_EQ(Vaz().VazS("I 2 10/"), 1);
    sim_->ClearTrace();
    EXPECT_EQ(Vaz().VazS("I  6,2/"), 255);
    EXPECT_EQ(commands(), (std::vector<std::string>{"I 6 2/"}));
}

TEST_P(TestData, RefusedCurveLeavesNoCurve) {
    EXPECT_EQ(Vaz().VazS("I 6 1/"), 255);  // no card: "16"
    EXPECT_EQ(ErrorCode(), "16");
    std::vector<int> v(10, -1);
    EXPECT_EQ(Vaz().VazGetCurve('A', v.data()), 0);
    EXPECT_EQ(v[0], -1);
}

TEST_P(TestData, CurveWhoseLengthClaimsLessThanSentStaysInItsBlock) {
    reader().addCard(PatternSheet(30, 8));
    ASSERT_EQ(Vaz().VazS("I 2 30/"), 1);
    Fault lie;
    lie.kind = Fault::Kind::LieLength;
    lie.lengthDelta = -60;
    reader().injectFault("I 6", lie);
    EXPECT_EQ(Vaz().VazS("I 6 1/"), 255);
    std::vector<int> v(400, -1);
    EXPECT_EQ(Vaz().VazGetCurve('A', v.data()), 196);
    EXPECT_EQ(v[196], -1);
}

// Blocks of exact sizes, scripted on the serial link.
class ScriptedValues : public ConnectedLink {};
INSTANTIATE_TEST_SUITE_P(Links, ScriptedValues, ::testing::Values(int(Sim::kSerial)), LinkName);

std::string Block(int n) {
    std::string data;
    for (int i = 0; i < n; ++i) data.push_back(static_cast<char>(i % 7 == 0 ? 0 : i));  // zero bytes included
    char field[8];
    snprintf(field, sizeof field, "%04d", n);
    return "EN" + std::string(field) + data + "EN";
}

TEST_P(ScriptedValues, ValueBlockOf120BytesSplitsInHalves) {
    reader().injectFault("I 4", ScriptedReply(Block(120)));
    EXPECT_EQ(Vaz().VazS("I 4/"), 255);
    std::vector<int> a(200, -1), b(200, -1);
    EXPECT_EQ(Vaz().VazGetValue('A', a.data()), 120);
    EXPECT_EQ(Vaz().VazGetValue('B', b.data()), 120);
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(a[i], i % 7 == 0 ? 0 : i);
        EXPECT_EQ(b[i], (60 + i) % 7 == 0 ? 0 : 60 + i);
    }
    EXPECT_EQ(a[60], -1);
    EXPECT_EQ(b[60], -1);
}

TEST_P(ScriptedValues, ValueBlockOf40BytesGoesWholeToA) {
    reader().injectFault("I 4", ScriptedReply(Block(40)));
    EXPECT_EQ(Vaz().VazS("I 4/"), 255);
    std::vector<int> a(200, -1), b(200, -1);
    EXPECT_EQ(Vaz().VazGetValue('A', a.data()), 40);
    EXPECT_EQ(Vaz().VazGetValue('B', b.data()), 40);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(a[i], i % 7 == 0 ? 0 : i);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(b[i], (20 + i) % 7 == 0 ? 0 : 20 + i);
    EXPECT_EQ(a[40], -1);
    EXPECT_EQ(b[20], -1);
}

TEST_P(ScriptedValues, LengthClaimingMoreThanSentKeepsOnlyWhatArrived) {
    // Announces 300 bytes, carries 30: the block holds what came.
    reader().injectFault("I 4", ScriptedReply("EN0300" + std::string(30, 'v')));
    EXPECT_EQ(Vaz().VazS("I 4/"), 255);
    std::vector<int> a(400, -1);
    EXPECT_EQ(Vaz().VazGetValue('A', a.data()), 30);
    EXPECT_EQ(a[29], 'v');
    EXPECT_EQ(a[30], -1);
}

TEST_P(ScriptedValues, AreaLengthFieldHoldingAStatusEndsTheRead) {
    reader().injectFault("I 7", ScriptedReply("EN07"));
    EXPECT_EQ(Vaz().VazS("I 7/"), 0);
    EXPECT_EQ(ErrorCode(), "07");
}

}  // namespace
