#include "fault_matrix.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "vaz_link_fixture.h"

namespace faultmatrix {

using vaztest::Vaz;

namespace {

constexpr char kAnswer[] = "ABCDEFGH1234";
constexpr int kDeviceType = 0x11;       // "R6KTM V1.00", the test reader's model
constexpr int kRecoveryPauseMs = 100;   // the tests' USB recovery pause
constexpr int kNoCardLimitMs = 600;     // the tests' no-card limit
constexpr int kCardAfterMs = 200;       // NoUntilCard: the card comes this late
constexpr int kLengthMore = 100;        // more than a report's padding: the status is read as data
constexpr int kLengthLess = 40;         // the status is read from inside the block
constexpr double kMarginS = 1.5;        // generous: a busy machine, not a speed judgement

// The bounds of vaz.h for a reader that falls silent or vanishes, with the
// tests' short recovery pause. USB: a report write and a report read of 2 s
// each, the recovery pause, the rediscovery. Serial: 10 s in all (3 s for
// VazInit's missing "ONLINE/" status).
double SilentReaderBoundS(const Operation& op, bool usb) {
    if (usb) return 2.0 + 2.0 + kRecoveryPauseMs / 1000.0 + op.ownPauseS;
    return (op.isInit ? 3.0 : 10.0) + op.ownPauseS;
}

std::string FormatFile() {
    static const std::string path = vaztest::WriteFile("K 1/\n");
    return path;
}

void DownloadFormat() {
    Vaz().VazS(("S " + FormatFile() + "/").c_str());
}

// A card in the hopper and a format: what "R/" needs.
void FormatAndCard(vazsim::VirtualReader& r) {
    DownloadFormat();
    r.addCard(vaztest::SheetWith(kAnswer));
}

// A card read: what the block read, the stored read and the curve need.
void CardRead(vazsim::VirtualReader& r) {
    FormatAndCard(r);
    Vaz().VazS("R/");
}

int Sg(const char* command) {
    char buf[VAZ_REPLY_SIZE] = {};
    return Vaz().VazSG(command, buf);
}

int SgLength(const std::string& model) {
    return static_cast<int>((model + "/").size());
}

Operation Op(std::string name, std::string prefix, std::function<int()> run, int ok = 1, int fail = 0) {
    Operation op;
    op.name = std::move(name);
    op.prefix = std::move(prefix);
    op.run = std::move(run);
    op.okResult = ok;
    op.failResult = fail;
    return op;
}

}  // namespace

std::vector<Fault> AllFaults() {
    std::vector<Fault> out = {{FaultKind::NoOnce, ""}, {FaultKind::NoUntilCard, ""}};
    for (int c = 1; c <= 23; ++c) {
        char dd[3];
        snprintf(dd, sizeof dd, "%02d", c);
        out.push_back({FaultKind::Code, dd});
    }
    out.push_back({FaultKind::Code, "31"});
    for (FaultKind k : {FaultKind::Garbled, FaultKind::Silence, FaultKind::StaleBytes, FaultKind::LengthLonger,
                        FaultKind::LengthShorter, FaultKind::SilentMidReply, FaultKind::UnplugMidReply})
        out.push_back({k, ""});
    return out;
}

const char* ColumnName(FaultKind kind) {
    switch (kind) {
        case FaultKind::NoOnce: return "NO once";
        case FaultKind::NoUntilCard: return "NO until card";
        case FaultKind::Code: return "status codes";
        case FaultKind::Garbled: return "garbled status";
        case FaultKind::Silence: return "silence";
        case FaultKind::StaleBytes: return "stale bytes";
        case FaultKind::LengthLonger: return "length +100";
        case FaultKind::LengthShorter: return "length -40";
        case FaultKind::SilentMidReply: return "silent mid-reply";
        case FaultKind::UnplugMidReply: return "unplug mid-reply";
    }
    return "?";
}

std::string CellName(const Fault& fault) {
    return fault.kind == FaultKind::Code ? "status " + fault.code : ColumnName(fault.kind);
}

std::vector<Operation> AllOperations() {
    std::vector<Operation> ops;
    const std::string model = "R6KTM V1.00";

    Operation init = Op("VazInit", "ONLINE", nullptr);
    init.isInit = true;
    ops.push_back(init);  // run, okResult and failResult depend on the link: RunCell

    Operation read = Op("VazS \"R/\"", "R/", [] { return Vaz().VazS("R/"); });
    read.setup = FormatAndCard;
    ops.push_back(read);

    Operation area = Op("VazS \"I 2 73/\"", "I 2", [] { return Vaz().VazS("I 2 73/"); });
    area.lengthField = true;
    area.setup = [](vazsim::VirtualReader& r) { r.addCard(vaztest::SheetWith(kAnswer)); };
    ops.push_back(area);

    // Value and curve reads answer 255 whatever happened; the code tells.
    Operation value = Op("VazS \"I 4/\"", "I 4", [] { return Vaz().VazS("I 4/"); }, 255, 255);
    value.lengthField = true;
    ops.push_back(value);

    Operation curve = Op("VazS \"I 6 0/\"", "I 6", [] { return Vaz().VazS("I 6 0/"); }, 255, 255);
    curve.lengthField = true;
    curve.setup = CardRead;
    ops.push_back(curve);

    ops.push_back(Op("VazS \"I 5 03,04/\"", "I 5", [] { return Vaz().VazS("I 5 03,04/"); }));

    Operation calibrate = Op("VazS \"J 05/\"", "J", [] { return Vaz().VazS("J 05/"); });
    calibrate.ownPauseS = 0.4;
    ops.push_back(calibrate);

    Operation settings = Op("VazS \"X 2/\"", "X 2", [] { return Vaz().VazS("X 2/"); });
    settings.lengthField = true;
    settings.retriedOnNoCard = false;
    // 40 fewer than the 13 bytes of "NO 00001 SC 0": an empty text, and on
    // the serial link the text's "NO" taken for the status.
    settings.shorterSerial = Operation::Misread{VAZ_FAILED, VAZ_CODE_NO_CARD};
    settings.shorterUsb = Operation::Misread{VAZ_DONE, VAZ_CODE_NO_ERROR};
    ops.push_back(settings);

    ops.push_back(Op("VazS \"S FILE/\"", "S a.txt", [] { return Vaz().VazS(("S " + FormatFile() + "/").c_str()); },
                     255, 0));

    Operation block = Op("VazG after \"r A 0001 0100/\"", "r A 0001", [] {
        char buf[VAZ_REPLY_SIZE] = {};
        Vaz().VazS("r A 0001 0100/");
        return Vaz().VazG(buf);
    }, static_cast<int>(sizeof kAnswer), 0);
    block.lengthField = true;
    block.setup = CardRead;
    // An empty text: on the serial link the text's "BC" taken for the status;
    // on USB the block's report stands for the empty block and the status follows.
    block.shorterSerial = Operation::Misread{0, VAZ_CODE_COMMUNICATION};
    block.shorterUsb = Operation::Misread{1, VAZ_CODE_NO_ERROR};
    ops.push_back(block);

    // The stored read answers 4 whatever its statuses said.
    Operation stored = Op("VazG after \"r A/\"", "r A/", [] {
        char buf[VAZ_REPLY_SIZE] = {};
        Vaz().VazS("r A/");
        return Vaz().VazG(buf);
    }, 4, 4);
    stored.setup = CardRead;
    ops.push_back(stored);

    ops.push_back(Op("VazS \"I 3/\" + VazG", "I 3", [] {
        char buf[VAZ_REPLY_SIZE] = {};
        const int sent = Vaz().VazS("I 3/");
        return sent == VAZ_DONE ? Vaz().VazG(buf) : sent;
    }));

    // Replies that begin with data: the identification text, the counter.
    std::vector<Operation> dataFirst;
    dataFirst.push_back(Op("VazSG \"v/\"", "v/", [] { return Sg("v/"); }, SgLength(model), 0));
    dataFirst.push_back(Op("VazSG \"N/\"", "N/", [] { return Sg("N/"); }, 4, 0));
    dataFirst.push_back(Op("VazGetDevInfo(1)", "v/", [] {
        char buf[VAZ_DEV_INFO_SIZE] = {};
        return int(Vaz().VazGetDevInfo(VAZ_DEV_INFO_IDENTIFICATION, buf));
    }));
    // The counter kind answers true whatever came (0 when nothing did).
    dataFirst.push_back(Op("VazGetDevInfo(2)", "N/", [] {
        char buf[VAZ_DEV_INFO_SIZE] = {};
        return int(Vaz().VazGetDevInfo(VAZ_DEV_INFO_COUNTER, buf));
    }, 1, 1));
    for (Operation& op : dataFirst) {
        op.statusFirst = false;
        ops.push_back(std::move(op));
    }
    ops.push_back(Op("VazSetTest(0, 0)", "I 0", [] { return Vaz().VazSetTest(0, 0); }));
    ops.push_back(Op("VazSetPaint(1)", "X 0", [] { return int(Vaz().VazSetPaint(1)); }));
    ops.push_back(Op("VazBackUp", "H/", [] { return int(Vaz().VazBackUp()); }));
    ops.push_back(Op("VazReset", "Y/", [] { return int(Vaz().VazReset()); }));
    ops.push_back(Op("VazPotentiometerUP(1)", "K 1/", [] { return int(Vaz().VazPotentiometerUP(1)); }));
    // The previous mode (0), or -1 when the reader refused.
    Operation readMode = Op("VazSetReadMode(2)", "L 1/", [] { return Vaz().VazSetReadMode(2); }, 0, -1);
    readMode.answersPreviousMode = true;
    ops.push_back(readMode);
    Operation print = Op("VazSetPrintMode(1)", "t/", [] { return int(Vaz().VazSetPrintMode(1)); });
    print.entersPrintMode = true;
    ops.push_back(print);
    return ops;
}

Expected ExpectedFor(const Operation& op, const Fault& fault, bool usb) {
    Expected e;
    const int ok = op.isInit ? kDeviceType * 256 + (usb ? VAZ_LINK_USB : VAZ_LINK_SERIAL) : op.okResult;
    const int fail = op.isInit ? kDeviceType * 256 : op.failResult;
    e.result = fail;
    e.boundS = SilentReaderBoundS(op, usb) + kMarginS;
    switch (fault.kind) {
        case FaultKind::NoOnce:
            e.code = op.statusFirst ? VAZ_CODE_NO_CARD : VAZ_CODE_COMMUNICATION;
            break;
        case FaultKind::NoUntilCard:
            // Read mode 1 retries a status "NO" until the card has come; read
            // as data, "NO" is not retried.
            if (!op.statusFirst || !op.retriedOnNoCard) {
                e.code = op.statusFirst ? VAZ_CODE_NO_CARD : VAZ_CODE_COMMUNICATION;
                break;
            }
            e.result = op.answersPreviousMode ? 1 : ok;
            e.code = VAZ_CODE_NO_ERROR;
            e.boundS = kCardAfterMs / 1000.0 + op.ownPauseS + kMarginS;
            break;
        case FaultKind::Code:
            e.code = op.statusFirst ? fault.code : VAZ_CODE_COMMUNICATION;
            break;
        case FaultKind::StaleBytes:
            e.result = ok;
            e.code = VAZ_CODE_NO_ERROR;
            break;
        case FaultKind::LengthLonger:
            e.applies = op.lengthField;
            e.code = VAZ_CODE_COMMUNICATION;
            break;
        case FaultKind::LengthShorter: {
            e.applies = op.lengthField;
            e.code = VAZ_CODE_COMMUNICATION;
            const auto& misread = usb ? op.shorterUsb : op.shorterSerial;
            if (misread) {
                e.result = misread->result;
                e.code = misread->code;
            }
            break;
        }
        case FaultKind::SilentMidReply:
        case FaultKind::UnplugMidReply:
            e.nextWorks = !op.entersPrintMode;
            e.code = VAZ_CODE_COMMUNICATION;
            break;
        case FaultKind::Garbled:
        case FaultKind::Silence:
            e.code = VAZ_CODE_COMMUNICATION;
            break;
    }
    return e;
}

namespace {

vazsim::Fault ReaderFault(const Fault& fault) {
    vazsim::Fault f;
    switch (fault.kind) {
        case FaultKind::NoOnce:
            f.kind = vazsim::Fault::Kind::No;
            break;
        case FaultKind::NoUntilCard:
            f.kind = vazsim::Fault::Kind::No;
            f.untilCard = true;
            break;
        case FaultKind::Code:
            f.kind = vazsim::Fault::Kind::Code;
            f.code = fault.code;
            break;
        case FaultKind::Garbled:
            f.kind = vazsim::Fault::Kind::Garbled;
            break;
        case FaultKind::Silence:
            f.kind = vazsim::Fault::Kind::Silent;
            break;
        case FaultKind::StaleBytes:
            f.kind = vazsim::Fault::Kind::Stale;
            f.bytes = "99";
            break;
        case FaultKind::LengthLonger:
        case FaultKind::LengthShorter:
            f.kind = vazsim::Fault::Kind::LieLength;
            f.lengthDelta = fault.kind == FaultKind::LengthLonger ? kLengthMore : -kLengthLess;
            break;
        case FaultKind::SilentMidReply:
            f.kind = vazsim::Fault::Kind::Stop;
            f.stopAfter = 1;
            break;
        case FaultKind::UnplugMidReply:
            f.kind = vazsim::Fault::Kind::Unplug;
            f.stopAfter = 1;
            break;
    }
    return f;
}

// Unrequested bytes on the link: the reader answers a "T" command (which
// reads nothing) with them; the cell's own command comes after they arrived.
bool LeaveStaleBytes(vazsim::VirtualReader& reader, const vazsim::Fault& stale) {
    reader.injectFault("T", stale);
    Vaz().VazS("T 020/");
    if (!vaztest::WaitForCommand(reader, "T 020/")) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the reply's way back
    return true;
}

}  // namespace

Outcome RunCell(const Operation& op, const Fault& fault, bool usb) {
    Outcome out;
    const Expected expected = ExpectedFor(op, fault, usb);
    auto sim = std::make_unique<vaztest::Sim>(usb ? vaztest::Sim::kHid : vaztest::Sim::kSerial);
    vazsim::VirtualReader& reader = sim->reader();
    const std::string portBefore = sim->ptyPath();
    const int mode = usb ? 1 : 2;
    vaztest::SetTiming(kRecoveryPauseMs, kNoCardLimitMs);
    if (Vaz().VazInit(mode) <= 0) {
        out.why = "no connection before the cell";
        vaztest::ResetLibrary();
        return out;
    }
    if (op.setup) op.setup(reader);
    const vazsim::Fault armed = ReaderFault(fault);
    if (fault.kind == FaultKind::StaleBytes) {
        if (!LeaveStaleBytes(reader, armed)) out.why = "stale bytes not delivered; ";
    } else {
        if (fault.kind == FaultKind::NoUntilCard) {
            Vaz().VazSetReadMode(1);
            reader.setSecondStatusAfterRead(false);  // the library reads one status in read mode 1
        }
        reader.injectFault(op.prefix, armed);
    }
    sim->ClearTrace();
    vaztest::ClearBoxes();

    std::thread card;
    if (fault.kind == FaultKind::NoUntilCard)
        card = std::thread([&reader] {
            std::this_thread::sleep_for(std::chrono::milliseconds(kCardAfterMs));
            reader.addCard(vaztest::SheetWith(kAnswer));
        });
    const auto t0 = std::chrono::steady_clock::now();
    out.result = op.isInit ? Vaz().VazInit(mode) : op.run();
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    out.code = vaztest::ErrorCode();
    if (card.joinable()) card.join();

    // The next command: after a failed VazInit, or a serial port that hung up
    // (the serial link has no recovery), the technician connects again.
    reader.clearFaults();
    Vaz().VazSetPrintMode(0);  // sends nothing unless the cell entered print mode
    const bool reconnect = (op.isInit && VAZ_LINK_OF(out.result) == VAZ_LINK_NONE) ||
                           (!usb && fault.kind == FaultKind::UnplugMidReply);
    if (reconnect) {
        // A pseudo-terminal that hung up is replaced by one with a new path.
        for (int i = 0; i < 200 && sim->ptyPath() == portBefore; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        sim->Publish();
        if (Vaz().VazInit(mode) <= 0) out.why += "reconnecting failed; ";
    }
    out.nextWorks = Vaz().VazS("K 1/") == VAZ_DONE && vaztest::ErrorCode() == VAZ_CODE_NO_ERROR;
    vaztest::ResetLibrary();
    sim.reset();

    char line[160];
    if (out.result != expected.result) {
        snprintf(line, sizeof line, "result %d, expected %d; ", out.result, expected.result);
        out.why += line;
    }
    if (out.code != expected.code) out.why += "code " + out.code + ", expected " + expected.code + "; ";
    if (out.seconds > expected.boundS) {
        snprintf(line, sizeof line, "took %.2f s, bound %.2f s; ", out.seconds, expected.boundS);
        out.why += line;
    }
    if (out.nextWorks != expected.nextWorks)
        out.why += out.nextWorks ? "the next command worked; " : "the next command failed; ";
    out.passed = out.why.empty();
    return out;
}

namespace {

std::string Serialize(const Outcome& o) {
    char head[96];
    snprintf(head, sizeof head, "%d %d %d %.6f %s\n", o.result, o.nextWorks, o.passed, o.seconds,
             o.code.empty() ? "-" : o.code.c_str());
    return head + o.why;
}

Outcome Deserialize(const std::string& text) {
    Outcome o;
    int next = 0, passed = 0;
    char code[16] = {};
    if (sscanf(text.c_str(), "%d %d %d %lf %15s", &o.result, &next, &passed, &o.seconds, code) != 5) {
        o.why = "the cell's process ended without an outcome";
        return o;
    }
    o.nextWorks = next;
    o.passed = passed;
    o.code = strcmp(code, "-") == 0 ? "" : code;
    const size_t nl = text.find('\n');
    o.why = nl == std::string::npos ? "" : text.substr(nl + 1);
    return o;
}

}  // namespace

std::vector<Outcome> RunCells(const std::vector<Cell>& cells, int jobs) {
    Vaz();          // loaded once, before the first fork
    FormatFile();   // written once: every child uses the same file
    fflush(nullptr);
    std::vector<Outcome> out(cells.size());
    struct Child {
        pid_t pid;
        int fd;
        size_t index;
        std::string text;
    };
    std::vector<Child> running;
    size_t next = 0;
    auto reap = [&] {
        std::vector<pollfd> fds;
        for (const Child& c : running) fds.push_back({c.fd, POLLIN, 0});
        poll(fds.data(), fds.size(), -1);
        for (size_t i = 0; i < running.size();) {
            char buf[512];
            const ssize_t n = fds[i].revents ? read(running[i].fd, buf, sizeof buf) : -1;
            if (n > 0) {
                running[i].text.append(buf, static_cast<size_t>(n));
            } else if (n == 0) {
                close(running[i].fd);
                waitpid(running[i].pid, nullptr, 0);
                out[running[i].index] = Deserialize(running[i].text);
                running.erase(running.begin() + static_cast<long>(i));
                fds.erase(fds.begin() + static_cast<long>(i));
                continue;
            }
            ++i;
        }
    };
    while (next < cells.size() || !running.empty()) {
        if (next < cells.size() && static_cast<int>(running.size()) < std::max(1, jobs)) {
            int p[2];
            if (pipe(p) != 0) break;
            const pid_t pid = fork();
            if (pid == 0) {
                close(p[0]);
                const Cell& c = cells[next];
                const std::string text = Serialize(RunCell(*c.op, c.fault, c.usb));
                size_t done = 0;
                while (done < text.size()) {
                    const ssize_t n = write(p[1], text.data() + done, text.size() - done);
                    if (n <= 0) break;
                    done += static_cast<size_t>(n);
                }
                _exit(0);
            }
            close(p[1]);
            if (pid < 0) {
                close(p[0]);
                out[next++].why = "fork failed";
                continue;
            }
            running.push_back({pid, p[0], next++, ""});
            continue;
        }
        reap();
    }
    return out;
}

}  // namespace faultmatrix
