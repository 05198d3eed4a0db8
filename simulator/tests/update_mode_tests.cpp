// The reader's firmware update mode and version write over the HID socket,
// driven report by report as a host would.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "test_support.h"

using namespace simtest;

namespace {

constexpr char kReady = 0x03, kEot = 0x04, kAck = 0x06, kNak = 0x15, kCan = 0x18;

std::string counting1024() {
    std::string d(1024, '\0');
    for (size_t i = 0; i < d.size(); ++i) d[i] = static_cast<char>(i & 0xFF);
    return d;
}

// CRC-16/MODBUS of the three data patterns used here, worked out beforehand.
constexpr uint16_t kCrcCounting = 0xECFE, kCrcFill = 0x0018, kCrcZero = 0xD4BE;

std::string header(int block, bool goodComplement = true) {
    const auto b = static_cast<unsigned char>(block & 0xFF);
    return std::string{0x02, static_cast<char>(b), static_cast<char>(goodComplement ? ~b : b)};
}

std::string crcBytes(uint16_t crc) {
    return std::string{static_cast<char>(crc >> 8), static_cast<char>(crc & 0xFF)};
}

class UpdateMode : public ::testing::Test {
protected:
    Rig rig;
    HidHost hid{rig.hid->path()};

    // Sends one report and returns the first byte of the one answer ("" when none).
    std::string answer(const std::string& payload, int timeoutMs = 2000) {
        hid.send(payload);
        std::string d = hid.receive(timeoutMs);
        return d.size() == 65 ? d.substr(1, 1) : "";
    }
    void enter() { ASSERT_EQ(answer("IAP/"), "C"); }
    // A whole packet; returns the answer to its CRC and checks every report before it got 0x03.
    std::string packet(int block, const std::string& data, uint16_t crc) {
        EXPECT_EQ(answer(header(block)), std::string(1, kReady)) << "header of block " << block;
        for (size_t k = 0; k < 16; ++k)
            EXPECT_EQ(answer(data.substr(k * 64, 64)), std::string(1, kReady)) << "data report " << k;
        return answer(crcBytes(crc));
    }
};

}  // namespace

TEST_F(UpdateMode, IapOnHidOnlyAndCommandsAfterTheTransfer) {
    SerialHost serial(rig.pty->path());
    EXPECT_EQ(serial.exchange("IAP/", 2), "EN");  // the serial link has no update mode
    EXPECT_FALSE(rig.reader.inUpdateMode());
    enter();
    EXPECT_TRUE(rig.reader.inUpdateMode());
    EXPECT_TRUE(hid.quiet());  // one "C", no status after it
    EXPECT_EQ(packet(1, counting1024(), kCrcCounting), std::string(1, kAck));
    EXPECT_EQ(answer(std::string(1, kEot)), std::string(1, kAck));
    EXPECT_FALSE(rig.reader.inUpdateMode());
    hid.send("v/");
    std::vector<std::string> p = hid.receivePayloads(2);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].substr(0, 14), "R6KTM10034721/");
}

TEST_F(UpdateMode, ImageOfTwoBlocksIsStoredAndWritten) {
    const std::string out = tempPath("image.bin");
    rig.reader.setFirmwareOut(out);
    enter();
    // Zero bytes at the end of a data report are data here, not padding.
    EXPECT_EQ(packet(1, std::string(1024, '\0'), kCrcZero), std::string(1, kAck));
    EXPECT_EQ(packet(2, std::string(1024, '\x1A'), kCrcFill), std::string(1, kAck));
    EXPECT_FALSE(rig.reader.firmwareImage());  // nothing before the end of transmission
    EXPECT_EQ(answer(std::string(1, kEot)), std::string(1, kAck));
    const std::string expected = std::string(1024, '\0') + std::string(1024, '\x1A');
    EXPECT_EQ(rig.reader.firmwareImage().value_or(""), expected);
    std::ifstream in(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected);
    EXPECT_FALSE(std::filesystem::exists(out + ".part"));
}

TEST_F(UpdateMode, CorruptedPacketsAreRefused) {
    enter();
    const std::string data = counting1024();
    // CRC low byte first, and one data byte changed: NAK, and the next report is a header again.
    EXPECT_EQ(packet(1, data, static_cast<uint16_t>((kCrcCounting << 8) | (kCrcCounting >> 8))),
              std::string(1, kNak));
    std::string changed = data;
    changed[700] ^= 0x01;
    EXPECT_EQ(packet(1, changed, kCrcCounting), std::string(1, kNak));
    // Headers: bad complement, block 2 while 1 is due, no start byte, a stray text.
    EXPECT_EQ(answer(header(1, false)), std::string(1, kNak));
    EXPECT_EQ(answer(header(2)), std::string(1, kNak));
    EXPECT_EQ(answer(std::string("\x01\x01\xFE", 3)), std::string(1, kNak));
    EXPECT_EQ(answer("v/"), std::string(1, kNak));
    EXPECT_EQ(packet(1, data, kCrcCounting), std::string(1, kAck));
    EXPECT_EQ(answer(header(1)), std::string(1, kNak));  // block 1 is done: 2 is due
    EXPECT_EQ(answer(std::string(1, kEot)), std::string(1, kAck));
    EXPECT_EQ(rig.reader.firmwareImage().value_or(""), data);  // only the accepted packet
}

