// Conversion between the workstation's wide text and the 8-bit code page 936
// texts that cross the device library's boundary.
#pragma once

#include <QByteArray>
#include <QString>

namespace cp936 {

QString toWide(const char* text);        // null gives an empty string
QString toWide(const QByteArray& text);  // stops at the first zero byte
QByteArray toNarrow(const QString& text);

}  // namespace cp936
