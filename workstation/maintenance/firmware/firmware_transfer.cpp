#include "firmware_transfer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <memory>
#include <optional>

#include "firmware_packet.h"
#include "update_texts.h"

namespace firmware {

namespace {

using Clock = std::chrono::steady_clock;

enum class Phase { Start, InPacket, AwaitVerdict };
enum class Step { None, NextPacket, Accept, Resend, Restart, Data, Crc, Cancel };

// What the reader's response byte asks for in this phase.
Step Decide(unsigned char byte, Phase phase, int dataSent) {
    using namespace control;
    if (phase == Phase::Start) return byte == kRequestHeader ? Step::NextPacket : Step::None;
    switch (byte) {
        case kCancel:
            return Step::Cancel;
        case kRequestHeader:  // within a packet the reader lost it: that packet again; after the CRC: the
                              // next
            return phase == Phase::InPacket ? Step::Restart : Step::Accept;
        case kAck:  // an ACK before the packet's CRC starts nothing
            return phase == Phase::AwaitVerdict ? Step::Accept : Step::None;
        case kReady:
            if (phase != Phase::InPacket) return Step::None;
            return dataSent < kDataReports ? Step::Data : Step::Crc;
        case kNak:
            return Step::Resend;
        default:
            return Step::None;
    }
}

TransferResult SendFailure(SendResult r) {
    return r == SendResult::Gone ? TransferResult::DeviceGone : TransferResult::SendFailed;
}

}  // namespace

TransferResult FirmwareTransfer::Run(const std::string& path, const TransferCallbacks& callbacks) {
    {
        std::lock_guard lock(mutex_);
        if (running_) return TransferResult::AlreadyRunning;
        running_ = true;
        cancel_ = false;
    }
    retries_ = 0;
    fileError_ = 0;
    if (callbacks.console) callbacks.console(texts::kTransferStarted);
    TransferResult result;
    {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rbe"), &std::fclose);
        struct stat st {};
        if (!file) {
            fileError_ = errno;
            result = TransferResult::OpenFailed;
        } else if (fstat(fileno(file.get()), &st) != 0) {
            fileError_ = errno;
            result = TransferResult::OpenFailed;
        } else if (!S_ISREG(st.st_mode)) {  // a folder, a device, a pipe: no length to split
            fileError_ = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            result = TransferResult::OpenFailed;
        } else if (st.st_size == 0) {
            result = TransferResult::EmptyFile;
        } else {
            result = Transfer(file.get(), st.st_size, callbacks);
        }
    }  // the file is closed before anyone hears of the end
    if (callbacks.position) callbacks.position(0);
    std::lock_guard lock(mutex_);
    running_ = false;
    return result;
}

void FirmwareTransfer::Cancel() {
    {
        std::lock_guard lock(mutex_);
        if (!running_) return;
        cancel_ = true;
    }
    link_.Wake();
}

bool FirmwareTransfer::IsRunning() const {
    std::lock_guard lock(mutex_);
    return running_;
}

TransferResult FirmwareTransfer::Transfer(std::FILE* file, int64_t length,
                                          const TransferCallbacks& callbacks) {
    const int64_t blocks = BlockCount(length);
    if (callbacks.range) callbacks.range(static_cast<int>(std::min<int64_t>(blocks, INT_MAX)));
    if (callbacks.position) callbacks.position(0);

    Phase phase = Phase::Start;
    int dataSent = 0;
    int64_t accepted = 0;
    std::optional<Packet> packet;
    unsigned char data[kBlockSize];
    Clock::time_point lastAnswer = Clock::now();

    for (;;) {
        const WaitResult wait = link_.WaitForResponse(limits_.turnMs, &cancel_);
        if (cancel_) return TransferResult::Cancelled;
        if (wait == WaitResult::Gone) return TransferResult::DeviceGone;
        // At the start the byte may be the "C" with which the reader answered "IAP/" before
        // this run began; after that only an answer to what was sent counts, never a stale byte.
        const Step step = wait == WaitResult::Arrived || phase == Phase::Start
                              ? Decide(link_.LatestResponse(), phase, dataSent)
                              : Step::None;
        if (step == Step::None) {
            if (phase == Phase::Start) return TransferResult::NotReady;
            const bool last = phase == Phase::AwaitVerdict && accepted + 1 == blocks;
            const auto bound = std::chrono::milliseconds(last ? limits_.finalAckMs : limits_.answerMs);
            if (Clock::now() - lastAnswer >= bound)
                return last ? TransferResult::NoFinalAck : TransferResult::NoAnswer;
            continue;
        }
        lastAnswer = Clock::now();

        SendResult sent = SendResult::Sent;
        switch (step) {
            case Step::Cancel:
                return TransferResult::ReaderCancelled;
            case Step::Accept:
                ++accepted;
                if (callbacks.position)
                    callbacks.position(static_cast<int>(std::min<int64_t>(accepted, INT_MAX)));
                if (accepted == blocks) {
                    const char eot = static_cast<char>(control::kEndOfTransmission);
                    if ((sent = link_.Send({&eot, 1})) != SendResult::Sent) return SendFailure(sent);
                    if (callbacks.console) callbacks.console(texts::kTransferDone);
                    return TransferResult::Completed;
                }
                [[fallthrough]];
            case Step::NextPacket: {
                const auto due = static_cast<size_t>(
                    std::min<int64_t>(kBlockSize, length - accepted * static_cast<int64_t>(kBlockSize)));
                if (std::fread(data, 1, due, file) != due) {  // the file shrank or cannot be read
                    fileError_ = std::ferror(file) ? errno : 0;
                    return TransferResult::ReadFailed;
                }
                packet.emplace(accepted + 1, data, due);
                phase = Phase::InPacket;
                dataSent = 0;
                sent = link_.Send(packet->Header());
                break;
            }
            case Step::Resend:
                if (++retries_ > limits_.maxRetries) return TransferResult::VerifyFailed;
                [[fallthrough]];
            case Step::Restart:
                phase = Phase::InPacket;
                dataSent = 0;
                sent = link_.Send(packet->Header());
                break;
            case Step::Data:
                sent = link_.Send(packet->DataReport(dataSent++));
                break;
            case Step::Crc:
                phase = Phase::AwaitVerdict;
                sent = link_.Send(packet->CrcReport());
                break;
            case Step::None:
                break;
        }
        if (sent != SendResult::Sent) return SendFailure(sent);
    }
}

}  // namespace firmware
