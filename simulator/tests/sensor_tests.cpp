// Sensor data: block sizes and agreement with the deck (serial link).
#include <gtest/gtest.h>

#include <algorithm>

#include "test_support.h"

using namespace simtest;

namespace {

int u8(char c) {
    return static_cast<unsigned char>(c);
}

// Line 10: channel 5 fully marked, channel 20 at level 6.
vazsim::Sheet markedSheet() {
    vazsim::Sheet s = vazsim::blankSheet(73);
    s.gray[9][4] = 15;
    s.gray[9][19] = 6;
    return s;
}

}  // namespace

class Sensors : public SerialTest {
protected:
    // status, length n, n bytes, status: returns the n bytes.
    std::string valueBlock() {
        std::string r = host.exchange("I 4/", 108);
        EXPECT_EQ(r.substr(0, 6), "EN0100");
        EXPECT_EQ(r.substr(106), "EN");
        return r.size() == 108 ? r.substr(6, 100) : std::string();
    }
};

TEST_F(Sensors, InstantValuesAreSteadyExceptTheUnsteadyHead) {
    rig.reader.setUnsteadyHead(7, 12);
    int lo[100], hi[100];
    std::fill(lo, lo + 100, 255);
    std::fill(hi, hi + 100, 0);
    for (int k = 0; k < 30; ++k) {
        std::string v = valueBlock();
        ASSERT_EQ(v.size(), 100u);
        for (int i = 0; i < 100; ++i) {
            lo[i] = std::min(lo[i], u8(v[i]));
            hi[i] = std::max(hi[i], u8(v[i]));
        }
    }
    for (int i = 0; i < 100; ++i) {
        if (i == 7) continue;
        EXPECT_LE(hi[i] - lo[i], 2) << "head " << i;
        if (i % 50 >= 2) {
            EXPECT_GT(lo[i], 150) << "blank paper reads bright, head " << i;
        }
    }
    EXPECT_GT(hi[7] - lo[7], 4);
    EXPECT_LE(hi[57] - lo[57], 2);  // side B of the same channel is steady
}

TEST_F(Sensors, InstantValuesFollowThePaperUnderTheHeads) {
    downloadFormat(host, {"T 1/"});
    rig.reader.setNoise(0);
    rig.reader.addCard(markedSheet());
    ASSERT_EQ(host.exchange("R/", 4), "ENEN");
    std::string onLine1 = valueBlock();
    host.exchange("T 020/", 0);
    std::string between = valueBlock();
    EXPECT_LT(u8(onLine1[1]), 100);                           // S head on a sync mark
    EXPECT_GT(u8(between[1]), 150);                           // S head on paper between two marks
    for (int i = 0; i < 17; ++i) host.exchange("T 020/", 0);  // 18 half steps: line 10
    std::string onLine10 = valueBlock();
    EXPECT_LT(u8(onLine10[2 + 4]), 100);                    // channel 5 marked
    EXPECT_LT(u8(onLine10[2 + 19]), u8(onLine10[2 + 20]));  // channel 20 half dark
    EXPECT_GT(u8(onLine10[2 + 5]), 150);
    EXPECT_LT(u8(onLine10[50 + 2 + 4]), 100);  // side B sees the same line
}

TEST_F(Sensors, AreaReadFeedsACardAndMatchesTheDeck) {
    vazsim::Sheet s = vazsim::generateDeck(11, 1).sheets[0];
    rig.reader.addCard(s);
    rig.reader.setCardCounter(0);
    // status, status, 0003650, 3650 raw, 3650, 3650 gray, status
    std::string r = host.exchange("I 2 73/", 2 + 2 + 4 + 3650 + 4 + 3650 + 2);
    ASSERT_EQ(r.size(), 7314u);
    EXPECT_EQ(r.substr(0, 8), "ENEN3650");
    EXPECT_EQ(r.substr(3658, 4), "3650");
    EXPECT_EQ(r.substr(7312), "EN");
    const std::string raw = r.substr(8, 3650), gray = r.substr(3662, 3650);
    for (int line = 0; line < 73; ++line) {
        for (int c = 0; c < 48; ++c) {
            EXPECT_EQ(u8(gray[line * 50 + c]), s.gray[line][c]) << line << "/" << c;
            EXPECT_LE(std::abs(u8(raw[line * 50 + c]) - s.gray[line][c]), 1);
        }
        EXPECT_EQ(u8(gray[line * 50 + 48]), 15);        // sync mark level
        EXPECT_EQ(u8(gray[line * 50 + 49]), line + 1);  // line number
    }
    EXPECT_EQ(rig.reader.cardCounter(), 1u);
    // The last card again, without feeding one.
    std::string again = host.exchange("I 7/", 2 + 4 + 3650 + 4 + 3650 + 2);
    EXPECT_EQ(again.substr(0, 6), "EN3650");
    EXPECT_TRUE(again.substr(6, 3650) == raw);
    EXPECT_EQ(again.substr(3656, 4), "3650");
    EXPECT_TRUE(again.substr(3660, 3650) == gray);
    EXPECT_EQ(host.exchange("I 3/", 5), std::string("EN\x49"
                                                    "EN",
                                                    5));  // 73 sync marks
    EXPECT_EQ(rig.reader.cardCounter(), 1u);
}

