// The byte-level rules of an SMTP session, free of sockets: reading replies
// out of a stream that splits or joins them anywhere, turning text into mail
// data, base64.
#pragma once

#include <cstddef>
#include <string>

namespace vazmail {

// Standard base64 (RFC 4648 alphabet, "=" padding, no line breaks) of n bytes
// into `out`, which receives 4 * ((n + 2) / 3) characters and no zero.
void EncodeBase64(char* out, const unsigned char* in, size_t n);
std::string Base64(const void* in, size_t n);

// Replies of an SMTP server. A reply is one or more lines "CCC-text" ending
// with a line "CCC text" (or just "CCC"); lines end in CR LF or LF.
class SmtpReplyParser {
public:
    static constexpr int kIncomplete = 0;
    static constexpr int kGarbled = -1;
    static constexpr int kMaxLineText = 200;  // kept of a line for messages

    // Consumes bytes up to the end of one reply (*used: how many; the rest
    // belongs to what follows). Result: the code of the complete reply,
    // kIncomplete when more bytes are needed, kGarbled when a line does not
    // begin with three digits and " ", "-" or its end.
    int Feed(const char* bytes, int n, int* used);
    void Reset();
    // The final line of the last reply (or the garbled line), without its line end.
    const std::string& LastLine() const { return lastLine_; }

private:
    std::string line_;  // first kMaxLineText characters of the line being read
    int lineLength_ = 0;
    std::string lastLine_;
};

// Mail data: every line end (CR LF, LF or a lone CR) becomes CR LF, and a "."
// that begins a line is doubled so that the server does not take it for the
// end of the data or drop it.
class SmtpDataEncoder {
public:
    void Reset();  // start of the data: at the start of a line
    void Encode(const char* bytes, size_t n, std::string& out);
    bool AtLineStart() const { return lineStart_; }

private:
    bool lineStart_ = true;
    bool afterCR_ = false;  // a CR was turned into CR LF: an LF right after it belongs to it
};

}  // namespace vazmail
