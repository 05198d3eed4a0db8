// Test-mode data: VazSetTest, the value (I 4), area (I 2, I 7) and curve
// (I 6) reads into the data blocks, and the three copy-out exports.
//
// Every block holds only the bytes the reply really carried, whatever its
// length field announced, and the copy-outs hand out only those.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "vaz_device.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Bytes of an n-byte receive that really arrived: the serial link counts
// them; a USB receive either delivers all its reports or, silent, none.
int Delivered(const CVazDevice& d, int result, int n) {
    if (d.link->kind == LinkKind::Serial) return std::clamp(result, 0, n);
    return result > 0 && !d.readerSilent ? n : 0;
}

// Receives an n-byte block into `block` (replacing it).
void ReceiveBlock(CVazDevice& d, DataBlock& block, int n) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(n) + 1, 0);
    const int got = d.ReceiveRaw(bytes.data(), n);  // USB: even an empty block has its report
    block.Assign(bytes.data(), Delivered(d, got, n));
}

// One reply pair of VazSetTest: ASCII digits are the reader's code, anything
// but `expected` twice is garbled.
bool CheckTestReply(CVazDevice& d, unsigned char expected) {
    unsigned char r[4] = {};
    d.ReceiveRaw(r, 2);
    if (IsDigit(static_cast<char>(r[0])) && IsDigit(static_cast<char>(r[1]))) {
        const char code[3] = {static_cast<char>(r[0]), static_cast<char>(r[1]), 0};
        d.error.SetCode(code);
        return false;
    }
    if (r[0] == expected && r[1] == expected) return true;
    d.error.SetCode(VAZ_CODE_COMMUNICATION);
    return false;
}

// Exchanges a command whose reply is one block for data block A and reads
// the block's length field. A refused read or a bad length field leaves no
// block behind, so the copy-out cannot present the previous values as new
// ones. Returns the announced count, or -1.
int BeginBlockReply(CVazDevice& d, const char* command) {
    if (!d.Exchange(command)) {
        d.blockA.Free();
        return -1;
    }
    const int n = d.ReceiveBlockLength();
    if (n < 0) d.blockA.Free();
    return n;
}

}  // namespace

int CVazDevice::SetTest(int first, int second) {
    char command[32];
    std::snprintf(command, sizeof command, "I 0 %03d %02d/", first, second);
    error.Reset();
    if (Exchange(command) && CheckTestReply(*this, 0xFC)) return CheckTestReply(*this, 0xFF) ? 1 : 0;
    vazhost::FrameworkMessageBox(vazstr::kTestCmdError);
    return 0;
}

void CVazDevice::ValueRead(const char* command) {
    const int n = BeginBlockReply(*this, command);
    if (n < 0) return;
    ReceiveBlock(*this, blockA, n);
    ReceiveStatus();
}

int CVazDevice::AreaRead(const char* command) {
    // A read that fails at any step leaves neither block: the copy-out then
    // answers 0 rather than an earlier card's levels.
    const int result = AreaReadSteps(command);
    if (result == 0) {
        blockA.Free();
        blockB.Free();
    }
    return result;
}

int CVazDevice::AreaReadSteps(const char* command) {
    const bool limited = areaKind == 2;
    const int limit = 50 * areaLimitArg;
    if (!Exchange(command)) return 0;
    if (limited && !ReceiveStatus()) return 0;

    const int n = ReceiveBlockLength();
    if (n < 0) return 0;
    char field[5] = {};
    blockA.AssignHeaderOnly(n);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(n) + 1, 0);
    int got = ReceiveRaw(bytes.data(), n);
    if (limited && n > limit) {
        // Too large for the caller's buffer: refused. The rest of the reply
        // is read and dropped, so it is not taken for the next command's
        // status.
        std::memset(field, 0, sizeof field);
        const int m = ReceiveLengthField(field);
        if (m >= 0) {
            std::vector<unsigned char> drop(static_cast<std::size_t>(m) + 1);
            ReceiveRaw(drop.data(), m);
        }
        if (std::strlen(field) > 2) ReceiveStatus();
        Fail();
        return 0;
    }
    blockA.Assign(bytes.data(), Delivered(*this, got, n));

    std::memset(field, 0, sizeof field);
    const int m = ReceiveLengthField(field);
    if (std::strlen(field) <= 2) {
        blockB.Free();  // this card has no gray block: none from an older one
        return ParseStatus(field) ? 1 : 0;
    }
    if (m < 0) {
        Fail();
        return 0;
    }
    blockB.AssignHeaderOnly(m);
    bytes.assign(static_cast<std::size_t>(m) + 1, 0);
    got = ReceiveRaw(bytes.data(), m);
    const bool keptB = !limited || m <= limit;
    if (keptB) blockB.Assign(bytes.data(), Delivered(*this, got, m));
    const bool ok = ReceiveStatus();
    if (!keptB) {
        Fail();
        return 0;
    }
    return ok ? 1 : 0;
}

void CVazDevice::CurveRead(int k) {
    char command[32];
    std::snprintf(command, sizeof command, "I 6 %d/", k);
    const int n = BeginBlockReply(*this, command);
    if (n < 0) return;
    blockA.AssignHeaderOnly(n);
    if (k == 0) {
        unsigned char extra[8] = {};
        ReceiveRaw(extra, 4);  // the sync curve's 4 leading bytes are dropped
    }
    ReceiveBlock(*this, blockA, n);
    ReceiveStatus();
}

int CVazDevice::GetValue(char which, int* values) {
    if (!blockA.Exists()) return 0;
    const int n = blockA.Count();
    const unsigned char* data = blockA.Data();
    if (which == 'A') {
        const int count = n >= 96 ? n / 2 : n;
        for (int i = 0; i < count; ++i) values[i] = data[i];
    } else if (which == 'B') {
        for (int i = 0; i < n - n / 2; ++i) values[i] = data[n / 2 + i];
    }
    return n;
}

int CVazDevice::GetOriOrGray(char which, int* values) {
    if (error.IsPending()) return 0;
    const DataBlock* block = which == 'A' ? &blockA : which == 'B' ? &blockB : nullptr;
    if (block == nullptr || !block->Exists()) return 0;
    const int n = block->Count();
    for (int i = 0; i < n; ++i) values[i] = block->Data()[i];
    return n;
}

int CVazDevice::GetCurve(int* values) {
    if (!blockA.Exists()) return 0;
    const int n = blockA.Count() - 4;  // the block's last 4 bytes are not samples
    if (n <= 0) return 0;
    for (int i = 0; i < n; ++i) values[i] = blockA.Data()[i];
    return n;
}
