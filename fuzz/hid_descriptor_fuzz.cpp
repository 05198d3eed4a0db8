// HID report descriptors as a hidraw node hands them out: any bytes give
// report lengths that fit a report of the largest descriptor there can be.
#include <linux/hidraw.h>

#include <cstdint>

#include "fuzz_check.h"
#include "hid_backend.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > HID_MAX_DESCRIPTOR_SIZE) return 0;
    const vazplat::DescriptorSummary s = vazplat::ParseReportDescriptor(data, static_cast<int>(size));
    FUZZ_CHECK(s.inputBytes >= 0 && s.outputBytes >= 0);
    return 0;
}
