#include "device_table.h"

#include <dlfcn.h>

#include <cstring>

namespace {

// The entries in resolution order, as untyped slots of the table.
template <typename F>
void** slot(F& entry) {
    return reinterpret_cast<void**>(&entry);
}

std::array<void**, 14> slots(DeviceFunctionTable& t) {
    return {slot(t.VazInit),       slot(t.VazFindDev),  slot(t.VazS),           slot(t.VazG),
            slot(t.VazClose),      slot(t.VazGetError), slot(t.VazGetErrorStr), slot(t.VazSetDevType),
            slot(t.VazSG),         slot(t.VazGetValue), slot(t.VazGetOriOrGray), slot(t.VazGetCurve),
            slot(t.VazUpdateFlash), slot(t.VazSetTest)};
}

}  // namespace

const std::array<const char*, 14>& DeviceFunctionTable::names() {
    static const std::array<const char*, 14> n = {
        "VazInit", "VazFindDev",  "VazS",         "VazG",        "VazClose",          "VazGetError",    "VazGetErrorStr",
        "VazSetDevType", "VazSG", "VazGetValue", "VazGetOriOrGray", "VazGetCurve", "VazUpdateFlash", "VazSetTest"};
    return n;
}

void DeviceFunctionTable::bind(void* library) {
    auto s = slots(*this);
    for (std::size_t i = 0; i < s.size(); ++i) *s[i] = library ? dlsym(library, names()[i]) : nullptr;
}

void* DeviceFunctionTable::entry(const char* name) const {
    auto s = slots(const_cast<DeviceFunctionTable&>(*this));
    for (std::size_t i = 0; i < s.size(); ++i)
        if (std::strcmp(names()[i], name) == 0) return *s[i];
    return nullptr;
}
