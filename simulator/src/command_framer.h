// Cuts the bytes a host wrote into commands and turns reply elements into
// what the link carries. Shared by both transports.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vazsim {

constexpr size_t kReportPayload = 64;
constexpr size_t kReportSize = kReportPayload + 1;  // report ID 0 first
// A command that grows past this without a terminator is line noise: it is
// dropped up to and including its terminator, and gets no answer.
constexpr size_t kMaxCommandLength = 4096;

class CommandFramer {
public:
    // `printMode` is asked before each byte is taken: in print mode a command
    // ends with 0x04, otherwise with "/".
    CommandFramer(std::function<bool()> printMode, std::function<void(const std::string&)> onCommand)
        : printMode_(std::move(printMode)), onCommand_(std::move(onCommand)) {}

    void feedSerial(std::string_view bytes);
    // One HID datagram as received (report ID first). The zero padding after
    // the last byte of a report belongs to no command.
    void feedReport(std::string_view datagram);
    void reset() {
        pending_.clear();
        overlong_ = false;
    }

private:
    std::function<bool()> printMode_;
    std::function<void(const std::string&)> onCommand_;
    std::string pending_;
    bool overlong_ = false;
};

// The 65-byte datagrams that carry one reply element: at least one report,
// more when the element is longer than 64 bytes, zero-padded.
std::vector<std::string> reportsFor(const std::string& element);

}  // namespace vazsim
