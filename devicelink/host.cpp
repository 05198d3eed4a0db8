// The library's side of the host hooks: message boxes, test timings, trace.
#include <dlfcn.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "vaz_device.h"
#include "vazplatform/codepage.h"

namespace vazhost {

namespace {
std::atomic<bool> g_trace{false};

// The host's hooks, looked up at load and again at every VazInit (a lookup
// of a missing symbol walks every loaded object: not once per exchange).
std::atomic<VazTestTimingFn> g_timingHook{nullptr};
std::atomic<VazHostMessageBoxFn> g_boxHook{nullptr};
std::atomic<VazHostFeedbackFn> g_feedbackHook{nullptr};

const VazTestTiming* Timing() {
    VazTestTimingFn fn = g_timingHook;
    return fn ? fn() : nullptr;
}
}  // namespace

void Log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fflush(stderr);
}

int MessageBox(const char* caption, const char* text, int buttons, int icon) {
    if (!caption) caption = "";
    if (!text) text = "";
    VazHostMessageBoxFn fn = g_boxHook;
    if (fn) return fn(caption, text, buttons, icon);
    std::string line = vazplat::Cp936ToLocale(caption) + ": " + vazplat::Cp936ToLocale(text);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    Log("%s\n", line.c_str());
    return buttons == VAZ_BOX_YESNO ? VAZ_ANSWER_YES : VAZ_ANSWER_OK;
}

void FrameworkMessageBox(const char* text) {
    MessageBox(vazstr::kAppTitle, text, VAZ_BOX_OK, VAZ_ICON_NONE);
}

int UsbRecoveryPauseMs() {
    const VazTestTiming* t = Timing();
    return t && t->usbRecoveryPauseMs >= 0 ? t->usbRecoveryPauseMs : 5000;
}

int NoCardLimitMs() {
    const VazTestTiming* t = Timing();
    return t && t->noCardLimitMs >= 0 ? t->noCardLimitMs : 10000;
}

void RefreshHostHooks() {
    g_timingHook = reinterpret_cast<VazTestTimingFn>(dlsym(RTLD_DEFAULT, VAZ_TEST_TIMING_SYMBOL));
    g_boxHook = reinterpret_cast<VazHostMessageBoxFn>(dlsym(RTLD_DEFAULT, VAZ_HOST_MESSAGE_BOX_SYMBOL));
    g_feedbackHook = reinterpret_cast<VazHostFeedbackFn>(dlsym(RTLD_DEFAULT, VAZ_HOST_FEEDBACK_SYMBOL));
}

VazHostFeedbackFn FeedbackHook() {
    return g_feedbackHook;
}

void RefreshTraceSetting() {
    const char* v = getenv("VAZ_TRACE");
    g_trace = v && *v && strcmp(v, "0") != 0;
}

void Trace(int result, const void* bytes, int n) {
    if (!g_trace) return;
    std::string text;
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (int i = 0; p && i < n; ++i) {
        unsigned char c = p[i];
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text += static_cast<char>(c);
        } else {
            char esc[8];
            snprintf(esc, sizeof esc, "\\x%02X", c);
            text += esc;
        }
    }
    Log("%d:\t%s\r\n", result, text.c_str());
}

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SleepMs(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace vazhost
