// The reply stream into libvaz: the library's own objects, connected by
// VazInit to a peer over the virtual HID socket or a pseudo-terminal, which
// answers every command with replies from the input. The input:
//   byte 0  bit 0: the link (0 virtual HID, 1 serial)
//   byte 1  which exports run after VazInit (kScenarios)
//   then    the replies (reader_peer.h)
// The error state is read after every scenario; the library goes offline at
// the end, so each input starts from a library that is not connected.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "reader_peer.h"
#include "vaz.h"
#include "vaz_host_hooks.h"

extern "C" {
// No pauses: the recovery pause and the no-card limit would only slow the run.
__attribute__((visibility("default"))) const VazTestTiming* vaz_test_timing(void) {
    static const VazTestTiming kTiming{0, 0};
    return &kTiming;
}
// Boxes are answered without a word (Yes to "connect again?").
__attribute__((visibility("default"))) int vaz_host_message_box(const char*, const char*, int buttons, int) {
    return buttons == VAZ_BOX_YESNO ? VAZ_ANSWER_YES : VAZ_ANSWER_OK;
}
}

namespace {

struct Buffers {
    // The sizes hosts pass: a write beyond them is the library's fault.
    std::unique_ptr<char[]> reply{new char[VAZ_REPLY_SIZE]()};
    std::unique_ptr<char[]> info{new char[VAZ_DEV_INFO_SIZE]()};
    std::unique_ptr<int[]> values{new int[10000]()};  // a block holds at most 9999 bytes
};

std::string g_formatPath;

void Fetch(Buffers& b) {
    VazG(b.reply.get());
}

// One entry per export that talks to the reader, each with the command
// forms that lead to its different replies.
const std::function<void(Buffers&)> kScenarios[] = {
    [](Buffers&) {},
    [](Buffers& b) { VazS("R/"), Fetch(b); },
    [](Buffers& b) { VazS("r A 0001 0100/"), Fetch(b); },
    [](Buffers& b) { VazS("r A/"), Fetch(b); },
    [](Buffers& b) { VazS("I 1/"), Fetch(b); },
    [](Buffers& b) { VazS("I 3/"), Fetch(b); },
    [](Buffers& b) { VazS("I 2 73/"), VazGetOriOrGray('A', b.values.get()), VazGetOriOrGray('B', b.values.get()); },
    [](Buffers& b) { VazS("I 7/"), VazGetOriOrGray('A', b.values.get()), VazGetOriOrGray('B', b.values.get()); },
    [](Buffers& b) { VazS("I 4/"), VazGetValue('A', b.values.get()), VazGetValue('B', b.values.get()); },
    [](Buffers& b) { VazS("I 6 0/"), VazGetCurve(0, b.values.get()); },
    [](Buffers& b) { VazS("I 6 1/"), VazGetCurve(0, b.values.get()), VazS("I 5 3 10/"); },
    [](Buffers& b) { VazS("X 0 1 2 3 4/"), VazS("X 2/"), Fetch(b), VazS("X 1/"); },
    [](Buffers& b) {
        std::strcpy(b.reply.get(), "");
        VazSG("v/", b.info.get()), VazSG("N/", b.reply.get()), VazSG("J 3/", b.reply.get());
    },
    [](Buffers& b) {
        VazGetDevInfo(VAZ_DEV_INFO_IDENTIFICATION, b.info.get()), VazGetDevInfo(VAZ_DEV_INFO_COUNTER, b.info.get());
    },
    [](Buffers&) { VazSetTest(1, 2), VazSetPaint(1), VazSetPaint(0); },
    [](Buffers&) { VazBackUp(), VazReset(), VazPotentiometerUP(1), VazPotentiometerUP(0); },
    [](Buffers& b) { VazSetReadMode(1), VazGetReadMode(), VazS("R/"), Fetch(b), VazSetReadMode(0); },
    [](Buffers&) { VazSetPrintMode(1), VazS("ab\ncd"), VazSetPrintMode(0); },
    [](Buffers& b) {
        const std::string command = "S " + g_formatPath + "/";
        VazS(command.c_str()), VazS("R/"), VazS("r A 0001 0050/"), Fetch(b);
    },
    [](Buffers&) { VazS("T 1/"), VazS("m 1 2/"), VazS("M 3/"), VazS("L 1/"), VazS("G/"); },
    [](Buffers& b) { VazSetStop(), VazCrashReport(), VazS("I 0 001 02/"), Fetch(b); },
};
constexpr size_t kScenarioCount = sizeof kScenarios / sizeof kScenarios[0];

vazfuzz::ReaderPeer& Peer() {
    static vazfuzz::ReaderPeer* peer = [] {
        char folder[] = "/tmp/vaz-reply-fuzz-XXXXXX";
        if (!mkdtemp(folder)) std::abort();
        // A format with an "f" line, so that a block read asks for the supplement.
        g_formatPath = std::string(folder) + "/card.fmt";
        FILE* f = std::fopen(g_formatPath.c_str(), "w");
        if (!f) std::abort();
        std::fputs("\"L 0 073 048/\"\n\"P 01 008 001 010 0/\"\n\"f 1 2 3 4 0006/\"\n", f);
        std::fclose(f);
        return new vazfuzz::ReaderPeer(folder);  // lives as long as the process
    }();
    return *peer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const vazfuzz::PeerLink link = data[0] & 1 ? vazfuzz::PeerLink::Serial : vazfuzz::PeerLink::Hid;
    vazfuzz::ReaderPeer& peer = Peer();
    peer.Begin(link, vazfuzz::ParseReplies(data + 2, size - 2));
    Buffers b;
    VazInit(link == vazfuzz::PeerLink::Serial ? 2 : 1);
    kScenarios[data[1] % kScenarioCount](b);
    char code[VAZ_ERROR_CODE_SIZE], text[VAZ_ERROR_TEXT_SIZE];
    VazGetErrorStr(text);
    VazGetError(code);
    VazInit(-1);
    peer.End();
    return 0;
}
