#include "commands.h"

#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "vazplatform/shipped_data.h"

namespace vazctl {
namespace {

std::atomic<bool> g_stop{false};

// What VazG and VazSG may write at most (card data with its supplement, the
// data blocks with their four-digit count all fit it).
constexpr int kBufferSize = VAZ_REPLY_SIZE;
constexpr int kMaxValues = 10000;

int ParseInt(const std::string& s, const char* what) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size())
        throw UsageError(std::string("bad ") + what + ": " + s);
    return v;
}

// Simple option scanner for a subcommand's arguments.
class Args {
public:
    explicit Args(const std::vector<std::string>& a) : args_(a) {}
    bool Flag(const char* name) {
        for (std::size_t i = 0; i < args_.size(); ++i) {
            if (args_[i] == name) {
                args_.erase(args_.begin() + static_cast<long>(i));
                return true;
            }
        }
        return false;
    }
    bool Option(const char* name, std::string& value) {
        for (std::size_t i = 0; i < args_.size(); ++i) {
            if (args_[i] != name) continue;
            if (i + 1 >= args_.size()) throw UsageError(std::string(name) + " needs a value");
            value = args_[i + 1];
            args_.erase(args_.begin() + static_cast<long>(i), args_.begin() + static_cast<long>(i) + 2);
            return true;
        }
        return false;
    }
    int IntOption(const char* name, int fallback, int lo, int hi) {
        std::string v;
        if (!Option(name, v)) return fallback;
        const int n = ParseInt(v, name);
        if (n < lo || n > hi)
            throw UsageError(std::string(name) + " must be " + std::to_string(lo) + " to " +
                             std::to_string(hi));
        return n;
    }
    std::vector<std::string> Rest(std::size_t min, std::size_t max) const {
        for (const auto& a : args_)
            if (a.size() > 1 && a[0] == '-' && a[1] == '-') throw UsageError("unknown option " + a);
        if (args_.size() < min || args_.size() > max) throw UsageError("wrong number of arguments");
        return args_;
    }

private:
    std::vector<std::string> args_;
};

Value ErrorValue(const std::string& what, const DeviceError& e) {
    Value v = Value::Object();
    v.Set("what", Value::Text(what));
    v.Set("code", Value::Text(e.code));
    v.Set("text", Value::Text(e.text));
    return v;
}

int Fail(Context& ctx, const std::string& what, int exitCode = kExitDevice) {
    ctx.report.Set("error", ErrorValue(what, FetchDeviceError(ctx.api)));
    return exitCode;
}

// Reads the error state after a call whose result cannot tell failure apart
// (value and curve reads answer 255 either way). True when it held an error.
bool TakeError(Context& ctx, DeviceError& e) {
    e = FetchDeviceError(ctx.api);
    return e.code != VAZ_CODE_NO_ERROR;
}

Value BytesOf(const char* buf, std::size_t n) {
    Value v = Value::Array();
    for (std::size_t i = 0; i < n; ++i) v.Push(Value::Int(static_cast<unsigned char>(buf[i])));
    return v;
}

// Splits a block of values into the reader's lines of 50 bytes.
Value Lines(const std::vector<int>& values, int count) {
    Value lines = Value::Array();
    for (int start = 0; start < count; start += 50)
        lines.Push(Value::Ints(values.data() + start, std::min(50, count - start)));
    return lines;
}

Prepared PrepConnect(Args& args) {
    args.Rest(0, 0);
    return [](Context&) { return int{kExitOk}; };  // main makes and reports the connection
}

Prepared PrepInfo(Args& args) {
    args.Rest(0, 0);
    return [](Context& ctx) {
        char buf[300] = {};
        if (!ctx.api.VazGetDevInfo(1, buf)) return Fail(ctx, "v/");
        ctx.report.Set("identification", Value::Text(buf));
        std::memset(buf, 0, sizeof buf);
        if (!ctx.api.VazGetDevInfo(2, buf)) return Fail(ctx, "N/");
        ctx.report.Set("cardCounter", Value::Text(buf));
        return int{kExitOk};
    };
}

