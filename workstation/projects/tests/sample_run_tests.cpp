// The sample data shipped with the kit: the sample config.ini and the
// production deck of the virtual reader give the error counts the deck
// promises, for both card types.
#include <gtest/gtest.h>

#include "eva_read_loop.h"
#include "support/vaz_reader_port.h"
#include "vaz_link_fixture.h"
#include "vazsim/card_deck.h"

namespace {

struct Expected {
    const char* cardType;
    int errors;
    const char* positions;
    int cardsUntilErrorStop;
};

// Presses "停止" once the hopper is empty; every other device error is a failure here.
class Technician : public EvaRunHost {
public:
    int showDeviceError() override {
        char code[4] = {};
        vaztest::Vaz().VazGetError(code);
        EXPECT_STREQ(code, "23");
        *running = false;
        return 254;
    }
    void showMessage(int id) override { ADD_FAILURE() << "message " << id; }
    void showText(const QString& text) override { ADD_FAILURE() << text.toStdString(); }
    void showRecord(const ProjectRecord&) override {}
    std::atomic<bool>* running = nullptr;
};

class SampleRun : public vaztest::ConnectedLink {
protected:
    void SetUp() override {
        vaztest::ConnectedLink::SetUp();
        FileLocations loc;
        loc.programFolder = QStringLiteral(KESTRIN_SAMPLE_DIR);
        config_ = EvaConfig::load(loc);
        ASSERT_TRUE(config_.problems().isEmpty());
        deck_ = vazsim::loadDeckFile(KESTRIN_PRODUCTION_DECK);
    }
    ProjectRecord runDeck(const QString& cardType, bool stopOnError) {
        const EvaConfig::FormatFile format = config_.formatFile(cardType);
        EXPECT_TRUE(format.problem.isEmpty()) << format.problem.toStdString();
        EXPECT_EQ(vaztest::Vaz().VazS(("S " + format.path.toStdString() + "/").c_str()), 255);
        reader().clearHopper();
        reader().loadDeck(deck_);
        std::atomic<bool> running{true};
        host_.running = &running;
        return loop_.run({}, {evaluation::Mode::Compare, stopOnError, cardType}, running);
    }
    EvaConfig config_;
    vazsim::Deck deck_;
    VazReaderPort port_;
    Technician host_;
    EvaReadLoop loop_{port_, host_, config_};
};
INSTANTIATE_TEST_SUITE_P(Links, SampleRun, vaztest::BothLinks(), vaztest::LinkName);

TEST_P(SampleRun, DeckGivesTheKnownErrorCountsForBothCardTypes) {
    for (const Expected& e :
         {Expected{"标准答题卡", 6, "0-1;12-2;40-1;56-1;57-1;", 3}, Expected{"信息卡", 4, "5-2;33-2;", 4}}) {
        SCOPED_TRACE(e.cardType);
        const QString cardType = QString::fromUtf8(e.cardType);
        ProjectRecord r = runDeck(cardType, false);
        EXPECT_EQ(r.totalCards, 12);
        EXPECT_EQ(r.totalErrors, e.errors);
        EXPECT_EQ(errorPositionsColumn(r.errorCounts), e.positions);
        EXPECT_EQ(r.stopCount, 0);

        r = runDeck(cardType, true);
        EXPECT_EQ(r.totalCards, e.cardsUntilErrorStop);
    }
}

}  // namespace
