// vaz-card-bench: full card cycles per second through libvaz.so against the
// in-process virtual reader, over the virtual HID socket (USB) and over a
// pseudo-terminal (serial), each next to a raw baseline: the same request
// bytes written and the same reply bytes read on the same kind of descriptor
// by a bare loop, in the same run.
//
// After one format download ("S <file>/"), a cycle is
//   "R/"              feed a card            reply EN | EN
//   "r A/" + VazG     sync mark count        reply EN | 4 digits | EN
//   "r A 0001 2048/"  + VazG, 2048 bytes     reply EN | "2048" | 2048 bytes + 0 | EN
// The hopper is topped up in blocks between timed stretches.
// Figures are printed, nothing is judged; the exit status is 1 only when an
// exchange failed.
//
// vaz-card-bench --wire-speed: the reader paces both directions as the real
// links do (USB one report per millisecond, serial 10,472 bytes/s), and for
// each link the bench prints the time a card cycle's reports or bytes need
// on the wire (counted from the reader's trace), the time measured through
// libvaz, and the added time as a percentage of the wire time.
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "raw_link.h"
#include "vaz_test_support.h"
#include "vazsim/card_deck.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kMaxCycles = 10000;
constexpr double kMaxSecondsPerLoop = 12.0;  // timed seconds per side and link: the run stays under a minute
constexpr int kRounds = 5;
constexpr int kChunk = 100;  // cycles between hopper checks
constexpr size_t kAnswerLength = 2048;
constexpr size_t kRefillBelow = 2 * kChunk;
constexpr size_t kRefillBlock = 1000;

const char* const kFeed = "R/";
const char* const kSync = "r A/";
const char* const kText = "r A 0001 2048/";

// Peak resident set size in kB (VmHWM), -1 when unreadable.
long PeakRssKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

vazsim::Sheet BenchSheet() {
    vazsim::Sheet sheet = vazsim::blankSheet(73);
    std::string text(kAnswerLength, ' ');
    for (size_t i = 0; i < text.size(); ++i) text[i] = "ABCD0123456789"[i % 14];
    sheet.answers = {{"", text}};
    return sheet;
}

// Between timed stretches: cards into the hopper, and the reader's trace of
// every transfer dropped (it keeps them all, which would otherwise dominate
// the peak memory figures).
void TopUp(vazsim::VirtualReader& reader, const vazsim::Sheet& sheet) {
    reader.clearTrace();
    if (reader.hopperSize() < kRefillBelow) reader.addCards(std::vector<vazsim::Sheet>(kRefillBlock, sheet));
}

struct LoopResult {
    long cycles = 0;
    double seconds = 0;
    long peakAt1000 = -1;  // VmHWM after 1,000 cycles
    long peakAtEnd = -1;   // VmHWM after the last cycle
    bool failed = false;
    double rate() const { return seconds > 0 ? cycles / seconds : 0; }
};

// Runs `cycle` until `r` holds `upTo` cycles or kMaxSecondsPerLoop of timed
// cycles; the hopper top-up between chunks is not timed.
void RunLoop(vazsim::VirtualReader& reader, const vazsim::Sheet& sheet, const std::function<bool()>& cycle,
             LoopResult& r, long upTo) {
    if (r.failed) return;
    TopUp(reader, sheet);
    for (int i = 0; i < 20; ++i)  // warm-up (after a reconnect, too)
        if (!cycle()) {
            r.failed = true;
            return;
        }
    while (r.cycles < upTo && r.seconds < kMaxSecondsPerLoop) {
        TopUp(reader, sheet);
        const auto t0 = Clock::now();
        for (int i = 0; i < kChunk; ++i) {
            if (!cycle()) {
                r.failed = true;
                break;
            }
            ++r.cycles;
        }
        r.seconds += std::chrono::duration<double>(Clock::now() - t0).count();
        if (r.failed) break;
        if (r.cycles == 1000) r.peakAt1000 = PeakRssKb();
    }
    r.peakAtEnd = PeakRssKb();
}

