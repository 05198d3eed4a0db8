#include "firmware_packet.h"

#include <algorithm>
#include <cstring>

namespace firmware {

namespace {

// Byte-wise table of the reflected polynomial: an image of 256 KiB is
// checked 1024 bytes at a time, so a lookup per byte is worth its 512 bytes.
constexpr std::array<uint16_t, 256> MakeCrcTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t r = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit) r = static_cast<uint16_t>((r >> 1) ^ ((r & 1) ? 0xA001 : 0));
        table[i] = r;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

uint16_t Crc16Modbus(const unsigned char* data, size_t length) {
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < length; ++i)
        crc = static_cast<uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ data[i]) & 0xFF]);
    return crc;
}

int64_t BlockCount(int64_t length) {
    return length <= 0 ? 0
                       : (length + static_cast<int64_t>(kBlockSize) - 1) / static_cast<int64_t>(kBlockSize);
}

Packet::Packet(int64_t number, const unsigned char* data, size_t length) {
    length = std::min(length, kBlockSize);
    const auto block = static_cast<unsigned char>(number & 0xFF);
    bytes_[0] = control::kStartOfBlock;
    bytes_[1] = block;
    bytes_[2] = static_cast<unsigned char>(~block);
    unsigned char* payload = bytes_.data() + 3;
    if (length > 0) std::memcpy(payload, data, length);
    std::fill(payload + length, payload + kBlockSize, kFillByte);
    crc_ = Crc16Modbus(payload, kBlockSize);
    bytes_[3 + kBlockSize] = static_cast<unsigned char>(crc_ >> 8);
    bytes_[4 + kBlockSize] = static_cast<unsigned char>(crc_ & 0xFF);
}

}  // namespace firmware
