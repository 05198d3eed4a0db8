#include "vazplatform/codepage.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vazplat {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";  // U+FFFD
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool NamesUtf8(std::string_view name) {
    const std::string n(name);
    return strcasecmp(n.c_str(), "UTF-8") == 0 || strcasecmp(n.c_str(), "UTF8") == 0;
}

bool NamesAscii(std::string_view name) {
    return name == "ANSI_X3.4-1968" || name == "ASCII" || name == "US-ASCII";
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The locale name that decides LC_CTYPE, looked up in the order the C
// library uses.
std::string CtypeLocaleName() {
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(var);
        if (value != nullptr && *value != '\0') return value;
    }
    return "C";
}

bool IconvKnows(const std::string& charset) {
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == kNoConverter) return false;
    iconv_close(cd);
    return true;
}

void AppendUtf8(std::string& out, unsigned char byte) {
    if (byte < 0x80) {
        out += static_cast<char>(byte);
    } else {
        out += static_cast<char>(0xC0 | (byte >> 6));
        out += static_cast<char>(0x80 | (byte & 0x3F));
    }
}

// Appends what stands for the bad byte at the start of `rest` towards UTF-8.
void ReplaceByte(std::string& out, std::string_view rest, BadInput bad) {
    if (bad == BadInput::Latin1)
        AppendUtf8(out, static_cast<unsigned char>(rest.front()));
    else
        out += kReplacementUtf8;
}

// Runs the whole text through cd. Where cd rejects the input, `onBad`
// appends a replacement for the start of the rest and returns how many input
// bytes it stands for (at least 1); the conversion goes on after them.
template <typename OnBad>
std::string Convert(iconv_t cd, std::string_view text, OnBad onBad) {
    std::string out;
    out.resize(text.size() * 2 + 16);
    size_t used = 0;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // initial shift state
    char* in = const_cast<char*>(text.data());      // iconv never writes to its input
    size_t inLeft = text.size();
    bool flushing = false;
    for (;;) {
        char* outPtr = out.data() + used;
        size_t outLeft = out.size() - used;
        size_t rc = flushing ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft)
                             : iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft;
        if (rc != static_cast<size_t>(-1)) {
            if (flushing) break;
            flushing = true;
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else {  // EILSEQ, or EINVAL for a sequence cut off at the end
            out.resize(used);
            const size_t n = onBad(std::string_view(in, inLeft), out);
            in += n;
            inLeft -= n;
            used = out.size();
            out.resize(std::max(out.size(), used + 16));
        }
    }
    out.resize(used);
    return out;
}

std::string Sanitise(std::string_view text, BadInput bad) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        size_t n = Utf8SequenceLength(text);
        if (n == 0) {
            ReplaceByte(out, text, bad);
            n = 1;
        } else {
            out.append(text.data(), n);
        }
        text.remove_prefix(n);
    }
    return out;
}

}  // namespace

size_t Utf8SequenceLength(std::string_view s) {
    if (s.empty()) return 0;
    auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    auto cont = [&](size_t i, unsigned lo = 0x80, unsigned hi = 0xBF) {
        return i < s.size() && b(i) >= lo && b(i) <= hi;
    };
    unsigned c = b(0);
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
    if (c == 0xE0) return cont(1, 0xA0) && cont(2) ? 3 : 0;
    if (c == 0xED) return cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;  // no surrogates
    if (c >= 0xE1 && c <= 0xEF) return cont(1) && cont(2) ? 3 : 0;
    if (c == 0xF0) return cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
    if (c >= 0xF1 && c <= 0xF3) return cont(1) && cont(2) && cont(3) ? 4 : 0;
    if (c == 0xF4) return cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
    return 0;
}

std::string SanitiseUtf8(std::string_view text) {
    return Sanitise(text, BadInput::Replace);
}

