// The reader's answers to each command: which elements it sends, in which
// order, and what the command changes inside the reader.
#include <algorithm>
#include <cstdio>

#include "reader_state.h"

namespace vazsim {

namespace {

const char* const kOk = "EN";
const char* const kNoFormat = "01";
const char* const kBadParameter = "06";
const char* const kNoSheet = "16";

Reply status(const std::string& s) {
    return {Piece{s}};
}
Reply twoStatus(const std::string& second = kOk) {
    return {Piece{kOk}, Piece{second}};
}
Piece lengthPiece(size_t n) {
    return Piece{lengthField(n), static_cast<int>(n)};
}

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

std::string fourDigits(long v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04ld", std::clamp(v, 0L, 9999L));
    return buf;
}

}  // namespace

std::vector<long> extractNumbers(const std::string& text, size_t room) {
    std::vector<long> out;
    size_t i = 0;
    while (i < text.size() && out.size() < room) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        long v = 0;
        int digits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            if (++digits <= 9) v = v * 10 + (text[i] - '0');  // longer runs saturate instead of overflowing
        out.push_back(v);
    }
    return out;
}

std::string lengthField(size_t n) {
    return fourDigits(static_cast<long>(std::min<size_t>(n, 9999)));
}

Reply VirtualReader::State::answer(const std::string& command, Link link) {
    if (printMode) return answerPrintPiece(command);
    if (downloading) {
        // A host that starts over with the handshake has given the download up.
        if (command != "ONLINE/") return answerDownload(command);
        downloading = false;
    }
    if (downloadStart(command)) {
        downloading = true;
        downloadRefused = false;
        pendingFormat.clear();
        return status(kOk);
    }
    if (command == "ONLINE/") return twoStatus();
    if (command == "v/") {
        Reply r{Piece{model + "/"}};
        // On the serial link two bytes follow the text, which the host skips.
        if (link == Link::Serial) r.push_back(Piece{"\r\n"});
        r.push_back(Piece{kOk});
        return r;
    }
    if (command == "IAP/" && link == Link::Hid) return answerUpdateStart();
    if (command == "N/") {
        std::string b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[static_cast<size_t>(i)] = static_cast<char>((counter >> (8 * i)) & 0xFF);
        return {Piece{b}, Piece{kOk}};
    }

    const size_t first = command.find_first_not_of(' ');
    const char letter = first == std::string::npos ? '\0' : command[first];
    const std::vector<long> numbers = extractNumbers(command);
    switch (letter) {
        case 'R':
        case '/':
            return answerRead();
        case 'r':
            if (numbers.size() >= 2) return answerBlockRead(command, numbers);
            return {Piece{kOk}, Piece{fourDigits(lastCard ? lastCard->syncCount : 0)}, Piece{kOk}};
        case 'G':
            return command == "G/" ? answerSupplement() : status(kOk);
        case 'I':
            return numbers.empty() ? status(kOk) : answerTest(numbers);
        case 'J':
            if (!numbers.empty() && (numbers[0] < 1 || numbers[0] > 15)) return status(kBadParameter);
            return twoStatus();
        case 'm':
            if (numbers.size() < 2 || numbers[0] < 1 || numbers[0] > 19 || numbers[1] < 1 || numbers[1] > 19)
                return status(kBadParameter);
            return twoStatus();
        case 'M':
            if (numbers.empty() || numbers[0] < 1 || numbers[0] > 8) return status(kBadParameter);
            return twoStatus();
        case 'V':
            return answerVersionWrite(command);
        case 'T':
            ++halfLine;  // the paper moves on by half a line; no answer
            return {};
        case 'X': {
            // Only a single leading digit selects the X command, as the host classifies it.
            const size_t d = command.find_first_of("0123456789");
            const bool single = d != std::string::npos &&
                                (d + 1 >= command.size() || command[d + 1] < '0' || command[d + 1] > '9');
            if (!single) return status(kOk);
            if (command[d] == '0') return answerPrintSettings(command.substr(d + 1));
            if (command[d] == '2')
                return {lengthPiece(printSettings.size()), Piece{printSettings}, Piece{kOk}};
            return status(kOk);  // "X 1/": the serial counter is stored
        }
        case 'L':
            if (numbers.size() != 1 || numbers[0] > 1) return status(kBadParameter);
            secondStatus = numbers[0] == 0;
            return status(kOk);
        case 't':
            if (command == "t/") printMode = true;
            return status(kOk);
        default:
            return status(kOk);
    }
}

Reply VirtualReader::State::answerPrintPiece(const std::string& piece) {
    static const std::string kInit("\x1B\x63\x00\x04", 4);
    if (piece == kInit) return status(kOk);
    std::string text = piece;
    if (!text.empty() && text.back() == '\x04') text.pop_back();
    if (text.find('\x18') != std::string::npos) {
        printMode = false;
        return status(kOk);
    }
    printed += text;
    if (printed.size() > 65536) printed.erase(0, printed.size() - 65536);
    return status(kOk);
}

bool VirtualReader::State::downloadStart(const std::string& command) const {
    if (command.size() < 2 || (command[0] != 'S' && command[0] != 's') || command.back() != '/') return false;
    return command[1] == ' ' || command[1] == '/';
}

Reply VirtualReader::State::answerDownload(const std::string& command) {
    if (command == "EN/") {
        downloading = false;
        if (downloadRefused) {
            // A format with a refused command is no format: say so again at the end.
            hasFormat = false;
            format.clear();
            return status(refusedCode);
        }
        format = pendingFormat;
        hasFormat = true;
        return status(kOk);
    }
    if (downloadStart(command)) {
        downloadRefused = false;
        pendingFormat.clear();
        return status(kOk);
    }
    const int index = static_cast<int>(pendingFormat.size()) + (downloadRefused ? 1 : 0);
    if (!downloadRefused) {
        for (const FormatRefusal& r : refusals) {
            if ((!r.prefix.empty() && startsWith(command, r.prefix)) ||
                (r.prefix.empty() && r.index == index)) {
                downloadRefused = true;
                refusedCode = r.code;
                return status(r.code);
            }
        }
        pendingFormat.push_back(command);
    }
    return status(kOk);
}

