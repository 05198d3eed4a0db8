// The firmware update's only door to the platform HID layer: finding the
// readers, opening one, and moving whole reports. Everything else in this
// folder works on HidPort and HidDeviceInfo.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vaz.h"

namespace firmware {

constexpr uint16_t kReaderVendor = VAZ_USB_VENDOR;
constexpr uint16_t kReaderProduct = VAZ_USB_PRODUCT;

struct HidDeviceInfo {
    std::string path;  // hidraw node or virtual device socket
    bool isVirtual = false;
    uint16_t vendor = 0;
    uint16_t product = 0;
    uint16_t release = 0;     // 0 where the system does not tell it
    std::string productText;  // the product string; empty where the system does not tell it
};

// The readers present, hidraw nodes first, then the virtual devices listed in
// VAZ_HID_DEVICES whose socket exists, in enumeration order.
std::vector<HidDeviceInfo> FindReaders();

// A reader arriving, or a device going (the ids of a removed hidraw node are
// no longer known: every removal is reported).
struct ReaderChange {
    bool arrived = false;
    HidDeviceInfo device;
};

// Watches for readers arriving and devices going while it lives.
class ReaderWatch {
public:
    // `handler` runs on the watch's own thread. Null with errno in *error
    // when no kind of device can be watched.
    static std::unique_ptr<ReaderWatch> Start(std::function<void(const ReaderChange&)> handler, int* error);
    // No handler call runs after it returns.
    ~ReaderWatch();
    ReaderWatch(const ReaderWatch&) = delete;
    ReaderWatch& operator=(const ReaderWatch&) = delete;

private:
    struct Impl;
    explicit ReaderWatch(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

enum class PortIo { Done, Timeout, Gone, Error };

class HidPort {
public:
    // Null with errno in *error when the device cannot be opened.
    static std::unique_ptr<HidPort> Open(const HidDeviceInfo& device, int* error);
    ~HidPort();
    HidPort(const HidPort&) = delete;
    HidPort& operator=(const HidPort&) = delete;

    // Report byte lengths including the report ID byte.
    bool ReportLengths(int* input, int* output);
    // One whole report (byte 0 = report ID). Read and Write may run on two
    // threads at once; neither may overlap the destructor.
    PortIo Write(const unsigned char* report, int length, int timeoutMs);
    PortIo Read(unsigned char* report, int room, int timeoutMs, int* count);

private:
    struct Impl;
    explicit HidPort(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace firmware
