// The project dialog's read loop against the virtual reader through
// libvaz.so, on both links: cards compared with a key, runs that end by
// themselves, by a failure or by the user, and recording a key.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <future>
#include <mutex>

#include "eva_read_loop.h"
#include "support/vaz_reader_port.h"
#include "vaz_link_fixture.h"
#include "vazsim/card_deck.h"

namespace {

// Stands for the dialog: records what the loop shows and answers
// ShowDeviceError as the application does. Like a technician, it presses
// "停止" when the hopper runs empty (unless told to keep waiting).
class DialogStandIn : public EvaRunHost {
public:
    int showDeviceError() override {
        char code[4] = {};
        vaztest::Vaz().VazGetError(code);
        std::lock_guard lock(mutex);
        codes.push_back(code);
        if (codes.back() == "23") {
            if (stopWhenEmpty && running) *running = false;
            return 254;
        }
        return codes.back() == "00" || codes.back() == "16" ? 255 : 0;
    }
    void showMessage(int id) override { messages.push_back(id); }
    void showText(const QString& text) override { texts << text; }
    void showRecord(const ProjectRecord& r) override { shown.push_back(r); }
    int noCardPolls() {
        std::lock_guard lock(mutex);
        return int(std::count(codes.begin(), codes.end(), "23"));
    }

