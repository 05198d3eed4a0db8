// Where the photoelectric head sits, judged from the gray table of a card:
// the levels of four neighbouring lines (columns 12 to 15 and 18 to 21) on
// channels 1 to 41 rise or fall across the group when the head is off
// centre.
#pragma once

class CGridCtrl;

struct HeadPosition {
    int up = 0, down = 0, upDownSum = 0;        // columns 12 to 15
    int right = 0, left = 0, leftRightSum = 0;  // columns 18 to 21

    // String ids of the verdicts: 151 too high, 152 too low, 156 fine;
    // 154 too far right, 153 too far left, 155 fine.
    int upDownVerdict() const;
    int leftRightVerdict() const;
};

// Reads the levels back from the table as its cells show them ("%02X"); a
// cell the table lacks, or an empty one, counts as 0.
HeadPosition analyseHeadPosition(const CGridCtrl& grid);
