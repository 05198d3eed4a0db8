#include "vazplatform/system_error.h"

#include <cstring>

namespace vazplat {

std::string SystemErrorText(int error) {
    char buf[256];
    const char* text = strerror_r(error, buf, sizeof buf);  // GNU variant
    return text ? text : "";
}

}  // namespace vazplat
