// Figures of the virtual reader: command round trips and block throughput on
// both links, and deck parsing speed. Prints them; judges nothing.
#include <chrono>
#include <cstdio>

#include "test_support.h"
#include "vazsim/card_deck.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

}  // namespace

int main() {
    using namespace simtest;
    constexpr int kRounds = 2000;
    constexpr int kBlocks = 200;
    Rig rig;
    rig.reader.addCard(vazsim::generateDeck(1, 1).sheets[0]);

    SerialHost serial(rig.pty->path());
    serial.write("I 2 73/");
    serial.read(7314);
    auto t0 = Clock::now();
    for (int i = 0; i < kRounds; ++i) {
        serial.write("N/");
        serial.read(6);
    }
    std::printf("serial  \"N/\" round trip:      %8.1f us\n", secondsSince(t0) / kRounds * 1e6);
    t0 = Clock::now();
    for (int i = 0; i < kBlocks; ++i) {
        serial.write("I 7/");
        serial.read(7312);
    }
    std::printf("serial  \"I 7/\" (7312 bytes):  %8.1f us, %6.1f MB/s\n", secondsSince(t0) / kBlocks * 1e6,
                7312.0 * kBlocks / secondsSince(t0) / 1e6);

    HidHost hid(rig.hid->path());
    t0 = Clock::now();
    for (int i = 0; i < kRounds; ++i) {
        hid.send("N/");
        hid.receivePayloads(2);
    }
    std::printf("hid     \"N/\" round trip:      %8.1f us\n", secondsSince(t0) / kRounds * 1e6);
    t0 = Clock::now();
    const size_t reports = 1 + 1 + 58 + 1 + 58 + 1;
    for (int i = 0; i < kBlocks; ++i) {
        hid.send("I 7/");
        hid.receivePayloads(reports);
    }
    std::printf("hid     \"I 7/\" (%zu reports): %8.1f us, %6.0f reports/s\n", reports,
                secondsSince(t0) / kBlocks * 1e6, static_cast<double>(reports) * kBlocks / secondsSince(t0));

    const std::string text = vazsim::writeDeck(vazsim::generateDeck(3, 1000));
    t0 = Clock::now();
    vazsim::Deck deck = vazsim::parseDeck(text);
    const double s = secondsSince(t0);
    std::printf("deck    parse %zu sheets (%.1f MB): %6.1f ms, %6.1f MB/s\n", deck.sheets.size(), text.size() / 1e6,
                s * 1e3, text.size() / s / 1e6);
    return 0;
}
