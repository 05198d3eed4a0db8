// The line test's bar chart: one head's gray level on every line of the
// last card, 15 pixels a line, scrolled horizontally a line at a time.
#pragma once

#include <QImage>
#include <QRect>
#include <array>

struct TestDataRecord;

namespace linechart {

constexpr int kMaxLines = 1024;  // bars the form keeps
constexpr int kColumnWidth = 15;
constexpr int kLevels = 16;

using LineValues = std::array<int, kMaxLines>;

// Where the chart's parts lie in the frame's client rectangle.
struct Geometry {
    int left, top, right, bottom;
    int x0;              // vertical axis
    int yt;              // top of the axes
    int xr;              // right end of the horizontal axis
    int yb;              // horizontal axis
    int visibleColumns;  // bars that fit between the axes' ends
    int levelHeight;     // pixels per gray level
};
Geometry geometryFor(const QRect& client);

// The scroll bar's maximum: the lines that do not fit, 0 when all do.
int scrollMaximum(int lineCount, int visibleColumns);

// The channel index (0 .. valuesPerLine - 1) of a head number as typed, or
// -1 when the text is no head number.
int channelFromHeadText(const QString& text, int valuesPerLine);

// One head's levels along the card: the first line delivered goes to the
// right end (values[n - 1 - L] = level of line L), as in the gray table.
// Lines beyond what the buffer holds or the form keeps are left out.
void fillLineValues(const TestDataRecord& record, int channel, LineValues& values);

enum class Scroll { LineLeft, LineRight, ThumbPosition, Other };
// The first visible line after a scroll request; `thumb` is where the
// thumb was let go.
int scrollTarget(Scroll request, int position, int maximum, int thumb);

// Draws the chart of `lineCount` bars from `firstLine` on into `picture`
// (the frame's client area).
void draw(QImage& picture, const LineValues& values, int lineCount, int firstLine);

}  // namespace linechart
