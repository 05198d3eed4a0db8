// Inner state of the virtual reader, shared by the public members
// (virtual_reader.cpp) and the command handlers (reader_commands.cpp).
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sensor_model.h"
#include "update_mode.h"
#include "vazsim/virtual_reader.h"

namespace vazsim {

// One reply element before faults are applied; length fields are marked so
// that a LieLength fault can change what they announce.
struct Piece {
    std::string bytes;
    int lengthOf = -1;  // >= 0: this is a 4-digit length field announcing that many bytes
};
using Reply = std::vector<Piece>;

struct FormatRefusal {
    std::string prefix;
    int index = -1;
    std::string code;
};

struct ArmedFault {
    std::string prefix;
    Fault fault;
};

struct VirtualReader::State {
    mutable std::mutex mutex;

    std::string model = "R6KTM10034721";
    uint32_t counter = 10000;
    bool secondStatus = true;
    bool printMode = false;
    int inputDelayMs = 0;
    bool wireSpeed = false;
    std::string printed;  // text received in print mode
    std::string printSettings = "NO 00001 SC 0";

    std::vector<ArmedFault> faults;

    // Format download.
    bool downloading = false;
    bool downloadRefused = false;
    std::string refusedCode;
    std::vector<std::string> pendingFormat;
    std::vector<std::string> format;
    bool hasFormat = false;
    std::vector<FormatRefusal> refusals;

    // Cards.
    std::deque<Sheet> hopper;
    std::optional<Sheet> lastCard;
    int halfLine = 0;  // paper position under the heads, moved by "T" commands

    // Sensors.
    SensorModel sensors;
    int curveHead = 2;  // "I 5": index into the I 4 layout (channel 1)

    UpdateMode update;  // update_mode.cpp

    std::vector<TraceEntry> trace;
    std::vector<std::string> commands;
    std::function<void(const TraceEntry&)> listener;

    // reader_commands.cpp: the normal answer to one command (mutex held).
    Reply answer(const std::string& command, Link link);

private:
    Reply answerPrintPiece(const std::string& piece);
    Reply answerDownload(const std::string& command);
    Reply answerRead();
    Reply answerBlockRead(const std::string& command, const std::vector<long>& numbers);
    Reply answerSupplement();
    Reply answerTest(const std::vector<long>& numbers);
    Reply answerPrintSettings(const std::string& command);
    Reply answerUpdateStart();                              // update_mode.cpp
    Reply answerVersionWrite(const std::string& command);  // update_mode.cpp
    bool downloadStart(const std::string& command) const;
    std::optional<Sheet> feedSheet(std::string& status);
};

// Decimal digit runs of a command, in order (at most `room`, runs of up to 9 digits).
std::vector<long> extractNumbers(const std::string& text, size_t room = 8);
// Four ASCII digits.
std::string lengthField(size_t n);

}  // namespace vazsim
