#include "reader_identity.h"

#include <algorithm>
#include <vector>

#include "device_table.h"
#include "pendra_app.h"

namespace readerinfo {

std::uint32_t cardCounter(const char* reply, int n) {
    std::uint32_t value = 0;
    // Bytes past the fourth weigh 256^4 or more and vanish in 32 bits.
    for (int i = 0; i < n && i < 4; ++i)
        value |= std::uint32_t(static_cast<unsigned char>(reply[i])) << (8 * i);
    return value;
}

// The reader decides the reply length, so the buffers take the longest reply
// the library can deliver.
std::optional<std::uint32_t> readCardCounter(const DeviceFunctionTable& device) {
    std::vector<char> buffer(VAZ_REPLY_SIZE, 0);
    const int n = device.sendGet("N/", buffer.data());
    if (n <= 0) return std::nullopt;
    return cardCounter(buffer.data(), std::min<int>(n, int(VAZ_REPLY_SIZE) - 1));
}

std::optional<QString> readIdentification(const DeviceFunctionTable& device) {
    std::vector<char> buffer(VAZ_REPLY_SIZE, 0);
    if (device.sendGet("v/", buffer.data()) == 0) return std::nullopt;
    buffer.back() = 0;
    QString text = CPendraApp::ToWide(buffer.data());
    text.chop(1);
    return text;
}

}  // namespace readerinfo
