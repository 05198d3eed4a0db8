#include "eva_read_loop.h"

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "text_codec.h"

namespace {

constexpr int kNotConnected = 101;  // "VAZ尚未联机,请先执行联机操作!"
constexpr int kChooseFormat = 110;  // "请先选择格式文件"
constexpr int kKeyRecorded = 111;   // "答案录入成功"
constexpr int kNoAnswerKey = 113;   // "没有该答题卡答案"
constexpr int kNoData = 114;        // "获取数据失败"
constexpr int kWaitForCard = 254;

std::int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

EvaReadLoop::EvaReadLoop(ReaderPort& reader, EvaRunHost& host, EvaConfig& config)
    : reader_(reader), host_(host), config_(config), clock_(steadyMs) {}

ProjectRecord EvaReadLoop::run(ProjectRecord record, const EvaRunSettings& settings,
                               std::atomic<bool>& running) {
    const bool recording = settings.mode == evaluation::Mode::RecordAnswer;
    // A key recorded without a chosen card type would have no section to go to.
    if (recording && settings.cardType.isEmpty()) {
        host_.showMessage(kChooseFormat);
        running = false;
        return record;
    }
    const int target = recording ? 1 : -1;
    const std::int64_t start = clock_();
    std::vector<char> reply(ReaderPort::kReplyBufferSize);
    int n = 0;
    while (running && n != target) {
        const Step step = readOneCard(record, settings, reply);
        if (step == Step::Wait) {
            pause(running);
            continue;
        }
        if (step == Step::End) {
            host_.showRecord(record);
            break;
        }
        record.speed = evaluation::speed(n, (clock_() - start) / 1000);
        host_.showRecord(record);
        ++n;
    }
    running = false;
    return record;
}

EvaReadLoop::Step EvaReadLoop::readOneCard(ProjectRecord& record, const EvaRunSettings& settings,
                                           std::vector<char>& reply) {
    const int fed = reader_.send("R/");
    if (fed == -1) {
        host_.showMessage(kNotConnected);
        return Step::End;
    }
    if (fed <= 0) {
        const int verdict = host_.showDeviceError();
        if (verdict == kWaitForCard) return Step::Wait;
        if (verdict <= 0) ++record.stopCount;
        return Step::End;
    }
    ++record.totalCards;
    ++record.cardsThisRun;

    // The stored read answers the card's sync mark count, which is not used;
    // its reply must still be fetched before the next read command. No other
    // caller may step in between a read command and its reply.
    ReaderPort::Hold hold(reader_);
    if (reader_.send("r A/") != 0) reader_.get(reply.data());
    if (reader_.send("r A 0001 2048/") <= 0) {
        ++record.stopCount;
        host_.showDeviceError();
        return Step::End;
    }
    reply.front() = 0;
    reply.back() = 0;
    if (reader_.get(reply.data()) <= 0) {
        host_.showMessage(kNoData);
        return Step::End;
    }
    const size_t length = strnlen(reply.data(), reply.size() - 1);
    lastAnswer_ = textcodec::fromCp936(QByteArrayView(reply.data(), qsizetype(length)));

    const evaluation::Verdict verdict = evaluation::evaluate(
        {settings.mode, settings.stopOnError}, config_.answerKey(settings.cardType), lastAnswer_);
    using Kind = evaluation::Verdict::Kind;
    switch (verdict.kind) {
        case Kind::Compared:
            evaluation::countErrors(record, verdict);
            break;
        case Kind::NoAnswerKey:
            host_.showMessage(kNoAnswerKey);
            break;
        case Kind::KeyTooLong:
        case Kind::Unusable:
            host_.showText(verdict.message);
            break;
        case Kind::RecordKey: {
            QString problem;
            if (!config_.recordAnswerKey(settings.cardType, lastAnswer_, &problem)) {
                host_.showText(problem);
                return Step::End;
            }
            host_.showMessage(kKeyRecorded);
            break;
        }
    }
    return verdict.stop ? Step::End : Step::Next;
}

void EvaReadLoop::pause(const std::atomic<bool>& running) const {
    constexpr int kSlice = 10;
    for (int waited = 0; waited < noCardPauseMs_ && running; waited += kSlice)
        std::this_thread::sleep_for(std::chrono::milliseconds(kSlice));
}