// Library and raw loops alternate in rounds, so that a drift of the machine
// hits both alike; each side's cycles and times are summed.
long RoundTarget(int round) {
    return (round + 1) * kMaxCycles / kRounds;
}

// One library cycle; reports the step that failed.
bool LibraryCycle(std::vector<char>& buf) {
    const vaztest::VazApi& v = vaztest::Vaz();
    if (v.VazS(kFeed) != 1) return fprintf(stderr, "vaz-card-bench: \"R/\" failed\n"), false;
    if (v.VazS(kSync) != 255 || v.VazG(buf.data()) != 4)
        return fprintf(stderr, "vaz-card-bench: \"r A/\" failed\n"), false;
    if (v.VazS(kText) != 255) return fprintf(stderr, "vaz-card-bench: \"%s\" failed\n", kText), false;
    const int n = v.VazG(buf.data());
    // The length counts the zero byte the reader sends after the text.
    if (n < static_cast<int>(kAnswerLength))
        return fprintf(stderr, "vaz-card-bench: VazG after \"%s\" gave %d\n", kText, n), false;
    return true;
}

// ---- raw HID: one 65-byte report per datagram -------------------------------
bool HidExchange(int fd, const char* command, int replyReports) {
    char report[65] = {};
    memcpy(report + 1, command, strlen(command));
    if (send(fd, report, sizeof report, MSG_NOSIGNAL) != sizeof report) return false;
    char reply[65];
    for (int i = 0; i < replyReports; ++i) {
        if (!vazbench::WaitReadable(fd) || recv(fd, reply, sizeof reply, 0) != 65) return false;
        if (i == 0 && (reply[1] != 'E' || reply[2] != 'N')) return false;
    }
    return true;
}

int ReportsFor(size_t bytes) {
    return bytes == 0 ? 1 : static_cast<int>((bytes + 63) / 64);
}

bool HidRawCycle(int fd) {
    return HidExchange(fd, kFeed, 2) && HidExchange(fd, kSync, 3) &&
           HidExchange(fd, kText, 2 + ReportsFor(kAnswerLength + 1) + 1);
}

// ---- raw serial: a byte stream ------------------------------------------------
bool SerialExchange(int fd, const char* command, size_t replyBytes, std::vector<char>& buf) {
    const size_t len = strlen(command);
    if (write(fd, command, len) != static_cast<ssize_t>(len)) return false;
    return vazbench::ReadExactly(fd, buf.data(), replyBytes) && buf[0] == 'E' && buf[1] == 'N' &&
           buf[replyBytes - 2] == 'E' && buf[replyBytes - 1] == 'N';
}

bool SerialRawCycle(int fd, std::vector<char>& buf) {
    return SerialExchange(fd, kFeed, 4, buf) && SerialExchange(fd, kSync, 2 + 4 + 2, buf) &&
           SerialExchange(fd, kText, 2 + 4 + kAnswerLength + 1 + 2, buf);
}

// Connects with `mode` and downloads the format; false (with a message) on failure.
bool ConnectAndDownload(int mode, const std::string& formatPath) {
    const vaztest::VazApi& v = vaztest::Vaz();
    if (VAZ_LINK_OF(v.VazInit(mode)) != mode)
        return fprintf(stderr, "vaz-card-bench: VazInit(%d) did not connect\n", mode), false;
    const std::string cmd = "S " + formatPath + "/";
    const int r = v.VazS(cmd.c_str());
    if (r != 255 && r != 1) return fprintf(stderr, "vaz-card-bench: format download gave %d\n", r), false;
    return true;
}

void PrintLink(const char* name, const LoopResult& lib, const LoopResult& raw) {
    const double ratio = raw.rate() > 0 ? lib.rate() / raw.rate() : 0;
    printf("%-28s library %8.0f cycles/s (%ld cycles, %.1f s)%s\n", name, lib.rate(), lib.cycles, lib.seconds,
           lib.failed ? "  FAILED" : "");
    printf("%-28s raw     %8.0f cycles/s (%ld cycles, %.1f s)%s\n", "", raw.rate(), raw.cycles, raw.seconds,
           raw.failed ? "  FAILED" : "");
    printf("%-28s library/raw %.2f\n", "", ratio);
}

