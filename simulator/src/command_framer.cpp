#include "command_framer.h"

namespace vazsim {

void CommandFramer::feedSerial(std::string_view bytes) {
    for (char c : bytes) {
        const char terminator = printMode_() ? '\x04' : '/';
        if (overlong_) {
            overlong_ = c != terminator;  // skip to the end of the over-long command
            continue;
        }
        if (pending_.empty() && c == '\0') continue;  // no command begins with a zero byte
        // A print piece whose own text ends in 0x04 (the host's "\n\x04" when it
        // leaves print mode) is followed at once by the piece terminator: that
        // second 0x04 closes the same piece and gets no answer of its own.
        if (pending_.empty() && c == '\x04' && terminator == '\x04') continue;
        pending_.push_back(c);
        if (c == terminator) {
            std::string command;
            command.swap(pending_);
            onCommand_(command);
        } else if (pending_.size() >= kMaxCommandLength) {
            pending_.clear();
            overlong_ = true;
        }
    }
}

void CommandFramer::feedReport(std::string_view datagram) {
    if (datagram.empty()) return;
    std::string_view payload = datagram.substr(1, kReportPayload);
    // Zero bytes occur inside a command only before its terminator (the print
    // mode sequence 0x1B 0x63 0x00 0x04), so trailing zeros are padding.
    const size_t last = payload.find_last_not_of('\0');
    if (last == std::string_view::npos) return;
    feedSerial(payload.substr(0, last + 1));
}

std::vector<std::string> reportsFor(const std::string& element) {
    std::vector<std::string> out;
    size_t pos = 0;
    do {
        std::string report(kReportSize, '\0');
        const size_t n = std::min(kReportPayload, element.size() - pos);
        element.copy(report.data() + 1, n, pos);
        out.push_back(std::move(report));
        pos += n;
    } while (pos < element.size());
    return out;
}

}  // namespace vazsim
