#include "gray_profile.h"

#include "test_data_record.h"

namespace grayprofile {
namespace {
// Indexed by the colour index after it advanced: the first profile gets 1.
const QColor kColours[] = {QColor(0, 0, 0), QColor(0, 0, 255), QColor(255, 0, 255), QColor(128, 64, 0),
                           QColor(255, 128, 0)};
constexpr int kLastIndex = 4;
}  // namespace

bool profileForLine(const TestDataRecord& record, int lineNumber, Profile& profile) {
    const int n = record.lineCount;
    if (lineNumber < 1 || lineNumber > n) return false;
    const size_t first = static_cast<size_t>(kProfileValues) * static_cast<size_t>(n - lineNumber);
    if (first + kProfileValues > record.gray.size()) return false;
    for (int t = 0; t < kProfileValues; ++t)
        profile[static_cast<size_t>(t)] = 1 + (record.gray[first + static_cast<size_t>(t)] & 0xFF);
    return true;
}

QColor ColourCycle::next() {
    index_ = index_ == kLastIndex ? 0 : index_ + 1;
    return kColours[index_];
}

}  // namespace grayprofile