void PrintPeak(const char* name, const LoopResult& lib) {
    char at1000[32] = "n/a (fewer cycles)";
    if (lib.peakAt1000 >= 0) snprintf(at1000, sizeof at1000, "%ld kB", lib.peakAt1000);
    printf("%-28s VmHWM after 1000 library cycles: %s; after %ld: %ld kB\n", name, at1000, lib.cycles,
           lib.peakAtEnd);
}

// ---- wire speed ------------------------------------------------------------------
constexpr int kWireCycles = 40;

struct WireResult {
    double wireSeconds = 0;  // per cycle
    double medianSeconds = 0;
    double fastestSeconds = 0;
    bool failed = false;
};

// Time on the wire of everything the trace holds: every HID datagram takes a
// report slot, every serial byte 11 bits.
double WireSeconds(const vazsim::VirtualReader& reader, bool usb) {
    double units = 0;
    for (const vazsim::TraceEntry& e : reader.trace()) units += usb ? 1.0 : static_cast<double>(e.bytes.size());
    return units / (usb ? vazsim::kUsbReportsPerSecond : vazsim::kSerialBytesPerSecond);
}

WireResult RunAtWireSpeed(vazsim::VirtualReader& reader, const vazsim::Sheet& sheet, int mode,
                          const std::string& formatPath, std::vector<char>& buf) {
    WireResult r;
    if (!ConnectAndDownload(mode, formatPath)) {
        r.failed = true;
        return r;
    }
    reader.addCards(std::vector<vazsim::Sheet>(kWireCycles + 5, sheet));
    for (int i = 0; i < 3 && !r.failed; ++i) r.failed = !LibraryCycle(buf);  // warm-up
    reader.clearTrace();
    std::vector<double> cycles;
    for (int i = 0; i < kWireCycles && !r.failed; ++i) {
        const auto t0 = Clock::now();
        r.failed = !LibraryCycle(buf);
        cycles.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
    }
    r.wireSeconds = WireSeconds(reader, mode == VAZ_LINK_USB) / kWireCycles;
    // A shared machine stretches some cycles by whole scheduling slices: the
    // median and the fastest cycle say more than the mean.
    std::sort(cycles.begin(), cycles.end());
    if (!cycles.empty()) {
        r.medianSeconds = cycles[cycles.size() / 2];
        r.fastestSeconds = cycles.front();
    }
    vaztest::Vaz().VazInit(-1);
    reader.clearHopper();
    reader.clearTrace();
    return r;
}

void PrintWire(const char* name, const WireResult& r) {
    printf("%-26s wire %7.2f ms%s\n", name, r.wireSeconds * 1e3, r.failed ? "  FAILED" : "");
    const std::pair<const char*, double> rows[] = {{"median", r.medianSeconds}, {"fastest", r.fastestSeconds}};
    for (const auto& [label, seconds] : rows) {
        const double added = seconds - r.wireSeconds;
        printf("%-26s through libvaz, %-7s cycle %7.2f ms  added %+7.3f ms = %+6.2f %% of the wire time\n", "",
               label, seconds * 1e3, added * 1e3, r.wireSeconds > 0 ? 100.0 * added / r.wireSeconds : 0.0);
    }
}

