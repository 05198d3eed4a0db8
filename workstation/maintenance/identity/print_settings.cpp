#include "print_settings.h"

#include "pendra_app.h"

namespace {

// The text up to the first blank, which is removed with it; empty (and the
// text untouched) when there is no blank.
QString takeField(QString& rest) {
    const qsizetype blank = rest.indexOf(' ');
    if (blank < 0) return QString();
    const QString field = rest.left(blank);
    rest.remove(0, blank + 1);
    return field;
}

}  // namespace

PrintSettings parsePrintSettings(const QString& reply) {
    PrintSettings s;
    QString rest = reply;
    s.serialPrefix = takeField(rest);
    s.serialStart = takeField(rest);
    s.scorePrefix = takeField(rest);
    s.printScore = rest != QLatin1String("0");
    return s;
}

std::optional<QByteArray> printSettingsCommand(const PrintSettings& settings) {
    const QByteArray a = CPendraApp::ToNarrow(settings.serialPrefix);
    const QByteArray b = CPendraApp::ToNarrow(settings.serialStart);
    const QByteArray c = CPendraApp::ToNarrow(settings.scorePrefix);
    if (a.size() + b.size() + c.size() > kPrintSettingsFieldBytes) return std::nullopt;
    return "X 0 " + a + ' ' + b + ' ' + c + ' ' + (settings.printScore ? "3" : "0") + '/';
}
