#include "mail_text.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "smtp_codec.h"

namespace vazmail {

namespace {
// Encoded words carry code page 936 under its registered name.
constexpr char kWordStart[] = "=?GBK?B?";
// 45 bytes give 60 base64 characters: a word of 70, within the limit of 75.
constexpr size_t kWordBytes = 45;

bool PlainAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

std::string OneLine(const char* text) {
    std::string s = text ? text : "";
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return s;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Encoded words of whole characters, each of at most wordBytes source bytes.
std::vector<std::string> EncodedWords(const std::string& text, size_t wordBytes) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < text.size()) {
        size_t n = Cp936Prefix(text.data() + at, text.size() - at, wordBytes);
        words.push_back(kWordStart + Base64(text.data() + at, n) + "?=");
        at += n;
    }
    return words;
}

std::string Convert(const std::string& text, const char* from) {
    bool ascii = true;
    for (unsigned char c : text) ascii = ascii && c < 0x80;
    if (ascii) return text;
    iconv_t cd = iconv_open("CP936//TRANSLIT", from);
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
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out += '?';  // invalid or incomplete sequence: skip one byte
            ++inp;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}
}  // namespace

size_t Cp936Prefix(const char* text, size_t n, size_t maxBytes) {
    size_t at = 0;
    while (at < n) {
        unsigned char c = static_cast<unsigned char>(text[at]);
        size_t width = c >= 0x81 && c <= 0xFE && at + 1 < n ? 2 : 1;
        if (at + width > maxBytes) break;
        at += width;
    }
    return at;
}

std::string HeaderDisplayName(const char* name) {
    std::string s = OneLine(name);
    if (PlainAscii(s)) return Quoted(s);
    std::string out;
    for (const std::string& w : EncodedWords(s, kWordBytes)) out += (out.empty() ? "" : "\r\n ") + w;
    return out + " ";
}

std::string HeaderText(const char* text) {
    std::string s = OneLine(text);
    if (PlainAscii(s)) return s;
    std::string out;
    for (const std::string& w : EncodedWords(s, kWordBytes)) out += (out.empty() ? "" : "\r\n ") + w;
    return out;
}

std::string HeaderParameter(const char* value) {
    std::string s = OneLine(value);
    if (PlainAscii(s)) return Quoted(s);
    return "\"" + EncodedWords(s, s.size()).front() + "\"";
}

std::string Cp936FromUtf8(const std::string& text) {
    return Convert(text, "UTF-8");
}

std::string Cp936FromLocale(const std::string& text) {
    const char* codeset = nl_langinfo(CODESET);
    if (!codeset || !*codeset || strcmp(codeset, "ANSI_X3.4-1968") == 0 || strcmp(codeset, "ASCII") == 0)
        codeset = "UTF-8";
    return Convert(text, codeset);
}

}  // namespace vazmail