int WireSpeedMain(const std::string& formatPath) {
    vaztest::Sim sim(vaztest::Sim::kBoth, "R6KTM BENCH");
    vazsim::VirtualReader& reader = sim.reader();
    reader.setWireSpeed(true);
    const vazsim::Sheet sheet = BenchSheet();
    std::vector<char> buf(VAZ_REPLY_SIZE);
    const WireResult usb = RunAtWireSpeed(reader, sheet, VAZ_LINK_USB, formatPath, buf);
    const WireResult serial = RunAtWireSpeed(reader, sheet, VAZ_LINK_SERIAL, formatPath, buf);
    printf("vaz-card-bench --wire-speed: %d card cycles (\"R/\", \"r A/\" + VazG, \"%s\" + VazG of %zu bytes)\n",
           kWireCycles, kText, kAnswerLength);
    printf("against the virtual reader at wire speed (USB full speed, 1 report/ms; serial 115200 8E1), per cycle\n");
    PrintWire("USB (virtual HID socket)", usb);
    PrintWire("serial (pseudo-terminal)", serial);
    return usb.failed || serial.failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const vaztest::VazApi& v = vaztest::Vaz();
    const std::string formatPath = vaztest::TempDir() + "/bench.fmt";
    {
        std::ofstream f(formatPath);
        f << "K 1/\n";
    }
    vaztest::SetTiming(-1, -1);  // the library's own pauses
    if (argc > 1 && std::string(argv[1]) == "--wire-speed") return WireSpeedMain(formatPath);

    vaztest::Sim sim(vaztest::Sim::kBoth, "R6KTM BENCH");
    vazsim::VirtualReader& reader = sim.reader();
    const vazsim::Sheet sheet = BenchSheet();
    std::vector<char> buf(8192);
    const long peakAtStart = PeakRssKb();

    // ---- USB: virtual HID socket ----
    // The reader serves one host at a time: the library goes offline before
    // the raw loop connects, and connects again for its next round.
    LoopResult hidLib, hidRaw;
    for (int round = 0; round < kRounds && !hidLib.failed && !hidRaw.failed; ++round) {
        const bool connected =
            round == 0 ? ConnectAndDownload(1, formatPath) : VAZ_LINK_OF(v.VazInit(1)) == VAZ_LINK_USB;
        if (!connected) {
            hidLib.failed = true;
            break;
        }
        RunLoop(
            reader, sheet, [&] { return LibraryCycle(buf); }, hidLib, RoundTarget(round));
        v.VazInit(-1);
        const int fd = vazbench::ConnectRawHid(sim.socketPath());
        if (fd >= 0)
            RunLoop(
                reader, sheet, [&] { return HidRawCycle(fd); }, hidRaw, RoundTarget(round));
        else
            hidRaw.failed = true;
        if (fd >= 0) close(fd);
    }
    reader.clearTrace();

    // ---- serial: pseudo-terminal ----
    // The library stays connected; it reads nothing while the raw loop runs
    // on its own descriptor of the same port.
    LoopResult ptyLib, ptyRaw;
    if (ConnectAndDownload(2, formatPath)) {
        const int fd = vazbench::OpenRawPty(sim.ptyPath());
        if (fd < 0) ptyRaw.failed = true;
        for (int round = 0; round < kRounds && fd >= 0 && !ptyLib.failed && !ptyRaw.failed; ++round) {
            RunLoop(
                reader, sheet, [&] { return LibraryCycle(buf); }, ptyLib, RoundTarget(round));
            RunLoop(
                reader, sheet, [&] { return SerialRawCycle(fd, buf); }, ptyRaw, RoundTarget(round));
        }
        if (fd >= 0) close(fd);
        v.VazInit(-1);
    } else {
        ptyLib.failed = ptyRaw.failed = true;
    }
    reader.clearTrace();

    printf("vaz-card-bench: card cycles (\"R/\", \"r A/\" + VazG, \"%s\" + VazG of %zu bytes)\n", kText,
           kAnswerLength);
    printf("against the in-process virtual reader, after one format download\n");
    PrintLink("USB (virtual HID socket)", hidLib, hidRaw);
    PrintLink("serial (pseudo-terminal)", ptyLib, ptyRaw);
    printf("VmHWM before the loops: %ld kB\n", peakAtStart);
    PrintPeak("USB (virtual HID socket)", hidLib);
    PrintPeak("serial (pseudo-terminal)", ptyLib);
    const bool ok = !hidLib.failed && !hidRaw.failed && !ptyLib.failed && !ptyRaw.failed;
    return ok ? 0 : 1;
}
