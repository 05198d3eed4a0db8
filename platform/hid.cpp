// HidHandle: the transfers common to both kinds of HID device, and discovery.
#include "vazplatform/hid.h"

#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include "hid_backend.h"

namespace vazplat {

namespace {

bool IsGoneError(int e) {
    return e == ECONNRESET || e == EPIPE || e == EIO || e == ENODEV || e == ENOTCONN || e == ESHUTDOWN ||
           e == ENXIO;
}

// Waits for `events` on fd within timeoutMs. Done: ready (revents set);
// Timeout; Error (errno in *error).
HidIo WaitFor(int fd, short events, int timeoutMs, short* revents, int* error) {
    pollfd p{fd, events, 0};
    int r;
    do r = ::poll(&p, 1, timeoutMs);
    while (r < 0 && errno == EINTR);
    if (r == 0) return HidIo::Timeout;
    if (r < 0) {
        if (error) *error = errno;
        return HidIo::Error;
    }
    *revents = p.revents;
    return HidIo::Done;
}

// The result of a failed read, recv, write or send.
HidIo TransferError(int e, int* error) {
    if (IsGoneError(e)) return HidIo::Gone;
    if (e == EAGAIN) return HidIo::Timeout;
    if (error) *error = e;
    return HidIo::Error;
}

}  // namespace

HidBackend::~HidBackend() {
    Close();
}

void HidBackend::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::vector<HidDeviceInfo> HidDevices(const HidAttributes& virtualDefaults) {
    std::vector<HidDeviceInfo> all = HidrawNodes();
    for (HidDeviceInfo& d : VirtualHidDevicesFromEnvironment(virtualDefaults)) all.push_back(std::move(d));
    return all;
}

HidHandle::HidHandle(HidKind kind, std::string path, std::unique_ptr<HidBackend> backend)
    : kind_(kind), path_(std::move(path)), backend_(std::move(backend)) {}

HidHandle::~HidHandle() = default;

std::unique_ptr<HidHandle> HidHandle::Open(const HidDeviceInfo& device, int* err) {
    std::unique_ptr<HidBackend> backend = device.kind == HidKind::Virtual
                                              ? OpenVirtualBackend(device, err)
                                              : OpenHidrawBackend(device.path, err);
    if (!backend) return nullptr;
    return std::unique_ptr<HidHandle>(new HidHandle(device.kind, device.path, std::move(backend)));
}

bool HidHandle::IsOpen() const {
    return backend_->fd() >= 0;
}

void HidHandle::Close() {
    backend_->Close();
}

bool HidHandle::GetAttributes(HidAttributes* out) const {
    return backend_->GetAttributes(out);
}

bool HidHandle::GetReportLengths(int* inputLength, int* outputLength) {
    return backend_->GetReportLengths(inputLength, outputLength);
}

HidIo HidHandle::Write(const unsigned char* report, int length, int timeoutMs, int* error) {
    if (!IsOpen()) {
        if (error) *error = EBADF;
        return HidIo::Error;
    }
    short revents = 0;
    HidIo ready = WaitFor(backend_->fd(), POLLOUT, timeoutMs, &revents, error);
    if (ready != HidIo::Done) return ready;
    if (revents & (POLLHUP | POLLERR | POLLNVAL)) return HidIo::Gone;
    ssize_t n;
    do n = backend_->Transmit(report, static_cast<size_t>(length));
    while (n < 0 && errno == EINTR);
    if (n < 0) return TransferError(errno, error);
    return HidIo::Done;
}

HidIo HidHandle::Read(unsigned char* report, int length, int timeoutMs, int* count, int* error) {
    *count = 0;
    if (!IsOpen()) {
        if (error) *error = EBADF;
        return HidIo::Error;
    }
    short revents = 0;
    HidIo ready = WaitFor(backend_->fd(), POLLIN, timeoutMs, &revents, error);
    if (ready != HidIo::Done) return ready;
    if (!(revents & POLLIN)) return HidIo::Gone;  // hang-up or error without data
    const bool withId = backend_->ReadsCarryReportId();
    unsigned char* dest = withId ? report : report + 1;
    const int room = withId ? length : length - 1;
    ssize_t n;
    do n = backend_->Receive(dest, static_cast<size_t>(room));
    while (n < 0 && errno == EINTR);
    if (n == 0) return HidIo::Gone;  // end of file
    if (n < 0) return TransferError(errno, error);
    if (!withId) {
        report[0] = 0;
        n += 1;
    }
    *count = static_cast<int>(n);
    return HidIo::Done;
}

}  // namespace vazplat
