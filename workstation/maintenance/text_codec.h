// Encodings of the text files the workstation rewrites (INI files): UTF-8,
// and code page 936 for files made on Windows. A file is written back in the
// encoding it was read in, so a Windows tool still reads it.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace textcodec {

enum class Encoding {
    Utf8,        // also plain ASCII and new files
    Utf8Bom,     // UTF-8 behind EF BB BF
    Utf16LeBom,  // a Windows "Unicode" INI file, behind FF FE
    Cp936,       // bytes that are not UTF-8 and decode as code page 936
};

struct Decoded {
    QString text;
    Encoding encoding = Encoding::Utf8;
    // False when some bytes decoded to replacement characters: writing the
    // text back would change those bytes.
    bool exact = true;
};

Decoded decode(QByteArrayView bytes);
// Null when a character of `text` has no code in `encoding`.
std::optional<QByteArray> encode(const QString& text, Encoding encoding);

// The reader's 8-bit texts (code page 936); undecodable bytes become U+FFFD.
QString fromCp936(QByteArrayView bytes);

}  // namespace textcodec
