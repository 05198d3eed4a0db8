#include "smtp_codec.h"

#include <cctype>

namespace vazmail {

void EncodeBase64(char* out, const unsigned char* in, size_t n) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    size_t i = 0;
    for (; i + 3 <= n; i += 3) {
        unsigned v = (unsigned{in[i]} << 16) | (unsigned{in[i + 1]} << 8) | in[i + 2];
        *out++ = kAlphabet[(v >> 18) & 63];
        *out++ = kAlphabet[(v >> 12) & 63];
        *out++ = kAlphabet[(v >> 6) & 63];
        *out++ = kAlphabet[v & 63];
    }
    if (i < n) {  // one or two bytes left: their last character is written even when it is 'A'
        unsigned v = unsigned{in[i]} << 16;
        if (i + 1 < n) v |= unsigned{in[i + 1]} << 8;
        *out++ = kAlphabet[(v >> 18) & 63];
        *out++ = kAlphabet[(v >> 12) & 63];
        *out++ = i + 1 < n ? kAlphabet[(v >> 6) & 63] : '=';
        *out++ = '=';
    }
}

std::string Base64(const void* in, size_t n) {
    std::string out(4 * ((n + 2) / 3), '\0');
    EncodeBase64(out.data(), static_cast<const unsigned char*>(in), n);
    return out;
}

// ---- replies ------------------------------------------------------------------

void SmtpReplyParser::Reset() {
    line_.clear();
    lineLength_ = 0;
    lastLine_.clear();
}

int SmtpReplyParser::Feed(const char* bytes, int n, int* used) {
    for (int i = 0; i < n; ++i) {
        char c = bytes[i];
        if (c != '\n') {
            if (static_cast<int>(line_.size()) < kMaxLineText) line_ += c;
            ++lineLength_;
            continue;
        }
        // A complete line (its CR, if any, is the last character kept).
        std::string line = line_;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line_.clear();
        lineLength_ = 0;
        *used = i + 1;
        bool digits = line.size() >= 3 && isdigit(static_cast<unsigned char>(line[0])) &&
                      isdigit(static_cast<unsigned char>(line[1])) &&
                      isdigit(static_cast<unsigned char>(line[2]));
        char separator = line.size() > 3 ? line[3] : ' ';
        if (!digits || (separator != ' ' && separator != '-')) {
            lastLine_ = line;
            return kGarbled;
        }
        if (separator == '-') continue;  // more lines of the same reply follow
        lastLine_ = line;
        return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    }
    *used = n;
    return kIncomplete;
}

// ---- mail data ----------------------------------------------------------------

void SmtpDataEncoder::Reset() {
    lineStart_ = true;
    afterCR_ = false;
}

void SmtpDataEncoder::Encode(const char* bytes, size_t n, std::string& out) {
    out.reserve(out.size() + n + n / 64 + 2);
    for (size_t i = 0; i < n; ++i) {
        char c = bytes[i];
        if (c == '\n' && afterCR_) {
            afterCR_ = false;
            continue;
        }
        afterCR_ = c == '\r';
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            lineStart_ = true;
            continue;
        }
        if (lineStart_ && c == '.') out += '.';
        out += c;
        lineStart_ = false;
    }
}

}  // namespace vazmail
