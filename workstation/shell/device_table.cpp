#include "device_table.h"

#include <cstring>
#include <iterator>

namespace {
#define KESTRIN_NAME(name, ...) #name,
constexpr const char* kNames[] = {KESTRIN_DEVICE_FUNCTIONS(KESTRIN_NAME, KESTRIN_NAME)};
#undef KESTRIN_NAME
static_assert(std::size(kNames) == DeviceFunctionTable::kEntryCount);
}  // namespace

const std::array<const char*, DeviceFunctionTable::kEntryCount>& DeviceFunctionTable::names() {
    static const std::array<const char*, kEntryCount> n = std::to_array(kNames);
    return n;
}

void DeviceFunctionTable::bind(void* library) {
#define KESTRIN_BIND(name, ...) vazload::Resolve(library, #name, name);
    KESTRIN_DEVICE_FUNCTIONS(KESTRIN_BIND, KESTRIN_BIND)
#undef KESTRIN_BIND
    vazload::Resolve(library, "VazSetStop", VazSetStop);
}

void* DeviceFunctionTable::entry(const char* name) const {
#define KESTRIN_ENTRY(n, ...) \
    if (std::strcmp(name, #n) == 0) return reinterpret_cast<void*>(n);
    KESTRIN_DEVICE_FUNCTIONS(KESTRIN_ENTRY, KESTRIN_ENTRY)
#undef KESTRIN_ENTRY
    return nullptr;
}
