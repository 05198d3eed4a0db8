// The exports of libvaz and the life of the one device context.
#include <cstdio>
#include <cstring>

#include "vaz.h"
#include "vaz_device.h"

#define VAZ_EXPORT extern "C" __attribute__((visibility("default")))

// ---- the device context -------------------------------------------------------

namespace {
// Created when the library is loaded and destroyed when it is unloaded (the
// library's static initialisation and destruction).
const std::unique_ptr<CVazDevice> g_device = [] {
    vazhost::RefreshTraceSetting();
    vazhost::RefreshHostHooks();
    return std::make_unique<CVazDevice>();
}();
}  // namespace

CVazDevice& TheDevice() {
    return *g_device;
}

CVazDevice::CVazDevice() : link(std::make_unique<CVazLink>()) {}

CVazDevice::~CVazDevice() {
    blockA.Free();
    blockB.Free();
    blockReadBuffer.reset();
    if (printMode) {
        static const unsigned char kLineFeed[2] = {0x0A, 0x04};
        static const unsigned char kCancel[1] = {0x18};
        if (SendPrintPieces(kLineFeed, 2) > 0 && SendPrintPieces(kCancel, 1) > 0) printMode = false;
    }
    error.ReleaseMessages();
}

// ---- data blocks --------------------------------------------------------------

void DataBlock::Free() {
    exists_ = false;
    announced_ = 0;
    bytes_.clear();
    bytes_.shrink_to_fit();
}

void DataBlock::Assign(const void* data, int n) {
    if (n < 0) n = 0;
    if (n > 9999) n = 9999;  // four digits
    AssignHeaderOnly(n);
    bytes_.resize(4 + static_cast<size_t>(n) + 1);
    if (n > 0 && data) memcpy(bytes_.data() + 4, data, static_cast<size_t>(n));
    bytes_.back() = 0;
}

void DataBlock::AssignHeaderOnly(int announced) {
    if (announced < 0) announced = 0;
    if (announced > 9999) announced = 9999;
    char digits[8];
    snprintf(digits, sizeof digits, "%04d", announced);
    bytes_.assign(digits, digits + 4);
    bytes_.push_back(0);
    announced_ = announced;
    exists_ = true;
}

// ---- exports --------------------------------------------------------------------

#define VAZ_GATE()               \
    CVazDevice& d = TheDevice(); \
    if (!d.online) return VAZ_NOT_ONLINE

VAZ_EXPORT int VazInit(int mode) {
    return TheDevice().Init(mode);
}

VAZ_EXPORT int VazS(const char* command) {
    VAZ_GATE();
    return d.SendCommand(command);
}

VAZ_EXPORT int VazG(char* buffer) {
    VAZ_GATE();
    if (!buffer) return 0;
    return d.FetchReply(buffer);
}

VAZ_EXPORT int VazSG(const char* command, char* buffer) {
    VAZ_GATE();
    if (!command || !buffer) return 0;
    return d.SendAndGet(command, buffer);
}

VAZ_EXPORT int VazGetError(char* buffer) {
    TheDevice().error.CopyCode(buffer);
    return VAZ_ACCEPTED;
}

VAZ_EXPORT int VazGetErrorStr(char* buffer) {
    TheDevice().error.CopyText(buffer);
    return VAZ_ACCEPTED;
}

VAZ_EXPORT int VazGetValue(char channel, int* values) {
    VAZ_GATE();
    return d.GetValue(channel, values);
}

VAZ_EXPORT int VazGetOriOrGray(char which, int* values) {
    VAZ_GATE();
    return d.GetOriOrGray(which, values);
}

VAZ_EXPORT int VazGetCurve(char /*ignored*/, int* values) {
    VAZ_GATE();
    return d.GetCurve(values);
}

VAZ_EXPORT int VazSetTest(int first, int second) {
    VAZ_GATE();
    return d.SetTest(first, second);
}

VAZ_EXPORT int VazSetPaint(VAZBOOL flag) {
    VAZ_GATE();
    return d.SendCommand(flag ? "X 0 0 0 0 3/" : "X 0 0 0 0 0/");
}

VAZ_EXPORT VAZBOOL VazCrashReport(void) {
    CVazDevice& d = TheDevice();
    if (!d.online) return 0;
    vazhost::RunFeedbackDialog(d.identification, d.cardCounter);
    return 1;
}

VAZ_EXPORT VAZBOOL VazBackUp(void) {
    return TheDevice().SendCommand("H/") != 0;
}

VAZ_EXPORT VAZBOOL VazReset(void) {
    return TheDevice().SendCommand("Y/") != 0;
}

VAZ_EXPORT VAZBOOL VazPotentiometerUP(int up) {
    return TheDevice().SendCommand(up ? "K 1/" : "K 0/") != 0;
}

VAZ_EXPORT VAZBOOL VazGetDevInfo(int kind, char* buffer) {
    return TheDevice().GetDevInfo(kind, buffer);
}

VAZ_EXPORT VAZBOOL VazSetStop(void) {
    TheDevice().SetStop();
    return 1;
}

VAZ_EXPORT int VazGetReadMode(void) {
    return TheDevice().readMode;
}

VAZ_EXPORT int VazSetReadMode(int mode) {
    return TheDevice().SetReadMode(mode);
}

VAZ_EXPORT VAZBOOL VazSetPrintMode(VAZBOOL on) {
    return TheDevice().SetPrintMode(on != 0);
}
