#include "vazplatform/shipped_data.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace vazplat {
namespace {

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ParentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

std::string ProgramFolder() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return ParentOf(std::string(buf, static_cast<std::size_t>(n)));
}

std::string ShippedDataFolder() {
    const std::string bin = ProgramFolder();
    if (bin.empty()) return {};
    const std::string prefix = ParentOf(bin);
    return (prefix == "/" ? std::string() : prefix) + "/share/kestrin";
}

std::string FindShippedFile(const std::string& file, std::initializer_list<const char*> subfolders) {
    if (file.empty() || file[0] == '/' || file.find('/') != std::string::npos || IsFile(file)) return file;
    const std::string shipped = ShippedDataFolder();
    if (shipped.empty()) return file;
    for (const char* sub : subfolders) {
        const std::string candidate = shipped + '/' + sub + '/' + file;
        if (IsFile(candidate)) return candidate;
    }
    return file;
}

}  // namespace vazplat
