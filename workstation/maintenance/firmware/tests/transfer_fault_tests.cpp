// Transfers against a reader that rejects, stalls, stops answering, cancels
// or is unplugged: each ends with its own result, in bounded time, with the
// file closed and the progress back at 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "firmware_rig.h"

using firmware::FirmwareTransfer;
using firmware::TransferResult;
using vazsim::UpdateFault;
using namespace fwtest;
using Clock = std::chrono::steady_clock;

namespace {

UpdateFault Fault(UpdateFault::Kind kind, int block, int times = 1, int delayMs = 0) {
    UpdateFault f;
    f.kind = kind;
    f.block = block;
    f.times = times;
    f.delayMs = delayMs;
    return f;
}

long Count(const std::vector<std::string>& sent, const std::string& payload) {
    return std::count(sent.begin(), sent.end(), payload);
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

TEST(TransferFaults, RejectedPacketIsSentAgainFromItsHeader) {
    Rig rig;
    rig.reader.injectUpdateFault(Fault(UpdateFault::Kind::Nak, 3));
    const std::string file = RandomBytes(8 * 1024, 11);
    rig.EnterUpdateMode();
    Progress progress;
    FirmwareTransfer transfer(*rig.link);
    EXPECT_EQ(transfer.Run(WriteFile("nak.bin", file), progress.Callbacks()), TransferResult::Completed);
    EXPECT_EQ(rig.WaitForImage().value_or(""), file);  // byte for byte
    EXPECT_EQ(transfer.retries(), 1);
    const std::vector<std::string> sent = rig.SentPayloads();
    ASSERT_EQ(sent.size(), 9u * 18 + 1);
    EXPECT_EQ(sent[2 * 18], HeaderPayload(3));
    EXPECT_EQ(sent[3 * 18], HeaderPayload(3));  // right after the rejected CRC
    EXPECT_EQ(Count(sent, HeaderPayload(4)), 1);
    EXPECT_EQ(progress.Positions(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 0}));
}

TEST(TransferFaults, MoreThanTenRejectionsFailTheCheck) {
    Rig rig;
    rig.reader.injectUpdateFault(Fault(UpdateFault::Kind::Nak, 2, -1));
    rig.EnterUpdateMode();
    FirmwareTransfer transfer(*rig.link);
    const std::string path = WriteFile("bad.bin", RandomBytes(3000, 12));
    EXPECT_EQ(transfer.Run(path), TransferResult::VerifyFailed);
    EXPECT_EQ(transfer.retries(), 11);
    const std::vector<std::string> sent = rig.SentPayloads();
    EXPECT_EQ(Count(sent, HeaderPayload(2)), 11);  // the first try and ten more
    EXPECT_NE(sent.back()[0], '\x04');             // a rejected image is never declared complete
    EXPECT_FALSE(rig.reader.firmwareImage());
    EXPECT_FALSE(HoldsFile(path));
}

TEST(TransferFaults, ReaderGoingSilentEndsWithinTheBound) {
    Rig rig;
    rig.reader.injectUpdateFault(Fault(UpdateFault::Kind::Silent, 3));
    rig.EnterUpdateMode();
    const std::string path = WriteFile("silent.bin", RandomBytes(6000, 13));
    Progress progress;
    FirmwareTransfer transfer(*rig.link);
    const auto start = Clock::now();
    EXPECT_EQ(transfer.Run(path, progress.Callbacks()), TransferResult::NoAnswer);
    const double took = Seconds(Clock::now() - start);
    // The bound is 3 s of silence, checked once a turn of 1 s.
    EXPECT_GE(took, 3.0);
    EXPECT_LT(took, 4.5);
    EXPECT_FALSE(HoldsFile(path));
    EXPECT_EQ(progress.Positions(), (std::vector<int>{0, 1, 2, 0}));
    // Nothing was sent while the reader was silent: no stale byte drove a report.
    const std::vector<std::string> sent = rig.SentPayloads();
    ASSERT_EQ(sent.size(), 2u * 18 + 1);
    EXPECT_EQ(sent.back(), HeaderPayload(3));
}

TEST(TransferFaults, SlowReaderWithinTheBoundIsWaitedFor) {
    Rig rig;
    // Longer than one turn, shorter than the bound: the transfer waits and sends nothing meanwhile.
    rig.reader.injectUpdateFault(Fault(UpdateFault::Kind::Slow, 2, 1, 1500));
    const std::string file = RandomBytes(3 * 1024, 14);
    rig.EnterUpdateMode();
    FirmwareTransfer transfer(*rig.link);
    EXPECT_EQ(transfer.Run(WriteFile("slow.bin", file)), TransferResult::Completed);
    EXPECT_EQ(rig.WaitForImage().value_or(""), file);
    EXPECT_EQ(rig.SentPayloads().size(), 3u * 18 + 1);
}

TEST(TransferFaults, LastPacketNeverAccepted) {
    Rig rig;
    rig.reader.injectUpdateFault(Fault(UpdateFault::Kind::Slow, 2, 1, 1500));
    rig.EnterUpdateMode();
    firmware::TransferLimits limits;
    limits.turnMs = 100;
    limits.answerMs = 300;
    limits.finalAckMs = 800;
    FirmwareTransfer transfer(*rig.link, limits);
    const auto start = Clock::now();
    EXPECT_EQ(transfer.Run(WriteFile("final.bin", RandomBytes(2000, 15))), TransferResult::NoFinalAck);
    const double took = Seconds(Clock::now() - start);
    EXPECT_GE(took, 0.8);  // the longer bound of the last verdict, not the ordinary one
    EXPECT_LT(took, 1.4);
    EXPECT_NE(rig.SentPayloads().back()[0], '\x04');
}

TEST(TransferFaults, ReaderCancels) {
    Rig rig;
    rig.reader.injectUpdateFault(Fault(UpdateFault::Kind::Cancel, 2));
    rig.EnterUpdateMode();
    Progress progress;
    FirmwareTransfer transfer(*rig.link);
    EXPECT_EQ(transfer.Run(WriteFile("can.bin", RandomBytes(5000, 16)), progress.Callbacks()),
              TransferResult::ReaderCancelled);
    EXPECT_EQ(rig.SentPayloads().size(), 18u + 1);  // the first packet and the next header
    EXPECT_EQ(progress.Positions().back(), 0);
}

TEST(TransferFaults, ReaderUnpluggedMidTransfer) {
    Rig rig;
    rig.EnterUpdateMode();
    const std::string path = WriteFile("gone.bin", RandomBytes(20 * 1024, 17));
    Progress progress;
    firmware::TransferCallbacks callbacks = progress.Callbacks();
    auto record = callbacks.position;
    callbacks.position = [&](int p) {
        record(p);
        if (p == 2) rig.transport.reset();  // the socket closes as a real reader's node goes away
    };
    FirmwareTransfer transfer(*rig.link);
    const auto start = Clock::now();
    EXPECT_EQ(transfer.Run(path, callbacks), TransferResult::DeviceGone);
    EXPECT_LT(Seconds(Clock::now() - start), 2.0);  // told at once, not after the silence bound
    EXPECT_TRUE(rig.link->IsGone());
    EXPECT_FALSE(HoldsFile(path));
    EXPECT_EQ(progress.Positions().back(), 0);
}
