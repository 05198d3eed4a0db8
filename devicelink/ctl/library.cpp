#include "library.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace vazctl {
namespace {

std::string ProgramDir() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    std::string path(buf, static_cast<std::size_t>(n));
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

bool LoadVazApi(const std::string& explicitPath, VazApi& api, std::string& error) {
    std::vector<std::string> candidates;
    if (!explicitPath.empty()) {
        candidates.push_back(explicitPath);
    } else if (const char* env = std::getenv("VAZ_LIBRARY"); env != nullptr && *env != '\0') {
        candidates.push_back(env);
    } else {
        if (const std::string dir = ProgramDir(); !dir.empty())
            candidates.push_back(dir + "/../lib/libvaz.so");
        candidates.push_back(vazload::kLibraryFile);
    }
    void* library = vazload::OpenLibrary(candidates, error);
    if (library == nullptr) return false;
    if (const char* missing = vazload::Bind(library, api)) {
        error = std::string("the library lacks the export ") + missing;
        return false;
    }
    return true;
}

DeviceError FetchDeviceError(const VazApi& api) {
    char code[VAZ_ERROR_CODE_SIZE] = {};
    char text[VAZ_ERROR_TEXT_SIZE] = {};
    api.VazGetError(code);
    api.VazGetErrorStr(text);
    return {code, text};
}

}  // namespace vazctl
