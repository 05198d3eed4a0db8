// Answer evaluation as a pure function: wrong positions, what is counted,
// when a run stops, the speed figure, and clearing errors.
#include <gtest/gtest.h>

#include "answer_evaluation.h"

using namespace evaluation;
using Kind = Verdict::Kind;

namespace {

const Options kCompare{Mode::Compare, false};
const Options kStopOnError{Mode::Compare, true};
const Options kRecord{Mode::RecordAnswer, false};

TEST(Evaluation, OneWrongPositionIsCountedOnce) {
    ProjectRecord r;
    r.totalErrors = 4;
    const Verdict v = evaluate(kCompare, u"ABCD", u"ABXD");
    EXPECT_EQ(v.kind, Kind::Compared);
    EXPECT_EQ(v.wrong, std::vector<int>{2});
    EXPECT_FALSE(v.stop);
    countErrors(r, v);
    EXPECT_EQ(r.totalErrors, 5);
    EXPECT_EQ(r.errorPositions, "2; \r\n");
    EXPECT_EQ(r.errorCounts.at(2), 1);
    EXPECT_EQ(r.errorCounts.highest(), 2);
}

TEST(Evaluation, ShortCardIsWrongWhereItEndsLongCardOnlyOverTheKey) {
    EXPECT_EQ(evaluate(kCompare, u"ABCD", u"AB").wrong, (std::vector<int>{2, 3}));
    EXPECT_EQ(evaluate(kCompare, u"ABCD", u"").wrong, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(evaluate(kCompare, u"ABCD", u"ABCDEFGH").wrong.empty());
    EXPECT_EQ(evaluate(kCompare, u"ABCD", u"abcdE").wrong.size(), 4u);  // case counts
}

TEST(Evaluation, CountsAddUpOverCardsAndTheTextIsTheLastCards) {
    ProjectRecord r;
    countErrors(r, evaluate(kCompare, u"ABCD", u"XBXD"));
    countErrors(r, evaluate(kCompare, u"ABCD", u"ABXD"));
    EXPECT_EQ(r.totalErrors, 3);
    EXPECT_EQ(r.errorPositions, "2; \r\n");
    EXPECT_EQ(errorPositionsColumn(r.errorCounts), "0-1;2-2;");
    countErrors(r, evaluate(kCompare, u"ABCD", u"ABCD"));
    EXPECT_EQ(r.errorPositions, "");  // a right card empties the text, the counts stay
    EXPECT_EQ(r.totalErrors, 3);
}

TEST(Evaluation, StopOnErrorStopsOnlyAtAWrongCard) {
    EXPECT_TRUE(evaluate(kStopOnError, u"ABCD", u"ABXD").stop);
    EXPECT_FALSE(evaluate(kStopOnError, u"ABCD", u"ABCD").stop);
    EXPECT_FALSE(evaluate(kCompare, u"ABCD", u"XXXX").stop);
}

TEST(Evaluation, KeysThatCannotBeUsedStopTheRun) {
    Verdict v = evaluate(kCompare, u"", u"ABCD");
    EXPECT_EQ(v.kind, Kind::NoAnswerKey);
    EXPECT_TRUE(v.stop);
    const QString tooLong(kMaxCardText + 1, u'A');
    v = evaluate(kCompare, tooLong, u"A");
    EXPECT_EQ(v.kind, Kind::KeyTooLong);
    EXPECT_TRUE(v.stop);
    EXPECT_TRUE(v.message.contains(QString::number(kMaxCardText + 1)));
    EXPECT_EQ(evaluate(kCompare, QString(kMaxCardText, u'A'), u"A").kind, Kind::Compared);
}

TEST(Evaluation, RecordingTakesTheCardTextAsItIs) {
    Verdict v = evaluate(kRecord, u"OLD", u"  ABCD ");
    EXPECT_EQ(v.kind, Kind::RecordKey);
    EXPECT_FALSE(v.stop);
    EXPECT_TRUE(v.wrong.empty());
    EXPECT_EQ(evaluate(kRecord, u"", u"").kind, Kind::Unusable);
    v = evaluate(kRecord, u"", u"AB\nCD");
    EXPECT_EQ(v.kind, Kind::Unusable);
    EXPECT_TRUE(v.stop);
    EXPECT_FALSE(v.message.isEmpty());
}

TEST(Evaluation, SpeedCountsTheCardsBeforeOverWholeSeconds) {
    EXPECT_EQ(speed(0, 0), 0);  // the first card
    EXPECT_EQ(speed(5, 0), 0);
    EXPECT_EQ(speed(5, 10), 0);  // the sixth card ten seconds in
    EXPECT_EQ(speed(12, 5), 2);
    EXPECT_EQ(speed(3, -1), 0);
}

TEST(Evaluation, ClearErrorsKeepsCardsStopsAndSpeed) {
    ProjectRecord r;
    r.totalCards = 40;
    r.cardsThisRun = 6;
    r.stopCount = 2;
    r.speed = 1;
    countErrors(r, evaluate(kCompare, u"ABCD", u"XBCX"));
    clearErrors(r);
    EXPECT_EQ(r.totalErrors, 0);
    EXPECT_TRUE(r.errorPositions.isEmpty());
    EXPECT_EQ(r.errorCounts.highest(), -1);
    EXPECT_EQ(r.errorCounts.at(0), 0);
    EXPECT_EQ(r.totalCards, 40);
    EXPECT_EQ(r.cardsThisRun, 6);
    EXPECT_EQ(r.stopCount, 2);
    EXPECT_EQ(r.speed, 1);
}

}  // namespace
