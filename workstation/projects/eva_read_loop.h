// The card-reading loop of the project dialog: feeds cards, fetches each
// card's answer text, evaluates it against the chosen card type's key and
// counts into the project record. It runs on the dialog's worker thread and
// reaches the reader only through a ReaderPort and the dialog only through an
// EvaRunHost, so it touches no widget.
//
// Stopping: the dialog clears its running flag and calls
// ReaderPort::interrupt() (a no-card retry may be waiting in the library).
// The loop sees the flag between cards; a card in progress completes first.
// The dialog closes only after run() has returned, and leaves the record and
// the EvaConfig alone while a run is going (a recorded key is written into
// the EvaConfig by the loop).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "answer_evaluation.h"
#include "eva_config.h"
#include "project_record.h"
#include "reader_port.h"

// What the loop asks of the dialog. Called on the loop's thread: the dialog
// hands each call to the GUI thread (and, for showDeviceError, waits there
// for the result).
class EvaRunHost {
public:
    virtual ~EvaRunHost() = default;
    // The application's ShowDeviceError: 254 for code "23" (no card: the loop
    // waits for the next one), 255 for "00" and "16", 0 for any other code.
    virtual int showDeviceError() = 0;
    // A message of the string table: 101, 110, 111, 113, 114.
    virtual void showMessage(int stringId) = 0;
    // A message in words of its own (a key or text that does not fit, a failed write).
    virtual void showText(const QString& text) = 0;
    // The record after every card and when the run ends.
    virtual void showRecord(const ProjectRecord& record) = 0;
};

struct EvaRunSettings {
    evaluation::Mode mode = evaluation::Mode::Compare;
    bool stopOnError = false;
    QString cardType;  // the card type last chosen by the user: selects the answer key
};

class EvaReadLoop {
public:
    // Milliseconds on a steady clock.
    using Clock = std::function<std::int64_t()>;
    // Pause between polls while the reader has no card (code "23").
    static constexpr int kNoCardPauseMs = 200;

    EvaReadLoop(ReaderPort& reader, EvaRunHost& host, EvaConfig& config);

    // One run, on the calling thread, while `running` is set: a compare run
    // until stopped or ended by a failure or an error stop; a record-answer
    // run for one card. Clears `running` when it ends and returns the record
    // with the run's counts.
    ProjectRecord run(ProjectRecord record, const EvaRunSettings& settings, std::atomic<bool>& running);

    // The text of the last card read.
    const QString& lastAnswer() const { return lastAnswer_; }

    void setClock(Clock clock) { clock_ = std::move(clock); }
    void setNoCardPause(int ms) { noCardPauseMs_ = ms; }

private:
    enum class Step { Next, Wait, End };
    Step readOneCard(ProjectRecord& record, const EvaRunSettings& settings, std::vector<char>& reply);
    void pause(const std::atomic<bool>& running) const;

    ReaderPort& reader_;
    EvaRunHost& host_;
    EvaConfig& config_;
    Clock clock_;
    int noCardPauseMs_ = kNoCardPauseMs;
    QString lastAnswer_;
};
