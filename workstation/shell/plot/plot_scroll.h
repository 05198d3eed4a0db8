#pragma once

// Horizontal scroll state of a plot window, in the window system's terms: a range, a page
// size and a position. The last reachable position is max - page + 1 (max itself without a
// page), so a picture of width W with range 0 .. W + page - client width ends flush right.
struct PlotScrollInfo {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;

    int lastPos() const {
        const int last = page > 0 ? max - page + 1 : max;
        return last < min ? min : last;
    }
    int clamp(int p) const { return p < min ? min : (p > lastPos() ? lastPos() : p); }
};

enum class PlotScrollRequest { LineLeft, LineRight, PageLeft, PageRight, ThumbTrack, ThumbPosition, Other };

// The position a scroll request leads to: lines move by lineStep, pages by the page size, thumb
// tracking takes trackPos; the final thumb position and all other requests keep the position.
inline int plotScrollTarget(const PlotScrollInfo& s, PlotScrollRequest req, int trackPos, int lineStep) {
    long long p = s.pos;
    switch (req) {
        case PlotScrollRequest::LineLeft:
            p -= lineStep;
            break;
        case PlotScrollRequest::LineRight:
            p += lineStep;
            break;
        case PlotScrollRequest::PageLeft:
            p -= s.page;
            break;
        case PlotScrollRequest::PageRight:
            p += s.page;
            break;
        case PlotScrollRequest::ThumbTrack:
            p = trackPos;
            break;
        default:
            break;
    }
    if (p < s.min) return s.min;
    if (p > s.lastPos()) return s.lastPos();
    return static_cast<int>(p);
}
