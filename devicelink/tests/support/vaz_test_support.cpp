#include "vaz_test_support.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "vaz_host_hooks.h"

#ifndef VAZ_LIBRARY_PATH
#define VAZ_LIBRARY_PATH "libvaz.so"
#endif

namespace {

std::mutex g_boxMutex;
std::vector<vaztest::RecordedBox> g_boxes;
int g_yesNoAnswer = VAZ_ANSWER_YES;

VazTestTiming g_timing = {100, 600};

}  // namespace

// The two hooks the library looks up in the host (dlsym(RTLD_DEFAULT, ...)).
extern "C" __attribute__((visibility("default"))) int vaz_host_message_box(const char* caption,
                                                                           const char* text, int buttons,
                                                                           int icon) {
    std::lock_guard<std::mutex> lock(g_boxMutex);
    g_boxes.push_back({caption ? caption : "", text ? text : "", buttons, icon});
    return buttons == VAZ_BOX_YESNO ? g_yesNoAnswer : VAZ_ANSWER_OK;
}

extern "C" __attribute__((visibility("default"))) const VazTestTiming* vaz_test_timing(void) {
    return &g_timing;
}

namespace vaztest {

std::string LibraryPath() {
    const char* env = getenv("VAZ_TEST_LIBRARY");
    return env && *env ? env : VAZ_LIBRARY_PATH;
}

void* LibraryHandle() {
    static void* handle = [] {
        std::string error;
        void* h = vazload::OpenLibrary(LibraryPath(), error);
        if (!h) {
            fprintf(stderr, "vaz_test_support: cannot load %s: %s\n", LibraryPath().c_str(), error.c_str());
            abort();
        }
        return h;
    }();
    return handle;
}

const VazApi& Vaz() {
    static const VazApi api = [] {
        VazApi a;
        if (const char* missing = vazload::Bind(LibraryHandle(), a)) {
            fprintf(stderr, "vaz_test_support: export %s missing\n", missing);
            abort();
        }
        return a;
    }();
    return api;
}

std::vector<RecordedBox> Boxes() {
    std::lock_guard<std::mutex> lock(g_boxMutex);
    return g_boxes;
}

void ClearBoxes() {
    std::lock_guard<std::mutex> lock(g_boxMutex);
    g_boxes.clear();
}

void SetYesNoAnswer(int answer) {
    std::lock_guard<std::mutex> lock(g_boxMutex);
    g_yesNoAnswer = answer;
}

int CountBoxes(const std::string& part) {
    std::lock_guard<std::mutex> lock(g_boxMutex);
    int n = 0;
    for (const auto& b : g_boxes) n += b.text.find(part) != std::string::npos;
    return n;
}

void SetTiming(int usbRecoveryPauseMs, int noCardLimitMs) {
    g_timing.usbRecoveryPauseMs = usbRecoveryPauseMs;
    g_timing.noCardLimitMs = noCardLimitMs;
}

void ResetTiming() {
    SetTiming(100, 600);
}

void SetSerialPorts(const std::string& paths) {
    setenv("VAZ_SERIAL_PORTS", paths.c_str(), 1);
}
void SetHidDevices(const std::string& entries) {
    setenv("VAZ_HID_DEVICES", entries.c_str(), 1);
}

std::string TempDir() {
    static std::string dir = [] {
        char tmpl[] = "/tmp/vaztest.XXXXXX";
        const char* d = mkdtemp(tmpl);
        if (!d) abort();
        std::string s = d;
        static struct Cleaner {
            std::string path;
            ~Cleaner() {
                std::error_code ec;
                std::filesystem::remove_all(path, ec);
            }
        } cleaner{s};
        return s;
    }();
    return dir;
}

// ---- Sim -----------------------------------------------------------------------

Sim::Sim(int links, const std::string& model) {
    reader_.setModel(model);
    static int counter = 0;
    if (links & kSerial) pty_ = std::make_unique<vazsim::PtyTransport>(reader_);
    if (links & kHid) {
        std::string path =
            TempDir() + "/hid" + std::to_string(getpid()) + "_" + std::to_string(++counter) + ".sock";
        hid_ = std::make_unique<vazsim::HidSocketTransport>(reader_, path);
    }
    Publish();
}

Sim::~Sim() {
    hid_.reset();
    pty_.reset();
}

std::string Sim::ptyPath() const {
    return pty_ ? pty_->path() : "";
}
std::string Sim::socketPath() const {
    return hid_ ? hid_->path() : "";
}

void Sim::Publish() const {
    SetSerialPorts(ptyPath());
    SetHidDevices(socketPath());
}

// ---- SilentPort -------------------------------------------------------------------

SilentPort::SilentPort() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) abort();
    path_ = ptsname(master_);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    // Keep the slave side's line discipline raw even before the library opens it.
    int slave = open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave >= 0) {
        termios t{};
        if (tcgetattr(slave, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(slave, TCSANOW, &t);
        }
        close(slave);
    }
}

SilentPort::~SilentPort() {
    if (master_ >= 0) close(master_);
}

std::string SilentPort::Written() {
    std::string out;
    char buf[256];
    for (;;) {
        ssize_t n = read(master_, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

// ---- library state ----------------------------------------------------------------

bool WaitForCommand(const vazsim::VirtualReader& reader, const std::string& command, int timeoutMs) {
    for (int waited = 0;; waited += 10) {
        for (const auto& c : reader.commands())
            if (c == command) return true;
        if (waited >= timeoutMs) return false;
        usleep(10 * 1000);
    }
}

int Connect(int mode) {
    return Vaz().VazInit(mode);
}

void ResetLibrary() {
    const VazApi& v = Vaz();
    v.VazSetPrintMode(0);  // returns false at once when print mode is off
    if (v.VazGetReadMode() != 0) v.VazSetReadMode(0);
    char code[8] = {};
    v.VazGetError(code);
    v.VazInit(-1);
    v.VazGetError(code);
    ClearBoxes();
    SetYesNoAnswer(VAZ_ANSWER_YES);
    ResetTiming();
}

std::string ErrorCode() {
    char buf[8] = {};
    Vaz().VazGetError(buf);
    return buf;
}

std::string ErrorText() {
    char buf[128] = {};
    Vaz().VazGetErrorStr(buf);
    return buf;
}

}  // namespace vaztest
