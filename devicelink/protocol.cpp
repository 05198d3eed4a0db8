// The transfer layer, exchange, status parser, send-and-get, handshake,
// identification and the connection logic of VazInit.
#include <cstring>

#include "link_devices.h"
#include "vaz_device.h"

// ---- transfer layer ----------------------------------------------------------

int CVazDevice::SendRaw(const void* bytes, int n) {
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    int result = 0;
    readerSilent = false;  // a new command: its reply is waited for anew
    if (link->kind == LinkKind::Usb) {
        result = link->UsbSend(p, n);
    } else if (link->kind == LinkKind::Serial && link->serial) {
        result = link->SerialSend(p, n);
    } else {
        vazhost::MessageBox(vazstr::kTip, vazstr::kUnknownLink);
        result = 0;
    }
    vazhost::Trace(result, bytes, n);
    return result;
}

int CVazDevice::SendRaw(const char* text) {
    return SendRaw(text, text ? static_cast<int>(strlen(text)) : 0);
}

int CVazDevice::ReceiveRaw(void* dest, int n) {
    unsigned char* d = static_cast<unsigned char*>(dest);
    if (n < 0) n = 0;
    // Whatever the link delivers (or fails to), no byte of an older reply
    // stays in the buffer.
    memset(d, 0, static_cast<size_t>(n) + 1);
    int result = 0;
    if (readerSilent) {
        // An earlier element of this reply did not come: the rest will not
        // either, and waiting for it again would only lengthen the failure.
        result = link->kind == LinkKind::Usb ? CHidDevice::kNothingCame : 0;
    } else if (link->kind == LinkKind::Usb) {  // even an empty element arrives in a report of its own
        result = link->UsbReceive(d, n);
        readerSilent = !link->usb || link->usb->lastReceiveSilent();
    } else if (link->kind == LinkKind::Serial && link->serial) {
        if (n > 0) result = link->SerialReceive(d, n);
        readerSilent = result < n;
    } else {
        vazhost::MessageBox(vazstr::kTip, vazstr::kUnknownLink);
        result = 0;
    }
    vazhost::Trace(result, d, n);
    return result;
}

bool CVazDevice::Fail(const char* code) {
    error.SetCode(code);
    if (strcmp(code, VAZ_CODE_COMMUNICATION) == 0) DrainReply();
    return false;
}

void CVazDevice::DrainReply() {
    if (link->kind == LinkKind::Serial && link->serial) link->serial->DrainBeforeNextWrite();
    if (link->kind == LinkKind::Usb && link->usb) link->usb->DrainBeforeNextSend();
}

bool CVazDevice::ParseStatus(const char* s) {
    const bool digits = s[0] >= '0' && s[0] <= '9' && s[1] >= '0' && s[1] <= '9';
    if (digits) {
        error.SetCode(s);
        return false;
    }
    if (s[0] == 'E' && s[1] == 'N') return true;
    if (s[0] == 'N' && s[1] == 'O') return Fail(VAZ_CODE_NO_CARD);
    error.SetCode(VAZ_CODE_COMMUNICATION);
    if (link->kind == LinkKind::Usb)
        UsbRecovery();
    else
        DrainReply();
    return false;
}

void CVazDevice::UsbRecovery() {
    link->CloseUsbHandle();
    vazhost::SleepMs(vazhost::UsbRecoveryPauseMs());
    link->OpenUsb();  // on failure the link stays a USB one without a device
}

bool CVazDevice::ReceiveStatus() {
    char status[3] = {};
    ReceiveRaw(status, 2);
    return ParseStatus(status);
}

int CVazDevice::ReceiveLengthField(char raw[5]) {
    ReceiveRaw(raw, 4);
    return vazproto::ParseLengthField(raw);
}

int CVazDevice::ReceiveBlockLength() {
    char field[5] = {};
    const int n = ReceiveLengthField(field);
    if (std::strlen(field) <= 2) {
        if (ParseStatus(field)) Fail();
        return -1;
    }
    if (n < 0) Fail();
    return n;
}

