#include "wave_sync.h"

#include <algorithm>

namespace wavesync {

int readerHead(int headNumber) {
    if (headNumber <= 0) return 1;
    return headNumber >= 31 ? headNumber + 2 : headNumber;
}

int channelCurveArgument(int headNumber) {
    return headNumber <= 0 ? 0 : 1;
}

int takeCurve(std::span<const int> fetched, int delivered, std::span<int> buffer) {
    const int n = std::clamp(delivered, 0, static_cast<int>(std::min(fetched.size(), buffer.size())));
    std::reverse_copy(fetched.begin(), fetched.begin() + n, buffer.begin());
    return n;
}

int syncThreshold(std::span<const int> sync) {
    int largest = 0, smallest = 255;
    for (int v : sync) {
        largest = std::max(largest, v);
        smallest = std::min(smallest, v);
    }
    return (largest + smallest) / 2;
}

void square(std::span<const int> sync, int threshold, std::span<int> out) {
    const size_t n = std::min(sync.size(), out.size());
    for (size_t i = 0; i < n; ++i) out[i] = sync[i] > threshold ? kSquaredHigh : kSquaredLow;
}

std::vector<int> markCentres(std::span<const int> squared) {
    std::vector<int> marks;
    int start = -1;
    for (int i = 0; i < static_cast<int>(squared.size()) && static_cast<int>(marks.size()) < kMaxMarks; ++i) {
        const int v = squared[static_cast<size_t>(i)];
        if (v == kSquaredLow && start < 0) start = i;
        if (v == kSquaredHigh && start >= 0) {
            marks.push_back((start + i) / 2);
            start = -1;
        }
    }
    return marks;
}

int scrollPositionFor(const std::vector<int>& marks) {
    return marks.empty() ? 0 : 2 * marks.front() - kFirstMarkIndent;
}

}  // namespace wavesync
