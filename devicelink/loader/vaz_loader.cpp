#include "vaz_loader.h"

#include <dlfcn.h>

namespace vazload {

void* OpenLibrary(const std::string& file, std::string& error) {
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) error = dlerror();
    return library;
}

void* OpenLibrary(const std::vector<std::string>& files, std::string& error) {
    for (const std::string& file : files)
        if (void* library = OpenLibrary(file, error)) return library;
    return nullptr;
}

void* FindExport(void* library, const char* name) {
    return library ? dlsym(library, name) : nullptr;
}

const char* Bind(void* library, VazApi& api) {
    const char* missing = nullptr;
#define VAZLOAD_BIND(n)          \
    Resolve(library, #n, api.n); \
    if (api.n == nullptr && missing == nullptr) missing = #n;
    VAZ_EXPORTS(VAZLOAD_BIND)
#undef VAZLOAD_BIND
    return missing;
}

}  // namespace vazload
