// vazsim: serves a virtual reader over a pseudo-terminal and/or a virtual HID
// socket until SIGINT or SIGTERM.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "kit_version.h"
#include "vazplatform/shipped_data.h"
#include "vazsim/card_deck.h"
#include "vazsim/trace_format.h"
#include "vazsim/transports.h"
#include "vazsim/virtual_reader.h"

namespace {

const char* const kUsage =
    "usage: vazsim [--pty LINK_PATH] [--hid SOCKET_PATH] [--model TEXT] [--counter N]\n"
    "              [--deck FILE] [--seed N] [--sheets N] [--refuse-format PREFIX]\n"
    "              [--unsteady-head INDEX] [--firmware-out FILE] [--nak-block N]\n"
    "              [--silent-block N] [--late-input MS] [--wire-speed] [--trace]\n"
    "       vazsim --seed N [--sheets N] --write-deck FILE\n"
    "       vazsim --help | --version\n"
    "\n"
    "  --pty LINK_PATH      serve the serial link on a pseudo-terminal, its slave path\n"
    "                       published as the symlink LINK_PATH\n"
    "  --hid SOCKET_PATH    serve a virtual HID device on this SOCK_SEQPACKET socket\n"
    "  --model TEXT         identification text answered to \"v/\" (default R6KTM10034721)\n"
    "  --counter N          card counter answered to \"N/\" (default 10000)\n"
    "  --deck FILE          load the sheets of a deck file into the hopper; a bare name\n"
    "                       not in the working folder is looked up among the shipped\n"
    "                       decks (../share/kestrin/decks: sample.ini, production.ini)\n"
    "  --seed N             generate the hopper's sheets (without --deck) and seed the\n"
    "                       sensor noise\n"
    "  --sheets N           number of generated sheets (default 20)\n"
    "  --refuse-format P    refuse the format command starting with P with status 06\n"
    "  --unsteady-head I    head I of the \"I 4/\" layout (0 = D, 1 = S, 2.. = channels)\n"
    "                       reads unsteadily\n"
    "  --firmware-out FILE  write the image of each completed firmware transfer to FILE\n"
    "  --nak-block N        answer NAK once to packet N of a firmware transfer\n"
    "  --silent-block N     stop answering at packet N of a firmware transfer\n"
    "  --late-input MS      read every command MS milliseconds after it arrived (0..10000);\n"
    "                       a host purge of its output meanwhile discards it\n"
    "  --wire-speed         pace both directions as the real links: USB one 64-byte report\n"
    "                       per millisecond, serial 115200 baud 8E1 (10,472 bytes/s)\n"
    "  --write-deck FILE    write the generated deck to FILE and exit\n"
    "  --trace              print every transfer to standard error\n";

bool parseUnsigned(const char* text, unsigned long max, unsigned long& out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(text, &end, 10);
    if (errno || *end || text[0] == '-' || v > max) return false;
    out = v;
    return true;
}

[[noreturn]] void usageError(const std::string& message) {
    std::cerr << "vazsim: " << message << "\n" << kUsage;
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    std::string ptyLink, hidPath, model, deckFile, writeDeckFile, refusePrefix, firmwareOut;
    std::vector<vazsim::UpdateFault> updateFaults;
    std::optional<unsigned long> counter, seed, unsteady;
    unsigned long sheets = 20;
    bool trace = false, wireSpeed = false;
    unsigned long lateInputMs = 0;

    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) usageError(a + " needs a value");
            return argv[++i];
        };
        unsigned long n = 0;
        if (a == "--pty") {
            ptyLink = value();
        } else if (a == "--hid") {
            hidPath = value();
        } else if (a == "--model") {
            model = value();
        } else if (a == "--counter") {
            if (!parseUnsigned(value(), 0xFFFFFFFFul, n))
                usageError("--counter takes a number 0..4294967295");
            counter = n;
        } else if (a == "--deck") {
            deckFile = vazplat::FindShippedFile(value(), {"decks"});
        } else if (a == "--seed") {
            if (!parseUnsigned(value(), 0xFFFFFFFFul, n)) usageError("--seed takes a number 0..4294967295");
            seed = n;
        } else if (a == "--sheets") {
            if (!parseUnsigned(value(), 100000, n)) usageError("--sheets takes a number 0..100000");
            sheets = n;
        } else if (a == "--refuse-format") {
            refusePrefix = value();
        } else if (a == "--unsteady-head") {
            if (!parseUnsigned(value(), 99, n)) usageError("--unsteady-head takes an index 0..99");
            unsteady = n;
        } else if (a == "--firmware-out") {
            firmwareOut = value();
        } else if (a == "--nak-block" || a == "--silent-block") {
            if (!parseUnsigned(value(), 100000, n) || n == 0) usageError(a + " takes a packet number 1..100000");
            vazsim::UpdateFault f;
            f.kind = a == "--nak-block" ? vazsim::UpdateFault::Kind::Nak : vazsim::UpdateFault::Kind::Silent;
            f.block = static_cast<int>(n);
            updateFaults.push_back(f);
        } else if (a == "--write-deck") {
            writeDeckFile = value();
        } else if (a == "--late-input") {
            if (!parseUnsigned(value(), 10000, lateInputMs)) usageError("--late-input takes milliseconds 0..10000");
        } else if (a == "--wire-speed") {
            wireSpeed = true;
        } else if (a == "--trace") {
            trace = true;
        } else if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--version") {
            std::cout << "vazsim " << KIT_VERSION << "\n";
            return 0;
        } else {
            usageError("unknown option " + a);
        }
    }

    if (!writeDeckFile.empty()) {
        if (!seed) usageError("--write-deck needs --seed");
        std::ofstream out(writeDeckFile, std::ios::binary);
        out << "; Deck generated by vazsim --seed " << *seed << " --sheets " << sheets << "\n"
            << vazsim::writeDeck(
                   vazsim::generateDeck(static_cast<uint32_t>(*seed), static_cast<int>(sheets)));
        out.close();
        if (!out) {
            std::cerr << "vazsim: cannot write " << writeDeckFile << "\n";
            return 1;
        }
        return 0;
    }
    if (ptyLink.empty() && hidPath.empty()) usageError("give --pty, --hid or both");

    vazsim::VirtualReader reader;
    if (!model.empty()) reader.setModel(model);
    if (counter) reader.setCardCounter(static_cast<uint32_t>(*counter));
    if (seed) reader.setSeed(static_cast<uint32_t>(*seed));
    if (unsteady) reader.setUnsteadyHead(static_cast<int>(*unsteady));
    if (!refusePrefix.empty()) reader.refuseFormatCommand(refusePrefix);
    if (!firmwareOut.empty()) reader.setFirmwareOut(firmwareOut);
    reader.setInputDelay(static_cast<int>(lateInputMs));
    reader.setWireSpeed(wireSpeed);
    for (const vazsim::UpdateFault& f : updateFaults) reader.injectUpdateFault(f);
    try {
        if (!deckFile.empty())
            reader.loadDeck(vazsim::loadDeckFile(deckFile));
        else if (seed)
            reader.loadDeck(vazsim::generateDeck(static_cast<uint32_t>(*seed), static_cast<int>(sheets)));
    } catch (const vazsim::DeckError& e) {
        std::cerr << "vazsim: " << e.what() << "\n";
        return 1;
    }
    if (trace) {
        auto mutex = std::make_shared<std::mutex>();  // both transports print
        reader.setTraceListener([mutex](const vazsim::TraceEntry& e) {
            std::lock_guard lock(*mutex);
            std::fprintf(stderr, "%s\n", vazsim::formatTraceEntry(e).c_str());
        });
    }

    // Block the signals before any thread starts, then wait for one here.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    std::unique_ptr<vazsim::PtyTransport> pty;
    std::unique_ptr<vazsim::HidSocketTransport> hid;
    try {
        if (!ptyLink.empty()) pty = std::make_unique<vazsim::PtyTransport>(reader, ptyLink);
        if (!hidPath.empty()) hid = std::make_unique<vazsim::HidSocketTransport>(reader, hidPath);
    } catch (const std::exception& e) {
        std::cerr << "vazsim: " << e.what() << "\n";
        return 1;
    }
    if (pty) std::cout << "serial: " << pty->path() << " -> " << pty->slavePath() << "\n";
    if (hid) std::cout << "hid: " << hid->path() << "\n";
    std::cout << "model " << reader.model() << ", counter " << reader.cardCounter() << ", "
              << reader.hopperSize() << " sheets in the hopper" << std::endl;

    int sig = 0;
    sigwait(&stop, &sig);
    hid.reset();  // removes the socket
    pty.reset();  // removes the symlink
    return 0;
}
