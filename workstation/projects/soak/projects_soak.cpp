// projects-soak: a long project run against the virtual reader through
// libvaz.so. CARDS sheets of the production deck go through the project
// dialog's read loop (EvaReadLoop, card type "标准答题卡" of the sample
// config.ini); every 1,000 cards the reader is unplugged and plugged back
// in between two cards. The run that meets the unplug ends with one stop
// and the technician starts the next one (over the serial link after
// connecting again: that link has no recovery). At the end the project's
// counts must be exactly those of the deck (each sheet's errors measured
// once in a reference run without unplugs) and one stop per unplug; the
// resident memory is printed every 10,000 cards.
//   projects-soak [--serial] [--cards N] [--real-pause]
// Exits 1 when a count is off or the memory grew by more than 4 MiB.
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "eva_read_loop.h"
#include "file_locations.h"
#include "support/vaz_reader_port.h"
#include "vaz_test_support.h"
#include "vazsim/card_deck.h"

namespace {

constexpr int kUnplugEvery = 1000;
constexpr int kMemoryEvery = 10000;
constexpr long kFlatLimitKiB = 4096;
const QString kCardType = QString::fromUtf8("标准答题卡");

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::string ErrorCode() {
    char code[VAZ_ERROR_CODE_SIZE] = {};
    vaztest::Vaz().VazGetError(code);
    return code;
}

// The virtual reader on one link; unplugging destroys the transport (the
// host's descriptor hangs up) and plugging in serves the same path again.
class Bench {
public:
    explicit Bench(bool serial) : serial_(serial) {
        reader.setModel("R6KTM V1.00");
        path_ = vaztest::TempDir() + (serial ? "/ttyVAZ" : "/hid.sock");
        plugIn();
        if (serial)
            vaztest::SetSerialPorts(path_);
        else
            vaztest::SetHidDevices(path_);
    }
    ~Bench() {
        hid_.reset();
        pty_.reset();
    }
    void unplug() {
        hid_.reset();
        pty_.reset();
    }
    void plugIn() {
        if (serial_)
            pty_ = std::make_unique<vazsim::PtyTransport>(reader, path_);
        else
            hid_ = std::make_unique<vazsim::HidSocketTransport>(reader, path_);
    }
    bool serial() const { return serial_; }
    int connectMode() const { return serial_ ? 2 : 1; }

    vazsim::VirtualReader reader;

private:
    bool serial_;
    std::string path_;
    std::unique_ptr<vazsim::PtyTransport> pty_;
    std::unique_ptr<vazsim::HidSocketTransport> hid_;
};

// The technician: stops the run when the hopper is empty, unplugs the
// reader every kUnplugEvery cards, notes every device error and message.
class Technician : public EvaRunHost {
public:
    explicit Technician(Bench& bench) : bench_(bench) {}

    int showDeviceError() override {
        const std::string code = ErrorCode();
        if (code == VAZ_CODE_NO_CARD) {  // the hopper is empty: this run is over
            *running = false;
            return 254;
        }
        ++codes[code];
        return code == VAZ_CODE_NO_ERROR || code == VAZ_CODE_NO_SHEET ? 255 : 0;
    }
    void showMessage(int id) override { ++messages[std::to_string(id)]; }
    void showText(const QString& text) override { ++messages[text.toStdString()]; }
    void showRecord(const ProjectRecord& record) override {
        const int n = record.totalCards;
        if (n == handled_) return;  // the same count again when a run ends
        handled_ = n;
        if (n % kMemoryEvery == 0) {
            const long kib = ResidentKiB();
            if (firstKiB == 0) firstKiB = kib;
            lastKiB = kib;
            printf("%7d cards  %5d stops  resident %6ld KiB\n", n, record.stopCount, kib);
            fflush(stdout);
        }
        if (n % kUnplugEvery == 0) {
            // What the reader and the test hooks keep of the last 1,000 cards.
            bench_.reader.clearTrace();
            vaztest::ClearBoxes();
            if (n < lastCard) {
                bench_.unplug();
                bench_.plugIn();
                ++unplugs;
            }
        }
    }

