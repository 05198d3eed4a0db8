// HID devices on Linux, of two kinds, each with a backend of its own:
//  - hidraw nodes, found through libudev (hid_hidraw.cpp);
//  - virtual HID devices (hid_virtual.cpp): AF_UNIX SOCK_SEQPACKET sockets,
//    one 65-byte datagram per report, listed in the environment variable
//    VAZ_HID_DEVICES:
//      PATH[,vid=VVVV][,pid=PPPP][,release=RRRR][,product=TEXT]  entries separated by ";"
//    (ids in hexadecimal; the caller gives the defaults).
// Discovery lists both kinds (HidDevices); HidHandle::Open picks the backend
// of the device's kind. Reads and writes are bounded by poll on the device's
// file descriptor. A report in both directions is byte 0 = report ID, then
// the payload, exactly as the Windows HID API hands it out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vazplat {

struct HidAttributes {
    uint16_t vendor = 0;
    uint16_t product = 0;
    uint16_t release = 0;
};

enum class HidKind { Hidraw, Virtual };

// One HID device as discovery finds it.
struct HidDeviceInfo {
    HidKind kind = HidKind::Hidraw;
    std::string path;
    // Hidraw: the ids udev reports for the node's HID device (0 when
    // unknown; the release of its USB device, 0 on other buses). Virtual:
    // the ids of the entry, which are the device's own.
    HidAttributes attributes;
    // Hidraw: the USB product string (the HID name on other buses);
    // virtual: the entry's product=TEXT.
    std::string productText;
};

// Parses a VAZ_HID_DEVICES text; ids an entry does not give are `defaults`
// (malformed keys are ignored, empty entries skipped).
std::vector<HidDeviceInfo> ParseVirtualHidDevices(const char* text, const HidAttributes& defaults);
// The virtual devices of the environment variable, read now.
std::vector<HidDeviceInfo> VirtualHidDevicesFromEnvironment(const HidAttributes& defaults);
// Device nodes of the subsystem "hidraw" in a stable order (libudev; empty when none).
std::vector<HidDeviceInfo> HidrawNodes();
// Every HID device: the hidraw nodes, then the virtual devices.
std::vector<HidDeviceInfo> HidDevices(const HidAttributes& virtualDefaults);

enum class HidIo {
    Done,     // the transfer completed
    Timeout,  // nothing happened within the bound
    Gone,     // end of file, reset, EPIPE, EIO, ENODEV, hang-up: the device is gone
    Error,    // another system error (errno in `error`)
};

class HidBackend;

class HidHandle {
public:
    ~HidHandle();
    HidHandle(const HidHandle&) = delete;
    HidHandle& operator=(const HidHandle&) = delete;

    // Opens a hidraw node for reading and writing, or connects to a virtual
    // device's socket; null with errno in *err.
    static std::unique_ptr<HidHandle> Open(const HidDeviceInfo& device, int* err);

    HidKind kind() const { return kind_; }
    const std::string& path() const { return path_; }
    bool IsOpen() const;
    void Close();

    // Vendor, product, release: HIDIOCGRAWINFO (release 0), or the virtual
    // device's own.
    bool GetAttributes(HidAttributes* out) const;
    // Report byte lengths incl. the report ID byte (HIDIOCGRDESC parsed;
    // 65 for a virtual device). False when the descriptor cannot be read.
    bool GetReportLengths(int* inputLength, int* outputLength);

    // Writes one report of `length` bytes (byte 0 = report ID) within timeoutMs.
    HidIo Write(const unsigned char* report, int length, int timeoutMs, int* error);
    // Reads one report into `report` (room `length`, byte 0 = report ID)
    // within timeoutMs; *count = bytes delivered incl. the ID byte.
    HidIo Read(unsigned char* report, int length, int timeoutMs, int* count, int* error);

private:
    HidHandle(HidKind kind, std::string path, std::unique_ptr<HidBackend> backend);

    HidKind kind_;
    std::string path_;
    std::unique_ptr<HidBackend> backend_;
};

}  // namespace vazplat
