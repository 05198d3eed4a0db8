// The device function table: the library's exports that the workstation
// binds by name at start-up, in its own order. A missing export stays null;
// the call helpers treat a null entry as a failed call with result 0.
#pragma once

#include <array>
#include <cstddef>
#include <type_traits>

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

    // Calls through the table; a null entry yields 0.
    int init(int mode) const {
        return VazInit ? VazInit(mode) : 0;
    }
    int send(const char* command) const {
        return VazS ? VazS(command) : 0;
    }
    int get(char* buffer) const {
        return VazG ? VazG(buffer) : 0;
    }
    int sendGet(const char* command, char* buffer) const {
        return VazSG ? VazSG(command, buffer) : 0;
    }
    int getError(char* buffer) const {
        return VazGetError ? VazGetError(buffer) : 0;
    }
    int getErrorStr(char* buffer) const {
        return VazGetErrorStr ? VazGetErrorStr(buffer) : 0;
    }
    int getValue(char channel, int* values) const {
        return VazGetValue ? VazGetValue(channel, values) : 0;
    }
    int getOriOrGray(char which, int* values) const {
        return VazGetOriOrGray ? VazGetOriOrGray(which, values) : 0;
    }
    int getCurve(char channel, int* values) const {
        return VazGetCurve ? VazGetCurve(channel, values) : 0;
    }
    int updateFlash(const char* path) const {
        return VazUpdateFlash ? VazUpdateFlash(path) : 0;
    }
};
