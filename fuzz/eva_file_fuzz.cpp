// eva.dat: any bytes decode into the records read whole before any damage;
// a file read whole encodes back to the same bytes' records.
#include <cstdint>

#include "eva_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const evafile::Decoded d = evafile::decode(bytes);
    // A record takes at least its 6 string counts, 5 numbers, the positions
    // text's count and the position count: 13 int32.
    FUZZ_CHECK(d.records.size() * 13 * 4 <= size);
    const evafile::Decoded again = evafile::decode(evafile::encode(d.records));
    FUZZ_CHECK(again.damage.isEmpty());
    FUZZ_CHECK(again.records.size() == d.records.size());
    FUZZ_CHECK(evafile::encode(again.records) == evafile::encode(d.records));
    return 0;
}
