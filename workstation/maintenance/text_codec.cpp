#include "text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace textcodec {
namespace {

constexpr char kCp936[] = "GBK";
const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);
const QByteArray kUtf16LeBom("\xFF\xFE", 2);

// The byte order mark has been dealt with by the caller; a second one belongs
// to the text.
constexpr auto kKeepBom = QStringConverter::Flag::ConvertInitialBom;

QString decodeWith(QStringDecoder&& decoder, QByteArrayView bytes, bool& error) {
    QString text(decoder.decode(bytes));
    error = decoder.hasError();
    return text;
}

std::optional<QByteArray> encodeWith(QStringEncoder&& encoder, const QString& text) {
    QByteArray bytes(encoder.encode(text));
    if (encoder.hasError()) return std::nullopt;
    return bytes;
}

QByteArray cp936Bytes(const QString& text) {
    return QByteArray(QStringEncoder(kCp936, kKeepBom).encode(text));
}

}  // namespace

Decoded decode(QByteArrayView bytes) {
    Decoded out;
    bool error = false;
    if (bytes.startsWith(kUtf8Bom)) {
        out.encoding = Encoding::Utf8Bom;
        out.text = decodeWith(QStringDecoder(QStringConverter::Utf8, kKeepBom), bytes.sliced(3), error);
        out.exact = !error;
        return out;
    }
    if (bytes.startsWith(kUtf16LeBom)) {
        out.encoding = Encoding::Utf16LeBom;
        out.text = decodeWith(QStringDecoder(QStringConverter::Utf16LE, kKeepBom), bytes.sliced(2), error);
        out.exact = !error;
        return out;
    }
    out.text = decodeWith(QStringDecoder(QStringConverter::Utf8, kKeepBom), bytes, error);
    if (!error) return out;
    // Not UTF-8: a file made on Windows. Whether every byte survives a round
    // trip decides whether it may be rewritten.
    out.encoding = Encoding::Cp936;
    out.text = fromCp936(bytes);
    out.exact = cp936Bytes(out.text) == bytes;
    return out;
}

std::optional<QByteArray> encode(const QString& text, Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
            return encodeWith(QStringEncoder(QStringConverter::Utf8, kKeepBom), text);
        case Encoding::Utf8Bom: {
            std::optional<QByteArray> body =
                encodeWith(QStringEncoder(QStringConverter::Utf8, kKeepBom), text);
            if (body) body->prepend(kUtf8Bom);
            return body;
        }
        case Encoding::Utf16LeBom: {
            std::optional<QByteArray> body =
                encodeWith(QStringEncoder(QStringConverter::Utf16LE, kKeepBom), text);
            if (body) body->prepend(kUtf16LeBom);
            return body;
        }
        case Encoding::Cp936: {
            // The converter substitutes what it cannot map; only a text that
            // decodes back unchanged was really representable.
            QByteArray bytes = cp936Bytes(text);
            if (fromCp936(bytes) != text) return std::nullopt;
            return bytes;
        }
    }
    return std::nullopt;
}

QString fromCp936(QByteArrayView bytes) {
    return QString(QStringDecoder(kCp936, kKeepBom).decode(bytes));
}

}  // namespace textcodec
