// Character set conversions of the whole kit, over iconv, and the system's
// texts of errno values.
//
// Code page 936 is what crosses the device library's boundary and what the
// reader speaks; libvaz, vazctl and kestrin convert it with the functions
// below. The cloud client converts between the host's locale charset and the
// UTF-8 of the exam service with CodePage.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vazplat {

// Code page 936 as iconv names it.
inline constexpr char kCp936[] = "CP936";

// What stands for input that does not convert.
enum class BadInput {
    Replace,  // U+FFFD (or '?' in a code page), one per bad byte
    Latin1,   // towards UTF-8 only: the character of the byte's own value
              // (U+0080..U+00FF), so that nothing is lost silently
};

// Conversion between one charset and UTF-8.
class CodePage {
public:
    // The charset of the user's locale (LC_ALL, LC_CTYPE, LANG), looked up
    // without touching the process's own locale: a library must not call
    // setlocale behind its host's back.
    CodePage();
    // For a given charset name, as iconv spells it ("GBK", "UTF-8", kCp936).
    // A name iconv does not know is served as UTF-8.
    explicit CodePage(const std::string& charset);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    const std::string& Charset() const { return charset_; }
    bool IsUtf8() const { return utf8_; }

    // Text in the code page to valid UTF-8; bytes that are not a character
    // of the code page are treated as `bad` says, so the rest survives.
    std::string ToUtf8(std::string_view text, BadInput bad = BadInput::Replace) const;
    // UTF-8 to the code page. A character the code page cannot represent,
    // and every malformed UTF-8 byte, becomes '?' (U+FFFD where the code
    // page is UTF-8).
    std::string FromUtf8(std::string_view text) const;

    // The charset that the locale of the environment names; "UTF-8" for the
    // C/POSIX locale, whose bytes above 127 mean nothing (ASCII is a subset
    // of UTF-8), and for a charset iconv does not know.
    static std::string LocaleCharset();

private:
    void Open();

    std::string charset_;
    bool utf8_ = false;
    void* toUtf8_;    // iconv_t
    void* fromUtf8_;  // iconv_t
};

// Code page 936 text to UTF-8 and back (see CodePage).
std::string Cp936ToUtf8(std::string_view text, BadInput bad = BadInput::Replace);
std::string Utf8ToCp936(std::string_view text);

// Code page 936 text to the charset of the process's current locale
// (setlocale), UTF-8 when that is plain ASCII: for lines on standard error
// and for file names. Each byte that does not convert becomes '?'.
std::string Cp936ToLocale(const std::string& text);

// Copies the valid UTF-8 of text and puts U+FFFD in place of every byte that
// does not start a well-formed sequence (overlong forms, surrogates and
// values past U+10FFFF included).
std::string SanitiseUtf8(std::string_view text);

// Length of the well-formed UTF-8 sequence at the start of text, 0 if there
// is none.
std::size_t Utf8SequenceLength(std::string_view text);

// The system's message text of an errno value ("" when it has none), in the
// process locale's charset.
std::string SystemErrorText(int error);

}  // namespace vazplat
