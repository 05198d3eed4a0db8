// Card data fetched by VazG: the block read "r %c %04d %04d/" with the "G/"
// supplement of a format that has an "f" line, and the stored "r %c/" read.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "vaz_device.h"

namespace {

// Longest card data the 5000-byte block read buffer takes once the receive is
// rounded to whole USB reports.
constexpr int kMaxBlockData = VAZ_CARD_DATA_MAX - 1;
static_assert(VAZ_CARD_DATA_MAX + 1 <= CVazDevice::kBlockReadBufferSize);
static_assert(VAZ_SUPPLEMENT_MAX + VAZ_CARD_DATA_MAX + 1 <= VAZ_REPLY_SIZE);

}  // namespace

int CVazDevice::BlockRead(char* buffer) {
    blockReadBuffer.reset(new char[kBlockReadBufferSize]);
    std::memset(blockReadBuffer.get(), 0, kBlockReadBufferSize);

    char command[40];
    std::snprintf(command, sizeof command, "r %c %04d %04d/", channel, blockStart, blockCount);
    int result = 0;
    if (Exchange(command)) {
        const int n = ReceiveBlockLength();  // -1: the code is set
        if (n > kMaxBlockData) {
            // Refused, never copied past the buffer. The announced bytes are
            // drained so that they are not taken for the next status.
            std::vector<char> scratch(static_cast<std::size_t>(n) + 2);
            ReceiveRaw(scratch.data(), n + 1);
            ReceiveStatus();
            Fail();
        } else if (n >= 0) {
            const bool got = ReceiveRaw(blockReadBuffer.get(), n + 1) > 0;
            blockReadBuffer[kBlockReadBufferSize - 1] = 0;
            const bool ok = ReceiveStatus();
            if (got && ok) result = n + 1;
        }
    }
    pending.Remove(PendingReply::BlockRead);

    if (fLine && channel == 'A') {
        // A reader that fell silent during the block read is not asked
        // again: there is no card data to hand out.
        if (readerSilent) {
            buffer[0] = 0;
            return 0;
        }
        const int m = std::min(fNumbers[4], VAZ_SUPPLEMENT_MAX);  // the download refuses larger ones
        std::vector<char> extra(static_cast<std::size_t>(m) + 1, '\0');
        if (online) {
            SendRaw("G/");
            ReceiveRaw(extra.data(), m);
        }
        // A failed block read counts as empty card data.
        const char* data = result > 0 ? blockReadBuffer.get() : "";
        const std::size_t len = std::strlen(data);
        char* out = buffer;
        if (tLine && len > 0) {
            *out++ = data[0];
            std::memcpy(out, extra.data(), static_cast<std::size_t>(m));
            out += m;
            std::memcpy(out, data + 1, len - 1);
            out += len - 1;
        } else {
            std::memcpy(out, extra.data(), static_cast<std::size_t>(m));
            out += m;
            std::memcpy(out, data, len);
            out += len;
        }
        *out = 0;
        return m + static_cast<int>(len);
    }

    if (result > 0) {
        std::strcpy(buffer, blockReadBuffer.get());
    } else {
        buffer[0] = 0;
    }
    return result;
}

int CVazDevice::StoredRead(char* buffer) {
    pending.Remove(PendingReply::StoredRead);
    buffer[0] = 0;
    char four[8] = {};
    // After a refused command the reader sends nothing more: waiting for the
    // 4 bytes would only replace its code by a time-out's "18".
    if (Exchange(storedReadCommand)) {
        ReceiveRaw(four, 4);
        ReceiveStatus();
    }
    std::memcpy(buffer, four, 5);
    return 4;
}
