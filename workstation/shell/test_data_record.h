// The test data record shared by the gray, line, consistency and waveform
// tests: the gray levels of the last card fetched (FetchGrayData in
// readertests/gray_fetch.h sizes and fills it).
#pragma once

#include <vector>

struct TestDataRecord {
    // Values a line occupies in the buffer: line i holds elements 50 i to
    // 50 i + 49, the first 48 of them channels 1 to 48.
    static constexpr int kLineStride = 50;
    // The most values one block can carry: its length field has four digits.
    static constexpr int kMaxBlockValues = 9999;

    int lineCount = 0;       // lines in the buffer; before a fetch, the lines asked for
    int valuesPerLine = 48;  // channel values used per line
    std::vector<int> gray;   // at least lineCount x 50 values once fetched, empty otherwise
    std::vector<int> raw;    // the spare buffer: freed with the gray buffer, never filled

    // The value of channel `channel` (0 = channel 1) on line `line`; 0 outside the buffer.
    int value(int line, int channel) const {
        const long i = long(line) * kLineStride + channel;
        return line >= 0 && channel >= 0 && i < long(gray.size()) ? gray[size_t(i)] : 0;
    }
};
