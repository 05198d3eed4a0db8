// Texts of the mail: header fields that stay on one line and carry code page
// 936 text as RFC 2047 encoded words, and the conversions into code page 936.
#pragma once

#include <cstddef>
#include <string>

namespace vazmail {

// Bytes of the longest prefix of `text` (n bytes, code page 936) that holds
// whole characters and at most maxBytes bytes.
size_t Cp936Prefix(const char* text, size_t n, size_t maxBytes);
// The display name of From or To: `"name"` (" and backslash escaped) when it is
// plain ASCII, else encoded words followed by a blank. Line ends and other
// control characters become blanks, so a text can never add a header line.
std::string HeaderDisplayName(const char* name);
// An unstructured field (Subject): the text when it is plain ASCII, else
// encoded words folded onto continuation lines.
std::string HeaderText(const char* text);
// A quoted parameter value (name=, filename=): `"value"` (" and backslash
// escaped), or one encoded word in the quotes for code page 936 text.
std::string HeaderParameter(const char* value);

// Code page 936 form of a UTF-8 text; characters it lacks become "?".
std::string Cp936FromUtf8(const std::string& text);
// Code page 936 form of a text in the locale's character set (UTF-8 when the
// locale is plain ASCII).
std::string Cp936FromLocale(const std::string& text);

}  // namespace vazmail
