// The device function table: the library's exports that the workstation
// binds by name at start-up. A missing export stays null; the call helpers
// treat a null entry as a failed call with result 0.
#pragma once

#include <array>
#include <cstddef>

#include "vaz.h"

// Exports the workstation binds that the current library does not offer.
using FnVazFindDev = int (*)();
using FnVazClose = int (*)();
using FnVazSetDevType = int (*)(int);
using FnVazUpdateFlash = int (*)(const char*);

// A reply whose length comes from the reader carries a 4-digit length
// field: up to 9999 bytes and the terminator.
constexpr std::size_t kReplyBufferSize = 10000;
constexpr std::size_t kErrorCodeBufferSize = 4;
constexpr std::size_t kErrorTextBufferSize = 100;

struct DeviceFunctionTable {
    decltype(&::VazInit) VazInit = nullptr;
    FnVazFindDev VazFindDev = nullptr;
    decltype(&::VazS) VazS = nullptr;
    decltype(&::VazG) VazG = nullptr;
    FnVazClose VazClose = nullptr;
    decltype(&::VazGetError) VazGetError = nullptr;
    decltype(&::VazGetErrorStr) VazGetErrorStr = nullptr;
    FnVazSetDevType VazSetDevType = nullptr;
    decltype(&::VazSG) VazSG = nullptr;
    decltype(&::VazGetValue) VazGetValue = nullptr;
    decltype(&::VazGetOriOrGray) VazGetOriOrGray = nullptr;
    decltype(&::VazGetCurve) VazGetCurve = nullptr;
    FnVazUpdateFlash VazUpdateFlash = nullptr;
    decltype(&::VazSetTest) VazSetTest = nullptr;

    // Export names in the order they are resolved.
    static const std::array<const char*, 14>& names();

    // Resolves every entry from an open library handle (dlopen). Missing
    // exports stay null and are not reported.
    void bind(void* library);

    // The entry with the given export name as an untyped pointer (tests and
    // diagnostics); null for an unknown name or an unbound entry.
    void* entry(const char* name) const;

    // Calls through the table; a null entry yields 0.
    int init(int mode) const { return VazInit ? VazInit(mode) : 0; }
    int send(const char* command) const { return VazS ? VazS(command) : 0; }
    int get(char* buffer) const { return VazG ? VazG(buffer) : 0; }
    int sendGet(const char* command, char* buffer) const { return VazSG ? VazSG(command, buffer) : 0; }
    int getError(char* buffer) const { return VazGetError ? VazGetError(buffer) : 0; }
    int getErrorStr(char* buffer) const { return VazGetErrorStr ? VazGetErrorStr(buffer) : 0; }
    int getValue(char channel, int* values) const { return VazGetValue ? VazGetValue(channel, values) : 0; }
    int getOriOrGray(char which, int* values) const {
        return VazGetOriOrGray ? VazGetOriOrGray(which, values) : 0;
    }
    int getCurve(char channel, int* values) const { return VazGetCurve ? VazGetCurve(channel, values) : 0; }
    int updateFlash(const char* path) const { return VazUpdateFlash ? VazUpdateFlash(path) : 0; }
};