bool CVazDevice::Exchange(const void* bytes, int n) {
    stop = false;
    const int64_t t0 = vazhost::NowMs();
    if (stop) return false;
    const bool isRead = n > 0 && static_cast<const char*>(bytes)[0] == 'R';
    const int limit = vazhost::NoCardLimitMs();
    for (;;) {
        error.Reset();
        SendRaw(bytes, n);
        bool ok = ReceiveStatus();
        if (!error.Is(VAZ_CODE_NO_CARD)) return ok;
        if (readMode == 0) return ok;
        if (!isRead) {
            if (readMode == 2) return ok;
            if (vazhost::NowMs() - t0 > limit) return ok;
        }
        if (stop) return ok;
    }
}

bool CVazDevice::Exchange(const char* text) {
    return Exchange(text, static_cast<int>(strlen(text)));
}

// ---- send and get ----------------------------------------------------------------

int CVazDevice::SendAndGet(const char* command, char* buffer, bool* okOut) {
    if (okOut) *okOut = false;
    SendRaw(command);
    if (strcmp(command, "N/") == 0) {
        ReceiveRaw(buffer, 4);
    } else if (strcmp(command, "v/") == 0) {
        if (link->kind == LinkKind::Usb) {
            ReceiveRaw(buffer, 15);
        } else {
            // Byte by byte up to the "/": at most kMaxIdentificationChars are
            // stored, the rest is read and dropped (bounded in count too).
            int stored = 0;
            for (int total = 0;; ++total) {
                unsigned char c[2] = {};
                if (ReceiveRaw(c, 1) <= 0 || total >= 4096) {
                    buffer[stored] = 0;
                    Fail();  // the identification did not come whole
                    return 0;
                }
                if (stored < kMaxIdentificationChars) buffer[stored++] = static_cast<char>(c[0]);
                if (c[0] == '/') break;
            }
            buffer[stored] = 0;
            char skipped[3];
            ReceiveRaw(skipped, 2);
        }
    }
    // The counter is 4 binary bytes: a zero among them does not end it.
    int n = strcmp(command, "N/") == 0 ? 4 : buffer ? static_cast<int>(strlen(buffer)) : 0;
    bool ok = ReceiveStatus();
    if (okOut) *okOut = ok;
    return ok ? n : 0;
}

// ---- handshake -------------------------------------------------------------------

LinkKind CVazDevice::Handshake() {
    if (!Exchange("ONLINE/")) {
        online = false;
        return LinkKind::None;
    }
    char second[3] = {};
    ReceiveRaw(second, 2);
    if (!(second[0] == 'E' && second[1] == 'N')) {
        online = false;
        return LinkKind::None;
    }
    online = true;
    deviceType = 9;
    if (Identify()) {
        char counter[kTextSize] = {};
        GetDevInfo(VAZ_DEV_INFO_COUNTER, counter);
    }
    return link->kind;
}

bool CVazDevice::Identify() {
    char text[kTextSize] = {};
    if (!GetDevInfo(VAZ_DEV_INFO_IDENTIFICATION, text)) return false;
    deviceType = vazproto::DeviceTypeFromIdentification(identification);
    return true;
}

void CVazDevice::SetStop() {
    stop = true;
    error.Reset();
}

// ---- VazInit -------------------------------------------------------------------

int CVazDevice::Init(int mode) {
    vazhost::RefreshTraceSetting();
    vazhost::RefreshHostHooks();
    if (mode < 0) {
        online = false;
        if (link->kind == LinkKind::Usb) link->CloseUsbHandle();
        if (link->kind == LinkKind::Serial) link->SignalSerialShutdown();
        return ToExport(link->kind);
    }
    if (online) {
        int answer =
            vazhost::MessageBox(vazstr::kTip, vazstr::kAlreadyConnected, VAZ_BOX_YESNO, VAZ_ICON_QUESTION);
        if (answer != VAZ_ANSWER_YES) return ToExport(link->kind);
    }
    online = false;  // a failed reconnection leaves the library offline
    if (mode == 0 || mode == 1) {
        if (link->OpenUsb() && Handshake() != LinkKind::None)
            return deviceType * 256 + ToExport(LinkKind::Usb);
    }
    if (mode == 0 || mode == 2) {
        for (int port = 1; port <= 5; ++port) {
            link->serialPortNumber = port;
            if (!link->OpenSerial(port)) continue;
            if (Handshake() != LinkKind::None) return deviceType * 256 + ToExport(LinkKind::Serial);
            link->SignalSerialShutdown();
        }
    }
    vazhost::MessageBox(vazstr::kTip, vazstr::kNotFound);
    return deviceType * 256;
}
