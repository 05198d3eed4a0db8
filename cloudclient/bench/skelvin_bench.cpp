// skelvin-bench: logInWeb + getRet round trips per second against the
// loopback exam service, next to a raw baseline that posts the same request
// bytes over a plain socket and reads the response, and the resident memory
// of the process after 1,000 and after 20,000 calls.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "raw_http.h"
#include "skelvin.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFirstMark = 1000;
constexpr int kSecondMark = 20000;

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

struct Service {
    pid_t pid = -1;
    std::string url;
    int port = 0;
};

Service StartService() {
    int out[2];
    if (pipe(out) != 0) std::exit(1);
    Service s;
    s.pid = fork();
    if (s.pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        execl(EXAM_SERVICE_PATH, EXAM_SERVICE_PATH, "--port", "0", "--account", "bench:pw", nullptr);
        _exit(127);
    }
    close(out[1]);
    FILE* in = fdopen(out[0], "r");
    char line[256] = "";
    if (fgets(line, sizeof line, in) == nullptr) {
        std::fprintf(stderr, "skelvin-bench: exam-service did not start\n");
        std::exit(1);
    }
    fclose(in);
    s.url = line;
    s.url.erase(s.url.find_last_not_of("\r\n") + 1);
    s.port = std::atoi(s.url.c_str() + std::strlen("http://127.0.0.1:"));
    return s;
}

bool LoginRoundTrip(std::vector<char>& buffer) {
    int size = logInWeb("bench", "pw");
    if (size <= 0) return false;
    buffer.resize(static_cast<size_t>(size));
    return getRet(buffer.data()) && std::strcmp(buffer.data(), "OK") == 0;
}

// The bytes logInWeb sends, seen by a raw peer, with the Host line naming
// the service's port instead of the peer's.
std::string CapturedRequest(int servicePort) {
    exampeer::RawPeer peer;
    std::string url = peer.Url();
    Set_EndPoint(url.data(), 1);
    std::string request;
    std::thread answer([&] {
        request = peer.Answer(exampeer::HttpResponse(exampeer::SoapEnvelope(
            "<ns1:loginwebResponse><return>OK</return></ns1:loginwebResponse>", SKELVIN_SERVICE_NAMESPACE)));
    });
    logInWeb("bench", "pw");
    answer.join();
    std::string from = "Host: 127.0.0.1:" + std::to_string(peer.Port()) + "\r\n";
    std::string to = "Host: 127.0.0.1:" + std::to_string(servicePort) + "\r\n";
    size_t at = request.find(from);
    if (at != std::string::npos) request.replace(at, from.size(), to);
    return request;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main() {
    Service service = StartService();
    std::string request = CapturedRequest(service.port);
    Set_EndPoint(service.url.data(), 1);

    std::vector<char> buffer;
    int failures = 0;
    for (int i = 0; i < kFirstMark; ++i) failures += !LoginRoundTrip(buffer);
    long rssFirst = ResidentKiB();

    // Library and raw baseline take turns in blocks, so that both see the
    // same state of the machine and of the loopback interface.
    constexpr int timed = kSecondMark - kFirstMark;
    constexpr int block = 500;
    Clock::duration libTime{}, rawTime{};
    int rawFailures = 0;
    for (int done = 0; done < timed; done += block) {
        auto start = Clock::now();
        for (int i = 0; i < block; ++i) failures += !LoginRoundTrip(buffer);
        libTime += Clock::now() - start;
        start = Clock::now();
        for (int i = 0; i < block; ++i) {
            std::string response = exampeer::RawPost(service.port, request, std::chrono::seconds(10));
            rawFailures += response.find("<return>OK</return>") == std::string::npos;
        }
        rawTime += Clock::now() - start;
    }
    long rssSecond = ResidentKiB();
    double libSeconds = Seconds(libTime);
    double rawSeconds = Seconds(rawTime);

    kill(service.pid, SIGTERM);
    waitpid(service.pid, nullptr, 0);

    double libRate = timed / libSeconds;
    double rawRate = timed / rawSeconds;
    std::printf("skelvin-bench: logInWeb + getRet against exam-service on 127.0.0.1\n");
    std::printf("  library  %6d round trips in %6.2f s = %8.0f /s  (%d failed)\n", timed, libSeconds, libRate,
                failures);
    std::printf("  raw      %6d round trips in %6.2f s = %8.0f /s  (%d failed, same %zu request bytes)\n",
                timed, rawSeconds, rawRate, rawFailures, request.size());
    std::printf("  library / raw = %.2f  (target 0.70 or better)\n", libRate / rawRate);
    std::printf(
        "  resident memory after %d calls: %ld KiB, after %d calls: %ld KiB, growth %ld KiB"
        "  (target under 1024 KiB)\n",
        kFirstMark, rssFirst, kSecondMark, rssSecond, rssSecond - rssFirst);
    return failures + rawFailures == 0 ? 0 : 1;
}
