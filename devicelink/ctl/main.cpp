// vazctl: drives an optical mark reader from a terminal or a script through
// libvaz.so: connect, send commands, load a format, read cards, fetch gray
// data, values and curves; prints text or JSON.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "kit_version.h"
#include "messages.h"

namespace {

const char kUsage[] =
    "usage: vazctl [LINK] [--json] [--read-mode M] [--lib PATH] [--quiet] COMMAND [ARGS]\n"
    "       vazctl --help | --version\n"
    "\n"
    "Connects to the reader, runs COMMAND, disconnects.\n"
    "\n"
    "LINK:\n"
    "  --auto        USB first, then the serial ports COM1..COM5 (default)\n"
    "  --usb         USB only\n"
    "  --serial      serial ports only (VAZ_SERIAL_PORTS maps COM1..COM5 to devices)\n"
    "\n"
    "COMMAND:\n"
    "  connect                      connect and report the link and the device type\n"
    "  info                         identification text and card counter\n"
    "  send [--get] CMD...          send each command (e.g. \"L 1/\"); --get also fetches its reply\n"
    "  sg CMD                       send a command and read its reply text (\"v/\", \"N/\")\n"
    "  format [--lower] FILE        download a format file (--lower: the \"s/\" download); a bare\n"
    "                               name not in the working folder is looked up among the\n"
    "                               shipped formats and decks (../share/kestrin)\n"
    "  read N [--format FILE] [--lower] [--count C]\n"
    "                               read N cards (0: until the hopper is empty); per card the\n"
    "                               card number (\"r A/\") and the card data (\"r A 0001 C/\",\n"
    "                               C defaults to 2048)\n"
    "  syncs                        sync mark count of the last card (\"I 3/\")\n"
    "  gray [--lines N] [--last]    read a card and fetch its raw and gray data, N lines (73);\n"
    "                               --last: the data of the last card read (\"I 7/\")\n"
    "  values                       instantaneous values of both channels (\"I 4/\")\n"
    "  curve [--head H] [--lines N] curves of head H (1; 0 = the sync track) and of the sync\n"
    "                               track while one card passes, N sync marks (73)\n"
    "  testmode FIRST SECOND        switch the reader into test mode (\"I 0 FFF SS/\")\n"
    "\n"
    "OPTIONS:\n"
    "  --json        print one JSON object (numbers in arrays) instead of text\n"
    "  --read-mode M set the read mode first: 0 no-card ends a read at once, 1 or 2 wait for\n"
    "                a card (Ctrl-C stops the wait)\n"
    "  --lib PATH    the library to load (default: $VAZ_LIBRARY, ../lib/libvaz.so, libvaz.so)\n"
    "  --quiet       do not echo the library's messages to standard error\n"
    "\n"
    "EXIT STATUS:\n"
    "  0 done   1 usage   2 library missing   3 no reader / not online\n"
    "  4 the reader or the library refused a command (code and text are printed)\n"
    "  5 read N: the hopper ran empty before N cards\n";

const vazctl::VazApi* g_api = nullptr;

void OnInterrupt(int) {
    vazctl::RequestStop();
    if (g_api != nullptr) g_api->VazSetStop();  // ends a running no-card retry
}

struct Options {
    int mode = 0;
    bool json = false;
    bool quiet = false;
    bool version = false;
    int readMode = -1;
    std::string lib;
    std::string command;
    std::vector<std::string> args;
};

bool ParseOptions(int argc, char** argv, Options& o, std::string& error) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] == '-'; ++i) {
        const std::string a = argv[i];
        if (a == "--auto") {
            o.mode = 0;
        } else if (a == "--usb") {
            o.mode = 1;
        } else if (a == "--serial") {
            o.mode = 2;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if (a == "--help") {
            return false;
        } else if (a == "--version") {
            o.version = true;
            return true;
        } else if ((a == "--lib" || a == "--read-mode") && i + 1 < argc) {
            const std::string v = argv[++i];
            if (a == "--lib") {
                o.lib = v;
            } else if (v == "0" || v == "1" || v == "2") {
                o.readMode = v[0] - '0';
            } else {
                error = "--read-mode must be 0, 1 or 2";
                return false;
            }
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    if (i >= argc) {
        error = "no command given";
        return false;
    }
    o.command = argv[i++];
    for (; i < argc; ++i) o.args.emplace_back(argv[i]);
    return true;
}

void Print(const Options& o, vazctl::Value& report, int code) {
    vazctl::Value messages = vazctl::Value::Array();
    for (const auto& m : vazctl::TakeLibraryMessages()) {
        vazctl::Value v = vazctl::Value::Object();
        v.Set("caption", vazctl::Value::Text(m.caption));
        v.Set("text", vazctl::Value::Text(m.text));
        messages.Push(std::move(v));
    }
    if (o.json) {
        report.Set("ok", vazctl::Value::Bool(code == vazctl::kExitOk));
        report.Set("exit", vazctl::Value::Int(code));
        report.Set("messages", std::move(messages));
        std::fputs(report.ToJson().c_str(), stdout);
    } else {
        std::fputs(report.ToText().c_str(), stdout);
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vazctl;
    Options o;
    std::string error;
    if (!ParseOptions(argc, argv, o, error)) {
        if (!error.empty()) std::fprintf(stderr, "vazctl: %s\n\n", error.c_str());
        std::fputs(kUsage, error.empty() ? stdout : stderr);
        return error.empty() ? kExitOk : kExitUsage;
    }
    if (o.version) {
        std::printf("vazctl %s\n", KIT_VERSION);
        return kExitOk;
    }
    Prepared run;
    try {
        run = PrepareSubcommand(o.command, o.args);
        if (!run) throw UsageError("unknown command " + o.command);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "vazctl: %s (see vazctl --help)\n", e.what());
        return kExitUsage;
    }

    VazApi api;
    if (!LoadVazApi(o.lib, api, error)) {
        std::fprintf(stderr, "vazctl: cannot load libvaz.so: %s\n", error.c_str());
        return kExitLibrary;
    }
    EchoLibraryMessages(!o.quiet && !o.json);
    g_api = &api;
    std::signal(SIGINT, OnInterrupt);

    Value report = Value::Object();
    const int r = api.VazInit(o.mode);
    const int link = VAZ_LINK_OF(r);
    char type[8];
    std::snprintf(type, sizeof type, "0x%02X", VAZ_DEVICE_TYPE_OF(r));
    report.Set("link", Value::Text(link == VAZ_LINK_USB      ? "usb"
                                   : link == VAZ_LINK_SERIAL ? "serial"
                                                             : "none"));
    report.Set("deviceType", Value::Text(type));
    int code = kExitOk;
    if (link != VAZ_LINK_USB && link != VAZ_LINK_SERIAL) {
        code = kExitNoReader;
        Value e = Value::Object();
        e.Set("what", Value::Text("connect"));
        e.Set("text", Value::Text("no reader found"));
        report.Set("error", std::move(e));
    } else {
        if (o.readMode >= 0 && api.VazSetReadMode(o.readMode) < 0) {
            code = kExitDevice;
            report.Set("error", Value::Text("the reader refused the read mode"));
        }
        if (code == kExitOk) {
            Context ctx{api, report};
            code = run(ctx);
        }
        api.VazInit(-1);
    }
    Print(o, report, code);
    if (code != kExitOk && !o.json)
        std::fprintf(stderr, "vazctl: %s failed (exit %d)\n", o.command.c_str(), code);
    return code;
}
