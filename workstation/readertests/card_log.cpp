#include "card_log.h"

#include "pendra_app.h"
#include "string_table.h"

namespace cardlog {

int syncCountFromReply(const char* reply) {
    long n = 0;
    for (const char* c = reply; c && *c >= '0' && *c <= '9' && n < 100000; ++c) n = 10 * n + (*c - '0');
    return static_cast<int>(n);
}

QString runEntry(int card, int syncCount, const QByteArray& answer) {
    const QString answerText = CPendraApp::ToWide(answer.constData());
    return QString::asprintf(strings::text(129).toUtf8().constData(), card, syncCount, answerText.toUtf8().constData());
}

QString standardEntry(int syncCount, const QByteArray& answer) {
    const QString answerText = CPendraApp::ToWide(answer.constData());
    return QString::asprintf(strings::text(159).toUtf8().constData(), syncCount, answerText.toUtf8().constData());
}

}  // namespace cardlog
