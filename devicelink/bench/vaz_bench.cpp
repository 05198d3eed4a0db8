// vaz-bench: exchanges per second of "K 1/" -> "EN" through libvaz.so, over
// the virtual HID socket and over a pseudo-terminal, each next to a raw
// baseline: the same bytes written and read on the same kind of descriptor
// by a bare loop, against the same in-process virtual reader.
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "raw_link.h"
#include "vaz_loader.h"
#include "vazsim/transports.h"
#include "vazsim/virtual_reader.h"

namespace {

constexpr double kSecondsPerRun = 0.5;
constexpr int kRounds = 5;  // library and raw loops alternate; the best of each counts

// Runs `one` repeatedly for kSecondsPerRun; exchanges per second (0 on a failed exchange).
double Rate(const std::function<bool()>& one) {
    using clock = std::chrono::steady_clock;
    for (int i = 0; i < 50; ++i)
        if (!one()) return 0;  // warm-up
    long n = 0;
    auto t0 = clock::now();
    double elapsed = 0;
    do {
        for (int i = 0; i < 100; ++i, ++n)
            if (!one()) return 0;
        elapsed = std::chrono::duration<double>(clock::now() - t0).count();
    } while (elapsed < kSecondsPerRun);
    return n / elapsed;
}

}  // namespace

int main() {
    std::string error;
    void* lib = vazload::OpenLibrary(vazload::kLibraryFile, error);
    vazload::VazApi vaz;
    const char* missing = lib ? vazload::Bind(lib, vaz) : nullptr;
    if (!lib || missing) {
        fprintf(stderr, "vaz-bench: %s\n",
                lib ? (std::string("no export ") + missing).c_str() : error.c_str());
        return 1;
    }

    vazsim::VirtualReader reader;
    reader.setModel("R6KTM BENCH");
    char dir[] = "/tmp/vazbench.XXXXXX";
    if (!mkdtemp(dir)) return 1;
    const std::string socketPath = std::string(dir) + "/hid.sock";
    bool ok = true;

    // ---- virtual HID socket ----
    double hidLib = 0, hidRaw = 0;
    {
        vazsim::HidSocketTransport hid(reader, socketPath);
        setenv("VAZ_HID_DEVICES", socketPath.c_str(), 1);
        setenv("VAZ_SERIAL_PORTS", "", 1);
        for (int round = 0; round < kRounds; ++round) {
            // The reader serves one host at a time: each side connects anew.
            if (VAZ_LINK_OF(vaz.VazInit(1)) == VAZ_LINK_USB)
                hidLib = std::max(hidLib, Rate([&] { return vaz.VazS("K 1/") == 1; }));
            vaz.VazInit(-1);
            const int fd = vazbench::ConnectRawHid(socketPath);
            if (fd >= 0) {
                char report[65] = {0, 'K', ' ', '1', '/'};
                char reply[65];
                hidRaw = std::max(hidRaw, Rate([&] {
                                      if (send(fd, report, sizeof report, MSG_NOSIGNAL) != sizeof report)
                                          return false;
                                      if (!vazbench::WaitReadable(fd)) return false;
                                      return recv(fd, reply, sizeof reply, 0) == 65 && reply[1] == 'E' &&
                                             reply[2] == 'N';
                                  }));
                close(fd);
            }
            reader.clearTrace();
        }
    }

    // ---- pseudo-terminal ----
    double ptyLib = 0, ptyRaw = 0;
    {
        vazsim::PtyTransport pty(reader);
        setenv("VAZ_HID_DEVICES", "", 1);
        setenv("VAZ_SERIAL_PORTS", pty.path().c_str(), 1);
        const bool connected = VAZ_LINK_OF(vaz.VazInit(2)) == VAZ_LINK_SERIAL;
        const int fd = vazbench::OpenRawPty(pty.path());
        for (int round = 0; round < kRounds && connected && fd >= 0; ++round) {
            // Both use the same port; only one of them reads at a time.
            ptyLib = std::max(ptyLib, Rate([&] { return vaz.VazS("K 1/") == 1; }));
            char reply[2];
            ptyRaw =
                std::max(ptyRaw, Rate([&] {
                             if (write(fd, "K 1/", 4) != 4) return false;
                             return vazbench::ReadExactly(fd, reply, 2) && reply[0] == 'E' && reply[1] == 'N';
                         }));
            reader.clearTrace();
        }
        if (fd >= 0) close(fd);
        vaz.VazInit(-1);
    }
    rmdir(dir);  // the transport removed its socket

    auto line = [&](const char* name, double libRate, double rawRate) {
        double ratio = rawRate > 0 ? libRate / rawRate : 0;
        printf("%-22s library %9.0f /s   raw %9.0f /s   library/raw %.2f\n", name, libRate, rawRate, ratio);
        ok = ok && libRate > 0 && rawRate > 0;
    };
    printf("vaz-bench: \"K 1/\" -> \"EN\" exchanges against the in-process virtual reader\n");
    line("virtual HID socket", hidLib, hidRaw);
    line("pseudo-terminal", ptyLib, ptyRaw);
    return ok ? 0 : 1;
}
