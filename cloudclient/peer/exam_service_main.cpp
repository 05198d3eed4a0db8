// exam-service: the loopback exam service for tests and demos.
//   exam-service [--port N] [--account NAME:PWD]...
//   exam-service --version
// Listens on 127.0.0.1 only; --port 0 lets the system pick the port. The
// first line on standard output gives the endpoint URL.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "exam_service.h"
#include "kit_version.h"

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop = true;
}

int Usage() {
    std::fprintf(stderr, "usage: exam-service [--port N] [--account NAME:PWD]... | --version\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int port = 9011;
    exampeer::ExamStore store;
    bool anyAccount = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--version") {
            std::printf("exam-service %s\n", KIT_VERSION);
            return 0;
        } else if (arg == "--port" && i + 1 < argc) {
            char* end = nullptr;
            long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 0 || value > 65535) return Usage();
            port = static_cast<int>(value);
        } else if (arg == "--account" && i + 1 < argc) {
            std::string entry = argv[++i];
            size_t colon = entry.find(':');
            if (colon == std::string::npos || colon == 0) return Usage();
            store.AddAccount(entry.substr(0, colon), entry.substr(colon + 1));
            anyAccount = true;
        } else {
            return Usage();
        }
    }
    if (!anyAccount) store.AddAccount("demo", "demo");

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);
    try {
        exampeer::ExamService service(store);
        int bound = service.Bind(port);
        std::printf("http://127.0.0.1:%d%s\n", bound, exampeer::kServicePath);
        std::fflush(stdout);
        service.Serve(g_stop);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
