// The gray data fetch: fills the application's test data record with the
// gray levels of a card, for the gray test and the tests that read the
// record after it.
#pragma once

class CPendraApp;

enum class GrayFetch {
    LastCard = 1,  // "I 7/": the card read last
    ReadNow = 2,   // "I 2 NN/": feeds a card now, NN = the record's line count
};

// Returns the number of values delivered (lines = result / 50), or 0 or
// less (negative: the library is offline). A library that delivered nothing has its code
// shown with ShowDeviceError owned by the main window. On failure the
// record's buffers are freed; on success the buffer holds the values and
// room for every line the record's line count names.
//
// The buffer is sized for the largest block a reply can carry, not for the
// lines asked for: "I 7/" sends the whole card whatever its length, and the
// copy-out writes all of it.
int FetchGrayData(CPendraApp& app, GrayFetch mode);
