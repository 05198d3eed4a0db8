// One kind of HID device behind vazplat::HidHandle: how it is opened, what
// it tells about itself and how one report crosses its file descriptor.
// HidHandle bounds every transfer with poll and sorts the errors.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "vazplatform/hid.h"

namespace vazplat {

class HidBackend {
public:
    explicit HidBackend(int fd) : fd_(fd) {}
    virtual ~HidBackend();  // closes the descriptor
    HidBackend(const HidBackend&) = delete;
    HidBackend& operator=(const HidBackend&) = delete;

    int fd() const { return fd_; }
    void Close();

    virtual bool GetAttributes(HidAttributes* out) const = 0;
    virtual bool GetReportLengths(int* inputLength, int* outputLength) = 0;
    // Whether a read delivers the report ID byte; otherwise HidHandle puts
    // a 0 before the payload.
    virtual bool ReadsCarryReportId() const = 0;
    // One report out or in; -1 with errno on failure, 0 for end of file.
    virtual ssize_t Transmit(const unsigned char* report, size_t length) = 0;
    virtual ssize_t Receive(unsigned char* dest, size_t room) = 0;

protected:
    int fd_;
};

// Longest input and output report of a report descriptor, in bytes, and
// whether its reports are numbered (hid_hidraw.cpp).
struct DescriptorSummary {
    int inputBytes = 0;
    int outputBytes = 0;
    bool numbered = false;
};
DescriptorSummary ParseReportDescriptor(const unsigned char* d, int size);

// hid_hidraw.cpp
std::unique_ptr<HidBackend> OpenHidrawBackend(const std::string& path, int* err);
// hid_virtual.cpp
std::unique_ptr<HidBackend> OpenVirtualBackend(const HidDeviceInfo& device, int* err);

}  // namespace vazplat
