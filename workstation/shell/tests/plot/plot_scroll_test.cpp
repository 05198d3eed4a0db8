#include "plot_scroll.h"

#include <gtest/gtest.h>

namespace {

TEST(PlotScroll, RequestsMoveAndClampToTheReachableRange) {
    // The waveform form's setup for 1200 samples: range 0 .. 2400, page 300.
    PlotScrollInfo s{0, 2400, 300, 0};
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::LineLeft, 0, 50), 0);
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::PageLeft, 0, 50), 0);
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::LineRight, 0, 50), 50);
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::LineRight, 0, 5), 5);
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::PageRight, 0, 50), 300);
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::ThumbTrack, 777, 50), 777);
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::ThumbTrack, -5, 50), 0);
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::ThumbTrack, 99999, 50), 2101);
    s.pos = 2090;
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::LineRight, 0, 50), 2101);
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::ThumbPosition, 5, 50), 2090);
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::Other, 5, 50), 2090);
    EXPECT_EQ(plotScrollTarget(s, PlotScrollRequest::PageLeft, 0, 50), 1790);
}

TEST(PlotScroll, DegenerateRanges) {
    PlotScrollInfo none;  // nothing to scroll
    EXPECT_EQ(plotScrollTarget(none, PlotScrollRequest::LineRight, 0, 50), 0);
    PlotScrollInfo noPage{0, 100, 0, 90};
    EXPECT_EQ(noPage.lastPos(), 100);
    EXPECT_EQ(plotScrollTarget(noPage, PlotScrollRequest::LineRight, 0, 50), 100);
    EXPECT_EQ(plotScrollTarget(noPage, PlotScrollRequest::PageRight, 0, 50), 90);
    PlotScrollInfo pageWiderThanRange{0, 100, 500, 0};
    EXPECT_EQ(pageWiderThanRange.lastPos(), 0);
    EXPECT_EQ(plotScrollTarget(pageWiderThanRange, PlotScrollRequest::ThumbTrack, 40, 50), 0);
    PlotScrollInfo huge{0, 2000000000, 0, 1999999990};
    EXPECT_EQ(plotScrollTarget(huge, PlotScrollRequest::LineRight, 0, 50), 2000000000);
}

}  // namespace