    std::mutex mutex;
    std::vector<std::string> codes;
    std::vector<int> messages;
    QStringList texts;
    std::vector<ProjectRecord> shown;
    std::atomic<bool>* running = nullptr;
    bool stopWhenEmpty = true;
};

vazsim::Sheet sheet(const std::string& text) {
    vazsim::Sheet s = vazsim::blankSheet();
    s.answers = {{"", text}};
    return s;
}

class ReadLoop : public vaztest::ConnectedLink {
protected:
    void SetUp() override {
        vaztest::ConnectedLink::SetUp();
        writeConfig("ABCD");
        const std::string format = std::string(KESTRIN_SAMPLE_DIR) + "/formats/answer_sheet_50.fmt";
        ASSERT_EQ(vaztest::Vaz().VazS(("S " + format + "/").c_str()), 255);
        sim_->ClearTrace();
    }
    void writeConfig(const QByteArray& key) {
        QFile f(dir_.filePath("config.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[main]\nmachineType=R6KTM\ncardType=T4;Empty\n[T4]\nname=T4\nanswer=" + key +
                "\n[Empty]\nname=Empty\n");
        f.close();
        FileLocations loc;
        loc.programFolder = dir_.path();
        config_ = EvaConfig::load(loc);
    }
    void feed(std::initializer_list<std::string> texts) {
        for (const std::string& t : texts) reader().addCard(sheet(t));
    }
    ProjectRecord run(EvaRunSettings settings, ProjectRecord start = {}) {
        std::atomic<bool> running{true};
        host_.running = &running;
        ProjectRecord r = loop_.run(start, settings, running);
        EXPECT_FALSE(running);
        return r;
    }
    static EvaRunSettings compare(bool stopOnError = false) {
        return {evaluation::Mode::Compare, stopOnError, QStringLiteral("T4")};
    }
    std::vector<std::string> readCommands() {
        std::vector<std::string> c = commands();
        c.erase(std::remove_if(c.begin(), c.end(), [](const std::string& s) { return s == "R/"; }), c.end());
        return c;
    }

    QTemporaryDir dir_;
    EvaConfig config_;
    VazReaderPort port_;
    DialogStandIn host_;
    EvaReadLoop loop_{port_, host_, config_};
};
INSTANTIATE_TEST_SUITE_P(Links, ReadLoop, vaztest::BothLinks(), vaztest::LinkName);

TEST_P(ReadLoop, OneWrongPositionCountsThere) {
    feed({"ABXD"});
    const ProjectRecord r = run(compare());
    EXPECT_EQ(r.totalCards, 1);
    EXPECT_EQ(r.cardsThisRun, 1);
    EXPECT_EQ(r.totalErrors, 1);
    EXPECT_EQ(r.errorPositions, "2; \r\n");
    EXPECT_EQ(errorPositionsColumn(r.errorCounts), "2-1;");
    EXPECT_EQ(r.stopCount, 0);
    EXPECT_EQ(loop_.lastAnswer(), "ABXD");
    // Per card: feed, the stored read fetched and dropped, the answer text.
    EXPECT_EQ(readCommands(), (std::vector<std::string>{"r A/", "r A 0001 2048/"}));
    EXPECT_EQ(host_.shown.size(), 1u);  // the end of the run by "停止" shows nothing new
}

TEST_P(ReadLoop, ShortAndLongCardsAreComparedOverTheKey) {
    feed({"AB", "ABCDEFGH", "ABCD"});
    const ProjectRecord r = run(compare());
    EXPECT_EQ(r.totalCards, 3);
    EXPECT_EQ(r.totalErrors, 2);
    EXPECT_EQ(errorPositionsColumn(r.errorCounts), "2-1;3-1;");
    ASSERT_EQ(host_.shown.size(), 3u);
    EXPECT_EQ(host_.shown[0].errorPositions, "2; \r\n3; \r\n");
    EXPECT_EQ(host_.shown[1].errorPositions, "");
}

TEST_P(ReadLoop, StopOnErrorEndsAfterTheFirstWrongCard) {
    feed({"ABCD", "XBCD", "ABCD"});
    ProjectRecord r = run(compare(true));
    EXPECT_EQ(r.totalCards, 2);
    EXPECT_EQ(r.totalErrors, 1);
    EXPECT_EQ(reader().hopperSize(), 1u);
    EXPECT_TRUE(host_.codes.empty());  // ended by the error, not by an empty hopper

    r = run(compare(false), r);  // without it the run goes on to the end
    EXPECT_EQ(r.totalCards, 3);
    EXPECT_EQ(r.cardsThisRun, 3);
}

TEST_P(ReadLoop, SpeedIsTheCardsBeforeOverTheWholeSeconds) {
    std::vector<std::int64_t> times{0, 0, 1000, 2500, 3000, 4999, 10000};
    size_t next = 0;
    loop_.setClock([&] { return times[std::min(next++, times.size() - 1)]; });
    feed({"ABCD", "ABCD", "ABCD", "ABCD", "ABCD", "ABCD"});
    run(compare());
    std::vector<int> speeds;
    for (const ProjectRecord& r : host_.shown) speeds.push_back(r.speed);
    // The sixth card ten seconds in: 5 / 10, truncated.
    EXPECT_EQ(speeds, (std::vector<int>{0, 1, 1, 1, 1, 0}));
}

TEST_P(ReadLoop, RecordingReadsOneCardAndStoresItAsTheKey) {
    feed({"DCBA", "ABCD"});
    EvaRunSettings settings{evaluation::Mode::RecordAnswer, false, QStringLiteral("T4")};
    const ProjectRecord r = run(settings);
    EXPECT_EQ(r.totalCards, 1);
    EXPECT_EQ(reader().hopperSize(), 1u);
    EXPECT_EQ(host_.messages, std::vector<int>{111});
    EXPECT_EQ(config_.answerKey("T4"), "DCBA");
    FileLocations loc;
    loc.programFolder = dir_.path();
    EXPECT_EQ(EvaConfig::load(loc).answerKey("T4"), "DCBA");

    // The next compare run uses the recorded key.
    EXPECT_EQ(run(compare()).totalErrors, 4);
}

TEST_P(ReadLoop, RecordingWithoutAChosenCardTypeFeedsNothing) {
    feed({"DCBA"});
    run({evaluation::Mode::RecordAnswer, false, QString()});
    EXPECT_EQ(host_.messages, std::vector<int>{110});
    EXPECT_TRUE(commands().empty());
}

TEST_P(ReadLoop, ClearedErrorsStartFromZeroAndKeepTheCards) {
    feed({"XBCD"});
    ProjectRecord r = run(compare());
    evaluation::clearErrors(r);
    feed({"AXCD"});
    r = run(compare(), r);
    EXPECT_EQ(r.totalCards, 2);
    EXPECT_EQ(r.totalErrors, 1);
    EXPECT_EQ(errorPositionsColumn(r.errorCounts), "1-1;");
}

TEST_P(ReadLoop, CardTypeWithoutKeyStopsAfterCountingTheCard) {
    feed({"ABCD", "ABCD"});
    const ProjectRecord r = run({evaluation::Mode::Compare, false, QStringLiteral("Empty")});
    EXPECT_EQ(host_.messages, std::vector<int>{113});
    EXPECT_EQ(r.totalCards, 1);
    EXPECT_EQ(r.totalErrors, 0);
}

TEST_P(ReadLoop, RefusedFeedCountsAStopAndEndsTheRun) {
    vazsim::Sheet doubled = sheet("ABCD");
    doubled.fault = "03";
    reader().addCard(sheet("ABCD"));
    reader().addCard(doubled);
    feed({"ABCD"});
    const ProjectRecord r = run(compare());
    EXPECT_EQ(host_.codes, std::vector<std::string>{"03"});
    EXPECT_EQ(r.stopCount, 1);
    EXPECT_EQ(r.totalCards, 1);
    EXPECT_EQ(reader().hopperSize(), 1u);
}

TEST_P(ReadLoop, RefusedAnswerReadEndsTheRunWithMessage114) {
    feed({"ABCD", "ABCD"});
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::Code;
    f.code = "14";
    reader().injectFault("r A 0001", f);
    const ProjectRecord r = run(compare());
    EXPECT_EQ(host_.messages, std::vector<int>{114});
    EXPECT_EQ(r.totalCards, 1);
    EXPECT_EQ(r.stopCount, 0);
    EXPECT_EQ(r.totalErrors, 0);
}

TEST_P(ReadLoop, RunStoppedFromAnotherThreadWhileWaitingForCards) {
    host_.stopWhenEmpty = false;
    loop_.setNoCardPause(20);
    feed({"ABCD"});
    std::atomic<bool> running{true};
    auto done = std::async(std::launch::async, [&] { return loop_.run({}, compare(), running); });
    for (int i = 0; i < 500 && host_.noCardPolls() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GE(host_.noCardPolls(), 3);  // the empty hopper is polled, not counted
    running = false;
    port_.interrupt();
    ASSERT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    const ProjectRecord r = done.get();
    EXPECT_EQ(r.totalCards, 1);
    EXPECT_EQ(r.stopCount, 0);
}

TEST_P(ReadLoop, StopEndsANoCardRetryWaitingInTheLibrary) {
    ASSERT_EQ(vaztest::Vaz().VazSetReadMode(1), 0);  // "R/" is now retried until VazSetStop
    host_.stopWhenEmpty = false;
    std::atomic<bool> running{true};
    auto done = std::async(std::launch::async, [&] { return loop_.run({}, compare(), running); });
    ASSERT_TRUE(vaztest::WaitForCommand(reader(), "R/"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    running = false;
    port_.interrupt();
    ASSERT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(done.get().totalCards, 0);
}

}  // namespace
