#include "library.h"

#include <cstdlib>
#include <vector>

#include "vazplatform/shipped_data.h"

namespace vazctl {

bool LoadVazApi(const std::string& explicitPath, VazApi& api, std::string& error) {
    std::vector<std::string> candidates;
    if (!explicitPath.empty()) {
        candidates.push_back(explicitPath);
    } else if (const char* env = std::getenv("VAZ_LIBRARY"); env != nullptr && *env != '\0') {
        candidates.push_back(env);
    } else {
        if (const std::string dir = vazplat::ProgramFolder(); !dir.empty())
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
