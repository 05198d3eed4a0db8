// A reader opened for the firmware update. The caller's threads write output
// reports; one receive thread reads every input report for as long as the
// link is open and
//   - keeps its first data byte as the latest response byte and signals the
//     response event (what the block transfer waits on),
//   - queues its text for the version commands,
//   - hands its text to the report listener (the dialog's receive area).
// Sending a report resets the response event before the report goes out, so
// an answer that comes back at once is never lost.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "hid_port.h"

namespace firmware {

enum class SendResult { Sent, TooLong, Failed, Gone };
enum class WaitResult { Arrived, Timeout, Gone, Stopped };

class UsbLink {
public:
    // Opens the device and starts the receive thread; null with errno in
    // *error (EINVAL when the report lengths are unusable).
    static std::unique_ptr<UsbLink> Open(const HidDeviceInfo& device, int* error);
    // Stops the receive thread (within one poll slice) and closes the device.
    ~UsbLink();
    UsbLink(const UsbLink&) = delete;
    UsbLink& operator=(const UsbLink&) = delete;

    const HidDeviceInfo& device() const { return device_; }
    int InputLength() const { return inputLength_; }
    int OutputLength() const { return outputLength_; }
    // Bytes one output report carries after its report ID.
    size_t Room() const { return static_cast<size_t>(outputLength_ - 1); }

    // One output report: report ID 0, `bytes`, zeros up to the report length.
    SendResult Send(std::string_view bytes);

    // Waits until an input report has arrived since the last Send (or since
    // the last wait that saw one), at most timeoutMs, or until `*stop` is set
    // and Wake() called.
    WaitResult WaitForResponse(int timeoutMs, const std::atomic<bool>* stop = nullptr);
    // First data byte of the latest input report (0 before any arrived).
    unsigned char LatestResponse() const;
    void Wake();

    // Forgets the replies queued so far; then NextReply returns the text of
    // each input report that arrives, in order, waiting at most timeoutMs.
    void ClearReplies();
    std::optional<std::string> NextReply(int timeoutMs);

    bool IsGone() const;
    // Called on the receive thread: with the text of every input report, and
    // once when the device has gone. Set them before traffic starts.
    void SetReportListener(std::function<void(const std::string&)> listener);
    void SetGoneListener(std::function<void()> listener);

private:
    UsbLink(const HidDeviceInfo& device, std::unique_ptr<HidPort> port, int inputLength, int outputLength);
    void Receive();

    static constexpr int kPollSliceMs = 50;  // how soon the receive thread sees the stop flag
    static constexpr size_t kMaxQueuedReplies = 64;

    HidDeviceInfo device_;
    std::unique_ptr<HidPort> port_;
    int inputLength_;
    int outputLength_;

    std::mutex sendMutex_;  // one output report at a time
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool responseEvent_ = false;
    unsigned char latest_ = 0;
    bool gone_ = false;
    std::deque<std::string> replies_;
    std::function<void(const std::string&)> reportListener_;
    std::function<void()> goneListener_;

    std::atomic<bool> stop_{false};
    std::thread receiver_;
};

}  // namespace firmware
