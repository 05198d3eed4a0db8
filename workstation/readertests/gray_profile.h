// The consistency test's profiles: one line of the last gray read across
// the 48 channels, in a colour that changes with every profile drawn.
#pragma once

#include <QColor>
#include <array>

struct TestDataRecord;

namespace grayprofile {

constexpr int kProfileValues = 50;
using Profile = std::array<int, kProfileValues>;

// Line `lineNumber` (1 = the last line read, as the gray table's column
// headings count) as levels + 1, so level 0 sits on the gray window's first
// grid line. False when the record holds no such line.
bool profileForLine(const TestDataRecord& record, int lineNumber, Profile& profile);

// Blue, magenta, brown, orange, black, then blue again.
class ColourCycle {
public:
    QColor next();
    int index() const { return index_; }

private:
    int index_ = 0;
};

}  // namespace grayprofile
