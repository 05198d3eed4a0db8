// Whole transfers against the virtual reader: what travels, the image that
// arrives, the progress, and the runs that must not start.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "firmware_packet.h"
#include "firmware_rig.h"

using firmware::FirmwareTransfer;
using firmware::TransferResult;
using namespace fwtest;

namespace {

const std::string kEot("\x04", 1);

// The data reports of the packet whose header is at `at` in the sent payloads.
std::string PacketData(const std::vector<std::string>& sent, size_t at) {
    std::string d;
    for (size_t k = 1; k <= 16 && at + k < sent.size(); ++k) d += sent[at + k];
    return d;
}

}  // namespace

TEST(Transfer, FileOf1500BytesIsTwoBlocksWithFill) {
    Rig rig;
    const std::string file = RandomBytes(1500, 1);
    const std::string path = WriteFile("1500.bin", file);
    rig.EnterUpdateMode();
    Progress progress;
    FirmwareTransfer transfer(*rig.link);
    EXPECT_EQ(transfer.Run(path, progress.Callbacks()), TransferResult::Completed);
    EXPECT_EQ(rig.WaitForImage().value_or(""), file + std::string(548, '\x1A'));

    const std::vector<std::string> sent = rig.SentPayloads();
    ASSERT_EQ(sent.size(), 2u * 18 + 1);
    EXPECT_EQ(sent[0], HeaderPayload(1));
    EXPECT_EQ(sent[18], HeaderPayload(2));
    EXPECT_EQ(PacketData(sent, 0), file.substr(0, 1024));
    EXPECT_EQ(PacketData(sent, 18), file.substr(1024) + std::string(548, '\x1A'));
    EXPECT_EQ(sent[36].substr(0, 1), kEot);
    EXPECT_EQ(sent[36].find_first_not_of('\0', 1), std::string::npos);  // 0x04 alone

    EXPECT_EQ(progress.maximum, 2);
    EXPECT_EQ(progress.Positions(), (std::vector<int>{0, 1, 2, 0}));
    EXPECT_EQ(progress.console,
              (std::vector<std::string>{"\r\n文件传输中，请稍后...\r\n", "文件传输完成。\r\n"}));
    EXPECT_FALSE(HoldsFile(path));
}

TEST(Transfer, FileOf1024BytesIsOnePacketWithoutFill) {
    Rig rig;
    const std::string file = RandomBytes(1024, 2);
    rig.EnterUpdateMode();
    Progress progress;
    FirmwareTransfer transfer(*rig.link);
    EXPECT_EQ(transfer.Run(WriteFile("1024.bin", file), progress.Callbacks()), TransferResult::Completed);
    EXPECT_EQ(rig.WaitForImage().value_or(""), file);
    const std::vector<std::string> sent = rig.SentPayloads();
    ASSERT_EQ(sent.size(), 19u);  // one packet, then the ACK is answered with 0x04
    EXPECT_EQ(PacketData(sent, 0), file);
    const uint16_t crc =
        firmware::Crc16Modbus(reinterpret_cast<const unsigned char*>(file.data()), file.size());
    EXPECT_EQ(static_cast<unsigned char>(sent[17][0]), crc >> 8);
    EXPECT_EQ(static_cast<unsigned char>(sent[17][1]), crc & 0xFF);
    EXPECT_EQ(sent[18].substr(0, 1), kEot);
    EXPECT_EQ(progress.maximum, 1);
}

TEST(Transfer, BlockNumbersWrapAfter255) {
    Rig rig;
    const std::string file = RandomBytes(257 * 1024 + 10, 3);
    rig.EnterUpdateMode();
    FirmwareTransfer transfer(*rig.link);
    EXPECT_EQ(transfer.Run(WriteFile("big.bin", file)), TransferResult::Completed);
    const std::optional<std::string> image = rig.WaitForImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->substr(0, file.size()), file);
    const std::vector<std::string> sent = rig.SentPayloads();
    ASSERT_EQ(sent.size(), 258u * 18 + 1);
    EXPECT_EQ(sent[255 * 18], HeaderPayload(256));
    EXPECT_EQ(sent[255 * 18].substr(0, 3), std::string("\x02\x00\xFF", 3));
    EXPECT_EQ(sent[256 * 18], HeaderPayload(1));  // block 257
}

TEST(Transfer, AckAtBlockOneStartsNothing) {
    Rig rig;
    rig.EnterUpdateMode();
    FirmwareTransfer transfer(*rig.link);
    ASSERT_EQ(transfer.Run(WriteFile("a.bin", RandomBytes(100, 4))), TransferResult::Completed);
    // The reader's last word was the ACK of the end of transmission: without a new "IAP/" a
    // second run sees that ACK at block 1 and must not send a header.
    ASSERT_TRUE(rig.WaitForImage());
    rig.reader.clearTrace();
    Progress progress;
    EXPECT_EQ(transfer.Run(WriteFile("b.bin", RandomBytes(100, 5)), progress.Callbacks()),
              TransferResult::NotReady);
    EXPECT_TRUE(rig.SentPayloads().empty());
    EXPECT_EQ(progress.Positions().back(), 0);
}

TEST(Transfer, ReaderNotInUpdateMode) {
    Rig rig;
    FirmwareTransfer transfer(*rig.link);
    EXPECT_EQ(transfer.Run(WriteFile("c.bin", RandomBytes(3000, 6))), TransferResult::NotReady);
    EXPECT_TRUE(rig.SentPayloads().empty());
}

TEST(Transfer, FilesThatCannotBeSent) {
    Rig rig;
    rig.EnterUpdateMode();
    FirmwareTransfer transfer(*rig.link);
    EXPECT_EQ(transfer.Run(TempPath("missing.bin")), TransferResult::OpenFailed);
    EXPECT_EQ(transfer.fileError(), ENOENT);
    const std::string folder = TempPath("dir");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(transfer.Run(folder), TransferResult::OpenFailed);
    EXPECT_EQ(transfer.fileError(), EISDIR);
    EXPECT_EQ(transfer.Run(WriteFile("empty.bin", "")), TransferResult::EmptyFile);
    EXPECT_TRUE(rig.SentPayloads().empty());
    // The reader still waits for its first header.
    EXPECT_EQ(transfer.Run(WriteFile("ok.bin", "x")), TransferResult::Completed);
}

TEST(Transfer, OneRunAtATimeAndCancel) {
    Rig rig;
    vazsim::UpdateFault slow;
    slow.kind = vazsim::UpdateFault::Kind::Slow;
    slow.block = 1;
    slow.delayMs = 600;
    rig.reader.injectUpdateFault(slow);
    const std::string path = WriteFile("cancel.bin", RandomBytes(5000, 7));
    rig.EnterUpdateMode();
    FirmwareTransfer transfer(*rig.link);
    Progress progress;
    auto run = std::async(std::launch::async, [&] { return transfer.Run(path, progress.Callbacks()); });
    while (!transfer.IsRunning()) std::this_thread::yield();
    EXPECT_EQ(transfer.Run(path), TransferResult::AlreadyRunning);
    transfer.Cancel();
    ASSERT_EQ(run.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(run.get(), TransferResult::Cancelled);
    EXPECT_FALSE(transfer.IsRunning());
    EXPECT_FALSE(HoldsFile(path));
    EXPECT_EQ(progress.Positions().back(), 0);
    EXPECT_LE(rig.SentPayloads().size(), 18u);  // nothing after the first packet
}
