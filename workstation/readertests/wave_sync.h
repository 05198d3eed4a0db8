// The waveform test's data: which head the reader is asked for, the curves
// as they arrive, the sync track squared into two levels, and the centre of
// every sync mark.
#pragma once

#include <span>
#include <vector>

namespace wavesync {

constexpr int kCurveSamples = 10000;  // each curve buffer
constexpr int kMaxMarks = 200;
constexpr int kSquaredHigh = 150;      // paper
constexpr int kSquaredLow = 20;        // sync mark
constexpr int kFirstMarkIndent = 100;  // pixels left of the first mark after a read

// The reader's head numbers skip the D and S heads after channel 30: channel
// 31 is head 33. Head number 0 (or none) asks for head 1.
int readerHead(int headNumber);
// "I 6" argument of the channel curve: 0 fetches the sync track instead.
int channelCurveArgument(int headNumber);

// A curve as the library delivered it (`delivered` samples in `fetched`)
// into its buffer, newest sample first, cut to the buffer. Returns the
// samples kept.
int takeCurve(std::span<const int> fetched, int delivered, std::span<int> buffer);

// Midway between the sync track's darkest and lightest sample.
int syncThreshold(std::span<const int> sync);
// Paper above the threshold becomes kSquaredHigh, marks kSquaredLow.
void square(std::span<const int> sync, int threshold, std::span<int> out);
// The centre of every mark of a squared track, up to kMaxMarks; a mark still
// open at the end of the track is not counted.
std::vector<int> markCentres(std::span<const int> squared);

// Scroll position that shows the first mark kFirstMarkIndent pixels from the
// left at 2 pixels a sample; the start when there is no mark.
int scrollPositionFor(const std::vector<int>& marks);

}  // namespace wavesync
