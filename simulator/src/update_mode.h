// The reader's firmware update mode: after "IAP/" on the HID link every report
// is a piece of a 1024-byte block packet rather than a command. The host sends
// a header (0x02, block number, its complement), sixteen reports of 64 data
// bytes and a report with the CRC-16/MODBUS of the data, high byte first; the
// reader answers each report with one control byte: "C" to ask for the first
// header, 0x03 for the next report of a packet, ACK or NAK after the CRC, CAN
// when it gives up. 0x04 (end of transmission) ends the mode and the received
// image is stored.
//
// Not thread-safe: the reader calls it with its state mutex held.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vazsim/virtual_reader.h"

namespace vazsim {

namespace update_bytes {
constexpr char kStartOfBlock = 0x02;
constexpr char kReady = 0x03;
constexpr char kEndOfTransmission = 0x04;
constexpr char kAck = 0x06;
constexpr char kNak = 0x15;
constexpr char kCancel = 0x18;
constexpr char kRequestHeader = 'C';
}  // namespace update_bytes

constexpr size_t kUpdateBlockSize = 1024;
constexpr size_t kUpdateDataReports = 16;
// The flash the image goes to; a longer image is cancelled.
constexpr size_t kUpdateMaxBlocks = 4096;

// CRC-16/MODBUS: reflected polynomial 0xA001, initial value 0xFFFF, no final XOR.
uint16_t crc16Modbus(std::string_view data);

class UpdateMode {
public:
    bool active() const { return active_; }

    // "IAP/": enters the mode (or starts it over) and discards what was received.
    std::vector<Element> begin();
    // One report payload (the 64 bytes after the report ID) while active.
    // `delayMs` is set when the reader takes that long before its answer.
    std::vector<Element> handleReport(std::string_view payload, int& delayMs);

    void addFault(const UpdateFault& fault) { faults_.push_back(fault); }
    void clearFaults() { faults_.clear(); }

    void setOutputPath(const std::string& path) { outputPath_ = path; }
    // The image of the last transfer that ended with 0x04.
    const std::optional<std::string>& image() const { return image_; }

private:
    enum class Expect { Header, Data, Crc };

    std::vector<Element> onHeader(std::string_view payload);
    std::vector<Element> onCrc(std::string_view payload, int& delayMs);
    std::vector<Element> finish();
    std::vector<Element> cancel();
    // The fault for the packet now arriving, if any (its `times` counted down).
    std::optional<UpdateFault> takeFault(UpdateFault::Kind kind);
    void storeImage();

    bool active_ = false;
    bool silent_ = false;  // a Silent fault fired: nothing more is answered until "IAP/"
    Expect expect_ = Expect::Header;
    size_t dataReports_ = 0;
    std::string packet_;    // data of the packet under way
    std::string received_;  // accepted blocks in order
    std::vector<UpdateFault> faults_;
    std::string outputPath_;
    std::optional<std::string> image_;
};

}  // namespace vazsim
