// The exports of libvaz.so that vazctl uses, bound at run time with dlopen
// and dlsym, the way every host of the library binds it.
#pragma once

#include <string>

#include "vaz.h"

namespace vazctl {

struct VazApi {
    int (*Init)(int) = nullptr;
    int (*S)(const char*) = nullptr;
    int (*G)(char*) = nullptr;
    int (*SG)(const char*, char*) = nullptr;
    int (*GetError)(char*) = nullptr;
    int (*GetErrorStr)(char*) = nullptr;
    int (*GetValue)(char, int*) = nullptr;
    int (*GetOriOrGray)(char, int*) = nullptr;
    int (*GetCurve)(char, int*) = nullptr;
    int (*SetTest)(int, int) = nullptr;
    VAZBOOL (*GetDevInfo)(int, char*) = nullptr;
    VAZBOOL (*SetStop)() = nullptr;
    int (*SetReadMode)(int) = nullptr;

    void* handle = nullptr;
};

// Loads the library: `explicitPath` if given, else $VAZ_LIBRARY, else
// ../lib/libvaz.so beside this program, else libvaz.so on the library path.
// On failure returns false with the reason in `error`.
bool LoadVazApi(const std::string& explicitPath, VazApi& api, std::string& error);

// The library's pending error as code and text (reading them clears the
// pending mark).
struct DeviceError {
    std::string code;
    std::string text;
};
DeviceError FetchDeviceError(const VazApi& api);

}  // namespace vazctl
