#include "answer_evaluation.h"

namespace evaluation {
namespace {

Verdict stopWith(Verdict::Kind kind, const QString& message = {}) {
    Verdict v;
    v.kind = kind;
    v.stop = true;
    v.message = message;
    return v;
}

bool storableAsKey(QStringView text) {
    for (QChar c : text)
        if (c == u'\r' || c == u'\n' || c == QChar(0)) return false;
    return true;
}

}  // namespace

Verdict evaluate(const Options& options, QStringView key, QStringView card) {
    if (options.mode == Mode::RecordAnswer) {
        if (card.isEmpty())
            return stopWith(Verdict::Kind::Unusable, QStringLiteral("读到的答案为空，没有录入。"));
        if (!storableAsKey(card))
            return stopWith(Verdict::Kind::Unusable,
                            QStringLiteral("读到的答案含有换行或空字符，无法存为答案，没有录入。"));
        Verdict v;
        v.kind = Verdict::Kind::RecordKey;
        return v;
    }
    if (key.isEmpty()) return stopWith(Verdict::Kind::NoAnswerKey);
    if (key.size() > kMaxCardText)
        return stopWith(Verdict::Kind::KeyTooLong,
                        QStringLiteral("答案有 %1 个字符，超过一张卡最多能读出的 %2 个字符，无法比较。")
                            .arg(key.size())
                            .arg(kMaxCardText));
    Verdict v;
    for (qsizetype i = 0; i < key.size(); ++i)
        if (i >= card.size() || card[i] != key[i]) v.wrong.push_back(int(i));
    v.stop = options.stopOnError && !v.wrong.empty();
    return v;
}

void countErrors(ProjectRecord& record, const Verdict& verdict) {
    record.errorPositions.clear();
    for (int position : verdict.wrong) {
        ++record.totalErrors;
        record.errorPositions += QString::number(position) + QStringLiteral("; \r\n");
        ++record.errorCounts[position];
    }
}

int speed(int cardsBefore, std::int64_t elapsedSeconds) {
    return elapsedSeconds > 0 ? int(cardsBefore / elapsedSeconds) : 0;
}

void clearErrors(ProjectRecord& record) {
    record.totalErrors = 0;
    record.errorPositions.clear();
    record.errorCounts.clear();
}

}  // namespace evaluation
