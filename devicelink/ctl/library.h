// The library vazctl drives: which file it loads, and the error it holds.
#pragma once

#include <string>

#include "vaz_loader.h"

namespace vazctl {

using VazApi = vazload::VazApi;

// Loads the library: `explicitPath` if given, else $VAZ_LIBRARY, else
// ../lib/libvaz.so beside this program, else libvaz.so on the library path;
// binds every export. On failure returns false with the reason in `error`.
bool LoadVazApi(const std::string& explicitPath, VazApi& api, std::string& error);

// The library's pending error as code and text (reading them clears the
// pending mark).
struct DeviceError {
    std::string code;
    std::string text;
};
DeviceError FetchDeviceError(const VazApi& api);

}  // namespace vazctl
