// Answer evaluation of the project dialog: a card's answer text compared
// position by position with the answer key of its card type, the reading
// speed, and "清除错误". Pure functions; the read loop and the dialog apply
// them to the record they hold.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

#include "project_record.h"

namespace evaluation {

// The longest card text the device library can deliver (its block read
// buffer holds 5000 bytes with the terminator). A longer key can never match.
constexpr int kMaxCardText = 4999;

enum class Mode { Compare, RecordAnswer };

struct Options {
    Mode mode = Mode::Compare;
    bool stopOnError = false;
};

struct Verdict {
    enum class Kind {
        Compared,     // `wrong` holds the wrong positions, ascending
        NoAnswerKey,  // compare mode without a key: message 113, the run stops
        KeyTooLong,   // a key longer than any card: `message`, the run stops
        RecordKey,    // record-answer mode: the card's text becomes the key
        Unusable,     // record-answer mode: the text cannot be a key; `message`, the run stops
    };
    Kind kind = Kind::Compared;
    std::vector<int> wrong;
    bool stop = false;  // the run ends after this card
    QString message;
};

// A position is right when the card has a character there and it equals the
// key's; characters of the card beyond the key are ignored.
Verdict evaluate(const Options& options, QStringView key, QStringView card);

// Adds a Compared verdict to `record`: total errors, the positions text of
// this card ("%d; \r\n" each) and the per-position counts.
void countErrors(ProjectRecord& record, const Verdict& verdict);

// Whole sheets per second: the cards read before this one over the whole
// seconds since the run started; 0 in the run's first second.
int speed(int cardsBefore, std::int64_t elapsedSeconds);

// "清除错误": errors, positions text and counts cleared; cards, stops and speed stay.
void clearErrors(ProjectRecord& record);

}  // namespace evaluation
