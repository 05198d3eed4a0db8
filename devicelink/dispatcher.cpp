// The dispatcher behind VazS (SendCommand) and the reply fetch behind VazG
// (FetchReply).
#include <cstdio>
#include <cstring>

#include "vaz_device.h"

namespace {
char FirstNonBlank(const char* command) {
    while (*command == ' ') ++command;
    return *command;
}
}  // namespace

void CVazDevice::Classify(const char* command, char letter) {
    int numbers[5] = {0, 0, 0, 0, 0};
    if (letter == 'S') {
        lowerCaseDownload = false;
    } else if (letter == 's') {
        lowerCaseDownload = true;
    } else if (letter == 'r' || (letter >= '0' && letter <= '9')) {
        if (vazproto::ExtractNumbers(command, numbers, 2, 5) != 0) {
            storedReadPending = false;
            blockReadPending = true;
            channel = strlen(command) > 2 ? command[2] : 0;
            blockStart = numbers[0];
            blockCount = numbers[1];
        } else {
            storedReadPending = true;
        }
    } else if (letter == 'I') {
        if (vazproto::ExtractNumbers(command, numbers, 5, 5) == 0) return;  // an ordinary command
        switch (numbers[0]) {
            case 1: wordReadPending = true; break;
            case 2:
            case 7:
                areaReadPending = true;
                areaKind = numbers[0];
                areaLimitArg = numbers[1];
                break;
            case 3: byteReadPending = true; break;
            case 4: valueReadPending = true; break;
            case 5:
                i5Pending = true;
                i5Values[0] = numbers[1];
                i5Values[1] = numbers[2];
                break;
            case 6:
                curveReadPending = true;
                curveSelector = numbers[1];
                break;
            default: break;  // 0 and others: nothing further
        }
    } else if (letter == 'X') {
        // Single-digit runs only: a longer run further on ends the scan with
        // -1, and the number stored before it decides.
        numbers[0] = -1;
        const int stored = vazproto::ExtractNumbers(command, numbers, 1, 1) != 0 ? numbers[0] : -1;
        x0Pending = stored == 0;
        x1Pending = stored == 1;
        if (stored == 2) x2DataPending = true;
    }
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
        return SendPrintPieces(reinterpret_cast<const unsigned char*>(command), static_cast<int>(strlen(command)));

    const char letter = FirstNonBlank(command);
    Classify(command, letter);
    switch (letter) {
        case 'S':
        case 's': {
            size_t len = strlen(command);
            std::string path = len >= 3 ? std::string(command + 2, len - 3) : std::string();
            bool ok = FormatDownload(path);
            lowerCaseDownload = false;
            return ok ? 255 : 0;
        }
        case 'I':
            if (areaReadPending) {
                int r = AreaRead(command);
                areaReadPending = false;
                return r;
            }
            if (curveReadPending) {
                CurveRead(curveSelector);
                curveReadPending = false;
                return 255;
            }
            if (valueReadPending) {
                ValueRead(command);
                valueReadPending = false;
                return 255;
            }
            if (i5Pending) {
                char text[40];
                snprintf(text, sizeof text, "I 5 %02d %02d/", i5Values[0], i5Values[1]);
                Exchange(text);
                i5Pending = false;
                return ReceiveStatus() ? 1 : 0;
            }
            return Exchange(command) ? 1 : 0;
        case 'R':
        case '/': {
            bool ok = Exchange(command);
            if (ok && readMode == 0) return ReceiveStatus() ? 1 : 0;
            return ok ? 1 : 0;
        }
        case '-': {
            bool ok = Exchange(command);
            error.Reset();
            return ok ? 1 : 0;
        }
        case 'r':
            if (blockReadPending) return 255;  // the read happens in VazG
            if (storedReadPending) {
                memset(storedReadCommand, 0, sizeof storedReadCommand);
                strncpy(storedReadCommand, command, sizeof storedReadCommand - 1);
                return 255;
            }
            return 255;
        case 'J':
        case 'M':
        case 'm':
            if (!Exchange(command)) return 0;
            vazhost::SleepMs(400);
            return ReceiveStatus() ? 1 : 0;
        case 'T':
            return SendRaw(command);
        case 'X':
            if (x0Pending) {
                x0Pending = false;
                return Exchange(command) ? 1 : 0;
            }
            if (x1Pending) {
                x1Pending = false;
                return Exchange("X 1/") ? 1 : 0;
            }
            if (x2DataPending) {
                SendRaw("X 2/");
                blockA.Free();
                char field[5] = {};
                int n = ReceiveLengthField(field);
                if (n < 0) {  // not a length field: nothing is copied
                    Fail("18");
                    return 0;
                }
                std::vector<unsigned char> data(static_cast<size_t>(n) + 1);
                ReceiveRaw(data.data(), n);
                blockA.Assign(data.data(), n);
                return ReceiveStatus() ? 1 : 0;  // the flag stays set for VazG
            }
            // No digit at all: the command is not sent. Another first number:
            // an ordinary command.
            if (!strpbrk(command, "0123456789")) return 0;
            return Exchange(command) ? 1 : 0;
        default:
            return Exchange(command) ? 1 : 0;
    }
}

int CVazDevice::FetchReply(char* buffer) {
    if (error.IsPending()) {
        error.CopyCode(buffer);  // clears the pending mark
        return 255;
    }
    if (storedReadPending) return StoredRead(buffer);
    if (byteReadPending) {
        ReceiveRaw(buffer, 1);
        byteReadPending = false;
        return ReceiveStatus() ? 1 : 0;
    }
    if (blockReadPending) return BlockRead(buffer);
    if (wordReadPending) {
        char two[3] = {};
        ReceiveRaw(two, 2);
        memcpy(buffer, two, 2);
        wordReadPending = false;
        return ReceiveStatus() ? 1 : 0;
    }
    if (x2DataPending) {
        x2DataPending = false;
        if (!blockA.Exists()) return 0;
        int n = blockA.Count();
        memcpy(buffer, blockA.Data(), static_cast<size_t>(n));
        buffer[n] = 0;
        return n;
    }
    return 0;  // nothing pending: no data is written
}
