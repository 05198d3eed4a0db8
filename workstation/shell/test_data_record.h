// The test data record shared by the gray, line, consistency and waveform
// tests. The data fetch of the gray test sizes and fills its buffers.
#pragma once

#include <vector>

struct TestDataRecord {
    int lineCount = 0;
    int valuesPerLine = 48;
    std::vector<int> gray;  // lineCount x 50 values once fetched
    std::vector<int> raw;
};
