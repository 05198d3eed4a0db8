// The firmware tests' reader: the in-process virtual reader on a HID socket,
// found through VAZ_HID_DEVICES and opened as the update dialog opens it.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "firmware_transfer.h"
#include "usb_link.h"
#include "vazsim/transports.h"
#include "vazsim/virtual_reader.h"

namespace fwtest {

std::string TempPath(const std::string& name);
std::string WriteFile(const std::string& name, const std::string& bytes);
std::string RandomBytes(size_t n, unsigned seed);
// Whether this process holds a descriptor on the file.
bool HoldsFile(const std::string& path);

struct Rig {
    Rig();
    vazsim::VirtualReader reader;
    std::unique_ptr<vazsim::HidSocketTransport> transport;
    std::unique_ptr<firmware::UsbLink> link;

    // "IAP/" as typed into the console, and the reader's "C"; then the trace is emptied.
    void EnterUpdateMode();
    // Payloads (64 bytes) of the reports the host sent since the trace was emptied. The
    // reader records a report before it answers, so a report not yet answered may be missing.
    std::vector<std::string> SentPayloads() const;
    // The reader stores the image just before it answers 0x04, which the host does not wait for.
    std::optional<std::string> WaitForImage() const;
};

// What a transfer reported through its callbacks.
struct Progress {
    mutable std::mutex mutex;
    int maximum = -1;
    std::vector<int> positions;
    std::vector<std::string> console;
    firmware::TransferCallbacks Callbacks();
    std::vector<int> Positions() const;
};

// A packet's header report as the reader should see it.
std::string HeaderPayload(int block);

}  // namespace fwtest
