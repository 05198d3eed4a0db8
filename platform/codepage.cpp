#include "vazplatform/codepage.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>

namespace vazplat {

std::string Cp936ToLocale(const std::string& text) {
    bool ascii = true;
    for (unsigned char c : text) ascii = ascii && c < 0x80;
    if (ascii) return text;
    const char* target = nl_langinfo(CODESET);
    if (!target || !*target || strcmp(target, "ANSI_X3.4-1968") == 0 || strcmp(target, "ASCII") == 0)
        target = "UTF-8";
    iconv_t cd = iconv_open(target, "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out;
    std::string in = text;
    char* inp = in.data();
    size_t inLeft = in.size();
    char buf[256];
    while (inLeft > 0) {
        char* outp = buf;
        size_t outLeft = sizeof buf;
        size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
        out.append(buf, sizeof buf - outLeft);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            out += '?';  // invalid or incomplete sequence: skip one byte
            ++inp;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

std::string SystemErrorText(int error) {
    char buf[256];
    const char* text = strerror_r(error, buf, sizeof buf);  // GNU variant
    return text ? text : "";
}

}  // namespace vazplat
