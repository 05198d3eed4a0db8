// The firmware update mode, the version write and the reader's members that
// reach them.
#include "update_mode.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "reader_state.h"

namespace vazsim {

using namespace update_bytes;

namespace {

std::vector<Element> answerByte(char c) {
    return {std::string(1, c)};
}

// "V " + text + "/" must fit one report, and "v/" answers text + "/".
constexpr size_t kMaxVersionLength = 61;

}  // namespace

uint16_t crc16Modbus(std::string_view data) {
    uint16_t crc = 0xFFFF;
    for (unsigned char b : data) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

std::vector<Element> UpdateMode::begin() {
    active_ = true;
    silent_ = false;
    expect_ = Expect::Header;
    packet_.clear();
    received_.clear();
    return answerByte(kRequestHeader);
}

std::vector<Element> UpdateMode::handleReport(std::string_view payload, int& delayMs) {
    delayMs = 0;
    std::string report(payload.substr(0, 64));
    report.resize(64, '\0');  // a short datagram counts as zero-padded
    // Where a header is due (or nothing is answered any more) "IAP/" starts over; inside a
    // packet the same bytes are firmware data.
    if ((expect_ == Expect::Header || silent_) && report.compare(0, 4, "IAP/") == 0) return begin();
    if (silent_) return {};
    switch (expect_) {
        case Expect::Header:
            return onHeader(report);
        case Expect::Data:
            packet_ += report;
            if (++dataReports_ == kUpdateDataReports) expect_ = Expect::Crc;
            return answerByte(kReady);
        case Expect::Crc:
            return onCrc(report, delayMs);
    }
    return {};
}

std::vector<Element> UpdateMode::onHeader(std::string_view p) {
    if (p[0] == kEndOfTransmission) return finish();
    if (p[0] == kCancel) {  // the host gave up: back to commands, the blocks are dropped
        active_ = false;
        received_.clear();
        return {};
    }
    const size_t number = received_.size() / kUpdateBlockSize + 1;
    const auto blockByte = static_cast<unsigned char>(p[1]);
    const auto complement = static_cast<unsigned char>(p[2]);
    if (p[0] != kStartOfBlock || blockByte != (number & 0xFF) ||
        complement != static_cast<unsigned char>(~blockByte))
        return answerByte(kNak);
    if (number > kUpdateMaxBlocks || takeFault(UpdateFault::Kind::Cancel)) return cancel();
    if (takeFault(UpdateFault::Kind::Silent)) {
        silent_ = true;
        return {};
    }
    packet_.clear();
    dataReports_ = 0;
    expect_ = Expect::Data;
    return answerByte(kReady);
}

std::vector<Element> UpdateMode::onCrc(std::string_view p, int& delayMs) {
    expect_ = Expect::Header;  // accepted or not, the next report is a header
    if (std::optional<UpdateFault> slow = takeFault(UpdateFault::Kind::Slow)) delayMs = slow->delayMs;
    const uint16_t crc = crc16Modbus(packet_);
    bool good =
        static_cast<unsigned char>(p[0]) == (crc >> 8) && static_cast<unsigned char>(p[1]) == (crc & 0xFF);
    if (good && takeFault(UpdateFault::Kind::Nak)) good = false;
    if (!good) return answerByte(kNak);
    received_ += packet_;
    return answerByte(kAck);
}

std::vector<Element> UpdateMode::finish() {
    active_ = false;
    if (!received_.empty()) {
        image_ = std::move(received_);
        storeImage();
    }
    received_.clear();
    return answerByte(kAck);
}

std::vector<Element> UpdateMode::cancel() {
    active_ = false;
    received_.clear();
    return answerByte(kCancel);
}

std::optional<UpdateFault> UpdateMode::takeFault(UpdateFault::Kind kind) {
    const int number = static_cast<int>(received_.size() / kUpdateBlockSize) + 1;
    auto it = std::find_if(faults_.begin(), faults_.end(), [&](const UpdateFault& f) {
        return f.kind == kind && f.block == number && f.times != 0;
    });
    if (it == faults_.end()) return std::nullopt;
    UpdateFault f = *it;
    if (it->times > 0 && --it->times == 0) faults_.erase(it);
    return f;
}

void UpdateMode::storeImage() {
    if (outputPath_.empty() || !image_) return;
    // Written beside the target and renamed, so that a reader of the file never sees half an image.
    const std::string temp = outputPath_ + ".part";
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(image_->data(), static_cast<std::streamsize>(image_->size()));
    out.close();
    if (!out || std::rename(temp.c_str(), outputPath_.c_str()) != 0) {
        std::fprintf(stderr, "vazsim: cannot write the firmware image to %s\n", outputPath_.c_str());
        unlink(temp.c_str());
    }
}

Reply VirtualReader::State::answerUpdateStart() {
    std::vector<Element> e = update.begin();
    return {Piece{e.front()}};
}

Reply VirtualReader::State::answerVersionWrite(const std::string& command) {
    // "V " + text + "/": the text is what "v/" answers from now on.
    if (command.size() < 4 || command.compare(0, 2, "V ") != 0 || command.back() != '/') return {Piece{"06"}};
    const std::string text = command.substr(2, command.size() - 3);
    if (text.size() > kMaxVersionLength) return {Piece{"06"}};
    model = text;
    return {Piece{"EN"}};
}

bool VirtualReader::inUpdateMode() const {
    std::lock_guard lock(state_->mutex);
    return state_->update.active();
}

std::vector<Element> VirtualReader::handleUpdateReport(const std::string& datagram) {
    int delayMs = 0;
    std::vector<Element> reply;
    {
        std::lock_guard lock(state_->mutex);
        reply = state_->update.handleReport(
            std::string_view(datagram).substr(std::min<size_t>(1, datagram.size())), delayMs);
    }
    // The reader is busy writing the block: the host waits, the other members stay usable.
    if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    return reply;
}

void VirtualReader::injectUpdateFault(const UpdateFault& fault) {
    if (fault.times == 0) return;
    std::lock_guard lock(state_->mutex);
    state_->update.addFault(fault);
}

void VirtualReader::clearUpdateFaults() {
    std::lock_guard lock(state_->mutex);
    state_->update.clearFaults();
}

void VirtualReader::setFirmwareOut(const std::string& path) {
    std::lock_guard lock(state_->mutex);
    state_->update.setOutputPath(path);
}

std::optional<std::string> VirtualReader::firmwareImage() const {
    std::lock_guard lock(state_->mutex);
    return state_->update.image();
}

}  // namespace vazsim
