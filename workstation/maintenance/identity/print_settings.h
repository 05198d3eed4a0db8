// The print head's settings as the reader keeps them: the reply to "X 2/"
// (four fields separated by single blanks) and the command "X 0 .../" that
// sets them.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

struct PrintSettings {
    QString serialPrefix;  // serial-number description characters
    QString serialStart;   // serial start characters
    QString scorePrefix;   // score description characters
    bool printScore = false;
};

// Splits the reply field by field at the first blank; a field without its
// blank is empty and the rest stays. The score is printed unless the rest is "0".
PrintSettings parsePrintSettings(const QString& reply);

// The fields' bytes (code page 936) the command may carry in all.
constexpr int kPrintSettingsFieldBytes = 90;
// "X 0 " + the three fields, each followed by a blank, "3" or "0", "/";
// nothing when the fields take more than kPrintSettingsFieldBytes.
std::optional<QByteArray> printSettingsCommand(const PrintSettings& settings);
