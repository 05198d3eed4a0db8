#include "sensor_model.h"

#include <algorithm>

namespace vazsim {

int headIndexFromNumber(int number) {
    if (number >= 1 && number <= 30) return 1 + number;  // channel n sits at index n + 1
    if (number == 31) return kHeadD;
    if (number == 32) return kHeadS;
    if (number >= 33 && number <= 50) return number - 1;  // channel n - 2
    return -1;
}

SensorModel::SensorModel(uint32_t seed) {
    reseed(seed);
}

void SensorModel::reseed(uint32_t seed) {
    rng_.seed(seed);
    // Heads differ a little in sensitivity, as real ones do; fixed per seed.
    for (int i = 0; i < kHeadsPerSide; ++i) {
        offsetA_[i] = static_cast<int>(rng_() % 13) - 6;
        offsetB_[i] = static_cast<int>(rng_() % 13) - 6;
    }
    for (int c = 0; c < kChannels; ++c) grayOffset_[c] = static_cast<int>(rng_() % 3) - 1;
}

int SensorModel::jitter(int headIndex) {
    int a = headIndex == unsteadyHead_ ? unsteadyAmplitude_ : noise_;
    if (a <= 0) return 0;
    return static_cast<int>(rng_() % static_cast<uint32_t>(2 * a + 1)) - a;
}

static int rawFromGray(int level) {
    return kPaperValue - level * (kPaperValue - kMarkValue) / 15;
}

std::string SensorModel::instantValues(const Sheet* card, int halfLine) {
    std::string out(2 * kHeadsPerSide, '\0');
    const GrayLine* line = nullptr;
    bool onMark = false;
    if (card && !card->gray.empty()) {
        int index = std::clamp(halfLine / 2, 0, static_cast<int>(card->gray.size()) - 1);
        line = &card->gray[static_cast<size_t>(index)];
        onMark = halfLine % 2 == 0;
    }
    for (int side = 0; side < 2; ++side) {
        const int* offset = side == 0 ? offsetA_ : offsetB_;
        for (int i = 0; i < kHeadsPerSide; ++i) {
            int v;
            if (i == kHeadD)
                v = 128;  // one sheet of paper between the double-sheet heads
            else if (i == kHeadS)
                v = onMark ? kMarkValue : kPaperValue;
            else
                v = line && onMark ? rawFromGray((*line)[static_cast<size_t>(i - 2)]) : kPaperValue;
            v += offset[i] + jitter(side * kHeadsPerSide + i);
            out[static_cast<size_t>(side * kHeadsPerSide + i)] = static_cast<char>(clampByte(v));
        }
    }
    return out;
}

std::string SensorModel::grayBlock(const Sheet& card) const {
    std::string out;
    out.reserve(card.gray.size() * 50);
    for (size_t l = 0; l < card.gray.size(); ++l) {
        for (uint8_t g : card.gray[l]) out.push_back(static_cast<char>(g));
        out.push_back(static_cast<char>(kSyncLevel));
        out.push_back(static_cast<char>((l + 1) & 0xFF));
    }
    return out;
}

std::string SensorModel::rawBlock(const Sheet& card) const {
    std::string out = grayBlock(card);
    for (size_t l = 0; l < card.gray.size(); ++l)
        for (int c = 0; c < kChannels; ++c) {
            char& b = out[l * 50 + static_cast<size_t>(c)];
            b = static_cast<char>(std::clamp(static_cast<uint8_t>(b) + grayOffset_[c], 0, 15));
        }
    return out;
}

// The sheet passes the heads lead-in first: one pitch of paper, then each line
// with its mark in the middle half of the line's pitch, then one pitch of paper.
std::string SensorModel::curve(const Sheet& card, int headIndex) {
    const int pitch = card.pitch;
    const int lines = static_cast<int>(card.gray.size());
    std::string out(static_cast<size_t>((lines + 2) * pitch), '\0');
    for (int s = 0; s < static_cast<int>(out.size()); ++s) {
        int v = kPaperValue;
        int line = s / pitch - 1;
        int pos = s % pitch;
        if (line >= 0 && line < lines) {
            int level;
            if (headIndex == kHeadS)
                level = kSyncLevel;
            else if (headIndex == kHeadD)
                level = -1;
            else
                level = card.gray[static_cast<size_t>(line)][static_cast<size_t>(headIndex - 2)];
            if (level < 0) {
                v = 128;
            } else {
                // Full mark on [pitch/4, 3*pitch/4), a one-sample half-way edge on each side.
                int lo = pitch / 4, hi = 3 * pitch / 4;
                int full = rawFromGray(level);
                if (pos >= lo && pos < hi)
                    v = full;
                else if (pos == lo - 1 || pos == hi)
                    v = (full + kPaperValue) / 2;
            }
        }
        out[static_cast<size_t>(s)] = static_cast<char>(clampByte(v + jitter(headIndex)));
    }
    return out;
}

std::string SensorModel::headCurve(const Sheet& card, int headIndex) {
    return curve(card, headIndex);
}
std::string SensorModel::syncCurve(const Sheet& card) {
    return curve(card, kHeadS);
}

}  // namespace vazsim
