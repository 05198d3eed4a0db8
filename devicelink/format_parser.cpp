#include "format_parser.h"

#include <cstdio>

#include "vaz_device.h"

namespace vaz::format {
namespace {

bool IsSeparator(unsigned char c) { return c == ' ' || c == '\r' || c == '\n' || c == '"' || c == 0xFF; }

// Skips to the next line feed (which stays unread) or the end of the file.
std::size_t SkipToLineEnd(std::string_view file, std::size_t i) {
    while (i < file.size() && file[i] != '\n') ++i;
    return i;
}

Command Classify(std::string text) {
    Command cmd;
    cmd.text = std::move(text);
    cmd.toSend = cmd.text;
    if (cmd.text.size() > kMaxCommandLength) {
        cmd.kind = Kind::Overlong;
        cmd.toSend.clear();
        return cmd;
    }
    switch (cmd.text[0]) {
        case 'f': {
            cmd.kind = Kind::FLine;
            cmd.numberCount = vazproto::ExtractNumbers(cmd.text.c_str(), cmd.p.data(), 5, 5);
            // Only a complete f-line is rebuilt; rebuilding a short one would
            // invent numbers the file never had.
            if (cmd.numberCount >= 5 && cmd.p[1] >= cmd.p[2]) {
                char buf[64];
                std::snprintf(buf, sizeof buf, "f %d %03d %03d %02d %02d/", cmd.p[0], cmd.p[2], cmd.p[1],
                              cmd.p[3], cmd.p[4]);
                cmd.toSend = buf;
            }
            break;
        }
        case 'T': cmd.kind = Kind::TLine; break;
        case 'L': cmd.kind = Kind::LLine; break;
        case 'F': cmd.kind = Kind::LongF; break;  // short ones never get here
        default: cmd.kind = Kind::Ordinary; break;
    }
    return cmd;
}

}  // namespace

std::vector<Command> Parse(std::string_view file) {
    std::vector<Command> commands;
    std::string current;
    bool inCommand = false;
    std::size_t i = 0;
    while (i < file.size()) {
        const unsigned char c = static_cast<unsigned char>(file[i]);
        if (c == ';') {
            // The comment ends before the line feed: between commands it is
            // skipped anyway, inside a command it is a line break like any other.
            i = SkipToLineEnd(file, i);
            continue;
        }
        if (!inCommand) {
            if (IsSeparator(c)) {
                ++i;
                continue;
            }
            inCommand = true;
            current.clear();
        }
        current.push_back(static_cast<char>(c));
        ++i;
        if (c != '/') continue;
        inCommand = false;
        if (current[0] == 'F' && current.size() <= kShortFLength) {
            i = SkipToLineEnd(file, i);
            continue;
        }
        commands.push_back(Classify(std::move(current)));
        current = std::string();
    }
    return commands;
}

}  // namespace vaz::format
