// Block read of VazG (with the "G/" supplement) and the stored "r %c/" read.
// Placeholder: the card-reading part of the library is not built yet; both
// deliver nothing and clear their pending flag.
#include "vaz_device.h"

int CVazDevice::BlockRead(char* buffer) {
    blockReadPending = false;  // not built yet
    if (buffer) buffer[0] = 0;
    return 0;
}

int CVazDevice::StoredRead(char* buffer) {
    storedReadPending = false;  // not built yet
    if (buffer) buffer[0] = 0;
    return 0;
}
