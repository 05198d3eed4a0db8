// Code page 936 texts for the terminal.
#pragma once

#include <string>

namespace vazplat {
// Converts a code page 936 text to the current locale's character set (UTF-8
// when the locale is plain ASCII). Unconvertible bytes are replaced by "?".
std::string Cp936ToLocale(const std::string& text);
// The system's message text of an errno value.
std::string SystemErrorText(int error);
}  // namespace vazplat