Prepared PrepSend(Args& args) {
    const bool get = args.Flag("--get");
    const auto commands = args.Rest(1, 1000);
    return [=](Context& ctx) {
        Value replies = Value::Array();
        int code = kExitOk;
        for (const auto& command : commands) {
            Value entry = Value::Object();
            entry.Set("command", Value::Text(command));
            const int r = ctx.api.VazS(command.c_str());
            entry.Set("result", Value::Int(r));
            DeviceError e;
            // A 0 is a failure only when the error state says so ("T"
            // commands answer the transfer result, which may be 0).
            if (r < 0 || (r == 0 && TakeError(ctx, e))) {
                entry.Set("error", ErrorValue(command, e));
                replies.Push(std::move(entry));
                code = r < 0 ? kExitNoReader : kExitDevice;
                break;
            }
            if (get) {
                std::vector<char> buf(kBufferSize, '\0');
                const int g = ctx.api.VazG(buf.data());
                const std::size_t len = strnlen(buf.data(), buf.size() - 1);
                entry.Set("fetched", Value::Int(g));
                entry.Set("text", Value::Text(std::string_view(buf.data(), len)));
                if (len < 16) entry.Set("bytes", BytesOf(buf.data(), std::max<std::size_t>(len, 4)));
            }
            replies.Push(std::move(entry));
        }
        ctx.report.Set("replies", std::move(replies));
        return code;
    };
}

Prepared PrepSg(Args& args) {
    const auto rest = args.Rest(1, 1);
    return [=](Context& ctx) {
        char buf[512] = {};
        const int n = ctx.api.VazSG(rest[0].c_str(), buf);
        ctx.report.Set("command", Value::Text(rest[0]));
        ctx.report.Set("result", Value::Int(n));
        if (n <= 0) return Fail(ctx, rest[0]);
        ctx.report.Set("text", Value::Text(std::string_view(buf, strnlen(buf, sizeof buf - 1))));
        // Binary replies ("N/": the counter's 4 bytes, zeros among them) whole.
        if (n < 16) ctx.report.Set("bytes", BytesOf(buf, static_cast<std::size_t>(n)));
        return int{kExitOk};
    };
}

// A bare file name that is not in the working folder may be one of the
// shipped format files (share/kestrin/formats, share/kestrin/decks).
int LoadFormat(Context& ctx, const std::string& given, bool lower) {
    const std::string path = vazplat::FindShippedFile(given, {"formats", "decks"});
    const std::string command = std::string(lower ? "s " : "S ") + path + "/";
    ctx.report.Set("format", Value::Text(path));
    if (ctx.api.VazS(command.c_str()) != 255) return Fail(ctx, "format download");
    return kExitOk;
}

Prepared PrepFormat(Args& args) {
    const bool lower = args.Flag("--lower");
    const auto rest = args.Rest(1, 1);
    return [=](Context& ctx) { return LoadFormat(ctx, rest[0], lower); };
}

struct ReadPlan {
    int wanted = 0;  // 0: until the hopper is empty
    std::string format;
    bool lower = false;
    int count = 2048;
};

enum class CardOutcome { Read, Failed, HopperEmpty, Offline };

// One card: "R/", the card number with "r A/", the card data with
// "r A 0001 NNNN/".
CardOutcome ReadOneCard(Context& ctx, const ReadPlan& plan, Value& card, std::vector<char>& buf) {
    char blockCmd[32];
    std::snprintf(blockCmd, sizeof blockCmd, "r A 0001 %04d/", plan.count);
    DeviceError e;
    const int r = ctx.api.VazS("R/");
    if (r < 0) return CardOutcome::Offline;
    if (r == 0) {
        e = FetchDeviceError(ctx.api);
        if (e.code == VAZ_CODE_NO_CARD) return CardOutcome::HopperEmpty;  // "NO": no card
        card.Set("error", ErrorValue("R/", e));
        return CardOutcome::Failed;
    }
    std::fill(buf.begin(), buf.end(), '\0');
    ctx.api.VazS("r A/");
    ctx.api.VazG(buf.data());
    if (TakeError(ctx, e)) {
        card.Set("error", ErrorValue("r A/", e));
        return CardOutcome::Failed;
    }
    card.Set("number", Value::Int(std::atoi(buf.data())));
    std::fill(buf.begin(), buf.end(), '\0');
    ctx.api.VazS(blockCmd);
    const int len = ctx.api.VazG(buf.data());
    if (len < 1) {
        card.Set("error", ErrorValue(blockCmd, FetchDeviceError(ctx.api)));
        return CardOutcome::Failed;
    }
    card.Set("length", Value::Int(len));
    card.Set("data", Value::Text(std::string_view(buf.data(), strnlen(buf.data(), buf.size()))));
    return CardOutcome::Read;
}

