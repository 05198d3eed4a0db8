// The waveform's squared sync track and its marks, and the curves' limits.
#include "wave_sync.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Paper (200) and marks (40) alternating in runs of `run` samples, paper first.
std::vector<int> syncTrack(int marks, int run) {
    std::vector<int> v;
    for (int m = 0; m < marks; ++m) {
        v.insert(v.end(), run, 200);
        v.insert(v.end(), run, 40);
    }
    v.insert(v.end(), run, 200);
    return v;
}

TEST(WaveSync, AMarkStillOpenAtTheEndIsNoMark) {
    std::vector<int> squared = {150, 20, 20, 150, 20, 20};
    EXPECT_EQ(wavesync::markCentres(squared), (std::vector<int>{2}));
}

TEST(WaveSync, MarksBeyondTheTwoHundredthAreDropped) {
    const std::vector<int> sync = syncTrack(250, 4);
    std::vector<int> squared(sync.size());
    wavesync::square(sync, wavesync::syncThreshold(sync), squared);
    const std::vector<int> marks = wavesync::markCentres(squared);
    ASSERT_EQ(marks.size(), 200u);
    EXPECT_EQ(marks.back(), 199 * 8 + 6);
}

TEST(WaveSync, ScrollShowsTheFirstMarkAHundredPixelsInOrStartsAtZero) {
    EXPECT_EQ(wavesync::scrollPositionFor({90, 130}), 80);
    EXPECT_EQ(wavesync::scrollPositionFor({}), 0);
}

TEST(WaveCurve, ACurveLongerThanItsBufferIsCutAndReversed) {
    std::vector<int> fetched(12000);
    for (int i = 0; i < 12000; ++i) fetched[static_cast<size_t>(i)] = i % 256;
    std::vector<int> buffer(wavesync::kCurveSamples, -1);
    EXPECT_EQ(wavesync::takeCurve(fetched, 12000, buffer), wavesync::kCurveSamples);
    EXPECT_EQ(buffer[0], 9999 % 256);
    EXPECT_EQ(buffer[9999], 0);
}

TEST(WaveCurve, ANegativeDeliveryKeepsNothing) {
    std::vector<int> fetched(10, 5), buffer(10, -1);
    EXPECT_EQ(wavesync::takeCurve(fetched, -1, buffer), 0);
    EXPECT_EQ(buffer[0], -1);
}

}  // namespace
