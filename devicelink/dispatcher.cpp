// The dispatcher behind VazS (SendCommand) and the reply fetch behind VazG
// (FetchReply).
#include <cstdio>
#include <cstring>

#include "link_devices.h"
#include "vaz_device.h"

namespace {
char FirstNonBlank(const char* command) {
    while (*command == ' ') ++command;
    return *command;
}
}  // namespace

SameCallReply CVazDevice::Classify(const char* command, char letter) {
    int numbers[5] = {0, 0, 0, 0, 0};
    if (letter == 'S') {
        lowerCaseDownload = false;
    } else if (letter == 's') {
        lowerCaseDownload = true;
    } else if (letter == 'r' || (letter >= '0' && letter <= '9')) {
        if (vazproto::ExtractNumbers(command, numbers, 2, 5) != 0) {
            pending.Remove(PendingReply::StoredRead);
            pending.Add(PendingReply::BlockRead);
            channel = strlen(command) > 2 ? command[2] : 0;
            blockStart = numbers[0];
            blockCount = numbers[1];
        } else {
            pending.Add(PendingReply::StoredRead);
        }
    } else if (letter == 'I') {
        if (vazproto::ExtractNumbers(command, numbers, 5, 5) == 0) return SameCallReply::None;  // ordinary
        switch (numbers[0]) {
            case 1:
                pending.Add(PendingReply::WordRead);
                return SameCallReply::I1;
            case 2:
            case 7:
                areaKind = numbers[0];
                areaLimitArg = numbers[1];
                return SameCallReply::AreaRead;
            case 3:
                pending.Add(PendingReply::ByteRead);
                return SameCallReply::I3;
            case 4:
                return SameCallReply::ValueRead;
            case 5:
                i5Values[0] = numbers[1];
                i5Values[1] = numbers[2];
                return SameCallReply::I5;
            case 6:
                curveSelector = numbers[1];
                return SameCallReply::CurveRead;
            default:
                break;  // 0 and others: nothing further
        }
    } else if (letter == 'X') {
        // Single-digit runs only: a longer run further on ends the scan with
        // -1, and the number stored before it decides.
        numbers[0] = -1;
        const int stored = vazproto::ExtractNumbers(command, numbers, 1, 1) != 0 ? numbers[0] : -1;
        if (stored == 0) return SameCallReply::X0;
        if (stored == 1) return SameCallReply::X1;
        if (stored == 2) pending.Add(PendingReply::X2Data);
    }
    return SameCallReply::None;
}

int CVazDevice::SendPrintPieces(const unsigned char* text, int length) {
    for (int pos = 0; pos < length; pos += 4) {
        unsigned char piece[5];
        int take = length - pos < 4 ? length - pos : 4;
        memcpy(piece, text + pos, static_cast<size_t>(take));
        piece[take] = 0x04;
        if (!Exchange(piece, take + 1)) return 0;
        vazhost::SleepMs(50);
    }
    return length;
}

