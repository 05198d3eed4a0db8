// SMTP replies as the mailer reads them from its socket: the server's bytes
// cut into pieces anywhere. The replies and their codes do not depend on
// where the stream was cut, and every code is three digits.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "smtp_codec.h"

namespace {

using Replies = std::vector<std::pair<int, std::string>>;

// Feeds `stream` in pieces of `piece` bytes, as the mailer does: the bytes
// of a piece after a complete reply belong to the next one.
Replies readAll(const std::string& stream, size_t piece) {
    Replies out;
    vazmail::SmtpReplyParser parser;
    for (size_t pos = 0; pos < stream.size();) {
        const int n = static_cast<int>(std::min(piece, stream.size() - pos));
        int offset = 0;
        while (offset < n) {
            int used = -1;
            const int code = parser.Feed(stream.data() + pos + offset, n - offset, &used);
            FUZZ_CHECK(used > 0 && used <= n - offset);
            offset += used;
            if (code == vazmail::SmtpReplyParser::kIncomplete) continue;
            FUZZ_CHECK(code == vazmail::SmtpReplyParser::kGarbled || (code >= 0 && code <= 999));
            FUZZ_CHECK(parser.LastLine().size() <= vazmail::SmtpReplyParser::kMaxLineText);
            out.emplace_back(code, parser.LastLine());
            parser.Reset();
        }
        pos += static_cast<size_t>(n);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const size_t piece = data[0] % 32 + 1;
    const std::string stream(reinterpret_cast<const char*>(data + 1), size - 1);
    FUZZ_CHECK(readAll(stream, piece) == readAll(stream, stream.size() + 1));
    return 0;
}
