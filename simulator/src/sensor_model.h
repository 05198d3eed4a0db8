// What the reader's heads measure: instantaneous values, raw and gray blocks
// and curves along a card, all derived from the sheet's gray levels so that
// test data agrees with the deck.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "vazsim/card_deck.h"

namespace vazsim {

// Head numbering of "I 5": 1..30 are channels 1..30, 31 the D head, 32 the
// S (sync) head, 33..50 channels 31..48. Index into the "I 4/" layout.
constexpr int kHeadD = 0;
constexpr int kHeadS = 1;
constexpr int kHeadsPerSide = kChannels + 2;
int headIndexFromNumber(int number);  // -1 when the number names no head

// Raw photo values (0..255) of paper and of a full mark.
constexpr int kPaperValue = 200;
constexpr int kMarkValue = 40;
constexpr int kSyncLevel = 15;  // gray level of a sync mark

class SensorModel {
public:
    explicit SensorModel(uint32_t seed = 1);
    void reseed(uint32_t seed);
    void setNoise(int amplitude) { noise_ = amplitude; }
    void setUnsteadyHead(int index, int amplitude) {
        unsteadyHead_ = index;
        unsteadyAmplitude_ = amplitude;
    }

    // 100 bytes: side A (D, S, channels 1..48) then side B. `card` may be
    // null (blank paper); `halfLine` is the paper position in half lines:
    // even = a line's marks under the heads, odd = paper between two lines.
    // The unsteady head is an index into these 100 bytes.
    std::string instantValues(const Sheet* card, int halfLine);
    // 50 bytes per line: channels 1..48, the sync track level, the line number.
    std::string grayBlock(const Sheet& card) const;  // the deck's levels
    std::string rawBlock(const Sheet& card) const;   // uncalibrated: per-channel sensitivity offset
    // One sample per curve position: (lines + 2) * pitch samples.
    std::string headCurve(const Sheet& card, int headIndex);
    std::string syncCurve(const Sheet& card);

private:
    int jitter(int headIndex);
    int clampByte(int v) const { return v < 0 ? 0 : v > 255 ? 255 : v; }
    std::string curve(const Sheet& card, int headIndex);

    std::mt19937 rng_;
    int noise_ = 1;
    int unsteadyHead_ = -1;
    int unsteadyAmplitude_ = 12;
    int offsetA_[kHeadsPerSide];  // per-head sensitivity in raw units
    int offsetB_[kHeadsPerSide];
    int grayOffset_[kChannels];  // uncalibrated gray offset -1..1
};

}  // namespace vazsim
