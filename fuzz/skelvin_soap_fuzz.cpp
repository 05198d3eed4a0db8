// SOAP responses into libskelvin: each data call and getMsg against the
// loopback peer, which answers the request with the input's bytes (after
// byte 0, which picks the call). A call that succeeds hands out a result
// of the size it announced, NUL included.
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "fuzz_check.h"
#include "raw_http.h"
#include "skelvin.h"

namespace {

exampeer::RawPeer& Peer() {
    static exampeer::RawPeer* peer = [] {
        auto* p = new exampeer::RawPeer;  // lives as long as the process
        std::string url = p->Url();
        Set_EndPoint(url.data(), 1);
        return p;
    }();
    return *peer;
}

int Call(uint8_t which) {
    switch (which % 6) {
        case 0: return logInWeb("account", "secret");
        case 1: return checkStudent("account", "secret", "school", "exam", "subject", "0042", "2026-12-09 08:00");
        case 2: return xiaoTi("account", "secret", "school", "exam", "grade 3", "subject", "2026-12-09", "1,2", "3");
        case 3: return xiaoTiScore("account", "secret", "school", "exam", "grade 3", "subject", "2026-12-09", "1:2");
        case 4: return tongJi("a", "b", "c", "d", "e", "f");
        default: return getMsg() ? -1 : 0;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    exampeer::RawPeer& peer = Peer();
    const std::string response(reinterpret_cast<const char*>(data + 1), size - 1);
    std::thread answer([&] {
        try {
            peer.Answer(response, std::chrono::seconds(5));
        } catch (const std::runtime_error&) {  // the library gave up first
        }
    });
    const int n = Call(data[0]);
    answer.join();
    if (n > 0) {
        std::unique_ptr<char[]> result(new char[static_cast<size_t>(n)]);
        FUZZ_CHECK(getRet(result.get()));
        FUZZ_CHECK(std::strlen(result.get()) + 1 <= static_cast<size_t>(n));
    }
    return 0;
}
