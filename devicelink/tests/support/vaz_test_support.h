// Test support for libvaz: loads build/lib/libvaz.so through dlopen exactly as
// the workstation does, resolves every export, records (and answers) the
// library's message boxes through vaz_host_message_box, shortens its pauses
// through vaz_test_timing, and runs an in-process virtual reader on a
// pseudo-terminal and/or a virtual HID socket.
//
// Link a test program with the target vaz_test_support (an OBJECT library).
// The program must export its symbols dynamically so the library sees the two
// hooks: the target carries -rdynamic as a link option of its users; setting
// ENABLE_EXPORTS on the test executable as well does no harm.
//
// The library is a process-wide singleton: one load per test binary. Bring it
// back to a known state between tests with ResetLibrary() while the virtual
// reader is still running.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vaz.h"
#include "vaz_host_hooks.h"
#include "vaz_loader.h"
#include "vazsim/transports.h"
#include "vazsim/virtual_reader.h"

namespace vaztest {

// Every export of libvaz, resolved by name.
using VazApi = vazload::VazApi;

// Loads the library on first use (aborts the test program when it cannot).
const VazApi& Vaz();
void* LibraryHandle();
std::string LibraryPath();

// ---- message boxes ---------------------------------------------------------
struct RecordedBox {
    std::string caption;  // code page 936
    std::string text;     // code page 936
    int buttons;          // VazBoxButtons
    int icon;             // VazBoxIcon
};
std::vector<RecordedBox> Boxes();
void ClearBoxes();
// Answer for Yes/No boxes (VAZ_ANSWER_YES, the default, or VAZ_ANSWER_NO).
// OK boxes are always answered VAZ_ANSWER_OK.
void SetYesNoAnswer(int answer);
// Number of recorded boxes whose text contains `part`.
int CountBoxes(const std::string& part);

// ---- timings ---------------------------------------------------------------
// Values handed to the library through vaz_test_timing (< 0: the real ones).
// Defaults: USB recovery pause 100 ms, no-card limit 600 ms.
void SetTiming(int usbRecoveryPauseMs, int noCardLimitMs);
void ResetTiming();

// ---- environment -------------------------------------------------------------
// Sets VAZ_SERIAL_PORTS / VAZ_HID_DEVICES (empty text: no ports / no devices).
void SetSerialPorts(const std::string& paths);
void SetHidDevices(const std::string& entries);
// A fresh private folder for sockets and symlinks (removed at exit).
std::string TempDir();

// ---- the virtual reader ------------------------------------------------------
// One virtual reader with an optional pty and/or HID socket transport.
// The constructor sets the environment so that the next VazInit finds
// exactly the transports started (serial: COM1 = the pty).
class Sim {
public:
    enum Links { kSerial = 1, kHid = 2, kBoth = 3 };
    explicit Sim(int links, const std::string& model = "R6KTM V1.00");
    ~Sim();
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;

    vazsim::VirtualReader& reader() { return reader_; }
    std::string ptyPath() const;     // "" without a pty
    std::string socketPath() const;  // "" without a HID socket
    // Sets the environment variables for these transports again.
    void Publish() const;
    // Clears the reader's trace and recorded commands.
    void ClearTrace() { reader_.clearTrace(); }

private:
    vazsim::VirtualReader reader_;
    std::unique_ptr<vazsim::PtyTransport> pty_;
    std::unique_ptr<vazsim::HidSocketTransport> hid_;
};

// A pseudo-terminal nobody answers on (a "silent" serial port). The master
// side stays open; Written() returns what the library wrote to it.
class SilentPort {
public:
    SilentPort();
    ~SilentPort();
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;
    std::string path() const { return path_; }
    std::string Written();  // drains and returns the bytes written so far

private:
    int master_ = -1;
    std::string path_;
};

// Waits (at most timeoutMs) until the reader has received `command`; for
// commands that get no reply (the "T" commands), whose arrival nothing else
// waits for.
bool WaitForCommand(const vazsim::VirtualReader& reader, const std::string& command, int timeoutMs = 2000);

// Connects with VazInit(mode) after the environment was set; returns its result.
int Connect(int mode);
// Known state: leaves print mode, sets read mode 0 (both only if needed),
// drops a pending error, disconnects with VazInit(-1), clears the boxes and
// restores the default timings. Call it while the reader still runs.
void ResetLibrary();

// The error code / text the library holds now (reading clears the pending mark).
std::string ErrorCode();
std::string ErrorText();

}  // namespace vaztest
