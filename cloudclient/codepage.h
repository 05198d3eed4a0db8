// Conversion between the process code page and UTF-8, the only encoding the
// exam service sees.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace skelvin {

// The process code page is the character set of the user's locale
// (LC_ALL, LC_CTYPE, LANG), looked up without touching the host's own
// locale: a library must not call setlocale behind its host's back.
class CodePage {
public:
    // Looks the locale up now; "" names the charset of the user's locale.
    CodePage();
    // For a given charset name, as iconv spells it ("GBK", "UTF-8").
    explicit CodePage(const std::string& charset);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    const std::string& Charset() const { return charset_; }
    bool IsUtf8() const { return utf8_; }

    // Text in the code page to valid UTF-8. Bytes that are not a character
    // of the code page become U+FFFD, so the rest of the text survives and
    // the XML on the wire stays well-formed.
    std::string ToUtf8(std::string_view text) const;
    // UTF-8 to the code page. A character the code page cannot represent,
    // and every malformed UTF-8 byte, becomes the replacement character ('?',
    // or U+FFFD where the code page is UTF-8).
    std::string FromUtf8(std::string_view text) const;

    // The charset that the locale of the environment names, "UTF-8" for the
    // C/POSIX locale (see codepage.cpp).
    static std::string LocaleCharset();

private:
    void Open();

    std::string charset_;
    bool utf8_ = false;
    iconv_t toUtf8_ = reinterpret_cast<iconv_t>(-1);
    iconv_t fromUtf8_ = reinterpret_cast<iconv_t>(-1);
};

// Copies the valid UTF-8 of text and puts U+FFFD in place of every byte that
// does not start a well-formed sequence (overlong forms, surrogates and
// values past U+10FFFF included).
std::string SanitiseUtf8(std::string_view text);

// Length of the well-formed UTF-8 sequence at the start of text, 0 if there
// is none.
size_t Utf8SequenceLength(std::string_view text);

}  // namespace skelvin
