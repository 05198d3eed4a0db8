#include "usb_link.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

namespace firmware {

namespace {

// Report lengths the link accepts: a 64-byte payload at least, as the reader sends.
constexpr int kMinReportLength = 65;
constexpr int kMaxReportLength = 256;
constexpr int kWriteTimeoutMs = 2000;

}  // namespace

std::unique_ptr<UsbLink> UsbLink::Open(const HidDeviceInfo& device, int* error) {
    std::unique_ptr<HidPort> port = HidPort::Open(device, error);
    if (!port) return nullptr;
    // Read before the receive thread starts: a hidraw handle learns from the report descriptor
    // whether its reads carry a report ID byte.
    int input = 0, output = 0;
    if (!port->ReportLengths(&input, &output) || input < kMinReportLength || input > kMaxReportLength ||
        output < kMinReportLength || output > kMaxReportLength) {
        if (error) *error = EINVAL;
        return nullptr;
    }
    return std::unique_ptr<UsbLink>(new UsbLink(device, std::move(port), input, output));
}

UsbLink::UsbLink(const HidDeviceInfo& device, std::unique_ptr<HidPort> port, int inputLength,
                 int outputLength)
    : device_(device), port_(std::move(port)), inputLength_(inputLength), outputLength_(outputLength) {
    receiver_ = std::thread([this] { Receive(); });
}

UsbLink::~UsbLink() {
    stop_ = true;
    Wake();
    receiver_.join();
}

SendResult UsbLink::Send(std::string_view bytes) {
    if (bytes.size() > Room()) return SendResult::TooLong;
    std::vector<unsigned char> report(static_cast<size_t>(outputLength_), 0);
    std::memcpy(report.data() + 1, bytes.data(), bytes.size());
    std::lock_guard send(sendMutex_);
    {
        std::lock_guard lock(mutex_);
        if (gone_) return SendResult::Gone;
        responseEvent_ = false;
    }
    switch (port_->Write(report.data(), outputLength_, kWriteTimeoutMs)) {
        case PortIo::Done:
            return SendResult::Sent;
        case PortIo::Gone: {
            // Known at once, even before the receive thread sees the end (it calls the listener).
            std::lock_guard lock(mutex_);
            gone_ = true;
            changed_.notify_all();
            return SendResult::Gone;
        }
        default:
            return SendResult::Failed;
    }
}

WaitResult UsbLink::WaitForResponse(int timeoutMs, const std::atomic<bool>* stop) {
    std::unique_lock lock(mutex_);
    const bool woke = changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                        [&] { return responseEvent_ || gone_ || (stop && *stop); });
    if (responseEvent_) {  // an answer that came with the stop still counts
        responseEvent_ = false;
        return WaitResult::Arrived;
    }
    if (gone_) return WaitResult::Gone;
    return woke ? WaitResult::Stopped : WaitResult::Timeout;
}

unsigned char UsbLink::LatestResponse() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

void UsbLink::Wake() {
    std::lock_guard lock(mutex_);
    changed_.notify_all();
}

void UsbLink::ClearReplies() {
    std::lock_guard lock(mutex_);
    replies_.clear();
}

std::optional<std::string> UsbLink::NextReply(int timeoutMs) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !replies_.empty() || gone_; });
    if (replies_.empty()) return std::nullopt;
    std::string text = std::move(replies_.front());
    replies_.pop_front();
    return text;
}

bool UsbLink::IsGone() const {
    std::lock_guard lock(mutex_);
    return gone_;
}

void UsbLink::SetReportListener(std::function<void(const std::string&)> listener) {
    std::lock_guard lock(mutex_);
    reportListener_ = std::move(listener);
}

void UsbLink::SetGoneListener(std::function<void()> listener) {
    std::lock_guard lock(mutex_);
    goneListener_ = std::move(listener);
}

void UsbLink::Receive() {
    std::vector<unsigned char> report(static_cast<size_t>(inputLength_));
    while (!stop_) {
        int count = 0;
        const PortIo io = port_->Read(report.data(), inputLength_, kPollSliceMs, &count);
        if (io == PortIo::Timeout) continue;
        if (io != PortIo::Done) {  // unplugged, or a device that can no longer be read
            std::function<void()> listener;
            {
                std::lock_guard lock(mutex_);
                gone_ = true;
                listener = goneListener_;
                changed_.notify_all();
            }
            if (listener) listener();
            return;
        }
        // The data from byte 1 up to the bytes read, as text ending at its first zero byte.
        const char* data = reinterpret_cast<const char*>(report.data()) + 1;
        const size_t n = count > 1 ? static_cast<size_t>(count - 1) : 0;
        std::string text(data, strnlen(data, n));
        std::function<void(const std::string&)> listener;
        {
            std::lock_guard lock(mutex_);
            latest_ = n > 0 ? report[1] : 0;
            responseEvent_ = true;
            replies_.push_back(text);
            if (replies_.size() > kMaxQueuedReplies) replies_.pop_front();
            listener = reportListener_;
            changed_.notify_all();
        }
        if (listener) listener(text);
    }
}

}  // namespace firmware