Prepared PrepRead(Args& args) {
    ReadPlan plan;
    args.Option("--format", plan.format);
    plan.lower = args.Flag("--lower");
    plan.count = args.IntOption("--count", 2048, 1, 4990);
    const auto rest = args.Rest(1, 1);
    plan.wanted = ParseInt(rest[0], "card count");
    if (plan.wanted < 0) throw UsageError("card count must be 0 (until the hopper is empty) or more");
    return [=](Context& ctx) {
        if (!plan.format.empty()) {
            if (const int rc = LoadFormat(ctx, plan.format, plan.lower); rc != kExitOk) return rc;
        }
        Value cards = Value::Array();
        int read = 0;
        int failed = 0;
        bool hopperEmpty = false;
        std::vector<char> buf(kBufferSize);
        for (int i = 1; (plan.wanted == 0 || i <= plan.wanted) && !g_stop; ++i) {
            Value card = Value::Object();
            card.Set("index", Value::Int(i));
            const CardOutcome outcome = ReadOneCard(ctx, plan, card, buf);
            if (outcome == CardOutcome::Offline) return Fail(ctx, "R/", kExitNoReader);
            if (outcome == CardOutcome::HopperEmpty) {
                hopperEmpty = true;
                break;
            }
            (outcome == CardOutcome::Failed ? failed : read)++;
            cards.Push(std::move(card));
        }
        ctx.report.Set("cards", std::move(cards));
        ctx.report.Set("read", Value::Int(read));
        ctx.report.Set("failed", Value::Int(failed));
        ctx.report.Set("hopperEmpty", Value::Bool(hopperEmpty));
        if (failed > 0) return int{kExitDevice};
        if (plan.wanted > 0 && read < plan.wanted) return int{kExitShortDeck};
        return int{kExitOk};
    };
}

Prepared PrepSyncs(Args& args) {
    args.Rest(0, 0);
    return [](Context& ctx) {
        if (ctx.api.VazS("I 3/") != 1) return Fail(ctx, "I 3/");
        char buf[16] = {};
        if (ctx.api.VazG(buf) != 1) return Fail(ctx, "I 3/");
        ctx.report.Set("syncMarks", Value::Int(static_cast<unsigned char>(buf[0])));
        return int{kExitOk};
    };
}

Prepared PrepGray(Args& args) {
    const bool last = args.Flag("--last");
    const int lines = args.IntOption("--lines", 73, 1, 99);
    args.Rest(0, 0);
    char command[32];
    if (last)
        std::snprintf(command, sizeof command, "I 7/");
    else
        std::snprintf(command, sizeof command, "I 2 %02d/", lines);
    const std::string cmd = command;
    return [=](Context& ctx) {
        if (ctx.api.VazS(cmd.c_str()) != 1) return Fail(ctx, cmd);
        std::vector<int> raw(kMaxValues), gray(kMaxValues);
        const int n = ctx.api.VazGetOriOrGray('A', raw.data());
        const int m = ctx.api.VazGetOriOrGray('B', gray.data());
        if (n <= 0 || m < 0) return Fail(ctx, cmd);
        ctx.report.Set("lines", Value::Int(n / 50));
        ctx.report.Set("raw", Lines(raw, n));
        ctx.report.Set("gray", Lines(gray, m));
        return int{kExitOk};
    };
}

