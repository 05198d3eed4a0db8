// How every host of libvaz loads it: dlopen by file name and dlsym by export
// name, the way the workstation binds the library at run time. The library
// stays loaded until the process ends (its device context lives as long).
#pragma once

#include <string>
#include <vector>

#include "vaz.h"
#include "vaz_exports.h"

namespace vazload {

// The file name hosts load; found through their RUNPATH ($ORIGIN/../lib) or
// the library path.
inline constexpr char kLibraryFile[] = "libvaz.so";

// Every export of libvaz, typed by its declaration in vaz.h; null while
// unbound or missing.
struct VazApi {
#define VAZLOAD_ENTRY(name) decltype(&::name) name = nullptr;
    VAZ_EXPORTS(VAZLOAD_ENTRY)
#undef VAZLOAD_ENTRY
};

// True when `name` is one of the exports of VAZ_EXPORTS (usable in
// static_assert, so that a host's own table cannot name a typo).
constexpr bool IsExport(const char* name) {
    auto same = [](const char* a, const char* b) {
        while (*a && *a == *b) ++a, ++b;
        return *a == *b;
    };
#define VAZLOAD_IS(n) \
    if (same(name, #n)) return true;
    VAZ_EXPORTS(VAZLOAD_IS)
#undef VAZLOAD_IS
    return false;
}

// Opens the first of `files` that loads; null when none does, with the
// loader's reason for the last one in `error`.
void* OpenLibrary(const std::vector<std::string>& files, std::string& error);
void* OpenLibrary(const std::string& file, std::string& error);

// The address of an export; null when the library lacks it.
void* FindExport(void* library, const char* name);

template <typename Fn>
void Resolve(void* library, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(FindExport(library, name));
}

// Binds every export. Returns the name of the first one the library lacks
// (in the order of VAZ_EXPORTS), or null when all are there.
const char* Bind(void* library, VazApi& api);

}  // namespace vazload
