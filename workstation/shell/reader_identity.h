// What a reader tells about itself through VazSG: its fed-card counter
// ("N/") and its identification ("v/"), as the About box and the
// maintenance dialogs show them.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

struct DeviceFunctionTable;

namespace readerinfo {

// The card counter in a reply of n bytes, least significant byte first,
// kept in 32 bits.
std::uint32_t cardCounter(const char* reply, int n);
// "N/"; nothing when the library delivered nothing.
std::optional<std::uint32_t> readCardCounter(const DeviceFunctionTable& device);
// "v/" without the identification's final character ("/"); nothing when
// VazSG returned 0.
std::optional<QString> readIdentification(const DeviceFunctionTable& device);

}  // namespace readerinfo
