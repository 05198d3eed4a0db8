#include "hid_port.h"

#include <sys/stat.h>

#include "vazplatform/hid.h"
#include "vazplatform/hid_watch.h"

namespace firmware {

namespace {

PortIo ToPortIo(vazplat::HidIo io) {
    switch (io) {
        case vazplat::HidIo::Done:
            return PortIo::Done;
        case vazplat::HidIo::Timeout:
            return PortIo::Timeout;
        case vazplat::HidIo::Gone:
            return PortIo::Gone;
        case vazplat::HidIo::Error:
            break;
    }
    return PortIo::Error;
}

bool IsReader(uint16_t vendor, uint16_t product) {
    return vendor == kReaderVendor && product == kReaderProduct;
}

// A virtual device is listed whether or not its reader runs; it is there while its socket is.
// (Connecting to find out would take the socket from the host that holds it.)
bool IsPresent(const vazplat::HidDeviceInfo& d) {
    struct stat st {};
    return d.kind != vazplat::HidKind::Virtual || (stat(d.path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode));
}

constexpr vazplat::HidAttributes kVirtualDefaults{kReaderVendor, kReaderProduct, 0x0100};

HidDeviceInfo FromPlatform(const vazplat::HidDeviceInfo& d) {
    return {d.path,
            d.kind == vazplat::HidKind::Virtual,
            d.attributes.vendor,
            d.attributes.product,
            d.attributes.release,
            d.productText};
}

}  // namespace

struct ReaderWatch::Impl {
    std::unique_ptr<vazplat::HidWatcher> watcher;
};

std::unique_ptr<ReaderWatch> ReaderWatch::Start(std::function<void(const ReaderChange&)> handler, int* error) {
    auto impl = std::make_unique<Impl>();
    impl->watcher = vazplat::HidWatcher::Start(
        [handler = std::move(handler)](const vazplat::HidChangeEvent& e) {
            const bool arrived = e.change == vazplat::HidChange::Arrived;
            if (arrived && !IsReader(e.device.attributes.vendor, e.device.attributes.product)) return;
            handler({arrived, FromPlatform(e.device)});
        },
        kVirtualDefaults, error);
    if (!impl->watcher) return nullptr;
    return std::unique_ptr<ReaderWatch>(new ReaderWatch(std::move(impl)));
}

ReaderWatch::ReaderWatch(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ReaderWatch::~ReaderWatch() = default;

struct HidPort::Impl {
    std::unique_ptr<vazplat::HidHandle> handle;
};

std::vector<HidDeviceInfo> FindReaders() {
    std::vector<HidDeviceInfo> found;
    for (const vazplat::HidDeviceInfo& d : vazplat::HidDevices(kVirtualDefaults))
        if (IsReader(d.attributes.vendor, d.attributes.product) && IsPresent(d)) found.push_back(FromPlatform(d));
    return found;
}

HidPort::HidPort(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
HidPort::~HidPort() = default;

std::unique_ptr<HidPort> HidPort::Open(const HidDeviceInfo& device, int* error) {
    auto impl = std::make_unique<Impl>();
    vazplat::HidDeviceInfo info;
    info.kind = device.isVirtual ? vazplat::HidKind::Virtual : vazplat::HidKind::Hidraw;
    info.path = device.path;
    info.attributes = {device.vendor, device.product, device.release};
    info.productText = device.productText;
    impl->handle = vazplat::HidHandle::Open(info, error);
    if (!impl->handle) return nullptr;
    return std::unique_ptr<HidPort>(new HidPort(std::move(impl)));
}

bool HidPort::ReportLengths(int* input, int* output) {
    return impl_->handle->GetReportLengths(input, output);
}

PortIo HidPort::Write(const unsigned char* report, int length, int timeoutMs) {
    int error = 0;
    return ToPortIo(impl_->handle->Write(report, length, timeoutMs, &error));
}

PortIo HidPort::Read(unsigned char* report, int room, int timeoutMs, int* count) {
    int error = 0;
    return ToPortIo(impl_->handle->Read(report, room, timeoutMs, count, &error));
}

}  // namespace firmware