int CVazDevice::SendCommand(const char* command) {
    if (!command) command = "";
    if (printMode)
        return SendPrintPieces(reinterpret_cast<const unsigned char*>(command),
                               static_cast<int>(strlen(command)));

    const char letter = FirstNonBlank(command);
    const SameCallReply now = Classify(command, letter);
    switch (letter) {
        case 'S':
        case 's': {
            size_t len = strlen(command);
            std::string path = len >= 3 ? std::string(command + 2, len - 3) : std::string();
            bool ok = FormatDownload(path);
            lowerCaseDownload = false;
            return ok ? VAZ_ACCEPTED : VAZ_FAILED;
        }
        case 'I':
            switch (now) {
                case SameCallReply::AreaRead:
                    return AreaRead(command);
                case SameCallReply::CurveRead:
                    CurveRead(curveSelector);
                    return VAZ_ACCEPTED;
                case SameCallReply::ValueRead:
                    ValueRead(command);
                    return VAZ_ACCEPTED;
                case SameCallReply::I5: {
                    char text[40];
                    snprintf(text, sizeof text, "I 5 %02d %02d/", i5Values[0], i5Values[1]);
                    // A refused first exchange has no second status to wait for.
                    if (!Exchange(text)) return VAZ_FAILED;
                    return ReceiveStatus() ? VAZ_DONE : VAZ_FAILED;
                }
                case SameCallReply::I1:
                case SameCallReply::I3:
                    if (Exchange(command)) return VAZ_DONE;
                    // Refused: no data follows, so VazG must not wait for it.
                    pending.Remove(now == SameCallReply::I1 ? PendingReply::WordRead : PendingReply::ByteRead);
                    return VAZ_FAILED;
                default:
                    return Exchange(command) ? VAZ_DONE : VAZ_FAILED;
            }
        case 'R':
        case '/': {
            bool ok = Exchange(command);
            if (ok && readMode == 0) return ReceiveStatus() ? VAZ_DONE : VAZ_FAILED;
            return ok ? VAZ_DONE : VAZ_FAILED;
        }
        case '-': {
            bool ok = Exchange(command);
            error.Reset();
            return ok ? VAZ_DONE : VAZ_FAILED;
        }
        case 'r':
            // With a block read pending the read happens in VazG; a stored
            // read keeps its command for VazG.
            if (!pending.Has(PendingReply::BlockRead) && pending.Has(PendingReply::StoredRead)) {
                memset(storedReadCommand, 0, sizeof storedReadCommand);
                strncpy(storedReadCommand, command, sizeof storedReadCommand - 1);
            }
            return VAZ_ACCEPTED;
        case 'J':
        case 'M':
        case 'm':
            if (!Exchange(command)) return VAZ_FAILED;
            vazhost::SleepMs(400);
            return ReceiveStatus() ? VAZ_DONE : VAZ_FAILED;
        case 'T': {
            // The transfer result; a vanished device is a failure like any other.
            const int sent = SendRaw(command);
            return sent == CHidDevice::kGone ? CHidDevice::kFailed : sent;
        }
        case 'X':
            if (now == SameCallReply::X0) return Exchange(command) ? VAZ_DONE : VAZ_FAILED;
            if (now == SameCallReply::X1) return Exchange("X 1/") ? VAZ_DONE : VAZ_FAILED;
            if (pending.Has(PendingReply::X2Data)) {
                SendRaw("X 2/");
                blockA.Free();
                const int n = ReceiveBlockLength();
                if (n < 0) return VAZ_FAILED;  // not a length field: nothing is copied
                std::vector<unsigned char> data(static_cast<size_t>(n) + 1);
                ReceiveRaw(data.data(), n);
                blockA.Assign(data.data(), n);
                return ReceiveStatus() ? VAZ_DONE : VAZ_FAILED;  // X2Data stays pending for VazG
            }
            // No digit at all: the command is not sent. Another first number:
            // an ordinary command.
            if (!strpbrk(command, "0123456789")) return VAZ_FAILED;
            return Exchange(command) ? VAZ_DONE : VAZ_FAILED;
        default:
            return Exchange(command) ? VAZ_DONE : VAZ_FAILED;
    }
}

int CVazDevice::FetchReply(char* buffer) {
    if (error.IsPending()) {
        error.CopyCode(buffer);  // clears the pending mark
        return VAZ_ACCEPTED;
    }
    if (pending.Empty()) return 0;  // nothing pending: no data is written
    switch (pending.Next()) {
        case PendingReply::StoredRead:
            return StoredRead(buffer);
        case PendingReply::ByteRead:
            ReceiveRaw(buffer, 1);
            pending.Remove(PendingReply::ByteRead);
            return ReceiveStatus() ? VAZ_DONE : VAZ_FAILED;
        case PendingReply::BlockRead:
            return BlockRead(buffer);
        case PendingReply::WordRead: {
            char two[3] = {};
            ReceiveRaw(two, 2);
            memcpy(buffer, two, 2);
            pending.Remove(PendingReply::WordRead);
            return ReceiveStatus() ? VAZ_DONE : VAZ_FAILED;
        }
        case PendingReply::X2Data: {
            pending.Remove(PendingReply::X2Data);
            if (!blockA.Exists()) return 0;
            int n = blockA.Count();
            memcpy(buffer, blockA.Data(), static_cast<size_t>(n));
            buffer[n] = 0;
            return n;
        }
    }
    return 0;
}