std::string CodePage::LocaleCharset() {
    std::string charset;
    if (locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr))) {
        charset = nl_langinfo_l(CODESET, loc);
        freelocale(loc);
    } else {
        // The locale is not installed. The host's texts are still most likely
        // in the charset its name gives ("zh_CN.GBK"), when there is one.
        std::string name = CtypeLocaleName();
        size_t dot = name.find('.');
        if (dot != std::string::npos) {
            charset = name.substr(dot + 1, name.find('@', dot) - dot - 1);
            if (!IconvKnows(charset)) charset.clear();
        }
    }
    if (charset.empty() || NamesAscii(charset) || NamesUtf8(charset)) return "UTF-8";
    return charset;
}

CodePage::CodePage() : charset_(LocaleCharset()), toUtf8_(kNoConverter), fromUtf8_(kNoConverter) {
    Open();
}

CodePage::CodePage(const std::string& charset)
    : charset_(charset), toUtf8_(kNoConverter), fromUtf8_(kNoConverter) {
    Open();
}

void CodePage::Open() {
    utf8_ = NamesUtf8(charset_) || NamesAscii(charset_);
    if (!utf8_) {
        toUtf8_ = iconv_open("UTF-8", charset_.c_str());
        fromUtf8_ = iconv_open(charset_.c_str(), "UTF-8");
    }
    if (!utf8_ && (toUtf8_ == kNoConverter || fromUtf8_ == kNoConverter)) {
        // A charset the converter does not know: serve the host as UTF-8
        // rather than send nothing at all.
        if (toUtf8_ != kNoConverter) iconv_close(static_cast<iconv_t>(toUtf8_));
        if (fromUtf8_ != kNoConverter) iconv_close(static_cast<iconv_t>(fromUtf8_));
        toUtf8_ = fromUtf8_ = kNoConverter;
        utf8_ = true;
    }
    if (utf8_) charset_ = "UTF-8";
}

CodePage::~CodePage() {
    if (toUtf8_ != kNoConverter) iconv_close(static_cast<iconv_t>(toUtf8_));
    if (fromUtf8_ != kNoConverter) iconv_close(static_cast<iconv_t>(fromUtf8_));
}

std::string CodePage::ToUtf8(std::string_view text, BadInput bad) const {
    if (utf8_) return Sanitise(text, bad);
    return Convert(static_cast<iconv_t>(toUtf8_), text, [bad](std::string_view rest, std::string& out) {
        ReplaceByte(out, rest, bad);
        return size_t{1};
    });
}

std::string CodePage::FromUtf8(std::string_view text) const {
    if (utf8_) return SanitiseUtf8(text);
    return Convert(static_cast<iconv_t>(fromUtf8_), text, [](std::string_view rest, std::string& out) {
        out += '?';
        const size_t n = Utf8SequenceLength(rest);  // a character the code page lacks
        return n == 0 ? size_t{1} : n;              // or a malformed byte
    });
}

std::string Cp936ToUtf8(std::string_view text, BadInput bad) {
    if (IsAscii(text)) return std::string(text);
    return CodePage(kCp936).ToUtf8(text, bad);
}

std::string Utf8ToCp936(std::string_view text) {
    if (IsAscii(text)) return std::string(text);
    return CodePage(kCp936).FromUtf8(text);
}

std::string Cp936ToLocale(const std::string& text) {
    if (IsAscii(text)) return text;
    const char* target = nl_langinfo(CODESET);
    if (!target || !*target || NamesAscii(target)) target = "UTF-8";
    iconv_t cd = iconv_open(target, kCp936);
    if (cd == kNoConverter) return text;
    std::string out = Convert(cd, text, [](std::string_view, std::string& o) {
        o += '?';
        return size_t{1};
    });
    iconv_close(cd);
    return out;
}

std::string SystemErrorText(int error) {
    char buf[256];
    const char* text = strerror_r(error, buf, sizeof buf);  // GNU variant
    return text ? text : "";
}

}  // namespace vazplat
