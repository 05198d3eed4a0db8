// The system's message texts of errno values.
#pragma once

#include <string>

namespace vazplat {
// The system's message text of an errno value ("" when it has none).
std::string SystemErrorText(int error);
}  // namespace vazplat
