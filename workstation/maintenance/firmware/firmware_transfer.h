// The block transfer of a firmware file to a reader in its update mode (after
// "IAP/"). Run() blocks its caller (the dialog's worker thread) until the
// transfer has ended, and always ends: every wait for the reader is bounded,
// and on every way out the file is closed and the progress is set back to 0.
//
// The reader leads with one response byte per report (see firmware_packet.h):
// "C" asks for a header, 0x03 for the next report of the packet, ACK accepts
// the packet, NAK rejects it (the packet is sent again from its header), CAN
// ends the transfer.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>

#include "usb_link.h"

namespace firmware {

enum class TransferResult {
    Completed,        // every packet accepted and 0x04 sent
    AlreadyRunning,   // another Run() of this object is under way
    OpenFailed,       // the file cannot be opened (fileError())
    EmptyFile,        // nothing to send
    ReadFailed,       // the file could not be read to its end (fileError())
    NotReady,         // the reader did not ask for the first header
    NoAnswer,         // the reader stopped answering during the transfer
    NoFinalAck,       // the last packet was never accepted
    VerifyFailed,     // more than kMaxRetries packets rejected
    ReaderCancelled,  // the reader sent CAN
    SendFailed,       // a report could not be written
    DeviceGone,       // the reader was unplugged
    Cancelled,        // Cancel() was called
};

// The bounds of the transfer.
struct TransferLimits {
    int turnMs = 1000;      // one wait for the next response byte
    int answerMs = 3000;    // silence after which a reader counts as no longer answering
    int finalAckMs = 5000;  // for the verdict on the last packet
    int maxRetries = 10;    // rejected packets tolerated in one transfer
};

struct TransferCallbacks {
    std::function<void(int maximum)> range;                // once, before the first packet
    std::function<void(int position)> position;            // packets accepted; 0 at the end
    std::function<void(const std::string& text)> console;  // lines for the receive area
};

class FirmwareTransfer {
public:
    explicit FirmwareTransfer(UsbLink& link, TransferLimits limits = {}) : link_(link), limits_(limits) {}

    TransferResult Run(const std::string& path, const TransferCallbacks& callbacks = {});
    // Ends a running transfer at its next wait; nothing more is sent to the reader.
    void Cancel();
    bool IsRunning() const;

    int fileError() const { return fileError_; }  // errno of OpenFailed and ReadFailed
    int retries() const { return retries_; }      // packets sent again in the last run

private:
    TransferResult Transfer(std::FILE* file, int64_t length, const TransferCallbacks& callbacks);

    UsbLink& link_;
    const TransferLimits limits_;
    mutable std::mutex mutex_;  // running_ and the start of cancel_ change together
    bool running_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<int> fileError_{0};
    std::atomic<int> retries_{0};
};

}  // namespace firmware
