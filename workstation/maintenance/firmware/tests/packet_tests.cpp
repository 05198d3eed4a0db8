// Packet framing: block numbers, fill bytes, CRC-16/MODBUS and its byte order.
#include <gtest/gtest.h>

#include <string>

#include "firmware_packet.h"

using firmware::Packet;

namespace {

const unsigned char* Bytes(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

std::string Data(const Packet& p) {
    std::string d;
    for (int k = 0; k < firmware::kDataReports; ++k) d += p.DataReport(k);
    return d;
}

}  // namespace

TEST(Crc16Modbus, KnownValues) {
    const std::string fill(1024, '\x1A'), zeros(1024, '\0'), check = "123456789";
    EXPECT_EQ(firmware::Crc16Modbus(Bytes(fill), fill.size()), 0x0018);
    EXPECT_EQ(firmware::Crc16Modbus(Bytes(zeros), zeros.size()), 0xD4BE);
    EXPECT_EQ(firmware::Crc16Modbus(Bytes(check), check.size()), 0x4B37);  // the catalogue's check value
    EXPECT_EQ(firmware::Crc16Modbus(nullptr, 0), 0xFFFF);
}

TEST(Packet, CrcTravelsHighByteFirst) {
    // A block of no file data is all fill bytes: CRC 0x0018.
    Packet fill(1, nullptr, 0);
    EXPECT_EQ(fill.Crc(), 0x0018);
    EXPECT_EQ(fill.CrcReport(), std::string("\x00\x18", 2));
    const std::string zeros(1024, '\0');
    Packet zero(1, Bytes(zeros), zeros.size());
    EXPECT_EQ(zero.CrcReport(), std::string("\xD4\xBE", 2));
}

TEST(Packet, BlockNumberAndComplement) {
    for (auto [number, expected] :
         std::initializer_list<std::pair<int, std::string>>{{1, "\x02\x01\xFE"},
                                                            {2, "\x02\x02\xFD"},
                                                            {255, std::string("\x02\xFF\x00", 3)},
                                                            {256, std::string("\x02\x00\xFF", 3)},
                                                            {257, "\x02\x01\xFE"}}) {
        EXPECT_EQ(Packet(number, nullptr, 0).Header(), expected) << "block " << number;
    }
}

TEST(Packet, ShortLastBlockIsFilledAndReportsCutInOrder) {
    std::string file(1500, '\0');
    for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>((i * 7) & 0xFF);
    Packet second(2, Bytes(file) + 1024, file.size() - 1024);
    const std::string data = Data(second);
    ASSERT_EQ(data.size(), 1024u);
    EXPECT_EQ(data.substr(0, 476), file.substr(1024));
    EXPECT_EQ(data.substr(476), std::string(548, '\x1A'));
    EXPECT_EQ(second.DataReport(7), data.substr(7 * 64, 64));
    EXPECT_EQ(second.Crc(), firmware::Crc16Modbus(Bytes(data), data.size()));

    // A whole block carries no fill byte; a longer buffer is cut to one block.
    const std::string big(2000, '\x55');
    EXPECT_EQ(Data(Packet(1, Bytes(big), big.size())), std::string(1024, '\x55'));
}

TEST(Packet, BlockCount) {
    EXPECT_EQ(firmware::BlockCount(0), 0);
    EXPECT_EQ(firmware::BlockCount(1), 1);
    EXPECT_EQ(firmware::BlockCount(1024), 1);
    EXPECT_EQ(firmware::BlockCount(1025), 2);
    EXPECT_EQ(firmware::BlockCount(1500), 2);
    EXPECT_EQ(firmware::BlockCount(256 * 1024), 256);
}
