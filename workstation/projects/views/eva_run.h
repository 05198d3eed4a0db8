// One run of the project dialog's read loop on its worker thread: the
// reader reached through the application's device table, the dialog through
// the GUI thread (messages and device errors wait there for the user; each
// card's counts are posted).
#pragma once

#include <QPointer>
#include <QString>
#include <atomic>
#include <memory>

#include "eva_read_loop.h"

class CEvaDlg;
class CFormWorker;

class EvaRun {
public:
    // Starts the loop over `record`. `running` is the dialog's flag; the run
    // clears it when the loop ends, and posts CEvaDlg::finishRun. `clock`,
    // when set, replaces the loop's steady clock.
    EvaRun(CEvaDlg& dialog, EvaConfig& config, const ProjectRecord& record, const EvaRunSettings& settings,
           std::atomic<bool>& running, const EvaReadLoop::Clock& clock = {});
    // Waits for the loop (see join).
    ~EvaRun();

    // Asks the loop to stop after the card in progress and ends a no-card
    // retry the library may be waiting in.
    void requestStop();
    // Returns once the loop has ended, serving the GUI thread's events
    // meanwhile (the loop may be waiting for a message box there).
    void join();
    // The loop has returned; result() and lastAnswer() are final.
    bool ended() const { return ended_; }
    const ProjectRecord& result() const { return result_; }
    const QString& lastAnswer() const { return lastAnswer_; }

private:
    class Host;
    class Port;
    std::unique_ptr<Port> port_;
    std::unique_ptr<Host> host_;
    std::unique_ptr<EvaReadLoop> loop_;
    std::atomic<bool>& running_;
    std::atomic<bool> ended_{false};
    ProjectRecord result_;
    QString lastAnswer_;
    std::atomic<int> workerFlag_{0};
    std::unique_ptr<CFormWorker> worker_;
};
