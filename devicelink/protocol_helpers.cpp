// Pure helpers of the command protocol: digit runs, device type table, USB
// chunking, length fields.
#include <cstring>

#include "vaz_device.h"

namespace vazproto {

int ExtractNumbers(const char* text, int* out, int room, int maxDigits) {
    if (!text) return 0;
    int count = 0, stored = 0;
    const char* p = text;
    while (*p) {
        if (*p < '0' || *p > '9') {
            ++p;
            continue;
        }
        long value = 0;
        int digits = 0;
        while (*p >= '0' && *p <= '9') {
            if (++digits > maxDigits) return -1;
            value = value * 10 + (*p - '0');
            ++p;
        }
        if (stored < room && out) out[stored++] = static_cast<int>(value);
        ++count;
    }
    return count;
}

int DeviceTypeFromIdentification(const char* text) {
    if (!text) return 9;
    int code = 0;
    if (text[0] == 'A' || text[0] == 'a') {
        code = 0x40;
        ++text;
    }
    static const struct {
        const char* name;
        int code;
    } kModels[] = {
        {"R6KTM", 0x11}, {"R6KMT", 0x12}, {"R6KWE", 0x13}, {"KT91E", 0x14},
        {"V8KTM", 0x21}, {"V8KMT", 0x22}, {"V8KWE", 0x23}, {"KT93E", 0x24},
    };
    for (const auto& m : kModels)
        if (strncmp(text, m.name, 5) == 0) return code + m.code;
    auto digits = [&](const char* two) { return text[1] == two[0] && text[1] != 0 && text[2] == two[1]; };
    switch (text[0]) {
        case 'W':
        case 'w':
            if (digits("61")) return code + 0x15;
            if (digits("82")) return code + 0x25;
            return code + 9;
        case 'J':
        case 'j':
        case 'P':
        case 'p':
            if (digits("34")) return code + 0x16;
            if (digits("46")) return code + 0x17;
            if (digits("57") || digits("68")) return code + 0x26;
            if (digits("79")) return code + 0x27;
            return code + 9;
        case 'D':
        case 'd':
        case 'G':
        case 'g':
            if (digits("57")) return code + 0x28;
            return code + 9;
        default:
            return code + 9;
    }
}

std::vector<int> UsbSendChunks(int n) {
    std::vector<int> chunks;
    if (n <= 0) return chunks;
    int k = (n + 63) / 64;
    for (int i = 0; i < k - 1; ++i) chunks.push_back(64);
    chunks.push_back(n - 64 * (k - 1));
    return chunks;
}

int UsbReceiveReports(int n) {
    int k = (n + 63) / 64;
    return k <= 1 ? 1 : k;
}

int ParseLengthField(const char* field) {
    if (!field) return -1;
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        if (field[i] < '0' || field[i] > '9') return -1;
        value = value * 10 + (field[i] - '0');
    }
    return value;
}

}  // namespace vazproto