TEST_F(UpdateMode, IapStartsOverAndEmptyTransferStoresNothing) {
    enter();
    std::string withIap = counting1024();
    withIap.replace(128, 4, "IAP/");  // inside a packet these are data bytes
    EXPECT_EQ(packet(1, withIap, 0x4B1D), std::string(1, kAck));
    enter();  // again: block 1 is due once more
    EXPECT_EQ(packet(1, std::string(1024, '\0'), kCrcZero), std::string(1, kAck));
    EXPECT_EQ(answer(std::string(1, kEot)), std::string(1, kAck));
    EXPECT_EQ(rig.reader.firmwareImage().value_or(""), std::string(1024, '\0'));

    enter();
    EXPECT_EQ(answer(std::string(1, kEot)), std::string(1, kAck));
    EXPECT_FALSE(rig.reader.inUpdateMode());
    EXPECT_EQ(rig.reader.firmwareImage().value_or(""), std::string(1024, '\0'));  // the earlier image stays
}

TEST_F(UpdateMode, ToldToNakAPacket) {
    vazsim::UpdateFault nak;
    nak.block = 2;
    nak.times = 2;
    rig.reader.injectUpdateFault(nak);
    enter();
    EXPECT_EQ(packet(1, counting1024(), kCrcCounting), std::string(1, kAck));
    EXPECT_EQ(packet(2, counting1024(), kCrcCounting), std::string(1, kNak));
    EXPECT_EQ(packet(2, counting1024(), kCrcCounting), std::string(1, kNak));
    EXPECT_EQ(packet(2, counting1024(), kCrcCounting), std::string(1, kAck));
}

TEST_F(UpdateMode, ToldToGoSilentAtAPacket) {
    vazsim::UpdateFault silent;
    silent.kind = vazsim::UpdateFault::Kind::Silent;
    silent.block = 2;
    rig.reader.injectUpdateFault(silent);
    enter();
    EXPECT_EQ(packet(1, counting1024(), kCrcCounting), std::string(1, kAck));
    EXPECT_EQ(answer(header(2), 300), "");
    EXPECT_EQ(answer(counting1024().substr(0, 64), 300), "");
    EXPECT_EQ(answer(std::string(1, kEot), 300), "");
    enter();  // a new "IAP/" wakes it
    EXPECT_EQ(packet(1, counting1024(), kCrcCounting), std::string(1, kAck));
    EXPECT_EQ(packet(2, counting1024(), kCrcCounting), std::string(1, kAck));  // the fault fired once
}

TEST_F(UpdateMode, ToldToCancelOrToBeSlow) {
    vazsim::UpdateFault slow;
    slow.kind = vazsim::UpdateFault::Kind::Slow;
    slow.block = 1;
    slow.delayMs = 400;
    rig.reader.injectUpdateFault(slow);
    vazsim::UpdateFault cancel;
    cancel.kind = vazsim::UpdateFault::Kind::Cancel;
    cancel.block = 2;
    rig.reader.injectUpdateFault(cancel);
    enter();
    // The slow CRC answer: nothing for a while, then the ACK.
    EXPECT_EQ(answer(header(1)), std::string(1, kReady));
    for (size_t k = 0; k < 16; ++k)
        ASSERT_EQ(answer(counting1024().substr(k * 64, 64)), std::string(1, kReady));
    hid.send(crcBytes(kCrcCounting));
    EXPECT_TRUE(hid.quiet(200));
    std::string d = hid.receive(2000);
    ASSERT_EQ(d.size(), 65u);
    EXPECT_EQ(d[1], kAck);
    EXPECT_EQ(answer(header(2)), std::string(1, kCan));
    EXPECT_FALSE(rig.reader.inUpdateMode());
    EXPECT_FALSE(rig.reader.firmwareImage());
}

TEST_F(UpdateMode, VersionWriteSetsWhatVersionReadAnswers) {
    hid.send("V R6KTM20240001/");
    std::vector<std::string> p = hid.receivePayloads(1);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].substr(0, 3), std::string("EN\0", 3));
    EXPECT_TRUE(hid.quiet());
    EXPECT_EQ(rig.reader.model(), "R6KTM20240001");
    hid.send("v/");
    p = hid.receivePayloads(2);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].substr(0, 15), std::string("R6KTM20240001/\0", 15));
    EXPECT_EQ(p[1].substr(0, 2), "EN");

    // Refused: no text, no blank, a text whose "v/" answer would not fit one report.
    for (const std::string& bad :
         {std::string("V /"), std::string("V/"), "V " + std::string(62, '7') + "/"}) {
        hid.send(bad);
        p = hid.receivePayloads(1);
        ASSERT_EQ(p.size(), 1u) << bad;
        EXPECT_EQ(p[0].substr(0, 2), "06") << bad;
    }
    EXPECT_EQ(rig.reader.model(), "R6KTM20240001");
    hid.send("V " + std::string(61, '7') + "/");
    EXPECT_EQ(hid.receivePayloads(1).at(0).substr(0, 2), "EN");
}

TEST(UpdateModeProgram, FirmwareOutAndNakBlock) {
    const std::string sock = tempPath("fw.sock"), out = tempPath("fw.bin");
    pid_t pid = fork();
    if (pid == 0) {
        execl(VAZSIM_PROGRAM, "vazsim", "--hid", sock.c_str(), "--firmware-out", out.c_str(), "--nak-block",
              "1", static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int i = 0; i < 100 && !std::filesystem::exists(sock); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        HidHost hid(sock);
        auto answer = [&](const std::string& payload) {
            hid.send(payload);
            std::string d = hid.receive();
            return d.size() == 65 ? d[1] : '\0';
        };
        ASSERT_EQ(answer("IAP/"), 'C');
        for (char verdict : {kNak, kAck}) {
            EXPECT_EQ(answer(header(1)), kReady);
            for (int k = 0; k < 16; ++k) EXPECT_EQ(answer(std::string(64, '\x1A')), kReady);
            EXPECT_EQ(answer(crcBytes(kCrcFill)), verdict);
        }
        EXPECT_EQ(answer(std::string(1, kEot)), kAck);
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream in(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string(1024, '\x1A'));
}