    std::atomic<bool>* running = nullptr;
    int lastCard = 0;
    int unplugs = 0;
    long firstKiB = 0, lastKiB = 0;
    std::map<std::string, int> codes, messages;

private:
    Bench& bench_;
    int handled_ = 0;
};

// The errors each sheet of the deck gives, from one run of that sheet alone.
std::vector<ProjectRecord> ReferenceCounts(Bench& bench, EvaReadLoop& loop, Technician& host,
                                           const vazsim::Deck& deck) {
    std::vector<ProjectRecord> out;
    host.lastCard = 0;  // no unplugs here
    for (const vazsim::Sheet& sheet : deck.sheets) {
        bench.reader.addCard(sheet);
        std::atomic<bool> running{true};
        host.running = &running;
        out.push_back(loop.run({}, {evaluation::Mode::Compare, false, kCardType}, running));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool serial = false, realPause = false;
    int cards = 100000;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--serial")) serial = true;
        else if (!strcmp(argv[i], "--real-pause")) realPause = true;
        else if (!strcmp(argv[i], "--cards") && i + 1 < argc) cards = atoi(argv[++i]);
        else {
            fprintf(stderr, "usage: projects-soak [--serial] [--cards N] [--real-pause]\n");
            return 2;
        }
    }
    if (cards < 1) cards = 1;
    // The USB recovery pause: 5 s as in production with --real-pause, else the tests' 100 ms.
    vaztest::SetTiming(realPause ? -1 : 100, -1);

    Bench bench(serial);
    const auto& vaz = vaztest::Vaz();
    if (vaz.VazInit(bench.connectMode()) <= 0) {
        fprintf(stderr, "projects-soak: no connection to the virtual reader\n");
        return 1;
    }
    FileLocations loc;
    loc.programFolder = QStringLiteral(KESTRIN_SAMPLE_DIR);
    EvaConfig config = EvaConfig::load(loc);
    const EvaConfig::FormatFile format = config.formatFile(kCardType);
    if (!format.problem.isEmpty() || vaz.VazS(("S " + format.path.toStdString() + "/").c_str()) != VAZ_ACCEPTED) {
        fprintf(stderr, "projects-soak: the sample format was not loaded\n");
        return 1;
    }
    const vazsim::Deck deck = vazsim::loadDeckFile(KESTRIN_PRODUCTION_DECK);

    VazReaderPort port;
    Technician host(bench);
    EvaReadLoop loop(port, host, config);
    const std::vector<ProjectRecord> perSheet = ReferenceCounts(bench, loop, host, deck);
    host.codes.clear();
    host.messages.clear();

    // What the project must count: each card's errors as in the reference.
    long expectedErrors = 0;
    std::map<int, long> expectedAt;
    for (int i = 0; i < cards; ++i) {
        const ProjectRecord& r = perSheet[static_cast<size_t>(i) % perSheet.size()];
        expectedErrors += r.totalErrors;
        for (int p = 0; p <= r.errorCounts.highest(); ++p) expectedAt[p] += r.errorCounts.at(p);
    }

    printf("projects-soak: %d cards over %s, unplugged every %d\n", cards, serial ? "the serial link" : "USB",
           kUnplugEvery);
    host.lastCard = cards;
    ProjectRecord record;
    int fed = 0, runs = 0;
    const auto t0 = std::chrono::steady_clock::now();
    while (record.totalCards < cards) {
        // The hopper gets the cards up to the next unplug (or the end).
        const int until = std::min(cards, (record.totalCards / kUnplugEvery + 1) * kUnplugEvery);
        std::vector<vazsim::Sheet> sheets;
        for (; fed < until; ++fed) sheets.push_back(deck.sheets[static_cast<size_t>(fed) % deck.sheets.size()]);
        bench.reader.addCards(sheets);
        std::atomic<bool> running{true};
        host.running = &running;
        record.cardsThisRun = 0;
        const int before = record.totalCards, stopsBefore = record.stopCount;
        record = loop.run(record, {evaluation::Mode::Compare, false, kCardType}, running);
        ++runs;
        if (record.totalCards == before) {
            fprintf(stderr, "projects-soak: a run read no card at %d cards\n", record.totalCards);
            break;
        }
        // The serial port hung up with the unplug: the technician connects again.
        if (record.stopCount > stopsBefore && bench.serial() && vaz.VazInit(bench.connectMode()) <= 0) {
            fprintf(stderr, "projects-soak: no reconnection at %d cards\n", record.totalCards);
            break;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

    bool ok = true;
    auto check = [&ok](const char* what, long got, long want) {
        printf("  %-22s %8ld (expected %ld)%s\n", what, got, want, got == want ? "" : "  MISMATCH");
        ok = ok && got == want;
    };
    printf("%d runs in %.1f s (%.0f cards/s)\n", runs, seconds, record.totalCards / seconds);
    check("cards counted", record.totalCards, cards);
    check("stops", record.stopCount, host.unplugs);
    check("errors counted", record.totalErrors, expectedErrors);
    long positionsOff = 0;
    for (const auto& [p, n] : expectedAt) positionsOff += record.errorCounts.at(p) != n;
    for (int p = 0; p <= record.errorCounts.highest(); ++p)
        positionsOff += !expectedAt.count(p) && record.errorCounts.at(p) != 0;
    check("positions miscounted", positionsOff, 0);
    check("cards left in hopper", static_cast<long>(bench.reader.hopperSize()), 0);
    for (const auto& [code, n] : host.codes) printf("  device error %s: %d\n", code.c_str(), n);
    for (const auto& [text, n] : host.messages) {
        printf("  message %s: %d\n", text.c_str(), n);
        ok = false;
    }
    const long growth = host.lastKiB - host.firstKiB;
    printf("  resident memory: %ld KiB at the first %d cards, %ld KiB at the end (%+ld KiB)%s\n", host.firstKiB,
           kMemoryEvery, host.lastKiB, growth, growth > kFlatLimitKiB ? "  GREW" : "");
    ok = ok && growth <= kFlatLimitKiB;
    vaztest::ResetLibrary();
    printf(ok ? "soak passed\n" : "soak FAILED\n");
    return ok ? 0 : 1;
}
