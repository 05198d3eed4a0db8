#include "card_log.h"

#include <algorithm>
#include <vector>

#include "pendra_app.h"
#include "string_table.h"

namespace cardlog {

int syncCountFromReply(const char* reply) {
    long n = 0;
    for (const char* c = reply; c && *c >= '0' && *c <= '9' && n < 100000; ++c) n = 10 * n + (*c - '0');
    return static_cast<int>(n);
}

CardText fetchCardText(const DeviceFunctionTable& device, CardData& data) {
    std::vector<char> buffer(kAnswerBufferSize, 0);
    DeviceLock::Hold hold(device.lock);
    if (device.send(kSyncCount) <= 0) return CardText::NoSyncCount;
    device.get(buffer.data());
    buffer.back() = 0;
    data.syncCount = syncCountFromReply(buffer.data());
    if (data.syncCount == 0) return CardText::NoSyncCount;
    if (device.send(kAnswerBlock) <= 0) return CardText::BlockRefused;
    std::fill(buffer.begin(), buffer.end(), 0);
    if (device.get(buffer.data()) < 1) return CardText::NoData;
    buffer.back() = 0;
    data.answer = QByteArray(buffer.data());
    return CardText::Fetched;
}

QString runEntry(int card, int syncCount, const QByteArray& answer) {
    const QString answerText = CPendraApp::ToWide(answer.constData());
    return QString::asprintf(strings::text(129).toUtf8().constData(), card, syncCount,
                             answerText.toUtf8().constData());
}

QString standardEntry(int syncCount, const QByteArray& answer) {
    const QString answerText = CPendraApp::ToWide(answer.constData());
    return QString::asprintf(strings::text(159).toUtf8().constData(), syncCount,
                             answerText.toUtf8().constData());
}

}  // namespace cardlog
