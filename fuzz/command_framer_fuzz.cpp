// The virtual reader's command framer: bytes from the host, cut anywhere,
// fed over the serial path or as HID reports. Every command ends with its
// terminator and is never longer than the framer's bound; feeding the
// same bytes in other pieces gives the same commands.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "command_framer.h"
#include "fuzz_check.h"

namespace {

std::vector<std::string> frame(std::string_view bytes, size_t piece, bool print) {
    std::vector<std::string> out;
    vazsim::CommandFramer f([print] { return print; }, [&out](const std::string& c) { out.push_back(c); });
    for (size_t pos = 0; pos < bytes.size(); pos += piece) f.feedSerial(bytes.substr(pos, piece));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const bool print = data[0] & 1;
    const size_t piece = data[1] % 70 + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    const char terminator = print ? '\x04' : '/';

    const std::vector<std::string> whole = frame(bytes, bytes.size() + 1, print);
    for (const std::string& c : whole) {
        FUZZ_CHECK(!c.empty() && c.back() == terminator);
        FUZZ_CHECK(c.size() <= vazsim::kMaxCommandLength);
    }
    FUZZ_CHECK(frame(bytes, piece, print) == whole);

    // As HID reports: each piece in a zero-padded report, the way the host
    // sends a command (padding belongs to no command).
    std::vector<std::string> reported;
    vazsim::CommandFramer f([print] { return print; }, [&](const std::string& c) { reported.push_back(c); });
    for (size_t pos = 0; pos < bytes.size(); pos += vazsim::kReportPayload)
        for (const std::string& report : vazsim::reportsFor(std::string(bytes.substr(pos, vazsim::kReportPayload)))) {
            FUZZ_CHECK(report.size() == vazsim::kReportSize);
            f.feedReport(report);
        }
    for (const std::string& c : reported) FUZZ_CHECK(!c.empty() && c.back() == terminator);
    return 0;
}