Prepared PrepValues(Args& args) {
    args.Rest(0, 0);
    return [](Context& ctx) {
        ctx.api.VazS("I 4/");  // 255 whatever happened: the error state tells
        DeviceError e;
        if (TakeError(ctx, e)) {
            ctx.report.Set("error", ErrorValue("I 4/", e));
            return int{kExitDevice};
        }
        std::vector<int> a(kMaxValues), b(kMaxValues);
        const int n = ctx.api.VazGetValue('A', a.data());
        if (n <= 0) return Fail(ctx, "I 4/");
        ctx.api.VazGetValue('B', b.data());
        ctx.report.Set("count", Value::Int(n));
        ctx.report.Set("A", Value::Ints(a.data(), n >= 96 ? n / 2 : n));
        ctx.report.Set("B", Value::Ints(b.data(), n - n / 2));
        return int{kExitOk};
    };
}

// One curve: "I 6 %d/" and the copy-out. Returns the sample count, or -1.
int FetchCurve(Context& ctx, int selector, std::vector<int>& out) {
    char command[32];
    std::snprintf(command, sizeof command, "I 6 %d/", selector);
    ctx.api.VazS(command);
    DeviceError e;
    if (TakeError(ctx, e)) {
        ctx.report.Set("error", ErrorValue(command, e));
        return -1;
    }
    const int n = ctx.api.VazGetCurve('A', out.data());
    if (n <= 0) {
        ctx.report.Set("error", ErrorValue(command, FetchDeviceError(ctx.api)));
        return -1;
    }
    return n;
}

Prepared PrepCurve(Args& args) {
    const int head = args.IntOption("--head", 1, 0, 99);
    const int lines = args.IntOption("--lines", 73, 1, 99);
    args.Rest(0, 0);
    return [=](Context& ctx) {
        char command[32];
        std::snprintf(command, sizeof command, "I 5 %02d,%02d/", head == 0 ? 1 : head, lines);
        if (ctx.api.VazS(command) != 1) return Fail(ctx, command);
        std::vector<int> curve(kMaxValues), sync(kMaxValues);
        const int n = FetchCurve(ctx, head == 0 ? 0 : 1, curve);
        if (n < 0) return int{kExitDevice};
        const int f = FetchCurve(ctx, 0, sync);
        if (f < 0) return int{kExitDevice};
        ctx.report.Set("head", Value::Int(head));
        ctx.report.Set("samples", Value::Int(n));
        ctx.report.Set("curve", Value::Ints(curve.data(), n));
        ctx.report.Set("syncSamples", Value::Int(f));
        ctx.report.Set("sync", Value::Ints(sync.data(), f));
        return int{kExitOk};
    };
}

Prepared PrepTestMode(Args& args) {
    const auto rest = args.Rest(2, 2);
    const int first = ParseInt(rest[0], "first number");
    const int second = ParseInt(rest[1], "second number");
    if (first < 0 || first > 999 || second < 0 || second > 99)
        throw UsageError("test mode numbers are 0-999 and 0-99");
    return [=](Context& ctx) {
        if (ctx.api.VazSetTest(first, second) != 1) return Fail(ctx, "test mode");
        ctx.report.Set("testMode", Value::Bool(true));
        return int{kExitOk};
    };
}

}  // namespace

void RequestStop() {
    g_stop = true;
}

Prepared PrepareSubcommand(const std::string& name, const std::vector<std::string>& argv) {
    static const struct {
        const char* name;
        Prepared (*prepare)(Args&);
    } table[] = {
        {"connect", PrepConnect}, {"info", PrepInfo},   {"send", PrepSend},         {"sg", PrepSg},
        {"format", PrepFormat},   {"read", PrepRead},   {"syncs", PrepSyncs},       {"gray", PrepGray},
        {"values", PrepValues},   {"curve", PrepCurve}, {"testmode", PrepTestMode},
    };
    for (const auto& entry : table) {
        if (name != entry.name) continue;
        Args args(argv);
        return entry.prepare(args);
    }
    return nullptr;
}

}  // namespace vazctl
