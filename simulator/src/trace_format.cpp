#include "vazsim/trace_format.h"

#include <cstdio>

namespace vazsim {

std::string formatTraceEntry(const TraceEntry& entry) {
    std::string out = entry.link == Link::Hid ? "hid    " : "serial ";
    out += entry.direction == Direction::HostToReader ? "host>reader " : "reader>host ";
    const std::string& b = entry.bytes;
    size_t shown = b.size();
    if (entry.link == Link::Hid) {
        size_t last = b.find_last_not_of('\0');
        shown = last == std::string::npos ? 1 : last + 1;  // keep the report ID at least
    }
    char num[48];
    std::snprintf(num, sizeof num, "%4zu:", b.size());
    out += num;
    for (size_t i = 0; i < shown; ++i) {
        std::snprintf(num, sizeof num, " %02X", static_cast<unsigned char>(b[i]));
        out += num;
    }
    if (shown < b.size()) {
        std::snprintf(num, sizeof num, " +%zu zero bytes", b.size() - shown);
        out += num;
    }
    out += "  |";
    for (size_t i = 0; i < shown; ++i) {
        unsigned char c = static_cast<unsigned char>(b[i]);
        out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '.';
    }
    out += '|';
    return out;
}

}  // namespace vazsim
