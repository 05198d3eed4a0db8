// The device function table: the library's exports that the workstation
// binds by name at start-up, in its own order. A missing export stays null;
// the call helpers treat a null entry as a failed call with result 0.
//
// The library has no lock of its own, so the helpers serialise: one thread
// talks to the reader at a time. A thread that needs several calls in a row
// (a command and the copy of its data) holds the table's lock around them:
//     DeviceLock::Hold hold(app.device.lock);
//     if (app.device.send("I 4/") > 0) app.device.getValue('A', values);
// setStop() alone takes no lock: VazSetStop's flag is atomic, and it is the
// way to end a no-card retry that another thread is waiting in.
#pragma once

#include <array>
#include <cstddef>
#include <type_traits>

#include "device_lock.h"
#include "vaz_loader.h"

// The fourteen entries in resolution order. LIB names an export of libvaz
// (typed by vaz.h, checked against vaz_exports.h); OLD names an entry the
// workstation binds that the library does not offer, with its type.
#define KESTRIN_DEVICE_FUNCTIONS(LIB, OLD)    \
    LIB(VazInit)                              \
    OLD(VazFindDev, int (*)())                \
    LIB(VazS)                                 \
    LIB(VazG)                                 \
    OLD(VazClose, int (*)())                  \
    LIB(VazGetError)                          \
    LIB(VazGetErrorStr)                       \
    OLD(VazSetDevType, int (*)(int))          \
    LIB(VazSG)                                \
    LIB(VazGetValue)                          \
    LIB(VazGetOriOrGray)                      \
    LIB(VazGetCurve)                          \
    OLD(VazUpdateFlash, int (*)(const char*)) \
    LIB(VazSetTest)

struct DeviceFunctionTable {
#define KESTRIN_LIB_ENTRY(name)                                                   \
    static_assert(vazload::IsExport(#name), #name " is not an export of libvaz"); \
    decltype(&::name) name = nullptr;
#define KESTRIN_OLD_ENTRY(name, type) std::type_identity_t<type> name = nullptr;
    KESTRIN_DEVICE_FUNCTIONS(KESTRIN_LIB_ENTRY, KESTRIN_OLD_ENTRY)
#undef KESTRIN_LIB_ENTRY
#undef KESTRIN_OLD_ENTRY

    static constexpr std::size_t kEntryCount = 14;

    // Export names in the order they are resolved.
    static const std::array<const char*, kEntryCount>& names();

    // Resolves every entry from an open library (vazload::OpenLibrary).
    // Missing exports stay null and are not reported.
    void bind(void* library);

    // The entry with the given export name as an untyped pointer (tests and
    // diagnostics); null for an unknown name or an unbound entry.
    void* entry(const char* name) const;

    // Bound beside the fourteen entries: the stop that ends a no-card retry.
    decltype(&::VazSetStop) VazSetStop = nullptr;

    // Calls through the table, one caller at a time; a null entry yields 0.
    int init(int mode) const {
        return call(VazInit, mode);
    }
    int send(const char* command) const {
        return call(VazS, command);
    }
    int get(char* buffer) const {
        return call(VazG, buffer);
    }
    int sendGet(const char* command, char* buffer) const {
        return call(VazSG, command, buffer);
    }
    int getError(char* buffer) const {
        return call(VazGetError, buffer);
    }
    int getErrorStr(char* buffer) const {
        return call(VazGetErrorStr, buffer);
    }
    int getValue(char channel, int* values) const {
        return call(VazGetValue, channel, values);
    }
    int getOriOrGray(char which, int* values) const {
        return call(VazGetOriOrGray, which, values);
    }
    int getCurve(char channel, int* values) const {
        return call(VazGetCurve, channel, values);
    }
    int updateFlash(const char* path) const {
        return call(VazUpdateFlash, path);
    }
    // Any thread, without the lock; false when the library lacks the export.
    bool setStop() const {
        return VazSetStop && VazSetStop();
    }

    // Held by every helper for the length of its call; hold it yourself
    // around a sequence that must not be interleaved with another caller's.
    mutable DeviceLock lock;

private:
    template <typename Fn, typename... Args>
    int call(Fn fn, Args... args) const {
        if (!fn) return 0;
        DeviceLock::Hold hold(lock);
        return fn(args...);
    }
};
