// Human-readable form of one recorded transfer, for `vazsim --trace`.
#pragma once

#include <string>

#include "vazsim/virtual_reader.h"

namespace vazsim {

// "serial host>reader  4: 4C 20 31 2F  |L 1/|". A HID report's zero padding
// is summarised as "+N zero bytes" instead of being listed.
std::string formatTraceEntry(const TraceEntry& entry);

}  // namespace vazsim
