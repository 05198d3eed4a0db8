#include "vaz_api.h"

#include <dlfcn.h>
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

template <typename Fn>
bool Bind(void* handle, const char* name, Fn& fn, std::string& error) {
    fn = reinterpret_cast<Fn>(dlsym(handle, name));
    if (fn == nullptr) error = std::string("the library lacks the export ") + name;
    return fn != nullptr;
}

}  // namespace

bool LoadVazApi(const std::string& explicitPath, VazApi& api, std::string& error) {
    std::vector<std::string> candidates;
    if (!explicitPath.empty()) {
        candidates.push_back(explicitPath);
    } else if (const char* env = std::getenv("VAZ_LIBRARY"); env != nullptr && *env != '\0') {
        candidates.push_back(env);
    } else {
        if (const std::string dir = ProgramDir(); !dir.empty()) candidates.push_back(dir + "/../lib/libvaz.so");
        candidates.push_back("libvaz.so");
    }
    for (const auto& path : candidates) {
        api.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (api.handle != nullptr) break;
        error = dlerror();
    }
    if (api.handle == nullptr) return false;
    return Bind(api.handle, "VazInit", api.Init, error) && Bind(api.handle, "VazS", api.S, error) &&
           Bind(api.handle, "VazG", api.G, error) && Bind(api.handle, "VazSG", api.SG, error) &&
           Bind(api.handle, "VazGetError", api.GetError, error) &&
           Bind(api.handle, "VazGetErrorStr", api.GetErrorStr, error) &&
           Bind(api.handle, "VazGetValue", api.GetValue, error) &&
           Bind(api.handle, "VazGetOriOrGray", api.GetOriOrGray, error) &&
           Bind(api.handle, "VazGetCurve", api.GetCurve, error) &&
           Bind(api.handle, "VazSetTest", api.SetTest, error) &&
           Bind(api.handle, "VazGetDevInfo", api.GetDevInfo, error) &&
           Bind(api.handle, "VazSetStop", api.SetStop, error) &&
           Bind(api.handle, "VazSetReadMode", api.SetReadMode, error);
}

DeviceError FetchDeviceError(const VazApi& api) {
    char code[8] = {};
    char text[256] = {};
    api.GetError(code);
    api.GetErrorStr(text);
    return {code, text};
}

}  // namespace vazctl
