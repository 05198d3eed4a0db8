// CVazLink and its devices: CHidDevice (hidraw + virtual HID sockets) and
// CSerialPort (termios).
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "link_devices.h"
#include "vaz_device.h"
#include "vazplatform/codepage.h"

// ---- CHidDevice ----------------------------------------------------------------

namespace {
// The box of a failed USB transfer: the system's text of the error.
void ShowSystemError(int err) {
    std::string text = vazplat::SystemErrorText(err);
    if (text.empty()) {
        char buf[40];
        snprintf(buf, sizeof buf, "Unknown error 0x%0lX", static_cast<unsigned long>(err));
        text = buf;
    }
    vazhost::FrameworkMessageBox(text.c_str());
}
}  // namespace

CHidDevice::CHidDevice() = default;
CHidDevice::~CHidDevice() = default;

namespace {
bool IsReader(const vazplat::HidAttributes& a) {
    return a.vendor == CHidDevice::kReaderIds.vendor && a.product == CHidDevice::kReaderIds.product;
}
}  // namespace

std::unique_ptr<vazplat::HidHandle> CHidDevice::Discover() {
    // The system's hidraw nodes first, then the virtual devices (read now).
    for (const vazplat::HidDeviceInfo& candidate : vazplat::HidDevices(kReaderIds)) {
        const bool listedAsReader = IsReader(candidate.attributes);
        // A virtual device is what its entry says; connecting to another one
        // would only take it from its own host.
        if (candidate.kind == vazplat::HidKind::Virtual && !listedAsReader) continue;
        int err = 0;
        auto h = vazplat::HidHandle::Open(candidate, &err);
        if (!h) {  // cannot be opened: next one
            if (err == EACCES && listedAsReader && candidate.kind == vazplat::HidKind::Hidraw)
                vazhost::Log(
                    "vaz: %s is the reader but permission was denied; install the kit's udev rule "
                    "platform/udev/70-vaz-reader.rules\n",
                    candidate.path.c_str());
            continue;
        }
        vazplat::HidAttributes a;
        if (!h->GetAttributes(&a)) return nullptr;  // attributes unreadable: stop
        if (IsReader(a)) return h;
        // another device: its handle closes here
    }
    return nullptr;
}

bool CHidDevice::Open() {
    device_ = Discover();
    if (!device_) return false;
    path_ = device_->path();
    int in = 65, out = 65;
    if (!device_->GetReportLengths(&in, &out)) in = out = 65;
    auto clamp = [](int v) { return v < 65 ? 65 : (v > 256 ? 256 : v); };
    inputLength_ = clamp(in);
    outputLength_ = clamp(out);
    return true;
}

void CHidDevice::CloseHandle() {
    if (device_) device_->Close();
}

int CHidDevice::WriteReport(const unsigned char* payload, int length) {
    memset(report_, 0, sizeof report_);
    if (length > 64) length = 64;
    if (length > 0) memcpy(report_ + 1, payload, static_cast<size_t>(length));
    if (!HandleValid()) {
        vazhost::FrameworkMessageBox(vazstr::kInvalidWriteHandle);
        return kFailed;
    }
    int err = 0;
    switch (device_->Write(report_, outputLength_, kWaitMs, &err)) {
        case vazplat::HidIo::Done:
            return kWritten;
        case vazplat::HidIo::Timeout:
            return kWriteStillPending;
        case vazplat::HidIo::Gone:
            return kGone;
        case vazplat::HidIo::Error:
            break;
    }
    ShowSystemError(err);
    return kFailed;
}

int CHidDevice::ReadReport(unsigned char* dest, int count) {
    if (count > 64) count = 64;
    reportCame_ = false;
    if (!HandleValid()) {
        vazhost::FrameworkMessageBox(vazstr::kInvalidReadHandle);
        return kFailed;
    }
    memset(report_, 0, sizeof report_);
    int got = 0, err = 0, result = 0;
    const vazplat::HidIo io = device_->Read(report_, inputLength_, kWaitMs, &got, &err);
    reportCame_ = io == vazplat::HidIo::Done;
    switch (io) {
        case vazplat::HidIo::Done:
            result = got;
            break;
        case vazplat::HidIo::Timeout:  // zeros of the cleared buffer
            result = kNothingCame;
            break;
        case vazplat::HidIo::Gone:  // zeros
            result = kGone;
            break;
        case vazplat::HidIo::Error:
            ShowSystemError(err);
            return kFailed;
    }
    if (count > 0) memcpy(dest, report_ + 1, static_cast<size_t>(count));
    return result;
}

void CHidDevice::DiscardWaitingInput() {
    if (!HandleValid()) return;
    unsigned char scratch[256];
    int got = 0, err = 0;
    // Bounded: a device that streams without end does not hold the command back.
    for (int i = 0; i < 1024; ++i)
        if (device_->Read(scratch, inputLength_, 0, &got, &err) != vazplat::HidIo::Done) break;
}

void CHidDevice::DrainLateReports() {
    if (!HandleValid()) return;
    unsigned char scratch[256];
    int got = 0, err = 0;
    for (const int64_t end = vazhost::NowMs() + kDrainCapMs; vazhost::NowMs() < end;)
        if (device_->Read(scratch, inputLength_, kQuietMs, &got, &err) != vazplat::HidIo::Done) break;
}

int CHidDevice::Send(const unsigned char* bytes, int n) {
    if (drainBeforeSend_) {
        drainBeforeSend_ = false;
        DrainLateReports();
    }
    DiscardWaitingInput();
    int result = 0, offset = 0;
    for (int chunk : vazproto::UsbSendChunks(n)) {
        result = WriteReport(bytes + offset, chunk);
        offset += chunk;
        if (result != kWritten) break;  // a device that takes no report takes no later one
    }
    return result;
}

