// One firmware block as it travels to the reader: 0x02, the block number's
// low 8 bits and their complement, 1024 data bytes (a short last block filled
// with 0x1A), and the CRC-16/MODBUS of the data, high byte first. It goes out
// as 18 output reports: the header, sixteen 64-byte data reports, the CRC.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace firmware {

constexpr size_t kBlockSize = 1024;
constexpr int kDataReports = 16;
constexpr size_t kDataReportSize = kBlockSize / kDataReports;
constexpr unsigned char kFillByte = 0x1A;

// Response and control bytes of the transfer.
namespace control {
constexpr unsigned char kStartOfBlock = 0x02;
constexpr unsigned char kReady = 0x03;  // send the next report of the packet
constexpr unsigned char kEndOfTransmission = 0x04;
constexpr unsigned char kAck = 0x06;
constexpr unsigned char kNak = 0x15;
constexpr unsigned char kCancel = 0x18;
constexpr unsigned char kRequestHeader = 'C';
}  // namespace control

// CRC-16/MODBUS: reflected polynomial 0xA001, initial value 0xFFFF, no final XOR.
uint16_t Crc16Modbus(const unsigned char* data, size_t length);

// Packets a file of `length` bytes needs (a started block counts whole).
int64_t BlockCount(int64_t length);

class Packet {
public:
    // Block `number` (1 = the first) carrying `length` <= 1024 bytes of `data`.
    Packet(int64_t number, const unsigned char* data, size_t length);

    std::string_view Header() const { return View(0, 3); }
    std::string_view DataReport(int index) const {
        return View(3 + kDataReportSize * index, kDataReportSize);
    }
    std::string_view CrcReport() const { return View(3 + kBlockSize, 2); }
    uint16_t Crc() const { return crc_; }

private:
    std::string_view View(size_t offset, size_t n) const {
        return {reinterpret_cast<const char*>(bytes_.data()) + offset, n};
    }
    std::array<unsigned char, 3 + kBlockSize + 2> bytes_{};
    uint16_t crc_ = 0;
};

}  // namespace firmware
