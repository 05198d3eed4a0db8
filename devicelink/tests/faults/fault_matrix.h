// The fault matrix: every export that talks to the reader, against every
// fault the virtual reader plays, on both links. A cell connects to a fresh
// virtual reader, prepares what the export needs (a format, a card), arms
// the fault, calls the export and checks its result, the error code and the
// time it took against the bound of vaz.h ("A silent or unplugged reader"),
// then checks that the next command works. The expected result of every
// cell is written in expectedFor(); docs/fault-matrix.md prints them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vazsim/virtual_reader.h"

namespace faultmatrix {

// The columns of the matrix. Code is one column of many cells: every status
// code the reader may send.
enum class FaultKind {
    NoOnce,          // "NO" once
    NoUntilCard,     // "NO" until a card arrives (200 ms later), in read mode 1
    Code,            // each two-digit status
    Garbled,         // "E" and a zero byte where the status belongs
    Silence,         // no answer
    StaleBytes,      // unrequested bytes wait on the link before the command
    LengthLonger,    // a length field announces 100 bytes more than follow
    LengthShorter,   // a length field announces 40 bytes fewer than follow
    SilentMidReply,  // the first byte of the answer, then silence
    UnplugMidReply,  // the first byte of the answer, then the link closes
};

struct Fault {
    FaultKind kind;
    std::string code;  // FaultKind::Code
};

// The faults of every column; the Code column holds the codes 01..23 and 31
// (a code the library has no text for).
std::vector<Fault> AllFaults();
const char* ColumnName(FaultKind kind);
std::string CellName(const Fault& fault);

// One export as a host calls it. `run` returns the export's result.
struct Operation {
    std::string name;    // as the table shows it: VazS "R/"
    std::string prefix;  // the command the fault is put on
    // The reply of `prefix` carries a length field (a lying one applies).
    bool lengthField = false;
    // The reply begins with a status. When it begins with data (a text, a
    // counter, a length field), a status sent in its place is read as that
    // data and the status at the reply's end is missing: the code is 18.
    bool statusFirst = true;
    // A status "NO" is retried in read mode 1 (the command goes through the
    // exchange); false for replies read without it ("X 2/").
    bool retriedOnNoCard = true;
    int okResult = 1;    // the reader answered normally
    int failResult = 0;  // the export's failure value
    // Pause of the command itself on top of the silent-reader bound ("J": 400 ms).
    double ownPauseS = 0;
    bool isInit = false;  // VazInit: the bound of one candidate; offline after a failure
    // VazSetReadMode: the result is the mode before (1 in the NoUntilCard column).
    bool answersPreviousMode = false;
    // The reader enters print mode on `prefix`: when its answer is cut, the
    // reader is in print mode and the library is not, so the next command
    // (not a print piece) gets no answer.
    bool entersPrintMode = false;
    // Cells whose outcome depends on the bytes a shortened block leaves to
    // be read as the status: their expected result and code, per link.
    struct Misread {
        int result;
        std::string code;
    };
    std::optional<Misread> shorterSerial, shorterUsb;
    std::function<void(vazsim::VirtualReader&)> setup;
    std::function<int()> run;
};

std::vector<Operation> AllOperations();

// What a cell must end with. applies = false: the fault cannot reach this
// export (a lying length field on a reply without one); such cells are not
// counted.
struct Expected {
    bool applies = true;
    int result = 0;
    std::string code;  // after the export, "00" = none
    double boundS = 0;
    bool nextWorks = true;  // the next command ("K 1/") is answered "EN"
};
Expected ExpectedFor(const Operation& op, const Fault& fault, bool usb);

struct Outcome {
    int result = 0;
    std::string code;
    double seconds = 0;
    bool nextWorks = false;
    bool passed = false;
    std::string why;  // what failed, "" when passed
};

// Runs one cell on the serial link (usb = false) or USB. The library must be
// loaded; the cell leaves it offline.
Outcome RunCell(const Operation& op, const Fault& fault, bool usb);

struct Cell {
    const Operation* op;
    Fault fault;
    bool usb;
};
// Runs the cells, up to `jobs` at a time, each in a child process of its
// own (the library keeps one device context per process, and most of a
// cell's time is spent waiting on a reader that stays silent). The
// outcomes in the order of `cells`.
std::vector<Outcome> RunCells(const std::vector<Cell>& cells, int jobs);

}  // namespace faultmatrix