int CHidDevice::Receive(unsigned char* dest, int n) {
    int result = 0;
    if (n <= 64) {
        result = ReadReport(dest, n);
    } else {
        unsigned char payload[64];
        int k = vazproto::UsbReceiveReports(n), stored = 0;
        for (int i = 0; i < k; ++i) {
            result = ReadReport(payload, 64);
            if (result == kFailed) break;  // nothing copied; the box was shown
            int take = n - stored < 64 ? n - stored : 64;
            memcpy(dest + stored, payload, static_cast<size_t>(take));
            stored += take;
            // Gone, or silent for a whole wait: the reader sends no more of
            // this element, and waiting for each further report would hold
            // the caller 2 s a report. The rest stays zero.
            if (!reportCame_) break;
        }
        if (stored < n) memset(dest + stored, 0, static_cast<size_t>(n - stored));
    }
    lastReceiveSilent_ = !reportCame_;
    dest[n] = 0;
    return result;
}

// ---- CSerialPort ---------------------------------------------------------------

CSerialPort::CSerialPort() : writeBuffer(1024) {}

CSerialPort::~CSerialPort() {
    std::lock_guard<std::mutex> guard(lock_);
    port_.Close();
}

void CSerialPort::ErrorBox(const char* step, int error) {
    char text[200];
    snprintf(text, sizeof text, "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n", step,
             vazplat::SystemErrorText(error).c_str(), portNumber);
    vazhost::MessageBox(vazstr::kApplicationError, text, VAZ_BOX_OK, VAZ_ICON_ERROR);
}

bool CSerialPort::Open(int number) {
    while (monitorAlive_) SignalShutdown();  // never the case: no monitor thread
    shutdown_ = false;
    writeBuffer.assign(1024, 0);
    writeBufferSize = 1024;
    portNumber = number;
    std::lock_guard<std::mutex> guard(lock_);
    port_.Close();
    path = vazplat::SerialPortPath(number);
    int err = 0;
    if (!port_.Open(path, &err)) return false;  // absent or in use: silently
    if (const char* step = port_.Configure(kBaud, 'E', 8, 1, &err)) ErrorBox(step, err);  // still used
    port_.Purge();
    return true;
}

bool CSerialPort::Write() {
    std::lock_guard<std::mutex> guard(lock_);
    int err = 0;
    if (drainBeforeWrite_) {
        drainBeforeWrite_ = false;
        unsigned char scratch[1024];
        bool hangup = false;
        for (const int64_t end = vazhost::NowMs() + kTotalCapMs; vazhost::NowMs() < end && !hangup;)
            if (port_.Read(scratch, sizeof scratch, kQuietMs, kQuietMs, &err, &hangup) <= 0) break;
        err = 0;
    }
    port_.PurgeInput();  // unread reply bytes of an earlier command are discarded
    int n = bytesToWrite;
    if (port_.Write(writeBuffer.data(), n, TotalMs(n), &err) >= 0) return true;
    if (err != EIO) ErrorBox("WriteFile()", err);
    return false;
}

int CSerialPort::Read(unsigned char* dest, int n) {
    std::lock_guard<std::mutex> guard(lock_);
    int err = 0;
    bool hangup = false;
    int got = port_.Read(dest, n, kIntervalMs, TotalMs(n), &err, &hangup);
    if (err != 0) ErrorBox("ReadFile()", err);
    return got;
}

// ---- CVazLink -------------------------------------------------------------------

CVazLink::CVazLink() = default;
CVazLink::~CVazLink() = default;

bool CVazLink::OpenUsb() {
    usb = std::make_unique<CHidDevice>();  // the previous one (and its handle) goes
    if (!usb->Open()) {
        usb.reset();
        return false;
    }
    kind = LinkKind::Usb;
    return true;
}

void CVazLink::CloseUsbHandle() {
    if (usb) usb->CloseHandle();
}

bool CVazLink::OpenSerial(int number) {
    if (serial) {
        serial->SignalShutdown();
        serial.reset();
    }
    auto port = std::make_unique<CSerialPort>();
    if (!port->Open(number)) return false;
    serial = std::move(port);
    kind = LinkKind::Serial;
    return true;
}

void CVazLink::SignalSerialShutdown() {
    if (serial) serial->SignalShutdown();
}

int CVazLink::UsbSend(const unsigned char* bytes, int n) {
    if (!usb) {  // a failed recovery left no device: as an invalid handle
        vazhost::FrameworkMessageBox(vazstr::kInvalidWriteHandle);
        return CHidDevice::kFailed;
    }
    return usb->Send(bytes, n);
}

int CVazLink::UsbReceive(unsigned char* dest, int n) {
    if (!usb) {
        vazhost::FrameworkMessageBox(vazstr::kInvalidReadHandle);
        memset(dest, 0, static_cast<size_t>(n) + 1);
        return CHidDevice::kFailed;
    }
    return usb->Receive(dest, n);
}

int CVazLink::SerialSend(const unsigned char* bytes, int n) {
    if (n < 0) n = 0;
    if (n > static_cast<int>(serial->writeBuffer.size())) {
        serial->writeBuffer.resize(static_cast<size_t>(n));
        serial->writeBufferSize = n;
    }
    if (n > 0) memcpy(serial->writeBuffer.data(), bytes, static_cast<size_t>(n));
    serial->bytesToWrite = n;
    return serial->Write() ? 1 : -1;
}

int CVazLink::SerialReceive(unsigned char* dest, int n) {
    return serial->Read(dest, n);
}
