#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <cstring>

namespace cp936 {

// Decoders keep state between calls, so each conversion gets its own.
QString toWide(const char* text) {
    if (!text) return {};
    QStringDecoder decoder("GBK");
    return decoder.decode(QByteArrayView(text, qsizetype(std::strlen(text))));
}

QString toWide(const QByteArray& text) { return toWide(text.constData()); }

QByteArray toNarrow(const QString& text) {
    QStringEncoder encoder("GBK");
    QByteArray out = encoder.encode(text);
    return out;
}

}  // namespace cp936