std::optional<Sheet> VirtualReader::State::feedSheet(std::string& fault) {
    if (hopper.empty()) {
        fault = "NO";
        return std::nullopt;
    }
    Sheet s = std::move(hopper.front());
    hopper.pop_front();
    ++counter;
    fault = s.fault;
    if (fault.empty()) {
        lastCard = s;
        halfLine = 0;
    }
    return s;
}

Reply VirtualReader::State::answerRead() {
    if (!hasFormat) return status(kNoFormat);
    std::string fault;
    if (!feedSheet(fault) && fault == "NO") return status(fault);
    const std::string result = fault.empty() ? kOk : fault;
    // With the second status the first one only says that a sheet was taken.
    return secondStatus ? twoStatus(result) : status(result);
}

Reply VirtualReader::State::answerBlockRead(const std::string& command, const std::vector<long>& numbers) {
    (void)command;  // both channel letters carry the same recognised text
    if (!hasFormat) return status(kNoFormat);
    if (!lastCard) return status(kNoSheet);
    const std::string& text = lastCard->answerFor(format);
    const size_t from = numbers[0] > 0 ? static_cast<size_t>(numbers[0] - 1) : 0;
    const size_t count = static_cast<size_t>(std::max(0L, numbers[1]));
    std::string data = from < text.size() ? text.substr(from, count) : std::string();
    if (data.size() > kMaxAnswerLength) data.resize(kMaxAnswerLength);
    const size_t n = data.size();
    data.push_back('\0');
    return {Piece{kOk}, lengthPiece(n), Piece{data}, Piece{kOk}};
}

Reply VirtualReader::State::answerSupplement() {
    long m = -1;
    for (const std::string& c : format) {
        std::vector<long> p = extractNumbers(c, 5);
        if (!c.empty() && c[0] == 'f' && p.size() >= 5) m = p[4];
    }
    if (m < 0) return status(kBadParameter);  // no "f" line: there is no supplement
    std::string bytes = lastCard ? lastCard->extra : std::string();
    bytes.resize(static_cast<size_t>(std::min(m, 4096L)), '0');
    return {Piece{bytes}};
}

Reply VirtualReader::State::answerTest(const std::vector<long>& numbers) {
    const Sheet* card = lastCard ? &*lastCard : nullptr;
    switch (numbers[0]) {
        case 0:
            return {Piece{kOk}, Piece{"\xFC\xFC"}, Piece{"\xFF\xFF"}};
        case 1: {
            std::string v = sensors.instantValues(card, halfLine);
            return {Piece{kOk}, Piece{v.substr(0, 2)}, Piece{kOk}};
        }
        case 2: {
            std::string fault;
            std::optional<Sheet> s = feedSheet(fault);
            if (!s && fault == "NO") return status(fault);
            if (!fault.empty()) return twoStatus(fault);
            std::string raw = sensors.rawBlock(*s), gray = sensors.grayBlock(*s);
            return {Piece{kOk},  Piece{kOk}, lengthPiece(raw.size()), Piece{raw}, lengthPiece(gray.size()),
                    Piece{gray}, Piece{kOk}};
        }
        case 3:
            return {Piece{kOk}, Piece{std::string(1, static_cast<char>(card ? card->syncCount : 0))},
                    Piece{kOk}};
        case 4: {
            std::string v = sensors.instantValues(card, halfLine);
            return {Piece{kOk}, lengthPiece(v.size()), Piece{v}, Piece{kOk}};
        }
        case 5: {
            const int head = numbers.size() >= 2 ? headIndexFromNumber(static_cast<int>(numbers[1])) : -1;
            if (head < 0) return status(kBadParameter);
            curveHead = head;  // the second number, the expected mark count, is informational
            return twoStatus();
        }
        case 6: {
            if (!card) return status(kNoSheet);
            const bool sync = numbers.size() < 2 || numbers[1] == 0;
            std::string block = sync ? sensors.syncCurve(*card) : sensors.headCurve(*card, curveHead);
            // Four trailing bytes the host drops: the sample count, LSB first.
            const uint32_t samples = static_cast<uint32_t>(block.size());
            for (int i = 0; i < 4; ++i) block.push_back(static_cast<char>((samples >> (8 * i)) & 0xFF));
            Reply r{Piece{kOk}, lengthPiece(block.size())};
            if (sync)
                r.push_back(Piece{fourDigits(card->syncCount)});  // the mark count ahead of the sync curve
            r.push_back(Piece{block});
            r.push_back(Piece{kOk});
            return r;
        }
        case 7: {
            if (!card) return status(kNoSheet);
            std::string raw = sensors.rawBlock(*card), gray = sensors.grayBlock(*card);
            return {Piece{kOk}, lengthPiece(raw.size()), Piece{raw}, lengthPiece(gray.size()), Piece{gray},
                    Piece{kOk}};
        }
        default:
            return status(kOk);
    }
}

Reply VirtualReader::State::answerPrintSettings(const std::string& rest) {
    // "X 0 " + four blank-separated fields + "/"; the host reads them back into 65 bytes.
    std::string text = rest;
    if (!text.empty() && text.back() == '/') text.pop_back();
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    if (text.size() > 64) return status(kBadParameter);
    printSettings = text;
    return status(kOk);
}

}  // namespace vazsim
