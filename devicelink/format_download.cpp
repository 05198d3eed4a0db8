// Format download (behind VazS "S path/" and "s path/").
// Placeholder: the card-reading part of the library is not built yet, so the
// download always fails and nothing is sent to the reader.
#include "vaz_device.h"

bool CVazDevice::FormatDownload(const std::string& /*path*/) {
    return false;  // not built yet
}
