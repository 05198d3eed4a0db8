// HID devices on Linux: hidraw nodes found through libudev, and virtual HID
// devices (AF_UNIX SOCK_SEQPACKET sockets, one 65-byte datagram per report)
// listed in the environment variable VAZ_HID_DEVICES:
//   PATH[,vid=6816][,pid=2001][,release=0100][,product=TEXT]  entries separated by ";"
// Both kinds are driven through one file descriptor with poll-bounded reads
// and writes. A report in both directions is byte 0 = report ID, then the
// payload, exactly as the Windows HID API hands it out.
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

struct VirtualHidEntry {
    std::string path;
    HidAttributes attributes{0x6816, 0x2001, 0x0100};
    std::string productText;
};

// Parses a VAZ_HID_DEVICES text (malformed keys are ignored, empty entries skipped).
std::vector<VirtualHidEntry> ParseVirtualHidDevices(const char* text);
// The virtual devices of the environment variable, read now.
std::vector<VirtualHidEntry> VirtualHidDevicesFromEnvironment();
// A hidraw node with the ids of its HID device as udev reports them (0 when unknown).
struct HidrawNode {
    std::string path;
    uint16_t vendor = 0;
    uint16_t product = 0;
};
// Device nodes of the subsystem "hidraw" in a stable order (libudev; empty when none).
std::vector<HidrawNode> HidrawNodes();

enum class HidIo {
    Done,     // the transfer completed
    Timeout,  // nothing happened within the bound
    Gone,     // end of file, reset, EPIPE, EIO, ENODEV, hang-up: the device is gone
    Error,    // another system error (errno in `error`)
};

class HidHandle {
public:
    ~HidHandle();
    HidHandle(const HidHandle&) = delete;
    HidHandle& operator=(const HidHandle&) = delete;

    // Opens a hidraw node for reading and writing; null with errno in *err.
    static std::unique_ptr<HidHandle> OpenHidraw(const std::string& path, int* err);
    // Connects to a virtual device's socket; null with errno in *err.
    static std::unique_ptr<HidHandle> ConnectVirtual(const VirtualHidEntry& entry, int* err);

    bool IsVirtual() const { return virtual_; }
    const std::string& path() const { return path_; }
    bool IsOpen() const { return fd_ >= 0; }
    void Close();

    // Vendor, product, release: HIDIOCGRAWINFO, or the entry's values.
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
    HidHandle() = default;
    int fd_ = -1;
    bool virtual_ = false;
    bool numberedReports_ = false;  // hidraw: reads carry the report ID byte
    std::string path_;
    HidAttributes virtualAttributes_;
};

}  // namespace vazplat
