// Settings commands: identification and card counter, read mode, print mode.
#include <cstdio>
#include <cstring>

#include "vaz_device.h"

bool CVazDevice::GetDevInfo(int kind, char* buffer) {
    if (!buffer) return false;
    if (kind == VAZ_DEV_INFO_IDENTIFICATION) {
        buffer[0] = 0;
        if (SendAndGet("v/", buffer) <= 0) return false;
        size_t len = strlen(buffer);
        // Remove the final "/". A text cut short (USB keeps 15 bytes, serial
        // 64 characters) has no "/" at its end and keeps all its characters.
        if (len > 1 && buffer[len - 1] == '/') buffer[--len] = 0;
        snprintf(identification, sizeof identification, "%s", buffer);
        return true;
    }
    if (kind == VAZ_DEV_INFO_COUNTER) {
        unsigned char raw[8] = {};
        bool ok = false;
        SendAndGet("N/", reinterpret_cast<char*>(raw), &ok);
        uint32_t value = ok ? raw[0] + raw[1] * 256u + raw[2] * 65536u + raw[3] * 16777216u : 0;
        snprintf(buffer, 11 + 1, "%u", value);
        snprintf(cardCounter, sizeof cardCounter, "%u", value);
        return true;
    }
    return false;
}

int CVazDevice::SetReadMode(int mode) {
    if (!Exchange(mode == 2 ? "L 1/" : "L 0/")) return -1;
    int old = readMode;
    readMode = mode;
    return old;
}

bool CVazDevice::SetPrintMode(bool on) {
    if (on == printMode) return false;
    if (on) {
        if (SendCommand("t/") <= 0) return false;
        printMode = true;
        static const unsigned char kEnter[4] = {0x1B, 0x63, 0x00, 0x04};
        return Exchange(kEnter, 4);
    }
    return LeavePrintMode();
}

bool CVazDevice::LeavePrintMode() {
    if (SendCommand("\x0A\x04") <= 0) return false;
    if (SendCommand("\x18") <= 0) return false;
    printMode = false;
    return true;
}
