// Format-file parser: turns the bytes of a format file into the list of
// reader commands the format download sends, with the treatment each one
// gets. Pure function, no device involved.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vaz::format {

// Longest command (including its final "/") the download sends. A longer one
// is reported as Overlong instead of being cut.
inline constexpr std::size_t kMaxCommandLength = 1023;

// Short "F" commands (this length or less, including "/") are dropped.
inline constexpr std::size_t kShortFLength = 20;

enum class Kind {
    FLine,     // "f": sets the f-line flag, numbers p1..p5 kept
    TLine,     // "T": sets the T-line flag
    LLine,     // "L": sent as written, flags untouched
    LongF,     // "F" longer than kShortFLength: sent as written, flags untouched
    Ordinary,  // anything else: clears the f-line flag
    Overlong,  // longer than kMaxCommandLength: refused, never sent
};

struct Command {
    Kind kind = Kind::Ordinary;
    std::string text;             // as written in the file, up to and including "/"
    std::string toSend;           // what goes to the reader (the f-line may be rebuilt)
    std::array<int, 5> p{};       // f-line numbers (0 where the line has fewer)
    int numberCount = 0;          // digit runs found on an f-line (-1: a run over 5 digits)
};

// Parses a whole format file. Short "F" commands and comments produce no
// entry; an unterminated command at the end of the file is not a command.
std::vector<Command> Parse(std::string_view file);

}  // namespace vaz::format
