// Format files: any bytes parse into commands that each end in "/", are no
// longer than the download sends, and come from the file as written.
#include <cstdint>
#include <string_view>

#include "format_parser.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    for (const vaz::format::Command& c : vaz::format::Parse(file)) {
        FUZZ_CHECK(!c.text.empty() && c.text.back() == '/');
        FUZZ_CHECK(c.text.size() <= file.size());
        if (c.kind == vaz::format::Kind::Overlong) continue;
        FUZZ_CHECK(c.text.size() <= vaz::format::kMaxCommandLength);
        FUZZ_CHECK(c.numberCount >= -1);
    }
    return 0;
}