TEST_F(Sensors, AreaReadOfAFaultySheet) {
    rig.reader.addCard(vazsim::blankSheet(73, 2));
    vazsim::Sheet twice = vazsim::blankSheet(73, 9);
    twice.fault = "03";
    rig.reader.addCard(twice);
    EXPECT_EQ(host.exchange("I 2 73/", 7314).size(), 7314u);
    EXPECT_EQ(host.exchange("I 2 73/", 4), "EN03");
    ASSERT_TRUE(rig.reader.lastCard());
    EXPECT_EQ(rig.reader.lastCard()->gray[0][0], 2);  // the double sheet left no data
}

TEST_F(Sensors, CurvesOfTheChosenHeadAndTheSyncTrack) {
    rig.reader.setNoise(0);
    rig.reader.addCard(markedSheet());
    host.exchange("I 2 73/", 7314);
    const size_t samples = (73 + 2) * 24;  // one pitch of paper before and after the lines
    EXPECT_EQ(host.exchange("I 5 05 73/", 4), "ENEN");
    std::string head = host.exchange("I 6 1/", 2 + 4 + samples + 4 + 2);
    ASSERT_EQ(head.size(), 2 + 4 + samples + 4 + 2);
    EXPECT_EQ(head.substr(0, 6), "EN1804");
    std::string curve = head.substr(6, samples);
    for (size_t i = 0; i < samples; ++i) {
        const bool mark = i / 24 == 10 && i % 24 >= 6 && i % 24 < 18;  // line 10's mark window
        if (mark) {
            EXPECT_EQ(u8(curve[i]), 40) << i;
        } else if (i / 24 != 10) {
            EXPECT_EQ(u8(curve[i]), 200) << i;
        }
    }
    std::string sync = host.exchange("I 6 0/", 2 + 4 + 4 + samples + 4 + 2);
    ASSERT_EQ(sync.size(), 2 + 4 + 4 + samples + 4 + 2);
    EXPECT_EQ(sync.substr(0, 10), "EN18040073");
    curve = sync.substr(10, samples);
    // Squared at the mid level, the track shows one mark per line at its centre.
    std::vector<size_t> centres;
    for (size_t i = 0, start = 0; i < samples; ++i) {
        bool dark = u8(curve[i])<120, wasDark = i> 0 && u8(curve[i - 1]) < 120;
        if (dark && !wasDark) start = i;
        if (!dark && wasDark) centres.push_back((start + i) / 2);
    }
    ASSERT_EQ(centres.size(), 73u);
    for (size_t l = 0; l < 73; ++l) EXPECT_EQ(centres[l], (l + 1) * 24 + 12);
}

TEST_F(Sensors, CurveHeadNumbering) {
    rig.reader.setNoise(0);
    vazsim::Sheet s = vazsim::blankSheet(10);
    for (auto& line : s.gray) line[30] = 15;  // channel 31 marked on every line
    rig.reader.addCard(s);
    host.exchange("I 2 10/", 2 + 2 + 4 + 500 + 4 + 500 + 2);
    const size_t n = 12 * 24;
    auto darkest = [&](const std::string& head) {
        EXPECT_EQ(host.exchange("I 5 " + head + " 10/", 4), "ENEN");
        std::string r = host.exchange("I 6 1/", 2 + 4 + n + 4 + 2);
        int m = 255;
        for (size_t i = 6; i < 6 + n && i < r.size(); ++i) m = std::min(m, u8(r[i]));
        return m;
    };
    EXPECT_EQ(darkest("33"), 40);   // 33 names channel 31
    EXPECT_EQ(darkest("31"), 128);  // the D head
    EXPECT_EQ(darkest("32"), 40);   // the S head
    EXPECT_EQ(darkest("30"), 200);
}
